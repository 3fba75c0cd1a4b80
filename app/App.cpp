#include "app/App.h"

#include "resources/Resources.h"

namespace vellum {

CVellumApp::CVellumApp(Platform& p) : platform(p) {}

CVellumApp::~CVellumApp() = default;

bool CVellumApp::InitInstance() {
    // 1. A running instance is found by its window title and brought forward.
    if (platform.ActivateRunningInstance(kWindowTitle)) return false;
    // 2. The settings store's company key is "Orvane Works": the platform's store lives
    //    in that folder.
    // 3. The language module, unless the user's language is Japanese.
    languageModule = Resources::Active().ChooseLanguageModule(platform);
    // 4-6. Template, frame, document and view; the command line is never opened by the
    //    framework: the view's timer does it.
    if (!frame.PreCreateWindow() || !frame.OnCreate()) return false;
    view = std::make_unique<CVellumView>(platform);
    if (!view->OnCreate()) {
        view.reset();
        return false;
    }
    document.OnNewDocument();
    view->OnInitialUpdate();
    // 7. The platform shows the window and paints it.
    return true;
}

void CVellumApp::OnFrameDestroyed() {
    if (view) view->OnDestroy();
}

}  // namespace vellum
