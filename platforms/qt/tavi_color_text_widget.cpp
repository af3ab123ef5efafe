#include "qt/tavi_color_text_widget.h"

#include <QResizeEvent>
#include <QTimer>

#include "qt/control_site.h"
#include "qt/edit_surface.h"
#include "qt/floating.h"
#include "qt/gutter_canvas.h"
#include "qt/services.h"
#include "qt/units.h"
#include "qt/variants.h"
#include "shell/dispatch.h"
#include "shell/runtime_error.h"

namespace tavi {

using namespace qt;

namespace {

constexpr int kTimerInterval = 1000;  // ms

QFont editorFont() {
  QFont font(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::Monospace);
  font.setPointSizeF(9.75);
  return font;
}

}  // namespace

// The control's events as the widget's signals.
class TaviColorTextWidget::Sink final : public EventSink {
 public:
  explicit Sink(TaviColorTextWidget& widget) : widget_(widget) {}
  void onChange() override { emit widget_.onChange(); }
  void onEvent(int16_t& id) override { emit widget_.onEvent(id); }

 private:
  TaviColorTextWidget& widget_;
};

TaviColorTextWidget::TaviColorTextWidget(QWidget* parent)
    : QWidget(parent), services_(QtServices::forThisThread()) {
  setFont(editorFont());
  frame_ = std::make_unique<QtFrameBox>(this);
  QWidget* frame = frame_->widget();
  gutter_ = std::make_unique<QtGutterCanvas>(frame);
  surface_ = std::make_unique<QtEditSurface>(services_, frame);
  surface_->widget()->setFont(editorFont());
  gutter_->followEditor(surface_.get());
  gutter_->widget()->raise();
  // The floating widgets belong to the editor: their positions are pixels of it.
  list_ = std::make_unique<QtListBox>(surface_->widget());
  hint_ = std::make_unique<QtHintBox>(surface_->widget());
  hint_->widget()->setFont(editorFont());
  menu_ = std::make_unique<QtPopupMenu>(this);
  site_ = std::make_unique<QtControlSite>(*this);
  setFocusProxy(surface_->widget());

  Widgets w;
  w.editor = surface_.get();
  w.hint = hint_.get();
  w.list = list_.get();
  w.gutter = gutter_.get();
  w.frame = frame_.get();
  w.menu = menu_.get();
  w.site = site_.get();
  w.screen = &services_.screen;
  w.clipboard = &services_.clipboard;
  w.messages = &services_.messages;
  w.windows = &services_.windows;
  w.printers = &services_.printers;
  control_ = std::make_unique<TaviColorText>(w);
  sink_ = std::make_unique<Sink>(*this);
  control_->addEventSink(sink_.get());

  gutter_->setPaintHandler([this] { control_->gutterPaint(); });
  menu_->setClickHandler([this](int16_t entry) { control_->menuClicked(entry); });
  list_->widget()->setFocusBack([this] { surface_->setFocus(); });
  QObject::connect(list_->widget(), &QListWidget::itemClicked, this,
                   [this] { surface_->setFocus(); });
  auto* timer = new QTimer(this);
  timer->setInterval(kTimerInterval);
  QObject::connect(timer, &QTimer::timeout, this, [this] { control_->timerTick(); });
  timer->start();
  resize(600, 400);
}

TaviColorTextWidget::~TaviColorTextWidget() {
  control_->removeEventSink(sink_.get());
  control_.reset();  // unhooks the editor while its window still exists
  // The child widgets go before the objects that hear their events.
  delete menu_->widget();
  delete frame_->widget();
}

void TaviColorTextWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  control_->resize();
}

// ---- Typed interface ----

