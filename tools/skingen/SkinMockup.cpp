// Looks at a skin the way a user will: composes the status bar and the five panel pages
// as the program does, draws strokes with every pen on every paper, and writes PNGs
// scaled up for viewing. Not part of the build:
//   g++ -std=c++20 -O2 -I. tools/skingen/SkinMockup.cpp -lpng -o /tmp/skin-mockup
//   /tmp/skin-mockup build/bin/vellum.dat /tmp/mock
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "panel/PixelFont.h"
#include "engine/skin/SkinLayout.h"

using namespace vellum;

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;  // top-down
    Image() = default;
    Image(int w, int h, uint8_t v = 255) : w(w), h(h), rgb(size_t(w) * h * 3, v) {}
    uint8_t* At(int x, int y) { return &rgb[(size_t(y) * w + x) * 3]; }
};

static bool ReadBmp(const char* path, Image& img) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> b;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    auto u32 = [&](int at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
    int w = int(u32(18)), h = int(u32(22)), off = int(u32(10));
    img = Image(w, h);
    int row = (w * 3 + 3) & ~3;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &b[off + size_t(h - 1 - y) * row + x * 3];
            uint8_t* q = img.At(x, y);
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
        }
    return true;
}

static void WritePng(const std::string& path, Image& img, int scale) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, img.w * scale, img.h * scale, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(img.w) * scale * 3);
    for (int y = 0; y < img.h * scale; ++y) {
        for (int x = 0; x < img.w * scale; ++x) {
            uint8_t* p = img.At(x / scale, y / scale);
            row[x * 3] = p[0], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[2];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

// ---- The program's block operations, as they act ----------------------------------------
static void Copy(Image& d, int x, int y, int w, int h, Image& s, int sx, int sy, bool invert = false) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (x + i < 0 || y + j < 0 || x + i >= d.w || y + j >= d.h) continue;
            uint8_t* p = d.At(x + i, y + j);
            uint8_t* q = s.At(sx + i, sy + j);
            for (int c = 0; c < 3; ++c) p[c] = invert ? 255 - q[c] : q[c];
        }
}
static void Multiply(Image& d, int x, int y, int w, int h, Image& s, int sx, int sy) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            if (x + i < 0 || y + j < 0 || x + i >= d.w || y + j >= d.h) continue;
            uint8_t* p = d.At(x + i, y + j);
            uint8_t* q = s.At(sx + i, sy + j);
            for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] * q[c] / 255);
        }
}
static void Fill(Image& d, int x, int y, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            uint8_t* p = d.At(x + i, y + j);
            p[0] = r, p[1] = g, p[2] = b;
        }
}
static void Glyph(Image& d, char ch, int left, int top, int right, int bottom, bool centred) {
    // Through the program's font: a PixelSurface view over a scratch copy.
    std::vector<uint8_t> bytes(size_t(d.w) * d.h * 3);
    PixelSurface s{d.w, d.h, bytes.data(), int32_t(bytes.size())};
    for (int y = 0; y < d.h; ++y)
        for (int x = 0; x < d.w; ++x) {
            uint8_t* p = s.At(x, y);
            p[0] = p[1] = p[2] = 255;
        }
    if (centred)
        DrawGlyphCentredTop(s, ch, left, top, right, bottom);
    else
        DrawGlyphTopLeft(s, ch, left, top, right, bottom);
    for (int y = 0; y < d.h; ++y)
        for (int x = 0; x < d.w; ++x)
            if (s.At(x, y)[0] == 0) {
                uint8_t* p = d.At(x, y);
                p[0] = p[1] = p[2] = 0;
            }
}

struct State {
    int pen = 2, paper = 0, zoom = 0, page = 0;
    bool eraser = false, hand = false;
    uint8_t colour[3] = {40, 90, 170};
    int markX = 120, markY = 50;
};

