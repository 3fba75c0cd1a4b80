// Crash recovery as it happens: the headless driver reads a random session from its
// standard input and is killed with SIGKILL at a random point, sometimes in the middle of
// a stroke; the next start with the same recovery folder offers the picture, and Yes gives
// the canvas byte for byte as it was after the last step completed before the kill.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "DrawTestSupport.h"

namespace vellum {
namespace {

const std::string kDriver = VELLUM_BIN_DIR "/vellum-scenario";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The driver reading its script from a pipe, its transcript read back line by line.
class Driver {
public:
    Driver() {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            const int null = open(std::getenv("VELLUM_KILL_LOG") ? std::getenv("VELLUM_KILL_LOG") : "/dev/null", O_WRONLY | O_CREAT | O_APPEND, 0600);
            dup2(null, 2);
            close(in[1]);
            close(out[0]);
            execl(kDriver.c_str(), kDriver.c_str(), "-", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        toDriver = in[1];
        fromDriver = fdopen(out[0], "r");
    }
    ~Driver() {
        if (toDriver >= 0) close(toDriver);
        if (fromDriver) fclose(fromDriver);
        if (pid > 0) waitpid(pid, nullptr, 0);
    }
    void Send(const std::string& lines) { ASSERT_EQ(write(toDriver, lines.data(), lines.size()), ssize_t(lines.size())); }
    // Reads the transcript until a line starting with prefix; false at its end. seen: the
    // lines read on the way, the last one included.
    bool WaitFor(const std::string& prefix, std::vector<std::string>* seen = nullptr) {
        char line[4096];
        while (fromDriver && fgets(line, sizeof line, fromDriver)) {
            if (seen) seen->push_back(line);
            if (std::string(line).rfind(prefix, 0) == 0) return true;
        }
        return false;
    }
    void Kill() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

private:
    pid_t pid = -1;
    int toDriver = -1;
    FILE* fromDriver = nullptr;
};

std::string Stroke(std::mt19937& rng, bool buffered) {
    int x = 20 + int(rng() % 200), y = 60 + int(rng() % 240);
    std::string s = "down " + std::to_string(x) + " " + std::to_string(y) + "\n";
    const int n = int(rng() % 8);
    for (int i = 0; i < n; ++i) {
        const int nx = x + int(rng() % 31) - 15, ny = std::max(40, y + int(rng() % 31) - 15);
        if (buffered)
            s += "points " + std::to_string(2 * (x + nx)) + " " + std::to_string(2 * (y + ny)) + " " +
                 std::to_string(4 * nx) + " " + std::to_string(4 * ny) + "\n";
        x = nx, y = ny;
        s += "move " + std::to_string(x) + " " + std::to_string(y) + "\n";
    }
    return s + "up " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

class RecoveryKillTest : public ::testing::TestWithParam<uint32_t> {};

TEST_P(RecoveryKillTest, TheLastCompletedStepComesBackByteForByte) {
    const uint32_t seed = GetParam();
    char pattern[] = "/tmp/vellum-kill.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string picture = dir + "/picture.bmp";
    ASSERT_TRUE(drawtest::WriteTestBmp(picture, 240, 320, [](int x, int y) { return uint32_t(x * 0x010101 ^ y * 0x000301); }));
    std::mt19937 rng(seed);
    bool expectOffer = false;  // a stroke, a tap or the filter since the last picture opened
    {
        Driver d;
        // Darker, lighter, next pen and next paper on A to D.
        d.Send("statedir " + dir + "/state\nset key_darker 65\nset key_lighter 66\nset key_nextpen 67\n"
               "set key_nextppr 68\nstart\n");
        bool panel = false, modified = false;
        const int steps = 3 + int(rng() % 14);
        for (int i = 0; i < steps; ++i) {
            const int kind = int(rng() % 14);
            std::string s;
            if (kind < 4) {
                s = Stroke(rng, rng() % 2);
                modified = true;
                expectOffer = true;
            } else if (kind == 4) {
                s = "up 110 10\n";  // the eraser
            } else if (kind == 5) {
                s = "up 170 10\n";  // next zoom level
            } else if (kind == 6) {
                // The colour filter, from the colour page.
                s = std::string(panel ? "" : "up 50 10\n") + "up 20 90\n" +
                    "dialog 131 set 1003 " + std::to_string(150 + rng() % 100) +
                    "; set 1005 210; set 1007 190; check 1036 1; click 1\nup 140 130\nup 50 10\n";
                panel = false;
                modified = true;
                expectOffer = true;
            } else if (kind == 7) {
                s = rng() % 2 ? "keydown 90 ctrl\n" : "keydown 89 ctrl\n";
            } else if (kind == 8) {
                // Open a picture from the file page.
                s = std::string(panel ? "" : "up 50 10\n") + "up 20 45\n" + (modified ? "answer no\n" : "") +
                    "choose " + picture + "\nup 120 80\nup 50 10\n";
                panel = false;
                modified = false;
                expectOffer = false;
            } else if (kind == 10) {
                s = "keydown " + std::to_string(65 + rng() % 4) + "\n";  // a bound key
            } else if (kind == 11) {
                // A stroke with a tablet pen's eraser end.
                s = "erasertip on\n" + Stroke(rng, rng() % 2) + "erasertip off\n";
                modified = true;
                expectOffer = true;
            } else if (kind == 12) {
                s = "clipboard " + picture + "\nkeydown 86 ctrl\n";  // a paste
                modified = true;
                expectOffer = true;
            } else if (kind == 13) {
                s = rng() % 2 ? "wheel 120 200 1\npandown 100 150\npanmove 80 120\npanup 60 100\n"
                              // A stroke dragged off the window and back: it runs along the edge.
                              : "down 200 100\nmove 330 120\nmove 260 420\nmove -50 380\nup 100 290\n";
                modified = modified || s[0] == 'd';
                expectOffer = expectOffer || s[0] == 'd';
            } else {
                s = "down 100 200\nup 100 200\n";  // a tap
                modified = true;
                expectOffer = true;
            }
            d.Send(s + "show modified\n");
            ASSERT_TRUE(d.WaitFor("modified = ")) << "the driver ended early, seed " << seed << " step " << i;
        }
        d.Send("dump canvas " + dir + "/expected.bmp\nshow modified\n");
        ASSERT_TRUE(d.WaitFor("modified = "));
        // Half of the sessions are killed in the middle of a stroke: that stroke is lost.
        if (rng() % 2) {
            d.Send("down 60 260\nmove 90 280\nmove 120 270\nshow penIndex\n");
            ASSERT_TRUE(d.WaitFor("penIndex = "));
        }
        d.Kill();
    }
    {
        std::ofstream script(dir + "/restore.scn");
        script << "statedir " << dir << "/state\nanswer yes\nstart\ndump canvas " << dir << "/restored.bmp\n";
    }
    const std::string command = kDriver + " " + dir + "/restore.scn > " + dir + "/restore.out 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(dir + "/restore.out");
    const std::string transcript = ReadFile(dir + "/restore.out");
    const std::string expected = ReadFile(dir + "/expected.bmp"), restored = ReadFile(dir + "/restored.bmp");
    if (expectOffer) {
        EXPECT_NE(transcript.find("msgbox 61220"), std::string::npos) << "seed " << seed;
    }
    if (transcript.find("msgbox 61220") == std::string::npos) {
        // Nothing unsaved to offer: the session had no step since its last base.
        EXPECT_EQ(transcript.find("-> yes"), std::string::npos);
    } else {
        ASSERT_FALSE(restored.empty());
        EXPECT_TRUE(restored == expected) << "seed " << seed << "\n" << transcript;
    }
    std::system(("rm -rf " + dir).c_str());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RecoveryKillTest, ::testing::Range(1u, 25u));

// Settings changed in a dialog are in the store soon after its OK, so a kill does not lose
// them: the first change at once, a second within the second when it falls due, and
// never while a stroke is drawn (that waits for the stroke's end).
TEST(SettingsKillTest, SettingsChangedInADialogSurviveAKill) {
    char pattern[] = "/tmp/vellum-kill-settings.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, store = dir + "/vellum.ini";
    // The stylus dialog from the pen page: "smooth", then "none".
    const std::string openStylus = "up 50 10\nup 20 70\nup 140 130\n";
    {
        Driver d;
        d.Send("statedir " + dir + "/state\nsettings " + store + "\nstart\n" +
               "dialog 130 check 1005 1; click 1\n" + openStylus + "show smoothing\n");
        ASSERT_TRUE(d.WaitFor("smoothing = 4"));
        d.Kill();
    }
    EXPECT_NE(ReadFile(store).find("pen=4"), std::string::npos) << ReadFile(store);
    {
        Driver d;
        d.Send("statedir " + dir + "/state\nsettings " + store + "\nstart\n" + "dialog 130 check 1003 1; click 1\n" +
               openStylus + "dialog 130 check 1002 1; click 1\nup 140 130\nshow smoothing\n");
        std::vector<std::string> seen;
        ASSERT_TRUE(d.WaitFor("smoothing = 1", &seen));
        // One write at once, the second waits for its second.
        int writes = 0;
        for (const std::string& line : seen) writes += line.rfind("settings written", 0) == 0;
        EXPECT_EQ(writes, 1);
        // It falls due during a stroke: written at the stroke's end, not before.
        seen.clear();
        d.Send("up 50 10\ndown 100 200\nmove 120 220\nwait 1500\nshow smoothing\n");
        ASSERT_TRUE(d.WaitFor("smoothing = ", &seen));
        for (const std::string& line : seen) EXPECT_NE(line, "settings written\n");
        EXPECT_NE(ReadFile(store).find("pen=2"), std::string::npos) << ReadFile(store);
        d.Send("up 120 220\nshow smoothing\n");
        seen.clear();
        ASSERT_TRUE(d.WaitFor("smoothing = ", &seen));
        EXPECT_EQ(seen.front(), "settings written\n");
        d.Kill();
    }
    EXPECT_NE(ReadFile(store).find("pen=1"), std::string::npos) << ReadFile(store);
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace vellum
