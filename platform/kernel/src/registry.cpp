#include "win_registry.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "registry_text.h"

namespace {

struct OpenKey {
  std::string path;  // folded root and sub-key, e.g. "hkey_local_machine\software\direct3d"
};

struct RegistryState {
  std::mutex mutex;
  bool loaded = false;
  std::optional<std::string> source = std::string(kRegistryFilePath);
  std::map<std::string, std::map<std::string, RegistryValue>> keys;  // folded key path -> folded value name
  std::vector<std::unique_ptr<OpenKey>> open;
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

std::string Fold(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

const char* RootName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "hkey_classes_root";
  if (root == HKEY_CURRENT_USER) return "hkey_current_user";
  if (root == HKEY_LOCAL_MACHINE) return "hkey_local_machine";
  if (root == HKEY_USERS) return "hkey_users";
  return nullptr;
}

// Joins path pieces with single backslashes, dropping empty pieces.
std::string NormalizePath(std::string_view path) {
  std::string out;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('\\', i);
    if (j == std::string_view::npos) j = path.size();
    if (j > i) {
      if (!out.empty()) out += '\\';
      out += path.substr(i, j - i);
    }
    i = j + 1;
  }
  return Fold(out);
}

void LoadIfNeeded(RegistryState& s) {
  if (s.loaded) return;
  s.loaded = true;
  if (!s.source) return;
  std::ifstream in(*s.source, std::ios::binary);
  if (!in) return;  // no file: no values
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (auto& entry : ParseRegistryText(text)) {
    s.keys[NormalizePath(entry.key)][Fold(entry.name)] = std::move(entry.value);
  }
}

// Finds the key path of an open handle or predefined root; null when the handle is not valid.
const std::string* KeyPath(RegistryState& s, HKEY key, std::string& scratch) {
  if (const char* root = RootName(key)) {
    scratch = root;
    return &scratch;
  }
  for (const auto& open : s.open) {
    if (reinterpret_cast<HKEY>(open.get()) == key) return &open->path;
  }
  return nullptr;
}

}  // namespace

LONG RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  std::string scratch;
  const std::string* base = KeyPath(s, root, scratch);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  auto key = std::make_unique<OpenKey>();
  key->path = NormalizePath(*base + "\\" + (subKey ? subKey : ""));
  *result = reinterpret_cast<HKEY>(key.get());
  s.open.push_back(std::move(key));
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (RootName(key)) return ERROR_SUCCESS;
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  auto it = std::find_if(s.open.begin(), s.open.end(),
                         [key](const auto& open) { return reinterpret_cast<HKEY>(open.get()) == key; });
  if (it == s.open.end()) return ERROR_INVALID_HANDLE;
  s.open.erase(it);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  std::string scratch;
  const std::string* path = KeyPath(s, key, scratch);
  if (path == nullptr) return ERROR_INVALID_HANDLE;
  LoadIfNeeded(s);
  auto k = s.keys.find(*path);
  if (k == s.keys.end()) return ERROR_FILE_NOT_FOUND;
  auto v = k->second.find(Fold(valueName ? valueName : ""));
  if (v == k->second.end()) return ERROR_FILE_NOT_FOUND;
  const RegistryValue& value = v->second;
  if (type) *type = value.type;
  const DWORD needed = static_cast<DWORD>(value.data.size());
  if (data != nullptr) {
    if (*size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    std::copy(value.data.begin(), value.data.end(), data);
  }
  if (size) *size = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
  if (type == REG_DWORD && size != sizeof(DWORD)) return ERROR_INVALID_PARAMETER;
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  std::string scratch;
  const std::string* path = KeyPath(s, key, scratch);
  if (path == nullptr) return ERROR_INVALID_HANDLE;
  LoadIfNeeded(s);
  RegistryValue value{type, std::vector<BYTE>(data, data + size)};
  s.keys[*path][Fold(valueName ? valueName : "")] = std::move(value);
  return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  std::string scratch;
  const std::string* path = KeyPath(s, key, scratch);
  if (path == nullptr) return ERROR_INVALID_HANDLE;
  LoadIfNeeded(s);
  auto k = s.keys.find(*path);
  if (k == s.keys.end() || k->second.erase(Fold(valueName ? valueName : "")) == 0) return ERROR_FILE_NOT_FOUND;
  return ERROR_SUCCESS;
}

void KernelTestResetRegistry(const char* path) {
  RegistryState& s = State();
  std::lock_guard lock(s.mutex);
  s.keys.clear();
  s.loaded = false;
  s.source = path ? std::optional<std::string>(path) : std::nullopt;
}
