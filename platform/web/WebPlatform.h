#pragma once
// The browser front end's platform: the page's canvas shows the screen buffer, timers are
// the page's, settings live in the browser's local storage, the English module is built
// in. Modal questions keep their synchronous shape through Asyncify.
#include <cstdint>
#include <string>
#include <vector>

#include <memory>

#include "seam/Platform.h"
#include "seam/RecoveryStore.h"

namespace vellum {

class WebPlatform : public Platform {
public:
    WebPlatform(int width, int height, std::string languageId);
    // The page's canvas became width x height screen pixels.
    void Resize(int w, int h) {
        width = w;
        height = h;
    }

    bool ActivateRunningInstance(const std::string& title) override { return false; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;
    void ShowInformation(int id, const std::string& text) override;
    void GetScreenSize(int& width, int& height) override;
    void MoveFrame(int x, int y, int width, int height) override {}
    bool ShellFullScreen(unsigned flags) override { return true; }
    void GetClientSize(int& width, int& height) override;
    void SetWindowTitle(const std::string& title) override;
    void PostClose() override;
    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) override;
    int PlatformFileDialog(int mode, OpenFileName& request) override;
    bool HandOverFile(const std::string& path) override;
    void PictureRead(const std::string& path) override;
    void* LoadLibrary(const std::string& name) override;
    void* FindEntry(void* library, const char* entry) override;
    void FreeLibrary(void* library) override {}
    std::string UserLanguageId() override { return languageId; }
    int RunDialog(CDialog& dialog) override;
    bool ReadSettingsText(std::string& text) override;
    bool WriteSettingsText(const std::string& text) override;
    bool SettingsKept() override;
    std::string ProgramDir() override { return "/"; }
    std::string PicturesDir() override { return "/pictures/"; }
    std::string CommandLine() override { return ""; }
    // The journal in the browser's storage: the page's IndexedDB, one session a tab
    // (WebStorage.cpp).
    RecoveryStore* OpenRecovery(std::string& problem) override;

    bool closePosted = false;

private:
    int width;
    int height;
    std::string languageId;
    std::vector<uint8_t> rgba;  // the canvas as its image data takes it, red first
    std::unique_ptr<RecoveryStore> recovery;
};

}  // namespace vellum
