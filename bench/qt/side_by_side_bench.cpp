// This widget beside QPlainTextEdit + QSyntaxHighlighter and QScintilla with a custom lexer,
// on the offscreen platform: the same scripts, the same keystrokes, the same event processing
// after every measured step: the key (or call) delivered, then the pending events processed
// until the queue is empty, each editor's own paint request for the regions it invalidated
// among them, as a real event loop does; no editor's whole view is repainted by force. The
// editors take turns round by round, so that the noise of a shared machine falls on all of
// them; each row is the median of its samples. The memory rows run each editor in a child
// process of its own, so that their peaks do not mix. Prints a table with the ratio of this
// widget's figure to the best peer's and the goals beside it; it never fails on a goal.
//
//   tavi_qt_side_by_side [--quick] [--rows type10k,type100k,type1m,undo,redo,replaceall,
//                                           open8k,open16k,open32k,rss]
//                       [--editors tavi,plain,qsci]
#include <QApplication>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "qt/side_by_side_editors.h"
#include "qt/units.h"

namespace tavi::bench {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Options {
  bool quick = false;
  QStringList rows;     // empty: all
  QStringList editors;  // empty: all
  bool wants(const char* row) const { return rows.isEmpty() || rows.contains(QLatin1String(row)); }
};

// What one row found: a figure per editor (none where it was not run), in `unit`.
struct Row {
  Row(std::string title, std::string unit, std::string goal)
      : title(std::move(title)), unit(std::move(unit)), goal(std::move(goal)) {}
  std::string title;
  std::string unit;  // "ms" or "MiB"
  std::array<std::optional<double>, 3> figures;
  std::string goal;
  std::string verdict;  // filled in once the figures are in
};

// An editor that has used up this much time in one row sits out its remaining rounds, so
// that a slow editor cannot hold up the whole run.
constexpr double kBudgetPerRowMs = 20000;

// The samples of one row, per editor, taken in turns.
class Turns {
 public:
  explicit Turns(size_t editors) : samples_(editors), spent_(editors, 0.0) {}
  bool mayRun(size_t editor) const { return spent_[editor] < kBudgetPerRowMs; }
  void add(size_t editor, double ms) {
    samples_[editor].push_back(ms);
    spent_[editor] += ms;
  }
  std::optional<double> median(size_t editor) {
    if (samples_[editor].empty()) return std::nullopt;
    return bench::median(samples_[editor]);
  }

 private:
  std::vector<std::vector<double>> samples_;
  std::vector<double> spent_;
};

Row rowOf(std::string title, std::string unit, std::string goal, Turns& turns,
          const std::vector<EditorKind>& kinds) {
  Row row(std::move(title), std::move(unit), std::move(goal));
  for (size_t i = 0; i < kinds.size(); ++i)
    row.figures[static_cast<size_t>(kinds[i])] = turns.median(i);
  return row;
}

void warn(EditorKind kind, const char* what) {
  std::fprintf(stderr, "warning: %s: %s\n", editorName(kind), what);
}

// One typed character: a key press and release sent to the editor's key target.
void typeKey(QWidget* target, char key) {
  if (key == '\n')
    QTest::keyClick(target, Qt::Key_Return);
  else
    QTest::keyClick(target, key);
}

// ---- Typing, Undo and Redo ----

// Each editor loaded with the script and its caret in the middle, focused in turn.
std::vector<std::unique_ptr<SideBySideEditor>> loadedEditors(const std::vector<EditorKind>& kinds,
                                                             const QString& script) {
  const auto length = static_cast<int32_t>(script.size());
  const Place middle = placeOf(script, length / 2);
  std::vector<std::unique_ptr<SideBySideEditor>> editors;
  for (EditorKind kind : kinds) {
    editors.push_back(makeEditor(kind, length + 100000));
    SideBySideEditor& editor = *editors.back();
    editor.open(script);
    focusEditor(editor);
    editor.setCaret(middle);
    settle(editor);
  }
  return editors;
}

Row typingRow(const Options& options, const std::vector<EditorKind>& kinds, int32_t length,
              std::string title, std::string goal) {
  const QString script = qt::toQString(routingScript(static_cast<size_t>(length)));
  auto editors = loadedEditors(kinds, script);
  const int rounds = options.quick ? 3 : 7;
  const int keysPerRound = options.quick ? 10 : 20;
  Turns turns(kinds.size());
  std::vector<int64_t> expected;
  for (const auto& editor : editors) expected.push_back(editor->length());
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < editors.size(); ++i) {
      if (!turns.mayRun(i)) continue;
      SideBySideEditor& editor = *editors[i];
      focusEditor(editor);
      for (int k = 0; k < keysPerRound; ++k) {
        const auto start = Clock::now();
        typeKey(editor.keyTarget(), 'x');
        settle(editor);
        turns.add(i, msSince(start));
      }
      expected[i] += keysPerRound;
    }
  }
  for (size_t i = 0; i < editors.size(); ++i)
    if (editors[i]->length() != expected[i]) warn(kinds[i], "not every typed character arrived");
  return rowOf(std::move(title), "ms", std::move(goal), turns, kinds);
}

