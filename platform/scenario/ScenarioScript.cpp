#include "platform/scenario/ScenarioScript.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

#include "imageio/formats/Bmp.h"
#include "imageio/formats/PictureFile.h"
#include "platform/common/SettingsFile.h"

namespace vellum {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        if (i == text.size()) break;
        size_t j = i;
        while (j < text.size() && !IsBlank(text[j])) ++j;
        words.push_back(text.substr(i, j - i));
        i = j;
    }
    return words;
}

// The text after the first count words and the blanks that follow them: a TEXT or PATH
// argument, kept exactly (inner and trailing blanks included).
std::string AfterWords(const std::string& text, int count) {
    size_t i = 0;
    for (int k = 0; k < count; ++k) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        while (i < text.size() && !IsBlank(text[i])) ++i;
    }
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string Trim(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// A decimal number within [low, high]; digits only, with a '-' where low allows it.
bool ParseNumber(const std::string& word, int64_t low, int64_t high, int64_t& out) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && word[i] == '-' && low < 0) {
        negative = true;
        ++i;
    }
    if (i == word.size() || word.size() - i > 12) return false;
    int64_t value = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        value = value * 10 + (word[i] - '0');
    }
    if (negative) value = -value;
    if (value < low || value > high) return false;
    out = value;
    return true;
}

int64_t Number(const ScriptLine& line, const std::string& word, int64_t low, int64_t high) {
    int64_t value = 0;
    if (!ParseNumber(word, low, high, value))
        FailScript(line, "\"" + word + "\" is not a number from " + std::to_string(low) + " to " +
                             std::to_string(high));
    return value;
}

void NeedArgs(const ScriptLine& line, const std::vector<std::string>& args, size_t count) {
    if (args.size() != count)
        FailScript(line, "expected " + std::to_string(count) + " argument" + (count == 1 ? "" : "s"));
}

constexpr int64_t kCoordLimit = 1000000;
constexpr int64_t kKeyCodeMax = 0xFFFFFFFFLL;


DialogAction ParseAction(const ScriptLine& line, const std::string& source) {
    DialogAction action{};
    action.source = source;
    const std::vector<std::string> words = SplitWords(source);
    const std::string& verb = words[0];
    auto control = [&](size_t wanted) {
        if (words.size() < 2 || (wanted && words.size() != wanted))
            FailScript(line, "dialog action \"" + source + "\" is incomplete");
        action.control = int(Number(line, words[1], 0, 65535));
    };
    if (verb == "set") {
        control(0);
        action.kind = DialogAction::Set;
        action.text = AfterWords(source, 2);
    } else if (verb == "check") {
        control(3);
        action.kind = DialogAction::Check;
        action.number = Number(line, words[2], 0, 1);
    } else if (verb == "spin") {
        control(3);
        action.kind = DialogAction::Spin;
        action.number = Number(line, words[2], -100000, 100000);
    } else if (verb == "click") {
        control(2);
        action.kind = DialogAction::Click;
    } else if (verb == "keydown" || verb == "keyup") {
        if (words.size() != 2) FailScript(line, "dialog action \"" + source + "\" needs a key code");
        action.kind = verb == "keydown" ? DialogAction::KeyDown : DialogAction::KeyUp;
        action.number = Number(line, words[1], 0, kKeyCodeMax);
    } else if (verb == "close") {
        if (words.size() != 1) FailScript(line, "dialog action \"close\" takes nothing more");
        action.kind = DialogAction::Close;
    } else {
        FailScript(line, "unknown dialog action \"" + source + "\"");
    }
    return action;
}

}  // namespace

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string DriverDirectory() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./";
    std::string path(buffer, size_t(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

ScenarioScript::ScenarioScript(ScenarioPlatform& p, ViewInput& in, const ViewInspection& look)
    : platform(p), input(in), inspection(look) {}

ScenarioScript::~ScenarioScript() { RemoveTemporaryState(); }

void ScenarioScript::RemoveTemporaryState() {
    if (temporaryStateDir.empty()) return;
    // Only what this run made there.
    const std::string dir = temporaryStateDir + "/";
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") unlink((dir + name).c_str());
        }
        closedir(d);
    }
    rmdir(temporaryStateDir.c_str());
    temporaryStateDir.clear();
}

