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
#include <map>
#include <string>
#include <vector>

#include "ViewTest.h"
#include "engine/JournalFormat.h"
#include "app/VellumView.h"
#include "resources/DialogTemplate.h"
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
        before = Bytes(s.view->picture.Canvas());
        Stroke(s.platform, *s.view, 60, 200);
        after = Bytes(s.view->picture.Canvas());
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
        ASSERT_TRUE(Bytes(s.view->picture.Canvas()) == (cut == journal.size() ? after : before));
        EXPECT_EQ(s.view->modified, 1);
        std::system(("rm -rf " + copy).c_str());
    }
    std::system(("rm -rf " + dir).c_str());
}

// Draws until the journal starts a generation on a base picture; returns the canvas.
std::vector<uint8_t> DrawUntilCompacted(const std::string& dir) {
    Session s(dir);
    Stroke(s.platform, *s.view, 50, 80);
    // An undone filter (a whole step) makes the picture as it stands the base.
    s.view->picture.Filter(s.view->ops, {40, 90, 200});
    s.view->Undo();
    Stroke(s.platform, *s.view, 120, 150);
    return Bytes(s.view->picture.Canvas());
}

TEST(RecoveryJournal, ACompactedJournalRestoresFromItsBase) {
    const std::string dir = TempDir();
    const std::vector<uint8_t> drawn = DrawUntilCompacted(dir);
    ASSERT_FALSE(ReadFile(dir + "/base-2.bmp").empty());
    EXPECT_EQ(ReadFile(dir + "/journal-1"), "") << "the older generation went once the new one was written";
    Session s(dir, {MsgAnswer::Yes});
    EXPECT_EQ(s.platform.messages, (std::vector<int>{IDS_RESTORE}));
    EXPECT_TRUE(Bytes(s.view->picture.Canvas()) == drawn);
    std::system(("rm -rf " + dir).c_str());
}

TEST(RecoveryJournal, AnUnreadableBaseIsToldSetAsideAndNotOffered) {
    const std::string dir = TempDir();
    DrawUntilCompacted(dir);
    {
    }
    ASSERT_FALSE(ReadFile(dir + "/base-2.bmp").empty()) << "the journal was compacted into a base";
    WriteFile(dir + "/base-2.bmp", "not a picture");
    {
        // Never offered: the user is told the files are damaged, and where they were kept.
        Session s(dir, {MsgAnswer::Yes});
        ASSERT_EQ(s.platform.messages, std::vector<int>{IDS_RESTORE_DAMAGED});
        EXPECT_NE(s.platform.messageTexts[0].find(dir), std::string::npos) << s.platform.messageTexts[0];
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
    bool ReadHead(const std::string&, std::vector<uint8_t>&, size_t) override { return false; }
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
    const std::vector<uint8_t> canvas = Bytes(view->picture.Canvas());
    EXPECT_NE(std::count(canvas.begin(), canvas.end(), uint8_t(255)), long(canvas.size())) << "and drawing goes on";
    view.reset();
    gShutdownDone = false;
}

}  // namespace
}  // namespace vellum

