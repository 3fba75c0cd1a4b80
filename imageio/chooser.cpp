// The file chooser: request record, outside library or platform dialog, and the save
// chooser's extension rules.
#include <cstring>

#include "imageio/FileChooser.h"
#include "imageio/formats/ChooserRules.h"

namespace vellum {

namespace {

const char16_t kEmptyText[] = u"";
const char16_t kDefaultExtension[] = u"BMP";

// The initial name as it goes into the file buffer. One that does not fit (260
// characters and the NUL) would overflow the chooser's buffer; its file name alone is
// offered instead, or nothing when even that is too long.
std::u16string InitialName(const std::string& path) {
    std::u16string name = Utf8ToUtf16(path);
    if (name.size() < size_t(kFileBufferSize)) return name;
    const size_t slash = name.rfind(u'/');
    if (slash != std::u16string::npos) {
        name.erase(0, slash + 1);
        if (name.size() < size_t(kFileBufferSize)) return name;
    }
    return std::u16string();
}

void FillRequest(OpenFileName& request, char16_t (&file)[kFileBufferChars], const std::string& path,
                 const char16_t* filterList, uint32_t filterIndex = 1) {
    std::memset(&request, 0, sizeof request);
    std::memset(file, 0, sizeof file);
    const std::u16string name = InitialName(path);
    std::memcpy(file, name.data(), name.size() * sizeof(char16_t));
    request.structSize = kOpenFileNameSize;
    request.filter = filterList;
    request.filterIndex = filterIndex;
    request.file = file;
    request.maxFile = kFileBufferSize;
    request.initialDir = kEmptyText;
    request.title = nullptr;
    request.flags = 0;
    request.defExt = kDefaultExtension;
}

// The chosen name, read no further than the buffer reaches.
std::u16string ChosenName(char16_t (&file)[kFileBufferChars]) {
    file[kFileBufferChars - 1] = 0;
    return std::u16string(file);
}

}  // namespace

int ShowFileDialog(Platform& platform, int mode, OpenFileName& request) {
    void* library = platform.LoadLibrary("tgetfile.dll");
    if (!library) {
        if (mode != kChooserOpen && mode != kChooserSave) return 0;
        const int result = platform.PlatformFileDialog(mode, request);
        return result < 0 ? kChooserFailed : result != 0 ? 1 : 0;
    }
    int result = 0;
    // A library without the entry shows nothing: there is no fall-back then.
    if (void* entry = platform.FindEntry(library, "tGetFile"))
        result = reinterpret_cast<TGetFileProc>(entry)(mode, &request);
    platform.FreeLibrary(library);
    // The library's any nonzero answer means a file was chosen.
    return result != 0 ? 1 : 0;
}

int ChooseOpenFile(Platform& platform, std::string& path, const char16_t* filterList, uint32_t filterIndex) {
    OpenFileName request;
    char16_t file[kFileBufferChars];
    FillRequest(request, file, path, filterList, filterIndex);
    if (ShowFileDialog(platform, kChooserOpen, request) != 1) return 0;
    const std::u16string chosen = ChosenName(file);
    if (chosen.empty()) return 0;  // nothing to open: as good as cancelled
    path = Utf16ToUtf8(chosen);
    return 1;
}

int ChooseSaveFile(Platform& platform, std::string& path, const char16_t* filterList) {
    // The chooser is offered the name without its extension; a cancelled chooser leaves
    // the picture's path exactly as it was (else the next Save would ask to overwrite a
    // file named without it, which does not exist).
    std::string offered = path;
    StripPictureExtension(offered);
    OpenFileName request;
    char16_t file[kFileBufferChars];
    FillRequest(request, file, offered, filterList);
    const int shown = ShowFileDialog(platform, kChooserSave, request);
    if (shown != 1) return shown;
    std::u16string chosen = ChosenName(file);
    if (chosen.empty()) return 0;
    ApplySaveExtension(chosen, request.filterIndex);
    path = Utf16ToUtf8(chosen);
    return 1;
}

}  // namespace vellum
