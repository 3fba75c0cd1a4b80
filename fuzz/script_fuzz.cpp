// The scenario script's reader, with the program it drives: any script runs to its end,
// fails with a script error (2) or stops at an unanswered question (3). Each script runs
// in a forked child inside a folder of its own, so that one script's files, settings and
// ended program never reach the next; a crash, a sanitizer report or a hang in the child
// fails here. Scripts that name a folder ('/') are left out: every file a script writes
// stays in that folder.
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/App.h"
#include "fuzz/FuzzTarget.h"
#include "platform/scenario/ScenarioScript.h"

// The coverage counters of a libFuzzer build (none in the replay build). The child's
// counters are its own copy; it hands them back through shared memory on its way out,
// so that libFuzzer sees what the script reached. The fuzz build links with
// --wrap=__sanitizer_cov_8bit_counters_init to learn where they are: naming the section's
// bounds here would take them from the instrumentation's own start-up call.
#ifdef VELLUM_FUZZ_COUNTERS
namespace {
uint8_t* gCountersStart = nullptr;
uint8_t* gCountersStop = nullptr;
}  // namespace

extern "C" void __real___sanitizer_cov_8bit_counters_init(uint8_t* start, uint8_t* stop);
extern "C" void __wrap___sanitizer_cov_8bit_counters_init(uint8_t* start, uint8_t* stop) {
    if (!gCountersStart) {
        gCountersStart = start;
        gCountersStop = stop;
    }
    __real___sanitizer_cov_8bit_counters_init(start, stop);
}
#else
namespace {
uint8_t* const gCountersStart = nullptr;
uint8_t* const gCountersStop = nullptr;
}  // namespace
#endif

namespace {

struct SharedCounters {
    uint8_t* bytes = nullptr;  // [0]: set when the child copied; then the counters
    size_t size = 0;
};
SharedCounters gShared;

void ShareCounters() {
    if (!gCountersStart || gCountersStop <= gCountersStart || gShared.bytes) return;
    gShared.size = size_t(gCountersStop - gCountersStart);
    void* map = mmap(nullptr, gShared.size + 1, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (map != MAP_FAILED) gShared.bytes = static_cast<uint8_t*>(map);
}

// Longer scripts only repeat what shorter ones try.
constexpr size_t kMaxScript = 4096;
// Simulated waits cost nothing, but a long run of commands still may: a child that takes
// this long is a hang.
constexpr unsigned kSecondsPerScript = 20;

int RemoveEntry(const char* path, const struct stat*, int, FTW*) { return remove(path); }

std::string gFolder;

void RemoveFolder() {
    if (!gFolder.empty()) nftw(gFolder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

[[noreturn]] void EndChild(int code) {
    std::fflush(stdout);
#ifdef VELLUM_FUZZ_COUNTERS
    if (gShared.bytes && gCountersStart) {
        std::memcpy(gShared.bytes + 1, gCountersStart, gShared.size);
        gShared.bytes[0] = 1;
    }
#endif
    _exit(code);
}

[[noreturn]] void RunChild(const std::string& folder, const std::string& text) {
    if (chdir(folder.c_str()) != 0) _exit(4);
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "TMPDIR"})
        setenv(name, folder.c_str(), 1);
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, 1);  // the transcript; errors stay on standard error
    alarm(kSecondsPerScript);
    vellum::gEndScript = EndChild;
    auto* platform = new vellum::ScenarioPlatform;
    platform->programDir = vellum::DriverDirectory();
    auto* app = new vellum::CVellumApp(*platform);
    auto* script = new vellum::ScenarioScript(*platform, *app, *app);
    const int code = script->Run(vellum::SplitLines(text));
    delete script;
    delete app;
    delete platform;
    EndChild(code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxScript) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find('/') != std::string::npos) return 0;
    if (gFolder.empty()) {
        char pattern[] = "/tmp/vellum-script-fuzz.XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        gFolder = pattern;
        std::atexit(RemoveFolder);
    }
    const std::string& folder = gFolder;
    ShareCounters();
    if (gShared.bytes) gShared.bytes[0] = 0;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) RunChild(folder, text);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
#ifdef VELLUM_FUZZ_COUNTERS
    if (gShared.bytes && gShared.bytes[0] && gCountersStart) std::memcpy(gCountersStart, gShared.bytes + 1, gShared.size);
#endif
    // The next script starts in an empty folder.
    nftw(folder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    mkdir(folder.c_str(), 0700);
    const bool ended = WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 2 ||
                                             WEXITSTATUS(status) == 3);
    if (!ended) {
        std::fprintf(stderr, "script fuzz: the script ended with status 0x%x:\n%s\n", unsigned(status),
                     text.c_str());
        std::abort();
    }
    return 0;
}
