#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

#include "editor_setup.h"
#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"
#include "script_files.h"
#include "search_bar.h"
#include "view_marks.h"

// The icon is a resource of the library the window lives in; a static library's resources
// are registered by hand (outside any namespace).
static void registerResources() { Q_INIT_RESOURCE(tavi_edit); }

namespace tavi {

namespace {

const QString kAppName = QStringLiteral("tavi-edit");
const QString kScriptFilter = QStringLiteral("Scripts (*.scr *.txt);;All files (*)");
// The control's own maximum length at start. A longer file raises it to the file's length
// plus as much room again, so that the whole file loads and can still grow.
constexpr int kUsualMaxLength = 100000;
// Zoom: steps of 1.5 points from the control's 9.75.
constexpr double kZoomStep = 1.5;
constexpr int kZoomOutSteps = 3;
constexpr int kZoomInSteps = 8;
// Message box styles and answers.
constexpr int32_t kWarningOk = 48;
constexpr int32_t kInformationOk = 64;
// How long a passing message stays in the status bar.
constexpr int kMessageMs = 4000;

}  // namespace

MainWindow::MainWindow(QSettings* settings)
    : editor_(new TaviColorTextWidget(this)),
      searchBar_(new SearchBar(this)),
      marks_(new ViewMarks(*editor_->editor())),
      notice_(new QLabel(this)),
      position_(new QLabel(this)),
      format_(new QLabel(this)),
      ownSettings_(settings == nullptr ? std::make_unique<QSettings>() : nullptr),
      recent_(settings != nullptr ? *settings : *ownSettings_) {
  registerResources();
  setWindowIcon(QIcon(QStringLiteral(":/tavi-edit.png")));
  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(editor_, 1);
  layout->addWidget(searchBar_);
  setCentralWidget(centre);
  setUpEditor(*editor_);
  buildMenus();
  // The notices of the file opened stay until the next file, one a line; a line too long
  // for the window is cut, and the tooltip holds them whole.
  notice_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(notice_, 1);
  statusBar()->addPermanentWidget(position_);
  statusBar()->addPermanentWidget(format_);
  connect(editor_, &TaviColorTextWidget::onChange, this, [this] {
    updateTitle();
    updateStatus();
  });
  connect(editor_, &TaviColorTextWidget::onEvent, this, [this] {
    updateTitle();
    updateStatus();
  });
  connect(editor_, &TaviColorTextWidget::exception, this, [this](int, const QString& why) {
    statusBar()->showMessage(tr("The editor refused: %1").arg(why), kMessageMs);
  });
  connect(editor_->editor(), &qt::SurfaceView::caretMoved, this, [this] { updateStatus(); });

  connect(searchBar_, &SearchBar::findRequested, this, &MainWindow::findAgain);
  connect(searchBar_, &SearchBar::replaceRequested, this, &MainWindow::replaceOnce);
  connect(searchBar_, &SearchBar::replaceAllRequested, this, &MainWindow::replaceAll);
  connect(searchBar_, &SearchBar::searchChanged, this,
          [this] { marks_->setSearch(searchBar_->findText(), searchBar_->matchCase()); });
  connect(searchBar_, &SearchBar::closed, this, [this] {
    marks_->setSearch({}, false);
    editor_->editor()->setFocus();
  });
  editor_->setLoadFlag(false);
  resize(900, 640);
  updateTitle();
  updateStatus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { open(); });
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::fillRecentMenu);
  file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { save(); });
  file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, [this] { saveAs(); });
  file->addSeparator();
  file->addAction(tr("&Print..."), QKeySequence::Print, this, [this] { print(); });
  file->addAction(tr("Print to P&DF..."), this, [this] { printToPdf(); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });

  // The control's own commands. Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z reach these actions: the
  // editor widget has no history of its own.
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* undo =
      edit->addAction(tr("&Undo"), QKeySequence(tr("Ctrl+Z")), this, [this] { editor_->undo(); });
  QAction* redo = edit->addAction(tr("&Redo"), this, [this] { editor_->redo(); });
  redo->setShortcuts({QKeySequence(tr("Ctrl+Y")), QKeySequence(tr("Ctrl+Shift+Z"))});
  edit->addSeparator();
  QAction* cut = edit->addAction(tr("Cu&t"), QKeySequence::Cut, this, [this] { editor_->cut(); });
  edit->addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { editor_->copy(); });
  QAction* paste =
      edit->addAction(tr("&Paste"), QKeySequence::Paste, this, [this] { editor_->paste(); });
  QAction* remove = edit->addAction(tr("&Delete"), this, [this] { editor_->deleteSelection(); });
  edit->addSeparator();
  edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                  [this] { editor_->selectAll(); });
  edit->addSeparator();
  lock_ = edit->addAction(tr("&Lock"));
  lock_->setObjectName(QStringLiteral("lock"));
  lock_->setCheckable(true);
  lock_->setToolTip(tr("A locked script takes no edits until it is unlocked."));
  connect(lock_, &QAction::triggered, this, &MainWindow::setLocked);

  QMenu* view = menuBar()->addMenu(tr("&View"));
  const auto addZoom = [&](const QString& name, const char* objectName, QList<QKeySequence> keys,
                           int steps) {
    QAction* a = view->addAction(name, this, [this, steps] { zoom(steps); });
    a->setObjectName(QString::fromLatin1(objectName));
    a->setShortcuts(keys);
  };
  addZoom(tr("Zoom &In"), "zoomIn", {QKeySequence::ZoomIn, QKeySequence(tr("Ctrl+="))}, 1);
  addZoom(tr("Zoom &Out"), "zoomOut", {QKeySequence::ZoomOut}, -1);
  addZoom(tr("&Reset Zoom"), "resetZoom", {QKeySequence(tr("Ctrl+0"))}, 0);
  view->addSeparator();
  view->addAction(tr("&Colour Whole Script"), this, [this] { colourAll(); });

  QMenu* search = menuBar()->addMenu(tr("&Search"));
  search->addAction(tr("&Find..."), QKeySequence::Find, this, [this] { searchBar_->open(false); });
  // F3 and Shift+F3 only: the desktop's other Find Next key may be Ctrl+G, Go to Line here.
  search->addAction(tr("Find &Next"), QKeySequence(tr("F3")), this, [this] { findAgain(false); });
  search->addAction(tr("Find &Previous"), QKeySequence(tr("Shift+F3")), this,
                    [this] { findAgain(true); });
  search->addSeparator();
  QAction* replace = search->addAction(tr("&Replace..."), QKeySequence(tr("Ctrl+H")), this,
                                       [this] { searchBar_->open(true); });
  search->addSeparator();
  search->addAction(tr("&Go to Line..."), QKeySequence(tr("Ctrl+G")), this, [this] { goToLine(); });

  editActions_ = {undo, redo, cut, paste, remove, replace};
}

