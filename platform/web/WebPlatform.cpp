#include "platform/web/WebPlatform.h"

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "engine/pixel/PixelOps.h"
#include "imageio/formats/ChooserRules.h"
#include "resources/ModuleAbi.h"

extern "C" const VellumResourceModule* VellumResources(void);

// ---- The page's side -----------------------------------------------------------------------

EM_JS(void, vellum_js_put, (const uint8_t* rgba, int width, int height, int x, int y, int w, int h), {
    Module.vellumPut(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height, x, y, w, h);
});
EM_JS(void, vellum_js_title, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, vellum_js_set_timer, (int id, int ms), { Module.vellumSetTimer(id, ms); });
EM_JS(void, vellum_js_kill_timer, (int id), { Module.vellumKillTimer(id); });
EM_JS(void, vellum_js_closed, (), { Module.vellumClosed(); });
EM_JS(void, vellum_js_picture_read, (const char* path), { Module.vellumPictureRead(UTF8ToString(path)); });
// kind: 0 a warning (OK), 1 a question (Yes, No), 2 information (OK), as the desktop's icons.
EM_ASYNC_JS(int, vellum_js_message, (const char* text, int kind), {
    return await Module.vellumMessage(UTF8ToString(text), kind);
});
// The chooser: a name in and out, the chosen file written into the program's folder of
// pictures (a PNG or JPEG decoded by the browser and written as a BMP). 0 when cancelled.
// Saving, the filters' names (one a line) go in and the chosen filter (1-based) comes out.
EM_ASYNC_JS(int, vellum_js_choose, (int save, const char* initial, const char* filters, int* filterIndex, char* chosen,
                                    int room), {
    let name = null;
    if (save) {
        const result = await Module.vellumChooseSave(UTF8ToString(initial), UTF8ToString(filters).split("\n"),
                                                     HEAP32[filterIndex >> 2]);
        if (result && result.failed) return -1;
        if (result) { name = result.name; HEAP32[filterIndex >> 2] = result.filter; }
    } else {
        name = await Module.vellumChooseOpen();
    }
    if (!name) return 0;
    stringToUTF8(name, chosen, room);
    return 1;
});
// The file the program just wrote, by its path: handed to the user, into the save picker's
// file or as a download. 0 when that failed.
EM_ASYNC_JS(int, vellum_js_hand_over, (const char* path), {
    const name = UTF8ToString(path);
    return (await Module.vellumSuspended(() => Module.vellumHandOver(name))) ? 1 : 0;
});
// The settings store's text, with its length (a NUL in it is kept); -1 when there is none.
EM_JS(double, vellum_js_settings_read, (char** out), {
    const text = Module.vellumSettingsRead();
    if (text === null) return -1;
    const bytes = new TextEncoder().encode(text);
    const ptr = _malloc(Math.max(1, bytes.length));
    HEAPU8.set(bytes, ptr);
    HEAP32[out >> 2] = ptr;
    return bytes.length;
});
EM_JS(int, vellum_js_settings_write, (const char* text, double size), {
    return Module.vellumSettingsWrite(new TextDecoder().decode(HEAPU8.subarray(text, text + size))) ? 1 : 0;
});
EM_JS(int, vellum_js_settings_kept, (), { return Module.vellumSettingsKept() ? 1 : 0; });

