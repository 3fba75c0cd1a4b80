// Draws the skin image vellum.dat: every piece of panel graphics, the nine pens, the two
// paper textures and the palette, laid out by the skin region table. The output is the
// same bytes on every run: no clock, and all grain comes from a fixed-seed generator.
//
//   vellum-skingen <out path> [--icons <folder>]
//
// With --icons it also draws the program's icon from the emblem into an icon theme
// folder: <folder>/NxN/apps/<id>.png for the usual sizes and <folder>/scalable/apps/<id>.svg.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <png.h>
#include <sys/stat.h>

#include "engine/pixel/Surface.h"
#include "imageio/formats/Bmp.h"
#include "engine/skin/SkinLayout.h"

namespace {

using vellum::BarAction;
using vellum::PaperIconRect;
using vellum::PenIconRect;
using vellum::Region;
using vellum::RegionRect;
using vellum::SkinRect;
using vellum::ZoomIconRect;

constexpr int kWidth = vellum::kSkinImageWidth;
constexpr int kHeight = vellum::kSkinFileHeight;

struct Colour {
    double r, g, b;
};

constexpr Colour Grey(double v) { return {v, v, v}; }
Colour Mix(Colour a, Colour b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// The look: soft neutral greys, one warm accent (a pencil's lacquer).
constexpr Colour kWhite = Grey(255);
constexpr Colour kInk{62, 63, 68};          // pictograms
constexpr Colour kInkSoft{112, 113, 118};   // secondary pictograms
constexpr Colour kLine{186, 185, 181};      // outlines of buttons and trays
constexpr Colour kAccent{224, 112, 52};     // the one accent colour
constexpr Colour kAccentDark{170, 72, 30};
constexpr Colour kWood{238, 202, 152};
constexpr Colour kBarBg{238, 237, 234};     // status bar: multiplied over the picture
constexpr Colour kBarEdge{196, 195, 191};
constexpr Colour kBarSep{210, 209, 205};
constexpr Colour kPageBg{247, 246, 243};    // tool panel page area
constexpr Colour kTabBg{229, 228, 224};     // tab column
constexpr Colour kTabSep{208, 207, 203};
constexpr Colour kButtonFill{253, 253, 252};
constexpr Colour kSocket{198, 197, 193};    // where the selection mark lands on a tab

// Deterministic grain: splitmix64.
class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)

private:
    uint64_t state;
};

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
double Smooth(double e0, double e1, double x) {
    double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// A polygon given as x, y pairs: its bounding box, and whether a point lies inside it
// (even-odd rule).
struct Bounds {
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
};
Bounds PolygonBounds(const std::vector<double>& xy) {
    Bounds b;
    for (size_t k = 0; k < xy.size(); k += 2) {
        b.x0 = std::min(b.x0, xy[k]);
        b.x1 = std::max(b.x1, xy[k]);
        b.y0 = std::min(b.y0, xy[k + 1]);
        b.y1 = std::max(b.y1, xy[k + 1]);
    }
    return b;
}
bool InPolygon(const std::vector<double>& xy, double x, double y) {
    bool in = false;
    const size_t count = xy.size() / 2;
    for (size_t a = 0, b = count - 1; a < count; b = a++) {
        const double ax = xy[2 * a], ay = xy[2 * a + 1], bx = xy[2 * b], by = xy[2 * b + 1];
        if ((ay > y) != (by > y) && x < (bx - ax) * (y - ay) / (by - ay) + ax) in = !in;
    }
    return in;
}

// The picture being drawn, in floating point; shapes are anti-aliased by 4 x 4
// supersampling and clipped to the current region, so nothing spills into a neighbour.
class Art {
public:
    Art() : px(size_t(kWidth) * kHeight, kWhite) { Unclip(); }

    void Clip(SkinRect r) { clip = r; }
    void Unclip() { clip = {0, 0, kWidth, kHeight}; }

    Colour Get(int x, int y) const { return px[size_t(y) * kWidth + x]; }
    void Set(int x, int y, Colour c) {
        if (clip.Contains(x, y)) px[size_t(y) * kWidth + x] = c;
    }
    void Blend(int x, int y, Colour c, double a) {
        if (a <= 0 || !clip.Contains(x, y)) return;
        Colour& p = px[size_t(y) * kWidth + x];
        p = Mix(p, c, a > 1 ? 1 : a);
    }
    void Fill(int x, int y, int w, int h, Colour c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Set(i, j, c);
    }
    void Fill(SkinRect r, Colour c) { Fill(r.x, r.y, r.w, r.h, c); }

    // Covers the pixels of the box [x0, x1] x [y0, y1] (continuous coordinates, pixel
    // (i, j) spans [i, i + 1) x [j, j + 1)) where inside(x, y) holds.
    template <class Inside>
    void Shape(double x0, double y0, double x1, double y1, Colour c, double alpha, Inside inside) {
        int i0 = int(std::floor(x0)), i1 = int(std::ceil(x1));
        int j0 = int(std::floor(y0)), j1 = int(std::ceil(y1));
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        if (inside(i + (sx + 0.5) / 4, j + (sy + 0.5) / 4)) ++hits;
                Blend(i, j, c, alpha * hits / 16.0);
            }
    }

    void Disc(double cx, double cy, double r, Colour c, double alpha = 1) {
        Shape(cx - r, cy - r, cx + r, cy + r, c, alpha, [=](double x, double y) {
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        });
    }
    void Ring(double cx, double cy, double r, double width, Colour c, double alpha = 1) {
        double ro = r + width / 2, ri = r - width / 2;
        Shape(cx - ro, cy - ro, cx + ro, cy + ro, c, alpha, [=](double x, double y) {
            double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            return d2 <= ro * ro && d2 >= ri * ri;
        });
    }
    // A round-capped line of the given width.
    void Line(double ax, double ay, double bx, double by, double width, Colour c, double alpha = 1) {
        double h = width / 2;
        Shape(std::min(ax, bx) - h, std::min(ay, by) - h, std::max(ax, bx) + h,
              std::max(ay, by) + h, c, alpha,
              [=](double x, double y) { return SegmentDistance(x, y, ax, ay, bx, by) <= h; });
    }
    void RoundRect(double x0, double y0, double x1, double y1, double r, Colour c, double alpha = 1) {
        Shape(x0, y0, x1, y1, c, alpha,
              [=](double x, double y) { return RoundRectDistance(x, y, x0, y0, x1, y1, r) <= 0; });
    }
    // An outline of the given width lying just inside the rounded rectangle.
    void RoundFrame(double x0, double y0, double x1, double y1, double r, double width, Colour c,
                    double alpha = 1) {
        Shape(x0, y0, x1, y1, c, alpha, [=](double x, double y) {
            double d = RoundRectDistance(x, y, x0, y0, x1, y1, r);
            return d <= 0 && d >= -width;
        });
    }
    void Polygon(const std::vector<double>& xy, Colour c, double alpha = 1) {
        const Bounds b = PolygonBounds(xy);
        Shape(b.x0, b.y0, b.x1, b.y1, c, alpha, [&](double x, double y) { return InPolygon(xy, x, y); });
    }
    // Pixel art: '#' is c, '+' is c at half strength, anything else is left alone.
    void Pixels(int x, int y, const char* const* rows, int n, Colour c) {
        for (int j = 0; j < n; ++j)
            for (int i = 0; rows[j][i]; ++i) {
                if (rows[j][i] == '#') Blend(x + i, y + j, c, 1);
                if (rows[j][i] == '+') Blend(x + i, y + j, c, 0.5);
            }
    }
    void HLine(int x0, int x1, int y, Colour c) {
        for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void VLine(int x, int y0, int y1, Colour c) {
        for (int y = y0; y <= y1; ++y) Set(x, y, c);
    }

    static double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
        double dx = bx - ax, dy = by - ay;
        double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? Clamp01(((x - ax) * dx + (y - ay) * dy) / len2) : 0;
        double ex = x - (ax + t * dx), ey = y - (ay + t * dy);
        return std::sqrt(ex * ex + ey * ey);
    }
    static double RoundRectDistance(double x, double y, double x0, double y0, double x1,
                                    double y1, double r) {
        double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        double qx = std::fabs(x - cx) - ((x1 - x0) / 2 - r);
        double qy = std::fabs(y - cy) - ((y1 - y0) / 2 - r);
        double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - r;
    }

    // Rounds the picture into a 24-bit surface of the same size.
    void Store(vellum::PixelSurface& s) const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                Colour c = Get(x, y);
                uint8_t* p = s.At(x, y);
                p[0] = ToByte(c.b);
                p[1] = ToByte(c.g);
                p[2] = ToByte(c.r);
            }
    }

    static uint8_t ToByte(double v) {
        long n = std::lround(v);
        return uint8_t(n < 0 ? 0 : (n > 255 ? 255 : n));
    }

