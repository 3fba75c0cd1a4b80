#pragma once
// The screen: the canvas (zoomed and scrolled), the translucent status bar and the
// opaque tool panel, composed rectangle by rectangle in the screen buffer from the canvas
// and the two strip caches of the skin image. Plain functions: the caller presents the
// rectangle they return.
#include <cstdint>

#include "engine/Geometry.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

// How the canvas and the strips lie on the screen.
struct ScreenGeometry {
    int32_t width = 0;    // the screen buffer's size, which is the canvas's
    int32_t height = 0;
    int32_t zoomShift = 0;  // zoom factor 1 << zoomShift
    int32_t originX = 0;    // canvas pixel shown at the screen's top-left corner
    int32_t originY = 0;
    bool panelShown = false;
    bool panelAtBottom = false;
    bool fullView = false;  // the canvas alone, 1:1, whatever the zoom

    int32_t BarY() const;
    int32_t PanelY() const;
};

struct ScreenSurfaces {
    PixelSurface& screen;
    const PixelSurface& canvas;
    const PixelSurface& skin;  // the strips' caches: the status-bar and tool-panel work areas
};

// Rebuilds the rectangle (x, y, w, h) of the screen buffer: the canvas layer (skipped for
// a rectangle the open panel covers), the status bar laid over it washed out when the
// rectangle reaches the bar, and the panel copied opaquely when it reaches the panel.
// When zoomed the corner moves back onto the zoom grid, so that a canvas pixel split by
// the rectangle's edge is drawn whole. Returns what to present: the rectangle as drawn,
// clipped to the screen (empty when nothing of it lies on the screen).
Box ComposeScreenRect(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g, int x,
                      int y, int w, int h);

// The zoomed canvas alone over the whole screen, for a hand drag; the strips come back
// with the next composition that reaches them. Returns the screen's box.
Box ComposeCanvasOnly(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g);

// The view origin kept inside what the zoom can show: 0..W - W / zoom, 0..H - H / zoom.
IntPoint ClampOrigin(IntPoint origin, int32_t width, int32_t height, int32_t zoomShift);

}  // namespace vellum