static void ComposeBar(Image& skin, Image& bar, State& st) {
    bar = Image(240, 30);
    Copy(bar, 0, 0, 240, 30, skin, 0, 0);
    Copy(bar, 105, 10, 18, 14, skin, 105, 10);
    SkinRect pen = PenIconRect(st.pen);
    Multiply(bar, 105, 14, 10, 10, skin, pen.x, pen.y);
    if (st.eraser) Multiply(bar, 105, 14, 10, 10, skin, 200, 160);
    Glyph(bar, char('1' + st.pen), 115, 11, 123, 24, false);
    Fill(bar, 125, 14, 10, 10, st.colour[0], st.colour[1], st.colour[2]);
    Copy(bar, 145, 14, 10, 10, skin, 105, 14);
    Multiply(bar, 145, 14, 10, 10, skin, PaperIconRect(st.paper).x, 170);
    Copy(bar, 165, 14, 10, 10, skin, 105, 14);
    Multiply(bar, 165, 14, 10, 10, skin, ZoomIconRect(st.zoom).x, 180);
    Copy(bar, 185, 14, 10, 10, skin, 105, 14);
    if (st.hand) Multiply(bar, 185, 14, 10, 10, skin, 230, 160);
}

static void ComposePanel(Image& skin, Image& panel, State& st) {
    panel = Image(240, 130);
    Copy(panel, 0, 0, 240, 130, skin, 0, 30);
    Multiply(panel, 15, 20 + 20 * st.page, 10, 10, skin, 230, 160);
    switch (st.page) {
        case 0: Multiply(panel, 60, 30, 160, 40, skin, 0, 350); break;
        case 1:
            Copy(panel, 45, 25, 190, 30, skin, 0, 160);
            Copy(panel, 110, 90, 60, 25, skin, 180, 200);
            Multiply(panel, 65 + 20 * st.pen, 35, 10, 10, skin, 230, 160);
            break;
        case 2:
            Copy(panel, 50, 30, 180, 60, skin, 0, 190);
            Copy(panel, 110, 90, 60, 25, skin, 180, 200);
            Glyph(panel, '+', st.markX - 7, st.markY - 7, st.markX + 7, st.markY + 7, true);
            break;
        case 3:
            Copy(panel, 60, 40, 40, 40, skin, 0, 250);
            Copy(panel, 100, 40, 40, 40, skin, 0, 250, true);
            Copy(panel, 140, 40, 40, 40, skin, 100, 250);
            Copy(panel, 180, 40, 40, 40, skin, 100, 250, true);
            Multiply(panel, 75 + 40 * st.paper, 25, 10, 10, skin, 230, 160);
            break;
        case 4: Multiply(panel, 65, 55, 150, 50, skin, 0, 400); break;
    }
}

