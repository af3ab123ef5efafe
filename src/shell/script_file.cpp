#include "shell/script_file.h"

#include <array>

namespace tavi {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

struct Raw {
  ScriptFileProblem problem = ScriptFileProblem::kNone;
  size_t problemAt = 0;
  Text text;  // the file's characters, line breaks as they were
};

Raw failed(ScriptFileProblem problem, size_t at) { return Raw{problem, at, {}}; }

void appendCodePoint(Text& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
    return;
  }
  c -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

// Well-formed UTF-8 only (no overlong forms, no surrogates, nothing above U+10FFFF).
Raw decodeUtf8(std::string_view bytes, size_t base) {
  Raw raw;
  raw.text.reserve(bytes.size());
  const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char lead = byteAt(i);
    if (lead == 0) return failed(ScriptFileProblem::kNulCharacter, base + i);
    if (lead < 0x80) {
      raw.text.push_back(lead);
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t c = 0;
    // The second byte's range depends on the lead: it excludes the overlong forms, the
    // surrogates (after 0xED) and everything above U+10FFFF (after 0xF4).
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      c = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      c = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return failed(ScriptFileProblem::kInvalidUtf8, base + i);
    }
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= bytes.size()) return failed(ScriptFileProblem::kInvalidUtf8, base + i);
      const unsigned char b = byteAt(i + k);
      const bool inRange = k == 1 ? (b >= low && b <= high) : (b >= 0x80 && b <= 0xBF);
      if (!inRange) return failed(ScriptFileProblem::kInvalidUtf8, base + i);
      c = (c << 6) | (b & 0x3F);
    }
    appendCodePoint(raw.text, c);
    i += length;
  }
  return raw;
}

// UTF-16 code units as they are: an unpaired surrogate is kept, so that it is written back.
Raw decodeUtf16(std::string_view bytes, size_t base, bool bigEndian) {
  if (bytes.size() % 2 != 0)
    return failed(ScriptFileProblem::kTruncatedUtf16, base + bytes.size() - 1);
  Raw raw;
  raw.text.reserve(bytes.size() / 2);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    const auto unit =
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    if (unit == 0) return failed(ScriptFileProblem::kNulCharacter, base + i);
    raw.text.push_back(unit);
  }
  return raw;
}

// Every CR LF, lone CR and lone LF becomes CR LF; the counts of each style decide the
// file's style, and a break at the very end is remembered instead of kept.
void normaliseLineBreaks(TextView raw, DecodedScript& out) {
  std::array<size_t, 3> count{};
  std::array<size_t, 3> firstAt{raw.size(), raw.size(), raw.size()};
  Text& text = out.text;
  text.reserve(raw.size() + raw.size() / 16);
  bool endsWithBreak = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    const char16_t c = raw[i];
    if (c != kCR && c != kLF) {
      text.push_back(c);
      endsWithBreak = false;
      continue;
    }
    LineBreakStyle style = c == kLF ? LineBreakStyle::kLf : LineBreakStyle::kCr;
    if (c == kCR && i + 1 < raw.size() && raw[i + 1] == kLF) {
      style = LineBreakStyle::kCrLf;
      ++i;
    }
    const auto s = static_cast<size_t>(style);
    if (count[s]++ == 0) firstAt[s] = i;
    text.push_back(kCR);
    text.push_back(kLF);
    endsWithBreak = true;
  }
  if (endsWithBreak) text.resize(text.size() - 2);
  out.format.finalLineBreak = endsWithBreak;
  size_t styles = 0;
  size_t best = 0;
  for (size_t s = 0; s < count.size(); ++s) {
    if (count[s] == 0) continue;
    ++styles;
    if (count[s] > count[best] || (count[s] == count[best] && firstAt[s] < firstAt[best])) best = s;
  }
  out.format.lineBreak = styles == 0 ? LineBreakStyle::kCrLf : static_cast<LineBreakStyle>(best);
  out.format.mixedLineBreaks = styles > 1;
}

void appendUnit(std::string& out, char16_t unit, bool bigEndian) {
  const auto high = static_cast<char>(unit >> 8);
  const auto low = static_cast<char>(unit & 0xFF);
  out.push_back(bigEndian ? high : low);
  out.push_back(bigEndian ? low : high);
}

// The offset of the first surrogate without its partner, or npos.
size_t unpairedSurrogate(TextView text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
      ++i;
    else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
      return i;
  }
  return TextView::npos;
}

TextView lineBreakText(LineBreakStyle style) {
  switch (style) {
    case LineBreakStyle::kLf:
      return u"\n";
    case LineBreakStyle::kCr:
      return u"\r";
    case LineBreakStyle::kCrLf:
      break;
  }
  return u"\r\n";
}

}  // namespace

DecodedScript decodeScript(std::string_view bytes) {
  DecodedScript out;
  Raw raw;
  if (bytes.starts_with(kUtf8Bom)) {
    out.format.encoding = ScriptEncoding::kUtf8WithBom;
    raw = decodeUtf8(bytes.substr(kUtf8Bom.size()), kUtf8Bom.size());
  } else if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
    const bool bigEndian = bytes.starts_with(kUtf16BeBom);
    out.format.encoding = bigEndian ? ScriptEncoding::kUtf16Be : ScriptEncoding::kUtf16Le;
    raw = decodeUtf16(bytes.substr(2), 2, bigEndian);
  } else {
    raw = decodeUtf8(bytes, 0);
  }
  if (raw.problem != ScriptFileProblem::kNone) {
    out.problem = raw.problem;
    out.problemAt = raw.problemAt;
    return out;
  }
  normaliseLineBreaks(raw.text, out);
  return out;
}

EncodedScript encodeScript(TextView text, const ScriptFormat& format) {
  EncodedScript out;
  const bool utf16 =
      format.encoding == ScriptEncoding::kUtf16Le || format.encoding == ScriptEncoding::kUtf16Be;
  if (!utf16) {
    if (const size_t at = unpairedSurrogate(text); at != TextView::npos) {
      out.problem = ScriptFileProblem::kUnencodable;
      out.problemAt = at;
      return out;
    }
  }
  // The text in the file's line breaks first, then in the file's encoding.
  Text lines;
  lines.reserve(text.size() + 2);
  const TextView lineBreak = lineBreakText(format.lineBreak);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF) ++i;
    if (text[i] == kCR || text[i] == kLF)
      lines.append(lineBreak);
    else
      lines.push_back(text[i]);
  }
  if (format.finalLineBreak) lines.append(lineBreak);

  std::string& bytes = out.bytes;
  if (utf16) {
    const bool bigEndian = format.encoding == ScriptEncoding::kUtf16Be;
    bytes.reserve(2 * lines.size() + 2);
    bytes.append(bigEndian ? kUtf16BeBom : kUtf16LeBom);
    for (char16_t unit : lines) appendUnit(bytes, unit, bigEndian);
    return out;
  }
  if (format.encoding == ScriptEncoding::kUtf8WithBom) bytes.append(kUtf8Bom);
  bytes.append(toUtf8(lines));  // no unpaired surrogate is left (checked above)
  return out;
}

}  // namespace tavi
