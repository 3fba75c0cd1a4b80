#pragma once
// A small platform for the panel tests: answers come from queues, everything the program
// shows is recorded. The skin comes from the built vellum.dat.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/VellumView.h"
#include "dialogs/Dialog.h"
#include "platform/Platform.h"

namespace vellum::paneltest {

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect&) const = default;
};

class PanelFakePlatform : public Platform {
public:
    int clientWidth = 240;
    int clientHeight = 320;

    // Queued answers for message boxes; an empty queue answers No.
    std::deque<MsgAnswer> answers;
    std::vector<int> messages;  // ids in the order shown (0 for fixed English texts)
    // Runs each dialog; returns its end code. Default: the caption's close control.
    std::function<int(CDialog&)> dialogAction;
    std::vector<int> dialogs;   // template ids in the order run
    std::vector<std::string> dialogTexts;  // every control's text of the last dialog
    std::vector<unsigned> fullScreenCalls;
    std::vector<Rect> presents;
    int fileDialogs = 0;        // the platform's own open and save dialogs shown
    int libraryLoads = 0;       // libraries asked for (the outside chooser among them)
    // The path the next save or open chooser picks; empty: the user cancels.
    std::u16string choosePath;
    int closePosts = 0;
    int settingsWrites = 0;
    std::string settingsText;
    bool hasSettings = false;

    bool ActivateRunningInstance(const std::string&) override { return false; }
    MsgAnswer ShowMessage(int id, const std::string&, MsgButtons buttons) override {
        messages.push_back(id);
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return MsgAnswer::No;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void GetScreenSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void MoveFrame(int, int, int, int) override {}
    bool ShellFullScreen(unsigned flags) override {
        fullScreenCalls.push_back(flags);
        return true;
    }
    void GetClientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void SetWindowTitle(const std::string&) override {}
    void PostClose() override { ++closePosts; }
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void PresentRect(const PixelSurface&, int x, int y, int w, int h) override {
        presents.push_back({x, y, w, h});
    }
    int GetBufferedPoints(PenPoint*, int) override { return 0; }
    int PlatformFileDialog(int, OpenFileName& request) override {
        ++fileDialogs;
        if (choosePath.empty() || !request.file || choosePath.size() >= request.maxFile) return 0;
        for (size_t i = 0; i <= choosePath.size(); ++i)
            request.file[i] = i < choosePath.size() ? choosePath[i] : u'\0';
        choosePath.clear();
        return 1;
    }
    void* LoadLibrary(const std::string&) override {
        ++libraryLoads;
        return nullptr;
    }
    void* FindEntry(void*, const char*) override { return nullptr; }
    void FreeLibrary(void*) override {}
    std::string UserLanguageId() override { return "0411"; }
    int RunDialog(CDialog& dialog) override {
        dialogs.push_back(dialog.Id());
        dialogTexts.clear();
        for (int i = 0; i < dialog.ControlCount(); ++i) dialogTexts.push_back(dialog.State(i).text);
        dialog.OnInitDialog();
        if (dialogAction) return dialogAction(dialog);
        dialog.OnCloseRequest();
        return dialog.EndCode();
    }
    bool ReadSettingsText(std::string& text) override {
        text = settingsText;
        return hasSettings;
    }
    bool WriteSettingsText(const std::string& text) override {
        ++settingsWrites;
        settingsText = text;
        hasSettings = true;
        return true;
    }
    std::string ProgramDir() override { return VELLUM_BIN_DIR "/"; }
    std::string PicturesDir() override { return "/nonexistent-pictures/"; }
    std::string CommandLine() override { return ""; }
};

}  // namespace vellum::paneltest