// ---- Strokes as the program draws them ---------------------------------------------------
struct Stroker {
    Image canvas, cover, colour, paper;
    Image pen;  // 30 x 10: mask, colour stamp, coverage stamp
    int W, H;
    Stroker(int w, int h) : canvas(w, h), cover(w, h, 0), colour(w, h, 0), paper(w, h), pen(30, 10), W(w), H(h) {}
    void SelectPaper(Image& skin, int p) {
        int sx = p >= 2 ? 100 : 0;
        bool inv = p % 2 == 0;
        for (int ty = 0; ty < H; ty += 100)
            for (int tx = 0; tx < W; tx += 100)
                Copy(paper, tx, ty, std::min(100, W - tx), std::min(100, H - ty), skin, sx, 250, inv);
    }
    void SelectPen(Image& skin, int i, const uint8_t* c) {
        SkinRect r = PenIconRect(i);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                for (int ch = 0; ch < 3; ++ch) {
                    int m = skin.At(r.x + x, r.y + y)[ch];
                    int k = 255 - m;
                    pen.At(x, y)[ch] = uint8_t(m);
                    pen.At(20 + x, y)[ch] = uint8_t(k);
                    pen.At(10 + x, y)[ch] = uint8_t(c[ch] * k / 255);
                }
    }
    void Add(Image& d, int x, int y, int slot) {
        for (int j = 0; j < 10; ++j)
            for (int i = 0; i < 10; ++i) {
                if (x + i < 0 || y + j < 0 || x + i >= W || y + j >= H) continue;
                uint8_t* p = d.At(x + i, y + j);
                uint8_t* q = pen.At(slot * 10 + i, j);
                for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::min(255, p[c] + q[c]));
            }
    }
    void Segment(int x0, int y0, int x1, int y1) {
        int bx = std::min(x0, x1), by = std::min(y0, y1), bw = std::abs(x1 - x0) + 10, bh = std::abs(y1 - y0) + 10;
        for (int j = by; j < by + bh; ++j)
            for (int i = bx; i < bx + bw; ++i) {
                if (i < 0 || j < 0 || i >= W || j >= H) continue;
                for (int c = 0; c < 3; ++c) cover.At(i, j)[c] = colour.At(i, j)[c] = 0;
            }
        auto stamp = [&](int x, int y) {
            Add(cover, x, y, 2);
            Add(colour, x, y, 1);
        };
        if (std::abs(x1 - x0) >= std::abs(y1 - y0)) {
            int step = x1 >= x0 ? 1 : -1;
            float slope = float(y1 - y0) / float(std::abs(x1 - x0));
            float yf = float(y0);
            for (int x = x0; x != x1; x += step) {
                stamp(x, int(yf));
                yf += slope;
            }
        } else {
            int step = y1 >= y0 ? 1 : -1;
            float slope = float(x1 - x0) / float(std::abs(y1 - y0));
            float xf = float(x0);
            for (int y = y0; y != y1; y += step) {
                stamp(int(xf), y);
                xf += slope;
            }
        }
        for (int j = by; j < by + bh; ++j)
            for (int i = bx; i < bx + bw; ++i) {
                if (i < 0 || j < 0 || i >= W || j >= H) continue;
                for (int c = 0; c < 3; ++c) {
                    int P = paper.At(i, j)[c];
                    int A = cover.At(i, j)[c], B = colour.At(i, j)[c];
                    A = A - P * A / 255;
                    B = B - P * B / 255;
                    int v = canvas.At(i, j)[c];
                    v = std::min(255, v - A * v / 255 + B);
                    canvas.At(i, j)[c] = uint8_t(v);
                }
            }
    }
    // A wavy stroke from (x, y) over len pixels, points spacing px apart.
    void Wave(int x, int y, int len, double spacing, double amp) {
        double px = x, py = y;
        int lx = int(px) - 5, ly = int(py) - 5;
        for (double t = spacing; t <= len; t += spacing) {
            double nx = x + t, ny = y + amp * std::sin(t / 9.0);
            int cx = int(std::lround(nx)) - 5, cy = int(std::lround(ny)) - 5;
            Segment(lx, ly, cx, cy);
            lx = cx, ly = cy;
        }
    }
};

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    Image skin;
    if (!ReadBmp(argv[1], skin)) return 1;
    std::string out = argv[2];
    // At start the program copies the emblem into the pristine bar.
    Copy(skin, 200, 5, 20, 20, skin, 220, 250);
    WritePng(out + "-skin.png", skin, 3);

    // A picture to lay the strips over: pale wash with coloured strokes.
    Stroker st(240, 320);
    st.SelectPaper(skin, 0);
    uint8_t cols[4][3] = {{200, 60, 40}, {40, 110, 180}, {60, 140, 70}, {30, 30, 30}};
    for (int k = 0; k < 12; ++k) {
        st.SelectPen(skin, k % 9, cols[k % 4]);
        st.Wave(10, 20 + k * 25, 220, 3, 8);
    }
    Image picture = st.canvas;

    State states[6];
    for (int p = 0; p < 5; ++p) states[p].page = p;
    states[1].pen = 4;
    states[3].paper = 2;
    states[0].eraser = true;
    states[2].hand = true;
    states[2].zoom = 2;
    states[4].zoom = 3;
    states[4].paper = 3;
    states[1].paper = 1;
    states[1].zoom = 1;
    Image sheet(240 * 3 + 20, 2 * 320 + 10, 90);
    for (int p = 0; p < 5; ++p) {
        Image screen = picture;
        Image bar, panel;
        ComposeBar(skin, bar, states[p]);
        ComposePanel(skin, panel, states[p]);
        // The bar: washed picture, swatch square white, then multiplied.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 240; ++x)
                for (int c = 0; c < 3; ++c) {
                    uint8_t* s = screen.At(x, y);
                    s[c] = uint8_t(s[c] / 2 + 127);
                }
        Fill(screen, 125, 14, 10, 10, 255, 255, 255);
        Multiply(screen, 0, 0, 240, 30, bar, 0, 0);
        Copy(screen, 0, 30, 240, 130, panel, 0, 0);
        Copy(sheet, (p % 3) * 250, (p / 3) * 330, 240, 320, screen, 0, 0);
        Image top(240, 170);
        Copy(top, 0, 0, 240, 170, screen, 0, 0);
        WritePng(out + "-page" + std::to_string(p) + ".png", top, 3);
    }
    // The sixth cell: the bar alone over the picture, panel hidden, bar at the bottom.
    {
        Image screen = picture;
        Image bar;
        State s;
        s.hand = true;
        s.pen = 8;
        ComposeBar(skin, bar, s);
        for (int y = 290; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                for (int c = 0; c < 3; ++c) screen.At(x, y)[c] = uint8_t(screen.At(x, y)[c] / 2 + 127);
        Fill(screen, 125, 304, 10, 10, 255, 255, 255);
        Multiply(screen, 0, 290, 240, 30, bar, 0, 0);
        Copy(sheet, 500, 330, 240, 320, screen, 0, 0);
    }
    WritePng(out + "-pages.png", sheet, 2);

    // Every pen on every paper: one stroke, and the same stroke three times.
    Stroker s2(4 * 110, 9 * 34 + 10);
    uint8_t black[3] = {20, 20, 20};
    for (int paper = 0; paper < 4; ++paper) {
        Stroker one(110, 9 * 34 + 10);
        one.SelectPaper(skin, paper);
        for (int pen = 0; pen < 9; ++pen) {
            one.SelectPen(skin, pen, black);
            one.Wave(8, 12 + pen * 34, 40, 2, 5);
            for (int r = 0; r < 3; ++r) one.Wave(58, 12 + pen * 34, 44, 3, 5);
        }
        Copy(s2.canvas, paper * 110, 0, 110, 9 * 34 + 10, one.canvas, 0, 0);
        for (int y = 0; y < s2.H; ++y) {
            uint8_t* p = s2.canvas.At(paper * 110, y);
            p[0] = 255, p[1] = 0, p[2] = 0;
        }
    }
    WritePng(out + "-strokes.png", s2.canvas, 2);
    // Hatched patches: pens 2, 4, 6, 8 on each paper, the grain as an area shows it.
    {
        Stroker h(4 * 100, 4 * 60);
        for (int paper = 0; paper < 4; ++paper) {
            Stroker one(100, 4 * 60);
            one.SelectPaper(skin, paper);
            int pens[4] = {2, 4, 6, 8};
            for (int k = 0; k < 4; ++k) {
                one.SelectPen(skin, pens[k], black);
                int y0 = 8 + k * 60;
                int lx = 5 - 5, ly = y0 - 5;
                for (int row = 0; row < 14; ++row) {
                    for (int t = 1; t <= 30; ++t) {
                        int x = (row % 2 == 0) ? 5 + t * 3 : 95 - t * 3;
                        int y = y0 + row * 3 + t / 10;
                        one.Segment(lx, ly, x - 5, y - 5);
                        lx = x - 5, ly = y - 5;
                    }
                }
            }
            Copy(h.canvas, paper * 100, 0, 100, 240, one.canvas, 0, 0);
        }
        WritePng(out + "-hatch.png", h.canvas, 2);
    }
    // The papers tiled 2 x 2, to look for seams.
    Image tiles(400, 200);
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 4; ++k) Copy(tiles, t * 200 + (k % 2) * 100, (k / 2) * 100, 100, 100, skin, t * 100, 250);
    WritePng(out + "-tiles.png", tiles, 2);
    // The status bar in several states, over a white picture, large.
    {
        Image bars(240, 5 * 32, 60);
        State v[5];
        v[0].eraser = true;
        v[1].pen = 0, v[1].paper = 1, v[1].zoom = 1, v[1].hand = true;
        v[2].pen = 5, v[2].paper = 2, v[2].zoom = 2;
        v[3].pen = 8, v[3].paper = 3, v[3].zoom = 3, v[3].colour[0] = 250, v[3].colour[1] = 220;
        v[4].pen = 6, v[4].eraser = true, v[4].hand = true;
        for (int k = 0; k < 5; ++k) {
            Image bar;
            ComposeBar(skin, bar, v[k]);
            Image screen(240, 30, 254);
            Fill(screen, 125, 14, 10, 10, 255, 255, 255);
            Multiply(screen, 0, 0, 240, 30, bar, 0, 0);
            Copy(bars, 0, k * 32, 240, 30, screen, 0, 0);
        }
        WritePng(out + "-bars.png", bars, 5);
        Image part(190, 30);
        Copy(part, 0, 0, 190, 30, skin, 0, 160);
        WritePng(out + "-penrow.png", part, 8);
    }
    return 0;
}
