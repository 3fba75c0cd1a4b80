// The stroke benchmark in the browser: the native benchmark's recorded stroke in the same
// view with the same do-nothing window, timed with the page's clock. The page calls
// vellum_bench_stroke once per repetition and compares with bench_stroke's figures.
#include <emscripten.h>

#include "bench/StrokeCase.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

// The benchmark opens and saves no pictures: the browser's codecs stay with the page.
namespace vellum {
bool IsPngData(const uint8_t*, size_t) { return false; }
bool DecodePng(const uint8_t*, size_t, OwnedSurface&) { return false; }
bool DecodePng(ByteSource&, OwnedSurface&) { return false; }
bool IsJpegData(const uint8_t*, size_t) { return false; }
bool DecodeJpeg(const uint8_t*, size_t, OwnedSurface&) { return false; }
bool DecodeJpeg(ByteSource&, OwnedSurface&) { return false; }
bool WriteJpegFile(const std::string&, const PixelSurface&, int, std::string& message) {
    message = "no JPEG in the benchmark";
    return false;
}
bool WritePngFile(const std::string&, const PixelSurface&, std::string& message) {
    message = "no PNG in the benchmark";
    return false;
}
}  // namespace vellum

extern "C" {

// Microseconds per stroke of 1,000 points: strokes are repeated until minMillis have
// passed (after a warm-up of the same length, for the engine's optimising tier).
EMSCRIPTEN_KEEPALIVE double vellum_bench_stroke(int shift, int big, double minMillis) {
    using namespace vellum;
    Rig rig(big ? 1920 : 240, big ? 1080 : 320);
    rig.Zoom(shift, 30, 40);
    for (int pass = 0; pass < 2; ++pass) {
        const double start = emscripten_get_now();
        long strokes = 0;
        double now = start;
        do {
            RunStroke(*rig.view);
            ++strokes;
            now = emscripten_get_now();
        } while (now - start < minMillis);
        if (pass == 1) return 1000.0 * (now - start) / double(strokes);
    }
    return 0;
}

}  // extern "C"

int main() { return 0; }