int ScenarioScript::Run(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) RunOne(int(i + 1), lines[i]);
    return Finish();
}

void ScenarioScript::RunOne(int number, std::string text) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    RunLine(ScriptLine{number, text});
    std::fflush(stdout);
}

int ScenarioScript::Finish() {
    const size_t unused = platform.messageAnswers.size() + platform.chooserAnswers.size() +
                          platform.dialogAnswers.size();
    if (unused) std::fprintf(stderr, "note: %zu queued answer(s) were never asked for\n", unused);
    std::fflush(stdout);
    return 0;
}

void ScenarioScript::RunLine(const ScriptLine& line) {
    const std::string text = line.text;
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first == text.size() || text[first] == '#') return;
    if (ended) FailScript(line, "the program has already ended");

    const std::vector<std::string> words = SplitWords(text);
    const std::string& word = words[0];
    // Arguments that are words or numbers may be followed by a comment.
    std::vector<std::string> args;
    for (size_t i = 1; i < words.size() && words[i][0] != '#'; ++i) args.push_back(words[i]);
    const std::string rest = AfterWords(text, 1);

    if (RunMachineCommand(line, word, args, rest) || RunAnswerCommand(line, word, args, rest) ||
        RunUserCommand(line, word, args) || RunLookCommand(line, word, args, rest)) {
        if (started) HandlePosted();
        return;
    }
    FailScript(line, "unknown command");
}

bool ScenarioScript::RunMachineCommand(const ScriptLine& line, const std::string& word,
                                       const std::vector<std::string>& args, const std::string& rest) {
    static const char* const kWords[] = {"screen",   "language",   "programdir", "settings",
                                         "set",      "cmdline",    "instance",   "fullscreen",
                                         "pictures", "statedir",   "canvas",     "start"};
    bool known = false;
    for (const char* w : kWords) known = known || word == w;
    if (!known) return false;
    if (started) FailScript(line, word == "start" ? "the program has already started" : "this must come before start");

    if (word == "screen") {
        NeedArgs(line, args, 2);
        platform.screenWidth = int(Number(line, args[0], 0, 16384));
        platform.screenHeight = int(Number(line, args[1], 0, 16384));
    } else if (word == "canvas") {
        NeedArgs(line, args, 2);
        platform.pictureWidth = int(Number(line, args[0], 1, 8192));
        platform.pictureHeight = int(Number(line, args[1], 1, 8192));
    } else if (word == "language") {
        NeedArgs(line, args, 1);
        bool hex = args[0].size() == 4;
        for (char c : args[0]) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
        if (!hex) FailScript(line, "a language id is four hex digits");
        platform.languageId = args[0];
    } else if (word == "statedir") {
        if (rest.empty()) FailScript(line, "a folder is missing");
        platform.stateDir = rest;
    } else if (word == "programdir" || word == "pictures") {
        if (rest.empty()) FailScript(line, "a folder is missing");
        std::string dir = rest;
        if (dir.back() != '/') dir += '/';
        (word == "programdir" ? platform.programDir : platform.picturesDir) = dir;
    } else if (word == "settings") {
        if (rest.empty()) FailScript(line, "a file path is missing");
        platform.settingsFile = rest;
    } else if (word == "set") {
        const std::vector<std::string> all = SplitWords(line.text);
        if (all.size() < 2) FailScript(line, "a value name is missing");
        platform.presets.emplace_back(all[1], AfterWords(line.text, 2));
    } else if (word == "cmdline") {
        platform.commandLine = rest;
    } else if (word == "instance") {
        if (args.size() != 1 || args[0] != "running") FailScript(line, "expected \"instance running\"");
        platform.instanceRunning = true;
    } else if (word == "fullscreen") {
        if (args.size() != 1 || args[0] != "fails") FailScript(line, "expected \"fullscreen fails\"");
        platform.fullScreenFails = true;
    } else {
        NeedArgs(line, args, 0);
        Start();
    }
    return true;
}

