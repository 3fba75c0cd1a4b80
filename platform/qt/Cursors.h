#pragma once
// The pointer's shapes over the picture: small drawn tools, so that they look the same
// on every desktop, and Qt's hands for scrolling.
#include <QCursor>

#include "seam/Platform.h"

namespace vellum {

// The cursor of a tool; grabbing is the hand while a scroll drag is held.
QCursor CursorFor(CursorKind kind, bool grabbing = false);

}  // namespace vellum
