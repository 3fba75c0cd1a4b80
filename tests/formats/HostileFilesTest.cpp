// Picture files under hostile conditions: a save through a dangling symbolic link, the
// temporaries a killed save leaves, and a huge file that declares a small picture.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imageio/formats/AtomicFile.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/PictureFile.h"

namespace vellum {
namespace {

std::string TempDir() {
    char pattern[] = "/tmp/vellum-files.XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.push_back(e->d_name);
        closedir(d);
    }
    return names;
}

bool Save(const std::string& path, const char* text) {
    AtomicFileWriter w;
    return w.Open(path) && w.Write(text, std::strlen(text)) && w.Commit();
}

TEST(HostileFiles, ASaveThroughADanglingLinkCreatesItsTarget) {
    const std::string dir = TempDir();
    ASSERT_EQ(symlink("target.bmp", (dir + "/link.bmp").c_str()), 0);
    ASSERT_TRUE(Save(dir + "/link.bmp", "picture"));
    struct stat st;
    ASSERT_EQ(lstat((dir + "/link.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ASSERT_EQ(lstat((dir + "/target.bmp").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_size, 7);
    // A loop of links is refused, and nothing is written.
    symlink("b", (dir + "/a").c_str());
    symlink("a", (dir + "/b").c_str());
    EXPECT_FALSE(Save(dir + "/a", "x"));
    std::system(("rm -rf " + dir).c_str());
}

TEST(HostileFiles, AKilledSavesTemporaryGoesWithTheNextSaveAndNothingElseDoes) {
    const std::string dir = TempDir();
    // Left by a killed save of pic.bmp; and files that are not ours to remove.
    for (const char* name : {".pic.bmp.vellum-a1B2c3", ".pic.bmp.Xy12ab", ".pic.bmp.vellum-toolong1", ".other.bmp.vellum-a1B2c3"})
        fclose(fopen((dir + "/" + name).c_str(), "w"));
    ASSERT_TRUE(Save(dir + "/pic.bmp", "picture"));
    std::vector<std::string> names = Names(dir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".other.bmp.vellum-a1B2c3", ".pic.bmp.Xy12ab",
                                               ".pic.bmp.vellum-toolong1", "pic.bmp"}));
    std::system(("rm -rf " + dir).c_str());
}

TEST(HostileFiles, AHugeFileDeclaringASmallPictureIsReadForThePicture) {
    const std::string dir = TempDir();
    OwnedSurface small;
    ASSERT_TRUE(small.Allocate(10, 10));
    std::memset(small->bytes, 77, size_t(small->byteSize));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(EncodeBmp24(*small, bytes));
    const std::string path = dir + "/huge.bmp";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ASSERT_EQ(ftruncate(fd, off_t(1) << 30), 0);  // 1 GiB, sparse
    close(fd);
    const auto start = std::chrono::steady_clock::now();
    OwnedSurface loaded;
    ASSERT_TRUE(LoadPictureFile(path, loaded));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500)) << "read as the picture needs";
    EXPECT_EQ(loaded->width, 10);
    EXPECT_EQ(loaded->At(5, 5)[0], 77);
    // A header declaring more pixels than allowed is refused unread.
    bytes[18] = 0xFF, bytes[19] = 0xFF, bytes[20] = 0x00;  // width 65535
    const int fd2 = open(path.c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd2, bytes.data(), 54, 0), 54);
    close(fd2);
    EXPECT_FALSE(LoadPictureFile(path, loaded));
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace vellum
