// The English language module: every string and dialog text under the ids of the
// built-in Japanese resources. Dialog texts go by (dialog id, control index in the
// template); the layouts are fixed, so the words are kept short.
#include "resources/ModuleAbi.h"
#include "resources/StringIds.h"

namespace {

using namespace vellum;

const VellumStringEntry kStrings[] = {
    {IDS_DOCUMENT, "vellum\n\nVellum\n\n\nVellum.Document\nVellum Document"},
    {IDS_ABOUT_PRODUCT, "Vellum v2.22"},
    {IDS_ABOUT_CREDITS, "Made by Orvane Works"},
    {IDS_QUIT, "Quit Vellum?"},
    {IDS_DATA_LOAD_FAILED, "Could not load the data file vellum.dat."},
    {IDS_MEMORY_ERROR, "Out of memory."},
    {IDS_NEW_PICTURE, "Start a new picture?"},
    {IDS_OPEN_FAILED, "The file could not be opened."},
    {IDS_OVERWRITE_CURRENT, "Save over the current file?"},
    {IDS_FILE_EXISTS, "The file already exists. Replace it?"},
    {IDS_CUSTOM_PALETTE_FAILED, "Could not load the custom palette."},
    {IDS_CUSTOM_PEN_FAILED, "Could not load the custom pens."},
    {IDS_CUSTOM_PAPER_FAILED, "Could not load the custom papers."},
    {IDS_SHRINK_PICTURE, "The picture's size differs from the screen. Shrink it to fit?"},
    {IDS_CUT_FROM_CENTRE, "Cut it out from the centre?"},
    {IDS_SAVE_CHANGED, "Save the changed picture?"},
    {IDS_RESTORE, "Vellum closed without saving your last picture. Restore it?"},
    {IDS_RECOVERY_UNUSABLE, "The recovery folder cannot be used, so an unsaved picture cannot be restored after a crash."},
    {IDS_RECOVERY_FAILED, "Vellum cannot write its recovery journal (the disk may be full). You can go on drawing, but save your picture soon."},
    {IDS_SETTINGS_NOT_KEPT, "Vellum cannot save its settings: changes made now will be gone at the next start."},
    {IDS_SAVE_FAILED, "The picture was not saved."},
    {IDS_RESTORE_DAMAGED, "A picture left unsaved cannot be restored: its recovery files are damaged. They were kept in this folder:"},
    {IDS_PICTURE_TOO_LARGE, "This picture is larger than 8192 x 8192 pixels, the largest this program can draw on. It was not opened."},
    {IDS_RESTORE_INCOMPLETE, "Only part of the picture could be restored: the rest of its recovery journal is damaged. The journal was kept in this folder:"},
    {IDS_PARSE_INT, "Please enter a whole number."},
    {IDS_PARSE_INT_RANGE, "Please enter a whole number from %1 to %2."},
};

// Dialog ids, as the program's templates have them.
constexpr int32_t kAbout = 100;
constexpr int32_t kStylusSettings = 130;
constexpr int32_t kColourEntry = 131;
constexpr int32_t kKeySettings = 132;
constexpr int32_t kKeyCapture = 133;
constexpr int32_t kPictureSize = 134;

const VellumDialogTextEntry kDialogTexts[] = {
    // About box: its two lines show strings 129 and 130.
    {kAbout, -1, "Vellum"},

    // Stylus settings.
    {kStylusSettings, -1, "Stylus Setting"},
    {kStylusSettings, 0, "Stylus input mode"},
    {kStylusSettings, 1, "Prevent jumps"},
    {kStylusSettings, 2, "None"},
    {kStylusSettings, 3, "Normal"},
    {kStylusSettings, 4, "Slightly smooth"},
    {kStylusSettings, 5, "Smooth"},
    {kStylusSettings, 6, "OK"},
    {kStylusSettings, 7, "Cancel"},
    {kStylusSettings, 8, "Options"},
    {kStylusSettings, 9, "Line smoothing"},

    // Colour entry: 1, 2, 4, 5, 7 and 8 are the edits and their arrows.
    {kColourEntry, -1, "Colour values"},
    {kColourEntry, 0, "R"},
    {kColourEntry, 3, "G"},
    {kColourEntry, 6, "B"},
    {kColourEntry, 9, "Filter the picture with this colour"},
    {kColourEntry, 10, "Cancel"},
    {kColourEntry, 11, "OK"},

    // Key settings: 0..17 are the edits and their set buttons, without text.
    {kKeySettings, -1, "Key settings"},
    {kKeySettings, 18, "OK"},
    {kKeySettings, 19, "Cancel"},
    {kKeySettings, 20, "Dropper"},
    {kKeySettings, 21, "Zoom"},
    {kKeySettings, 22, "Save"},
    {kKeySettings, 23, "Darker"},
    {kKeySettings, 24, "Lighter"},
    {kKeySettings, 25, "Next pen"},
    {kKeySettings, 26, "Prev. pen"},
    {kKeySettings, 27, "Next ppr"},
    {kKeySettings, 28, "Prev. ppr"},

    // Key capture.
    {kKeyCapture, -1, "Press a key"},
    {kKeyCapture, 0, "Press the key to assign"},

    // Picture size: 1 and 4 are the edits.
    {kPictureSize, -1, "Picture size"},
    {kPictureSize, 0, "Width"},
    {kPictureSize, 2, "pixels"},
    {kPictureSize, 3, "Height"},
    {kPictureSize, 5, "pixels"},
    {kPictureSize, 6, "Cancel"},
    {kPictureSize, 7, "OK"},
};

const VellumResourceModule kModule = {
    kVellumModuleMagic,
    kVellumModuleVersion,
    kStrings,
    int32_t(sizeof kStrings / sizeof kStrings[0]),
    kDialogTexts,
    int32_t(sizeof kDialogTexts / sizeof kDialogTexts[0]),
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const VellumResourceModule* VellumResources(void) {
    return &kModule;
}
