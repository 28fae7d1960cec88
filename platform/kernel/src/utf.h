// UTF-8 and UTF-16 conversion used by the wide-string entry points.
#pragma once

#include <string>
#include <string_view>

#include "win_types.h"

// Both return false on malformed input (unpaired surrogates, bad UTF-8 sequences).
bool Utf16ToUtf8(const WCHAR* text, std::string& out);                 // up to the terminating 0
bool Utf16ToUtf8(std::u16string_view text, std::string& out);
bool Utf8ToUtf16(std::string_view text, std::u16string& out);
