// The widgets and services of one control, supplied by a platform. The platform owns
// them and keeps them alive for the control's lifetime.
#pragma once

#include "shell/widgets/edit_surface.h"
#include "shell/widgets/environment.h"
#include "shell/widgets/floating.h"
#include "shell/widgets/gutter_canvas.h"
#include "shell/widgets/printer.h"

namespace tavi {

struct Widgets {
  EditSurface* editor = nullptr;   // RichTxtBox
  HintBox* hint = nullptr;         // txtParameter
  KeywordListBox* list = nullptr;  // KeywordList
  GutterCanvas* gutter = nullptr;  // picLines
  FrameBox* frame = nullptr;       // Container
  PopupMenu* menu = nullptr;       // IEPOP1
  ControlSite* site = nullptr;     // the user control itself
  Screen* screen = nullptr;
  Clipboard* clipboard = nullptr;
  MessageBoxes* messages = nullptr;
  WindowSystem* windows = nullptr;
  PrinterSystem* printers = nullptr;  // the Printer object and the Printers list
};

}  // namespace tavi