QString TaviColorTextWidget::value() { return toQString(control_->getValue().str()); }
QString TaviColorTextWidget::selectedText() { return toQString(control_->getText().str()); }
void TaviColorTextWidget::setText(const QString& text) {
  control_->putText(Variant::fromString(toText(text)));
}
bool TaviColorTextWidget::loadFlag() const { return control_->getLoad_flag().boolValue() != 0; }
void TaviColorTextWidget::setLoadFlag(bool loading) {
  control_->putLoad_flag(Variant::fromBool(loading));
}
bool TaviColorTextWidget::keywordHighlight() const { return control_->m_bKeywordHighlight; }
void TaviColorTextWidget::setKeywordHighlight(bool on) {
  control_->putKeywordHighlight_flag(Variant::fromBool(on));
}
int TaviColorTextWidget::maxLength() const { return control_->m_MaxLen; }
void TaviColorTextWidget::setMaxLength(int length) { control_->putLength(Variant::fromI4(length)); }
bool TaviColorTextWidget::isChanged() const { return control_->m_bChange; }
void TaviColorTextWidget::setChanged(bool changed) { control_->m_bChange = changed; }
bool TaviColorTextWidget::isLocked() const { return control_->m_bLock; }

void TaviColorTextWidget::setMessages(const Messages& m) {
  control_->m_strScriptEditor = toText(m.scriptEditor);
  control_->m_strMaximumSize = toText(m.maximumSize);
  control_->m_strPrintErr = toText(m.printError);
  control_->m_strFinishSearch = toText(m.finishSearch);
  control_->m_strNotFoundText = toText(m.notFound);
  control_->m_strPopUpMenu = toText(m.popUpMenu);
}

QString TaviColorTextWidget::scriptEditorText() const {
  return toQString(control_->m_strScriptEditor);
}
void TaviColorTextWidget::setScriptEditorText(const QString& t) {
  control_->m_strScriptEditor = toText(t);
}
QString TaviColorTextWidget::maximumSizeText() const {
  return toQString(control_->m_strMaximumSize);
}
void TaviColorTextWidget::setMaximumSizeText(const QString& t) {
  control_->m_strMaximumSize = toText(t);
}
QString TaviColorTextWidget::printErrorText() const { return toQString(control_->m_strPrintErr); }
void TaviColorTextWidget::setPrintErrorText(const QString& t) {
  control_->m_strPrintErr = toText(t);
}
QString TaviColorTextWidget::finishSearchText() const {
  return toQString(control_->m_strFinishSearch);
}
void TaviColorTextWidget::setFinishSearchText(const QString& t) {
  control_->m_strFinishSearch = toText(t);
}
QString TaviColorTextWidget::notFoundText() const { return toQString(control_->m_strNotFoundText); }
void TaviColorTextWidget::setNotFoundText(const QString& t) {
  control_->m_strNotFoundText = toText(t);
}
QString TaviColorTextWidget::popUpMenuText() const { return toQString(control_->m_strPopUpMenu); }
void TaviColorTextWidget::setPopUpMenuText(const QString& t) {
  control_->m_strPopUpMenu = toText(t);
}

void TaviColorTextWidget::undo() { control_->Undo(); }
void TaviColorTextWidget::redo() { control_->Redo(); }
void TaviColorTextWidget::cut() { control_->Cut(); }
void TaviColorTextWidget::copy() { control_->Copy(); }
void TaviColorTextWidget::paste() { control_->Paste(); }
void TaviColorTextWidget::deleteSelection() { control_->Delete(); }
void TaviColorTextWidget::selectAll() { control_->SelectAll(); }

QString TaviColorTextWidget::findNext(const QString& text, bool matchCase, bool up) {
  return toQString(control_->FindSE_New(toText(text), matchCase, up));
}

void TaviColorTextWidget::replace(const QString& text, const QString& with) {
  control_->ReplaceSE(toText(text), toText(with));
}

void TaviColorTextWidget::replaceAll(const QString& text, const QString& with, bool matchCase) {
  control_->ReplaceAll(toText(text), toText(with), matchCase);
}

void TaviColorTextWidget::highlightLine(int line, int startPos) {
  QVariantList args{line, startPos};
  dynamicCall(QStringLiteral("HighlightLine"), args);
}

void TaviColorTextWidget::disableControl() { control_->DisableControl(); }

