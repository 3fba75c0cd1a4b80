#pragma once
// The colour entry dialog (template 131): the drawing colour as red, green and blue
// numbers, each with a pair of arrows, and the choice to filter the picture with it.
#include <cstdint>

#include "dialogs/Dialog.h"

namespace vellum {

class CColourEntryDialog : public CDialog {
public:
    explicit CColourEntryDialog(Platform& platform);

    int32_t red = 0;     // 0..255
    int32_t green = 0;
    int32_t blue = 0;
    int32_t filter = 0;  // 1: multiply the picture by the colour instead of drawing with it

    void OnInitDialog() override;

protected:
    bool DoDataExchange(bool save) override;
};

}  // namespace vellum