bool MainWindow::isModified() const { return qt::toQString(editor_->surface().text()) != saved_; }

bool MainWindow::loadFile(const QString& path, QString& error) {
  const ScriptFileRead read = readScriptFile(path);
  if (!read.error.isEmpty()) {
    error = read.error;
    return false;
  }
  const QString name = QFileInfo(path).fileName();
  QStringList notices;
  const auto length = static_cast<int>(read.text.size());
  const int limit = length >= kUsualMaxLength ? length + kUsualMaxLength : kUsualMaxLength;
  if (limit != kUsualMaxLength)
    notices << tr("%1 opened whole: %L2 characters, more than the usual limit of %L3 (now "
                  "%L4).")
                   .arg(name)
                   .arg(length)
                   .arg(kUsualMaxLength)
                   .arg(limit);
  // Every script is coloured as it loads, whatever its length: colouring costs a line's
  // scan per line.
  editor_->setProperty("ColourOnLoad", true);
  editor_->setMaxLength(limit);
  // The editor takes Length's limit at its next change; the load is that change, so the
  // editor needs the limit now.
  editor_->surface().setMaxLength(limit);
  editor_->setLoadFlag(true);
  editor_->control().m_bFirstTime = true;
  editor_->surface().setSelStart(0);
  editor_->surface().setSelLength(editor_->surface().textLength());
  editor_->setText(read.text);
  editor_->setLoadFlag(false);
  editor_->setChanged(false);
  // What the file holds: should the editor show anything differently, the window shows
  // unsaved changes at once.
  saved_ = read.text;
  path_ = path;
  fileFormat_ = read.format;
  if (read.missing)
    notices << tr("%1 does not exist yet: saving creates it.").arg(name);
  else
    recent_.add(path);
  if (read.format.mixedLineBreaks)
    notices << tr("%1 mixes line-break styles: saving writes %2 throughout.")
                   .arg(name, describe(read.format).section(QStringLiteral(", "), 1));
  if (const QString shown = editor_->value(); shown != saved_) {
    qsizetype at = 0;
    while (at < shown.size() && at < saved_.size() && shown[at] == saved_[at]) ++at;
    notices << tr("The editor cannot show %1 exactly (line %2 differs): saving writes what "
                  "it shows.")
                   .arg(name)
                   .arg(saved_.left(at).count(QLatin1Char('\n')) + 1);
  }
  notice_->setText(notices.join(QLatin1Char('\n')));
  notice_->setToolTip(notice_->text());
  updateTitle();
  updateStatus();
  return true;
}

