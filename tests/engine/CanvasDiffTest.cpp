// What a step changed, captured cell by cell before it was written and kept as runs of
// exclusive-ors along rows: a round trip restores both pictures byte for byte, the box is
// exactly the changed pixels, only captured cells count, records are small where little
// changed, and a damaged record changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/CanvasDiff.h"

namespace vellum {
namespace {

OwnedSurface Surface(int w, int h, uint8_t fill) {
    OwnedSurface s;
    EXPECT_TRUE(s.Allocate(w, h));
    std::memset(s->bytes, fill, size_t(s->byteSize));
    return s;
}

std::vector<uint8_t> Bytes(const PixelSurface& s) { return {s.bytes, s.bytes + s.byteSize}; }

void Paint(PixelSurface& s, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = s.At(x, y);
    p[0] = b, p[1] = g, p[2] = r;
}

std::vector<uint8_t> Encode(StepCapture& capture, const PixelSurface& canvas, Box* box = nullptr) {
    std::vector<uint8_t> buffer;
    size_t used = 0;
    const Box b = capture.Encode(canvas, buffer, used);
    if (box) *box = b;
    buffer.resize(used);
    return buffer;
}

TEST(CanvasDiff, RoundTripOnRandomChangesAndSizes) {
    std::mt19937 rng(5);
    for (auto [w, h] : {std::pair{240, 320}, {33, 7}, {1, 1}, {100, 64}, {248, 97}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        OwnedSurface canvas = Surface(w, h, 255);
        for (int32_t i = 0; i < canvas->byteSize; ++i) canvas->bytes[i] = uint8_t(rng());
        StepCapture capture;
        ASSERT_TRUE(capture.Reset(w, h));
        const std::vector<uint8_t> before = Bytes(*canvas);
        // Boxes written after their capture, as a writer does; each pixel is changed or
        // left, and some boxes overlap ones already captured.
        int minX = w, minY = h, maxX = -1, maxY = -1;
        for (int k = 0; k < 40; ++k) {
            const int x = int(rng() % uint32_t(w)) - 3, y = int(rng() % uint32_t(h)) - 3;
            const int bw = 1 + int(rng() % 14), bh = 1 + int(rng() % 14);
            capture.BeforeWrite(*canvas, {x, y, bw, bh});
            for (int j = std::max(0, y); j < y + bh && j < h; ++j)
                for (int i = std::max(0, x); i < x + bw && i < w; ++i) {
                    if (rng() % 3 == 0) continue;
                    Paint(*canvas, i, j, uint8_t(rng()), uint8_t(rng()), uint8_t(rng()));
                }
        }
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                if (std::memcmp(canvas->At(i, j), &before[size_t(canvas->At(i, j) - canvas->bytes)], 3) == 0) continue;
                minX = std::min(minX, i), maxX = std::max(maxX, i);
                minY = std::min(minY, j), maxY = std::max(maxY, j);
            }
        const std::vector<uint8_t> after = Bytes(*canvas);
        Box box;
        const std::vector<uint8_t> record = Encode(capture, *canvas, &box);
        EXPECT_EQ(box, (Box{minX, minY, maxX - minX + 1, maxY - minY + 1}));
        EXPECT_FALSE(capture.Any()) << "the capture is forgotten once encoded";
        ASSERT_TRUE(ApplyCanvasChanges(*canvas, record.data(), record.size()));
        EXPECT_EQ(Bytes(*canvas), before);
        ASSERT_TRUE(ApplyCanvasChanges(*canvas, record.data(), record.size()));
        EXPECT_EQ(Bytes(*canvas), after);
    }
}

// A step touching more cells than the room kept between steps takes room for itself, and
// its record still takes the canvas back exactly.
TEST(CanvasDiff, AStepLargerThanTheKeptRoom) {
    const int w = 2560, h = 2400;  // more cells than kKeptCells
    ASSERT_GT(size_t(w / kCaptureCell) * size_t(h / kCaptureCell), StepCapture::kKeptCells);
    OwnedSurface canvas = Surface(w, h, 200);
    StepCapture capture;
    ASSERT_TRUE(capture.Reset(w, h));
    for (int y = 0; y < h; y += 97) Paint(*canvas, (y * 7) % w, y, uint8_t(y), 1, 2);
    const std::vector<uint8_t> before = Bytes(*canvas);
    capture.BeforeWrite(*canvas, {0, 0, w, h});
    capture.BeforeWrite(*canvas, {0, 0, 5, 5});  // already captured: nothing more
    EXPECT_EQ(capture.CellsCaptured(), size_t(w / kCaptureCell) * size_t(h / kCaptureCell));
    std::memset(canvas->bytes, 7, size_t(canvas->byteSize));
    const std::vector<uint8_t> record = Encode(capture, *canvas);
    ASSERT_TRUE(ApplyCanvasChanges(*canvas, record.data(), record.size()));
    EXPECT_EQ(Bytes(*canvas), before);
    // The next step starts from the kept room and captures as ever.
    capture.BeforeWrite(*canvas, {10, 10, 3, 3});
    Paint(*canvas, 11, 11, 0, 0, 0);
    const std::vector<uint8_t> small = Encode(capture, *canvas);
    EXPECT_EQ(small.size(), 6u + 3u);
}

TEST(CanvasDiff, CostsWhatChangedNotTheCells) {
    OwnedSurface canvas = Surface(240, 320, 255);
    StepCapture capture;
    ASSERT_TRUE(capture.Reset(240, 320));
    capture.BeforeWrite(*canvas, {0, 0, 240, 320});
    EXPECT_EQ(capture.CellsCaptured(), size_t(30 * 40));
    for (int x = 40; x < 50; ++x) Paint(*canvas, x, 100, 0, 0, 0);  // ten pixels of one row
    Box box;
    const std::vector<uint8_t> record = Encode(capture, *canvas, &box);
    EXPECT_EQ(box, (Box{40, 100, 10, 1}));
    // One run across the two cells it crosses: a header and the 30 bytes.
    EXPECT_EQ(record.size(), 6u + 30u);
    // Nothing captured, or nothing changed: nothing recorded.
    EXPECT_TRUE(Encode(capture, *canvas, &box).empty());
    EXPECT_TRUE(box.Empty());
    capture.BeforeWrite(*canvas, {10, 10, 20, 20});
    EXPECT_TRUE(Encode(capture, *canvas).empty());
}

TEST(CanvasDiff, OnlyCapturedCellsCountAndEachIsCapturedOnce) {
    OwnedSurface canvas = Surface(96, 96, 255);
    StepCapture capture;
    ASSERT_TRUE(capture.Reset(96, 96));
    capture.BeforeWrite(*canvas, {60, 60, 20, 20});  // cells 7..9 of cell rows 7..9
    EXPECT_EQ(capture.CellsCaptured(), 9u);
    Paint(*canvas, 70, 70, 1, 2, 3);
    capture.BeforeWrite(*canvas, {68, 68, 4, 4});  // already captured: the white is kept
    EXPECT_EQ(capture.CellsCaptured(), 9u);
    Paint(*canvas, 5, 5, 1, 2, 3);  // never captured: not part of the step
    capture.BeforeWrite(*canvas, {-50, -50, 10, 10});
    capture.BeforeWrite(*canvas, {200, 0, 10, 10});
    EXPECT_EQ(capture.CellsCaptured(), 9u) << "boxes outside the canvas capture nothing";
    Box box;
    const std::vector<uint8_t> record = Encode(capture, *canvas, &box);
    EXPECT_EQ(box, (Box{70, 70, 1, 1}));
    ASSERT_TRUE(ApplyCanvasChanges(*canvas, record.data(), record.size()));
    EXPECT_EQ(canvas->At(70, 70)[0], 255);
    EXPECT_EQ(canvas->At(5, 5)[0], 3) << "outside the step: left as it is";
}

TEST(CanvasDiff, NearbyChangesShareARunAndFarOnesDoNot) {
    OwnedSurface canvas = Surface(200, 2, 255);
    StepCapture capture;
    ASSERT_TRUE(capture.Reset(200, 2));
    capture.BeforeWrite(*canvas, {0, 0, 200, 2});
    Paint(*canvas, 10, 0, 0, 0, 0);
    Paint(*canvas, 15, 0, 0, 0, 0);   // 12 equal bytes between: one run
    Paint(*canvas, 100, 0, 0, 0, 0);  // far: a run of its own
    Paint(*canvas, 100, 1, 0, 0, 0);  // the next row: a run of its own
    EXPECT_EQ(Encode(capture, *canvas).size(), (6u + 18u) + (6u + 3u) + (6u + 3u));
}

TEST(CanvasDiff, DamagedRecordsChangeNothing) {
    OwnedSurface canvas = Surface(64, 64, 255);
    StepCapture capture;
    ASSERT_TRUE(capture.Reset(64, 64));
    capture.BeforeWrite(*canvas, {0, 0, 64, 64});
    for (int x = 0; x < 64; ++x) Paint(*canvas, x, x, uint8_t(x), 0, 0);
    const std::vector<uint8_t> record = Encode(capture, *canvas);
    const std::vector<uint8_t> state = Bytes(*canvas);
    // Cut anywhere: refused whole (both surfaces as they were), or applied consistently
    // when the cut falls between runs; never a write outside the canvas.
    for (size_t cut = 1; cut < record.size(); ++cut) {
        if (!ApplyCanvasChanges(*canvas, record.data(), cut)) {
            ASSERT_EQ(Bytes(*canvas), state) << "cut at " << cut;
        } else {
            ApplyCanvasChanges(*canvas, record.data(), cut);  // back again
            ASSERT_EQ(Bytes(*canvas), state);
        }
    }
    std::vector<uint8_t> bad = record;
    bad[3] = 0x7F;  // the first run's offset far past the canvas
    EXPECT_FALSE(ApplyCanvasChanges(*canvas, bad.data(), bad.size()));
    bad = record;
    bad[4] = 0xFF;  // the first run's length past the end of its row
    EXPECT_FALSE(ApplyCanvasChanges(*canvas, bad.data(), bad.size()));
    EXPECT_EQ(Bytes(*canvas), state);
    // A record for another canvas size.
    OwnedSurface small = Surface(8, 8, 255);
    EXPECT_FALSE(ApplyCanvasChanges(*small, record.data(), record.size()));
}

}  // namespace
}  // namespace vellum