bool TaviColorTextWidget::colourOnLoad() const { return control_->ColourOnLoad; }
void TaviColorTextWidget::setColourOnLoad(bool on) { control_->ColourOnLoad = on; }
bool TaviColorTextWidget::strictLock() const { return control_->StrictLock; }
void TaviColorTextWidget::setStrictLock(bool on) { control_->StrictLock = on; }
bool TaviColorTextWidget::hideEmptyHint() const { return control_->HideEmptyHint; }
void TaviColorTextWidget::setHideEmptyHint(bool on) { control_->HideEmptyHint = on; }
bool TaviColorTextWidget::listKeepsKeys() const { return control_->ListKeepsKeys; }
void TaviColorTextWidget::setListKeepsKeys(bool on) { control_->ListKeepsKeys = on; }
bool TaviColorTextWidget::undoByWords() const { return control_->UndoByWords; }
void TaviColorTextWidget::setUndoByWords(bool on) { control_->UndoByWords = on; }
bool TaviColorTextWidget::shiftTabOutdent() const { return control_->ShiftTabOutdent; }
void TaviColorTextWidget::setShiftTabOutdent(bool on) { control_->ShiftTabOutdent = on; }
void TaviColorTextWidget::colourAll() { control_->ColourAll(); }
void TaviColorTextWidget::unlock() { control_->Unlock(); }

bool TaviColorTextWidget::setKeywordHint(const QString& keyword, const QString& hint) {
  try {
    control_->SetKeywordHint(toText(keyword), toText(hint));
    return true;
  } catch (const RuntimeError& error) {  // a word that is no keyword
    emit exception(error.number(), QString::fromUtf8(error.what()));
    return false;
  }
}

// ---- By name ----

bool TaviColorTextWidget::invokeByName(const QString& name, MemberKind kind, QVariantList& args,
                                       QVariant& result) {
  const DispatchTable& table = DispatchTable::instance();
  QString member = name.trimmed();
  if (const qsizetype paren = member.indexOf(u'('); paren >= 0) member.truncate(paren);
  const std::optional<int32_t> dispid = table.idOfName(member.trimmed().toStdString());
  if (!dispid || table.find(*dispid, kind) == nullptr) return false;
  std::vector<Variant> values;
  values.reserve(static_cast<size_t>(args.size()));
  for (const QVariant& a : args) values.push_back(toVariant(a));
  InvokeResult r = table.invoke(*control_, *dispid, kind, std::move(values));
  if (!r.ok()) {
    emit exception(r.errorNumber, QString::fromStdString(r.description));
    result = QVariant();
    return true;
  }
  for (qsizetype i = 0; i < args.size() && i < static_cast<qsizetype>(r.byRef.size()); ++i)
    args[i] = toQVariant(r.byRef[static_cast<size_t>(i)]);
  result = toQVariant(r.value);
  return true;
}

QVariant TaviColorTextWidget::dynamicCall(const QString& name, QVariantList& args) {
  QVariant result;
  if (!invokeByName(name, MemberKind::Method, args, result) &&
      !invokeByName(name, args.isEmpty() ? MemberKind::Get : MemberKind::Put, args, result))
    emit exception(0, QStringLiteral("Unknown member: ") + name);
  return result;
}

QVariant TaviColorTextWidget::dynamicCall(const QString& name, const QVariantList& args) {
  QVariantList copy = args;
  return dynamicCall(name, copy);
}

QVariant TaviColorTextWidget::property(const char* name) const {
  QVariantList none;
  QVariant result;
  auto* self = const_cast<TaviColorTextWidget*>(this);
  if (self->invokeByName(QString::fromUtf8(name), MemberKind::Get, none, result)) return result;
  return QObject::property(name);
}

bool TaviColorTextWidget::setProperty(const char* name, const QVariant& value) {
  QVariantList args{value};
  QVariant result;
  if (invokeByName(QString::fromUtf8(name), MemberKind::Put, args, result)) return true;
  return QObject::setProperty(name, value);
}

qt::SurfaceView* TaviColorTextWidget::editor() const { return surface_->widget(); }
QListWidget* TaviColorTextWidget::keywordList() const { return list_->widget(); }
QLabel* TaviColorTextWidget::hint() const { return hint_->widget(); }
QWidget* TaviColorTextWidget::gutter() const { return gutter_->widget(); }
QMenu* TaviColorTextWidget::popupMenu() const { return menu_->widget(); }

}  // namespace tavi
