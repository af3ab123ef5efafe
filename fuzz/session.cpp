#include "session.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "headless/metrics.h"
#include "headless/platform.h"
#include "shell/control.h"
#include "shell/dispatch.h"
#include "shell/runtime_error.h"

namespace tavi::fuzz {

namespace {

// Reads the input front to back; past its end every read gives zero.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}
  bool done() const { return pos_ >= data_.size(); }
  uint8_t u8() { return done() ? 0 : data_[pos_++]; }
  uint16_t u16() { return static_cast<uint16_t>(u8() | (u8() << 8)); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() { return static_cast<int32_t>(u16() | (static_cast<uint32_t>(u16()) << 16)); }
  int64_t i64() {
    return static_cast<int64_t>(static_cast<uint32_t>(i32())) | (int64_t{i32()} << 32);
  }
  bool flag() { return (u8() & 1) != 0; }
  template <typename T, size_t N>
  const T& pick(const std::array<T, N>& items) {
    return items[u8() % N];
  }

 private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

// Words that steer the input towards the control's interesting paths: keywords, line breaks,
// surrogates (paired and unpaired), the warning's placeholders, numbers in every notation.
const std::array<std::u16string_view, 36> kWords = {u"IF",
                                                    u"THEN",
                                                    u"END IF",
                                                    u"SECTION",
                                                    u"\r\n",
                                                    u"\t",
                                                    u"\r",
                                                    u"\n",
                                                    u"\xD800",
                                                    u"\xDC00",
                                                    u"\xD83D\xDE00",
                                                    u"\u00E9",
                                                    u"%1",
                                                    u"%2",
                                                    u"&HFFFFFFFF",
                                                    u"1e400",
                                                    u"-2147483649",
                                                    u"32768",
                                                    u"True",
                                                    u" ",
                                                    u"(",
                                                    u"\"",
                                                    u"/*",
                                                    u"*/",
                                                    u"'",
                                                    u"QUEUE TO SKILLSET",
                                                    u"WAIT 2",
                                                    u"x",
                                                    u"0",
                                                    u"-1",
                                                    u"2.5",
                                                    u"\0",
                                                    u"-2147483648",
                                                    u"2147483647",
                                                    u"-32768",
                                                    u"&H80000000"};

const std::array<int32_t, 14> kInts = {
    0, 1, -1, 2, 3, 32767, -32768, 65535, 2147483647, -2147483647 - 1, 100000, 1000000, 10, -100};

const std::array<double, 12> kReals = {0.0,
                                       -0.0,
                                       0.5,
                                       1.5,
                                       2.5,
                                       -2.5,
                                       1e30,
                                       -1e30,
                                       1e308,
                                       std::numeric_limits<double>::infinity(),
                                       std::numeric_limits<double>::quiet_NaN(),
                                       32767.5};

Text makeText(Reader& in) {
  Text text;
  switch (in.u8() % 8) {
    case 0:
      break;
    case 1:
      text = in.pick(kWords);
      break;
    case 2:
      for (int n = in.u8(); n > 0; --n) text += static_cast<char16_t>(in.u16());
      break;
    case 3:
      for (int n = in.u8() % 32; n > 0; --n) {
        const uint8_t c = in.u8() % 98;
        text += c < 95 ? static_cast<char16_t>(0x20 + c) : u"\r\n\t"[c - 95];
      }
      break;
    case 4:
      for (int n = in.u8() % 6; n > 0; --n) text += in.pick(kWords);
      break;
    case 5: {
      // Long: a word repeated up to 4,000 times.
      const std::u16string_view word = in.pick(kWords);
      for (int n = in.u16() % 4000 + 1; n > 0; --n) text += word;
      break;
    }
    case 6: {
      const std::string number = std::to_string(in.pick(kInts));
      text.assign(number.begin(), number.end());
      break;
    }
    default: {
      const std::string number = std::to_string(in.i32());
      text.assign(number.begin(), number.end());
      break;
    }
  }
  return text;
}

Variant makeVariant(Reader& in) {
  switch (in.u8() % 13) {
    case 0:
      return Variant();
    case 1:
      return Variant::null();
    case 2:
      return Variant::fromI2(in.i16());
    case 3:
      return Variant::fromI4(in.flag() ? in.pick(kInts) : in.i32());
    case 4:
      return Variant::fromR4(static_cast<float>(in.pick(kReals)));
    case 5:
      return Variant::fromR8(in.flag() ? in.pick(kReals) : in.i32() / 16.0);
    case 6:
      return Variant::fromCurrency({in.i64()});
    case 7:
      return Variant::fromDate({in.flag() ? in.pick(kReals) : double(in.i32())});
    case 8:
    case 9:
      return Variant::fromString(makeText(in));
    case 10:
      return Variant::fromVBool(in.flag() ? kTrue : in.i16());
    case 11:
      return Variant::fromBool(in.flag());
    default:
      return Variant::fromI4(in.u8() % 24);  // small: lines, positions, counts
  }
}

// Everything a put may change, to show that a failed put changed nothing.
struct StateFingerprint {
  Text text;
  int32_t selStart, selLength, surfaceMaxLength;
  bool locked;
  bool CtlKey, m_bKeywordHighlight, m_bChange, bFind, m_bLock, m_bFirstTime, m_bSelect;
  int32_t m_MaxLen;
  std::array<Text, 8> strings;
  int32_t undoCount, redoCount;
  bool trackChanges;
  std::optional<Text> clipboard;
  bool operator==(const StateFingerprint&) const = default;
};

struct Hosted {
  explicit Hosted(HeadlessControl& w) : widgets(w), control(w.widgets()) {
    widgets.site().setSize(headless::kDefaultControlWidth, headless::kDefaultControlHeight);
    control.resize();
  }
  HeadlessControl& widgets;
  TaviColorText control;
};

[[noreturn]] void fail(int64_t op, const std::string& what) {
  throw InvariantFailure{"operation " + std::to_string(op) + ": " + what};
}

bool namedError(int number) {
  static constexpr std::array<int, 10> kNumbers = {5, 6, 9, 13, 94, 380, 381, 482, 484, 521};
  for (int n : kNumbers)
    if (n == number) return true;
  return false;
}

class Session {
 public:
  explicit Session(std::span<const uint8_t> input) : in_(input) { addControl(); }

  int64_t run() {
    while (!in_.done()) {
      step();
      for (auto& h : hosted_) checkAlways(*h);
      platform_.messageBoxes().drain();
      ++ops_;
    }
    return ops_;
  }

 private:
  Hosted& addControl() {
    hosted_.push_back(std::make_unique<Hosted>(platform_.createControl()));
    return *hosted_.back();
  }

  StateFingerprint fingerprint(Hosted& h) {
    TaviColorText& c = h.control;
    EditSurface& e = h.widgets.surface();
    return {e.text(),
            e.selStart(),
            e.selLength(),
            h.widgets.surface().maxLength(),
            h.widgets.surface().locked(),
            c.CtlKey,
            c.m_bKeywordHighlight,
            c.m_bChange,
            c.bFind,
            c.m_bLock,
            c.m_bFirstTime,
            c.m_bSelect,
            c.m_MaxLen,
            {c.m_FindText, c.m_strLang, c.m_strScriptEditor, c.m_strMaximumSize, c.m_strPrintErr,
             c.m_strFinishSearch, c.m_strNotFoundText, c.m_strPopUpMenu},
            c.m_colUndo.count(),
            c.m_colRedo.count(),
            c.m_bTrackChanges,
            platform_.clipboard().content()};
  }

  // The selection lies within the text; every snapshot's length is its text's length.
  void checkAlways(Hosted& h) {
    const HeadlessEditSurface& e = h.widgets.surface();
    const int32_t length = e.textLength();
    if (e.selStart() < 0 || e.selLength() < 0 || e.selStart() > length ||
        e.selLength() > length - e.selStart())
      fail(ops_, "selection " + std::to_string(e.selStart()) + "+" + std::to_string(e.selLength()) +
                     " outside a text of " + std::to_string(length));
    for (const Journal* journal : {&h.control.m_colUndo, &h.control.m_colRedo})
      for (const UndoElement& s : *journal)
        if (s.TextLen != s.Text.length())
          fail(ops_, "snapshot TextLen " + std::to_string(s.TextLen) + " but its text has " +
                         std::to_string(s.Text.length()));
  }

  // A recorded change: the newest undo snapshot holds the surface's text.
  void checkNewestIsSurface(Hosted& h, const char* after) {
    const Journal& undo = h.control.m_colUndo;
    if (undo.count() == 0) fail(ops_, std::string("empty undo journal after ") + after);
    if (undo.last().Text.str() != h.widgets.surface().text())
      fail(ops_, std::string("newest undo snapshot differs from the surface after ") + after);
  }

  // A user edit recorded by the change handling leaves the newest snapshot equal to the
  // surface: checked when the text changed, tracking is on and the journal grew.
  template <typename Input>
  void userInput(Hosted& h, const char* what, Input input) {
    const Text before = h.widgets.surface().text();
    const int32_t undoBefore = h.control.m_colUndo.count();
    notification(input);
    if (h.control.m_bTrackChanges && h.control.m_colUndo.count() > undoBefore &&
        h.widgets.surface().text() != before)
      checkNewestIsSurface(h, what);
  }

  // A notification the platform delivers; an error it raises must be one the interface names.
  template <typename Call>
  void notification(Call call) {
    try {
      call();
    } catch (const RuntimeError& e) {
      if (!namedError(e.number()))
        fail(ops_, "notification raised unnamed error " + std::to_string(e.number()));
    }
  }

  void invoke(Hosted& h, int32_t dispid, MemberKind kind, std::vector<Variant> args) {
    const DispatchTable& table = DispatchTable::instance();
    const DispatchMember* member = table.find(dispid, kind);
    const std::string_view name = member ? member->name : std::string_view();
    const bool undoStep = kind == MemberKind::Method && h.control.m_bTrackChanges &&
                          ((name == "Undo" && h.control.m_colUndo.count() >= 2) ||
                           (name == "Redo" && h.control.m_colRedo.count() >= 1));
    const bool put = kind == MemberKind::Put;
    std::optional<StateFingerprint> before;
    if (put) before = fingerprint(h);

    const InvokeResult r = table.invoke(h.control, dispid, kind, std::move(args));

    if (!r.ok()) {
      if (r.errorNumber != 0) {
        if (!namedError(r.errorNumber))
          fail(ops_, "call of " + std::string(name) + " failed with unnamed error " +
                         std::to_string(r.errorNumber));
        if (r.hresult != 0x800A0000u + static_cast<uint32_t>(r.errorNumber))
          fail(ops_, "HRESULT does not carry the error number");
      } else if (r.hresult != hr::kNotImplemented && r.hresult != hr::kMemberNotFound &&
                 r.hresult != hr::kUnknownName && r.hresult != hr::kBadParamCount) {
        fail(ops_, "unknown dispatch failure " + std::to_string(r.hresult));
      }
      if (put && !(fingerprint(h) == *before))
        fail(ops_, "failed put of " + std::string(name) + " changed the state");
      return;
    }
    if (undoStep) checkNewestIsSurface(h, name.data());
  }

  std::vector<Variant> arguments(size_t expected) {
    size_t count = expected;
    if (in_.u8() % 16 == 0) count = in_.u8() % 6;  // a wrong count now and then
    std::vector<Variant> args;
    for (size_t i = 0; i < count; ++i) args.push_back(makeVariant(in_));
    return args;
  }

  void step() {
    if (in_.flag() && hosted_.size() == 1) addControl();
    Hosted& h = *hosted_[in_.u8() % hosted_.size()];
    HeadlessControl& w = h.widgets;
    TaviColorText& c = h.control;
    const DispatchTable& table = DispatchTable::instance();
    const auto members = table.members();

    switch (in_.u8() % 24) {
      case 0:
      case 1:
      case 2: {  // a member by name, looked up as a host does
        const DispatchMember& m = members[in_.u8() % members.size()];
        Text ignored;
        std::string name(m.name);
        if (in_.flag())
          for (char& ch : name)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        const std::optional<int32_t> id = table.idOfName(name);
        if (!id) fail(ops_, "no DISPID for " + name);
        MemberKind kind = m.kind;
        if (in_.u8() % 8 == 0)
          kind = in_.pick(std::array{MemberKind::Method, MemberKind::Get, MemberKind::Put});
        invoke(h, *id, kind, arguments(m.params.size()));
        break;
      }
      case 3: {  // by DISPID, known or not, with any invoke kind
        int32_t dispid = in_.flag() ? members[in_.u8() % members.size()].dispid : in_.i32();
        const auto kind = static_cast<MemberKind>(in_.pick(std::array<int, 6>{1, 2, 4, 3, 8, 0}));
        invoke(h, dispid, kind, arguments(in_.u8() % 5));
        break;
      }
      case 4:
      case 5: {
        // Typing goes key by key, each key a snapshot: long typed texts are the benchmarks'.
        Text text = makeText(in_);
        if (text.size() > 256) text.resize(256);
        userInput(h, "typing", [&] { w.type(text); });
        break;
      }
      case 6:
      case 7: {  // any key with any modifiers
        const int16_t key = in_.flag()
                                ? in_.pick(std::array<int16_t, 16>{8, 9, 13, 27, 33, 34, 35, 36, 37,
                                                                   38, 39, 40, 45, 46, 67, 86})
                                : static_cast<int16_t>(in_.u8());
        const int16_t shift = static_cast<int16_t>(in_.u8() % 8);
        userInput(h, "a key", [&] { w.key(key, shift); });
        break;
      }
      case 8: {
        const int16_t key = static_cast<int16_t>(in_.u8());
        const int16_t shift = in_.i16();
        if (in_.flag())
          userInput(h, "key down", [&] { w.keyDown(key, shift); });
        else
          userInput(h, "key up", [&] { w.keyUp(key, shift); });
        break;
      }
      case 9: {  // the mouse, anywhere (also far outside the surface)
        const double x = in_.flag() ? in_.i16() : in_.u8() % 80 * 8;
        const double y = in_.flag() ? in_.i16() : in_.u8() % 40 * 16;
        switch (in_.u8() % 4) {
          case 0:
            userInput(h, "a click", [&] { w.click(x, y); });
            break;
          case 1:
            userInput(h, "a right click", [&] { w.rightClick(x, y); });
            break;
          case 2: {
            const int16_t button = in_.i16(), shift = in_.i16();
            userInput(h, "mouse down", [&] { w.mouseDown(button, shift, x, y); });
            break;
          }
          default: {
            const int16_t button = in_.i16(), shift = in_.i16();
            userInput(h, "mouse up", [&] { w.mouseUp(button, shift, x, y); });
            break;
          }
        }
        break;
      }
      case 10: {  // a selection within the text
        const int32_t length = w.surface().textLength();
        const int32_t start = length == 0 ? 0 : static_cast<int32_t>(in_.u16() % (length + 1));
        const int32_t count = static_cast<int32_t>(in_.u16() % (length - start + 1));
        userInput(h, "selecting", [&] { w.select(start, count); });
        break;
      }
      case 11:
        notification([&] { w.scroll(in_.flag() ? in_.i32() : in_.u8()); });
        break;
      case 12:
        notification([&] { c.timerTick(); });
        break;
      case 13: {  // resizes, tiny and negative included
        const double width = in_.flag() ? in_.i16() : in_.i32();
        const double height = in_.flag() ? in_.i16() : in_.u8();
        w.site().setSize(width, height);
        notification([&] { c.resize(); });
        break;
      }
      case 14: {
        const int16_t entry = in_.flag() ? static_cast<int16_t>(in_.u8() % 10) : in_.i16();
        userInput(h, "a menu choice", [&] { c.menuClicked(entry); });
        break;
      }
      case 15:
        if (in_.flag())
          platform_.clipboard().setContent(std::nullopt);
        else
          platform_.clipboard().setContent(makeText(in_));
        break;
      case 16:
        platform_.clipboard().setLocked(in_.flag());
        break;
      case 17: {  // the installed printers
        std::vector<InstalledPrinter> printers(in_.u8() % 4);
        for (InstalledPrinter& p : printers) {
          p.name = in_.flag() ? Text(u"Headless Printer") : makeText(in_);
          p.driver = makeText(in_);
          p.port = makeText(in_);
          p.settings = {in_.i16(), in_.i16(), in_.i16(), in_.i16(), in_.i16()};
        }
        const int32_t current = printers.empty() ? 0 : in_.u8() % printers.size();
        platform_.printers().setPrinters(std::move(printers), current);
        break;
      }
      case 18: {  // the answer of the next print dialog
        DialogAnswer answer;
        answer.cancel = in_.u8() % 4 == 0;
        if (in_.flag()) answer.choices.printer = makeText(in_);
        if (in_.flag()) answer.choices.copies = in_.i16();
        if (in_.flag()) answer.choices.orientation = in_.i16();
        if (in_.flag()) answer.choices.duplex = in_.i16();
        if (in_.flag()) answer.choices.paperSize = in_.i16();
        if (in_.flag()) answer.choices.printQuality = in_.i16();
        platform_.printers().scriptDialog(std::move(answer));
        break;
      }
      case 19: {
        const FocusPlace place =
            in_.pick(std::array{FocusPlace::kSurface, FocusPlace::kList, FocusPlace::kAway});
        userInput(h, "a focus change", [&] { w.focus(place); });
        break;
      }
      case 20:
        platform_.screen().setCapsLock(in_.flag());
        break;
      case 21:
        notification([&] { c.gutterPaint(); });
        break;
      case 22: {
        const int32_t index = in_.flag() ? in_.i32() : in_.u8() % 8;
        userInput(h, "a keyword list click", [&] { w.clickListItem(index); });
        break;
      }
      default: {  // straight to the public methods, as an embedding program calls them
        const Text find = makeText(in_);
        const Text replace = makeText(in_);
        const bool matchCase = in_.flag();
        switch (in_.u8() % 4) {
          case 0:
            invoke(h, 0x6003002b, MemberKind::Method,
                   {Variant::fromString(find), Variant::fromString(replace),
                    Variant::fromBool(matchCase)});
            break;
          case 1:
            invoke(h, 0x60030028, MemberKind::Method,
                   {Variant::fromString(find), Variant::fromBool(matchCase),
                    Variant::fromBool(in_.flag())});
            break;
          case 2:
            invoke(h, 0x6003002a, MemberKind::Method,
                   {Variant::fromString(find), Variant::fromString(replace)});
            break;
          default:
            invoke(h, 0x60030030, MemberKind::Method, {Variant::fromI2(in_.i16())});
            break;
        }
        break;
      }
    }
  }

  Reader in_;
  HeadlessPlatform platform_;
  std::vector<std::unique_ptr<Hosted>> hosted_;
  int64_t ops_ = 0;
};

}  // namespace

int64_t play(std::span<const uint8_t> input) { return Session(input).run(); }

}  // namespace tavi::fuzz