namespace vellum {
namespace {

// A recovery folder on a small disk: a write that would take it past its room fails
// whole, as on a nearly full tmpfs; reads are counted by kind.
class SmallDisk : public RecoveryStore {
public:
    SmallDisk(std::unique_ptr<RecoveryFolder> f, uint64_t r) : folder(std::move(f)), room(r) {
        for (const std::string& name : folder->List()) {
            std::vector<uint8_t> b;
            if (folder->Read(name, b, SIZE_MAX)) sizes[name] = b.size();
        }
    }
    std::vector<std::string> List() override { return folder->List(); }
    bool Read(const std::string& name, std::vector<uint8_t>& bytes, size_t limit) override {
        reads.push_back(name);
        return folder->Read(name, bytes, limit);
    }
    bool ReadHead(const std::string& name, std::vector<uint8_t>& bytes, size_t count) override {
        return folder->ReadHead(name, bytes, count);
    }
    void Replace(const std::string& name, std::vector<uint8_t> bytes) override {
        if (Used() - sizes[name] + bytes.size() > room) return Fail();
        sizes[name] = bytes.size();
        folder->Replace(name, std::move(bytes));
    }
    void Append(const std::string& name, std::vector<uint8_t> bytes) override {
        if (Used() + bytes.size() > room) return Fail();
        sizes[name] += bytes.size();
        folder->Append(name, std::move(bytes));
    }
    void Remove(const std::string& name) override {
        sizes.erase(name);
        folder->Remove(name);
    }
    void SetAside(const std::string& name) override { folder->SetAside(name); }
    void Flush() override { folder->Flush(); }
    bool TakeFailure() override {
        const bool was = failed || folder->TakeFailure();
        failed = false;
        return was;
    }
    std::string Where() override { return folder->Where(); }
    std::vector<std::string> reads;

private:
    uint64_t Used() const {
        uint64_t n = 0;
        for (const auto& [name, size] : sizes) n += size;
        return n;
    }
    void Fail() { failed = true; }
    std::unique_ptr<RecoveryFolder> folder;
    uint64_t room;
    std::map<std::string, uint64_t> sizes;
    bool failed = false;
};

class SmallDiskPlatform : public fake::TestPlatform {
public:
    uint64_t room = UINT64_MAX;
    std::unique_ptr<SmallDisk> disk;
    RecoveryStore* OpenRecovery(std::string& problem) override {
        std::unique_ptr<RecoveryFolder> folder = RecoveryFolder::Open(recoveryDir, false, problem);
        if (!folder) return nullptr;
        disk = std::make_unique<SmallDisk>(std::move(folder), room);
        return disk.get();
    }
};

struct SmallSession {
    SmallDiskPlatform platform;
    std::unique_ptr<CVellumView> view;
    SmallSession(const std::string& dir, uint64_t room, std::vector<MsgAnswer> answers = {}, int width = 240,
                 int height = 320) {
        platform.recoveryDir = dir;
        platform.room = room;
        platform.clientWidth = width;
        platform.clientHeight = height;
        for (MsgAnswer a : answers) platform.answers.push_back(a);
        fake::CreateView(platform, view);
        view->OnInitialUpdate();
    }
    ~SmallSession() { gShutdownDone = false; }
};

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// A full disk when the journal starts a new generation keeps the old one, says so at once,
// and the picture comes back as far as the disk took it, never as a white canvas.
TEST(RecoveryJournal, AFullDiskKeepsTheOldGenerationWhenANewOneCannotBeWritten) {
    const std::string dir = TempDir();
    std::vector<uint8_t> filtered;
    {
        // Room for the journal's strokes and the filter, not for the undo of a whole step
        // nor a base picture (230 KB each).
        SmallSession s(dir, 60000);
        for (int i = 0; i < 3; ++i) Stroke(s.platform, *s.view, 40 + 30 * i, 100);
        const std::vector<uint8_t> drawn = Bytes(s.view->picture.Canvas());
        s.view->picture.Filter(s.view->ops, {200, 90, 40});
        s.view->AfterStep();
        filtered = Bytes(s.view->picture.Canvas());
        // The undo's record does not fit, and the journal grown past its size starts a
        // new generation, whose base does not fit either.
        s.view->Undo();
        EXPECT_EQ(Bytes(s.view->picture.Canvas()), drawn);
        EXPECT_EQ(s.platform.messages, std::vector<int>{IDS_RECOVERY_FAILED}) << "told at once";
        EXPECT_FALSE(Exists(dir + "/base-2.bmp"));
    }
    ASSERT_TRUE(Exists(dir + "/journal-1")) << "the only good journal is kept";
    Session s(dir, {MsgAnswer::Yes});
    EXPECT_EQ(s.platform.messages, std::vector<int>{IDS_RESTORE});
    EXPECT_TRUE(Bytes(s.view->picture.Canvas()) == filtered) << "the picture as far as the disk took it";
    std::system(("rm -rf " + dir).c_str());
}

// Dropping an offer removes that picture and older ones of its size, never a picture of
// another size, which the user was never offered; that one comes at a start of its size,
// and only the offered journal is read whole.
// A picture has a size of its own: one left by a session with another screen, or given
// another size, comes back at its size; the older generations of its session go with it.
TEST(RecoveryJournal, APictureComesBackAtItsOwnSize) {
    const std::string dir = TempDir();
    std::vector<uint8_t> wide, resized;
    {
        SmallSession a(dir, UINT64_MAX, {}, 480, 640);
        Stroke(a.platform, *a.view, 300, 500);
        wide = Bytes(a.view->picture.Canvas());
    }
    {
        SmallSession b(dir, UINT64_MAX, {MsgAnswer::Yes});
        EXPECT_EQ(b.platform.messages, std::vector<int>{IDS_RESTORE});
        EXPECT_EQ(b.view->picture.Width(), 480);
        EXPECT_EQ(b.view->picture.Height(), 640);
        EXPECT_TRUE(Bytes(b.view->picture.Canvas()) == wide);
        // A new size, then a stroke at it.
        ASSERT_TRUE(b.view->picture.Resize(b.view->ops, 300, 200));
        Stroke(b.platform, *b.view, 250, 150);
        resized = Bytes(b.view->picture.Canvas());
    }
    SmallSession c(dir, UINT64_MAX, {MsgAnswer::Yes});
    EXPECT_EQ(c.view->picture.Width(), 300);
    EXPECT_TRUE(Bytes(c.view->picture.Canvas()) == resized);
    std::system(("rm -rf " + dir).c_str());
}

// A size chosen in the dialog comes back after a crash, and so does its undo.
TEST(RecoveryJournal, ANewSizeAndItsUndoComeBack) {
    for (bool undone : {false, true}) {
        const std::string dir = TempDir();
        std::vector<uint8_t> drawn;
        {
            Session s(dir);
            Stroke(s.platform, *s.view, 50, 80);
            s.platform.scripts.push_back([](fake::ScriptedDialog& d) {
                d.Set(IDC_PICTURE_WIDTH, "300");
                d.Set(IDC_PICTURE_HEIGHT, "200");
                d.Click(1);
            });
            s.view->PictureSizeCommand();
            ASSERT_EQ(s.view->picture.Width(), 300);
            Stroke(s.platform, *s.view, 200, 150);
            if (undone) {
                s.view->Undo();
                s.view->Undo();
            }
            drawn = Bytes(s.view->picture.Canvas());
        }
        Session b(dir, {MsgAnswer::Yes});
        EXPECT_EQ(b.platform.messages, std::vector<int>{IDS_RESTORE});
        EXPECT_EQ(b.view->picture.Width(), undone ? 240 : 300);
        EXPECT_EQ(b.view->picture.Height(), undone ? 320 : 200);
        EXPECT_TRUE(Bytes(b.view->picture.Canvas()) == drawn);
        std::system(("rm -rf " + dir).c_str());
    }
}

// The size record replays as the edit did, and a size out of range is damage.
TEST(RecoveryJournal, SizeRecordsReplay) {
    Picture picture;
    ASSERT_TRUE(picture.Create(FastPixelOps(), 240, 320));
    FastPixelOps().fillRectColour(picture.BaseCanvas(), 0, 0, 240, 320, 1, 2, 3);
    std::vector<uint8_t> records;
    auto add = [&](const std::vector<uint8_t>& r) { records.insert(records.end(), r.begin(), r.end()); };
    add(FrameRecord(JournalRecord::Size, SizePayload(100, 400)));
    add(FrameRecord(JournalRecord::Size, SizePayload(8193, 5)));
    const ReplayResult r = ReplayJournal(FastPixelOps(), picture, records.data(), records.size(), "p");
    EXPECT_EQ(r.records, 1u);
    EXPECT_TRUE(r.damaged);
    ASSERT_EQ(picture.Width(), 100);
    ASSERT_EQ(picture.Height(), 400);
    EXPECT_EQ(picture.Canvas().At(99, 319)[0], 3);
    EXPECT_EQ(picture.Canvas().At(0, 320)[0], 255) << "white below the old picture";
}

// A record whose checksum holds but whose corners lie beyond the canvas plus the stamp's
// reach is damage: replay stops there at once (it would otherwise stamp for hours), and
// what came before it stands.
TEST(RecoveryJournal, CornersBeyondTheCanvasAreRefusedAsDamage) {
    Picture picture;
    ASSERT_TRUE(picture.Create(FastPixelOps(), 240, 320));
    OwnedSurface mask;
    ASSERT_TRUE(mask.Allocate(kStampSize, kStampSize));
    FastPixelOps().fillRectColour(*mask, 0, 0, kStampSize, kStampSize, 0, 0, 0);
    OwnedSurface paper;
    ASSERT_TRUE(paper.Allocate(100, 100));
    FastPixelOps().fillRectColour(*paper, 0, 0, 100, 100, 0, 0, 0);
    std::vector<uint8_t> records;
    auto add = [&](const std::vector<uint8_t>& r) { records.insert(records.end(), r.begin(), r.end()); };
    add(FrameRecord(JournalRecord::Pen, PenPayload(*mask, 0, 0, {10, 20, 30})));
    add(FrameRecord(JournalRecord::Paper, PaperPayload(*paper)));
    add(FrameRecord(JournalRecord::Stroke, StrokePayload(false, {{20, 30}, {60, 90}}, false, {})));
    const size_t good = records.size();
    std::vector<IntPoint> alternating;
    for (int i = 0; i < 1000; ++i) alternating.push_back({i % 2 ? 2000000000 : -2000000000, 100});
    for (const std::vector<IntPoint>& corners : {std::vector<IntPoint>{{0, 100}, {2000000000, 105}}, alternating,
                                                 std::vector<IntPoint>{{-11, 5}, {20, 5}}, std::vector<IntPoint>{{5, 5}, {241, 5}}}) {
        std::vector<uint8_t> damaged(records.begin(), records.begin() + long(good));
        const std::vector<uint8_t> bad = FrameRecord(JournalRecord::Stroke, StrokePayload(false, corners, false, {}));
        damaged.insert(damaged.end(), bad.begin(), bad.end());
        FastPixelOps().fillRectWhite(picture.BaseCanvas(), 0, 0, 240, 320);
        const ReplayResult r = ReplayJournal(FastPixelOps(), picture, damaged.data(), damaged.size(), "p");
        EXPECT_EQ(r.records, 3u);
        EXPECT_TRUE(r.damaged);
        EXPECT_EQ(r.validBytes, good);
    }
    // A tap's stamp beyond reach likewise; one at the edge of the reach is fine.
    std::vector<uint8_t> tap(records.begin(), records.begin() + long(good));
    add(FrameRecord(JournalRecord::Stroke, StrokePayload(false, {}, true, {240, 320})));
    const std::vector<uint8_t> far = FrameRecord(JournalRecord::Stroke, StrokePayload(false, {}, true, {241, 0}));
    tap.insert(tap.end(), records.begin() + long(good), records.end());
    tap.insert(tap.end(), far.begin(), far.end());
    const ReplayResult r = ReplayJournal(FastPixelOps(), picture, tap.data(), tap.size(), "p");
    EXPECT_EQ(r.records, 4u);
    EXPECT_TRUE(r.damaged);
}

// A journal far larger than this program writes for its size is never read whole.
TEST(RecoveryJournal, AJournalBeyondWhatTheProgramWritesIsNotReadWhole) {
    const std::string dir = TempDir();
    {
        Session s(dir);
        Stroke(s.platform, *s.view, 50, 80);
    }
    // 240 x 320: a journal of its size never passes a few picture files.
    ASSERT_EQ(truncate((dir + "/journal-1").c_str(), off_t(64) << 20), 0);
    SmallSession s(dir, UINT64_MAX, {MsgAnswer::Yes});
    EXPECT_EQ(s.platform.messages, std::vector<int>{IDS_RESTORE_DAMAGED});
    EXPECT_EQ(s.view->modified, 0);
    std::system(("rm -rf " + dir).c_str());
}

// Steps past a thousand make the picture a base: a restore never replays more.
TEST(RecoveryJournal, AThousandStepsBecomeABase) {
    const std::string dir = TempDir();
    std::vector<uint8_t> drawn;
    {
        Session s(dir);
        for (int i = 0; i < RecoveryJournal::kCompactSteps + 5; ++i) {
            s.view->OnPenDown(20 + i % 200, 40 + i % 270);
            s.view->OnPenUp(20 + i % 200, 40 + i % 270);
        }
        drawn = Bytes(s.view->picture.Canvas());
    }
    EXPECT_TRUE(Exists(dir + "/base-2.bmp"));
    EXPECT_FALSE(Exists(dir + "/journal-1"));
    Session s(dir, {MsgAnswer::Yes});
    EXPECT_TRUE(Bytes(s.view->picture.Canvas()) == drawn);
    std::system(("rm -rf " + dir).c_str());
}

// A new base never comes between a stroke and the pen record before it (the base holds
// the stroke; the new generation would then hold the stroke without its pen): with the
// pen changed before every stroke, the thousandth step falls on a pen record.
TEST(RecoveryJournal, ANewBaseNeverSplitsAStrokeFromItsPen) {
    const std::string dir = TempDir();
    std::vector<uint8_t> drawn;
    {
        Session s(dir);
        for (int i = 0; i < RecoveryJournal::kCompactSteps / 2 + 20; ++i) {
            s.view->penIndex = i % 9;
            s.view->SelectPen(-1, false);
            Stroke(s.platform, *s.view, 20 + (i * 7) % 180, 40 + (i * 13) % 250);
        }
        drawn = Bytes(s.view->picture.Canvas());
    }
    EXPECT_TRUE(Exists(dir + "/base-2.bmp"));
    Session s(dir, {MsgAnswer::Yes});
    EXPECT_EQ(s.platform.messages, std::vector<int>{IDS_RESTORE}) << "restored whole, nothing damaged";
    EXPECT_TRUE(Bytes(s.view->picture.Canvas()) == drawn);
    std::system(("rm -rf " + dir).c_str());
}

// A second window finds the recovery folder held: it says so, instead of a line on the
// standard error.
TEST(RecoveryJournal, ASecondSessionIsToldItHasNoRecovery) {
    const std::string dir = TempDir();
    Session first(dir);
    Session second(dir);
    ASSERT_EQ(second.platform.messages, std::vector<int>{IDS_RECOVERY_UNUSABLE});
    EXPECT_NE(second.platform.messageTexts[0].find("another Vellum window"), std::string::npos);
    EXPECT_TRUE(first.platform.messages.empty());
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace vellum
