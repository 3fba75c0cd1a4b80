// The bitmap description and the BMP writer: byte-exact files, and a failed save that
// never costs the file saved before.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "BmpTestSupport.h"
#include "imageio/formats/AtomicFile.h"
#include "imageio/formats/Bmp.h"

namespace vellum {
namespace {

using namespace bmptest;

TEST(BitmapInfo, DepthRoundingAndDerivedFields) {
    struct Row {
        int planes, bits, depth;
    };
    const Row rows[] = {{1, 0, 4},  {0, 24, 4},  {1, 1, 1},   {1, 2, 4},   {1, 3, 4},  {1, 4, 4},
                        {1, 5, 8},  {1, 8, 8},   {1, 9, 16},  {1, 15, 16}, {1, 16, 16}, {1, 17, 24},
                        {1, 24, 24}, {1, 25, 32}, {1, 32, 32}, {4, 1, 4},   {3, 8, 24}, {2, 16, 32}};
    for (const Row& row : rows) {
        BitmapInfo info;
        ASSERT_TRUE(CreateBitmapInfo(13, 5, row.planes, row.bits, info)) << row.planes << "x" << row.bits;
        EXPECT_EQ(info.depth, row.depth) << row.planes << "x" << row.bits;
        EXPECT_EQ(info.bitCount, row.bits);  // the source's own, not the rounded depth
        EXPECT_EQ(info.planes, row.planes);
        const uint32_t colours = row.depth < 24 ? 1u << row.depth : 0;
        EXPECT_EQ(info.coloursUsed, colours);
        EXPECT_EQ(info.colourTableSize, colours);
        EXPECT_EQ(info.DescriptionSize(), 40 + 4 * colours);
        EXPECT_EQ(info.imageSize, uint32_t((13 + 7) / 8 * 5 * row.depth));
        EXPECT_EQ(info.headerSize, 40u);
        EXPECT_EQ(info.compression, 0u);
    }
}

TEST(BitmapInfo, ImpossibleBitmapsAreRefused) {
    BitmapInfo info;
    EXPECT_FALSE(CreateBitmapInfo(0, 10, 1, 24, info));
    EXPECT_FALSE(CreateBitmapInfo(10, 0, 1, 24, info));
    EXPECT_FALSE(CreateBitmapInfo(-8, 10, 1, 24, info));
    EXPECT_FALSE(CreateBitmapInfo(8, 10, -1, 24, info));
    EXPECT_FALSE(CreateBitmapInfo(65536, 65536, 1, 32, info));  // past 4 GiB
    EXPECT_FALSE(CreateBitmapInfo(PixelSurface{}, info));
}

TEST(BitmapInfo, SixteenBitDescriptionHasFullZeroColourTable) {
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(16, 4, 1, 16, info));
    EXPECT_EQ(info.coloursUsed, 65536u);
    EXPECT_EQ(info.DescriptionSize(), 262184u);
    EXPECT_EQ(info.PixelDataOffset(), 14u + 40u + 262144u);
    std::vector<uint8_t> bytes;
    SerialiseBitmapInfo(info, bytes);
    ASSERT_EQ(bytes.size(), 262184u);
    EXPECT_EQ(U32At(bytes, 0), 40u);
    EXPECT_EQ(U16At(bytes, 14), 16u);
    EXPECT_EQ(U32At(bytes, 32), 65536u);
    for (size_t i = 40; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST(BmpWriter, CanvasFileIsByteExact) {
    ScratchFolder folder;
    OwnedSurface canvas;
    ASSERT_TRUE(canvas.Allocate(240, 320));
    FillRandom(*canvas, 7);
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(*canvas, info));
    std::string message;
    const std::string path = folder.File("picture.bmp");
    ASSERT_TRUE(WriteBmpFile(path, info, *canvas, message));
    EXPECT_EQ(message, "Saved BMP");

    const std::vector<uint8_t> file = ReadAll(path);
    ASSERT_EQ(file.size(), 230454u);
    const uint8_t expectedHeader[54] = {
        'B', 'M', 0x36, 0x84, 0x03, 0x00, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 240, 0, 0, 0, 0x40, 0x01, 0, 0, 1, 0, 24, 0,   // size, width, height +320
        0, 0, 0, 0, 0x00, 0x84, 0x03, 0x00,                         // compression 0, image 230400
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};            // resolutions, colours
    EXPECT_EQ(std::memcmp(file.data(), expectedHeader, 54), 0);
    EXPECT_EQ(std::memcmp(file.data() + 54, canvas->bytes, 230400), 0);

    std::vector<uint8_t> encoded;
    ASSERT_TRUE(EncodeBmp24(*canvas, encoded));
    EXPECT_EQ(encoded, file);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.bmp"});
}

TEST(BmpWriter, BottomRowComesFirstAndRedIsStoredBlueGreenRed) {
    ScratchFolder folder;
    OwnedSurface canvas;
    ASSERT_TRUE(canvas.Allocate(8, 3));
    SetPixel(*canvas, 0, 2, 0, 0, 255);    // bottom-left red
    SetPixel(*canvas, 7, 0, 0, 255, 0);    // top-right green
    SetPixel(*canvas, 1, 1, 0x11, 0x22, 0x33);
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(*canvas, info));
    std::string message;
    ASSERT_TRUE(WriteBmpFile(folder.File("a.bmp"), info, *canvas, message));
    const std::vector<uint8_t> file = ReadAll(folder.File("a.bmp"));
    ASSERT_EQ(file.size(), 54u + 72u);
    const uint8_t red[3] = {0x00, 0x00, 0xFF};
    EXPECT_EQ(std::memcmp(&file[54], red, 3), 0);
    const uint8_t green[3] = {0x00, 0xFF, 0x00};
    EXPECT_EQ(std::memcmp(&file[54 + 2 * 24 + 7 * 3], green, 3), 0);
    const uint8_t middle[3] = {0x11, 0x22, 0x33};
    EXPECT_EQ(std::memcmp(&file[54 + 24 + 3], middle, 3), 0);
}

TEST(BmpWriter, OnlyTheTopLeftOfALargerSourceIsWritten) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(16, 6));
    FillRandom(*source, 3);
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 24, info));
    std::string message;
    ASSERT_TRUE(WriteBmpFile(folder.File("part.bmp"), info, *source, message));
    const std::vector<uint8_t> file = ReadAll(folder.File("part.bmp"));
    ASSERT_EQ(file.size(), 54u + 48u);
    // File row 0 is picture row 1, file row 1 is picture row 0.
    EXPECT_EQ(std::memcmp(&file[54], source->At(0, 1), 24), 0);
    EXPECT_EQ(std::memcmp(&file[54 + 24], source->At(0, 0), 24), 0);
}

