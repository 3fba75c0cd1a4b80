#include "engine/PixelOpsTable.h"

namespace vellum {

namespace {
constexpr PixelOpsTable kFastOps = {BlendRect,     CopyRectRop,   WashOutRect, FillRectWhite,
                                    FillRectBlack, FillRectColour, ZoomCopyRect};
}  // namespace

PixelOpsTable gPixelOps = kFastOps;

const PixelOpsTable& FastPixelOps() { return kFastOps; }

void UsePixelOps(const PixelOpsTable& table) { gPixelOps = table; }

}  // namespace vellum
