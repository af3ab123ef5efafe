#include "main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextEdit>

#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"
#include "script_files.h"

namespace tavi {

namespace {

const QString kAppName = QStringLiteral("tavi-edit");
const QString kScriptFilter = QStringLiteral("Scripts (*.scr *.txt);;All files (*)");
// The control's own maximum length at start. A longer file raises it to the file's length
// plus as much room again, so that the whole file loads and can still grow.
constexpr int kUsualMaxLength = 100000;
// Message box styles: an OK button with a warning sign.
constexpr int32_t kWarningOk = 48;

TaviColorTextWidget::Messages englishMessages() {
  TaviColorTextWidget::Messages m;
  m.scriptEditor = QStringLiteral("Script Editor");
  m.maximumSize = QStringLiteral(
      "The script has reached its maximum size of %1 characters.%2"
      "Further typing is ignored.");
  m.printError = QStringLiteral("The printer could not be used.");
  m.finishSearch = QStringLiteral("The search has reached the end of the script.");
  m.notFound = QStringLiteral("The text was not found.");
  m.popUpMenu = QStringLiteral("Undo,Cut,Copy,Paste,Delete,Select All");
  return m;
}

}  // namespace

MainWindow::MainWindow()
    : editor_(new TaviColorTextWidget(this)),
      position_(new QLabel(this)),
      format_(new QLabel(this)) {
  setCentralWidget(editor_);
  editor_->setMessages(englishMessages());
  editor_->setKeywordHighlight(true);
  buildMenus();
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
  connect(editor_->editor(), &QTextEdit::cursorPositionChanged, this, [this] { updateStatus(); });
  editor_->setLoadFlag(false);
  resize(900, 640);
  updateTitle();
  updateStatus();
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->setToolTipsVisible(true);
  file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] { open(); });
  file->addAction(tr("&Save"), QKeySequence::Save, this, [this] { save(); });
  file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, [this] { saveAs(); });
  file->addSeparator();
  file->addAction(tr("&Print..."), QKeySequence::Print, this, [this] { print(); });
  file->addAction(tr("Print to P&DF..."), this, [this] { printToPdf(); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, [this] { close(); });

  // The control's own commands. Ctrl+Z and Ctrl+Y reach these actions: the editor widget
  // has no history of its own.
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(tr("&Undo"), QKeySequence(tr("Ctrl+Z")), this, [this] { editor_->undo(); });
  edit->addAction(tr("&Redo"), QKeySequence(tr("Ctrl+Y")), this, [this] { editor_->redo(); });
  edit->addSeparator();
  edit->addAction(tr("Cu&t"), QKeySequence::Cut, this, [this] { editor_->cut(); });
  edit->addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { editor_->copy(); });
  edit->addAction(tr("&Paste"), QKeySequence::Paste, this, [this] { editor_->paste(); });
  edit->addAction(tr("&Delete"), this, [this] { editor_->deleteSelection(); });
  edit->addSeparator();
  edit->addAction(tr("Select &All"), QKeySequence::SelectAll, this,
                  [this] { editor_->selectAll(); });

  QMenu* search = menuBar()->addMenu(tr("&Search"));
  search->addAction(tr("&Find..."), QKeySequence::Find, this, [this] { find(); });
  search->addAction(tr("Find &Next"), QKeySequence::FindNext, this, [this] { findAgain(false); });
  search->addAction(tr("Find &Previous"), QKeySequence::FindPrevious, this,
                    [this] { findAgain(true); });
  matchCase_ = search->addAction(tr("&Match Case"));
  matchCase_->setCheckable(true);
  search->addSeparator();
  search->addAction(tr("&Replace..."), QKeySequence(tr("Ctrl+H")), this, [this] { replace(); });
  search->addAction(tr("Replace A&ll..."), this, [this] { replaceAll(); });
  search->addSeparator();
  search->addAction(tr("&Go to Line..."), QKeySequence(tr("Ctrl+G")), this, [this] { goToLine(); });

  QMenu* tools = menuBar()->addMenu(tr("&Lock"));
  lock_ = tools->addAction(tr("&Lock the Script"), this, [this] { lock(); });
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
    notices << tr("%1 holds %L2 characters, more than the editor's usual limit of %L3: it "
                  "was opened whole, with the limit raised to %L4.")
                   .arg(name)
                   .arg(length)
                   .arg(kUsualMaxLength)
                   .arg(limit);
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
  if (read.missing) notices << tr("%1 does not exist yet: saving creates it.").arg(name);
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
  statusBar()->showMessage(notices.join(QLatin1Char(' ')));
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
  editor_->setChanged(false);
  statusBar()->showMessage(
      tr("Saved %1 (%2).").arg(QFileInfo(path).fileName(), describe(fileFormat_)));
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

bool MainWindow::askSearch(bool withReplacement) {
  QDialog dialog(this);
  dialog.setWindowTitle(withReplacement ? tr("Replace") : tr("Find"));
  auto* form = new QFormLayout(&dialog);
  auto* what = new QLineEdit(findText_, &dialog);
  form->addRow(tr("Find what:"), what);
  QLineEdit* with = nullptr;
  if (withReplacement) {
    with = new QLineEdit(replaceText_, &dialog);
    form->addRow(tr("Replace with:"), with);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted || what->text().isEmpty()) return false;
  findText_ = what->text();
  if (with != nullptr) replaceText_ = with->text();
  return true;
}

void MainWindow::find() {
  if (askSearch(false)) findAgain(false);
}

void MainWindow::findAgain(bool up) {
  if (findText_.isEmpty() && !askSearch(false)) return;
  // The control shows the host's message when nothing more is found.
  editor_->control().FindSE(qt::toText(findText_), matchCase_->isChecked(), up);
}

void MainWindow::replace() {
  if (askSearch(true)) editor_->replace(findText_, replaceText_);
}

void MainWindow::replaceAll() {
  if (askSearch(true)) editor_->replaceAll(findText_, replaceText_, matchCase_->isChecked());
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

void MainWindow::lock() {
  editor_->disableControl();
  lock_->setEnabled(false);
  updateTitle();
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
  const int32_t column = caret - surface.offsets().lineStart(line);
  position_->setText(tr("Line %1, Column %2").arg(line + 1).arg(column + 1));
  format_->setText(describe(fileFormat_));
}

}  // namespace tavi
