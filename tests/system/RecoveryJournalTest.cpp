// The recovery journal on the view: a journal cut at every byte of its last record gives
// back the picture before that step; an unreadable base is set aside, not offered; a
// recovery folder that is not private is not used, with one message.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ViewTest.h"
#include "app/JournalFormat.h"
#include "app/VellumView.h"
#include "resources/StringIds.h"

namespace vellum {
namespace {

std::vector<uint8_t> Bytes(const PixelSurface& s) { return {s.bytes, s.bytes + s.byteSize}; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string TempDir() {
    char pattern[] = "/tmp/vellum-journal.XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

void Stroke(fake::FakePlatform& platform, CVellumView& view, int x, int y) {
    view.OnPenDown(x, y);
    for (int i = 1; i <= 6; ++i) {
        platform.bufferedPoints = {{4 * (x + 5 * i), 4 * (y + 3 * i)}};
        fake::MovePen(platform, view, x + 5 * i, y + 3 * i);
    }
    view.OnPenUp(x + 30, y + 18);
}

// A view on a platform whose recovery folder is dir, started (the offer answered as
// given).
struct Session {
    fake::TestPlatform platform;
    std::unique_ptr<CVellumView> view;
    explicit Session(const std::string& dir, std::vector<MsgAnswer> answers = {}) {
        platform.recoveryDir = dir;
        for (MsgAnswer a : answers) platform.answers.push_back(a);
        fake::CreateView(platform, view);
        view->OnInitialUpdate();  // the offer comes here; what it showed is kept
    }
    ~Session() { gShutdownDone = false; }
};

TEST(RecoveryJournal, ACutAnywhereInTheLastRecordGivesThePictureBeforeIt) {
    const std::string dir = TempDir();
    std::vector<uint8_t> before, after;
    {
        Session s(dir);
        Stroke(s.platform, *s.view, 50, 80);
        Stroke(s.platform, *s.view, 90, 120);
        before = Bytes(*s.view->canvas);
        Stroke(s.platform, *s.view, 60, 200);
        after = Bytes(*s.view->canvas);
        ASSERT_NE(before, after);
    }  // gone without the user choosing
    const std::string journal = ReadFile(dir + "/journal-1");
    JournalHeader header;
    size_t at = 0;
    ASSERT_TRUE(DecodeJournalHeader(reinterpret_cast<const uint8_t*>(journal.data()), journal.size(), header, at));
    // The records' starts: the last one is the third stroke.
    size_t last = at;
    while (at < journal.size()) {
        last = at;
        const auto* p = reinterpret_cast<const uint8_t*>(journal.data()) + at;
        const size_t length = size_t(p[1]) | size_t(p[2]) << 8 | size_t(p[3]) << 16 | size_t(p[4]) << 24;
        at += 9 + length;
    }
    ASSERT_EQ(at, journal.size());
    EXPECT_EQ(uint8_t(journal[last]), uint8_t(JournalRecord::Stroke));
    for (size_t cut = last; cut <= journal.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(journal.size()));
        const std::string copy = TempDir();
        WriteFile(copy + "/journal-1", journal.substr(0, cut));
        chmod(copy.c_str(), 0700);
        Session s(copy, {MsgAnswer::Yes});
        ASSERT_EQ(s.platform.messages, (std::vector<int>{IDS_RESTORE}));
        ASSERT_TRUE(Bytes(*s.view->canvas) == (cut == journal.size() ? after : before));
        EXPECT_EQ(s.view->modified, 1);
        std::system(("rm -rf " + copy).c_str());
    }
    std::system(("rm -rf " + dir).c_str());
}

// Fills the journal until it is compacted into a base picture; returns the canvas.
std::vector<uint8_t> DrawUntilCompacted(const std::string& dir) {
    Session s(dir);
    Stroke(s.platform, *s.view, 50, 80);
    // An undone filter keeps the whole canvas in the journal, which soon outgrows twice a
    // picture file: the picture as it stands becomes a base.
    for (int i = 0; i < 6 && ReadFile(dir + "/base-2.bmp").empty(); ++i) {
        s.view->history.BeforeWriteAll();
        s.view->ops.fillRectColour(*s.view->canvas, 0, 0, s.view->W, s.view->H, uint8_t(40 * i), 90, 200);
        s.view->RecordWholeStep(StepKind::Filter, s.view->filePath);
        s.view->Undo();
        s.view->Redo();
    }
    Stroke(s.platform, *s.view, 120, 150);
    return Bytes(*s.view->canvas);
}

TEST(RecoveryJournal, ACompactedJournalRestoresFromItsBase) {
    const std::string dir = TempDir();
    const std::vector<uint8_t> drawn = DrawUntilCompacted(dir);
    ASSERT_FALSE(ReadFile(dir + "/base-2.bmp").empty());
    EXPECT_EQ(ReadFile(dir + "/journal-1"), "") << "the older generation went once the new one was written";
    Session s(dir, {MsgAnswer::Yes});
    EXPECT_EQ(s.platform.messages, (std::vector<int>{IDS_RESTORE}));
    EXPECT_TRUE(Bytes(*s.view->canvas) == drawn);
    std::system(("rm -rf " + dir).c_str());
}

TEST(RecoveryJournal, AnUnreadableBaseIsSetAsideAndNotOffered) {
    const std::string dir = TempDir();
    DrawUntilCompacted(dir);
    {
    }
    ASSERT_FALSE(ReadFile(dir + "/base-2.bmp").empty()) << "the journal was compacted into a base";
    WriteFile(dir + "/base-2.bmp", "not a picture");
    {
        Session s(dir, {MsgAnswer::Yes});
        EXPECT_TRUE(s.platform.messages.empty() || s.platform.messages == std::vector<int>{IDS_RESTORE});
        EXPECT_EQ(s.view->modified, 0) << "nothing restored";
    }
    // Kept for the user under another name.
    std::string listing;
    if (FILE* ls = popen(("ls " + dir).c_str(), "r")) {
        char line[256];
        while (fgets(line, sizeof line, ls)) listing += line;
        pclose(ls);
    }
    EXPECT_NE(listing.find(".aside-"), std::string::npos) << listing;
    std::system(("rm -rf " + dir).c_str());
}

TEST(RecoveryJournal, AFolderOpenToOthersIsNotUsedWithOneMessage) {
    const std::string dir = TempDir();
    chmod(dir.c_str(), 0755);
    Session s(dir);
    ASSERT_EQ(s.platform.messages, (std::vector<int>{IDS_RECOVERY_UNUSABLE}));
    EXPECT_NE(s.platform.messageTexts[0].find(dir), std::string::npos) << "it says which folder";
    Stroke(s.platform, *s.view, 50, 80);
    EXPECT_EQ(ReadFile(dir + "/journal-1"), "") << "drawing goes on without a journal";
    EXPECT_EQ(s.platform.messages.size(), 1u);
    const std::string link = dir + "-link";
    symlink(dir.c_str(), link.c_str());
    chmod(dir.c_str(), 0700);
    Session linked(link);
    EXPECT_EQ(linked.platform.messages, (std::vector<int>{IDS_RECOVERY_UNUSABLE}));
    unlink(link.c_str());
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace vellum

namespace vellum {
namespace {

// A recovery place whose writes all fail, as on a full disk.
class FullDisk : public RecoveryStore {
public:
    std::vector<std::string> List() override { return {}; }
    bool Read(const std::string&, std::vector<uint8_t>&, size_t) override { return false; }
    void Replace(const std::string&, std::vector<uint8_t>) override { failed = true; ++writes; }
    void Append(const std::string&, std::vector<uint8_t>) override { failed = true; ++writes; }
    void Remove(const std::string&) override {}
    void SetAside(const std::string&) override {}
    void Flush() override {}
    bool TakeFailure() override {
        const bool was = failed;
        failed = false;
        return was;
    }
    std::string Where() override { return "/full"; }
    bool failed = false;
    int writes = 0;
};

class FullDiskPlatform : public fake::TestPlatform {
public:
    FullDisk disk;
    RecoveryStore* OpenRecovery(std::string&) override { return &disk; }
};

TEST(RecoveryJournal, AFullDiskIsToldOnceAndDrawingGoesOn) {
    FullDiskPlatform platform;
    std::unique_ptr<CVellumView> view;
    fake::StartView(platform, view);
    for (int i = 0; i < 5; ++i) Stroke(platform, *view, 40 + 20 * i, 100);
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_RECOVERY_FAILED}));
    EXPECT_GT(platform.disk.writes, 5) << "it goes on trying";
    const std::vector<uint8_t> canvas = Bytes(*view->canvas);
    EXPECT_NE(std::count(canvas.begin(), canvas.end(), uint8_t(255)), long(canvas.size())) << "and drawing goes on";
    view.reset();
    gShutdownDone = false;
}

}  // namespace
}  // namespace vellum
