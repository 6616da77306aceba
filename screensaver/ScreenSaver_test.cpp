// The screen saver program started as the system starts it, in each mode, with the main
// program registered under its open command (a stand-in that records its command line), and
// the password libraries replaced by stand-ins where the system has none.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "screensaver/ScreenSaverWindow.h"
#include "screensaver/uSaverSystem.h"
#include "tests/TestSupport.h"
#include "thumbnails/ShowTestFiles_test.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kCommandKey[] = L"SOFTWARE\\Halvorn Softworks\\Tavishore 32\\shell\\open\\command";

std::wstring WinPath(const std::string& unixPath) {
  std::wstring w = Utf8ToWide("Z:" + unixPath);
  for (auto& c : w)
    if (c == L'/') c = L'\\';
  return w;
}
std::wstring SaverExe() { return WinPath(TAVIS_SAVER_EXE); }
std::wstring StandinMainExe() { return WinPath(TAVIS_STANDIN_MAIN); }
std::wstring StandinLibrary() { return WinPath(TAVIS_STANDIN_DLL); }

// Runs a program and waits for it; its exit code, or -1.
int RunAndWait(const std::wstring& commandLine, DWORD timeout = 60000) {
  std::wstring line = commandLine;
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  CloseHandle(pi.hThread);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeout) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

// Handles this thread's messages while waiting (a preview's parent window lives here).
bool WaitForProcess(HANDLE process, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) return true;
    if (GetTickCount64() >= end) return false;
  }
}

// The visible top-level window of a process (first: the process id; second: the window found).
BOOL CALLBACK MatchProcessWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<std::pair<DWORD, HWND>*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != s->first || !IsWindowVisible(w)) return TRUE;
  s->second = w;
  return FALSE;
}

class tSaverProcess {
 public:
  explicit tSaverProcess(const std::wstring& args) {
    std::wstring line = L"\"" + SaverExe() + L"\" " + args;
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
      CloseHandle(pi.hThread);
      process_ = pi.hProcess;
      id_ = pi.dwProcessId;
    }
  }
  ~tSaverProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
  }
  bool Started() const { return process_ != nullptr; }
  bool Ends(DWORD ms = 30000) { return WaitForProcess(process_, ms); }
  bool Running(DWORD forMs) { return !WaitForProcess(process_, forMs); }
  // The show's window, once it is there.
  HWND Window(DWORD ms = 30000) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      std::pair<DWORD, HWND> search{id_, nullptr};
      EnumWindows(&MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
      if (search.second) return search.second;
      if (WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

using showtest::WriteBmp;

// A short silent WAV file.
void WriteWav(const fs::path& path) {
  const uint32_t samples = 8000;
  std::vector<uint8_t> d(44 + samples, 128);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (8 * i));
  };
  auto put16 = [&](int at, uint16_t v) {
    d[at] = uint8_t(v);
    d[at + 1] = uint8_t(v >> 8);
  };
  std::memcpy(&d[0], "RIFF", 4);
  put32(4, 36 + samples);
  std::memcpy(&d[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 1);
  put32(24, 8000);
  put32(28, 8000);
  put16(32, 1);
  put16(34, 8);
  std::memcpy(&d[36], "data", 4);
  put32(40, samples);
  testsupport::WriteFile(path, d);
}

class ScreenSaverProgram : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir("saverprog");
    main_ = dir_ / "Tavishore32.exe";
    fs::copy_file(fs::path(StandinMainExe()), main_);
    Register(L"\"" + main_.wstring() + L"\" \"%1\"");
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(key, L"ScreenSaveUsePassword");
      RegCloseKey(key);
    }
    WriteBmp(dir_ / "red.bmp", 64, 48, 0, 0, 255);
    WriteBmp(dir_ / "blue.bmp", 48, 64, 255, 0, 0);
  }
  void TearDown() override { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kCommandKey); }

  static void Register(const std::wstring& command) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  // The settings and the script's lines (file names relative to the scratch folder).
  void WriteScript(const std::vector<std::string>& lines, int number = 1, int mode = 0) {
    const fs::path script = dir_ / "Script 00001.ini";
    std::ofstream ini(dir_ / "Tavishore32.ini");
    ini << "[Screen Saver]\nScript number=" << number << "\nScript file name="
        << WideToUtf8(script.wstring()) << "\nDelay=1\nMode=" << mode << "\n";
    std::ofstream s(script);
    s << "[Script 1]\n";
    for (size_t i = 0; i < lines.size(); ++i)
      s << "Line " << i + 1 << "=" << WideToUtf8((dir_ / lines[i]).wstring()) << "\n";
  }
  std::string StandinArgs() {
    const fs::path args = fs::path(main_.string() + ".args");
    if (!fs::exists(args)) return "";
    auto bytes = testsupport::ReadFile(args);
    std::wstring w(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    return WideToUtf8(w);
  }

  fs::path dir_, main_;
};

TEST_F(ScreenSaverProgram, EndsSilentlyWhenTheMainProgramIsNotRegistered) {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kCommandKey);
  WriteScript({"red.bmp"});
  tSaverProcess saver(L"/s");
  ASSERT_TRUE(saver.Started());
  EXPECT_TRUE(saver.Ends());
}

