#include "foundation/uRegistry.h"

#include <algorithm>
#include <vector>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "resources/uResStrings.h"

namespace {

tRegistryStore& Store() { return Platform().Registry(); }

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return LowerChar(x) == LowerChar(y);
         });
}

std::vector<std::string> ExtensionsOf(const tAssociation& row) {
  std::vector<std::string> exts;
  for (int i = 1, n = WordCount(row.Extensions); i <= n; ++i)
    exts.push_back(GetWord(row.Extensions, i));
  return exts;
}

std::string DotKey(const std::string& ext) { return Format(".%s", {ext}); }

bool IsOurs(const std::string& ext, const std::string& command) {
  std::string cls = ClassesRead(DotKey(ext));
  if (cls == kRegNone) return false;
  std::string cmd = ClassesRead(cls + "\\shell\\open\\command");
  if (cmd == kRegNone) cmd = ClassesRead(Format(".%s%s", {ext, "\\shell\\open\\command"}));
  return SameText(cmd, command);
}

// Takes back what the row wrote under ".ext" as long as the extension still names our class:
// the default value and our content type. Other programs' values and subkeys stay, and so does
// the key while anything is left in it.
void RemoveExtension(const std::string& ext, const tAssociation& row) {
  tRegistryStore& reg = Store();
  std::string key = DotKey(ext);
  std::string cls;
  if (!reg.ReadValue(tRegRoot::ClassesRoot, key, "", cls) || !SameText(cls, row.ClassName)) return;
  reg.DeleteValue(tRegRoot::ClassesRoot, key, "");
  std::string type;
  if (row.ContentType && reg.ReadValue(tRegRoot::ClassesRoot, key, "Content Type", type) &&
      type == row.ContentType)
    reg.DeleteValue(tRegRoot::ClassesRoot, key, "Content Type");
  std::vector<std::string> values, keys;
  if (reg.EnumValues(tRegRoot::ClassesRoot, key, values) && values.empty() &&
      reg.EnumKeys(tRegRoot::ClassesRoot, key, keys) && keys.empty())
    reg.DeleteKey(tRegRoot::ClassesRoot, key);
}

void AddRow(const std::string& program, const tAssociation& row) {
  std::string cls = row.ClassName;
  ClassesWrite(cls, row.Description);
  ClassesWrite(Format("%s\\DefaultIcon", {cls}), Format("%s,%d", {program, row.IconIndex}));
  ClassesWrite(cls + "\\shell\\open\\command", OpenCommand(program));
  for (auto& ext : ExtensionsOf(row)) {
    ClassesWrite(DotKey(ext), cls);
    if (row.ContentType) ClassesWriteValue(DotKey(ext), "Content Type", row.ContentType);
  }
}

void RemoveRow(const tAssociation& row) {
  for (auto& ext : ExtensionsOf(row)) RemoveExtension(ext, row);
  // The class key is ours; on the NT family a plain delete would leave it with its subkeys.
  Store().DeleteKeyTree(tRegRoot::ClassesRoot, row.ClassName);
}

}  // namespace

const tAssociation Associations[kAssociationCount] = {
    {"GIF image", "GIF_file", "gif", "image/GIF", 0},
    {"JPEG image", "JPEG_file", "jfif jpe jpeg jpg", "image/JPEG", 0},
    {"BMP image", "BMP_file", "bmp", nullptr, 0},
    {"PCX image", "PCX_file", "pcx", nullptr, 0},
    {"TGA image", "TGA_file", "tga", nullptr, 0},
    {"TIFF image", "TIFF_file", "tif tiff", "image/TIFF", 0},
    {"PNG image", "PNG_file", "png", nullptr, 0},
    {"Wave Sound", "WAV_file", "wav wave", "audio/WAV", 3},
    {"MIDI Sequence", "MID_file", "mid midi rmi", nullptr, 2},
    {"Movie Clip (AVI)", "AVI_file", "avi", "video/AVI", 1},
    {"Movie Clip (MOV)", "MOV_file", "qt mov", "video/QuickTime", 1},
    {"Movie Clip (MPEG)", "MPEG_file", "mpg mpe mpeg", "video/MPEG", 1},
};

std::string RegReadDefault(tRegRoot root, const std::string& key) {
  std::string value;
  if (Store().ReadValue(root, key, "", value)) return value;
  return Store().KeyExists(root, key) ? std::string() : kRegNone;
}

std::string RegReadValue(tRegRoot root, const std::string& key, const std::string& name) {
  std::string value;
  return Store().ReadValue(root, key, name, value) ? value : kRegNone;
}

void RegWriteDefault(tRegRoot root, const std::string& key, const std::string& value) {
  if (value == kRegNone)
    Store().DeleteKey(root, key);
  else
    Store().WriteValue(root, key, "", value);
}

