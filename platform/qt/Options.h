#pragma once
// The desktop program's command line: the emulated screen, its scale, full screen, the
// picture to open and the screenshot option.
#include <string>
#include <vector>

namespace vellum {

struct DesktopOptions {
    int screenWidth = 240;     // the emulated handheld screen, which the view fills
    int screenHeight = 320;
    int scale = 0;             // 0: the largest integer scale that fits the monitor
    bool fullscreen = false;   // the real monitor, divided by the scale, is the screen
    std::string screenshotPath;  // grab the window once painted, save it, exit
    std::string commandLine;   // the picture path: the rest of the line, joined by spaces
    int undoMemoryMiB = 128;   // what undo may keep, in MiB (at least 16)
};

// The smallest screen the status bar and the tool panel fit on.
constexpr int kMinScreenWidth = 240;
constexpr int kMinScreenHeight = 160;
constexpr int kMaxScreenSide = 8192;
constexpr int kMaxScale = 16;
// Room left for the window frame and title when a window's scale is chosen.
constexpr int kWindowFrameMargin = 64;
constexpr int kLeastUndoMemoryMiB = 16;
constexpr int kMostUndoMemoryMiB = 65536;

// True when --help (or -h) comes before the picture path.
bool WantsHelp(const std::vector<std::string>& args);
// The text that --help prints.
const char* DesktopUsage();
// Parses the arguments after the program name; false with a message on a bad option.
bool ParseDesktopOptions(const std::vector<std::string>& args, DesktopOptions& options,
                         std::string& error);
// "240x320" -> 240, 320; false when malformed or outside the limits.
bool ParseScreenSize(const std::string& text, int& width, int& height);

// The scale of a full-screen run on a monitor of that size: the one asked for (0: none),
// else one at which the 240-pixel strips take about a fifth of the monitor's width;
// lowered while the monitor divided by it would be smaller than the least screen.
int FullScreenScale(int monitorWidth, int monitorHeight, int requested);
// The largest scale, 1 to maxScale, at which a window of that screen fits the area
// (the frame's title and borders left out); 1 when none does.
int WindowScale(int areaWidth, int areaHeight, int screenWidth, int screenHeight, int maxScale);

}  // namespace vellum