namespace vellum {

namespace {
// The built-in English module stands where a desktop loads its library.
char gEnglishModule;
}  // namespace

WebPlatform::WebPlatform(int w, int h, std::string language) : width(w), height(h), languageId(std::move(language)) {}

MsgAnswer WebPlatform::ShowMessage(int, const std::string& text, MsgButtons buttons) {
    const bool yesNo = buttons == MsgButtons::YesNo;
    const int answer = vellum_js_message(text.c_str(), yesNo ? 1 : 0);  // OK alone: a warning
    if (!yesNo) return MsgAnswer::Ok;
    return answer == 1 ? MsgAnswer::Yes : MsgAnswer::No;
}

void WebPlatform::GetScreenSize(int& w, int& h) {
    w = width;
    h = height;
}

void WebPlatform::GetClientSize(int& w, int& h) {
    w = width;
    h = height;
}

void WebPlatform::SetWindowTitle(const std::string& title) { vellum_js_title(title.c_str()); }

void WebPlatform::PostClose() {
    closePosted = true;
    vellum_js_closed();
}

void WebPlatform::SetTimer(int id, int milliseconds) { vellum_js_set_timer(id, milliseconds); }

void WebPlatform::KillTimer(int id) { vellum_js_kill_timer(id); }

void WebPlatform::PresentRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (!screen.Exists()) return;
    // Clipped once, to the screen buffer and the page's canvas.
    const int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + w, y1 = y + h;
    if (x1 > screen.width) x1 = screen.width;
    if (x1 > width) x1 = width;
    if (y1 > screen.height) y1 = screen.height;
    if (y1 > height) y1 = height;
    if (x0 >= x1 || y0 >= y1) return;
    // The canvas's image data is kept whole; the page puts only the rectangle of it.
    rgba.resize(size_t(width) * size_t(height) * 4);
    FastPixelOps().expandRectRgba(rgba.data(), int64_t(width) * 4, width, height, screen, x0, y0, x1 - x0, y1 - y0, 1);
    vellum_js_put(rgba.data(), width, height, x0, y0, x1 - x0, y1 - y0);
}

int WebPlatform::PlatformFileDialog(int mode, OpenFileName& request) {
    if (!request.file || request.maxFile == 0) return 0;
    // The initial name, without the folder: the page shows names only.
    std::string initial = Utf16ToUtf8(std::u16string(request.file));
    const size_t slash = initial.rfind('/');
    if (slash != std::string::npos) initial.erase(0, slash + 1);
    // The filters' display names: the first string of each pair, up to the empty one.
    std::string filters;
    for (const char16_t* f = request.filter; f && *f;) {
        std::u16string display(f);
        f += display.size() + 1;
        if (!*f) break;  // a name without its pattern ends the list
        f += std::u16string(f).size() + 1;
        if (!filters.empty()) filters += '\n';
        filters += Utf16ToUtf8(display);
    }
    char chosen[1024] = {};
    int filterIndex = int(request.filterIndex);
    const int result =
        vellum_js_choose(mode == 1 ? 1 : 0, initial.c_str(), filters.c_str(), &filterIndex, chosen, int(sizeof chosen));
    if (result <= 0) return result;
    if (mode == 1) request.filterIndex = uint32_t(filterIndex);
    const std::u16string path = Utf8ToUtf16(PicturesDir() + chosen);
    if (path.size() >= request.maxFile) return 0;
    std::memcpy(request.file, path.data(), path.size() * sizeof(char16_t));
    request.file[path.size()] = 0;
    return 1;
}

void WebPlatform::ShowInformation(int id, const std::string& text) { vellum_js_message(text.c_str(), 2); }

bool WebPlatform::HandOverFile(const std::string& path) { return vellum_js_hand_over(path.c_str()) != 0; }

void WebPlatform::PictureRead(const std::string& path) { vellum_js_picture_read(path.c_str()); }

void* WebPlatform::LoadLibrary(const std::string& name) {
    return name == "vellum.i18" ? &gEnglishModule : nullptr;
}

void* WebPlatform::FindEntry(void* library, const char* entry) {
    if (library != &gEnglishModule || std::strcmp(entry, kVellumResourcesEntry) != 0) return nullptr;
    return reinterpret_cast<void*>(&VellumResources);
}

bool WebPlatform::ReadSettingsText(std::string& text) {
    char* stored = nullptr;
    const double size = vellum_js_settings_read(&stored);
    if (size < 0 || !stored) return false;
    text.assign(stored, size_t(size));
    free(stored);
    return true;
}

bool WebPlatform::WriteSettingsText(const std::string& text) {
    return vellum_js_settings_write(text.data(), double(text.size())) != 0;
}

bool WebPlatform::SettingsKept() { return vellum_js_settings_kept() != 0; }

}  // namespace vellum
