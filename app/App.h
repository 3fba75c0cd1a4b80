#pragma once
// The application object, the frame and the document. The frame is only a container for
// the view; the document holds nothing (the picture lives in the view).
#include <memory>

#include "app/VellumView.h"
#include "platform/Platform.h"

namespace vellum {

class CVellumDoc {
public:
    // Starting a new document only runs the default; storing and loading do nothing.
    bool OnNewDocument() { return true; }
};

class CMainFrame {
public:
    bool PreCreateWindow() { return true; }
    bool OnCreate() { return true; }
};

class CVellumApp {
public:
    explicit CVellumApp(Platform& platform);
    ~CVellumApp();

    // The start-up sequence. False: the process exits without a window (another
    // instance runs, or the frame could not be created).
    bool InitInstance();

    CVellumView* View() { return view.get(); }
    const std::string& LanguageModule() const { return languageModule; }

    // The main window is being destroyed (after a posted or outside close): the view's
    // destroy handling runs ShutdownView, which does nothing when it already ran.
    void OnFrameDestroyed();

private:
    Platform& platform;
    CMainFrame frame;
    CVellumDoc document;
    std::unique_ptr<CVellumView> view;
    std::string languageModule;
};

}  // namespace vellum