private:
    std::vector<Colour> px;
    SkinRect clip;
};

// ---- Small pictograms shared by the bar, the tabs and the buttons ------------------------

// A tiny digit font (3 x 5) for the pen numbers of the pen page.
const char* const kDigits3x5[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"##.", "..#", ".#.", "#..", "###"}, {"##.", "..#", ".#.", "..#", "##."},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "##.", "..#", "##."},
    {".##", "#..", "###", "#.#", "###"}, {"###", "..#", ".#.", ".#.", ".#."},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "##."},
};

// A document with a folded corner, its top-left at (x, y), size w x h.
void Document(Art& a, double x, double y, double w, double h, Colour fill, Colour ink, double lw) {
    double f = std::min(w, h) * 0.36;
    a.Polygon({x, y, x + w - f, y, x + w, y + f, x + w, y + h, x, y + h}, fill);
    double i = lw;
    // The outline as four lines and the fold.
    a.Line(x + i / 2, y + i / 2, x + w - f, y + i / 2, lw, ink);
    a.Line(x + w - f, y + i / 2, x + w - i / 2, y + f, lw, ink);
    a.Line(x + w - i / 2, y + f, x + w - i / 2, y + h - i / 2, lw, ink);
    a.Line(x + w - i / 2, y + h - i / 2, x + i / 2, y + h - i / 2, lw, ink);
    a.Line(x + i / 2, y + h - i / 2, x + i / 2, y + i / 2, lw, ink);
    a.Line(x + w - f, y + i / 2, x + w - f, y + f, lw * 0.8, ink);
    a.Line(x + w - f, y + f, x + w - i / 2, y + f, lw * 0.8, ink);
}

// A pencil lying from (x0, y0) (its point) to (x1, y1) (its end), of the given thickness.
void Pencil(Art& a, double x0, double y0, double x1, double y1, double t) {
    double dx = x1 - x0, dy = y1 - y0;
    double len = std::sqrt(dx * dx + dy * dy);
    double ux = dx / len, uy = dy / len;  // along, towards the end
    double nx = -uy, ny = ux;             // across
    double h = t / 2;
    double cone = t * 1.5;
    auto P = [&](double along, double across, std::vector<double>& v) {
        v.push_back(x0 + ux * along + nx * across);
        v.push_back(y0 + uy * along + ny * across);
    };
    std::vector<double> body, wood, lead, cap;
    P(cone, -h, body), P(len - t * 0.8, -h, body), P(len - t * 0.8, h, body), P(cone, h, body);
    a.Polygon(body, kAccent);
    // A lighter facet along the body.
    std::vector<double> facet;
    P(cone, -h * 0.35, facet), P(len - t * 0.8, -h * 0.35, facet), P(len - t * 0.8, h * 0.15, facet),
        P(cone, h * 0.15, facet);
    a.Polygon(facet, Mix(kAccent, kWhite, 0.35));
    P(0, 0, wood), P(cone, -h, wood), P(cone, h, wood);
    a.Polygon(wood, kWood);
    P(0, 0, lead), P(cone * 0.45, -h * 0.45, lead), P(cone * 0.45, h * 0.45, lead);
    a.Polygon(lead, kInk);
    P(len - t * 0.8, -h, cap), P(len, -h, cap), P(len, h, cap), P(len - t * 0.8, h, cap);
    a.Polygon(cap, Grey(150));
}

// A floppy disk in the box (x, y) size s.
void Disk(Art& a, double x, double y, double s) {
    Colour body{84, 98, 122};
    double c = s * 0.18;
    a.Polygon({x, y, x + s - c, y, x + s, y + c, x + s, y + s, x, y + s}, body);
    // The metal shutter at the top and the label at the bottom.
    a.RoundRect(x + s * 0.22, y, x + s * 0.74, y + s * 0.34, s * 0.03, Grey(214));
    a.Fill(int(std::lround(x + s * 0.56)), int(std::lround(y + s * 0.06)), int(std::lround(s * 0.1)),
           int(std::lround(s * 0.22)), body);
    a.RoundRect(x + s * 0.14, y + s * 0.5, x + s * 0.86, y + s * 0.94, s * 0.05, kWhite);
    a.Line(x + s * 0.24, y + s * 0.64, x + s * 0.76, y + s * 0.64, s * 0.05, Grey(180));
    a.Line(x + s * 0.24, y + s * 0.78, x + s * 0.76, y + s * 0.78, s * 0.05, Grey(180));
}

// A magnifier: lens centre (cx, cy), radius r, handle towards the lower right.
void Magnifier(Art& a, double cx, double cy, double r, double lw, Colour ink) {
    a.Ring(cx, cy, r, lw, ink);
    double k = 0.7071;
    a.Line(cx + k * (r + lw * 0.3), cy + k * (r + lw * 0.3), cx + k * r * 2.1, cy + k * r * 2.1,
           lw * 1.4, ink);
}

// ---- Tab pictograms, also shown small on the panel toggle of the status bar --------------

// Each fits 8 rows from top, centred on cx.
void TabIconFile(Art& a, double cx, double top) { Document(a, cx - 3.5, top, 7, 8, kWhite, kInk, 1); }

void TabIconPen(Art& a, double cx, double top) { Pencil(a, cx - 8, top + 6.5, cx + 8, top + 1.5, 4); }

void TabIconColour(Art& a, double cx, double top) {
    a.Disc(cx - 5, top + 4, 3, Colour{214, 70, 62});
    a.Disc(cx, top + 4, 3, Colour{236, 184, 54});
    a.Disc(cx + 5, top + 4, 3, Colour{64, 122, 196});
}

