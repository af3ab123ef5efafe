#include "win32/widgets/rich_text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "win32/widgets/units.h"

namespace tavi::win32 {

namespace {

constexpr UINT kUtf16 = 1200;

// EM_SETTEXTEX reads text whose bytes begin like RTF or a UTF-8 byte-order mark as such,
// whatever its code page.
bool readAsOtherThanUtf16(const wchar_t* s, size_t n) {
  const char* bytes = reinterpret_cast<const char*>(s);
  const size_t size = n * sizeof(wchar_t);
  const auto startsWith = [&](const char* prefix, size_t length) {
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
  };
  return startsWith("{\\rtf", 5) || startsWith("{\\urtf", 6) || startsWith("\xEF\xBB\xBF", 3);
}

}  // namespace

int32_t richTextLength(HWND richEdit) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, kUtf16};
  return static_cast<int32_t>(
      SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

Text richText(HWND richEdit) {
  const int32_t n = richTextLength(richEdit);
  std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  get.flags = GT_DEFAULT;
  get.codepage = kUtf16;
  const LRESULT got = SendMessageW(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                   reinterpret_cast<LPARAM>(buffer.data()));
  return toText(buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, n)));
}

void insertRichText(HWND richEdit, TextView insert) {
  std::wstring text = wideString(insert);
  std::replace(text.begin(), text.end(), L'\0', L'\xFFFD');
  SETTEXTEX set{ST_SELECTION, kUtf16};
  if (text.empty()) {
    SendMessageW(richEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set),
                 reinterpret_cast<LPARAM>(L""));
    return;
  }
  // Each piece leaves the caret behind it, where the next one goes.
  for (size_t from = 0; from < text.size();) {
    size_t n = text.size() - from;
    if (readAsOtherThanUtf16(text.data() + from, n)) n = 1;
    const std::wstring piece = text.substr(from, n);
    SendMessageW(richEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set),
                 reinterpret_cast<LPARAM>(piece.c_str()));
    from += n;
  }
}

}  // namespace tavi::win32
