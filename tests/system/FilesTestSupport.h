#pragma once
// A started view on the tests' strict platform whose pictures folder is a scratch
// folder, and pictures whose pixels tell where they came from.
#include <gtest/gtest.h>

#include <random>

#include "ViewTest.h"
#include "formats/BmpTestSupport.h"
#include "imageio/formats/Bmp.h"

namespace vellum::filestest {

using bmptest::ReadAll;
using bmptest::ScratchFolder;
using bmptest::WriteAll;
using fake::TestPlatform;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Rgb& c) {
    return o << "(" << c.r << "," << c.g << "," << c.b << ")";
}
inline Rgb Px(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return {p[2], p[1], p[0]};
}
constexpr Rgb kWhite{255, 255, 255};

// The colour of picture pixel (x, y) in a coded picture: red the low byte of x, green
// the low byte of y, blue their high bits.
inline Rgb Code(int x, int y) { return {x & 255, y & 255, (x >> 8) << 4 | (y >> 8)}; }

inline std::vector<uint8_t> CodedBmp(int width, int height) {
    OwnedSurface picture;
    EXPECT_TRUE(picture.Allocate(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture->At(x, y);
            const Rgb c = Code(x, y);
            p[0] = uint8_t(c.b), p[1] = uint8_t(c.g), p[2] = uint8_t(c.r);
        }
    std::vector<uint8_t> file;
    EXPECT_TRUE(EncodeBmp24(*picture, file));
    return file;
}

class FilesViewTest : public fake::ViewTest {
protected:
    ScratchFolder folder;

    void SetUp() override {
        platform.strict = true;
        platform.picturesDir = folder.path + "/";
        ViewTest::SetUp();
    }

    std::string Default() const { return folder.path + "/untitled.bmp"; }
    std::string File(const std::string& name) const { return folder.File(name); }

    // What the platform showed since the last call.
    std::vector<std::string> Shown() {
        std::vector<std::string> e = platform.events;
        platform.events.clear();
        return e;
    }
    void Pick(const std::string& path, uint32_t index = 1) { platform.picks.push_back({path, index}); }
    void Answer(std::initializer_list<MsgAnswer> answers) {
        for (MsgAnswer a : answers) platform.answers.push_back(a);
    }

    PixelSurface& Canvas() { return view->picture.BaseCanvas(); }
    void PaintCanvas(uint32_t seed) {
        std::mt19937 random(seed);
        for (int32_t i = 0; i < Canvas().byteSize; ++i) Canvas().bytes[i] = uint8_t(random());
    }
    std::vector<uint8_t> CanvasBytes() {
        return std::vector<uint8_t>(Canvas().bytes, Canvas().bytes + Canvas().byteSize);
    }
    std::vector<uint8_t> CanvasBmp() {
        std::vector<uint8_t> file;
        EXPECT_TRUE(EncodeBmp24(Canvas(), file));
        return file;
    }

    // Open starts on the pair that shows every picture, Save As on the first.
    static std::string Chooser(const char* mode, const std::string& initial, const std::string& chosen,
                               uint32_t index = 1) {
        return std::string("chooser ") + mode + " \"" + initial + "\" filter=" +
               (std::string(mode) == "open" ? "5" : "1") + " -> " +
               (chosen.empty() ? std::string("cancel") : "\"" + chosen + "\" " + std::to_string(index));
    }
    static std::string Fixed(const std::string& text) { return "msgbox - \"" + text + "\""; }
};

constexpr MsgAnswer Yes = MsgAnswer::Yes;
constexpr MsgAnswer No = MsgAnswer::No;
inline const std::string kLeave = "fullscreen 0x05";
inline const std::string kEnter = "fullscreen 0x0A";

}  // namespace vellum::filestest