void TabIconPaper(Art& a, double cx, double top) {
    a.RoundRect(cx - 6, top, cx + 6, top + 8, 1, kWhite);
    a.RoundFrame(cx - 6, top, cx + 6, top + 8, 1, 1, kInk);
    static const char* const grain[] = {".#...+..#.", "...#...+..", ".+...#...#", "....+..#..",
                                        "..#....+.."};
    a.Pixels(int(cx) - 5, int(top) + 1, grain, 5, kInkSoft);
}

void TabIconKeys(Art& a, double cx, double top) {
    a.RoundRect(cx - 8, top, cx + 9, top + 8, 1.5, kWhite);
    a.RoundFrame(cx - 8, top, cx + 9, top + 8, 1.5, 1, kInk);
    static const char* const keys[] = {"#.#.#.#.#.#", "...........", "#.#.#.#.#.#", "..#######.."};
    a.Pixels(int(cx) - 5, int(top) + 2, keys, 4, kInk);
}

void (*const kTabIcons[5])(Art&, double, double) = {TabIconFile, TabIconPen, TabIconColour,
                                                    TabIconPaper, TabIconKeys};

// ---- The marks ---------------------------------------------------------------------------

void DrawMarks(Art& a) {
    // Selection mark: an accent dot on white, so that multiplying it leaves its
    // surroundings alone.
    SkinRect sel = RegionRect(Region::SelectionMark);
    a.Clip(sel);
    a.Fill(sel, kWhite);
    a.Disc(sel.x + 5, sel.y + 5, 3.4, kAccent);
    a.Ring(sel.x + 5, sel.y + 5, 3.1, 0.8, kAccentDark, 0.6);

    // Eraser mark: a pink rubber across the pen, tilted, so that the pen under it still
    // shows.
    SkinRect er = RegionRect(Region::EraserMark);
    a.Clip(er);
    a.Fill(er, kWhite);
    double x = er.x, y = er.y;
    a.Polygon({x + 0.5, y + 6.5, x + 4.5, y + 2.5, x + 9.5, y + 7.5, x + 7.5, y + 9.5, x + 3.5, y + 9.5},
              Colour{250, 170, 186});
    a.Polygon({x + 4.5, y + 2.5, x + 6.5, y + 0.5, x + 9.5, y + 3.5, x + 9.5, y + 7.5}, Colour{150, 186, 226});
    a.Line(x + 0.5, y + 6.5, x + 6.5, y + 0.5, 1, Colour{170, 60, 90});
    a.Line(x + 3.5, y + 9.5, x + 9.5, y + 3.5, 1, Colour{170, 60, 90});
    a.Unclip();
}

// ---- Pens ------------------------------------------------------------------------------

// Each pen is a coverage function over its 10 x 10 block (0 = no mark, 1 = full pencil),
// centred on the stylus point at (5, 5) of the block.
struct PenShape {
    double radius;    // where the coverage has faded out
    double core;      // inside this the coverage is full
    double strength;  // coverage at the centre
    double squash;    // > 1: a flat, slanted chisel
    double speckle;   // share of grains knocked out (chalk)
};

constexpr PenShape kPens[vellum::kPenCount] = {
    {1.9, 0.9, 1.00, 1.0, 0.0},   // 0 hard fine point
    {2.6, 1.0, 0.62, 1.0, 0.0},   // 1 fine pencil
    {3.3, 1.2, 0.40, 1.0, 0.0},   // 2 medium pencil (the start pen)
    {4.1, 1.0, 0.26, 1.0, 0.0},   // 3 soft medium pencil
    {4.3, 3.3, 0.62, 1.0, 0.0},   // 4 broad firm pencil
    {4.8, 1.6, 0.72, 2.6, 0.0},   // 5 chisel
    {5.0, 0.5, 0.20, 1.0, 0.0},   // 6 broad soft pencil
    {5.6, 0.0, 0.13, 1.0, 0.0},   // 7 shading pencil, for building up tone
    {4.5, 2.6, 0.74, 1.0, 0.42},  // 8 chalk: grains knocked out of a broad tip
};

double PenCoverage(const PenShape& p, double dx, double dy) {
    if (p.squash > 1) {
        // Rotate by 45 degrees and squash across the tip.
        double u = (dx - dy) * 0.7071, v = (dx + dy) * 0.7071;
        dx = u;
        dy = v * p.squash;
    }
    double d = std::sqrt(dx * dx + dy * dy);
    return p.strength * (1 - Smooth(p.core, p.radius, d));
}

void DrawPens(Art& a) {
    SkinRect row = RegionRect(Region::PenRow);
    a.Clip(row);
    a.Fill(row, kPageBg);
    // A white tray holds the pens; each pen with the gap on its right is one pen cell.
    a.RoundRect(row.x + 2, row.y + 1, row.Right() - 2, row.Bottom() - 1, 4, kWhite);
    a.RoundFrame(row.x + 2, row.y + 1, row.Right() - 2, row.Bottom() - 1, 4, 1, kLine);
    Random grains(0x5EED0008);
    for (int i = 0; i < vellum::kPenCount; ++i) {
        SkinRect r = PenIconRect(i);
        const PenShape& p = kPens[i];
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                double k = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        k += PenCoverage(p, x + (sx + 0.5) / 4 - 5, y + (sy + 0.5) / 4 - 5);
                k /= 16;
                if (p.speckle > 0) {
                    double g = grains.Unit();
                    k *= g < p.speckle ? 0.25 * g / p.speckle : 0.5 + 0.5 * (g - p.speckle) / (1 - p.speckle);
                }
                a.Set(r.x + x, r.y + y, Grey(255 * (1 - k)));
            }
        // The pen's number under it, as the status bar shows it.
        a.Pixels(r.x + 3, r.y + 12, kDigits3x5[i + 1], 5, kInkSoft);
        // Light dividers between the pen cells.
        if (i > 0) a.VLine(r.x - 1, row.y + 6, row.Bottom() - 7, Grey(232));
    }
    a.Unclip();
}

// ---- Status bar icons --------------------------------------------------------------------

void DrawPaperIcons(Art& a) {
    for (int p = 0; p < vellum::kPaperCount; ++p) {
        SkinRect r = PaperIconRect(p);
        a.Clip(r);
        a.Fill(r, kWhite);
        bool inverted = p % 2 == 1, coarse = p >= 2;
        Colour ground = inverted ? Grey(96) : kWhite;
        Colour grain = inverted ? Grey(232) : Grey(118);
        a.Fill(r.x + 1, r.y + 1, 8, 8, ground);
        static const char* const fine[] = {"#...#...", "..#...#.", "#...#...", "..#...#.",
                                           "#...#...", "..#...#.", "#...#...", "..#...#."};
        static const char* const coarseGrain[] = {"##...##.", "##...##.", "....#...", "....#...",
                                                  ".##....#", ".##.....", "......##", "......##"};
        a.Pixels(r.x + 1, r.y + 1, coarse ? coarseGrain : fine, 8, grain);
        a.HLine(r.x + 1, r.x + 8, r.y + 0, kInk);
        a.HLine(r.x + 1, r.x + 8, r.y + 9, kInk);
        a.VLine(r.x + 0, r.y + 1, r.y + 8, kInk);
        a.VLine(r.x + 9, r.y + 1, r.y + 8, kInk);
    }
    a.Unclip();
}