TEST_F(ScreenSaverProgram, NothingToShowClosesAtOnce) {
  WriteScript({"red.bmp"}, 0);
  tSaverProcess none(L"/s");
  EXPECT_TRUE(none.Ends());
  WriteScript({});
  tSaverProcess empty(L"/S");
  EXPECT_TRUE(empty.Ends());
}

TEST_F(ScreenSaverProgram, AKeyEndsTheShowAndASecondCopyEndsAtOnce) {
  WriteScript({"red.bmp", "blue.bmp"});
  tSaverProcess saver(L"/s");
  HWND window = saver.Window();
  ASSERT_NE(window, nullptr);
  tSaverProcess second(L"/s");
  EXPECT_TRUE(second.Ends());
  EXPECT_TRUE(saver.Running(1500));
  PostMessageW(window, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(saver.Ends());
}

TEST_F(ScreenSaverProgram, MouseEndsTheShowOnlyWhenItMoves) {
  WriteScript({"red.bmp"}, 1, 1);
  tSaverProcess saver(L"");
  HWND window = saver.Window();
  ASSERT_NE(window, nullptr);
  // Where the mouse is (the window covers the screen from its top left), reported again and
  // again, as the system does when a window appears under it.
  POINT at{};
  GetCursorPos(&at);
  for (int i = 0; i < 3; ++i) PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  EXPECT_TRUE(saver.Running(2500));
  PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x + 40, at.y + 30));
  EXPECT_TRUE(saver.Ends());
}

TEST_F(ScreenSaverProgram, MusicOnlyAndUnreadableScriptsCloseOnInput) {
  WriteWav(dir_ / "tune.wav");
  for (std::vector<std::string> lines : {std::vector<std::string>{"tune.wav"},
                                         std::vector<std::string>{"missing.gif", "nothing.jpg"}}) {
    WriteScript(lines);
    tSaverProcess saver(L"/s");
    HWND window = saver.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(saver.Running(1500));
    PostMessageW(window, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(saver.Ends()) << lines[0];
  }
}

TEST_F(ScreenSaverProgram, PreviewEndsWhenItsParentIsDestroyed) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SaverPreviewParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowW(L"SaverPreviewParent", L"preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              10, 10, 200, 160, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(parent, nullptr);
  tSaverProcess saver(L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(parent)));
  EXPECT_TRUE(saver.Running(2000));
  DestroyWindow(parent);
  EXPECT_TRUE(saver.Ends());
  // Its semaphore is free again: a show can run.
  WriteScript({}, 0);
  tSaverProcess again(L"/s");
  EXPECT_TRUE(again.Ends());
  tSaverProcess nowhere(L"/p 12345");
  EXPECT_TRUE(nowhere.Ends(15000));
}

TEST_F(ScreenSaverProgram, ConfigureStartsTheMainProgramWithSlashC) {
  struct {
    const char* folder;
    bool quoted;
  } cases[] = {{"plain", false}, {"with blank", true}};
  for (const auto& c : cases) {
    const fs::path folder = dir_ / c.folder;
    fs::create_directories(folder);
    main_ = folder / "Tavishore32.exe";
    fs::copy_file(fs::path(StandinMainExe()), main_, fs::copy_options::overwrite_existing);
    const std::wstring program = main_.wstring();
    const std::wstring value = c.quoted ? L"\\\"" + program + L"\\\" \\\"%1\\\"" : program + L" %1";
    // As an installer would write it, with the system's own registry tool.
    ASSERT_EQ(RunAndWait(L"reg.exe add \"HKLM\\" + std::wstring(kCommandKey) + L"\" /ve /d \"" +
                         value + L"\" /f"),
              0);
    for (const wchar_t* args : {L"/c", L"\"\""}) {
      fs::remove(main_.string() + ".args");
      tSaverProcess saver(args);
      EXPECT_TRUE(saver.Ends());
      for (int i = 0; i < 300 && StandinArgs().empty(); ++i) Sleep(100);
      EXPECT_EQ(StandinArgs(), "\"" + WideToUtf8(program) + "\" /c") << c.folder;
    }
  }
}

