// One typed character in the middle of a script of 10,000, 100,000 and 1,000,000 characters,
// in the real Qt widget on the offscreen platform: the key press and release as QTest delivers them
// (insertion, change handling with its snapshot, span colouring in the surface model's formats),
// then the events the keystroke leaves queued, its repaint among them.
#include <QApplication>
#include <QTest>

#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "qt/edit_surface.h"
#include "qt/services.h"
#include "qt/surface_view.h"
#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"

namespace tavi {
namespace {

void BM_QtTypeOneCharacter(benchmark::State& state) {
  const auto length = static_cast<int32_t>(state.range(0));
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
  widget.setMaxLength(length + 1000);  // room for the typing
  widget.surface().setMaxLength(length + 1000);
  widget.setLoadFlag(true);
  widget.setText(qt::toQString(bench::routingScript(static_cast<size_t>(length))));
  widget.setLoadFlag(false);
  if (widget.surface().textLength() != length) {
    state.SkipWithError("the script did not load whole");
    return;
  }
  qt::SurfaceView* editor = widget.editor();
  // The person clicks into the middle of a line, so typing recolours the span around it.
  widget.surface().setSelStart(length / 2);  // in view from here on
  QApplication::processEvents();
  const QPoint caret = editor->pointOf(widget.surface().selStart());
  QTest::mouseClick(editor->viewport(), Qt::LeftButton, {},
                    caret + QPoint(0, editor->lineHeight() / 2));
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
  // The process's peak resident memory so far (the sizes run from small to large).
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const double peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["median_us"] = median;
  state.counters["peak_rss_MiB"] = peakMiB;
  std::printf(
      "typing one character into a %d-character script in the Qt widget: median %.1f us, "
      "peak RSS %.0f MiB\n",
      length, median, peakMiB);
}
BENCHMARK(BM_QtTypeOneCharacter)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

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