TEST(BmpWriter, OtherDepthsFollowTheirDescription) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(8, 2));
    FillRandom(*source, 11);
    SetPixel(*source, 0, 1, 0xFF, 0x80, 0x08);  // the first pixel written

    BitmapInfo info16;
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 16, info16));
    std::string message;
    ASSERT_TRUE(WriteBmpFile(folder.File("16.bmp"), info16, *source, message));
    std::vector<uint8_t> file = ReadAll(folder.File("16.bmp"));
    ASSERT_EQ(file.size(), 14u + 262184u + 32u);
    EXPECT_EQ(U32At(file, 2), file.size());
    EXPECT_EQ(U32At(file, 10), 14u + 40u + 262144u);
    EXPECT_EQ(U16At(file, 14 + 262184), (0x08u >> 3) << 10 | (0x80u >> 3) << 5 | 0xFFu >> 3);
    // Our reader takes it back at 5 bits a channel.
    OwnedSurface back;
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), back));
    ASSERT_EQ(back->width, 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(back->At(x, y)[c] >> 3, source->At(x, y)[c] >> 3) << x << "," << y;

    BitmapInfo info32;
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 32, info32));
    ASSERT_TRUE(WriteBmpFile(folder.File("32.bmp"), info32, *source, message));
    file = ReadAll(folder.File("32.bmp"));
    ASSERT_EQ(file.size(), 54u + 64u);
    const uint8_t first[4] = {0xFF, 0x80, 0x08, 0x00};
    EXPECT_EQ(std::memcmp(&file[54], first, 4), 0);

    // A palette surface with an all-black table: every index is 0.
    BitmapInfo info8;
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 8, info8));
    ASSERT_TRUE(WriteBmpFile(folder.File("8.bmp"), info8, *source, message));
    file = ReadAll(folder.File("8.bmp"));
    ASSERT_EQ(file.size(), 14u + 40u + 1024u + 16u);
    for (size_t i = 54; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;
}