bool ScenarioScript::RunAnswerCommand(const ScriptLine& line, const std::string& word,
                                      const std::vector<std::string>& args, const std::string& rest) {
    if (word == "clipboard") {
        // What another program left on the system clipboard.
        if (rest.empty()) FailScript(line, "expected \"clipboard PATH\" or \"clipboard empty\"");
        if (args.size() == 1 && args[0] == "empty") {
            platform.clipboard.Release();
            return true;
        }
        OwnedSurface picture;
        if (!LoadPictureFile(rest, picture)) FailScript(line, "the picture could not be read");
        platform.clipboard = std::move(picture);
        return true;
    }
    if (word == "answer") {
        NeedArgs(line, args, 1);
        MsgAnswer answer;
        if (args[0] == "yes")
            answer = MsgAnswer::Yes;
        else if (args[0] == "no")
            answer = MsgAnswer::No;
        else if (args[0] == "ok")
            answer = MsgAnswer::Ok;
        else
            FailScript(line, "the answer is yes, no or ok");
        platform.messageAnswers.push_back(MessageAnswerEntry{line, answer});
        return true;
    }
    if (word == "choose") {
        if (rest.empty()) FailScript(line, "a path or \"cancel\" is missing");
        ChooserAnswerEntry entry;
        entry.line = line;
        if (Trim(rest) == "cancel") {
            entry.cancel = true;
        } else {
            // A last word that is a number is the filter pair; the path is the rest.
            std::string path = rest;
            const std::vector<std::string> words = SplitWords(rest);
            int64_t index = 0;
            if (words.size() >= 2 && ParseNumber(words.back(), 0, 0xFFFFFFFFLL, index)) {
                entry.index = uint32_t(index);
                path = Trim(rest.substr(0, rest.rfind(words.back())));
            }
            entry.path = path;
        }
        platform.chooserAnswers.push_back(entry);
        return true;
    }
    if (word == "dialog") {
        if (args.empty()) FailScript(line, "a dialog id is missing");
        DialogAnswerEntry entry;
        entry.line = line;
        const std::vector<std::string> all = SplitWords(line.text);
        entry.id = int(Number(line, all[1], 0, 65535));
        const std::string actions = AfterWords(line.text, 2);
        size_t start = 0;
        for (size_t i = 0; i <= actions.size(); ++i)
            if (i == actions.size() || actions[i] == ';') {
                const std::string source = Trim(actions.substr(start, i - start));
                if (!source.empty()) entry.actions.push_back(ParseAction(line, source));
                start = i + 1;
            }
        platform.dialogAnswers.push_back(entry);
        return true;
    }
    return false;
}

