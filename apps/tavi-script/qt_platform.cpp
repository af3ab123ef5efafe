#include "tavi-script/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "headless/printer_system.h"
#include "headless/us_keyboard.h"
#include "printing/print_records.h"
#include "qt/edit_surface.h"
#include "qt/gutter_canvas.h"
#include "qt/printer_system.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"
#include "shell/keys.h"

namespace tavi::script {

namespace {

using qt::toQString;
using qt::toText;

// The headless grid that mouse commands are given in (docs/tavi-script.md).
constexpr double kGridCellWidth = 8;
constexpr double kGridCellHeight = 16;

// The Qt key of a virtual-key code on a US keyboard (Qt::Key_unknown for a code without
// one); `keypad` says whether it is a key of the numeric keypad.
int qtKeyOf(int16_t keyCode, bool& keypad) {
  keypad = false;
  if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) return keyCode;
  if (keyCode >= vk::kF1 && keyCode < vk::kF1 + 24) return Qt::Key_F1 + (keyCode - vk::kF1);
  if (keyCode >= 96 && keyCode <= 105) {
    keypad = true;
    return Qt::Key_0 + (keyCode - 96);
  }
  static constexpr std::pair<int16_t, int> kKeys[] = {{vk::kBack, Qt::Key_Backspace},
                                                      {vk::kTab, Qt::Key_Tab},
                                                      {vk::kReturn, Qt::Key_Return},
                                                      {vk::kShift, Qt::Key_Shift},
                                                      {vk::kControl, Qt::Key_Control},
                                                      {vk::kMenu, Qt::Key_Alt},
                                                      {vk::kPause, Qt::Key_Pause},
                                                      {vk::kCapital, Qt::Key_CapsLock},
                                                      {vk::kEscape, Qt::Key_Escape},
                                                      {vk::kSpace, Qt::Key_Space},
                                                      {vk::kPrior, Qt::Key_PageUp},
                                                      {vk::kNext, Qt::Key_PageDown},
                                                      {vk::kEnd, Qt::Key_End},
                                                      {vk::kHome, Qt::Key_Home},
                                                      {vk::kLeft, Qt::Key_Left},
                                                      {vk::kUp, Qt::Key_Up},
                                                      {vk::kRight, Qt::Key_Right},
                                                      {vk::kDown, Qt::Key_Down},
                                                      {vk::kSnapshot, Qt::Key_Print},
                                                      {vk::kInsert, Qt::Key_Insert},
                                                      {vk::kDelete, Qt::Key_Delete},
                                                      {vk::kLWin, Qt::Key_Meta},
                                                      {vk::kApps, Qt::Key_Menu},
                                                      {vk::kNumLock, Qt::Key_NumLock},
                                                      {vk::kScroll, Qt::Key_ScrollLock},
                                                      {186, Qt::Key_Semicolon},
                                                      {187, Qt::Key_Equal},
                                                      {188, Qt::Key_Comma},
                                                      {189, Qt::Key_Minus},
                                                      {190, Qt::Key_Period},
                                                      {191, Qt::Key_Slash},
                                                      {192, Qt::Key_QuoteLeft},
                                                      {219, Qt::Key_BracketLeft},
                                                      {220, Qt::Key_Backslash},
                                                      {221, Qt::Key_BracketRight},
                                                      {222, Qt::Key_Apostrophe},
                                                      {12, Qt::Key_Clear},
                                                      {41, Qt::Key_Select},
                                                      {47, Qt::Key_Help}};
  for (const auto& [code, key] : kKeys)
    if (code == keyCode) return key;
  static constexpr std::pair<int16_t, int> kKeypad[] = {{106, Qt::Key_Asterisk},
                                                        {107, Qt::Key_Plus},
                                                        {109, Qt::Key_Minus},
                                                        {110, Qt::Key_Period},
                                                        {111, Qt::Key_Slash}};
  for (const auto& [code, key] : kKeypad)
    if (code == keyCode) {
      keypad = true;
      return key;
    }
  return Qt::Key_unknown;
}

Qt::KeyboardModifiers modifiersOf(int16_t shift) {
  Qt::KeyboardModifiers m;
  if ((shift & kShiftMask) != 0) m |= Qt::ShiftModifier;
  if ((shift & kCtrlMask) != 0) m |= Qt::ControlModifier;
  if ((shift & kAltMask) != 0) m |= Qt::AltModifier;
  return m;
}

Qt::MouseButton qtButtonOf(int16_t button) {
  switch (button) {
    case 1:
      return Qt::LeftButton;
    case 2:
      return Qt::RightButton;
    case 4:
      return Qt::MiddleButton;
    default:
      return Qt::NoButton;
  }
}

qt::ListedPrinter listed(TextView name, TextView driver, TextView port,
                         const PrinterSettings& s = {}) {
  return {Text(name), Text(driver), Text(port), s};
}

template <typename Record>
std::optional<std::vector<uint8_t>> bytesOrNone(const std::optional<Record>& record) {
  if (!record) return std::nullopt;
  return std::vector<uint8_t>(record->begin(), record->end());
}

// Lets the events that the last input posted run (deferred updates, focus changes).
void settle() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

class QtScriptControl final : public ScriptControl {
 public:
  QtScriptControl(QWidget& form, QWidget& elsewhere, qt::QtServices& services, int16_t& modifiers)
      : widget_(new TaviColorTextWidget(&form)),
        form_(form),
        elsewhere_(elsewhere),
        services_(services),
        modifiers_(modifiers) {
    // The person's timer ticks come from the tick command only, so that runs repeat.
    for (QTimer* timer : widget_->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
      timer->stop();
    QObject::connect(widget_->popupMenu(), &QMenu::aboutToShow, widget_, [this] { ++menuShown_; });
    widget_->move(0, 0);
    widget_->show();
    settle();
  }

  TaviColorText& control() override { return widget_->control(); }

  void type(TextView text) override {
    for (size_t i = 0; i < text.size();) {
      size_t n = 1;
      if (i + 1 < text.size() && ((text[i] == kCR && text[i + 1] == kLF) ||
                                  (isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]))))
        n = 2;
      typeCharacter(text.substr(i, n));
      i += n;
    }
  }