void DrawZoomIcons(Art& a) {
    static const char* const digits[4][7] = {
        {"..#.", ".##.", "..#.", "..#.", "..#.", "..#.", ".###"},
        {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},
        {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},
        {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},
    };
    static const char* const times[] = {"#.#", ".#.", "#.#"};
    for (int z = 0; z < vellum::kZoomLevels; ++z) {
        SkinRect r = ZoomIconRect(z);
        a.Clip(r);
        a.Fill(r, kWhite);
        a.Pixels(r.x + 1, r.y + 2, digits[z], 7, kInk);
        a.Pixels(r.x + 6, r.y + 6, times, 3, kInk);
    }
    a.Unclip();
}

// The zoomed-out levels as fractions: a 1 over a slash over 2, 4 or 8.
void DrawZoomOutIcons(Art& a) {
    static const char* const one[] = {".#", "##", ".#", ".#", ".#"};
    static const char* const slash[] = {"...#", "...#", "..#.", ".#..", "#...", "#..."};
    static const char* const under[3][5] = {
        {"##.", "..#", ".#.", "#..", "###"},
        {"#.#", "#.#", "###", "..#", "..#"},
        {"###", "#.#", "###", "#.#", "###"},
    };
    for (int k = 1; k <= 3; ++k) {
        SkinRect r = ZoomIconRect(-k);
        a.Clip(r);
        a.Fill(r, kWhite);
        a.Pixels(r.x + 0, r.y + 0, one, 5, kInk);
        a.Pixels(r.x + 3, r.y + 2, slash, 6, kInk);
        a.Pixels(r.x + 7, r.y + 5, under[k - 1], 5, kInk);
        a.Unclip();
    }
}

// ---- The emblem: a sharpened pencil seen from the side, its point making a V -------------

// The emblem's shapes in a 20 x 20 box with its top-left corner at (x, y), for any target
// that draws polygons, discs and lines: the skin, the icons of every size, the SVG icon.
// Nothing of it belongs in the box's top row, which the skin keeps as ground.
template <class Target>
void EmblemShapes(Target& a, double x, double y) {
    // Lacquered body, its three facets.
    a.Polygon({x + 3, y + 1, x + 17, y + 1, x + 17, y + 5, x + 3, y + 5}, kAccent);
    a.Polygon({x + 7.5, y + 1, x + 12.5, y + 1, x + 12.5, y + 5, x + 7.5, y + 5}, Mix(kAccent, kWhite, 0.3));
    a.Line(x + 3, y + 1.2, x + 17, y + 1.2, 0.6, kAccentDark, 0.5);
    // Sharpened wood with its scalloped edge, then the lead.
    a.Polygon({x + 3, y + 5, x + 17, y + 5, x + 10, y + 19}, kWood);
    a.Disc(x + 5.3, y + 5, 2.3, kAccent);
    a.Disc(x + 10, y + 5, 2.3, Mix(kAccent, kWhite, 0.3));
    a.Disc(x + 14.7, y + 5, 2.3, kAccent);
    a.Polygon({x + 7.2, y + 13.4, x + 12.8, y + 13.4, x + 10, y + 19}, kInk);
    a.Line(x + 3.2, y + 5, x + 10, y + 18.6, 0.7, kAccentDark, 0.55);
    a.Line(x + 16.8, y + 5, x + 10, y + 18.6, 0.7, kAccentDark, 0.55);
}

void DrawEmblem(Art& a, int ox, int oy, Colour ground) {
    a.Fill(ox, oy, 20, 20, ground);
    EmblemShapes(a, ox, oy);
    a.Fill(ox, oy, 20, 1, ground);
}

// ---- The program's icons -------------------------------------------------------------------

// The emblem on a paper-coloured rounded tile, in emblem units: the tile spans 0..24, the
// emblem's box sits at (2, 2.5). IconArt renders it at any size with transparency around
// the tile; SvgArt writes the same shapes as a scalable picture.
constexpr double kTileUnits = 24;
constexpr Colour kIconTile{250, 247, 240};
constexpr Colour kIconTileEdge{214, 208, 196};

// Straight (not premultiplied) RGBA pixels, drawn by 4 x 4 supersampling like Art.
class IconArt {
public:
    explicit IconArt(int size) : n(size), scale(size / kTileUnits), px(size_t(size) * size * 4, 0.0) {}

    template <class Inside>
    void Shape(double x0, double y0, double x1, double y1, Colour c, double alpha, Inside inside) {
        const int i0 = std::max(0, int(std::floor(x0 * scale))), i1 = std::min(n - 1, int(std::ceil(x1 * scale)));
        const int j0 = std::max(0, int(std::floor(y0 * scale))), j1 = std::min(n - 1, int(std::ceil(y1 * scale)));
        for (int j = j0; j <= j1; ++j)
            for (int i = i0; i <= i1; ++i) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        if (inside((i + (sx + 0.5) / 4) / scale, (j + (sy + 0.5) / 4) / scale)) ++hits;
                Over(i, j, c, alpha * hits / 16.0);
            }
    }
    void Polygon(const std::vector<double>& xy, Colour c, double alpha = 1) {
        const Bounds b = PolygonBounds(xy);
        Shape(b.x0, b.y0, b.x1, b.y1, c, alpha, [&](double x, double y) { return InPolygon(xy, x, y); });
    }
    void Disc(double cx, double cy, double r, Colour c, double alpha = 1) {
        Shape(cx - r, cy - r, cx + r, cy + r, c, alpha,
              [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
    }
    void Line(double ax, double ay, double bx, double by, double width, Colour c, double alpha = 1) {
        const double h = width / 2;
        Shape(std::min(ax, bx) - h, std::min(ay, by) - h, std::max(ax, bx) + h, std::max(ay, by) + h, c, alpha,
              [=](double x, double y) { return Art::SegmentDistance(x, y, ax, ay, bx, by) <= h; });
    }
    void RoundRect(double x0, double y0, double x1, double y1, double r, Colour c, double alpha = 1) {
        Shape(x0, y0, x1, y1, c, alpha,
              [=](double x, double y) { return Art::RoundRectDistance(x, y, x0, y0, x1, y1, r) <= 0; });
    }

    // Rows of R, G, B, A bytes, top row first.
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> out(px.size());
        for (size_t k = 0; k < px.size(); ++k) out[k] = Art::ToByte(k % 4 == 3 ? px[k] * 255 : px[k]);
        return out;
    }
    int Size() const { return n; }


private:
    // Source over destination, kept unpremultiplied.
    void Over(int i, int j, Colour c, double a) {
        if (a <= 0) return;
        a = std::min(a, 1.0);
        double* p = &px[(size_t(j) * n + i) * 4];
        const double out = a + p[3] * (1 - a);
        if (out <= 0) return;
        const double keep = p[3] * (1 - a);
        p[0] = (c.r * a + p[0] * keep) / out;
        p[1] = (c.g * a + p[1] * keep) / out;
        p[2] = (c.b * a + p[2] * keep) / out;
        p[3] = out;
    }

    int n;
    double scale;
    std::vector<double> px;
};

