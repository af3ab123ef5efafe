#include "shell/text.h"

namespace tavi {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendCodePoint(Text& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Length of the sequence a lead byte opens and the range its second byte must lie in
// (this is what rules out overlong forms and code points above U+10FFFF). ED keeps its
// full range so that encoded surrogates (WTF-8) decode. Length 0: not a lead byte.
struct Lead {
  int length;
  unsigned char low;
  unsigned char high;
};

Lead leadOf(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Pairs laid out as upper, lower, upper, lower...: `lowerIsOdd` tells which of the two
// sits at odd code points.
char16_t upperOfPair(char16_t c, bool lowerIsOdd) {
  return ((c & 1) != 0) == lowerIsOdd ? static_cast<char16_t>(c - 1) : c;
}

char16_t upperLatin1(char16_t c) {
  if (c == 0xB5) return 0x039C;  // micro sign -> capital mu
  if (c == 0xFF) return 0x0178;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  return c;
}

char16_t upperLatinExtendedA(char16_t c) {
  if (c == 0x0131) return u'I';  // dotless i
  if (c == 0x017F) return u'S';  // long s
  if (c <= 0x0137) return c == 0x0130 ? c : upperOfPair(c, true);
  if (c >= 0x0139 && c <= 0x0148) return upperOfPair(c, false);
  if (c >= 0x014A && c <= 0x0177) return upperOfPair(c, true);
  if (c >= 0x0179 && c <= 0x017E) return upperOfPair(c, false);
  return c;
}

char16_t upperGreek(char16_t c) {
  if (c >= 0x03B1 && c <= 0x03CB) return c == 0x03C2 ? 0x03A3 : static_cast<char16_t>(c - 0x20);
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
  if (c >= 0x037B && c <= 0x037D) return static_cast<char16_t>(c + 0x82);
  if (c >= 0x03D8 && c <= 0x03EF) return upperOfPair(c, true);
  switch (c) {
    case 0x0371:
    case 0x0373:
    case 0x0377:
      return static_cast<char16_t>(c - 1);
    case 0x03AC:
      return 0x0386;
    case 0x03CC:
      return 0x038C;
    case 0x03CD:
      return 0x038E;
    case 0x03CE:
      return 0x038F;
    // Symbol variants fold onto the letter they stand for.
    case 0x03D0:
      return 0x0392;
    case 0x03D1:
      return 0x0398;
    case 0x03D5:
      return 0x03A6;
    case 0x03D6:
      return 0x03A0;
    case 0x03D7:
      return 0x03CF;
    case 0x03F0:
      return 0x039A;
    case 0x03F1:
      return 0x03A1;
    case 0x03F2:
      return 0x03F9;
    case 0x03F3:
      return 0x037F;
    case 0x03F5:
      return 0x0395;
    case 0x03F8:
      return 0x03F7;
    case 0x03FB:
      return 0x03FA;
    default:
      return c;
  }
}

char16_t upperCyrillic(char16_t c) {
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if (c == 0x04CF) return 0x04C0;
  if (c >= 0x04C1 && c <= 0x04CE) return upperOfPair(c, false);
  if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
      (c >= 0x04D0 && c <= 0x052F)) {
    return upperOfPair(c, true);
  }
  return c;
}

}  // namespace

std::string toUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    // An unpaired surrogate falls through to the three-byte form (WTF-8).
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

Text fromUtf8(std::string_view text) {
  Text out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
      out.push_back(b0);
      ++i;
      continue;
    }
    const Lead lead = leadOf(b0);
    if (lead.length == 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = b0 & (0x7F >> lead.length);
    int k = 1;
    for (; k < lead.length && i + k < text.size(); ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      const unsigned char low = k == 1 ? lead.low : 0x80;
      const unsigned char high = k == 1 ? lead.high : 0xBF;
      if (b < low || b > high) break;
      cp = (cp << 6) | (b & 0x3F);
    }
    // A truncated or broken sequence becomes one U+FFFD for its valid prefix; decoding
    // resumes at the byte that broke it.
    if (k < lead.length) {
      out.push_back(kReplacement);
    } else {
      appendCodePoint(out, cp);
    }
    i += k;
  }
  return out;
}

char16_t upperCaseBeyondAscii(char16_t c) {
  if (c < 0x100) return upperLatin1(c);
  if (c < 0x180) return upperLatinExtendedA(c);
  if (c >= 0x370 && c < 0x400) return upperGreek(c);
  if (c >= 0x400 && c < 0x530) return upperCyrillic(c);
  return c;
}

Text upperCase(TextView text) {
  Text out(text);
  for (char16_t& c : out) c = upperCase(c);
  return out;
}

bool isWordCharBeyondAscii(char16_t c) {
  if (c < 0x100) return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  if (c >= 0x2000 && c <= 0x206F) return false;  // general punctuation
  if (c >= 0x3000 && c <= 0x3003) return false;  // ideographic space and punctuation
  return c != 0xFEFF;                            // byte-order mark
}

}  // namespace tavi