bool MainWindow::openFile(const QString& path) {
  QString error;
  if (loadFile(path, error)) return true;
  reportError(error);
  return false;
}

void MainWindow::reportError(const QString& message) {
  editor_->services().messages.show(qt::toText(message), kWarningOk, qt::toText(kAppName));
}

void MainWindow::open() {
  if (!confirmDiscard()) return;
  const QString path = QFileDialog::getOpenFileName(this, tr("Open Script"), {}, kScriptFilter);
  if (!path.isEmpty()) openFile(path);
}

bool MainWindow::writeFile(const QString& path) {
  // The control's text (CR LF line breaks) in the file's own format.
  const QString text = editor_->value();
  const QString error = writeScriptFile(path, text, fileFormat_);
  if (!error.isEmpty()) {
    reportError(error);
    return false;
  }
  saved_ = text;
  path_ = path;
  recent_.add(path);
  editor_->setChanged(false);
  statusBar()->showMessage(
      tr("Saved %1 (%2).").arg(QFileInfo(path).fileName(), describe(fileFormat_)), kMessageMs);
  updateTitle();
  updateStatus();
  return true;
}

bool MainWindow::save() { return path_.isEmpty() ? saveAs() : writeFile(path_); }

bool MainWindow::saveAs() {
  const QString path = QFileDialog::getSaveFileName(this, tr("Save Script"), path_, kScriptFilter);
  return !path.isEmpty() && writeFile(path);
}