  void compose(TextView text) override {
    if (QApplication::focusWidget() == widget_->keywordList()) return;  // the list takes none
    QInputMethodEvent event;
    event.setCommitString(toQString(text));
    QApplication::sendEvent(keyTarget(), &event);
    settle();
  }

  void key(int16_t keyCode, int16_t shift) override {
    const std::vector<int> held = holdModifiers(shift);
    const bool caps = (services_.screen.keyState(vk::kCapital) & 1) != 0;
    QString typed;
    if ((shift & (kCtrlMask | kAltMask)) == 0)
      if (const std::optional<char16_t> c =
              headless::charForKey(keyCode, (shift & kShiftMask) != 0, caps))
        typed = QString(QChar(*c));
    if (keyCode == vk::kReturn) typed = QStringLiteral("\r");
    if (keyCode == vk::kTab) typed = QStringLiteral("\t");
    sendKey(QEvent::KeyPress, keyCode, shift, typed);
    sendKey(QEvent::KeyRelease, keyCode, shift, typed);
    releaseModifiers(held);
  }

  // On Qt a key press always reaches the surface's own action after its notification.
  void keyDown(int16_t keyCode, int16_t shift) override {
    modifiers_ |= modifierMaskOf(keyCode);
    sendKey(QEvent::KeyPress, keyCode, shift, {});
  }
  void keyUp(int16_t keyCode, int16_t shift) override {
    modifiers_ &= static_cast<int16_t>(~modifierMaskOf(keyCode));
    sendKey(QEvent::KeyRelease, keyCode, shift, {});
  }

