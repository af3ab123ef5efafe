// tavi_platform_differential [--seed N] [--sessions N] [--commands N] [--quiet] [--strict]:
// seeded random sessions of a person and a host (sessions.h), each run through tavi-script's
// command layer on the headless platform and on Qt and compared line by line with the
// platforms' metrics masked. A session that differs is printed with its seed, its commands
// and the first difference. Differences that a declared platform metric explains (where a
// pixel lands, which masking the output cannot hide) are counted; the exit status is 1 when
// a session differs in another way (in any way with --strict).
#include <QApplication>

#include "differential/sessions.h"
#include "tavi-script/qt_platform.h"

int main(int argc, char** argv) {
  using namespace tavi::script;
  QtApplicationScope application(argv[0]);
  Differential qt{.program = "tavi_platform_differential",
                  .platform = "qt",
                  .makePlatform = makeQtPlatform,
                  .mix = {},
                  .metrics = {{"where a mouse press or drag beside a combining mark lands: Qt's "
                               "view puts the caret on the cluster's edge, the headless grid by "
                               "code unit",
                               pressBesideACombiningMark}}};
  return runDifferential(argc, argv, qt);
}
