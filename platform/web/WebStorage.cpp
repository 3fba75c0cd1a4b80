// The recovery journal's place in the browser: the page's IndexedDB, one tab a session
// (page/storage.js does the storing and the tab's Web Locks). Reads and the flush wait on
// the page; writes are handed over at once and done there in order.
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/web/WebPlatform.h"

// The tab's first generation number (above every one stored), or 0 with the reason in
// *problem.
EM_ASYNC_JS(double, vellum_js_recovery_open, (char** problem), {
    const r = await Module.vellumSuspended(() => Module.vellumRecoveryOpen());
    if (r.first) return r.first;
    const size = lengthBytesUTF8(r.problem) + 1;
    const text = _malloc(size);
    stringToUTF8(r.problem, text, size);
    HEAP32[problem >> 2] = text;
    return 0;
});
// The names of the files, one a line.
EM_JS(char*, vellum_js_recovery_names, (), {
    const text = Module.vellumRecoveryNames().join("\n");
    const size = lengthBytesUTF8(text) + 1;
    const ptr = _malloc(size);
    stringToUTF8(text, ptr, size);
    return ptr;
});
// A file's bytes (at most its first limit when head), into a buffer of the program's: -1
// when it is not there, larger than limit, or the storage could not be read.
EM_ASYNC_JS(double, vellum_js_recovery_read, (const char* name, double limit, int head, uint8_t** out), {
    const n = UTF8ToString(name);
    const bytes = await Module.vellumSuspended(() => Module.vellumRecoveryRead(n, limit, head !== 0));
    if (!bytes) return -1;
    const ptr = _malloc(Math.max(1, bytes.length));
    if (!ptr) return -1;
    HEAPU8.set(bytes, ptr);
    HEAP32[out >> 2] = ptr;
    return bytes.length;
});
EM_ASYNC_JS(int, vellum_js_recovery_take_over, (double generation), {
    return (await Module.vellumSuspended(() => Module.vellumRecoveryTakeOver(generation))) ? 1 : 0;
});
EM_JS(void, vellum_js_recovery_write, (const char* op, const char* name, const uint8_t* bytes, double size), {
    Module.vellumRecoveryWrite(UTF8ToString(op), UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});
EM_ASYNC_JS(void, vellum_js_recovery_flush, (), { await Module.vellumSuspended(() => Module.vellumRecoveryFlush()); });
EM_JS(int, vellum_js_recovery_take_failure, (), { return Module.vellumRecoveryTakeFailure() ? 1 : 0; });

namespace vellum {

namespace {

constexpr int64_t kSessionSpan = int64_t(1) << 20;

class WebRecoveryStore : public RecoveryStore {
public:
    explicit WebRecoveryStore(int64_t first) : firstGeneration(first) {}

    std::vector<std::string> List() override {
        std::vector<std::string> names;
        char* text = vellum_js_recovery_names();
        if (!text) return names;
        for (const char* p = text; *p;) {
            const char* end = std::strchr(p, '\n');
            const size_t n = end ? size_t(end - p) : std::strlen(p);
            names.emplace_back(p, n);
            p += n + (end ? 1 : 0);
        }
        std::free(text);
        return names;
    }
    bool Read(const std::string& name, std::vector<uint8_t>& bytes, size_t limit) override {
        return Fetch(name, bytes, limit, false);
    }
    bool ReadHead(const std::string& name, std::vector<uint8_t>& bytes, size_t count) override {
        return Fetch(name, bytes, count, true);
    }
    void Replace(const std::string& name, std::vector<uint8_t> bytes) override { Write("replace", name, bytes); }
    void Append(const std::string& name, std::vector<uint8_t> bytes) override { Write("append", name, bytes); }
    void Remove(const std::string& name) override { Write("remove", name, {}); }
    void SetAside(const std::string& name) override { Write("aside", name, {}); }
    void Flush() override { vellum_js_recovery_flush(); }
    bool TakeFailure() override { return vellum_js_recovery_take_failure() != 0; }
    std::string Where() override { return "this page's storage in the browser (and a download of each file)"; }

    // The tab's generations from its own session's first number; another tab's only once
    // its lock is free.
    int64_t FirstGeneration(int64_t) override { return firstGeneration; }
    int64_t SessionOf(int64_t generation) override { return generation / kSessionSpan; }
    bool TakeOver(int64_t generation) override {
        if (SessionOf(generation) == SessionOf(firstGeneration)) return true;
        return vellum_js_recovery_take_over(double(generation)) != 0;
    }

private:
    static bool Fetch(const std::string& name, std::vector<uint8_t>& bytes, size_t limit, bool head) {
        uint8_t* data = nullptr;
        const double size = vellum_js_recovery_read(name.c_str(), double(limit), head ? 1 : 0, &data);
        if (size < 0 || !data) return false;
        bytes.assign(data, data + size_t(size));
        std::free(data);
        return true;
    }
    static void Write(const char* op, const std::string& name, const std::vector<uint8_t>& bytes) {
        vellum_js_recovery_write(op, name.c_str(), bytes.data(), double(bytes.size()));
    }
    int64_t firstGeneration;
};

}  // namespace

RecoveryStore* WebPlatform::OpenRecovery(std::string& problem) {
    char* why = nullptr;
    const double first = vellum_js_recovery_open(&why);
    if (first <= 0) {
        problem = why ? why : "the browser's storage cannot be used";
        std::free(why);
        return nullptr;
    }
    recovery = std::make_unique<WebRecoveryStore>(int64_t(first));
    return recovery.get();
}

}  // namespace vellum