TEST(BmpWriter, DescriptionNoSurfaceCanHaveIsADibSectionError) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(8, 2));
    const std::string path = folder.File("old.bmp");
    WriteAll(path, {1, 2, 3});
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 15, info));
    std::string message;
    EXPECT_FALSE(WriteBmpFile(path, info, *source, message));
    EXPECT_EQ(message, "DIB Section Error");
    ASSERT_TRUE(CreateBitmapInfo(8, 2, 1, 24, info));
    EXPECT_FALSE(WriteBmpFile(path, info, PixelSurface{}, message));
    EXPECT_EQ(message, "DIB Section Error");
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.bmp"});
}

TEST(BmpWriter, SavingAgainReplacesTheFile) {
    ScratchFolder folder;
    OwnedSurface canvas;
    ASSERT_TRUE(canvas.Allocate(240, 320));
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(*canvas, info));
    const std::string path = folder.File("twice.bmp");
    WriteAll(path, std::vector<uint8_t>(300000, 0xEE));  // a longer file must not leave a tail
    std::string message;
    FillRandom(*canvas, 1);
    ASSERT_TRUE(WriteBmpFile(path, info, *canvas, message));
    const std::vector<uint8_t> first = ReadAll(path);
    FillRandom(*canvas, 2);
    ASSERT_TRUE(WriteBmpFile(path, info, *canvas, message));
    EXPECT_EQ(message, "Saved BMP");
    const std::vector<uint8_t> second = ReadAll(path);
    ASSERT_EQ(first.size(), 230454u);
    ASSERT_EQ(second.size(), first.size());
    EXPECT_EQ(std::memcmp(second.data() + 54, canvas->bytes, 230400), 0);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"twice.bmp"});
}

class BmpWriterFailure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Allocate(240, 320));
        FillRandom(*canvas, 5);
        ASSERT_TRUE(CreateBitmapInfo(*canvas, info));
        oldContent = std::vector<uint8_t>(5000, 0x5A);
    }
    // A save that must fail with the message and leave the folder as it was.
    void ExpectFailedSaveKeepsOldFile(const std::string& path, const std::string& text) {
        EXPECT_EQ(text, expected);
        EXPECT_EQ(ReadAll(path), oldContent);
        EXPECT_EQ(folder.Entries(), entriesBefore);
    }

    ScratchFolder folder;
    OwnedSurface canvas;
    BitmapInfo info;
    std::vector<uint8_t> oldContent;
    std::vector<std::string> entriesBefore;
    std::string expected;
};

TEST_F(BmpWriterFailure, MissingFolderIsACreateErrorAndLeavesNoFile) {
    for (const std::string& path : {folder.File("nowhere/picture.bmp"), folder.File("plain/picture.bmp")}) {
        if (path.find("plain") != std::string::npos) WriteAll(folder.File("plain"), {9});  // a file, not a folder
        entriesBefore = folder.Entries();
        std::string message;
        EXPECT_FALSE(WriteBmpFile(path, info, *canvas, message));
        EXPECT_EQ(message, "File create error : " + path);
        EXPECT_FALSE(FileExists(path));
        EXPECT_EQ(folder.Entries(), entriesBefore);
    }
}