bool MainWindow::confirmDiscard() {
  if (!isModified()) return true;
  const auto answer = QMessageBox::question(
      this, kAppName, tr("The script has unsaved changes. Save them first?"),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return save();
  return answer == QMessageBox::Discard;
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (confirmDiscard())
    e->accept();
  else
    e->ignore();
}

bool MainWindow::haveSearchText() {
  if (!searchBar_->findText().isEmpty()) return true;
  searchBar_->open(false);
  editor_->services().messages.show(u"Type the text to find in the search bar first.",
                                    kInformationOk, qt::toText(kAppName));
  return false;
}

void MainWindow::findAgain(bool up) {
  if (!haveSearchText()) return;
  // The control shows the host's message when nothing more is found.
  editor_->control().FindSE(qt::toText(searchBar_->findText()), searchBar_->matchCase(), up);
}

void MainWindow::replaceOnce() {
  if (!haveSearchText()) return;
  const Text what = qt::toText(searchBar_->findText());
  const bool matchCase = searchBar_->matchCase();
  qt::QtEditSurface& surface = editor_->surface();
  const Text selected = surface.selText();
  const bool isMatch = matchCase ? selected == what : upperCase(selected) == upperCase(what);
  if (isMatch) {
    // The control replaces only what its search selected: the search starts again at the
    // selection, which selects this very match.
    editor_->control().module().m_lLastCaret = surface.selStart();
    editor_->findNext(searchBar_->findText(), matchCase, false);
    editor_->replace(searchBar_->findText(), searchBar_->replaceText());
  }
  findAgain(false);
}

void MainWindow::replaceAll() {
  if (!haveSearchText()) return;
  editor_->replaceAll(searchBar_->findText(), searchBar_->replaceText(), searchBar_->matchCase());
}

void MainWindow::goToLine() {
  const int lines = editor_->surface().lineCount();
  bool ok = false;
  const int line = QInputDialog::getInt(this, tr("Go to Line"), tr("Line (1 to %1):").arg(lines), 1,
                                        1, lines, 1, &ok);
  if (ok) editor_->highlightLine(line);
}

void MainWindow::print() {
  int16_t flags = 0;
  editor_->control().PrinterSE(flags);
}

void MainWindow::printToPdf() {
  const QString suggested =
      path_.isEmpty() ? QString() : QFileInfo(path_).completeBaseName() + ".pdf";
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Print to PDF"), suggested, tr("PDF files (*.pdf)"));
  if (!path.isEmpty()) printPdf(path);
}

bool MainWindow::printPdf(const QString& path) {
  qt::QtPrinterSystem& printers = editor_->services().printers;
  // The PDF printer is current for this listing only, confirmed without a dialog.
  const int32_t previous = printers.currentIndex();
  printers.usePdfPrinter(QFileInfo(path).absoluteFilePath());
  printers.setDialogRunner(&qt::QtPrinterSystem::confirmAtOnce);
  QFile::remove(path);
  int16_t flags = 0;
  editor_->control().PrinterSE(flags);
  printers.setDialogRunner(nullptr);
  if (previous >= 0 && previous < printers.printerCount()) printers.makeCurrent(previous);
  return QFileInfo(path).size() > 0;
}

void MainWindow::setLocked(bool locked) {
  if (locked)
    editor_->disableControl();
  else
    editor_->dynamicCall(QStringLiteral("Unlock"));
  // The control's word is the last: an unlock it refused leaves the script locked.
  const bool isLocked = editor_->isLocked();
  lock_->setChecked(isLocked);
  for (QAction* action : editActions_) action->setEnabled(!isLocked);
  searchBar_->replaceButton()->setEnabled(!isLocked);
  searchBar_->replaceAllButton()->setEnabled(!isLocked);
  updateTitle();
}

void MainWindow::colourAll() { editor_->dynamicCall(QStringLiteral("ColourAll")); }

void MainWindow::zoom(int steps) {
  zoom_ = steps == 0 ? 0 : std::clamp(zoom_ + steps, -kZoomOutSteps, kZoomInSteps);
  // The control's own font is the usual size; the gutter numbers its lines in the editor's
  // font and line spacing, so the numbers follow the text.
  QFont font = editor_->font();
  font.setPointSizeF(font.pointSizeF() + kZoomStep * zoom_);
  editor_->editor()->setFont(font);
  editor_->gutter()->update();
  statusBar()->showMessage(tr("Text size %1 pt").arg(font.pointSizeF()), kMessageMs);
}

void MainWindow::fillRecentMenu() {
  recentMenu_->clear();
  const QStringList entries = recent_.entries();  // files gone since are dropped
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const QString path = entries[i];
    const QFileInfo info(path);
    QAction* a = recentMenu_->addAction(
        QStringLiteral("&%1 %2  (%3)").arg(i + 1).arg(info.fileName(), info.absolutePath()));
    a->setData(path);
    connect(a, &QAction::triggered, this, [this, path] {
      if (!confirmDiscard()) return;
      if (!QFileInfo(path).isFile()) {
        recent_.remove(path);
        reportError(tr("%1 no longer exists; it was taken off the recent files.").arg(path));
        return;
      }
      openFile(path);
    });
  }
  if (entries.isEmpty()) recentMenu_->addAction(tr("(none)"))->setEnabled(false);
}

void MainWindow::updateTitle() {
  const QString name = path_.isEmpty() ? tr("Untitled") : QFileInfo(path_).fileName();
  QString title = name + (isModified() ? QStringLiteral(" *") : QString());
  if (editor_->isLocked()) title += tr(" [locked]");
  setWindowTitle(title + QStringLiteral(" - ") + kAppName);
}

void MainWindow::updateStatus() {
  const qt::QtEditSurface& surface = editor_->surface();
  const int32_t caret = surface.selStart();
  const int32_t line = surface.lineFromChar(caret);
  const int32_t column = caret - surface.lineStart(line);
  position_->setText(tr("Line %1, Column %2").arg(line + 1).arg(column + 1));
  format_->setText(describe(fileFormat_));
}

}  // namespace tavi
