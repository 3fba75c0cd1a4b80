#pragma once
// The application: start-up as a single instance with its language module, the one view,
// and the way in for every front end (ViewInput) and the read-only look at it
// (ViewInspection).
#include <memory>
#include <string>

#include "app/VellumView.h"
#include "app/ViewInput.h"
#include "app/ViewInspection.h"
#include "seam/Platform.h"

namespace vellum {

class CVellumApp : public ViewInput, public ViewInspection {
public:
    explicit CVellumApp(Platform& platform, const PixelOps& ops = FastPixelOps());
    ~CVellumApp() override;

    // The start-up sequence. False: the process exits without a window (another
    // instance runs, or the view could not be created).
    bool InitInstance();

    CVellumView* View() { return view.get(); }
    const CVellumView* View() const { return view.get(); }
    const std::string& LanguageModule() const { return languageModule; }

    // The main window is being destroyed (after a posted or outside close): the view's
    // destroy handling runs ShutdownView, which does nothing when it already ran.
    void OnFrameDestroyed();

    // ---- ViewInput ------------------------------------------------------------------------
    bool Start() override { return InitInstance(); }
    void PenDown(int x, int y) override;
    void PenMove(int x, int y, const PenPoint* points, int count) override;
    void PenUp(int x, int y) override;
    void PenEraserEnd(bool inUse) override;
    void Wheel(int x, int y, int steps) override;
    void PanDown(int x, int y) override;
    void PanMove(int x, int y) override;
    void PanUp(int x, int y) override;
    void PickColourAt(int x, int y) override;
    void Undo() override;
    void Redo() override;
    void KeyDown(uint32_t code, unsigned modifiers) override;
    void KeyUp(uint32_t code, unsigned modifiers) override;
    void Focus(bool gained) override;
    void RecoveryTrouble() override;
    void Timer(int id) override;
    void Expose(int x, int y, int w, int h) override;
    void Resize(int width, int height) override;
    void CloseRequest() override;
    void WindowDestroyed() override { OnFrameDestroyed(); }

    // ---- ViewInspection -------------------------------------------------------------------
    bool Field(const std::string& name, std::string& value) const override;
    const PixelSurface* Surface(const std::string& name) const override;

private:
    void AfterEvent();
    Platform& platform;
    const PixelOps& ops;
    std::unique_ptr<CVellumView> view;
    std::string languageModule;
};

}  // namespace vellum
