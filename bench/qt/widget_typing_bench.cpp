// One typed character in the middle of a 100,000-character script, in the real Qt widget on
// the offscreen platform: the key press and release as QTest delivers them (insertion,
// change handling with its snapshot, span colouring in the QTextEdit's formats), then the
// events the keystroke leaves queued, its repaint among them.
#include <QApplication>
#include <QTest>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"

namespace tavi {
namespace {

void BM_QtTypeOneCharacter(benchmark::State& state) {
  TaviColorTextWidget widget;
  // Nobody answers message boxes here.
  widget.services().messages.setAnswerer([](TextView, int32_t, TextView) { return 1; });
  widget.resize(900, 600);
  widget.show();
  widget.activateWindow();
  if (!QTest::qWaitForWindowActive(&widget)) {
    state.SkipWithError("the widget's window did not become active");
    return;
  }
  widget.setKeywordHighlight(true);
  widget.setMaxLength(200000);  // room for the typing
  widget.surface().setMaxLength(200000);
  widget.setLoadFlag(true);
  widget.setText(qt::toQString(bench::routingScript(100000)));
  widget.setLoadFlag(false);
  if (widget.surface().textLength() != 100000) {
    state.SkipWithError("the script did not load whole");
    return;
  }
  QTextEdit* editor = widget.editor();
  // The person clicks into the middle of a line, so typing recolours the span around it.
  widget.surface().setSelStart(50000);
  editor->ensureCursorVisible();
  QApplication::processEvents();
  QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, editor->cursorRect().center());
  QApplication::processEvents();

  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    QTest::keyClick(editor, 'x');
    QApplication::processEvents();
    const auto end = std::chrono::steady_clock::now();
    micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  const double median = bench::median(micros);
  state.counters["median_us"] = median;
  std::printf(
      "typing one character into a 100,000-character script in the Qt widget: median %.1f us\n",
      median);
}
BENCHMARK(BM_QtTypeOneCharacter)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavi

// The widget needs a QApplication, on the offscreen platform unless another is asked for.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
