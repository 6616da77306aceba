// Runs twice: in the portable tests against the in-memory registry, and in the Windows registry
// tests against the system registry of the test prefix. Every key the tests use is cleared
// before and after each test.
#include "foundation/uRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"

namespace {

const tRegRoot CR = tRegRoot::ClassesRoot, CU = tRegRoot::CurrentUser, LM = tRegRoot::LocalMachine;
const std::string kProgram = "C:\\Program Files\\Tavishore\\Tavishore32.exe";
const std::string kCommand = "\"C:\\Program Files\\Tavishore\\Tavishore32.exe\" \"%1\"";
const std::string kTestKey = "Software\\Tavishore registry test";
const std::string kEvent = "Tavishore 32 registry test";
const std::string kVersion = "32-bit version 5.10a";

tRegistryStore& Reg() { return Platform().Registry(); }

// Every value under a key, as "path|name=value" lines in a stable order.
void Dump(tRegRoot root, const std::string& key, std::vector<std::string>& out) {
  std::vector<std::string> names;
  if (!Reg().EnumValues(root, key, names)) return;
  for (auto& n : names) {
    std::string v;
    out.push_back(key + "|" + n + "=" + (Reg().ReadValue(root, key, n, v) ? v : "?"));
  }
  Reg().EnumKeys(root, key, names);
  for (auto& n : names) Dump(root, key + "\\" + n, out);
  std::sort(out.begin(), out.end());
}
std::vector<std::string> Dump(tRegRoot root, const std::string& key) {
  std::vector<std::string> out;
  Dump(root, key, out);
  return out;
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    for (const char* k : {".gif", ".jfif", ".jpe", ".jpeg", ".jpg", "GIF_file", "JPEG_file",
                          "Other.jpe", "Other.jpeg", "HtmlDefBrowser"})
      Reg().DeleteKeyTree(CR, k);
    Reg().DeleteKeyTree(CU, kTestKey);
    Reg().DeleteKeyTree(CU, "AppEvents\\EventLabels\\" + kEvent);
    Reg().DeleteKeyTree(CU, "AppEvents\\Schemes\\Apps\\.Default\\" + kEvent);
    Reg().DeleteKeyTree(CU, "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups");
    Reg().DeleteKeyTree(LM,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavishore 32");
    Reg().DeleteKeyTree(LM, MakerKey());
  }
};

TEST_F(RegistryTest, MissingReadsAsNoneAndWritingNoneDeletes) {
  const std::string sub = kTestKey + "\\Sub";
  EXPECT_EQ(RegReadDefault(CU, kTestKey), "<none>");
  EXPECT_EQ(RegReadValue(CU, kTestKey, "a"), "<none>");
  RegWriteValue(CU, kTestKey, "a", "1");
  EXPECT_EQ(RegReadValue(CU, kTestKey, "A"), "1");
  EXPECT_EQ(RegReadValue(CU, kTestKey, "b"), "<none>");
  EXPECT_EQ(RegReadDefault(CU, kTestKey), "");  // the key is there, without a default value
  RegWriteValue(CU, kTestKey, "a", "<none>");
  EXPECT_EQ(RegReadValue(CU, kTestKey, "a"), "<none>");

  RegWriteDefault(CU, sub, "x \xC3\xBC");
  EXPECT_EQ(RegReadDefault(CU, sub), "x \xC3\xBC");
  EXPECT_TRUE(KeyHasSubKeys(CU, kTestKey));
  RegWriteDefault(CU, kTestKey, "<none>");  // refused: the key has a subkey
  EXPECT_EQ(RegReadDefault(CU, sub), "x \xC3\xBC");
  RegWriteDefault(CU, sub, "<none>");
  EXPECT_FALSE(KeyHasSubKeys(CU, kTestKey));
  RegWriteDefault(CU, kTestKey, "<none>");
  EXPECT_EQ(RegReadDefault(CU, kTestKey), "<none>");
}

TEST_F(RegistryTest, AssociationsAreWrittenAndFoundAgain) {
  EXPECT_EQ(OpenCommand(kProgram), kCommand);
  uint32_t a = 0;
  RegisterFileAssociations(kProgram, false, a, 0x003);
  EXPECT_EQ(ClassesRead("GIF_file"), "GIF image");
  EXPECT_EQ(ClassesRead("GIF_file\\DefaultIcon"), kProgram + ",0");
  EXPECT_EQ(ClassesRead("JPEG_file\\shell\\open\\command"), kCommand);
  for (const char* ext : {".jfif", ".jpe", ".jpeg", ".jpg"}) {
    EXPECT_EQ(ClassesRead(ext), "JPEG_file") << ext;
    EXPECT_EQ(RegReadValue(CR, ext, "Content Type"), "image/JPEG") << ext;
  }
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0x003u);
  std::string upper = kProgram;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  RegisterFileAssociations(upper, true, a, 0);
  EXPECT_EQ(a, 0x003u);  // the command compares without regard to case
  RegisterFileAssociations("C:\\Elsewhere\\Tavishore32.exe", true, a, 0);
  EXPECT_EQ(a, 0u);
}

TEST_F(RegistryTest, RowIsAssociatedOnlyWhenEveryExtensionIsOurs) {
  uint32_t a = 0;
  RegisterFileAssociations(kProgram, false, a, 0x003);
  ClassesWrite(".jpe", "Other.jpe");
  ClassesWrite("Other.jpe\\shell\\open\\command", "\"C:\\Other\\other.exe\" \"%1\"");
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0x001u);
  // A class without a command of its own falls back to the extension's command.
  ClassesWrite(".jpe", "Other.jpeg");
  ClassesWrite(".jpe\\shell\\open\\command", kCommand);
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0x003u);
}