// The same shapes as SVG elements, in emblem units.
class SvgArt {
public:
    void Polygon(const std::vector<double>& xy, Colour c, double alpha = 1) {
        std::string points;
        for (size_t k = 0; k < xy.size(); k += 2) points += (k ? " " : "") + Num(xy[k]) + "," + Num(xy[k + 1]);
        text += "  <polygon points=\"" + points + "\"" + Fill(c, alpha) + "/>\n";
    }
    void Disc(double cx, double cy, double r, Colour c, double alpha = 1) {
        text += "  <circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"" + Num(r) + "\"" + Fill(c, alpha) + "/>\n";
    }
    void Line(double ax, double ay, double bx, double by, double width, Colour c, double alpha = 1) {
        text += "  <line x1=\"" + Num(ax) + "\" y1=\"" + Num(ay) + "\" x2=\"" + Num(bx) + "\" y2=\"" + Num(by) +
                "\" stroke=\"" + Rgb(c) + "\" stroke-opacity=\"" + Num(alpha) + "\" stroke-width=\"" + Num(width) +
                "\" stroke-linecap=\"round\"/>\n";
    }
    void RoundRect(double x0, double y0, double x1, double y1, double r, Colour c, double alpha = 1) {
        text += "  <rect x=\"" + Num(x0) + "\" y=\"" + Num(y0) + "\" width=\"" + Num(x1 - x0) + "\" height=\"" +
                Num(y1 - y0) + "\" rx=\"" + Num(r) + "\"" + Fill(c, alpha) + "/>\n";
    }
    std::string text;

private:
    static std::string Num(double v) {
        char b[32];
        std::snprintf(b, sizeof b, "%.3g", v);
        return b;
    }
    static std::string Rgb(Colour c) {
        char b[16];
        std::snprintf(b, sizeof b, "#%02x%02x%02x", Art::ToByte(c.r), Art::ToByte(c.g), Art::ToByte(c.b));
        return b;
    }
    static std::string Fill(Colour c, double alpha) {
        return " fill=\"" + Rgb(c) + "\"" + (alpha < 1 ? " fill-opacity=\"" + Num(alpha) + "\"" : std::string());
    }
};

template <class Target>
void DrawIcon(Target& a) {
    a.RoundRect(0.5, 0.5, kTileUnits - 0.5, kTileUnits - 0.5, 4.5, kIconTileEdge);
    a.RoundRect(1, 1, kTileUnits - 1, kTileUnits - 1, 4, kIconTile);
    EmblemShapes(a, 2, 2.5);
}

// ---- Status bar -------------------------------------------------------------------------

void EtchedSeparator(Art& a, int x, int y0, int y1) {
    a.VLine(x, y0, y1, kBarSep);
    a.VLine(x + 1, y0, y1, kWhite);
}

// The first column of a bar hot area.
int AreaStart(BarAction action) {
    for (const vellum::BarHotArea& area : vellum::kBarHotAreas)
        if (area.action == action) return area.x0;
    return 0;
}

void DrawStatusBar(Art& a) {
    SkinRect bar = RegionRect(Region::PristineBar);
    a.Clip(bar);
    a.Fill(bar, kBarBg);
    a.HLine(0, bar.w - 1, 0, kBarEdge);
    a.HLine(0, bar.w - 1, bar.h - 1, kBarEdge);

    // 0..99, show or hide the panel: one raised button holding the panel's five page
    // pictograms close together, with the show/hide chevrons at its end, so that it
    // reads as one control and not as five page buttons.
    a.RoundRect(5.5, 6.5, 96.5, 25.5, 4, kBarSep, 0.7);
    a.RoundRect(4.5, 5.5, 95.5, 24.5, 4, Mix(kBarBg, kWhite, 0.75));
    a.RoundFrame(4.5, 5.5, 95.5, 24.5, 4, 1, kInkSoft);
    const double centres[5] = {12, 27.5, 44.5, 60, 76};
    for (int p = 0; p < 5; ++p) kTabIcons[p](a, centres[p], 11);
    a.VLine(86, 8, 21, kBarSep);
    a.Polygon({88.5, 13.5, 93.5, 13.5, 91, 10.5}, kInk);
    a.Polygon({88.5, 16.5, 93.5, 16.5, 91, 19.5}, kInk);

    // Separators between the hot areas; none between pen and colour, where the pen
    // number sits.
    for (int x : {AreaStart(BarAction::ToggleEraser), AreaStart(BarAction::NextPaper),
                  AreaStart(BarAction::NextZoom), AreaStart(BarAction::ToggleHand),
                  AreaStart(BarAction::Undo) - 1, AreaStart(BarAction::MoveStrips) - 1})
        EtchedSeparator(a, x, 5, 24);

    // Pen (icon and number are drawn by the program on the plain ground at 105..122),
    // with a small pencil above as its label.
    Pencil(a, 106, 6.5, 121, 3.5, 3.2);
    // Colour: a frame around the swatch the program fills.
    const SkinRect swatch = vellum::kBarSwatch;
    a.Fill(swatch.x - 1, swatch.y - 1, swatch.w + 2, swatch.h + 2, kInk);
    a.Fill(swatch, kWhite);
    a.Disc(127.5, 5.5, 2.2, Colour{214, 70, 62});
    a.Disc(132.5, 5.5, 2.2, Colour{64, 122, 196});
    // Paper: two sheets, one on the other, above the icon.
    a.Fill(147, 3, 9, 6, kInkSoft);
    a.Fill(148, 4, 7, 4, kWhite);
    a.Fill(144, 5, 9, 6, kInkSoft);
    a.Fill(145, 6, 7, 4, kWhite);
    // Zoom: a magnifier above the icon.
    Magnifier(a, 168.5, 6.3, 2.6, 1.1, kInkSoft);
    // Hand mode: an open hand above the spot where the mark goes.
    static const char* const hand[] = {
        "...#.#.....", "..#.#.#....", "..#.#.#.#..", "..#.#.#.#..", "#.#.#.#.#..",
        ".##.....#..", "..#.....#..", "...#...#...", "....###....",
    };
    a.Pixels(184, 2, hand, 9, kInkSoft);
    // The blank must stay plain: it is copied under every bar icon.
    a.Fill(RegionRect(Region::BarPenBlank), kBarBg);
    for (SkinRect icon : {vellum::kBarPaperIcon, vellum::kBarZoomIcon, vellum::kBarHandIcon})
        a.Fill(icon, kBarBg);

    // 200..220: the emblem, as the program copies it in at start.
    SkinRect slot = RegionRect(Region::BarEmblemSlot);
    a.Clip(slot);
    DrawEmblem(a, slot.x, slot.y, kBarBg);
    a.Clip(bar);

    // 221..239: move the strips to the other end of the window.
    a.Polygon({230.5, 5, 235.5, 11, 225.5, 11}, kInk);
    a.Polygon({230.5, 25, 235.5, 19, 225.5, 19}, kInk);
    a.Line(230.5, 10, 230.5, 20, 1.4, kInk);
    a.Unclip();
}

// ---- Tool panel background ----------------------------------------------------------------

