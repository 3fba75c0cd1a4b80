#include "resources/Resources.h"

#include <cstring>

#include "seam/Platform.h"

namespace vellum {

namespace {

const VellumStringEntry kBuiltInStrings[] = {
    {IDS_DOCUMENT, "vellum\n\nVellum\n\n\nVellum.Document\nVellum Document"},
    {IDS_ABOUT_PRODUCT, "Vellum\u3000v2.22"},
    {IDS_ABOUT_CREDITS, "制作　Orvane Works"},
    {IDS_QUIT, "終了しますか？"},
    {IDS_DATA_LOAD_FAILED, "データファイルのロードに失敗しました。"},
    {IDS_MEMORY_ERROR, "メモリ確保エラーが発生しました"},
    {IDS_NEW_PICTURE, "新しいお絵かきをはじめますか？"},
    {IDS_OPEN_FAILED, "ファイルを開けられませんでした"},
    {IDS_OVERWRITE_CURRENT, "現在のファイルに上書き保存しますか？"},
    {IDS_FILE_EXISTS, "ファイルが存在します。上書きしますか？"},
    {IDS_CUSTOM_PALETTE_FAILED, "カスタムパレットのロードに失敗しました"},
    {IDS_CUSTOM_PEN_FAILED, "カスタムペンのロードに失敗しました"},
    {IDS_CUSTOM_PAPER_FAILED, "カスタムペーパーのロードに失敗しました"},
    {IDS_SHRINK_PICTURE, "画像サイズが画面と違います。自動縮小させますか？"},
    {IDS_CUT_FROM_CENTRE, "中央から切り抜きますか？"},
    {IDS_SAVE_CHANGED, "変更された絵を保存しますか？"},
    {IDS_RESTORE, "保存されていない絵が残っています。復元しますか？"},
    {IDS_RECOVERY_UNUSABLE, "復元用のフォルダーを使えないため、保存していない絵は異常終了のあと復元できません。"},
    {IDS_RECOVERY_FAILED, "復元用の記録を書き込めません（ディスクがいっぱいかもしれません）。描き続けられますが、早めに保存してください。"},
    {IDS_SETTINGS_NOT_KEPT, "設定を保存できません。いま変えた設定は次の起動では元に戻ります。"},
    {IDS_SAVE_FAILED, "絵を保存できませんでした。"},
    {IDS_RESTORE_DAMAGED, "保存されていない絵の記録が壊れているため、復元できません。記録は次の場所に残してあります。"},
    {IDS_PICTURE_TOO_LARGE, "この絵は 8192 x 8192 ピクセルより大きいため開けません。"},
    {IDS_RESTORE_INCOMPLETE, "記録の一部が壊れていたため、絵は途中までしか復元できませんでした。元の記録は次の場所に残してあります。"},
    {IDS_PARSE_INT, "整数を入力してください。"},
    {IDS_PARSE_INT_RANGE, "%1 から %2 までの整数を入力してください。"},
};

constexpr const char* kModuleNames[] = {"vellum.i18", "vellumarm.i18", "vellummips.i18",
                                        "vellumsh3.i18", "vellumsh4.i18"};

const char* Find(const VellumStringEntry* table, int count, int id) {
    for (int i = 0; i < count; ++i)
        if (table[i].id == id) return table[i].text ? table[i].text : "";
    return nullptr;
}

}  // namespace

const VellumStringEntry* BuiltInStrings(int& count) {
    count = int(sizeof kBuiltInStrings / sizeof kBuiltInStrings[0]);
    return kBuiltInStrings;
}

Resources& Resources::Active() {
    static Resources active;
    return active;
}

const char* Resources::String(int id) const {
    const VellumStringEntry* table = kBuiltInStrings;
    int count = int(sizeof kBuiltInStrings / sizeof kBuiltInStrings[0]);
    if (module) {
        table = module->strings;
        count = module->stringCount;
    }
    const char* text = Find(table, count, id);
    return text ? text : "";
}

const char* Resources::DialogText(int dialogId, int index, const char* builtin) const {
    if (!module) return builtin;
    for (int i = 0; i < module->dialogTextCount; ++i) {
        const VellumDialogTextEntry& e = module->dialogTexts[i];
        if (e.dialogId == dialogId && e.index == index && e.text) return e.text;
    }
    return builtin;
}

bool Resources::Use(const VellumResourceModule* candidate) {
    if (!candidate || candidate->magic != kVellumModuleMagic ||
        candidate->version != kVellumModuleVersion || candidate->stringCount < 0 ||
        candidate->dialogTextCount < 0 || (candidate->stringCount > 0 && !candidate->strings) ||
        (candidate->dialogTextCount > 0 && !candidate->dialogTexts))
        return false;
    module = candidate;
    return true;
}

void Resources::UseBuiltIn() { module = nullptr; }

std::string Resources::ChooseLanguageModule(Platform& platform) {
    if (platform.UserLanguageId() == "0411") return "";
    for (const char* name : kModuleNames) {
        void* lib = platform.LoadLibrary(name);
        if (!lib) continue;
        auto proc = reinterpret_cast<VellumResourcesProc>(platform.FindEntry(lib, kVellumResourcesEntry));
        // A file that is not a language module does not load: try the next name.
        if (proc && Use(proc())) {
            library = lib;  // kept loaded for the life of the process
            return name;
        }
        platform.FreeLibrary(lib);
    }
    return "";
}

}  // namespace vellum