TEST_F(BmpWriterFailure, ReadOnlyFileIsNotReplaced) {
    const std::string path = folder.File("locked.bmp");
    WriteAll(path, oldContent);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(chmod(folder.path.c_str(), 0777), 0);  // the folder itself would allow a rename
    entriesBefore = folder.Entries();
    expected = "File create error : " + path;
    auto save = [&]() {
        std::string message;
        return WriteBmpFile(path, info, *canvas, message) ? std::string("saved") : message;
    };
    if (geteuid() == 0) {
        // Root may write any file; run the save as an ordinary user.
        const std::string text = RunInChild([&]() {
            if (setgid(65534) != 0 || setuid(65534) != 0) return std::string("no user");
            return save();
        });
        if (text == "no user") GTEST_SKIP() << "cannot drop root rights";
        ExpectFailedSaveKeepsOldFile(path, text);
    } else {
        ExpectFailedSaveKeepsOldFile(path, save());
    }
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(BmpWriterFailure, FolderInTheWayIsACreateError) {
    const std::string path = folder.File("picture.bmp");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    std::string message;
    EXPECT_FALSE(WriteBmpFile(path, info, *canvas, message));
    EXPECT_EQ(message, "File create error : " + path);
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.bmp"});
}

// A file size limit makes the writes short the way a full disk does.
TEST_F(BmpWriterFailure, ShortWritesFailAtTheirStageAndKeepTheOldFile) {
    const struct {
        rlim_t limit;
        const char* text;
    } cases[] = {{0, "File write error : header"},
                 {10, "File write error : header"},
                 {20, "File write error : infoheader"},
                 {54, "File write error : bmpdata"},
                 {100000, "File write error : bmpdata"},
                 {230453, "File write error : bmpdata"}};
    const std::string path = folder.File("full.bmp");
    WriteAll(path, oldContent);
    entriesBefore = folder.Entries();
    for (const auto& c : cases) {
        expected = c.text;
        const std::string text = RunInChild([&]() {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {c.limit, c.limit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no limit");
            std::string message;
            return WriteBmpFile(path, info, *canvas, message) ? std::string("saved") : message;
        });
        SCOPED_TRACE(c.limit);
        ExpectFailedSaveKeepsOldFile(path, text);
    }
    // One byte more than the file needs is enough.
    const std::string text = RunInChild([&]() {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {230454, 230454};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("no limit");
        std::string message;
        WriteBmpFile(path, info, *canvas, message);
        return message;
    });
    EXPECT_EQ(text, "Saved BMP");
    EXPECT_EQ(ReadAll(path).size(), 230454u);
}

TEST(AtomicFile, KeepsTheOldModeAndGivesNewFilesTheUmask) {
    ScratchFolder folder;
    OwnedSurface canvas;
    ASSERT_TRUE(canvas.Allocate(8, 8));
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(*canvas, info));
    std::string message;
    const std::string old = folder.File("old.bmp");
    WriteAll(old, {1});
    ASSERT_EQ(chmod(old.c_str(), 0640), 0);
    ASSERT_TRUE(WriteBmpFile(old, info, *canvas, message));
    struct stat st;
    ASSERT_EQ(stat(old.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const mode_t saved = umask(027);
    const bool written = WriteBmpFile(folder.File("new.bmp"), info, *canvas, message);
    umask(saved);
    ASSERT_TRUE(written);
    ASSERT_EQ(stat(folder.File("new.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, ALinkedFileIsReplacedThroughTheLink) {
    ScratchFolder folder;
    ASSERT_EQ(mkdir(folder.File("real").c_str(), 0755), 0);
    WriteAll(folder.File("real/target.bmp"), {1, 2});
    ASSERT_EQ(symlink("real/target.bmp", folder.File("link.bmp").c_str()), 0);
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(folder.File("link.bmp")));
    ASSERT_TRUE(writer.Write("new", 3));
    ASSERT_TRUE(writer.Commit());
    struct stat st;
    ASSERT_EQ(lstat(folder.File("link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadAll(folder.File("real/target.bmp")), (std::vector<uint8_t>{'n', 'e', 'w'}));
}

TEST(AtomicFile, NothingChangesUntilCommitAndAbandonCleansUp) {
    ScratchFolder folder;
    const std::string path = folder.File("settings.ini");
    WriteAll(path, {'o', 'l', 'd'});
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        ASSERT_TRUE(writer.Write("replacement", 11));
        EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(folder.Entries().size(), 2u);
        writer.Abandon();
        EXPECT_FALSE(writer.Commit());
    }
    {
        AtomicFileWriter writer;  // destroyed without a commit
        ASSERT_TRUE(writer.Open(path));
        ASSERT_TRUE(writer.Write("x", 1));
    }
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"settings.ini"});

    // A name at the length limit still finds room for its temporary.
    const std::string longName = folder.File(std::string(255, 'n'));
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(longName));
    ASSERT_TRUE(writer.Write("y", 1));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadAll(longName), std::vector<uint8_t>{'y'});
}

}  // namespace
}  // namespace vellum
