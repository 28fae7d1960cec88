#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "win_file.h"

namespace {

std::string WriteTemp(const char* name, const std::string& bytes) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(FileMappingTest, MapsTheWholeFileReadOnly) {
  const std::string path = WriteTemp("kelvane_map_test.bin", std::string("hello\0world", 11));
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_RANDOM_ACCESS, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  ASSERT_NE(mapping, nullptr);
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(file, &high), 11u);
  EXPECT_EQ(high, 0u);
  // The view outlives its handles, as on the platform.
  EXPECT_TRUE(CloseHandle(mapping));
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_EQ(std::memcmp(view, "hello\0world", 11), 0);
  EXPECT_TRUE(UnmapViewOfFile(view));
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(FileMappingTest, FailuresAreReported) {
  EXPECT_EQ(CreateFileA("/nonexistent/file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(CreateFileA(::testing::TempDir().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);  // a directory is not a file

  const std::string empty = WriteTemp("kelvane_map_empty.bin", "");
  HANDLE file = CreateFileA(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
  EXPECT_EQ(CreateFileMappingA(nullptr, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);  // a file is not a mapping
  CloseHandle(file);
}

TEST(FileMappingTest, WidePathsAreUtf16) {
  const std::string path = WriteTemp("kelvane_地球.bin", "x");
  std::u16string wide;
  for (char c : ::testing::TempDir()) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  wide += u"kelvane_地球.bin";
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 1u);
  CloseHandle(file);
}

}  // namespace