bool ScenarioScript::RunUserCommand(const ScriptLine& line, const std::string& word,
                                    const std::vector<std::string>& args) {
    if (word == "down" || word == "move" || word == "up" || word == "dbltap") {
        NeedStart(line);
        NeedArgs(line, args, 2);
        const int x = int(Number(line, args[0], -kCoordLimit, kCoordLimit));
        const int y = int(Number(line, args[1], -kCoordLimit, kCoordLimit));
        ViewInput& program = Input(line);
        if (word == "move") {
            // The points buffered since the last move come with it.
            int count = 0;
            const PenPoint* points = platform.TakeMovePoints(x, y, count);
            program.PenMove(x, y, points, count);
        } else if (word == "up") {
            program.PenUp(x, y);
        } else {
            // A double tap reaches the view as a second press.
            program.PenDown(x, y);
        }
        return true;
    }
    if (word == "points") {
        NeedStart(line);
        if (args.size() == 1 && args[0] == "fail") {
            platform.pointsFail = true;
            return true;
        }
        if (args.empty() || args.size() % 2 != 0) FailScript(line, "points come in X Y pairs");
        platform.queuedPoints.clear();
        for (size_t i = 0; i < args.size(); i += 2)
            platform.queuedPoints.push_back(PenPoint{int(Number(line, args[i], -4 * kCoordLimit, 4 * kCoordLimit)),
                                                     int(Number(line, args[i + 1], -4 * kCoordLimit, 4 * kCoordLimit))});
        platform.pointsQueued = true;
        return true;
    }
    if (word == "keydown" || word == "keyup") {
        NeedStart(line);
        if (args.empty()) FailScript(line, "a key code is missing");
        const uint32_t code = uint32_t(Number(line, args[0], 0, kKeyCodeMax));
        unsigned modifiers = kModNone;
        for (size_t i = 1; i < args.size(); ++i) {
            const unsigned flag = args[i] == "ctrl" ? kModCtrl : args[i] == "shift" ? kModShift
                                  : args[i] == "alt" ? kModAlt
                                  : args[i] == "repeat" && word == "keydown" ? unsigned(kModRepeat) : 0u;
            if (!flag) FailScript(line, "\"" + args[i] + "\" is not ctrl, shift or alt");
            modifiers |= flag;
        }
        if (word == "keydown")
            Input(line).KeyDown(code, modifiers);
        else
            Input(line).KeyUp(code, modifiers);
        return true;
    }
    if (word == "resize") {
        NeedStart(line);
        NeedArgs(line, args, 2);
        const int w = int(Number(line, args[0], 1, 8192)), h = int(Number(line, args[1], 1, 8192));
        platform.ResizeWindow(w, h);
        Input(line).Resize(w, h);
        return true;
    }
    if (word == "wheel") {
        NeedStart(line);
        NeedArgs(line, args, 3);
        const int x = int(Number(line, args[0], -kCoordLimit, kCoordLimit));
        const int y = int(Number(line, args[1], -kCoordLimit, kCoordLimit));
        Input(line).Wheel(x, y, int(Number(line, args[2], -100, 100)));
        return true;
    }
    if (word == "pandown" || word == "panmove" || word == "panup" || word == "pick") {
        NeedStart(line);
        NeedArgs(line, args, 2);
        const int x = int(Number(line, args[0], -kCoordLimit, kCoordLimit));
        const int y = int(Number(line, args[1], -kCoordLimit, kCoordLimit));
        ViewInput& program = Input(line);
        if (word == "pandown")
            program.PanDown(x, y);
        else if (word == "panmove")
            program.PanMove(x, y);
        else if (word == "panup")
            program.PanUp(x, y);
        else
            program.PickColourAt(x, y);
        return true;
    }
    if (word == "erasertip") {
        NeedStart(line);
        NeedArgs(line, args, 1);
        if (args[0] != "on" && args[0] != "off") FailScript(line, "expected \"erasertip on\" or \"erasertip off\"");
        Input(line).PenEraserEnd(args[0] == "on");
        return true;
    }
    if (word == "focus") {
        NeedStart(line);
        NeedArgs(line, args, 1);
        if (args[0] == "lost")
            Input(line).Focus(false);
        else if (args[0] == "gained")
            Input(line).Focus(true);
        else
            FailScript(line, "expected \"focus lost\" or \"focus gained\"");
        return true;
    }
    if (word == "wait") {
        NeedStart(line);
        NeedArgs(line, args, 1);
        const int64_t ms = Number(line, args[0], 0, 1000000000);
        platform.Wait(ms, [&](int id) {
            Input(line).Timer(id);
            HandlePosted();
            return !ended;
        });
        return true;
    }
    if (word == "close") {
        NeedStart(line);
        NeedArgs(line, args, 0);
        // A close from outside: no questions, the window goes at once.
        DestroyWindow();
        return true;
    }
    return false;
}

