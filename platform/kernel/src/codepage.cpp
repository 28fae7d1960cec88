#include <string>

#include "utf.h"
#include "win_codepage.h"
#include "win_file.h"

namespace {
bool SupportedCodePage(UINT codePage) { return codePage == CP_ACP || codePage == CP_UTF8; }

template <typename Char>
size_t TextLength(const Char* text, int length) {
  if (length >= 0) return static_cast<size_t>(length);
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n + 1;  // the terminating 0 is converted too
}

template <typename Out>
int Deliver(const Out& converted, typename Out::value_type* out, int outSize) {
  if (outSize == 0) return static_cast<int>(converted.size());
  if (out == nullptr || static_cast<size_t>(outSize) < converted.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(converted.begin(), converted.end(), out);
  return static_cast<int>(converted.size());
}
}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR out, int outSize) {
  if (!SupportedCodePage(codePage) || text == nullptr || length < -1 || outSize < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string wide;
  if (!Utf8ToUtf16(std::string_view(text, TextLength(text, length)), wide)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return Deliver(wide, out, outSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR text, int length, LPSTR out, int outSize, LPCSTR,
                        BOOL* usedDefault) {
  if (!SupportedCodePage(codePage) || text == nullptr || length < -1 || outSize < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (usedDefault) *usedDefault = FALSE;
  std::string narrow;
  if (!Utf16ToUtf8(std::u16string_view(text, TextLength(text, length)), narrow)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return Deliver(narrow, out, outSize);
}