// With TAVIS_SCREENSHOT_DIR set: the show in each placement mode, over a wallpaper in the
// corner cycle, and the preview in a window, as pictures of the screen.
TEST_F(ScreenSaverProgram, Screenshots) {
  const char* dir = std::getenv("TAVIS_SCREENSHOT_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "TAVIS_SCREENSHOT_DIR not set";
  const fs::path photo = testsupport::TestData("jpeg/video-001.jpeg");
  const fs::path flag = testsupport::TestData("gif/flag_fr.gif");
  const fs::path png = testsupport::TestData("png/basn2c08.png");
  for (int mode = 0; mode < 3; ++mode) {
    WriteScript({}, 1, mode);
    {
      std::ofstream script(dir_ / "Script 00001.ini");
      script << "[Script 1]\nLine 1=" << photo.string() << "\nLine 2=" << flag.string()
             << "\nLine 3=" << png.string() << "\n";
      std::ofstream ini(dir_ / "Tavishore32.ini", std::ios::app);
      ini << "Color=403020\nOriginal size=" << (mode == 2 ? 0 : 1) << "\n";
      if (mode == 1) ini << "Wallpaper=1\nPaper=" << WideToUtf8((dir_ / "blue.bmp").wstring()) << "\n";
    }
    tSaverProcess saver(L"/s");
    HWND window = saver.Window();
    ASSERT_NE(window, nullptr);
    Sleep(mode == 2 ? 1500 : 800);
    dialogtest::SaveScreenPicture(GetDesktopWindow(),
                                  std::string(dir) + "\\saver-mode" + std::to_string(mode) + ".bmp");
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(saver.Ends());
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SaverPreviewShot";
  RegisterClassW(&wc);
  HWND parent = CreateWindowW(L"SaverPreviewShot", L"Display Properties preview",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 240, 200, nullptr,
                              nullptr, wc.hInstance, nullptr);
  tSaverProcess preview(L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(parent)));
  EXPECT_TRUE(preview.Running(6000));
  dialogtest::SaveScreenPicture(parent, std::string(dir) + "\\saver-preview.bmp");
  DestroyWindow(parent);
  EXPECT_TRUE(preview.Ends());
}

TEST_F(ScreenSaverProgram, ShowFreedWithoutClosingClearsTheRunningFlag) {
  WriteScript({"red.bmp", "blue.bmp"});
  auto* saver = Application.CreateForm<TScreenSaver>(main_.string());
  saver->Show();
  for (int i = 0; i < 20; ++i) {
    Application.ProcessMessages();
    Sleep(10);
  }
  BOOL running = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  EXPECT_TRUE(running);
  EXPECT_NE(saver->Picture(), nullptr);
  delete saver;
  SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  EXPECT_FALSE(running);
  UnregisterAllFormats();
}

class SaverPassword : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir("saverpwd");
    log_ = dir_ / "standin.log";
    SetEnvironmentVariableW(L"TAVIS_STANDIN_LOG", log_.wstring().c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key_, nullptr);
  }
  void TearDown() override {
    RegDeleteValueW(key_, L"ScreenSaveUsePassword");
    RegCloseKey(key_);
    SetEnvironmentVariableW(L"TAVIS_STANDIN_LOG", nullptr);
    SetEnvironmentVariableW(L"TAVIS_STANDIN_PASSWORD", nullptr);
  }
  void UsePassword(DWORD value) {
    RegSetValueExW(key_, L"ScreenSaveUsePassword", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  std::string Log() {
    if (!fs::exists(log_)) return "";
    auto b = testsupport::ReadFile(log_);
    return std::string(b.begin(), b.end());
  }
  fs::path dir_, log_;
  HKEY key_ = nullptr;
};

TEST_F(SaverPassword, CheckAsksTheLibraryOnlyWhenTheDesktopWantsAPassword) {
  HWND window = reinterpret_cast<HWND>(0x1234);
  const std::wstring lib = StandinLibrary();
  SetEnvironmentVariableW(L"TAVIS_STANDIN_PASSWORD", L"0");
  EXPECT_TRUE(VerifySaverPassword(window, smRun, lib.c_str()));  // no value: no password
  UsePassword(0);
  EXPECT_TRUE(VerifySaverPassword(window, smRun, lib.c_str()));
  UsePassword(1);
  EXPECT_FALSE(VerifySaverPassword(window, smRun, lib.c_str()));
  EXPECT_TRUE(VerifySaverPassword(window, smPreview, lib.c_str()));  // only the show asks
  SetEnvironmentVariableW(L"TAVIS_STANDIN_PASSWORD", L"1");
  EXPECT_TRUE(VerifySaverPassword(window, smRun, lib.c_str()));
  EXPECT_EQ(Log(), "verify 4660\nverify 4660\n");
  // Without the library (Wine has no PASSWORD.CPL) the check passes.
  SetEnvironmentVariableW(L"TAVIS_STANDIN_PASSWORD", L"0");
  EXPECT_TRUE(VerifySaverPassword(window, smRun, L"no-such-library.cpl"));
  EXPECT_TRUE(VerifySaverPassword(window, smRun));
}

TEST_F(SaverPassword, ChangeCallsTheLibraryWithTheParentWindow) {
  ChangeSaverPassword(reinterpret_cast<HWND>(99), StandinLibrary().c_str());
  EXPECT_EQ(Log(), "change SCRSAVE 99\n");
  ChangeSaverPassword(reinterpret_cast<HWND>(99), L"no-such-library.dll");
  EXPECT_EQ(Log(), "change SCRSAVE 99\n");
}

TEST(SaverSystem, InstanceSemaphoreRefusesASecondHolder) {
  HANDLE first = CreateInstanceSemaphore("Tavis test semaphore");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(CreateInstanceSemaphore("Tavis test semaphore"), nullptr);
  CloseInstanceSemaphore(first);
  EXPECT_EQ(first, nullptr);
  HANDLE again = CreateInstanceSemaphore("Tavis test semaphore");
  EXPECT_NE(again, nullptr);
  CloseInstanceSemaphore(again);
}

}  // namespace
