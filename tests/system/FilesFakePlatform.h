#pragma once
// A platform for the file command tests. Everything the program shows goes into one
// event list, in order, in the transcript's words:
//   fullscreen 0x05 / fullscreen 0x0A
//   msgbox 61210 / msgbox - "Saved BMP"      (fixed English texts with their text)
//   chooser save "INITIAL" filter=1 -> "PATH" 2 / ... -> cancel
// Answers and chooser picks come from queues; an unanswered question fails the test.
// Libraries load from libraryDir (none when it is empty), the skin from the build.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "app/VellumView.h"
#include "imageio/formats/ChooserRules.h"
#include "platform/Platform.h"
#include "platform/common/DynamicLibrary.h"

namespace vellum::filestest {

struct ChooserPick {
    std::string path;  // UTF-8; empty: the user cancels
    uint32_t filterIndex = 1;
};

class FilesFakePlatform : public Platform {
public:
    int clientWidth = 240;
    int clientHeight = 320;
    std::string picturesDir = "/nonexistent-pictures/";
    std::string libraryDir;  // where "tgetfile.dll" is looked for; empty: nowhere
    std::string commandLine;

    std::deque<MsgAnswer> answers;
    std::deque<ChooserPick> picks;
    std::vector<std::string> events;

    int platformDialogs = 0;  // the platform's own open and save dialogs shown
    int libraryLoads = 0;     // successful loads
    int libraryFrees = 0;
    std::vector<std::string> libraryNames;  // every name asked for
    // The record as the platform's dialog last saw it.
    OpenFileName lastRequest{};
    std::u16string lastInitialName;

    bool ActivateRunningInstance(const std::string&) override { return false; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        events.push_back(id ? "msgbox " + std::to_string(id) : "msgbox - \"" + text + "\"");
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) {
            ADD_FAILURE() << "unanswered question " << id;
            return MsgAnswer::No;
        }
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void GetScreenSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void MoveFrame(int, int, int, int) override {}
    bool ShellFullScreen(unsigned flags) override {
        char text[32];
        std::snprintf(text, sizeof text, "fullscreen 0x%02X", flags);
        events.push_back(text);
        return true;
    }
    void GetClientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void SetWindowTitle(const std::string&) override {}
    void PostClose() override {}
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void PresentRect(const PixelSurface&, int, int, int, int) override {}
    int GetBufferedPoints(PenPoint*, int) override { return 0; }

    int PlatformFileDialog(int mode, OpenFileName& request) override {
        ++platformDialogs;
        lastRequest = request;
        lastInitialName = request.file ? std::u16string(request.file) : std::u16string();
        std::string event = std::string("chooser ") + (mode == 0 ? "open" : "save") + " \"" +
                            Utf16ToUtf8(lastInitialName) + "\" filter=" + std::to_string(request.filterIndex);
        if (picks.empty()) {
            ADD_FAILURE() << "unanswered chooser";
            events.push_back(event + " -> cancel");
            return 0;
        }
        const ChooserPick pick = picks.front();
        picks.pop_front();
        if (pick.path.empty()) {
            events.push_back(event + " -> cancel");
            return 0;
        }
        const std::u16string chosen = Utf8ToUtf16(pick.path);
        EXPECT_LT(chosen.size(), size_t(request.maxFile));
        for (size_t i = 0; i <= chosen.size() && i < request.maxFile; ++i)
            request.file[i] = i < chosen.size() ? chosen[i] : u'\0';
        request.filterIndex = pick.filterIndex;
        events.push_back(event + " -> \"" + pick.path + "\" " + std::to_string(pick.filterIndex));
        return 1;
    }

    void* LoadLibrary(const std::string& name) override {
        libraryNames.push_back(name);
        if (libraryDir.empty()) return nullptr;
        void* library = OpenLibrary(libraryDir, name);
        if (library) ++libraryLoads;
        return library;
    }
    void* FindEntry(void* library, const char* entry) override { return FindLibraryEntry(library, entry); }
    void FreeLibrary(void* library) override {
        if (library) ++libraryFrees;
        CloseLibrary(library);
    }

    std::string UserLanguageId() override { return "0411"; }
    int RunDialog(CDialog&) override {
        ADD_FAILURE() << "no dialog expected";
        return 2;
    }
    bool ReadSettingsText(std::string&) override { return false; }
    bool WriteSettingsText(const std::string&) override { return true; }
    std::string ProgramDir() override { return VELLUM_BIN_DIR "/"; }
    std::string PicturesDir() override { return picturesDir; }
    std::string CommandLine() override { return commandLine; }
};

}  // namespace vellum::filestest