TEST_F(RegistryTest, RemovingARowLeavesOtherProgramsSettings) {
  uint32_t a = 0;
  RegisterFileAssociations(kProgram, false, a, 0x003);
  // What other programs set under the same keys.
  RegWriteValue(CR, ".jpg", "PerceivedType", "image");
  RegWriteValue(CR, ".jpg\\OpenWithProgids", "Other.jpg", "");
  ClassesWrite(".jpeg", "Other.jpeg");  // taken over since
  ClassesWriteValue(".jpeg", "Content Type", "image/JPEG");
  ClassesWrite("JPEG_file\\shell\\edit\\command", "editor.exe %1");
  std::vector<std::string> gif = Dump(CR, ".gif"), gifClass = Dump(CR, "GIF_file");

  a = 0x003;
  RegisterFileAssociations(kProgram, false, a, 0x001);
  EXPECT_FALSE(Reg().KeyExists(CR, ".jfif"));
  EXPECT_FALSE(Reg().KeyExists(CR, ".jpe"));
  EXPECT_FALSE(Reg().KeyExists(CR, "JPEG_file"));  // our class goes as a whole
  EXPECT_EQ(Dump(CR, ".jpg"), (std::vector<std::string>{".jpg\\OpenWithProgids|Other.jpg=",
                                                        ".jpg|PerceivedType=image"}));
  EXPECT_EQ(Dump(CR, ".jpeg"),
            (std::vector<std::string>{".jpeg|=Other.jpeg", ".jpeg|Content Type=image/JPEG"}));
  EXPECT_EQ(Dump(CR, ".gif"), gif);
  EXPECT_EQ(Dump(CR, "GIF_file"), gifClass);
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0x001u);
}

TEST_F(RegistryTest, ProgramKeysAndUninstall) {
  const std::string product = "Tavishore 32";
  EXPECT_EQ(MakerKey(), "SOFTWARE\\Halvorn Softworks");
  EXPECT_EQ(ProductKey(product), "SOFTWARE\\Halvorn Softworks\\Tavishore 32");
  EXPECT_EQ(VersionKey(product, kVersion), "SOFTWARE\\Halvorn Softworks\\Tavishore 32\\5.1.0.1");
  EXPECT_EQ(ReadInstalledVersion(product), "");

  const std::string uninstall =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
  auto install = [&] {
    RegWriteDefault(LM, ProductKey(product), kVersion);
    RegWriteDefault(LM, ProductKey(product) + "\\shell\\open\\command", kCommand);
    for (const char* v : {"installed", "installed to", "user", "user company"})
      RegWriteValue(LM, VersionKey(product, kVersion), v, "x");
    RegWriteValue(LM, uninstall, "DisplayName", product);
    RegWriteValue(LM, uninstall, "UninstallString", "uninstall.exe");
  };
  install();
  RegWriteDefault(LM, ProductKey("Other Tool"), "1.0");  // another program of the maker
  EXPECT_EQ(ReadInstalledVersion(product), kVersion);
  RemoveInstallEntries(product, kVersion);
  EXPECT_FALSE(Reg().KeyExists(LM, uninstall));
  EXPECT_FALSE(Reg().KeyExists(LM, ProductKey(product)));
  EXPECT_EQ(ReadInstalledVersion(product), "");
  EXPECT_EQ(ReadInstalledVersion("Other Tool"), "1.0");  // the maker key stays for it

  Reg().DeleteKeyTree(LM, ProductKey("Other Tool"));
  install();
  RegWriteDefault(LM, ProductKey(product) + "\\Plugins", "kept");
  RemoveInstallEntries(product, kVersion);
  EXPECT_EQ(Dump(LM, MakerKey()),
            (std::vector<std::string>{"SOFTWARE\\Halvorn Softworks\\Tavishore 32\\Plugins|=kept",
                                      "SOFTWARE\\Halvorn Softworks\\Tavishore 32|="}));
  Reg().DeleteKeyTree(LM, ProductKey(product) + "\\Plugins");
  RemoveInstallEntries(product, kVersion);
  EXPECT_FALSE(Reg().KeyExists(LM, MakerKey()));
}

TEST_F(RegistryTest, SoundEventAddedAndRemovedWhole) {
  const std::string label = "AppEvents\\EventLabels\\" + kEvent;
  const std::string scheme = "AppEvents\\Schemes\\Apps\\.Default\\" + kEvent;
  RegisterSoundEvent(kEvent, "C:\\Sounds\\ding.wav");
  EXPECT_EQ(RegReadDefault(CU, label), kEvent);
  EXPECT_EQ(RegReadDefault(CU, scheme + "\\.current"), "C:\\Sounds\\ding.wav");
  RegWriteDefault(CU, scheme + "\\My scheme", "C:\\Sounds\\other.wav");
  RegisterSoundEvent(kEvent, "");
  EXPECT_EQ(RegReadDefault(CU, label), "<none>");
  EXPECT_FALSE(Reg().KeyExists(CU, scheme));
}

TEST_F(RegistryTest, ShellValues) {
  EXPECT_EQ(GetDefaultBrowserCommand(), "<none>");
  EXPECT_EQ(GetQuickLaunchFolder(), "");
  ClassesWrite("HtmlDefBrowser\\shell\\open\\command", "browser.exe \"%1\"");
  RegWriteValue(CU, "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
                "Quick Launch", "C:\\Quick Launch");
  EXPECT_EQ(GetDefaultBrowserCommand(), "browser.exe \"%1\"");
  EXPECT_EQ(GetQuickLaunchFolder(), "C:\\Quick Launch");
}

}  // namespace
