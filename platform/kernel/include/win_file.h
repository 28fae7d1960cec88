// Files and read-only file mapping.
#pragma once

#include "win_types.h"

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr LONG ERROR_FILE_INVALID = 1006;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// Only reading is supported: GENERIC_READ with OPEN_EXISTING. Other requests
// fail with ERROR_ACCESS_DENIED. Paths are UTF-8 (A) or UTF-16 (W).
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
// Low 32 bits of the size; the high half goes to *sizeHigh when given.
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL CloseHandle(HANDLE object);

// A read-only mapping of the whole file (PAGE_READONLY, sizes 0). An empty
// file cannot be mapped (null, ERROR_FILE_INVALID).
HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security, DWORD protect, DWORD sizeHigh, DWORD sizeLow,
                          LPCSTR name);
// Maps the whole mapping (FILE_MAP_READ, offset 0; bytes 0 for all of it).
LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(LPCVOID base);

DWORD GetLastError();
void SetLastError(DWORD error);
