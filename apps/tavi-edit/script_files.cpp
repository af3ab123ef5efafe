#include "script_files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

#include "qt/units.h"

namespace tavi {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("ScriptFiles", text); }

QString refusal(const QString& path, const DecodedScript& read) {
  const QString name = QFileInfo(path).fileName();
  const QString at = QString::number(read.problemAt);
  switch (read.problem) {
    case ScriptFileProblem::kNulCharacter:
      return tr("%1 was not opened: it is not a text file (it holds a NUL character at byte %2).")
          .arg(name, at);
    case ScriptFileProblem::kInvalidUtf8:
      return tr("%1 was not opened: it is neither UTF-8 nor UTF-16 with a byte order mark "
                "(byte %2 is no UTF-8). Convert it to UTF-8 first.")
          .arg(name, at);
    case ScriptFileProblem::kTruncatedUtf16:
      return tr("%1 was not opened: its UTF-16 text ends in half a character.").arg(name);
    case ScriptFileProblem::kUnencodable:
    case ScriptFileProblem::kNone:
      break;
  }
  return {};
}

}  // namespace

ScriptFileRead readScriptFile(const QString& path) {
  ScriptFileRead result;
  const QFileInfo info(path);
  if (!info.exists()) {
    result.missing = true;
    return result;
  }
  const QString name = info.fileName();
  if (info.isDir()) {
    result.error = tr("%1 was not opened: it is a folder.").arg(name);
    return result;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    result.error = tr("%1 could not be opened: %2").arg(name, file.errorString());
    return result;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    result.error = tr("%1 could not be read: %2").arg(name, file.errorString());
    return result;
  }
  const DecodedScript read =
      decodeScript(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  if (read.problem != ScriptFileProblem::kNone) {
    result.error = refusal(path, read);
    return result;
  }
  // The control counts its text in 32-bit offsets; half of that range is room enough.
  if (read.text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max() / 2)) {
    result.error = tr("%1 was not opened: it is too large for the editor.").arg(name);
    return result;
  }
  result.text = qt::toQString(read.text);
  result.format = read.format;
  return result;
}

QString writeScriptFile(const QString& path, const QString& text, const ScriptFormat& format) {
  const QString name = QFileInfo(path).fileName();
  const EncodedScript encoded = encodeScript(qt::toText(text), format);
  if (encoded.problem != ScriptFileProblem::kNone) {
    const auto at = static_cast<qsizetype>(encoded.problemAt);
    const qsizetype line = text.left(at).count(QLatin1Char('\n')) + 1;
    return tr("%1 was not saved: line %2 holds a character UTF-8 cannot store (half of a "
              "surrogate pair). Delete it, or save as UTF-16.")
        .arg(name)
        .arg(line);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return tr("%1 was not saved: %2").arg(name, file.errorString());
  }
  const auto size = static_cast<qint64>(encoded.bytes.size());
  // Not committed, the temporary file is removed and the old file stays as it was.
  if (file.write(encoded.bytes.data(), size) != size || !file.commit())
    return tr("%1 was not saved: %2").arg(name, file.errorString());
  return {};
}

QString describe(const ScriptFormat& format) {
  QString encoding;
  switch (format.encoding) {
    case ScriptEncoding::kUtf8:
      encoding = QStringLiteral("UTF-8");
      break;
    case ScriptEncoding::kUtf8WithBom:
      encoding = QStringLiteral("UTF-8 with BOM");
      break;
    case ScriptEncoding::kUtf16Le:
      encoding = QStringLiteral("UTF-16 LE");
      break;
    case ScriptEncoding::kUtf16Be:
      encoding = QStringLiteral("UTF-16 BE");
      break;
  }
  QString lineBreak = QStringLiteral("CR LF");
  if (format.lineBreak == LineBreakStyle::kLf) lineBreak = QStringLiteral("LF");
  if (format.lineBreak == LineBreakStyle::kCr) lineBreak = QStringLiteral("CR");
  return encoding + QStringLiteral(", ") + lineBreak;
}

}  // namespace tavi
