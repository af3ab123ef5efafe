// What every tavi-script platform built on the headless widgets shares (headless, web):
// the reports of the widgets and the outside world of a HeadlessPlatform (clipboard,
// printers, message boxes, Caps Lock).
#pragma once

#include <optional>
#include <vector>

#include "headless/platform.h"
#include "tavi-script/script_platform.h"

namespace tavi::script {

WidgetReport widgetReport(HeadlessControl& widgets, HeadlessScreen& screen);
std::optional<GutterReport> gutterReport(const HeadlessGutterCanvas& gutter);
MenuReport menuReport(const HeadlessPopupMenu& menu);
FocusPlace headlessPlace(ScriptFocus place);

// A platform over a HeadlessPlatform; the subclass creates its controls.
class HeadlessWorld : public ScriptPlatform {
 public:
  void setCapsLock(bool on) override;
  std::optional<Text> clipboardText() override;
  void setClipboardText(const std::optional<Text>& text) override;
  void setClipboardLocked(bool locked) override;
  void setPrinters(const std::vector<ScriptPrinter>& printers, int32_t current) override;
  void scriptPrintDialog(const ScriptDialogAnswer& answer) override;
  PrintoutReport printout() override;
  std::vector<MessageBoxReport> drainMessageBoxes() override;

 protected:
  HeadlessPlatform platform_;  // declared first: outlives the subclass's controls
};

}  // namespace tavi::script
