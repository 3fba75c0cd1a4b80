#pragma once
// The screen: the picture (zoomed in or out and scrolled, on a plain desk where it does
// not reach), the translucent status bar and the opaque tool panel, composed rectangle by
// rectangle in the screen buffer from the canvas and the two strip caches of the skin
// image. Plain functions: the caller presents the rectangle they return.
#include <cstdint>

#include "engine/Geometry.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

// The desk: where the screen shows no picture. One grey, distinct from white paper.
constexpr uint8_t kDeskGrey = 0x8C;

// Zoom levels: zoomShift -3..3, 1/8 to 8.
constexpr int32_t kLeastZoomShift = -3;
constexpr int32_t kMostZoomShift = 3;
// The zoom tap's cycle: 1, 2, 4, 8 and back to 1; from a level zoomed out, to 1.
inline int32_t NextCycleZoom(int32_t shift) { return shift < 0 ? 0 : (shift + 1) % 4; }

// How the picture and the strips lie on the screen.
struct ScreenGeometry {
    int32_t width = 0;    // the screen buffer's size
    int32_t height = 0;
    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;
    // Zoomed in by 1 << zoomShift (each picture pixel a block of screen pixels), or out
    // by 1 << -zoomShift (each screen pixel the mean of a block of picture pixels).
    int32_t zoomShift = 0;
    int32_t originX = 0;  // picture pixel at the screen's top-left corner; negative where
    int32_t originY = 0;  // the picture is centred on the desk
    bool panelShown = false;
    bool panelAtBottom = false;
    bool fullView = false;  // the picture alone, 1:1, whatever the zoom

    int32_t BarY() const;
    int32_t PanelY() const;
};

// Picture pixels across the screen's width (or height) at a zoom level.
int64_t ScreenSpan(int32_t screen, int32_t zoomShift);
// The picture's offset from the origin of the screen pixel at s (one axis): its block's
// corner zoomed in, its block's middle zoomed out.
int64_t PictureOffset(int32_t s, int32_t zoomShift);

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

// The view origin kept so that the picture stays in view, per axis: within 0..P - span
// where the picture is larger than what the screen shows of it (P - span: the picture's
// size less the screen's span, so W - W / zoom for a screen-sized picture), else centred
// (on whole blocks when zoomed out).
IntPoint ClampOrigin(IntPoint origin, int32_t pictureWidth, int32_t pictureHeight, int32_t screenWidth,
                     int32_t screenHeight, int32_t zoomShift);

}  // namespace vellum
