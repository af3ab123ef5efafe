#include "shell/script_file.h"
#include "shell/text.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

using namespace std::string_view_literals;

// Each file reads as the control's text (CR LF, no final break) and the unchanged text
// writes back the very same bytes.
TEST(ScriptFile, ReadsEveryFormatAsCrLfTextAndWritesTheSameBytesBack) {
  const struct {
    std::string_view bytes;
    Text text;
    ScriptEncoding encoding = ScriptEncoding::kUtf8;
    LineBreakStyle lineBreak = LineBreakStyle::kCrLf;
    bool finalLineBreak = true;
  } cases[] = {
      {.bytes = "SECTION A\r\nQUIT\r\n", .text = u"SECTION A\r\nQUIT"},
      {.bytes = "SECTION A\nQUIT",
       .text = u"SECTION A\r\nQUIT",
       .lineBreak = LineBreakStyle::kLf,
       .finalLineBreak = false},
      {.bytes = "SECTION A\rGIVE BUSY\rQUIT\r",
       .text = u"SECTION A\r\nGIVE BUSY\r\nQUIT",
       .lineBreak = LineBreakStyle::kCr},
      {.bytes = "QUIT\n\n", .text = u"QUIT\r\n", .lineBreak = LineBreakStyle::kLf},
      {.bytes = "\n", .text = u"", .lineBreak = LineBreakStyle::kLf},
      {.bytes = "", .text = u"", .finalLineBreak = false},
      {.bytes = "\xEF\xBB\xBF"
                "caf\xC3\xA9 \xF0\x9F\x98\x80\r\n",
       .text = u"caf\u00E9 \U0001F600",
       .encoding = ScriptEncoding::kUtf8WithBom},
      {.bytes = "\xFF\xFE"
                "A\0\r\0\n\0\x3D\xD8\x00\xDE"sv,
       .text = u"A\r\n\U0001F600",
       .encoding = ScriptEncoding::kUtf16Le,
       .finalLineBreak = false},
      {.bytes = "\xFE\xFF"
                "\0A\0\n\xD8\x00\0B\0\n"sv,  // an unpaired surrogate is kept
       .text = Text{u'A', kCR, kLF, char16_t(0xD800), u'B'},
       .encoding = ScriptEncoding::kUtf16Be,
       .lineBreak = LineBreakStyle::kLf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const DecodedScript read = decodeScript(c.bytes);
    ASSERT_EQ(read.problem, ScriptFileProblem::kNone);
    EXPECT_EQ(read.text, c.text);
    EXPECT_EQ(read.format.encoding, c.encoding);
    EXPECT_EQ(read.format.lineBreak, c.lineBreak);
    EXPECT_EQ(read.format.finalLineBreak, c.finalLineBreak);
    EXPECT_FALSE(read.format.mixedLineBreaks);
    const EncodedScript written = encodeScript(read.text, read.format);
    EXPECT_EQ(written.problem, ScriptFileProblem::kNone);
    EXPECT_EQ(written.bytes, c.bytes);
  }
}

TEST(ScriptFile, EditedTextIsWrittenInTheFilesLineBreaks) {
  const DecodedScript read = decodeScript("A\rB\r");
  // A typed line, and a lone LF as a paste may leave one.
  const EncodedScript written = encodeScript(read.text + u"\r\nC\nD", read.format);
  EXPECT_EQ(written.bytes, "A\rB\rC\rD\r");

  // Mixed styles: the most frequent wins, the first seen on a tie, and is used throughout.
  const DecodedScript mixed = decodeScript("A\nB\r\nC\r\nD\nE\r\n");
  EXPECT_TRUE(mixed.format.mixedLineBreaks);
  EXPECT_EQ(mixed.format.lineBreak, LineBreakStyle::kCrLf);
  EXPECT_EQ(encodeScript(mixed.text, mixed.format).bytes, "A\r\nB\r\nC\r\nD\r\nE\r\n");
  EXPECT_EQ(decodeScript("A\nB\r\nC\r\nD\n").format.lineBreak, LineBreakStyle::kLf);
}

TEST(ScriptFile, RefusesBytesThatAreNoTextAndNamesTheFirstBadByte) {
  const struct {
    std::string_view bytes;
    ScriptFileProblem problem;
    size_t at;
  } cases[] = {
      {"AB\0C"sv, ScriptFileProblem::kNulCharacter, 2},
      {"\xFF\xFE"
       "A\0\0\0"sv,
       ScriptFileProblem::kNulCharacter, 4},
      {"caf\xE9 au lait", ScriptFileProblem::kInvalidUtf8, 3},   // Latin-1
      {"\x80", ScriptFileProblem::kInvalidUtf8, 0},              // stray continuation
      {"A\xC0\xAF", ScriptFileProblem::kInvalidUtf8, 1},         // overlong
      {"\xE0\x80\x80", ScriptFileProblem::kInvalidUtf8, 0},      // overlong three-byte form
      {"\xED\xA0\x80", ScriptFileProblem::kInvalidUtf8, 0},      // an encoded surrogate
      {"\xF4\x90\x80\x80", ScriptFileProblem::kInvalidUtf8, 0},  // above U+10FFFF
      {"AB\xE2\x82", ScriptFileProblem::kInvalidUtf8, 2},        // cut at the end
      {"\xEF\xBB\xBF\xFF", ScriptFileProblem::kInvalidUtf8, 3},  // after a UTF-8 mark
      {"\xFE\xFF\0A\0"sv, ScriptFileProblem::kTruncatedUtf16, 4},
  };
  for (const auto& c : cases) {
    const DecodedScript read = decodeScript(c.bytes);
    EXPECT_EQ(read.problem, c.problem) << "case " << (&c - cases);
    EXPECT_EQ(read.problemAt, c.at) << "case " << (&c - cases);
    EXPECT_TRUE(read.text.empty());
  }
}

TEST(ScriptFile, AnUnpairedSurrogateCannotBeWrittenAsUtf8) {
  const Text text{u'A', kCR, kLF, u'B', char16_t(0xDC00)};
  const EncodedScript utf8 = encodeScript(text, ScriptFormat{});
  EXPECT_EQ(utf8.problem, ScriptFileProblem::kUnencodable);
  EXPECT_EQ(utf8.problemAt, 4u);
  EXPECT_TRUE(utf8.bytes.empty());
  ScriptFormat utf16;
  utf16.encoding = ScriptEncoding::kUtf16Le;
  utf16.finalLineBreak = false;
  EXPECT_EQ(encodeScript(text, utf16).bytes,
            "\xFF\xFE"
            "A\0\r\0\n\0B\0\x00\xDC"sv);
}

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
