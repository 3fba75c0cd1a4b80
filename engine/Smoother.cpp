#include "engine/Smoother.h"

#include <cstdlib>

namespace vellum {

IntPoint Smoother::Next(IntPoint p, int32_t level, bool firstOfStroke) {
    IntPoint* h = history;
    if (firstOfStroke) h[0] = h[1] = h[2] = p;
    switch (level) {
        case 2: {
            const IntPoint s{(h[0].x + p.x) / 2, (h[0].y + p.y) / 2};
            h[0] = p;
            return s;
        }
        case 3: {
            const IntPoint s{(h[1].x + h[0].x + p.x) / 3, (h[1].y + h[0].y + p.y) / 3};
            h[0] = h[1];
            h[1] = p;
            return s;
        }
        case 4: {
            const IntPoint s{(h[2].x + h[1].x + h[0].x + p.x) / 4, (h[2].y + h[1].y + h[0].y + p.y) / 4};
            h[0] = h[1];
            h[1] = h[2];
            h[2] = p;
            return s;
        }
        default:
            return p;
    }
}

bool Jumps(IntPoint last, IntPoint next) {
    return std::abs(last.x - next.x) > kJumpLimit || std::abs(last.y - next.y) > kJumpLimit;
}

}  // namespace vellum
