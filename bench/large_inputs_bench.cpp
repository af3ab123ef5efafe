// Large inputs: the control at 1,000,000 characters, at 40,000 lines, with one line of
// 100,000 characters and with a journal of 100,000 snapshots. Each benchmark times typing one
// character in the middle of the text, checks that the text and the journal came out right and
// prints the memory the case holds.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "bench_support.h"
#include "history/journal.h"

namespace tavi {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// The process's resident memory, from /proc/self/statm.
double residentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB;
}

Text lines(int count, TextView line) {
  Text text;
  for (int i = 0; i < count; ++i) {
    text += line;
    if (i + 1 < count) text += u"\r\n";
  }
  return text;
}

// Loads `text` into a control whose maximum length leaves room for typing, puts the caret at
// the start of the middle line, then types one character per iteration there. `extra` runs after
// loading.
void typeInto(benchmark::State& state, const char* name, const Text& text,
              const std::function<void(bench::SizedControl&)>& extra = {}) {
  const double rssBefore = residentMiB();
  const size_t journalBefore = SharedText::liveBytes();
  auto sized = std::make_unique<bench::SizedControl>();
  sized->setMaxLength(static_cast<int32_t>(text.size()) * 2 + 1000);
  sized->load(text);
  sized->finishLoading();
  if (extra) extra(*sized);
  HeadlessControl& w = sized->widgets;
  const int32_t start = w.surface().textLength();
  // The start of the middle line: a caret between CR and LF would split the pair.
  w.select(w.surface().lineStart(w.surface().lineFromChar(start / 2)), 0);
  const double rss = residentMiB() - rssBefore;
  const double journal = static_cast<double>(SharedText::liveBytes() - journalBefore) / kMiB;

  int64_t typed = 0;
  for (auto _ : state) {
    w.type(u"x");
    ++typed;
  }
  const TaviColorText& c = sized->control;
  if (w.surface().textLength() != start + typed)
    state.SkipWithError("typed characters went missing");
  else if (c.m_colUndo.last().Text.str() != w.surface().text())
    state.SkipWithError("the newest snapshot is not the text");
  state.counters["rss_MiB"] = rss;
  state.counters["journal_MiB"] = journal;
  std::printf("%s: %d characters, %d lines, %d snapshots; RSS +%.1f MiB, journal %.1f MiB\n", name,
              start, w.surface().lineCount(), c.m_colUndo.count(), rss, journal);
}

void BM_TypeIntoMillionCharacters(benchmark::State& state) {
  typeInto(state, "1,000,000 characters", bench::routingScript(1000000));
}
BENCHMARK(BM_TypeIntoMillionCharacters)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_TypeInto40000Lines(benchmark::State& state) {
  typeInto(state, "40,000 lines", lines(40000, u"    WAIT 2"));
}
BENCHMARK(BM_TypeInto40000Lines)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_TypeIntoOneLongLine(benchmark::State& state) {
  Text line;
  while (line.size() < 100000) line += u"GIVE RINGBACK ";
  line.resize(100000);
  typeInto(state, "one line of 100,000 characters", line);
}
BENCHMARK(BM_TypeIntoOneLongLine)->Iterations(50)->Unit(benchmark::kMillisecond);

// A session of 100,000 typed characters in a 100,000-character script: the journal is built
// snapshot by snapshot as the change handling builds it, and the surface given the final text
// outside the journal (tracking off), so the newest snapshot holds the surface's text.
void BM_TypeWithJournalOf100000Snapshots(benchmark::State& state) {
  typeInto(state, "journal of 100,000 snapshots", bench::routingScript(100000),
           [](bench::SizedControl& sized) {
             TaviColorText& c = sized.control;
             Text text = sized.widgets.surface().text();
             size_t caret = 0;
             for (int n = 1; c.m_colUndo.count() < 100000; ++n) {
               if (n % 12 == 1) caret = (static_cast<size_t>(n) * 7919) % (text.size() + 1);
               text.insert(caret++, 1, static_cast<char16_t>(u'a' + n % 26));
               c.m_colUndo.add(makeSnapshot(static_cast<int32_t>(caret), text, c.m_colUndo));
             }
             c.m_bTrackChanges = false;
             EditSurface& editor = sized.widgets.surface();
             editor.setSelStart(0);
             editor.setSelLength(editor.textLength());
             editor.replaceSelection(text);
             c.m_bTrackChanges = true;
           });
}
BENCHMARK(BM_TypeWithJournalOf100000Snapshots)->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavi
