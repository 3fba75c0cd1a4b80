#pragma once
// The tests' platform, whose faults fail the running test, views made on it with the
// built skin, and the fixture of a started view.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/VellumView.h"

namespace vellum::fake {

class TestPlatform : public FakePlatform {
public:
    void Fault(const std::string& what) override { ADD_FAILURE() << what; }
};

// A stylus move as a front end delivers it: with the points queued in
// platform.bufferedPoints (then cleared), or none to be had after failNextQuery.
inline void MovePen(FakePlatform& platform, CVellumView& view, int x, int y) {
    std::vector<PenPoint> points;
    points.swap(platform.bufferedPoints);
    int count = int(points.size());
    if (platform.failNextQuery) {
        platform.failNextQuery = false;
        count = -1;
    }
    view.OnPenMove(x, y, points.data(), count);
}

// A view created on the platform, not yet shown.
inline void CreateView(FakePlatform& platform, std::unique_ptr<CVellumView>& view) {
    gShutdownDone = false;
    view = std::make_unique<CVellumView>(platform);
    ASSERT_TRUE(view->OnCreate());
    ASSERT_FALSE(view->creationFailed) << "is " VELLUM_BIN_DIR "/vellum.dat built?";
}

// A view created and given its initial update, what the platform recorded until then
// forgotten.
inline void StartView(FakePlatform& platform, std::unique_ptr<CVellumView>& view) {
    ASSERT_NO_FATAL_FAILURE(CreateView(platform, view));
    view->OnInitialUpdate();
    platform.Forget();
}

class ViewTest : public ::testing::Test {
protected:
    TestPlatform platform;
    std::unique_ptr<CVellumView> view;

    void SetUp() override { StartView(platform, view); }
    void TearDown() override {
        view.reset();
        gShutdownDone = false;
    }

    void Forget() { platform.Forget(); }
    void Tap(int x, int y) {
        view->OnPenDown(x, y);
        view->OnPenUp(x, y);
    }
};

}  // namespace vellum::fake
