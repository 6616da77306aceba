// The system registry store, checked with the system's own reg.exe.
#include "foundation/uRegistryWin.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "foundation/uPlatform.h"
#include "foundation/uRegistry.h"
#include "framework/Text.h"

namespace {

const std::string kProgram = "C:\\Program Files\\Tavishore\\Tavishore32.exe";

// Runs reg.exe with the arguments; returns its exit code and its output in *out.
DWORD RunReg(const std::string& args, std::string* out = nullptr) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &sa, 0)) return 999;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = write;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring line = Utf8ToWide("reg.exe " + args);
  BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                nullptr, nullptr, &si, &pi);
  CloseHandle(write);
  std::string text;
  char buf[4096];
  DWORD n;
  while (started && ReadFile(read, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
  CloseHandle(read);
  if (!started) return 998;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 997;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  if (out) *out = text;
  return code;
}

class Win32RegistryTest : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    for (const char* k : {".gif", ".jfif", ".jpe", ".jpeg", ".jpg", "GIF_file", "JPEG_file"})
      Win32Registry().DeleteKeyTree(tRegRoot::ClassesRoot, k);
    Win32Registry().DeleteKeyTree(tRegRoot::CurrentUser, "Software\\Tavishore store test");
  }
};

TEST_F(Win32RegistryTest, PlatformHandsOutTheSystemRegistry) {
  EXPECT_EQ(&Platform().Registry(), &Win32Registry());
}

TEST_F(Win32RegistryTest, AssociationsSeenByRegExeAndRemovedAroundAnotherProgramsValue) {
  uint32_t a = 0;
  RegisterFileAssociations(kProgram, false, a, 0x003);
  std::string out;
  ASSERT_EQ(RunReg("query HKCR\\.jpg /ve", &out), 0u);
  EXPECT_NE(out.find("JPEG_file"), std::string::npos) << out;
  ASSERT_EQ(RunReg("query HKCR\\.jpg /v \"Content Type\"", &out), 0u);
  EXPECT_NE(out.find("image/JPEG"), std::string::npos) << out;
  ASSERT_EQ(RunReg("query HKCR\\GIF_file\\shell\\open\\command /ve", &out), 0u);
  EXPECT_NE(out.find("\"" + kProgram + "\" \"%1\""), std::string::npos) << out;

  // Another program adds its own value to ".jpg", and a verb to our class.
  ASSERT_EQ(RunReg("add HKCR\\.jpg /v PerceivedType /d image /f"), 0u);
  ASSERT_EQ(RunReg("add HKCR\\JPEG_file\\shell\\edit\\command /ve /d editor.exe /f"), 0u);
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0x003u);
  RegisterFileAssociations(kProgram, false, a, 0);

  ASSERT_EQ(RunReg("query HKCR\\.jpg /v PerceivedType", &out), 0u);
  EXPECT_NE(out.find("image"), std::string::npos) << out;
  EXPECT_NE(RunReg("query HKCR\\.jpg /v \"Content Type\""), 0u);
  EXPECT_NE(RunReg("query HKCR\\.gif"), 0u);
  EXPECT_NE(RunReg("query HKCR\\.jpeg"), 0u);
  EXPECT_NE(RunReg("query HKCR\\JPEG_file"), 0u);  // deleted with its subkeys
  EXPECT_NE(RunReg("query HKCR\\GIF_file"), 0u);
  RegisterFileAssociations(kProgram, true, a, 0);
  EXPECT_EQ(a, 0u);
}

TEST_F(Win32RegistryTest, ValuesWrittenByRegExeAndKeyDeletes) {
  tRegistryStore& reg = Win32Registry();
  const tRegRoot cu = tRegRoot::CurrentUser;
  const std::string key = "Software\\Tavishore store test";
  ASSERT_EQ(RunReg("add \"HKCU\\" + key + "\" /v Text /d \"a b\" /f"), 0u);
  ASSERT_EQ(RunReg("add \"HKCU\\" + key + "\" /v Number /t REG_DWORD /d 5 /f"), 0u);
  ASSERT_EQ(RunReg("add \"HKCU\\" + key + "\\Deep\\Deeper\" /ve /d x /f"), 0u);
  std::string v;
  EXPECT_TRUE(reg.ReadValue(cu, key, "text", v));
  EXPECT_EQ(v, "a b");
  EXPECT_FALSE(reg.ReadValue(cu, key, "Number", v));  // no text
  EXPECT_EQ(RegReadValue(cu, key, "Number"), "<none>");
  EXPECT_FALSE(reg.ReadValue(cu, key + "\\\\Deep", "", v));
  EXPECT_FALSE(reg.ReadValue(cu, "\\" + key, "", v));

  EXPECT_TRUE(reg.WriteValue(cu,
                             key + "\\\xC3\x9C"
                                   "ber",
                             "N\xC3\xA4me", "W\xC3\xA9rt"));
  ASSERT_EQ(RunReg("query \"HKCU\\" + key + "\" /s"), 0u);
  EXPECT_TRUE(reg.ReadValue(cu,
                            key + "\\\xC3\xBC"
                                  "BER",
                            "n\xC3\xA4me", v));
  EXPECT_EQ(v, "W\xC3\xA9rt");

  EXPECT_FALSE(reg.DeleteKey(cu, key));  // has subkeys
  EXPECT_TRUE(reg.KeyExists(cu, key + "\\Deep\\Deeper"));
  EXPECT_TRUE(reg.DeleteKeyTree(cu, key));
  EXPECT_NE(RunReg("query \"HKCU\\" + key + "\""), 0u);
}

}  // namespace