// Undo and Redo of one typed character in a 100,000-character script. Each turn types a
// character, undoes it, redoes it and undoes it again, so the text stays the same and no
// editor can merge the typing of two turns into one step.
std::vector<Row> undoRedoRows(const Options& options, const std::vector<EditorKind>& kinds) {
  const QString script = qt::toQString(routingScript(100000));
  auto editors = loadedEditors(kinds, script);
  const int rounds = options.quick ? 5 : 15;
  Turns undos(kinds.size());
  Turns redos(kinds.size());
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < editors.size(); ++i) {
      if (!undos.mayRun(i) || !redos.mayRun(i)) continue;
      SideBySideEditor& editor = *editors[i];
      focusEditor(editor);
      typeKey(editor.keyTarget(), 'x');
      settle(editor);
      const int64_t typed = editor.length();
      auto start = Clock::now();
      editor.undo();
      settle(editor);
      undos.add(i, msSince(start));
      if (editor.length() != typed - 1) warn(kinds[i], "Undo did not take one character away");
      start = Clock::now();
      editor.redo();
      settle(editor);
      redos.add(i, msSince(start));
      editor.undo();
      settle(editor);
    }
  }
  std::vector<Row> rows;
  if (options.wants("undo"))
    rows.push_back(rowOf("Undo of one typed character, 100,000 characters", "ms",
                         "at or below the best peer", undos, kinds));
  if (options.wants("redo"))
    rows.push_back(rowOf("Redo of one typed character, 100,000 characters", "ms",
                         "at or below the best peer", redos, kinds));
  return rows;
}

// ---- ReplaceAll ----

constexpr int32_t kReplaceLength = 1000000;
constexpr int kOccurrences = 20000;
const char16_t* const kFind = u"Support_Skillset";
const char16_t* const kReplacement = u"Backup_Skillset_2";  // one character longer

// Routing lines, 20,000 of them naming the skillset once, spread evenly among lines that do
// not, cut at 1,000,000 characters.
QString replaceAllScript() {
  static const char16_t* const kNaming[] = {
      u"    QUEUE TO SKILLSET Support_Skillset",
      u"    QUEUE TO SKILLSET Support_Skillset WITH PRIORITY 2",
      u"    IF IDLE AGENT COUNT(Support_Skillset) > 0 THEN",
      u"    REMOVE FROM SKILLSET Support_Skillset",
  };
  static const char16_t* const kOther[] = {u"EVENT HANDLER", u"    GIVE RINGBACK",
                                           u"    WAIT 10",   u"    ELSE",
                                           u"    END IF",    u"    EXECUTE SCRIPT Overflow"};
  const int perOccurrence = 49;  // the density that puts the last one near the end
  QString script;
  script.reserve(kReplaceLength + 128);
  size_t naming = 0;
  size_t other = 0;
  for (int found = 0; script.size() < kReplaceLength;) {
    const bool names = found < kOccurrences && script.size() >= perOccurrence * found;
    const char16_t* line =
        names ? kNaming[naming++ % std::size(kNaming)] : kOther[other++ % std::size(kOther)];
    found += names ? 1 : 0;
    script += QString::fromUtf16(line) + QStringLiteral("\r\n");
  }
  script.truncate(kReplaceLength);
  if (script.endsWith(u'\r')) script.back() = u' ';
  return script;
}

