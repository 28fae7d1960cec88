// Parsing of the registry's text form (see win_registry.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "win_types.h"

struct RegistryValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct RegistryEntry {
  std::string key;   // as written between the brackets
  std::string name;  // value name, empty for the default value ("@")
  RegistryValue value;
};

// Reads every well-formed value line; malformed lines and values outside any
// key section are skipped, so a damaged file never stops the program.
std::vector<RegistryEntry> ParseRegistryText(std::string_view text);
