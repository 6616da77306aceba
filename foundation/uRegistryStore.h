// The registry as the program uses it: keys named by backslash paths under three roots, holding
// string values ("" names a key's default value). Names compare without regard to ASCII case.
// The Win32 store works on the system registry (foundation/uRegistryWin.cpp); the in-memory
// store serves native tests and any platform without a registry.
#pragma once
#include <memory>
#include <string>
#include <vector>

enum class tRegRoot { ClassesRoot, CurrentUser, LocalMachine };

class tRegistryStore {
 public:
  virtual ~tRegistryStore() = default;
  virtual bool KeyExists(tRegRoot root, const std::string& key) = 0;
  // False when the key or the value is missing, or the value holds no text.
  virtual bool ReadValue(tRegRoot root, const std::string& key, const std::string& name,
                         std::string& value) = 0;
  // Creates the key (and the keys above it) when needed.
  virtual bool WriteValue(tRegRoot root, const std::string& key, const std::string& name,
                          const std::string& value) = 0;
  virtual bool DeleteValue(tRegRoot root, const std::string& key, const std::string& name) = 0;
  // Deletes a key with its values; fails when it has subkeys, as on the NT family.
  virtual bool DeleteKey(tRegRoot root, const std::string& key) = 0;
  // Deletes a key with everything below it.
  virtual bool DeleteKeyTree(tRegRoot root, const std::string& key) = 0;
  // The names of a key's subkeys or values; false when the key does not exist.
  virtual bool EnumKeys(tRegRoot root, const std::string& key, std::vector<std::string>& names) = 0;
  virtual bool EnumValues(tRegRoot root, const std::string& key,
                          std::vector<std::string>& names) = 0;
};

// A registry held in memory.
class tMemRegistry : public tRegistryStore {
 public:
  tMemRegistry();
  ~tMemRegistry() override;
  bool KeyExists(tRegRoot root, const std::string& key) override;
  bool ReadValue(tRegRoot root, const std::string& key, const std::string& name,
                 std::string& value) override;
  bool WriteValue(tRegRoot root, const std::string& key, const std::string& name,
                  const std::string& value) override;
  bool DeleteValue(tRegRoot root, const std::string& key, const std::string& name) override;
  bool DeleteKey(tRegRoot root, const std::string& key) override;
  bool DeleteKeyTree(tRegRoot root, const std::string& key) override;
  bool EnumKeys(tRegRoot root, const std::string& key, std::vector<std::string>& names) override;
  bool EnumValues(tRegRoot root, const std::string& key, std::vector<std::string>& names) override;
  // Empties every root.
  void Clear();

 private:
  struct tNode;
  tNode* Find(tRegRoot root, const std::string& key, bool create);
  bool Delete(tRegRoot root, const std::string& key, bool tree);
  std::unique_ptr<tNode> roots_[3];
};
