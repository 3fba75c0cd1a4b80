// An 8192 x 8192 picture opened, drawn on, undone and saved by the headless driver (the
// whole program, its recovery journal included): its resident memory at its peak stays
// within three times the picture's 24-bit bytes and 150 MiB.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "formats/BmpTestSupport.h"
#include "imageio/formats/PictureFile.h"
#include "imageio/formats/Png.h"

namespace vellum {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

TEST(LargePicture, OpensDrawsUndoesAndSavesWithinThreeTimesItsBytes) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer's own memory would be counted";
    constexpr int kSide = 8192;
    bmptest::ScratchFolder folder;
    {
        // A picture like a photograph: smooth shading with a fine texture.
        OwnedSurface photo;
        ASSERT_TRUE(photo.Allocate(kSide, kSide));
        for (int y = 0; y < kSide; ++y) {
            uint8_t* p = photo->At(0, y);
            for (int x = 0; x < kSide; ++x, p += 3) {
                p[0] = uint8_t((x >> 5) + ((x ^ y) & 3));
                p[1] = uint8_t((y >> 5) + ((x * y) & 1));
                p[2] = uint8_t((x + y) >> 6);
            }
        }
        std::string message;
        ASSERT_TRUE(WritePngFile(folder.File("big.png"), *photo, message)) << message;
    }
    const std::string script = folder.File("session.scn");
    {
        std::ofstream out(script);
        out << "start\n"
            << "choose " << folder.File("big.png") << "\n"
            << "keydown 79 ctrl\nkeyup 79 ctrl\n"
            << "show pictureWidth pictureHeight\n"
            << "down 60 100\nmove 120 160\nmove 180 200\nup 180 200\n"
            << "keydown 90 ctrl\nkeyup 90 ctrl\n"
            << "down 40 250\nmove 200 260\nup 200 260\n"
            << "choose " << folder.File("saved.png") << "\n"
            << "answer ok\n"
            << "keydown 83 ctrl shift\nkeyup 83 ctrl shift\n";
    }
    const std::string driver = std::string(VELLUM_BIN_DIR) + "/vellum-scenario";
    const std::string transcript = folder.File("transcript.txt");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen(transcript.c_str(), "w", stdout);
        execl(driver.c_str(), driver.c_str(), script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    std::ifstream shown(transcript);
    const std::string text((std::istreambuf_iterator<char>(shown)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
    EXPECT_NE(text.find("pictureWidth = 8192"), std::string::npos) << text;
    const double peakMiB = double(usage.ru_maxrss) / 1024.0;
    const double pictureMiB = double(kSide) * kSide * 3 / (1024.0 * 1024.0);
    std::printf("peak resident memory: %.0f MiB, %.2f x the picture's %.0f MiB\n", peakMiB, peakMiB / pictureMiB,
                pictureMiB);
    EXPECT_LE(peakMiB, 3 * pictureMiB + 150);
    OwnedSurface saved;
    ASSERT_TRUE(LoadPictureFile(folder.File("saved.png"), saved));
    EXPECT_EQ(saved->width, kSide);
    EXPECT_EQ(saved->height, kSide);
}

}  // namespace
}  // namespace vellum