Row replaceAllRow(const Options& options, const std::vector<EditorKind>& kinds) {
  const QString script = replaceAllScript();
  if (script.count(QString::fromUtf16(kFind)) != kOccurrences)
    std::fprintf(stderr, "warning: the ReplaceAll script does not hold %d occurrences\n",
                 kOccurrences);
  const int rounds = options.quick ? 1 : 3;
  Turns turns(kinds.size());
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < kinds.size(); ++i) {
      if (!turns.mayRun(i)) continue;
      auto editor = makeEditor(kinds[i], kReplaceLength + kOccurrences + 1000);
      editor->open(script);
      focusEditor(*editor);
      settle(*editor);
      const int64_t before = editor->length();
      const auto start = Clock::now();
      editor->replaceAll(QString::fromUtf16(kFind), QString::fromUtf16(kReplacement));
      settle(*editor);
      turns.add(i, msSince(start));
      if (editor->length() != before + kOccurrences) warn(kinds[i], "ReplaceAll missed some");
    }
  }
  return rowOf("`ReplaceAll` 20,000 occurrences in 1,000,000 characters, with the repaint", "ms",
               "under 50 ms", turns, kinds);
}

// ---- Opening and colouring ----

// The routing script cut after its `lines`th line.
QString scriptOfLines(int lines) {
  const QString script = qt::toQString(routingScript(static_cast<size_t>(lines) * 40));
  qsizetype end = 0;
  for (int line = 0; line < lines; ++line) end = script.indexOf(QStringLiteral("\r\n"), end) + 2;
  return script.left(end - 2);
}

Row openRow(const Options& options, const std::vector<EditorKind>& kinds, int lines,
            std::string title, std::string goal) {
  const QString script = scriptOfLines(lines);
  const Place lastSection = placeOf(script, static_cast<int32_t>(script.lastIndexOf(u"SECTION")));
  const int rounds = options.quick ? 1 : 5;
  Turns turns(kinds.size());
  // Round -1 warms up (fonts, glyph caches, the allocator) and is not counted.
  for (int round = -1; round < rounds; ++round) {
    for (size_t i = 0; i < kinds.size(); ++i) {
      if (!turns.mayRun(i)) continue;
      auto editor = makeEditor(kinds[i], static_cast<int32_t>(script.size()) + 1000);
      focusEditor(*editor);
      settle(*editor);
      const auto start = Clock::now();
      editor->open(script);
      settle(*editor);
      if (round >= 0) turns.add(i, msSince(start));
      if (!editor->keywordColouredAt(lastSection)) warn(kinds[i], "the last line is not coloured");
    }
  }
  return rowOf(std::move(title), "ms", std::move(goal), turns, kinds);
}

// ---- Memory, in child processes ----

constexpr int kRssTypedCharacters = 10000;
constexpr int32_t kRssScriptLength = 100000;

// VmRSS and VmHWM of this process, in KiB.
struct Rss {
  double current = 0;
  double peak = 0;
};
Rss readRss() {
  Rss rss;
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") status >> rss.current;
    if (key == "VmHWM:") status >> rss.peak;
  }
  return rss;
}

// The child: loads the 100,000-character script, types 10,000 characters into its middle
// (short lines, as a person types them), and prints its resident memory before and after
// the typing and its peak.
int rssChild(EditorKind kind) {
  const QString script = qt::toQString(routingScript(kRssScriptLength));
  auto editor = makeEditor(kind, kRssScriptLength + 3 * kRssTypedCharacters);
  editor->open(script);
  focusEditor(*editor);
  editor->setCaret(placeOf(script, kRssScriptLength / 2));
  settle(*editor);
  const Rss before = readRss();
  const int64_t lengthBefore = editor->length();
  static const char kLine[] = "give music hold x\n";
  for (int k = 0; k < kRssTypedCharacters; ++k) {
    typeKey(editor->keyTarget(), kLine[k % (sizeof kLine - 1)]);
    settle(*editor);
  }
  const Rss after = readRss();
  if (editor->length() < lengthBefore + kRssTypedCharacters)
    warn(kind, "not every typed character arrived");
  std::printf("rss %.0f %.0f %.0f\n", before.current, after.current, after.peak);
  return 0;
}