  // Press at the start, drag to the end, release. No pixel lies inside a surrogate pair:
  // such an end is the pair's outer edge, as the surface widens a range over it.
  void select(int32_t start, int32_t length) override {
    const Text text = surface().text();
    const int64_t size = static_cast<int64_t>(text.size());
    const auto insidePair = [&](int64_t at) {
      return at > 0 && at < size && isHighSurrogate(text[at - 1]) && isLowSurrogate(text[at]);
    };
    int64_t from = std::clamp<int64_t>(start, 0, size);
    int64_t to = std::clamp<int64_t>(int64_t{start} + length, from, size);
    if (insidePair(from)) --from;
    to = length == 0 ? from : to + (insidePair(to) ? 1 : 0);
    const Qt::KeyboardModifiers mods = modifiersOf(modifiers_);
    sendMouse(QEvent::MouseButtonPress, pixelOfOffset(static_cast<int32_t>(from)), Qt::LeftButton,
              Qt::LeftButton, mods);
    const QPoint end = pixelOfOffset(static_cast<int32_t>(to));
    sendMouse(QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton, mods);
    sendMouse(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton, mods);
  }

  void click(double x, double y) override {
    mouseDown(1, heldShift(), x, y);
    mouseUp(1, heldShift(), x, y);
  }
  void rightClick(double x, double y) override {
    mouseDown(2, heldShift(), x, y);
    mouseUp(2, heldShift(), x, y);
  }
  void mouseDown(int16_t button, int16_t shift, double x, double y) override {
    const Qt::MouseButton b = qtButtonOf(button);
    sendMouse(QEvent::MouseButtonPress, pixelOfGrid(x, y), b, b, modifiersOf(shift));
  }
  void mouseUp(int16_t button, int16_t shift, double x, double y) override {
    sendMouse(QEvent::MouseButtonRelease, pixelOfGrid(x, y), qtButtonOf(button), Qt::NoButton,
              modifiersOf(shift));
  }

  void menu(int16_t entry) override {
    const QList<QAction*> actions = widget_->popupMenu()->actions();
    if (entry >= 1 && entry <= actions.size())
      actions[entry - 1]->trigger();
    else
      control().menuClicked(entry);  // as a choice the menu never offered
    settle();
  }

  void focus(ScriptFocus place) override {
    switch (place) {
      case ScriptFocus::kSurface:
        surface().widget()->setFocus(Qt::OtherFocusReason);
        break;
      case ScriptFocus::kList:
        widget_->keywordList()->setFocus(Qt::OtherFocusReason);
        break;
      case ScriptFocus::kAway:
        elsewhere_.setFocus(Qt::OtherFocusReason);
        break;
    }
    settle();
  }

  void scroll(int32_t line) override {
    surface().widget()->verticalScrollBar()->setValue(line);
    settle();
  }

  void tick() override {
    control().timerTick();
    settle();
  }

  void resize(double width, double height) override {
    const QSize size(qt::toPixels(widget_, static_cast<int32_t>(std::lround(width))),
                     qt::toPixels(widget_, static_cast<int32_t>(std::lround(height))));
    // A size the widget has already raises no resize event; the host's resize still
    // reaches the control.
    if (size == widget_->size())
      control().resize();
    else
      widget_->resize(size);
    settle();
  }

  void paint() override {
    widget_->gutter()->repaint();
    settle();
  }

  WidgetReport widgets() override {
    const qt::QtEditSurface& s = surface();
    WidgetReport r;
    r.text = s.text();
    r.selStart = s.selStart();
    r.selLength = s.selLength();
    r.hideSelection = s.hideSelection();
    r.locked = s.locked();
    r.maxLength = s.maxLength();
    r.mousePointer =
        s.widget()->viewport()->cursor().shape() == Qt::WaitCursor ? kPointerHourglass : 0;
    r.screenPointer = services_.screen.mousePointer();
    const QWidget* focused = QApplication::focusWidget();
    // The list floats over the surface as its child: it is asked first.
    r.focus = focused == widget_->keywordList() ? "list"
              : focused == s.widget() || (focused != nullptr && s.widget()->isAncestorOf(focused))
                  ? "surface"
                  : "away";
    r.firstVisibleLine = s.firstVisibleLine();
    const QListWidget* list = widget_->keywordList();
    r.list.visible = !list->isHidden();
    r.list.left = list->x();
    r.list.top = list->y();
    // The list box's index: the current row while it is selected.
    const int row = list->currentRow();
    r.list.listIndex = row >= 0 && list->item(row)->isSelected() ? row : -1;
    for (int i = 0; i < list->count(); ++i) r.list.items.push_back(toText(list->item(i)->text()));
    const QLabel* hint = widget_->hint();
    r.hint = {!hint->isHidden(), toText(hint->text()), hint->x(),
              hint->y(),         hint->width(),        hint->height()};
    return r;
  }

