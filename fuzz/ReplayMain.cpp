// Replays corpus files through a harness without libFuzzer: each argument is a file or a
// folder of files. Exit 0 when every input ran (a crash or a sanitizer report ends the
// run with its own status).
#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzTarget.h"

namespace {

int Replay(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        struct stat st{};
        if (stat(argv[i], &st) != 0) {
            std::fprintf(stderr, "replay: no %s\n", argv[i]);
            return 2;
        }
        if (!S_ISDIR(st.st_mode)) {
            inputs += Replay(argv[i]);
            continue;
        }
        DIR* d = opendir(argv[i]);
        if (!d) continue;
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") inputs += Replay(std::string(argv[i]) + "/" + name);
        }
        closedir(d);
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