std::vector<Row> rssRows(const std::vector<EditorKind>& kinds) {
  Row increase("RSS increase after typing 10,000 characters", "MiB", "under 20 MiB");
  Row peak("peak RSS in that run", "MiB", "under 80 MiB");
  for (EditorKind kind : kinds) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--rss-child"), QLatin1String(editorKey(kind))});
    if (!child.waitForFinished(180000)) {
      warn(kind, "the memory run did not finish");
      child.kill();
      child.waitForFinished();
      continue;
    }
    const QStringList words = QString::fromUtf8(child.readAllStandardOutput()).split(u' ');
    if (words.size() != 4 || words[0] != QLatin1String("rss")) {
      warn(kind, "the memory run printed no figures");
      continue;
    }
    increase.figures[static_cast<size_t>(kind)] =
        (words[2].toDouble() - words[1].toDouble()) / 1024;
    peak.figures[static_cast<size_t>(kind)] = words[3].toDouble() / 1024;
  }
  return {increase, peak};
}

// ---- The table ----

std::optional<double> bestPeer(const Row& row) {
  std::optional<double> best;
  for (EditorKind kind : {EditorKind::PlainTextEdit, EditorKind::QScintilla}) {
    const auto& figure = row.figures[static_cast<size_t>(kind)];
    if (figure && (!best || *figure < *best)) best = figure;
  }
  return best;
}

const std::optional<double>& ours(const Row& row) {
  return row.figures[static_cast<size_t>(EditorKind::Tavi)];
}

std::string format(const std::optional<double>& figure, const std::string& unit) {
  if (!figure) return "-";
  char text[32];
  if (unit == "MiB")
    std::snprintf(text, sizeof text, "%.1f MiB", *figure);
  else if (*figure >= 1000)
    std::snprintf(text, sizeof text, "%.2f s", *figure / 1000);
  else if (*figure >= 10)
    std::snprintf(text, sizeof text, "%.1f ms", *figure);
  else
    std::snprintf(text, sizeof text, "%.3f ms", *figure);
  return text;
}

std::string metOrNot(bool met) { return met ? "met" : "not met"; }

// The verdicts: "best" compares with the best peer, `under` with a limit in the row's unit.
void judge(Row& row, bool best, std::optional<double> under) {
  const auto& figure = ours(row);
  if (!figure) return;
  const auto peer = bestPeer(row);
  if (best && !peer) return;  // nothing to compare with
  bool met = true;
  if (best) met = met && *figure <= *peer;
  if (under) met = met && *figure < *under;
  row.verdict = metOrNot(met);
}

// Opening is linear when a line costs no more at 16k and 32,767 lines than at 8k (with a
// margin of half for the noise of a shared machine).
void judgeLinear(Row& row, const Row& first, int lines, int firstLines) {
  if (!ours(row) || !ours(first)) return;
  const double perLine = *ours(row) / lines;
  const double firstPerLine = *ours(first) / firstLines;
  char text[64];
  std::snprintf(text, sizeof text, "; a line costs %.2fx the 8k figure", perLine / firstPerLine);
  row.verdict += (row.verdict.empty() ? "" : "; ") + metOrNot(perLine <= 1.5 * firstPerLine) +
                 " (linear" + text + ")";
}

void printRow(std::FILE* out, const Row& row, const std::vector<EditorKind>& kinds) {
  std::fprintf(out, "| %s |", row.title.c_str());
  for (EditorKind kind : kinds)
    std::fprintf(out, " %s |", format(row.figures[static_cast<size_t>(kind)], row.unit).c_str());
  const auto peer = bestPeer(row);
  if (ours(row) && peer && *peer > 0)
    std::fprintf(out, " %.2f |", *ours(row) / *peer);
  else
    std::fprintf(out, " - |");
  std::fprintf(out, " %s | %s |\n", row.goal.c_str(), row.verdict.c_str());
  std::fflush(out);
}

void printTable(const std::vector<Row>& rows, const std::vector<EditorKind>& kinds) {
  std::printf("\n| row (medians) |");
  for (EditorKind kind : kinds) std::printf(" %s |", editorName(kind));
  std::printf(" this widget / best peer | goal | |\n|---|");
  for (size_t i = 0; i < kinds.size(); ++i) std::printf("---|");
  std::printf("---|---|---|\n");
  for (const Row& row : rows) printRow(stdout, row, kinds);
}

