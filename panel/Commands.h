#pragma once
// The commands behind the hot areas of the status bar and the tool panel. Each changes
// view fields, redraws the strip it affects and makes the change visible.
#include "app/VellumView.h"

namespace vellum {

// Status bar.
void TogglePanelCommand(CVellumView& view);
void ToggleEraserCommand(CVellumView& view);
void OpenColourPageCommand(CVellumView& view);
void NextPaperCommand(CVellumView& view);
void NextZoomCommand(CVellumView& view);
void ToggleHandModeCommand(CVellumView& view);
void MoveStripsCommand(CVellumView& view);

// Tool panel.
void ChoosePageCommand(CVellumView& view, int page);
void FullViewCommand(CVellumView& view);
void SelectPenCommand(CVellumView& view, int index);
void SelectPaperCommand(CVellumView& view, int index);
void PalettePickCommand(CVellumView& view, int x, int y);

}  // namespace vellum
