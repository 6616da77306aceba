#include "foundation/uRegistryWin.h"

#include <windows.h>

#include "framework/Text.h"

namespace {

HKEY RootKey(tRegRoot root) {
  switch (root) {
    case tRegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case tRegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case tRegRoot::LocalMachine:
      break;
  }
  return HKEY_LOCAL_MACHINE;
}

// An empty path or an empty part would open the root itself or fail oddly: refused, as by the
// in-memory store.
bool ValidPath(const std::string& key) {
  return !key.empty() && key.front() != '\\' && key.back() != '\\' &&
         key.find("\\\\") == std::string::npos;
}

class tKey {
 public:
  tKey(tRegRoot root, const std::string& key, REGSAM access) {
    if (ValidPath(key) &&
        RegOpenKeyExW(RootKey(root), Utf8ToWide(key).c_str(), 0, access, &h_) != ERROR_SUCCESS)
      h_ = nullptr;
  }
  ~tKey() {
    if (h_) RegCloseKey(h_);
  }
  tKey(const tKey&) = delete;
  tKey& operator=(const tKey&) = delete;
  HKEY get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HKEY h_ = nullptr;
};

// Subkey names of an open key.
bool SubKeyNames(HKEY key, std::vector<std::wstring>& names) {
  names.clear();
  wchar_t name[256];  // key names are at most 255 characters
  for (DWORD i = 0;; ++i) {
    DWORD n = 256;
    LONG rc = RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return true;
    if (rc != ERROR_SUCCESS) return false;
    names.emplace_back(name, n);
  }
}

// Deletes everything below the key, then the key; works where RegDeleteTree is missing.
bool DeleteTree(HKEY parent, const std::wstring& name) {
  HKEY key;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
    return false;
  std::vector<std::wstring> children;
  bool ok = SubKeyNames(key, children);
  for (auto& child : children) ok = DeleteTree(key, child) && ok;
  RegCloseKey(key);
  return RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS && ok;
}

class tWin32Registry : public tRegistryStore {
 public:
  bool KeyExists(tRegRoot root, const std::string& key) override {
    return static_cast<bool>(tKey(root, key, KEY_READ));
  }

  bool ReadValue(tRegRoot root, const std::string& key, const std::string& name,
                 std::string& value) override {
    tKey k(root, key, KEY_READ);
    if (!k) return false;
    std::wstring wname = Utf8ToWide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
      return false;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(k.get(), wname.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
      return false;
    data.resize(got / sizeof(wchar_t));
    // The stored text may or may not end with its NUL.
    while (!data.empty() && data.back() == L'\0') data.pop_back();
    value = WideToUtf8(data);
    return true;
  }

  bool WriteValue(tRegRoot root, const std::string& key, const std::string& name,
                  const std::string& value) override {
    if (!ValidPath(key)) return false;
    HKEY k;
    if (RegCreateKeyExW(RootKey(root), Utf8ToWide(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &k, nullptr) != ERROR_SUCCESS)
      return false;
    std::wstring data = Utf8ToWide(value);
    LONG rc = RegSetValueExW(k, Utf8ToWide(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
  }

  bool DeleteValue(tRegRoot root, const std::string& key, const std::string& name) override {
    tKey k(root, key, KEY_WRITE);
    return k && RegDeleteValueW(k.get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
  }

  bool DeleteKey(tRegRoot root, const std::string& key) override {
    if (!ValidPath(key)) return false;
    // RegDeleteKey refuses a key with subkeys on the NT family; the 9x family would take them
    // along, so they are checked here to behave the same everywhere.
    {
      tKey k(root, key, KEY_READ);
      std::vector<std::wstring> children;
      if (!k || !SubKeyNames(k.get(), children) || !children.empty()) return false;
    }
    return RegDeleteKeyW(RootKey(root), Utf8ToWide(key).c_str()) == ERROR_SUCCESS;
  }

  bool DeleteKeyTree(tRegRoot root, const std::string& key) override {
    if (!ValidPath(key)) return false;
    std::wstring path = Utf8ToWide(key);
    size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) return DeleteTree(RootKey(root), path);
    HKEY parent;
    if (RegOpenKeyExW(RootKey(root), path.substr(0, cut).c_str(), 0, KEY_READ | KEY_WRITE,
                      &parent) != ERROR_SUCCESS)
      return false;
    bool ok = DeleteTree(parent, path.substr(cut + 1));
    RegCloseKey(parent);
    return ok;
  }

  bool EnumKeys(tRegRoot root, const std::string& key, std::vector<std::string>& names) override {
    names.clear();
    tKey k(root, key, KEY_READ);
    std::vector<std::wstring> wide;
    if (!k || !SubKeyNames(k.get(), wide)) return false;
    for (auto& w : wide) names.push_back(WideToUtf8(w));
    return true;
  }

  bool EnumValues(tRegRoot root, const std::string& key, std::vector<std::string>& names) override {
    names.clear();
    tKey k(root, key, KEY_READ);
    if (!k) return false;
    wchar_t name[16384];  // value names are at most 16383 characters
    for (DWORD i = 0;; ++i) {
      DWORD n = 16384;
      LONG rc = RegEnumValueW(k.get(), i, name, &n, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) return true;
      if (rc != ERROR_SUCCESS) return false;
      names.push_back(WideToUtf8(std::wstring(name, n)));
    }
  }
};

}  // namespace

tRegistryStore& Win32Registry() {
  static tWin32Registry registry;
  return registry;
}