void DrawPanel(Art& a) {
    SkinRect panel = RegionRect(Region::PristinePanel);
    const int top = panel.y;  // panel rows are counted from here
    a.Clip(panel);
    a.Fill(panel, kPageBg);
    // The tab column and the quit button.
    const int tabs = vellum::kPanelHotAreas[0].x1 + 1;  // the tab column's width
    a.Fill(0, top, tabs, panel.h, kTabBg);
    a.VLine(tabs, top, top + panel.h - 1, kTabSep);
    a.HLine(0, panel.w - 1, top, kBarEdge);
    a.HLine(0, panel.w - 1, top + panel.h - 1, kBarEdge);
    for (int p = 0; p < vellum::kPageCount; ++p) {
        int y = top + 10 + 20 * p;
        a.HLine(3, 36, y, kTabSep);
        a.HLine(3, 36, y + 1, Mix(kTabBg, kWhite, 0.5));
        kTabIcons[p](a, 20, y + 2);
        // The socket where the tab mark lands, at the centre of the selection mark.
        const vellum::SkinPoint mark = vellum::TabMarkPlace(p);
        a.Ring(mark.x + 5, top + mark.y + 5, 3, 0.9, kSocket);
    }
    a.HLine(3, 36, top + 110, kTabSep);
    a.HLine(3, 36, top + 111, Mix(kTabBg, kWhite, 0.5));
    // Quit: a power symbol.
    a.Shape(13, top + 112, 27, top + 128, kInk, 1, [=](double x, double y) {
        double dx = x - 20, dy = y - (top + 120.5);
        double d = std::sqrt(dx * dx + dy * dy);
        bool ring = d >= 4.2 && d <= 5.6 && !(dy < 0 && std::fabs(dx) < 2.6);
        bool stem = std::fabs(dx) <= 0.75 && dy >= -6.4 && dy <= -0.6;
        return ring || stem;
    });

    // Full view (x 40..99, y 116..129): four corners of a frame.
    double fx0 = 63.5, fx1 = 76.5, fy0 = top + 117.5, fy1 = top + 126.5;
    for (double sx : {0.0, 1.0})
        for (double sy : {0.0, 1.0}) {
            double cx = sx ? fx1 : fx0, cy = sy ? fy1 : fy0;
            double ix = sx ? -3.5 : 3.5, iy = sy ? -3 : 3;
            a.Line(cx, cy, cx + ix, cy, 1, kInkSoft);
            a.Line(cx, cy, cx, cy + iy, 1, kInkSoft);
        }
    // About (x >= 161, y >= 121): an "i" in a ring.
    static const char* const about[] = {"..#####..", ".#.....#.", "#...#...#", "#.......#",
                                        "#...#...#", "#...#...#", ".#..#..#.", "..#####.."};
    a.Pixels(196, top + 121, about, 8, kInkSoft);
    a.Unclip();
}

// ---- Palette ----------------------------------------------------------------------------

Colour Hue(double h) {  // h in [0, 6)
    double f = h - std::floor(h);
    int s = int(std::floor(h)) % 6;
    switch (s) {
        case 0: return {255, 255 * f, 0};
        case 1: return {255 * (1 - f), 255, 0};
        case 2: return {0, 255, 255 * f};
        case 3: return {0, 255 * (1 - f), 255};
        case 4: return {255 * f, 0, 255};
        default: return {255, 0, 255 * (1 - f)};
    }
}

constexpr int kHueColumns = 150;
constexpr int kGreyColumn = 152;  // greys from here to the palette's right edge
constexpr int kGreySteps = 12;

void DrawPalette(Art& a) {
    SkinRect r = RegionRect(Region::Palette);
    a.Clip(r);
    a.Fill(r, kPageBg);
    for (int y = 0; y < r.h; ++y) {
        // Light tints at the top, the full hue in the middle, dark shades at the bottom.
        double t = (y + 0.5) / r.h;
        for (int x = 0; x < kHueColumns; ++x) {
            Colour pure = Hue(6.0 * (x + 0.5) / kHueColumns);
            Colour c = t < 0.5 ? Mix(kWhite, pure, 0.1 + 0.9 * (t / 0.5))
                               : Mix(pure, Grey(0), 0.88 * (t - 0.5) / 0.5);
            a.Set(r.x + x, r.y + y, c);
        }
        // The grey ramp in even steps, pure white at the top and pure black at the bottom.
        int step = y * kGreySteps / r.h;
        double v = 255.0 * (kGreySteps - 1 - step) / (kGreySteps - 1);
        for (int x = kGreyColumn; x < r.w; ++x) a.Set(r.x + x, r.y + y, Grey(std::floor(v)));
    }
    a.Unclip();
}

// ---- Papers ----------------------------------------------------------------------------

constexpr int kTile = 100;

// Value noise on an n x n lattice that wraps around the 100 x 100 tile (n divides 100).
class TileNoise {
public:
    TileNoise(int n, Random& rnd) : n(n), v(size_t(n) * n) {
        for (double& x : v) x = rnd.Unit();
    }
    double At(double x, double y) const {  // x, y in tile pixels
        double fx = x * n / kTile, fy = y * n / kTile;
        int ix = int(std::floor(fx)), iy = int(std::floor(fy));
        double tx = fx - ix, ty = fy - iy;
        tx = tx * tx * (3 - 2 * tx);
        ty = ty * ty * (3 - 2 * ty);
        double a = L(ix, iy), b = L(ix + 1, iy), c = L(ix, iy + 1), d = L(ix + 1, iy + 1);
        return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
    }

private:
    double L(int x, int y) const { return v[size_t(((y % n) + n) % n) * n + ((x % n) + n) % n]; }
    int n;
    std::vector<double> v;
};

// Maps the field's ranks onto lo..hi, weighted towards the light end by gamma < 1, so that
// both papers have the same controlled spread of values whatever the noise.
void RankMap(std::vector<double>& field, double lo, double hi, double gamma) {
    std::vector<int> order(field.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int p, int q) {
        return field[p] < field[q] || (field[p] == field[q] && p < q);
    });
    for (size_t k = 0; k < order.size(); ++k) {
        double r = (k + 0.5) / order.size();
        field[order[k]] = lo + (hi - lo) * std::pow(r, gamma);
    }
}

void StoreTile(Art& a, SkinRect r, const std::vector<double>& field) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) a.Set(r.x + x, r.y + y, Grey(std::floor(field[y * kTile + x])));
}

// A fibre: a short soft line laid on the tile with wraparound.
void Fibre(std::vector<double>& f, double x0, double y0, double angle, double len, double depth) {
    double ux = std::cos(angle), uy = std::sin(angle);
    int steps = int(len * 2);
    for (int s = 0; s <= steps; ++s) {
        double px = x0 + ux * s / 2, py = y0 + uy * s / 2;
        int ix = int(std::floor(px)), iy = int(std::floor(py));
        int wx = ((ix % kTile) + kTile) % kTile, wy = ((iy % kTile) + kTile) % kTile;
        f[size_t(wy) * kTile + wx] -= depth / 2;
    }
}

