// Code-page conversion. The 8-bit ("A") code page of this platform is UTF-8, so
// CP_ACP and CP_UTF8 both mean UTF-8.
#pragma once

#include "win_types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

// As on the platform: a length of -1 includes the terminating 0; an output
// size of 0 asks for the needed size; too small an output fails with
// ERROR_INSUFFICIENT_BUFFER; malformed input fails (ERROR_NO_UNICODE_TRANSLATION).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int outSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int outSize,
                        LPCSTR defaultChar, BOOL* usedDefault);

constexpr LONG ERROR_INSUFFICIENT_BUFFER = 122;
constexpr LONG ERROR_NO_UNICODE_TRANSLATION = 1113;
