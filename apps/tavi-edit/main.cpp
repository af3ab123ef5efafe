// tavi-edit [FILE]: the script editor on the desktop. A FILE that does not exist opens
// empty under its name (saving creates it); one that is no text is refused with a message.
// tavi-edit --screenshot OUT.png FILE: loads FILE, writes a picture of the window to
// OUT.png without waiting for a person, and prints its path.
// tavi-edit --type KEYS [--screenshot OUT.png] FILE: clicks into the editor and types KEYS
// ("{F1}", "{ENTER}", ... name keys) before the picture, or before handing over to a person.
// tavi-edit --print-pdf OUT.pdf FILE: prints FILE's listing to OUT.pdf without showing a
// window, and prints its path.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

#include "main_window.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"
#include "typed_keys.h"

namespace {

int screenshot(tavi::MainWindow& window, const QString& out) {
  window.show();
  QApplication::processEvents();
  // The gutter's first paint and the layout settle within a few event rounds.
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  if (!window.grab().save(out)) {
    std::fprintf(stderr, "tavi-edit: cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
  return 0;
}

int printPdf(tavi::MainWindow& window, const QString& out) {
  // Nobody is there to answer a message box: its text goes to the error output.
  window.editor().services().messages.setAnswerer([](tavi::TextView text, int32_t, tavi::TextView) {
    std::fprintf(stderr, "tavi-edit: %s\n", qPrintable(tavi::qt::toQString(text)));
    return 1;
  });
  if (!window.printPdf(out)) {
    std::fprintf(stderr, "tavi-edit: cannot print to %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavi-edit"));
  QApplication::setOrganizationName(QStringLiteral("tavi"));  // where QSettings keeps its file
  QApplication::setApplicationVersion(QStringLiteral(TAVI_VERSION));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Edits call-routing scripts."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption screenshotOption(
      QStringLiteral("screenshot"), QStringLiteral("Write a picture of the editor and quit."),
      QStringLiteral("OUT.png"));
  parser.addOption(screenshotOption);
  const QCommandLineOption printPdfOption(
      QStringLiteral("print-pdf"), QStringLiteral("Print the script's listing to a PDF and quit."),
      QStringLiteral("OUT.pdf"));
  parser.addOption(printPdfOption);
  const QCommandLineOption typeOption(
      QStringLiteral("type"),
      QStringLiteral("Click into the editor and type KEYS ({ENTER}, {F1}, ... name keys)."),
      QStringLiteral("KEYS"));
  parser.addOption(typeOption);
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The script to open."));
  parser.process(app);

  tavi::MainWindow window;
  const QStringList files = parser.positionalArguments();
  const bool unattended = parser.isSet(printPdfOption) || parser.isSet(screenshotOption);
  QString error;
  if (!files.isEmpty() && !window.loadFile(files.first(), error)) {
    std::fprintf(stderr, "tavi-edit: %s\n", qPrintable(error));
    if (unattended) return 1;
    // The editor stays empty and untitled, so that saving cannot overwrite the file.
    QTimer::singleShot(0, &window, [&window, error] { window.reportError(error); });
  }
  if (parser.isSet(printPdfOption)) return printPdf(window, parser.value(printPdfOption));
  if (parser.isSet(typeOption)) {
    QString error;
    if (!tavi::typeIntoEditor(window, parser.value(typeOption), error)) {
      std::fprintf(stderr, "tavi-edit: %s\n", qPrintable(error));
      return 2;
    }
  }
  if (parser.isSet(screenshotOption)) return screenshot(window, parser.value(screenshotOption));
  window.show();
  return app.exec();
}