bool ScenarioScript::RunLookCommand(const ScriptLine& line, const std::string& word,
                                    const std::vector<std::string>& args, const std::string& rest) {
    if (word == "show") {
        NeedStart(line);
        if (args.empty()) FailScript(line, "name at least one field");
        Input(line);
        for (const std::string& name : args) {
            std::string value;
            if (name == "cursor")
                value = platform.cursor;  // what the front end was told to show
            else if (!inspection.Field(name, value))
                FailScript(line, "there is no field \"" + name + "\"");
            platform.Print(name + " = " + value);
        }
        return true;
    }
    if (word == "pixel") {
        NeedStart(line);
        NeedArgs(line, args, 3);
        const PixelSurface& surface = Surface(line, args[0]);
        const int64_t x = Number(line, args[1], 0, surface.width - 1);
        const int64_t y = Number(line, args[2], 0, surface.height - 1);
        const uint8_t* p = surface.At(int(x), int(y));
        platform.Print(args[0] + " " + args[1] + " " + args[2] + " = " + std::to_string(p[2]) + " " +
                       std::to_string(p[1]) + " " + std::to_string(p[0]));
        return true;
    }
    if (word == "dump") {
        if (args.size() == 1 && args[0] == "settings") {
            // Before start the store is shown as the program will find it.
            if (!started) platform.ComposeStore();
            for (const auto& [name, value] : SettingValues(platform.StoreText()))
                platform.Print(name + " = " + value);
            return true;
        }
        NeedStart(line);
        if (args.size() < 2) FailScript(line, "expected \"dump SURFACE PATH\" or \"dump settings\"");
        if (args[0] == "clipboard" && !platform.clipboard.Exists()) FailScript(line, "the clipboard holds no picture");
        const PixelSurface& surface = args[0] == "clipboard" ? *platform.clipboard : Surface(line, args[0]);
        const std::string path = AfterWords(rest, 1);
        std::vector<uint8_t> bytes;
        if (!EncodeBmp24(surface, bytes) ||
            !WriteTextFileAtomically(path, std::string(bytes.begin(), bytes.end())))
            FailScript(line, "the file could not be written");
        return true;
    }
    return false;
}

void ScenarioScript::Start() {
    platform.ComposeStore();
    if (platform.stateDir.empty()) {
        // A fresh folder of its own, removed at the end: runs never see each other.
        char pattern[] = "/tmp/vellum-state.XXXXXX";
        if (char* made = mkdtemp(pattern)) {
            platform.stateDir = made;
            temporaryStateDir = made;
        }
    }
    started = true;
    if (!input.Start()) {
        platform.Print("exit");
        ended = true;
        return;
    }
    // The window is shown and painted whole from the screen buffer.
    platform.ShowWindow();
    input.Expose(0, 0, -1, -1);
    HandlePosted();
}

void ScenarioScript::HandlePosted() {
    if (!ended && platform.TakePostedClose()) DestroyWindow();
}

void ScenarioScript::DestroyWindow() {
    input.WindowDestroyed();
    platform.Print("exit");
    ended = true;
}

void ScenarioScript::NeedStart(const ScriptLine& line) {
    if (!started) FailScript(line, "this needs start first");
}

ViewInput& ScenarioScript::Input(const ScriptLine& line) {
    std::string ignored;
    if (!inspection.Field("penIndex", ignored)) FailScript(line, "the program has no view");
    return input;
}

const PixelSurface& ScenarioScript::Surface(const ScriptLine& line, const std::string& name) {
    if (name == "window") {
        if (!platform.window.Exists()) FailScript(line, "the surface \"window\" does not exist");
        return platform.window.Get();
    }
    Input(line);
    static const char* const kNames[] = {"canvas", "screen", "skin", "paper", "coverage", "colour", "pen"};
    bool known = false;
    for (const char* n : kNames) known = known || name == n;
    if (!known) FailScript(line, "there is no surface \"" + name + "\"");
    const PixelSurface* surface = inspection.Surface(name);
    if (!surface) FailScript(line, "the surface \"" + name + "\" does not exist");
    return *surface;
}

}  // namespace vellum
