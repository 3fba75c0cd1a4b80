// Faults found under hostile input, each reproduced: a settings store that is a FIFO or
// far too large, a file-size limit in mid-save, a stored smoothing level at the end of
// the int range.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "ViewTest.h"
#include "app/VellumView.h"
#include "platform/common/SettingsFile.h"

namespace vellum {
namespace {

std::string TempDir() {
    char pattern[] = "/tmp/vellum-hostile.XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(HostileStore, AFifoIsRefusedAtOnceAndNeverReplaced) {
    const std::string dir = TempDir();
    const std::string fifo = dir + "/vellum.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_FALSE(ReadStoreFile(fifo, text));
    EXPECT_FALSE(ReplaceStoreFile(fifo, "[setting]\npen=3\n"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << "nothing blocked";
    struct stat st;
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "still the user's FIFO";
    unlink(fifo.c_str());
    rmdir(dir.c_str());
}

TEST(HostileStore, AStoreOverOneMiBIsNotReadAndNeverReplaced) {
    const std::string dir = TempDir();
    const std::string path = dir + "/vellum.ini";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[setting]\npen=3\n";
        for (int i = 0; i < 40000; ++i) out << "note" << i << "=a hand-written line of the user's\n";
    }
    const std::string before = ReadFile(path);
    ASSERT_GT(before.size(), kMaxStoreBytes);
    const auto start = std::chrono::steady_clock::now();
    std::string text;
    EXPECT_FALSE(ReadStoreFile(path, text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(ReplaceStoreFile(path, "[setting]\npen=2\n"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadFile(path), before);
    // One just under the bound is read as any other.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << "[setting]\npen=3\n" << std::string(kMaxStoreBytes - 100, ';') << "\n";
    }
    EXPECT_TRUE(ReadStoreFile(path, text));
    unlink(path.c_str());
    rmdir(dir.c_str());
}

// The headless driver run in a child with a file-size limit of 20 KB, less than a picture
// (and than the recovery journal's paper): the save fails with its own message, the
// journal's failure is told once, nothing kills the run, and no temporary is left.
TEST(HostileLimits, AFileSizeLimitFailsTheSaveInsteadOfKillingTheProgram) {
    const std::string dir = TempDir();
    {
        std::ofstream script(dir + "/s.scn");
        script << "answer ok\nstart\ndown 100 200\nmove 140 230\nup 140 230\nup 50 10\nchoose " << dir
               << "/pic\nanswer ok\nup 160 80\nshow modified\n";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        struct rlimit limit{20000, 20000};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int out = open((dir + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        execl(VELLUM_BIN_DIR "/vellum-scenario", "vellum-scenario", (dir + "/s.scn").c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string out = ReadFile(dir + "/out.txt");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_NE(out.find("msgbox - "), std::string::npos) << "the write's own message: " << out;
    EXPECT_NE(out.find("modified = 1"), std::string::npos) << "the picture is still unsaved";
    std::string listing;
    if (FILE* ls = popen(("ls -a " + dir).c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, ls)) listing += line;
        pclose(ls);
    }
    EXPECT_EQ(listing.find(".pic"), std::string::npos) << listing;
    std::system(("rm -rf " + dir).c_str());
}

TEST(HostileSettings, SmoothingAtTheEndOfTheIntRangeChecksNoButton) {
    fake::TestPlatform platform;
    platform.settingsText = "[setting]\npen=-2147483648\n";
    platform.hasSettings = true;
    std::unique_ptr<CVellumView> view;
    fake::StartView(platform, view);
    EXPECT_EQ(view->smoothing, INT32_MIN) << "what the user stored stays";
    platform.scripts.push_back([](fake::ScriptedDialog& d) { d.Click(2); });
    view->StylusSettingsCommand();
    ASSERT_EQ(platform.opened.size(), 1u);
    // Template order: the two checks, then the four smoothing buttons.
    for (size_t i = 2; i < 6; ++i) EXPECT_EQ(platform.opened[0].states[i].checked, 0) << i;
    view.reset();
    gShutdownDone = false;
}

}  // namespace
}  // namespace vellum