  std::vector<FormatRun> formats() override { return surface().formats(); }

  std::optional<GutterReport> gutter() override {
    const qt::QtGutterCanvas& canvas = widget_->gutterCanvas();
    const std::optional<qt::GutterPaintRecord>& paint = canvas.lastPaint();
    if (!paint) return std::nullopt;
    GutterReport r;
    const PixelRect client = canvas.clientRect();
    r.width = client.right;
    r.height = client.bottom;
    const PixelRect sample = canvas.measureText(u"Hy");
    r.lineHeight = sample.bottom - sample.top;
    r.background = paint->fillColor;
    for (const qt::GutterNumber& n : paint->numbers)
      r.numbers.push_back({n.text, n.color, n.rect.left, n.rect.top, n.rect.right, n.rect.bottom});
    if (!paint->lines.empty()) {
      const qt::GutterLine& rule = paint->lines.back();
      r.rule = GutterRuleReport{rule.x1, rule.y1, rule.y2, rule.color};
    }
    return r;
  }

  MenuReport menuItems() override {
    MenuReport r;
    for (const QAction* action : widget_->popupMenu()->actions())
      r.items.push_back(toText(action->text()));
    r.shown = menuShown_;
    return r;
  }

 private:
  qt::QtEditSurface& surface() const { return widget_->surface(); }

  // The modifiers held, as this host pressed them. Qt's own idea of them follows the key
  // events it saw last, which a host's events do not always keep right (see
  // syncModifiers).
  int16_t heldShift() const { return modifiers_; }

  static int16_t modifierMaskOf(int16_t keyCode) {
    if (keyCode == vk::kShift) return kShiftMask;
    if (keyCode == vk::kControl) return kCtrlMask;
    if (keyCode == vk::kMenu) return kAltMask;
    return 0;
  }

  // Puts the modifiers of `shift` that are not down yet into the key state, as a person
  // holding them since before; returns them for release.
  std::vector<int> holdModifiers(int16_t shift) {
    std::vector<int> pressed;
    for (int keyCode : {vk::kShift, vk::kControl, vk::kMenu}) {
      const int16_t mask = modifierMaskOf(static_cast<int16_t>(keyCode));
      if ((shift & mask) != 0 && (modifiers_ & mask) == 0) {
        services_.screen.pressKey(keyCode);
        modifiers_ |= mask;
        pressed.push_back(keyCode);
      }
    }
    return pressed;
  }

  void releaseModifiers(const std::vector<int>& keys) {
    for (int keyCode : keys) {
      services_.screen.releaseKey(keyCode);
      modifiers_ &= static_cast<int16_t>(~modifierMaskOf(static_cast<int16_t>(keyCode)));
    }
    syncModifiers();
  }

