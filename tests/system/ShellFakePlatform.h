#pragma once
// A small platform for the start-up, settings and module tests: the skin and the
// language modules are looked for in a folder the test names, libraries load for real,
// and everything the program shows is recorded.
#include <cstdlib>
#include <string>
#include <vector>

#include "app/VellumView.h"
#include "platform/Platform.h"
#include "platform/common/DynamicLibrary.h"

namespace vellum::shelltest {

struct ShownMessage {
    int id;
    std::string text;
};

class ShellFakePlatform : public Platform {
public:
    int clientWidth = 240;
    int clientHeight = 320;
    std::string programDir;      // ends in '/'
    std::string languageId = "0411";
    std::string settingsText;
    bool hasSettings = false;
    int settingsReads = 0;
    int settingsWrites = 0;
    std::vector<ShownMessage> messages;
    std::vector<std::string> libraryNames;  // every name asked for, in order
    int closePosts = 0;

    bool ActivateRunningInstance(const std::string&) override { return false; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        messages.push_back({id, text});
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    void GetScreenSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void MoveFrame(int, int, int, int) override {}
    bool ShellFullScreen(unsigned) override { return true; }
    void GetClientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void SetWindowTitle(const std::string&) override {}
    void PostClose() override { ++closePosts; }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void PresentRect(const PixelSurface&, int, int, int, int) override {}
    int GetBufferedPoints(PenPoint*, int) override { return 0; }
    int PlatformFileDialog(int, OpenFileName&) override { return 0; }
    void* LoadLibrary(const std::string& name) override {
        libraryNames.push_back(name);
        return OpenLibrary(programDir, name);
    }
    void* FindEntry(void* library, const char* entry) override { return FindLibraryEntry(library, entry); }
    void FreeLibrary(void* library) override { CloseLibrary(library); }
    std::string UserLanguageId() override { return languageId; }
    int RunDialog(CDialog&) override { return 2; }
    bool ReadSettingsText(std::string& text) override {
        ++settingsReads;
        text = settingsText;
        return hasSettings;
    }
    bool WriteSettingsText(const std::string& text) override {
        ++settingsWrites;
        settingsText = text;
        hasSettings = true;
        return true;
    }
    std::string ProgramDir() override { return programDir; }
    std::string PicturesDir() override { return "/pictures/"; }
    std::string CommandLine() override { return ""; }
};

// A fresh folder, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/vellum-shell-XXXXXX";
        const char* made = mkdtemp(pattern);
        path = made ? made : "";
    }
    ~TempFolder() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder with a trailing '/'.
    std::string Dir() const { return path + "/"; }

private:
    std::string path;
};

}  // namespace vellum::shelltest
