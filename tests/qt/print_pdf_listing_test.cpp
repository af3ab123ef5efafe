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
  QProcess process;  // on the platform main() chose, offscreen unless one was asked for
  process.start(program, args);
  const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                  process.exitCode() == 0;
  return ok ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// The numbered lines of each page of pdftotext's layout output, blanks simplified.
std::vector<QStringList> numberedLines(const QString& layout) {
  static const QRegularExpression numbered(QStringLiteral("^\\s*\\d+(\\s{3,}|$)"));
  std::vector<QStringList> pages;
  for (const QString& page : layout.split(QChar('\f'))) {
    if (page.trimmed().isEmpty()) continue;
    pages.emplace_back();
    for (const QString& line : page.split(QChar('\n')))
      if (numbered.match(line).hasMatch()) pages.back().append(line.simplified());
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

  const std::vector<QStringList> pages = numberedLines(layout);
  QStringList all;
  for (const QStringList& page : pages) all += page;
  ASSERT_EQ(all.size(), script.size());
  for (qsizetype i = 0; i < all.size(); ++i)
    EXPECT_EQ(all[i], (QString::number(i + 1) + u' ' + script[i]).simplified());

  // No line of the sample is wide enough to wrap, so every page but the last is full.
  const int perPage = linesPerPage(dir.filePath(QStringLiteral("probe.pdf")));
  ASSERT_GT(perPage, 0);
  ASSERT_GE(pages.size(), 2u) << "the sample must fill more than one page";
  EXPECT_EQ(pages.size(), static_cast<size_t>((all.size() + perPage - 1) / perPage));
  for (size_t p = 0; p + 1 < pages.size(); ++p)
    EXPECT_EQ(pages[p].size(), perPage) << "page " << p + 1;
}

}  // namespace
}  // namespace tavi
