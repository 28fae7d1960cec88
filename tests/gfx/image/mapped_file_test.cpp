#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "gfx/image/gx_image.h"
#include "gfx/image/mapped_file.h"

namespace {

std::string WriteTemp(const char* name, const std::string& bytes) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void ExpectClosed(const MappedFile& file) {
  EXPECT_EQ(file.file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(file.mapping, INVALID_HANDLE_VALUE);
  EXPECT_EQ(file.view, nullptr);
  EXPECT_EQ(file.size, 0u);
}

TEST(MappedFileTest, MapsTheWholeFileThroughEitherPathForm) {
  const std::string path = WriteTemp("kelvane_mapped_\xE5\x9C\xB0\xE7\x90\x83.bin", std::string("BM\0xyz", 6));
  std::u16string wide;
  for (char c : std::string(::testing::TempDir() + "kelvane_mapped_")) wide.push_back(static_cast<char16_t>(c));
  wide += u"\u5730\u7403.bin";

  for (BOOL isWide : {FALSE, TRUE}) {
    SCOPED_TRACE(isWide);
    MappedFile file;
    ASSERT_EQ(file.Open(isWide ? static_cast<const void*>(wide.c_str()) : path.c_str(), isWide), S_OK);
    ASSERT_EQ(file.size, 6u);
    EXPECT_EQ(std::memcmp(file.view, "BM\0xyz", 6), 0);
    file.Close();
    ExpectClosed(file);
    file.Close();  // twice is harmless
    ExpectClosed(file);
  }
}

TEST(MappedFileTest, FailuresReleaseWhatWasAcquired) {
  MappedFile file;
  EXPECT_EQ(file.Open(nullptr, FALSE), D3DERR_INVALIDCALL);
  EXPECT_EQ(file.Open("/nonexistent/kelvane.bmp", FALSE), GXERR_INVALID_DATA);
  file.Close();
  ExpectClosed(file);

  // An empty file opens but cannot be mapped; Close releases the open file.
  const std::string empty = WriteTemp("kelvane_mapped_empty.bin", "");
  EXPECT_EQ(file.Open(empty.c_str(), FALSE), GXERR_INVALID_DATA);
  EXPECT_NE(file.file, INVALID_HANDLE_VALUE);
  file.Close();
  ExpectClosed(file);
}

TEST(MappedFileTest, CloseOnANeverOpenedObjectDoesNothing) {
  MappedFile file;
  file.Close();
  ExpectClosed(file);
}

}  // namespace
