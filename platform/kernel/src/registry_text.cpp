#include "registry_text.h"

#include <charconv>

#include "win_registry.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Reads a double-quoted string with \\ and \" escapes from the front of `s`.
bool ReadQuoted(std::string_view& s, std::string& out) {
  if (s.empty() || s.front() != '"') return false;
  out.clear();
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\' && i + 1 < s.size()) {
      out += s[++i];
    } else if (c == '"') {
      s.remove_prefix(i + 1);
      return true;
    } else {
      out += c;
    }
  }
  return false;
}

bool ParseValue(std::string_view text, RegistryValue& value) {
  text = Trim(text);
  constexpr std::string_view kDword = "dword:";
  if (text.substr(0, kDword.size()) == kDword) {
    std::string_view digits = Trim(text.substr(kDword.size()));
    uint32_t number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() || digits.size() > 8) return false;
    value.type = REG_DWORD;
    value.data.assign(reinterpret_cast<const BYTE*>(&number), reinterpret_cast<const BYTE*>(&number) + 4);
    return true;
  }
  std::string str;
  if (!ReadQuoted(text, str) || !Trim(text).empty()) return false;
  value.type = REG_SZ;
  value.data.assign(str.begin(), str.end());
  value.data.push_back(0);
  return true;
}

}  // namespace

std::vector<RegistryEntry> ParseRegistryText(std::string_view text) {
  std::vector<RegistryEntry> entries;
  std::string key;
  bool in_key = false;
  while (!text.empty()) {
    size_t eol = text.find('\n');
    std::string_view line = Trim(text.substr(0, eol));
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      in_key = line.back() == ']' && line.size() > 2;
      if (in_key) key = std::string(line.substr(1, line.size() - 2));
      continue;
    }
    if (!in_key) continue;
    RegistryEntry entry;
    entry.key = key;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else if (!ReadQuoted(line, entry.name)) {
      continue;
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') continue;
    if (!ParseValue(line.substr(1), entry.value)) continue;
    entries.push_back(std::move(entry));
  }
  return entries;
}
