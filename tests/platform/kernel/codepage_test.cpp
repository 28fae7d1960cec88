#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win_codepage.h"
#include "win_file.h"

namespace {

TEST(CodePageTest, JapaneseRoundTripsThroughUtf16) {
  const char* text = "地球 orbit 🛰";
  const int wide_len = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  ASSERT_EQ(wide_len, 12);  // 3 + 7 + 2 (surrogate pair), with the terminating 0
  std::u16string wide(wide_len, u'\0');
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wide_len), wide_len);
  EXPECT_EQ(wide[0], u'地');
  char back[64];
  ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, back, sizeof(back), nullptr, nullptr),
            static_cast<int>(std::strlen(text)) + 1);
  EXPECT_STREQ(back, text);
}

TEST(CodePageTest, RejectsMalformedInputAndSmallBuffers) {
  WCHAR out[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xE5\x9C", 2, out, 4), 0);  // cut-short sequence
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC0\x80", 2, out, 4), 0);  // overlong encoding
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", 6, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  const WCHAR lone[] = {0xD800, 0};
  char narrow[8];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, narrow, 8, nullptr, nullptr), 0);
}

}  // namespace
