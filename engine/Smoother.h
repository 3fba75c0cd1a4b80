#pragma once
// Stroke points as the pencil receives them: a moving average of selectable length over
// the last input points, and the anti-jump test that drops points too far from the last
// accepted one. A value type: a stroke's filter state is copied, replayed and compared.
#include <cstdint>

#include "engine/Geometry.h"

namespace vellum {

// The moving average: level 2, 3 or 4 is the mean of the last 2, 3 or 4 input points
// (x and y apart, integer division truncating towards zero); any other level passes the
// point through. The history is reset at the first point of every stroke, so a stroke
// is never pulled towards the previous one.
class Smoother {
public:
    IntPoint Next(IntPoint p, int32_t level, bool firstOfStroke);
    bool operator==(const Smoother&) const = default;

private:
    IntPoint history[3];  // oldest first
};

// A point more than this many canvas pixels from the last accepted one on either axis
// jumps; exactly this many is kept.
constexpr int32_t kJumpLimit = 20;
bool Jumps(IntPoint last, IntPoint next);

}  // namespace vellum