  // QApplication takes the modifiers it reports from the last key press it delivered
  // that was no modifier key: a key press that no widget acts on, given to the host's
  // form, sets them to those held.
  void syncModifiers() {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, modifiersOf(modifiers_));
    QApplication::sendEvent(&form_, &event);
  }

  // Where keys go: the widget of this control that has the focus, else its surface,
  // which takes the focus first, as a person clicks into the editor before typing.
  QWidget* keyTarget() {
    QWidget* focused = QApplication::focusWidget();
    if (focused != nullptr && (focused == surface().widget() || widget_->isAncestorOf(focused)))
      return focused;
    surface().widget()->setFocus(Qt::MouseFocusReason);
    settle();
    return surface().widget();
  }

  void sendKey(QEvent::Type type, int16_t keyCode, int16_t shift, const QString& text) {
    bool keypad = false;
    const int qtKey = qtKeyOf(keyCode, keypad);
    Qt::KeyboardModifiers mods = modifiersOf(shift);
    if (keypad) mods |= Qt::KeypadModifier;
    QKeyEvent event(type, qtKey, mods, text);
    QApplication::sendEvent(keyTarget(), &event);
    syncModifiers();
    settle();
  }

  void typeCharacter(TextView chars) {
    const char16_t c = chars[0];
    const int16_t held = heldShift();
    if (c == kCR || c == kLF) return key(vk::kReturn, held);
    if (c == kTab) return key(vk::kTab, held);
    const std::optional<headless::KeyStroke> stroke =
        chars.size() == 1 ? headless::keyForChar(c) : std::nullopt;
    const QString text = toQString(chars);
    if (!stroke) {
      // A character without a key of its own arrives as a key event that only carries it.
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, modifiersOf(held), text);
      QApplication::sendEvent(keyTarget(), &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, modifiersOf(held), text);
      QApplication::sendEvent(keyTarget(), &release);
      settle();
      return;
    }
    const bool caps = (services_.screen.keyState(vk::kCapital) & 1) != 0;
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    const bool needsShift = letter ? stroke->shift != caps : stroke->shift;
    const bool pressShift = needsShift && (held & kShiftMask) == 0;
    const int16_t shift = static_cast<int16_t>(held | (needsShift ? kShiftMask : 0));
    if (pressShift) keyDown(vk::kShift, shift);
    sendKey(QEvent::KeyPress, stroke->virtualKey, shift, text);
    sendKey(QEvent::KeyRelease, stroke->virtualKey, shift, text);
    if (pressShift) keyUp(vk::kShift, held);
  }

  void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers mods) {
    QWidget* viewport = surface().widget()->viewport();
    // A press gives the focus to the surface, as the window system's press does.
    if (type == QEvent::MouseButtonPress && (surface().widget()->focusPolicy() & Qt::ClickFocus))
      surface().widget()->setFocus(Qt::MouseFocusReason);
    const QPointF local(at);
    QMouseEvent event(type, local, viewport->mapToGlobal(local), button, buttons, mods);
    QApplication::sendEvent(viewport, &event);
    settle();
    closeMenu();
  }

  // The person dismisses a popup menu the click opened; its choice is the menu command.
  void closeMenu() {
    if (widget_->popupMenu()->isVisible()) {
      widget_->popupMenu()->hide();
      settle();
    }
  }

  // The viewport pixel of the caret place `offset`, halfway down its line.
  QPoint pixelOfOffset(int32_t offset) const {
    const qt::SurfaceView* view = surface().widget();
    return view->pointOf(offset) + QPoint(0, view->lineHeight() / 2);
  }

  // The pixel on this widget for the position a pixel of the headless grid goes to: line
  // first + floor(y / 16), column round(x / 8), clamped to the text.
  QPoint pixelOfGrid(double x, double y) const {
    const SurfaceModel& model = surface().model();
    const double row = std::floor(std::clamp(y / kGridCellHeight, -1e9, 1e9));
    const int64_t line = std::clamp<int64_t>(
        surface().firstVisibleLine() + static_cast<int64_t>(row), 0, model.lineCount() - 1);
    const int64_t column =
        std::max<int64_t>(0, std::llround(std::clamp(x / kGridCellWidth, -1e9, 1e9)));
    return pixelOfOffset(
        model.positionOnLine(static_cast<int32_t>(line),
                             static_cast<int32_t>(std::min<int64_t>(column, model.textLength()))));
  }

  TaviColorTextWidget* widget_;  // owned by the form
  QWidget& form_;
  QWidget& elsewhere_;
  qt::QtServices& services_;
  int16_t& modifiers_;  // the platform's: one keyboard for every control
  int menuShown_ = 0;
};