void RegWriteValue(tRegRoot root, const std::string& key, const std::string& name,
                   const std::string& value) {
  if (value == kRegNone)
    Store().DeleteValue(root, key, name);
  else
    Store().WriteValue(root, key, name, value);
}

bool KeyHasSubKeys(tRegRoot root, const std::string& key) {
  std::vector<std::string> names;
  return Store().EnumKeys(root, key, names) && !names.empty();
}

std::string ClassesRead(const std::string& key) {
  return RegReadDefault(tRegRoot::ClassesRoot, key);
}

void ClassesWrite(const std::string& key, const std::string& value) {
  RegWriteDefault(tRegRoot::ClassesRoot, key, value);
}

void ClassesWriteValue(const std::string& key, const std::string& name, const std::string& value) {
  RegWriteValue(tRegRoot::ClassesRoot, key, name, value);
}

std::string OpenCommand(const std::string& program) {
  return Format(LoadResString(sOpenCommand), {program});
}

void RegisterFileAssociations(const std::string& program, bool query, uint32_t& a, uint32_t b) {
  if (query) {
    std::string command = OpenCommand(program);
    a = 0;
    for (int i = 0; i < kAssociationCount; ++i) {
      auto exts = ExtensionsOf(Associations[i]);
      bool all = std::all_of(exts.begin(), exts.end(),
                             [&](const std::string& ext) { return IsOurs(ext, command); });
      if (all) a |= 1u << i;
    }
    return;
  }
  if (a == b) return;
  for (int i = 0; i < kAssociationCount; ++i) {
    uint32_t bit = 1u << i;
    if ((a & bit) == (b & bit)) continue;
    if (a & bit)
      RemoveRow(Associations[i]);
    else
      AddRow(program, Associations[i]);
  }
}

std::string GetDefaultBrowserCommand() {
  return ClassesRead("HtmlDefBrowser\\shell\\open\\command");
}

std::string GetQuickLaunchFolder() {
  std::string folder = RegReadValue(
      tRegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
      "Quick Launch");
  return folder == kRegNone ? std::string() : folder;
}

std::string MakerKey() { return Format("SOFTWARE\\%s", {LoadResString(sMakerName)}); }

std::string ProductKey(const std::string& product) {
  return Format("%s\\%s", {MakerKey(), product});
}

std::string VersionKey(const std::string& product, const std::string& versionText) {
  return Format("%s\\%s", {ProductKey(product), VersionNumberText(versionText)});
}

std::string ReadInstalledVersion(const std::string& product) {
  std::string version = RegReadDefault(tRegRoot::LocalMachine, ProductKey(product));
  return version == kRegNone ? std::string() : version;
}

void RemoveInstallEntries(const std::string& product, const std::string& versionText) {
  const tRegRoot lm = tRegRoot::LocalMachine;
  std::string uninstall =
      Format("%s\\%s", {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", product});
  RegWriteValue(lm, uninstall, "DisplayName", kRegNone);
  RegWriteValue(lm, uninstall, "UninstallString", kRegNone);
  Store().DeleteKey(lm, uninstall);

  std::string productKey = ProductKey(product);
  Store().DeleteKey(lm, productKey + "\\shell\\open\\command");
  Store().DeleteKey(lm, productKey + "\\shell\\open");
  Store().DeleteKey(lm, productKey + "\\shell");

  std::string versionKey = VersionKey(product, versionText);
  for (const char* name : {"installed", "installed to", "user", "user company"})
    RegWriteValue(lm, versionKey, name, kRegNone);
  Store().DeleteKey(lm, versionKey);

  // Keys that other programs of the maker still use keep their subkeys and survive.
  if (Store().KeyExists(lm, productKey)) Store().WriteValue(lm, productKey, "", "");
  if (!KeyHasSubKeys(lm, productKey)) Store().DeleteKey(lm, productKey);
  if (!KeyHasSubKeys(lm, MakerKey())) Store().DeleteKey(lm, MakerKey());
}

void RegisterSoundEvent(const std::string& event, const std::string& waveFile) {
  const tRegRoot cu = tRegRoot::CurrentUser;
  std::string label = "AppEvents\\EventLabels\\" + event;
  std::string scheme = "AppEvents\\Schemes\\Apps\\.Default\\" + event;
  if (!waveFile.empty() && waveFile != kRegNone) {
    RegWriteDefault(cu, label, event);
    RegWriteDefault(cu, scheme + "\\.current", waveFile);
    return;
  }
  RegWriteDefault(cu, label, kRegNone);
  RegWriteDefault(cu, scheme + "\\.current", kRegNone);
  // The event's key is ours alone: taken as a whole, so a scheme saved under it does not keep it.
  Store().DeleteKeyTree(cu, scheme);
}
