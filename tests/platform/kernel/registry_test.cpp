#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "win_registry.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { KernelTestResetRegistry(nullptr); }

  // Writes `text` to a file the registry loads on its next use.
  void UseFile(const std::string& text) {
    path_ = ::testing::TempDir() + "kelvane_registry_test.reg";
    std::ofstream(path_) << text;
    KernelTestResetRegistry(path_.c_str());
  }

  static LONG QueryDword(const char* key, const char* name, DWORD& value) {
    HKEY h{};
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD type = 0, size = sizeof(value);
    LONG rc = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (rc == ERROR_SUCCESS) {
      EXPECT_EQ(type, REG_DWORD);
    }
    RegCloseKey(h);
    return rc;
  }

  std::string path_;
};

TEST_F(RegistryTest, LoadsValuesFromTheMachineFile) {
  UseFile(
      "; Kelvane registry\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Direct3D]\n"
      "\"DisableMMX\"=dword:00000001\n"
      "\"DisableGxPSGP\"=dword:0000000a\r\n"
      "\"Name\"=\"quoted \\\"text\\\"\"\n"
      "\"Broken\"=dword:zz\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
      "\"DisableMMX\"=dword:00000007\n");
  DWORD value = 0;
  ASSERT_EQ(QueryDword("Software\\Direct3D", "DisableMMX", value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(QueryDword("software\\DIRECT3D\\", "disablegxpsgp", value), ERROR_SUCCESS);  // names ignore case
  EXPECT_EQ(value, 10u);
  EXPECT_EQ(QueryDword("Software\\Direct3D", "Broken", value), ERROR_FILE_NOT_FOUND);  // malformed line skipped

  HKEY h{};
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_READ, &h), ERROR_SUCCESS);
  char text[8];
  DWORD size = sizeof(text), type = 0;
  EXPECT_EQ(RegQueryValueExA(h, "Name", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 14u);  // 'quoted "text"' and its terminating 0
  char big[32];
  size = sizeof(big);
  ASSERT_EQ(RegQueryValueExA(h, "Name", nullptr, &type, reinterpret_cast<BYTE*>(big), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(big, "quoted \"text\"");
  RegCloseKey(h);
}

TEST_F(RegistryTest, MissingFileMeansNoValues) {
  KernelTestResetRegistry("/nonexistent/kelvane/registry");
  DWORD value = 0;
  EXPECT_EQ(QueryDword("Software\\Direct3D", "DisableMMX", value), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, SetQueryAndDeleteThroughTheSameCalls) {
  KernelTestResetRegistry(nullptr);
  HKEY h{};
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExA(h, "DisableMMX", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, "Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 2), ERROR_INVALID_PARAMETER);
  DWORD value = 0;
  EXPECT_EQ(QueryDword("Software\\Direct3D", "DisableMMX", value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(RegDeleteValueA(h, "DisableMMX"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(h, "DisableMMX"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(QueryDword("Software\\Direct3D", "DisableMMX", value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);  // closed handles are refused
  EXPECT_EQ(RegQueryValueExA(h, "DisableMMX", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
}

}  // namespace
