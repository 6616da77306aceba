#include "foundation/uRegistryStore.h"

#include <algorithm>
#include <utility>

#include "foundation/uUtil.h"

struct tMemRegistry::tNode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  std::vector<std::unique_ptr<tNode>> children;
};

namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerChar(x) == LowerChar(y);
         });
}

// The parts of a key path; false for an empty path or an empty part (as "a\\b" or "\a"), which
// the system registry refuses too.
bool SplitKey(const std::string& key, std::vector<std::string>& parts) {
  parts.clear();
  size_t start = 0;
  for (;;) {
    size_t end = key.find('\\', start);
    std::string part =
        key.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty()) return false;
    parts.push_back(part);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace

tMemRegistry::tMemRegistry() { Clear(); }
tMemRegistry::~tMemRegistry() = default;

void tMemRegistry::Clear() {
  for (auto& r : roots_) r = std::make_unique<tNode>();
}

tMemRegistry::tNode* tMemRegistry::Find(tRegRoot root, const std::string& key, bool create) {
  std::vector<std::string> parts;
  if (!SplitKey(key, parts)) return nullptr;
  tNode* node = roots_[static_cast<int>(root)].get();
  for (auto& part : parts) {
    auto it =
        std::find_if(node->children.begin(), node->children.end(),
                     [&](const std::unique_ptr<tNode>& c) { return SameName(c->name, part); });
    if (it != node->children.end()) {
      node = it->get();
    } else if (create) {
      node->children.push_back(std::make_unique<tNode>());
      node = node->children.back().get();
      node->name = part;
    } else {
      return nullptr;
    }
  }
  return node;
}

bool tMemRegistry::KeyExists(tRegRoot root, const std::string& key) {
  return Find(root, key, false) != nullptr;
}

bool tMemRegistry::ReadValue(tRegRoot root, const std::string& key, const std::string& name,
                             std::string& value) {
  tNode* node = Find(root, key, false);
  if (!node) return false;
  for (auto& v : node->values) {
    if (SameName(v.first, name)) {
      value = v.second;
      return true;
    }
  }
  return false;
}

bool tMemRegistry::WriteValue(tRegRoot root, const std::string& key, const std::string& name,
                              const std::string& value) {
  tNode* node = Find(root, key, true);
  if (!node) return false;
  for (auto& v : node->values) {
    if (SameName(v.first, name)) {
      v.second = value;
      return true;
    }
  }
  node->values.emplace_back(name, value);
  return true;
}

bool tMemRegistry::DeleteValue(tRegRoot root, const std::string& key, const std::string& name) {
  tNode* node = Find(root, key, false);
  if (!node) return false;
  auto it = std::find_if(node->values.begin(), node->values.end(),
                         [&](const auto& v) { return SameName(v.first, name); });
  if (it == node->values.end()) return false;
  node->values.erase(it);
  return true;
}

bool tMemRegistry::Delete(tRegRoot root, const std::string& key, bool tree) {
  size_t cut = key.rfind('\\');
  tNode* parent = cut == std::string::npos ? roots_[static_cast<int>(root)].get()
                                           : Find(root, key.substr(0, cut), false);
  std::string last = cut == std::string::npos ? key : key.substr(cut + 1);
  if (!parent || last.empty()) return false;
  auto it = std::find_if(parent->children.begin(), parent->children.end(),
                         [&](const std::unique_ptr<tNode>& c) { return SameName(c->name, last); });
  if (it == parent->children.end() || (!tree && !(*it)->children.empty())) return false;
  parent->children.erase(it);
  return true;
}

bool tMemRegistry::DeleteKey(tRegRoot root, const std::string& key) {
  return Delete(root, key, false);
}

bool tMemRegistry::DeleteKeyTree(tRegRoot root, const std::string& key) {
  return Delete(root, key, true);
}

bool tMemRegistry::EnumKeys(tRegRoot root, const std::string& key,
                            std::vector<std::string>& names) {
  names.clear();
  tNode* node = Find(root, key, false);
  if (!node) return false;
  for (auto& c : node->children) names.push_back(c->name);
  return true;
}

bool tMemRegistry::EnumValues(tRegRoot root, const std::string& key,
                              std::vector<std::string>& names) {
  names.clear();
  tNode* node = Find(root, key, false);
  if (!node) return false;
  for (auto& v : node->values) names.push_back(v.first);
  return true;
}
