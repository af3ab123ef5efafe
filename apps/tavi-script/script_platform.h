// The platform under tavi-script: it creates controls, stands in for the person at their
// keyboard and mouse and for the outside world (clipboard, printers, message boxes), and
// reports what its widgets hold. The command layer (ScriptHost) does everything else the
// same way on every platform, so one scenario suite proves them all. The records here are
// plain data: a platform fills them from its own widgets.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "shell/control.h"
#include "shell/dispatch.h"
#include "shell/object_safety.h"
#include "shell/text.h"
#include "surface/surface_model.h"

namespace tavi {
struct PrintedDocument;
}  // namespace tavi

namespace tavi::script {

// Where the focus goes, seen from one control.
enum class ScriptFocus { kSurface, kList, kAway };
std::optional<ScriptFocus> parseScriptFocus(std::string_view name);  // surface, list, away

// The default size of a new control, in twips.
inline constexpr double kDefaultControlWidth = 9000;
inline constexpr double kDefaultControlHeight = 6000;

struct ListReport {
  bool visible = false;
  int32_t left = 0, top = 0;
  int32_t listIndex = -1;
  std::vector<Text> items;
};

struct HintReport {
  bool visible = false;
  Text text;
  int32_t left = 0, top = 0, width = 0, height = 0;
};

// The platform's part of the "state" result.
struct WidgetReport {
  Text text;
  int32_t selStart = 0, selLength = 0;
  bool hideSelection = false;
  bool locked = false;
  int32_t maxLength = 0;
  int16_t mousePointer = 0;
  int16_t screenPointer = 0;
  std::string focus;  // "surface", "list" or "away"
  int32_t firstVisibleLine = 0;
  ListReport list;
  HintReport hint;
};

struct GutterNumberReport {
  Text text;
  int32_t color = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct GutterRuleReport {
  int32_t x = 0, y1 = 0, y2 = 0, color = 0;
};

// The last gutter paint.
struct GutterReport {
  int32_t width = 0, height = 0, lineHeight = 0;
  int32_t background = 0;
  std::vector<GutterNumberReport> numbers;
  std::optional<GutterRuleReport> rule;
};

struct MenuReport {
  std::vector<Text> items;
  int shown = 0;
};

struct ScriptPrinter {
  Text name, driver, port;
};

// The next print dialog's answer: cancel, or the choices given (the rest as pre-selected).
struct ScriptDialogAnswer {
  bool cancel = false;
  std::optional<Text> printer;
  std::optional<int16_t> copies, orientation, duplex, paperSize, printQuality;
};

struct PrintedLineReport {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int32_t color = 0;
};

struct PrintedTextReport {
  Text text;
  float x = 0, y = 0, fontSize = 0;
};

using PrintOpReport = std::variant<PrintedLineReport, PrintedTextReport>;

struct DocumentReport {
  Text printer;
  int16_t copies = 1, orientation = 1, duplex = 1, paperSize = 1, printQuality = -4;
  std::vector<std::vector<PrintOpReport>> pages;
  bool ended = false;
};

// The records given to a print dialog, as bytes.
struct DialogRecordsReport {
  uint32_t flags = 0;
  std::optional<std::vector<uint8_t>> devMode, devNames;
  std::vector<uint8_t> printDlg;
};

struct PrintoutReport {
  std::vector<DocumentReport> documents;
  std::optional<DialogRecordsReport> dialog;
};

struct MessageBoxReport {
  Text text;
  int32_t style = 0;
  Text title;
};

// One control on the platform with its widgets, and the person using them.
class ScriptControl {
 public:
  virtual ~ScriptControl() = default;

  // The control, on a platform that holds the core in this process. The host reaches it
  // only through the calls below, whose defaults (in_process_control.cpp) use it; a
  // platform that hosts the control elsewhere (a COM server's DLL) overrides them all.
  virtual TaviColorText& control() = 0;

  // The host's calls through the control's dispatch interface: a member's DISPID by name
  // (none when unknown), and a call by DISPID.
  virtual std::optional<int32_t> idOfName(std::string_view name);
  virtual InvokeResult invoke(int32_t dispid, MemberKind kind, std::vector<Variant> args);
  // Connects and disconnects the host's event sink.
  virtual void advise(EventSink& sink);
  virtual void unadvise(EventSink& sink);
  virtual void terminate();
  // The core's own state (core_state.h).
  virtual nlohmann::ordered_json coreState();
  // The control's object safety (IObjectSafety), with its HRESULT; a null `iid` asks for
  // none.
  virtual uint32_t getSafety(const Guid* iid, uint32_t* supported, uint32_t* enabled);
  virtual uint32_t setSafety(const Guid* iid, uint32_t mask, uint32_t enabled);

  // The person (see docs/tavi-script.md for each command). Mouse positions are pixels on
  // the headless grid (8 x 16 per cell); a platform with other metrics maps the cell to its
  // own pixel.
  virtual void type(TextView text) = 0;
  // An input method commits `text` (no key notifications). A platform that cannot send
  // input-method text types it.
  virtual void compose(TextView text) { type(text); }
  virtual void key(int16_t keyCode, int16_t shift) = 0;
  virtual void keyDown(int16_t keyCode, int16_t shift) = 0;
  virtual void keyUp(int16_t keyCode, int16_t shift) = 0;
  virtual void select(int32_t start, int32_t length) = 0;
  virtual void click(double x, double y) = 0;
  virtual void rightClick(double x, double y) = 0;
  virtual void mouseDown(int16_t button, int16_t shift, double x, double y) = 0;
  virtual void mouseUp(int16_t button, int16_t shift, double x, double y) = 0;
  virtual void menu(int16_t entry) = 0;
  virtual void focus(ScriptFocus place) = 0;
  virtual void scroll(int32_t line) = 0;
  virtual void tick() = 0;
  // The host sizes the control (twips).
  virtual void resize(double width, double height) = 0;
  virtual void paint() = 0;

  virtual WidgetReport widgets() = 0;
  virtual std::vector<FormatRun> formats() = 0;
  virtual std::optional<GutterReport> gutter() = 0;
  virtual MenuReport menuItems() = 0;
};

// The thread's platform: its controls and the outside world they share.
class ScriptPlatform {
 public:
  virtual ~ScriptPlatform() = default;

  // A new control, not sized yet; it lives as long as the platform.
  virtual ScriptControl& createControl() = 0;

  virtual void setCapsLock(bool on) = 0;
  // The clipboard's text as the outside world sees it (never locked out).
  virtual std::optional<Text> clipboardText() = 0;
  virtual void setClipboardText(const std::optional<Text>& text) = 0;
  // While locked, every access of the control fails with error 521.
  virtual void setClipboardLocked(bool locked) = 0;
  // `current` indexes `printers` (ignored when empty; the caller checks it).
  virtual void setPrinters(const std::vector<ScriptPrinter>& printers, int32_t current) = 0;
  virtual void scriptPrintDialog(const ScriptDialogAnswer& answer) = 0;
  // The documents printed since the last call, and the records of the last dialog.
  virtual PrintoutReport printout() = 0;
  // The message boxes shown since the last call (each answered OK), oldest first.
  virtual std::vector<MessageBoxReport> drainMessageBoxes() = 0;
};

// The reference platform (headless_platform.cpp).
std::unique_ptr<ScriptPlatform> makeHeadlessPlatform();
// The report of a document the headless printer recorded.
DocumentReport documentReport(const PrintedDocument& document);

}  // namespace tavi::script
