#pragma once
// A small platform for the drawing tests: it records what the view presents (and keeps a
// window surface that receives exactly the presented rectangles, as a real window would),
// the message boxes, the buffered-point queries and the timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/VellumView.h"
#include "engine/pixel/PixelOps.h"
#include "platform/Platform.h"

namespace vellum::drawtest {

struct PresentedRect {
    int x, y, w, h;
    bool operator==(const PresentedRect&) const = default;
};

class DrawFakePlatform : public Platform {
public:
    int clientWidth = 240;
    int clientHeight = 320;
    std::string settingsText;  // the store's text; empty means no store yet

    std::vector<PresentedRect> presents;
    OwnedSurface window;  // what the window shows
    std::vector<int> messageIds;
    std::vector<std::string> messageTexts;

    std::vector<PenPoint> bufferedPoints;  // what the next query returns, then cleared
    bool failNextQuery = false;
    int pointQueries = 0;

    std::vector<std::pair<int, int>> timers;

    bool ActivateRunningInstance(const std::string&) override { return false; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        messageIds.push_back(id);
        messageTexts.push_back(text);
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    void GetScreenSize(int& width, int& height) override {
        width = clientWidth;
        height = clientHeight;
    }
    void MoveFrame(int, int, int, int) override {}
    bool ShellFullScreen(unsigned) override { return true; }
    void GetClientSize(int& width, int& height) override {
        width = clientWidth;
        height = clientHeight;
    }
    void SetWindowTitle(const std::string&) override {}
    void PostClose() override {}
    void SetTimer(int id, int ms) override { timers.push_back({id, ms}); }
    void KillTimer(int) override {}

    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) override {
        presents.push_back({x, y, w, h});
        if (!window.Exists() || window->width != screen.width || window->height != screen.height)
            window.Allocate(screen.width, screen.height);
        CopyRectRop(*window, x, y, w, h, screen, x, y, SRCCOPY);
    }

    int GetBufferedPoints(PenPoint* points, int max) override {
        ++pointQueries;
        if (failNextQuery) {
            failNextQuery = false;
            bufferedPoints.clear();
            return -1;
        }
        int n = 0;
        for (const PenPoint& p : bufferedPoints) {
            if (n == max) break;
            points[n++] = p;
        }
        bufferedPoints.clear();
        return n;
    }

    int PlatformFileDialog(int, OpenFileName&) override { return 0; }
    void* LoadLibrary(const std::string&) override { return nullptr; }
    void* FindEntry(void*, const char*) override { return nullptr; }
    void FreeLibrary(void*) override {}
    std::string UserLanguageId() override { return "0411"; }
    int RunDialog(CDialog&) override { return 2; }
    bool ReadSettingsText(std::string& text) override {
        if (settingsText.empty()) return false;
        text = settingsText;
        return true;
    }
    bool WriteSettingsText(const std::string& text) override {
        settingsText = text;
        return true;
    }
    std::string ProgramDir() override { return VELLUM_BIN_DIR "/"; }
    std::string PicturesDir() override { return "/tmp/"; }
    std::string CommandLine() override { return ""; }
};

// A view made on the fake platform with the built skin.
inline std::unique_ptr<CVellumView> MakeView(DrawFakePlatform& platform) {
    gShutdownDone = false;
    auto view = std::make_unique<CVellumView>(platform);
    EXPECT_TRUE(view->OnCreate());
    EXPECT_EQ(view->creationFailed, 0) << "is " VELLUM_BIN_DIR "/vellum.dat built?";
    return view;
}

// One channel of pixel (x, y): 0 blue, 1 green, 2 red.
inline int Channel(const PixelSurface& s, int x, int y, int c) { return s.At(x, y)[c]; }

inline uint32_t Rgb(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

inline void SetPixel(PixelSurface& s, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = s.At(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

inline void FillGrey(PixelSurface& s, int x, int y, int w, int h, uint8_t v) {
    FillRectColour(s, x, y, w, h, v, v, v);
}

// Writes pen mask penIndex of the skin from a function of the mask position, then
// rebuilds the stamp.
template <class F>
void SetPenMask(CVellumView& view, F grey) {
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) {
            const uint8_t v = uint8_t(grey(i, j));
            SetPixel(*view.skinImage, 10 + 20 * view.penIndex + i, 170 + j, v, v, v);
        }
    view.SelectPen(-1, false);
}

inline uint64_t Fnv1a(const PixelSurface& s) {
    uint64_t h = 1469598103934665603ull;
    for (int32_t i = 0; i < s.byteSize; ++i) {
        h ^= s.bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

// A 24-bit BMP file of the given size whose pixel (x, y) is colour(x, y) as 0x00RRGGBB.
template <class F>
bool WriteTestBmp(const std::string& path, int w, int h, F colour) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + size_t(stride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, uint32_t(stride * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = &file[54 + size_t(stride) * (h - 1 - y) + 3 * x];
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace vellum::drawtest
