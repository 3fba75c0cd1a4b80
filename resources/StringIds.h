#pragma once
// Ids of the string table. Message texts are looked up by id when they are shown.
namespace vellum {

enum StringId : int {
    IDS_DOCUMENT = 128,             // the document template's string
    IDS_ABOUT_PRODUCT = 129,        // product name in the About box (with "v2.22")
    IDS_ABOUT_CREDITS = 130,        // credits line of the About box
    IDS_QUIT = 61204,               // 終了しますか？
    IDS_DATA_LOAD_FAILED = 61205,   // データファイルのロードに失敗しました。
    IDS_MEMORY_ERROR = 61206,       // メモリ確保エラーが発生しました
    IDS_NEW_PICTURE = 61207,        // 新しいお絵かきをはじめますか？
    IDS_OPEN_FAILED = 61208,        // ファイルを開けられませんでした
    IDS_OVERWRITE_CURRENT = 61209,  // 現在のファイルに上書き保存しますか？
    IDS_FILE_EXISTS = 61210,        // ファイルが存在します。上書きしますか？
    IDS_CUSTOM_PALETTE_FAILED = 61211,
    IDS_CUSTOM_PEN_FAILED = 61212,
    IDS_CUSTOM_PAPER_FAILED = 61213,
    IDS_SHRINK_PICTURE = 61216,     // 画像サイズが画面と違います。自動縮小させますか？
    IDS_CUT_FROM_CENTRE = 61217,    // 中央から切り抜きますか？
    IDS_SAVE_CHANGED = 61218,       // 変更された絵を保存しますか？
    IDS_RESTORE = 61220,            // 保存されていない絵が残っています。復元しますか？
    IDS_RECOVERY_UNUSABLE = 61221,  // the recovery folder cannot be used (its reason follows)
    IDS_RECOVERY_FAILED = 61222,    // the recovery journal could not be written
    IDS_SETTINGS_NOT_KEPT = 61223,  // the settings store could not be written
    IDS_SAVE_FAILED = 61224,        // the picture was not saved (it could not reach the user)
    IDS_RESTORE_DAMAGED = 61225,    // an unsaved picture's files are damaged (where they were kept follows)
    IDS_RESTORE_INCOMPLETE = 61226, // only part of the picture came back (where the journal was kept follows)
    IDS_PICTURE_TOO_LARGE = 61227,  // a picture larger than the program's largest
    IDS_PARSE_INT = 61712,          // the dialogs' message for a field that is not a number
    IDS_PARSE_INT_RANGE = 61715,    // ... and for a number outside its range (%1, %2)
};

}  // namespace vellum
