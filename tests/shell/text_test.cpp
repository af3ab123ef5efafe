#include "shell/text.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

TEST(Utf8, EncodesPairsAsOneCodePointAndLoneSurrogatesAsWtf8AndRoundTrips) {
  const Text samples[] = {
      u"caf\u00E9 \u03A9 \u20AC \U0001F600 \U0010FFFF",  // one- to four-byte forms
      Text{u'a', char16_t(0xD800), u'b'},                // unpaired surrogates survive
      Text{char16_t(0xDC00), char16_t(0xD800)},          // low before high: two units
      Text{u'x', char16_t(0xDBFF)},                      // high surrogate at the very end
  };
  for (const Text& text : samples) EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"\u00E9"), "\xC3\xA9");
  EXPECT_EQ(toUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(toUtf8(Text{char16_t(0xD800)}), "\xED\xA0\x80");
  EXPECT_EQ(fromUtf8("\xED\xBF\xBF"), Text{char16_t(0xDFFF)});
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  const struct {
    std::string_view bytes;
    Text expected;
  } cases[] = {{"\x80", u"\uFFFD"},                      // stray continuation byte
               {"a\xE2\x82", u"a\uFFFD"},                // truncated at the end: one replacement
               {"\xE2\x82x", u"\uFFFDx"},                // broken sequence resumes at the breaker
               {"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong lead is never valid
               {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},  // overlong three-byte form
               {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
               {"\xFF", u"\uFFFD"}};
  for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.bytes), c.expected) << "case " << (&c - cases);
}

TEST(UpperCase, MapsLettersOfTheSupportedScripts) {
  const struct {
    char16_t lower, upper;
  } cases[] = {{u'a', u'A'},           {u'z', u'Z'},           {u'{', u'{'},
               {u'`', u'`'},           {u'\u00E9', u'\u00C9'}, {u'\u00FE', u'\u00DE'},
               {u'\u00FF', u'\u0178'}, {u'\u00DF', u'\u00DF'}, {u'\u00F7', u'\u00F7'},
               {u'\u0101', u'\u0100'}, {u'\u0100', u'\u0100'}, {u'\u0142', u'\u0141'},
               {u'\u0141', u'\u0141'}, {u'\u017E', u'\u017D'}, {u'\u0131', u'I'},
               {u'\u0138', u'\u0138'}, {u'\u03B1', u'\u0391'}, {u'\u03C2', u'\u03A3'},
               {u'\u03C9', u'\u03A9'}, {u'\u03AC', u'\u0386'}, {u'\u03CE', u'\u038F'},
               {u'\u0430', u'\u0410'}, {u'\u044F', u'\u042F'}, {u'\u0451', u'\u0401'},
               {u'\u0461', u'\u0460'}, {u'\u04C2', u'\u04C1'}, {u'\u04CF', u'\u04C0'},
               {u'\u04FF', u'\u04FE'}, {u'\u4E00', u'\u4E00'}};
  for (const auto& c : cases) EXPECT_EQ(upperCase(c.lower), c.upper) << std::hex << int(c.lower);
  EXPECT_EQ(upperCase(u"Queue \u00E9t\u00E9 \u03B1\u03B2"), u"QUEUE \u00C9T\u00C9 \u0391\u0392");
}

TEST(IsWordChar, LettersDigitsUnderscoreAndMostNonLatin) {
  for (char16_t c :
       TextView(u"azAZ09_\u00C0\u00D6\u00D8\u00F6\u00F8\u00FF\u0100\u4E00\u2070\u3004\uFEFE")) {
    EXPECT_TRUE(isWordChar(c)) << std::hex << int(c);
  }
  for (char16_t c : TextView(
           u" \t\r\n-.,;()\"'@`\u00A0\u00BF\u00D7\u00F7\u2000\u2014\u206F\u3000\u3003\uFEFF")) {
    EXPECT_FALSE(isWordChar(c)) << std::hex << int(c);
  }
}

}  // namespace
}  // namespace tavi
