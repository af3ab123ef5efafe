// Grabs a window of the X display until its picture shows tavi-edit's gutter (button face
// with line numbers drawn in it) and, when asked, blue keyword text, or the time is up;
// writes the last picture to OUT.png. Exit status 0 when the picture is right, else 1.
//
//   tavi_e2e_check WINDOW_ID OUT.png --no-keywords|--keywords
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>

namespace {

constexpr int kTimeoutMs = 10000;
constexpr int kPollMs = 150;
// The gutter is 720 twips wide: 48 pixels at 96 dots per inch.
constexpr int kMinGutterWidth = 30;
// Pixels of keyword text: a few letters of a bold 10-point font hold hundreds.
constexpr int kMinKeywordPixels = 60;
constexpr int kMinNumberPixels = 20;

struct Findings {
  int gutterWidth = 0;  // 0 when no gutter was found
  int numberPixels = 0;
  int keywordPixels = 0;
};

// Pure blue text: the colouring's 0x0000FF, allowing for the edges of glyphs.
bool isKeywordBlue(QRgb p) { return qBlue(p) >= 200 && qRed(p) <= 60 && qGreen(p) <= 60; }

// Drawn on the button face: the numbers are black or grey.
bool isInk(QRgb p, QRgb face) { return qGray(face) - qGray(p) >= 64; }

Findings inspect(const QImage& picture, QColor buttonFace) {
  Findings f;
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb face = buttonFace.rgb();
  // The gutter is the strip of button face at the left edge of the editor: on a row in
  // the middle of the window, it runs from the left edge up to the editor's frame, a few
  // pixels before the editor's white.
  const QRgb white = qRgb(255, 255, 255);
  const int row = image.height() / 2;
  int x = 0;
  while (x < image.width() && image.pixel(x, row) == face) ++x;
  int editor = x;
  while (editor < image.width() && editor < x + 8 && image.pixel(editor, row) != white) ++editor;
  if (x < kMinGutterWidth || editor >= image.width() || image.pixel(editor, row) != white) return f;
  f.gutterWidth = x;
  // Its height: the rows along the editor's frame, which leaves out the menu bar and the
  // status bar.
  const QRgb frame = image.pixel(x, row);
  for (int y = 0; y < image.height(); ++y) {
    if (image.pixel(x, y) != frame) continue;
    for (int gx = 0; gx < f.gutterWidth; ++gx)
      if (isInk(image.pixel(gx, y), face)) ++f.numberPixels;
  }
  for (int y = 0; y < image.height(); ++y)
    for (int px = f.gutterWidth; px < image.width(); ++px)
      if (isKeywordBlue(image.pixel(px, y))) ++f.keywordPixels;
  return f;
}

bool satisfied(const Findings& f, bool keywords) {
  if (f.gutterWidth == 0 || f.numberPixels < kMinNumberPixels) return false;
  return keywords ? f.keywordPixels >= kMinKeywordPixels : f.keywordPixels == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  bool ok = false;
  const WId window = args.size() == 4 ? args[1].toULongLong(&ok) : 0;
  if (!ok ||
      (args[3] != QLatin1String("--keywords") && args[3] != QLatin1String("--no-keywords"))) {
    std::fprintf(stderr, "usage: tavi_e2e_check WINDOW_ID OUT.png --keywords|--no-keywords\n");
    return 2;
  }
  const QString out = args[2];
  const bool keywords = args[3] == QLatin1String("--keywords");
  // tavi-edit's gutter paints the button face of the same style and palette.
  const QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);

  QElapsedTimer clock;
  clock.start();
  QImage picture;
  Findings found;
  do {
    picture = QGuiApplication::primaryScreen()->grabWindow(window).toImage();
    if (!picture.isNull()) {
      found = inspect(picture, buttonFace);
      if (satisfied(found, keywords)) break;
    }
    QThread::msleep(kPollMs);
  } while (clock.elapsed() < kTimeoutMs);

  if (!picture.isNull()) picture.save(out);
  std::printf(
      "picture %s (%dx%d): gutter %d px wide with %d pixels of numbers, %d blue keyword "
      "pixels\n",
      qPrintable(out), picture.width(), picture.height(), found.gutterWidth, found.numberPixels,
      found.keywordPixels);
  if (satisfied(found, keywords)) return 0;
  std::printf("FAILED: wanted a gutter of button face %s, >= %d pixels of numbers and %s %d blue\n",
              qPrintable(buttonFace.name()), kMinNumberPixels, keywords ? ">=" : "exactly",
              keywords ? kMinKeywordPixels : 0);
  return 1;
}