// Texture A: a fine tooth, grain of one to four pixels with a few faint fibres.
void DrawPaperA(Art& a) {
    Random rnd(0x5EED000A);
    TileNoise n1(100, rnd), n2(50, rnd), n4(25, rnd), n10(10, rnd);
    std::vector<double> f(size_t(kTile) * kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            f[size_t(y) * kTile + x] = 0.40 * n1.At(x, y) + 0.32 * n2.At(x + 0.5, y + 0.5) +
                                       0.20 * n4.At(x + 0.5, y + 0.5) + 0.08 * n10.At(x, y);
    for (int k = 0; k < 60; ++k)
        Fibre(f, rnd.Unit() * kTile, rnd.Unit() * kTile, rnd.Unit() * 3.14159265, 4 + 8 * rnd.Unit(), 0.12);
    RankMap(f, 118, 236, 0.62);
    StoreTile(a, RegionRect(Region::PaperA), f);
}

// Blurs the tile with wraparound: three box passes each way, close to a gaussian, so
// the grain has no direction and no lattice.
void PeriodicBlur(std::vector<double>& f, int radius) {
    std::vector<double> t(f.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                double s = 0;
                for (int k = -radius; k <= radius; ++k) s += f[size_t(y) * kTile + (x + k + kTile) % kTile];
                t[size_t(y) * kTile + x] = s / (2 * radius + 1);
            }
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x) {
                double s = 0;
                for (int k = -radius; k <= radius; ++k) s += t[size_t((y + k + kTile) % kTile) * kTile + x];
                f[size_t(y) * kTile + x] = s / (2 * radius + 1);
            }
    }
}

std::vector<double> WhiteNoise(Random& rnd) {
    std::vector<double> f(size_t(kTile) * kTile);
    for (double& v : f) v = rnd.Unit();
    return f;
}

// Texture B: a coarse, rough sheet: irregular lumps of three to five pixels, sharpened
// into crests and hollows, with a finer tooth on top.
void DrawPaperB(Art& a) {
    Random rnd(0x5EED000B);
    std::vector<double> lumps = WhiteNoise(rnd), fine = WhiteNoise(rnd);
    PeriodicBlur(lumps, 1);
    // Stretch the blurred lumps back to the full range before sharpening them.
    double lo = 1, hi = 0;
    for (double v : lumps) lo = std::min(lo, v), hi = std::max(hi, v);
    std::vector<double> f(lumps.size());
    for (size_t i = 0; i < f.size(); ++i) {
        double l = Smooth(0.2, 0.8, (lumps[i] - lo) / (hi - lo));
        f[i] = 0.7 * l + 0.3 * fine[i];
    }
    RankMap(f, 92, 240, 0.9);
    StoreTile(a, RegionRect(Region::PaperB), f);
}

// ---- Buttons -------------------------------------------------------------------------------

// A button face, multiplied or copied onto the panel.
void ButtonFace(Art& a, double x0, double y0, double x1, double y1, double r) {
    a.RoundRect(x0, y0 + 1, x1, y1 + 1, r, Grey(222));  // a soft lower edge
    a.RoundRect(x0, y0, x1, y1, r, kButtonFill);
    a.RoundFrame(x0, y0, x1, y1, r, 1, kLine);
}

void DrawFileButtons(Art& a) {
    SkinRect r = RegionRect(Region::FileButtons);
    a.Clip(r);
    a.Fill(r, kWhite);
    // Columns 0, 40, 80, 120 are the borders between the buttons and stay white.
    for (int k = 0; k < 4; ++k) ButtonFace(a, r.x + 40 * k + 2, r.y + 2, r.x + 40 * k + 39, r.y + 37, 5);
    double y = r.y;
    // New: a blank sheet with a plus.
    {
        double x = r.x + 1;
        Document(a, x + 12, y + 7, 16, 22, kWhite, kInk, 1.2);
        a.Disc(x + 27, y + 26, 6, kAccent);
        a.Line(x + 27, y + 22.6, x + 27, y + 29.4, 1.6, kWhite);
        a.Line(x + 23.6, y + 26, x + 30.4, y + 26, 1.6, kWhite);
    }
    // Open: a folder with a sheet sticking out.
    {
        double x = r.x + 41;
        Colour folder{232, 186, 102}, folderDark{196, 146, 66};
        a.Polygon({x + 8, y + 11, x + 16, y + 11, x + 18, y + 13.5, x + 31, y + 13.5, x + 31, y + 29, x + 8, y + 29},
                  folderDark);
        Document(a, x + 12, y + 9, 14, 14, kWhite, kInk, 1);
        a.Polygon({x + 8, y + 17, x + 31, y + 17, x + 31, y + 29, x + 8, y + 29}, folder);
        a.Line(x + 8, y + 17, x + 31, y + 17, 1, folderDark);
        a.Line(x + 8.5, y + 11, x + 8.5, y + 29, 1, folderDark);
        a.Line(x + 8, y + 28.5, x + 31, y + 28.5, 1, folderDark);
        a.Line(x + 30.5, y + 13.5, x + 30.5, y + 29, 1, folderDark);
    }
    // Save as: a disk with a pencil across it.
    {
        double x = r.x + 81;
        Disk(a, x + 8, y + 8, 20);
        Pencil(a, x + 20, y + 29, x + 33, y + 16, 4.6);
    }
    // Save: a disk.
    {
        double x = r.x + 121;
        Disk(a, x + 9, y + 8, 21);
    }
    a.Unclip();
}

void DrawPanelButton(Art& a) {
    SkinRect r = RegionRect(Region::PanelButton);
    a.Clip(r);
    a.Fill(r, kPageBg);
    ButtonFace(a, r.x + 1, r.y + 1, r.x + 59, r.y + 23, 5);
    // Three sliders: the dialog with its settings.
    for (int k = 0; k < 3; ++k) {
        double ly = r.y + 7.5 + 5 * k;
        a.Line(r.x + 20, ly, r.x + 40, ly, 1, kInkSoft);
        double kx = r.x + (k == 0 ? 26 : (k == 1 ? 35 : 23));
        a.RoundRect(kx - 2, ly - 2, kx + 2, ly + 2, 1, k == 1 ? kAccent : kInk);
    }
    a.Unclip();
}

void DrawKeySettingsButton(Art& a) {
    SkinRect r = RegionRect(Region::KeySettingsButton);
    a.Clip(r);
    a.Fill(r, kWhite);
    ButtonFace(a, r.x + 2, r.y + 2, r.x + 148, r.y + 47, 6);
    // A keyboard: two rows of keys, then the space bar between four keys, in the accent
    // colour: the key being set.
    double kx = r.x + 47, ky = r.y + 13;
    a.RoundRect(kx, ky, kx + 56, ky + 24, 3, Grey(236));
    a.RoundFrame(kx, ky, kx + 56, ky + 24, 3, 1.2, kInk);
    auto key = [&](double x0, double y0, double w, Colour fill) {
        a.RoundRect(x0, y0, x0 + w, y0 + 4.5, 0.8, fill);
        a.RoundFrame(x0, y0, x0 + w, y0 + 4.5, 0.8, 0.9, fill.r == 255 ? kInkSoft : kAccentDark);
    };
    for (int k = 0; k < 8; ++k) key(kx + 4.5 + 6 * k, ky + 3.5, 5, kWhite);
    for (int k = 0; k < 7; ++k) key(kx + 7.5 + 6 * k, ky + 9.5, 5, kWhite);
    for (int k : {0, 1, 6, 7}) key(kx + 4.5 + 6 * k, ky + 15.5, 5, kWhite);
    key(kx + 16.5, ky + 15.5, 23, kAccent);
    a.Unclip();
}

// ---- Undo and redo -------------------------------------------------------------------------

