#pragma once
// The picture size dialog (template 134): the picture's width and height in pixels,
// 1..8192 each.
#include <cstdint>

#include "dialogs/Dialog.h"

namespace vellum {

class CPictureSizeDialog : public CDialog {
public:
    explicit CPictureSizeDialog(Platform& platform);

    int32_t width = 1;
    int32_t height = 1;

    void OnInitDialog() override;

protected:
    bool DoDataExchange(bool save) override;
};

}  // namespace vellum
