// Looks at a window on the X display as the screen shows it and checks the picture of
// tavi-edit: the gutter (the button face with a line number drawn in it) and, once
// asked, blue keyword text. It grabs the window again until the picture holds what it
// should or the time is up, then writes the last picture to a file.
//
//   tavi_e2e_check WINDOW_ID OUT.png --no-keywords   a gutter, nothing blue yet
//   tavi_e2e_check WINDOW_ID OUT.png --keywords      a gutter and blue keywords
//
// Exit status 0 when the picture is right, 1 when it is not (with what was wrong).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <cstdio>
#include <cstdlib>

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
  if (args.size() != 4 ||
      (args[3] != QLatin1String("--keywords") && args[3] != QLatin1String("--no-keywords"))) {
    std::fprintf(stderr, "usage: tavi_e2e_check WINDOW_ID OUT.png --keywords|--no-keywords\n");
    return 2;
  }
  bool ok = false;
  const WId window = args[1].toULongLong(&ok);
  if (!ok) {
    std::fprintf(stderr, "tavi_e2e_check: not a window id: %s\n", qPrintable(args[1]));
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
  if (picture.isNull()) std::printf("FAILED: the window could not be grabbed\n");
  if (found.gutterWidth == 0)
    std::printf("FAILED: no gutter of button face %s at the left edge\n",
                qPrintable(buttonFace.name()));
  else if (found.numberPixels < kMinNumberPixels)
    std::printf("FAILED: no line number drawn in the gutter\n");
  if (keywords && found.keywordPixels < kMinKeywordPixels)
    std::printf("FAILED: too few blue keyword pixels (at least %d expected)\n", kMinKeywordPixels);
  if (!keywords && found.keywordPixels != 0)
    std::printf("FAILED: blue pixels before anything was typed\n");
  return 1;
}
