// tavi-edit --print-pdf on the bundled sample, read back with pdftotext: every script line
// appears once, numbered, in order and with its text, and each page ends where the page
// check of the layout puts the break for Qt's page and font metrics.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "printing/page_layout.h"
#include "qt/printer_system.h"

namespace tavi {
namespace {

// The program's standard output; empty unless it exits with 0.
QString run(const QString& program, const QStringList& args) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(env);
  process.start(program, args);
  const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                  process.exitCode() == 0;
  return ok ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

struct PrintedLine {
  int number;
  QString text;
};

// The numbered lines of each page of pdftotext's layout output.
std::vector<std::vector<PrintedLine>> numberedLines(const QString& layout) {
  static const QRegularExpression numbered(QStringLiteral("^\\s*(\\d+)(?:\\s{3,}(.*))?$"));
  std::vector<std::vector<PrintedLine>> pages;
  for (const QString& page : layout.split(QChar('\f'))) {
    if (page.trimmed().isEmpty()) continue;
    pages.emplace_back();
    for (const QString& line : page.split(QChar('\n'))) {
      const QRegularExpressionMatch m = numbered.match(line);
      if (m.hasMatch()) pages.back().push_back({m.captured(1).toInt(), m.captured(2).simplified()});
    }
  }
  return pages;
}

// Lines of a page whose lines are never broken: y steps from the text top by one line
// height until the page check fails.
int linesPerPage(const QString& probePdf) {
  qt::QtPrinterSystem printers;
  printers.usePdfPrinter(probePdf);
  Printer& printer = printers.current();
  const PageGeometry page = pageGeometry(printer.pageWidth(), printer.pageHeight());
  printer.setFontSize(kListingFontSize);
  const double height = printer.textHeight(u"1   ");
  int lines = 0;
  for (double y = page.textTop; !pageFull(page, y, height); y += height) ++lines;
  return lines;
}

TEST(PrintPdfListingTest, TheSampleIsListedLineByLineAndBrokenIntoPagesInTime) {
  const QString tavEdit = QDir(QCoreApplication::applicationDirPath()).filePath("../tavi-edit");
  QString sample;
  for (QDir dir(QCoreApplication::applicationDirPath()); sample.isEmpty() && dir.cdUp();)
    if (dir.exists(QStringLiteral("examples/sample.scr")))
      sample = dir.absoluteFilePath(QStringLiteral("examples/sample.scr"));
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (!QFile::exists(tavEdit) || sample.isEmpty())
    GTEST_SKIP() << "tavi-edit or examples/sample.scr is not beside this build";
  if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext missing: tools/install-deps installs it";

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("sample.pdf"));
  ASSERT_EQ(run(tavEdit, {QStringLiteral("--print-pdf"), pdf, sample}).trimmed(), pdf);
  const QString layout = run(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});

  QFile file(sample);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList script = QString::fromUtf8(file.readAll()).remove(QChar('\r')).split(QChar('\n'));
  if (script.last().isEmpty()) script.removeLast();

  const std::vector<std::vector<PrintedLine>> pages = numberedLines(layout);
  std::vector<PrintedLine> all;
  for (const auto& page : pages) all.insert(all.end(), page.begin(), page.end());
  ASSERT_EQ(all.size(), static_cast<size_t>(script.size()));
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].number, static_cast<int>(i + 1));
    EXPECT_EQ(all[i].text, script[static_cast<qsizetype>(i)].simplified()) << "line " << i + 1;
  }

  // No line of the sample is wide enough to wrap, so every page but the last is full.
  const int perPage = linesPerPage(dir.filePath(QStringLiteral("probe.pdf")));
  ASSERT_GT(perPage, 0);
  ASSERT_GE(pages.size(), 2u) << "the sample must fill more than one page";
  EXPECT_EQ(pages.size(), (all.size() + static_cast<size_t>(perPage) - 1) / perPage);
  for (size_t p = 0; p + 1 < pages.size(); ++p)
    EXPECT_EQ(pages[p].size(), static_cast<size_t>(perPage)) << "page " << p + 1;
}

}  // namespace
}  // namespace tavi