// A curved arrow over the top of a circle of radius r around (cx, cy): from the right,
// over the top, down to the left where its head points (undo); mirrored, it points right
// (redo).
void TurnArrow(Art& a, double cx, double cy, double r, double lw, Colour ink, bool mirrored) {
    const double pi = 3.14159265358979;
    const double half = lw / 2;
    const double side = mirrored ? -1 : 1;
    a.Shape(cx - r - lw, cy - r - lw, cx + r + lw, cy + r * 0.45 + lw, ink, 1, [=](double x, double y) {
        const double dx = (x - cx) * side, dy = cy - y;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < r - half || d > r + half) return false;
        const double t = std::atan2(dy, dx);  // 0 right, pi / 2 top
        return t >= -0.35 && t <= pi * 0.93;
    });
    // The head at the left end, pointing down.
    const double hx = cx - side * r, hy = cy + r * 0.1, head = lw * 1.9;
    a.Polygon({hx - head, hy - head * 0.2, hx + head, hy - head * 0.2, hx, hy + head * 1.1}, ink);
}

void DrawUndoRedo(Art& a) {
    const Colour dimInk = Mix(kInk, kBarBg, 0.72);
    // The bar's pictogram, on the bar's own ground: it is copied as it is over the emblem.
    for (Region region : {Region::BarUndo, Region::BarUndoDimmed}) {
        const SkinRect r = RegionRect(region);
        a.Clip(r);
        a.Fill(r, kBarBg);
        TurnArrow(a, r.x + 10, r.y + 11, 5.5, 1.8, region == Region::BarUndo ? kInk : dimInk, false);
        a.Unclip();
    }
    // The file page's buttons, multiplied onto the page like the file buttons: white
    // around them, and a paler face and pictogram when there is nothing to undo or redo.
    struct Button {
        Region region;
        bool redo, dimmed;
    };
    const Button buttons[] = {{Region::UndoButton, false, false}, {Region::UndoButtonDimmed, false, true},
                              {Region::RedoButton, true, false}, {Region::RedoButtonDimmed, true, true}};
    for (const Button& b : buttons) {
        const SkinRect r = RegionRect(b.region);
        a.Clip(r);
        a.Fill(r, kWhite);
        if (b.dimmed) {
            a.RoundRect(r.x + 2, r.y + 2, r.x + 39, r.y + 34, 5, Grey(252));
            a.RoundFrame(r.x + 2, r.y + 2, r.x + 39, r.y + 34, 5, 1, Mix(kLine, kWhite, 0.5));
        } else {
            ButtonFace(a, r.x + 2, r.y + 2, r.x + 39, r.y + 33, 5);
        }
        const Colour ink = b.dimmed ? Mix(kInk, kWhite, 0.72) : kInk;
        TurnArrow(a, r.x + 20.5, r.y + 19, 8, 2.6, ink, b.redo);
        a.Unclip();
    }
}

// The picture size button, beside redo and like it: a small sheet in the corner of a
// larger one drawn dashed, an arrow from the one corner to the other.
void DrawSizeButton(Art& a) {
    const SkinRect r = RegionRect(Region::SizeButton);
    a.Clip(r);
    a.Fill(r, kWhite);
    ButtonFace(a, r.x + 2, r.y + 2, r.x + 39, r.y + 33, 5);
    const double x0 = r.x + 9, y0 = r.y + 8, x1 = r.x + 32, y1 = r.y + 28;
    // The larger sheet's outline, dashed.
    for (double x = x0; x < x1; x += 3) {
        a.Line(x, y0, std::min(x + 1.6, x1), y0, 1, kInkSoft);
        a.Line(x, y1, std::min(x + 1.6, x1), y1, 1, kInkSoft);
    }
    for (double y = y0; y < y1; y += 3) {
        a.Line(x0, y, x0, std::min(y + 1.6, y1), 1, kInkSoft);
        a.Line(x1, y, x1, std::min(y + 1.6, y1), 1, kInkSoft);
    }
    // The sheet as it is, at the top-left corner.
    a.Polygon({x0, y0, x0 + 12, y0, x0 + 12, y0 + 10, x0, y0 + 10}, kWhite);
    a.RoundFrame(x0, y0, x0 + 12, y0 + 10, 0.5, 1.2, kInk);
    // The arrow to the new corner.
    a.Line(x0 + 14, y0 + 12, x1 - 3, y1 - 3, 1.6, kAccent);
    a.Polygon({x1 - 1, y1 - 1, x1 - 7.5, y1 - 2.5, x1 - 2.5, y1 - 7.5}, kAccent);
    a.Unclip();
}

// ---- The whole skin ------------------------------------------------------------------------

void DrawSkin(Art& a) {
    DrawStatusBar(a);
    DrawPanel(a);
    DrawMarks(a);
    DrawPens(a);
    DrawPaperIcons(a);
    DrawZoomIcons(a);
    DrawZoomOutIcons(a);
    DrawPalette(a);
    DrawPanelButton(a);
    DrawPaperA(a);
    DrawPaperB(a);
    SkinRect emblem = RegionRect(Region::BarEmblem);
    a.Clip(emblem);
    DrawEmblem(a, emblem.x, emblem.y, kBarBg);
    a.Unclip();
    DrawFileButtons(a);
    DrawKeySettingsButton(a);
    DrawUndoRedo(a);
    DrawSizeButton(a);
}

}  // namespace

namespace {

constexpr const char* kIconId = "works.orvane.vellum";
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 192, 256, 512};

bool MakeFolders(const std::string& path) {
    for (size_t k = 1; k <= path.size(); ++k)
        if (k == path.size() || path[k] == '/') {
            const std::string part = path.substr(0, k);
            if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
    return true;
}

bool WritePng(const std::string& path, const IconArt& icon) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    std::vector<uint8_t> bytes = icon.Bytes();
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, icon.Size(), icon.Size(), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < icon.Size(); ++y) png_write_row(png, bytes.data() + size_t(y) * icon.Size() * 4);
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

bool WriteIcons(const std::string& folder) {
    for (int size : kIconSizes) {
        const std::string dir = folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        IconArt icon(size);
        DrawIcon(icon);
        if (!MakeFolders(dir) || !WritePng(dir + "/" + kIconId + ".png", icon)) return false;
    }
    SvgArt svg;
    DrawIcon(svg);
    const std::string dir = folder + "/scalable/apps";
    if (!MakeFolders(dir)) return false;
    std::FILE* f = std::fopen((dir + "/" + kIconId + ".svg").c_str(), "wb");
    if (!f) return false;
    const std::string text = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 24 24\">\n" +
                             svg.text + "</svg>\n";
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[2]) == "--icons") {
        if (!WriteIcons(argv[3])) {
            std::fprintf(stderr, "vellum-skingen: cannot write the icons into %s\n", argv[3]);
            return 1;
        }
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: vellum-skingen <out path> [--icons <folder>]\n");
        return 2;
    }
    static Art art;
    DrawSkin(art);
    vellum::OwnedSurface skin;
    std::vector<uint8_t> bytes;
    if (!skin.Allocate(kWidth, kHeight)) {
        std::fprintf(stderr, "vellum-skingen: out of memory\n");
        return 1;
    }
    art.Store(skin.Get());
    if (!vellum::EncodeBmp24(skin.Get(), bytes)) return 1;
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::fprintf(stderr, "vellum-skingen: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "vellum-skingen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