int run(const Options& options) {
  std::vector<EditorKind> kinds;
  for (EditorKind kind : availableEditors())
    if (options.editors.isEmpty() || options.editors.contains(QLatin1String(editorKey(kind))))
      kinds.push_back(kind);
  std::printf("Side by side on the %s platform (Qt %s)%s\n",
              qPrintable(QGuiApplication::platformName()), qVersion(),
              options.quick ? ", quick run" : "");
#ifndef TAVI_HAVE_QSCINTILLA
  std::printf(
      "QScintilla was not found at build time (libqscintilla2-qt6-dev): its column is "
      "left out.\n");
#endif
  std::fflush(stdout);
  std::vector<Row> rows;
  // Each row as it is measured too, so that an interrupted run still shows what it found.
  const auto add = [&rows, &kinds](Row row) {
    printRow(stderr, row, kinds);
    rows.push_back(std::move(row));
  };
  struct Typing {
    const char* key;
    int32_t length;
    const char* title;
    std::optional<double> under;
  };
  const Typing typings[] = {
      {"type10k", 10000, "one typed character, 10,000-character script", std::nullopt},
      {"type100k", 100000, "one typed character, 100,000 characters", std::nullopt},
      {"type1m", 1000000, "one typed character, 1,000,000 characters", 0.3},
  };
  for (const Typing& typing : typings) {
    if (!options.wants(typing.key)) continue;
    Row row = typingRow(
        options, kinds, typing.length, typing.title,
        typing.under ? "at or below the best peer, under 0.3 ms" : "at or below the best peer");
    judge(row, true, typing.under);
    add(std::move(row));
  }
  if (options.wants("undo") || options.wants("redo"))
    for (Row& row : undoRedoRows(options, kinds)) {
      judge(row, true, std::nullopt);
      add(std::move(row));
    }
  if (options.wants("replaceall")) {
    Row row = replaceAllRow(options, kinds);
    judge(row, false, 50.0);
    add(std::move(row));
  }
  struct Open {
    const char* key;
    int lines;
    const char* title;
  };
  const Open opens[] = {
      {"open8k", 8000, "opening and colouring a script of 8,000 lines"},
      {"open16k", 16000, "opening and colouring 16,000 lines"},
      {"open32k", 32767, "opening and colouring 32,767 lines"},
  };
  std::optional<Row> firstOpen;
  for (const Open& open : opens) {
    if (!options.wants(open.key)) continue;
    const bool last = open.lines == 32767;
    Row row =
        openRow(options, kinds, open.lines, open.title, last ? "under 150 ms, linear" : "linear");
    if (last) judge(row, false, 150.0);
    if (firstOpen && open.lines != 8000) judgeLinear(row, *firstOpen, open.lines, 8000);
    if (open.lines == 8000) firstOpen = row;
    add(std::move(row));
  }
  if (options.wants("rss"))
    for (Row& row : rssRows(kinds)) {
      judge(row, false, row.title.rfind("peak", 0) == 0 ? 80.0 : 20.0);
      add(std::move(row));
    }
  printTable(rows, kinds);
  std::printf("\nThe goals are printed beside the figures; the run never fails on them.\n");
  return 0;
}

}  // namespace
}  // namespace tavi::bench

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  tavi::bench::Options options;
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--quick")) {
      options.quick = true;
    } else if (args[i] == QLatin1String("--rows") && i + 1 < args.size()) {
      options.rows = args[++i].split(u',');
    } else if (args[i] == QLatin1String("--editors") && i + 1 < args.size()) {
      options.editors = args[++i].split(u',');
    } else if (args[i] == QLatin1String("--rss-child") && i + 1 < args.size()) {
      tavi::bench::EditorKind kind;
      if (!tavi::bench::editorFromKey(args[++i], kind)) return 2;
      return tavi::bench::rssChild(kind);
    } else {
      std::fprintf(stderr, "usage: %s [--quick] [--rows ROW,...] [--editors tavi,plain,qsci]\n",
                   argv[0]);
      return 2;
    }
  }
  return tavi::bench::run(options);
}
