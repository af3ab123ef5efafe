// A window holding the script editor. --quit-after-show closes it as soon as it is shown,
// after printing the editor's text (tools/package runs it so).
#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>

#include "qt/tavi_color_text_widget.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  auto* editor = new tavi::TaviColorTextWidget(&window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(editor);
  editor->setKeywordHighlight(true);
  editor->setText(QStringLiteral("If x Then\r\n  Call y\r\nEnd If"));
  editor->setLoadFlag(false);
  window.resize(480, 320);
  window.show();
  if (argc > 1 && std::strcmp(argv[1], "--quit-after-show") == 0) {
    QTimer::singleShot(0, &app, [editor] {
      std::printf("%s\n", editor->value().toUtf8().constData());
      QApplication::quit();
    });
  }
  return app.exec();
}