class QtScriptPlatform final : public ScriptPlatform {
 public:
  QtScriptPlatform() : services_(qt::QtServices::forThisThread()) {
    // Every box is answered OK at once and recorded for the host's output.
    services_.messages.setAnswerer([this](TextView text, int32_t style, TextView title) {
      boxes_.push_back({Text(text), style, Text(title)});
      return 1;
    });
    // The host's form: the controls, and a field elsewhere that takes the focus away.
    form_.resize(800, 600);
    elsewhere_ = new QLineEdit(&form_);
    elsewhere_->setGeometry(0, 560, 100, 24);
    // A run starts with an empty clipboard, as on the headless platform.
    QGuiApplication::clipboard()->clear();
    // The printers are a list of the host's, at first the headless platform's default one,
    // and what they print is recorded; the print dialog answers as the printdialog command
    // scripted it, else confirms at once.
    std::vector<qt::ListedPrinter> printers;
    const HeadlessPrinterSystem headlessDefaults;
    for (const InstalledPrinter& p : headlessDefaults.printers())
      printers.push_back(listed(p.name, p.driver, p.port, p.settings));
    services_.printers.installPrinters(printers, 0);
    services_.printers.recordOutput(&recorder_);
    form_.show();
    form_.activateWindow();
    for (int i = 0; i < 100 && !form_.isActiveWindow(); ++i) {
      settle();
      if (!form_.isActiveWindow()) QThread::msleep(5);
    }
  }

  ~QtScriptPlatform() override {
    controls_.clear();
    for (TaviColorTextWidget* w : form_.findChildren<TaviColorTextWidget*>()) delete w;
    services_.messages.setAnswerer(nullptr);
    services_.printers.recordOutput(nullptr);
    services_.printers.reset();
    services_.clipboard.setLocked(false);
  }

  ScriptControl& createControl() override {
    controls_.push_back(
        std::make_unique<QtScriptControl>(form_, *elsewhere_, services_, modifiers_));
    return *controls_.back();
  }

  void setCapsLock(bool on) override { services_.screen.setCapsLock(on); }

  void setPrinters(const std::vector<ScriptPrinter>& printers, int32_t current) override {
    std::vector<qt::ListedPrinter> list;
    for (const ScriptPrinter& p : printers) list.push_back(listed(p.name, p.driver, p.port));
    services_.printers.installPrinters(list, current);
  }
  void scriptPrintDialog(const ScriptDialogAnswer& a) override {
    services_.printers.scriptDialog(
        {a.cancel, a.printer, a.copies, a.orientation, a.duplex, a.paperSize, a.printQuality});
  }
  PrintoutReport printout() override {
    PrintoutReport report;
    for (const PrintedDocument& document : recorder_.drainDocuments())
      report.documents.push_back(documentReport(document));
    if (const std::optional<qt::GivenDialogRecords>& given = services_.printers.lastDialog())
      report.dialog =
          DialogRecordsReport{readU32(given->printDlg, printdlg::kFlags),
                              bytesOrNone(given->devMode), bytesOrNone(given->devNames),
                              std::vector<uint8_t>(given->printDlg.begin(), given->printDlg.end())};
    return report;
  }

  // The control's view of the clipboard: line breaks as CR LF.
  std::optional<Text> clipboardText() override {
    const bool locked = services_.clipboard.locked();
    services_.clipboard.setLocked(false);
    std::optional<Text> text = services_.clipboard.text();
    services_.clipboard.setLocked(locked);
    return text;
  }
  void setClipboardText(const std::optional<Text>& text) override {
    if (text)
      QGuiApplication::clipboard()->setText(toQString(*text));
    else
      QGuiApplication::clipboard()->clear();
  }
  void setClipboardLocked(bool locked) override { services_.clipboard.setLocked(locked); }

  std::vector<MessageBoxReport> drainMessageBoxes() override {
    std::vector<MessageBoxReport> boxes;
    boxes.swap(boxes_);
    return boxes;
  }

 private:
  qt::QtServices& services_;
  QWidget form_;
  QLineEdit* elsewhere_;
  std::vector<std::unique_ptr<QtScriptControl>> controls_;
  std::vector<MessageBoxReport> boxes_;
  int16_t modifiers_ = 0;  // Shift, Ctrl and Alt held (1, 2, 4)
  RecordingPrinter recorder_;
};

}  // namespace

QtApplicationScope::QtApplicationScope(char* programName) : argv_{programName, nullptr} {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  application_ = std::make_unique<QApplication>(argc_, argv_);
}

QtApplicationScope::~QtApplicationScope() {
  // The printers' QPrinters go before the application object their engines need.
  qt::QtServices::forThisThread().printers.reset();
}

std::unique_ptr<ScriptPlatform> makeQtPlatform() { return std::make_unique<QtScriptPlatform>(); }

}  // namespace tavi::script
