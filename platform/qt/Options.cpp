#include "platform/qt/Options.h"

#include <cstdlib>

namespace vellum {

namespace {

bool ParsePositive(const std::string& text, int limit, int& value) {
    if (text.empty() || text.size() > 6) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > limit) return false;
    value = v;
    return true;
}

// "--name=value" or "--name value": takes the value and advances i past it.
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
               std::string& value, bool& matched) {
    const std::string& a = args[i];
    matched = false;
    if (a == name) {
        matched = true;
        if (i + 1 >= args.size()) return false;
        value = args[++i];
        return true;
    }
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=') {
        matched = true;
        value = a.substr(name.size() + 1);
        return true;
    }
    return true;
}

bool IsOption(const std::string& a) { return a.size() > 1 && a[0] == '-'; }

}  // namespace

bool WantsHelp(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return true;
        if (a == "--" || !IsOption(a)) return false;  // the picture path begins
        if (a == "--screen" || a == "--scale" || a == "--screenshot" || a == "--undo-memory") ++i;  // its value
    }
    return false;
}

const char* DesktopUsage() {
    return "Usage: vellum [OPTIONS] [PICTURE]\n"
           "A pencil drawing program. It shows its screen in a window of any size.\n"
           "\n"
           "Options:\n"
           "  --screen WxH       the window's starting size in screen pixels (default\n"
           "                     240x320, at least 240x160); the screen follows the\n"
           "                     window as it is resized, the picture keeps its size\n"
           "  --scale N          show every screen pixel as N x N pixels (default: the\n"
           "                     largest that fits the monitor's height)\n"
           "  --fullscreen       start full screen: the monitor's size divided by the\n"
           "                     scale is the screen (the default scale makes the tool\n"
           "                     strips a fifth of its width or more); F11 enters and\n"
           "                     leaves full screen, Esc leaves it\n"
           "  --undo-memory MIB  how much memory undo may keep, in MiB (default 128, at\n"
           "                     least 16); over it the oldest steps are forgotten\n"
           "  --screenshot PATH  save the window as a PNG picture once it is first painted\n"
           "                     (and the PICTURE opened), then exit without writing the\n"
           "                     settings; messages go to stderr, answered Yes or OK\n"
           "  -h, --help         show this text and exit\n"
           "\n"
           "PICTURE is opened at start; the rest of the command line after the first\n"
           "argument that is not an option is taken as the path, joined by spaces.\n"
           "Use -- before a picture path that starts with '-'.\n";
}

bool ParseScreenSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!ParsePositive(text.substr(0, x), kMaxScreenSide, w) ||
        !ParsePositive(text.substr(x + 1), kMaxScreenSide, h))
        return false;
    if (w < kMinScreenWidth || h < kMinScreenHeight) return false;
    width = w;
    height = h;
    return true;
}

int FullScreenScale(int monitorWidth, int monitorHeight, int requested) {
    int scale = requested;
    if (scale <= 0) {
        // The smallest scale at which the 240-pixel strips are a fifth of the monitor's
        // width or more: a 1600-pixel monitor gets 2 (strips 480 wide), not 1 (240).
        scale = (monitorWidth + kMinScreenWidth * 5 - 1) / (kMinScreenWidth * 5);
    }
    scale = scale < 1 ? 1 : scale > kMaxScale ? kMaxScale : scale;
    while (scale > 1 && (monitorWidth / scale < kMinScreenWidth || monitorHeight / scale < kMinScreenHeight))
        --scale;
    return scale;
}

int WindowScale(int areaWidth, int areaHeight, int screenWidth, int screenHeight, int maxScale) {
    if (screenWidth <= 0 || screenHeight <= 0) return 1;
    const int byWidth = areaWidth / screenWidth;
    const int byHeight = (areaHeight - kWindowFrameMargin) / screenHeight;
    int scale = byWidth < byHeight ? byWidth : byHeight;
    if (scale > maxScale) scale = maxScale;
    return scale < 1 ? 1 : scale;
}

bool ParseDesktopOptions(const std::vector<std::string>& args, DesktopOptions& options,
                         std::string& error) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            ++i;
            break;
        }
        if (!IsOption(a)) break;
        std::string value;
        bool matched = false;
        if (!TakeValue(args, i, "--screen", value, matched)) {
            error = "--screen needs a size such as 240x320";
            return false;
        }
        if (matched) {
            if (!ParseScreenSize(value, options.screenWidth, options.screenHeight)) {
                error = "bad screen size '" + value + "': give WxH, at least 240x160";
                return false;
            }
            continue;
        }
        if (!TakeValue(args, i, "--scale", value, matched)) {
            error = "--scale needs a number";
            return false;
        }
        if (matched) {
            if (!ParsePositive(value, kMaxScale, options.scale)) {
                error = "bad scale '" + value + "': give a whole number from 1 to 16";
                return false;
            }
            continue;
        }
        if (!TakeValue(args, i, "--screenshot", value, matched)) {
            error = "--screenshot needs a file name";
            return false;
        }
        if (matched) {
            if (value.empty()) {
                error = "--screenshot needs a file name";
                return false;
            }
            options.screenshotPath = value;
            continue;
        }
        if (!TakeValue(args, i, "--undo-memory", value, matched)) {
            error = "--undo-memory needs a number of MiB";
            return false;
        }
        if (matched) {
            if (!ParsePositive(value, kMostUndoMemoryMiB, options.undoMemoryMiB) ||
                options.undoMemoryMiB < kLeastUndoMemoryMiB) {
                error = "bad undo memory '" + value + "': give a whole number of MiB, at least 16";
                return false;
            }
            continue;
        }
        if (a == "--fullscreen") {
            options.fullscreen = true;
            continue;
        }
        error = "unknown option '" + a + "'";
        return false;
    }
    options.commandLine.clear();
    for (; i < args.size(); ++i) {
        if (!options.commandLine.empty()) options.commandLine += ' ';
        options.commandLine += args[i];
    }
    return true;
}

}  // namespace vellum
