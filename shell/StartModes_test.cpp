// The real program started with real arguments: each start mode, the splash of an ordinary
// start, and a picture named on the command line opening in its window (also behind the
// switches that set no mode). The program runs from a scratch folder, so its files stay there.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
struct Win {
  HWND h;
  std::wstring cls, caption;
  bool visible;
  // The splash: a window without caption or frame that stays on top.
  bool IsSplash() const {
    return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
           !(GetWindowLongW(h, GWL_STYLE) & WS_CAPTION) && caption.empty();
  }
};

struct EnumContext {
  DWORD pid;
  std::vector<Win>* out;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM l) {
  auto* c = reinterpret_cast<EnumContext*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != c->pid) return TRUE;
  wchar_t cls[64] = {}, caption[256] = {};
  GetClassNameW(h, cls, 64);
  GetWindowTextW(h, caption, 256);
  c->out->push_back({h, cls, caption, IsWindowVisible(h) != 0});
  return TRUE;
}

fs::path ProgramCopy() {
  static fs::path copy;
  if (copy.empty()) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::path dir = testsupport::ScratchDir("startmodes");
    copy = dir / "Tavishore32.exe";
    fs::copy_file(fs::path(self).parent_path() / "Tavishore32.exe", copy);
    fs::copy_file(testsupport::TestData("gif/flag_fr.gif"), dir / "flag fr.gif");
  }
  return copy;
}

struct Program {
  PROCESS_INFORMATION pi{};
  bool started = false;
  explicit Program(const std::string& arguments, int show = SW_SHOWNORMAL) {
    fs::path exe = ProgramCopy();
    std::wstring line = L"\"" + exe.wstring() + L"\"";
    if (!arguments.empty()) line += L" " + Utf8ToWide(arguments);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(show);
    std::wstring dir = exe.parent_path().wstring();
    started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             dir.c_str(), &si, &pi) != 0;
  }
  ~Program() {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  // True when the program ended within the time.
  bool Ends(int milliseconds) { return WaitForSingleObject(pi.hProcess, milliseconds) == 0; }
  DWORD ExitCode() {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
  // The program's top-level windows: class and caption, and whether each is visible.
  std::vector<Win> Windows() {
    std::vector<Win> found;
    EnumContext ctx{pi.dwProcessId, &found};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&ctx));
    return found;
  }
  // Waits for a window of the program that matches; null when none came.
  HWND WaitFor(const std::function<bool(const Win&)>& match, int milliseconds = 30000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      for (const Win& w : Windows())
        if (match(w)) return w.h;
      if (Ends(50)) return nullptr;
    }
    return nullptr;
  }
};

bool IsPictureWindow(const Win& w, const wchar_t* caption) {
  return w.visible && w.cls == L"TavisForm" && w.caption == caption;
}
}  // namespace

TEST(StartModes, AMissingFileOpensNothingAndTheProgramEnds) {
  Program p("\"no such picture.gif\"");
  ASSERT_TRUE(p.started);
  EXPECT_TRUE(p.Ends(30000));
  EXPECT_EQ(p.ExitCode(), 0u);
}

TEST(StartModes, AFileOpensInItsWindowAndTheProgramEndsWithIt) {
  // The switches that set no mode, before or after the file, do not hide it.
  for (const char* args : {"\"flag fr.gif\"", "/kvorn \"flag fr.gif\"", "/tasktray \"flag fr.gif\"",
                           "\"flag fr.gif\" /TASKTRAY"}) {
    Program p(args);
    ASSERT_TRUE(p.started);
    HWND picture = p.WaitFor([](const Win& w) { return IsPictureWindow(w, L"flag fr.gif"); });
    ASSERT_NE(picture, nullptr) << args;
    // No splash and no main window shows for a file start.
    for (const auto& w : p.Windows()) {
      EXPECT_FALSE(w.visible && w.IsSplash()) << args;
      if (w.caption.rfind(L"Tavishore 32", 0) == 0) EXPECT_FALSE(w.visible) << args;
    }
    PostMessageW(picture, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.Ends(30000)) << args;
  }
}

TEST(StartModes, ScreenSaverSettingsAndUninstallEndTheProgram) {
  // "/c" with no scripts in the library says so; closing that message ends the program.
  Program c("/c");
  ASSERT_TRUE(c.started);
  HWND none = c.WaitFor([](const Win& w) { return w.visible && w.caption == L"Information"; });
  ASSERT_NE(none, nullptr);
  PostMessageW(none, WM_CLOSE, 0, 0);
  EXPECT_TRUE(c.Ends(30000));
  // "/u" asks first; Cancel ends the program and nothing is removed.
  Program u("/u");
  ASSERT_TRUE(u.started);
  HWND ask = u.WaitFor([](const Win& w) { return w.visible && w.caption == L"Confirm"; });
  ASSERT_NE(ask, nullptr);
  PostMessageW(ask, WM_CLOSE, 0, 0);
  EXPECT_TRUE(u.Ends(30000));
  EXPECT_TRUE(fs::exists(ProgramCopy()));
}

TEST(StartModes, HiddenStartStaysWithoutAWindow) {
  Program p("/s");
  ASSERT_TRUE(p.started);
  EXPECT_FALSE(p.Ends(4000));
  for (const auto& w : p.Windows()) EXPECT_FALSE(w.visible && w.cls == L"TavisForm");
}

TEST(StartModes, AnOrdinaryStartShowsTheSplashThenTheMainWindow) {
  Program p("");
  ASSERT_TRUE(p.started);
  HWND splash = p.WaitFor([](const Win& w) { return w.visible && w.IsSplash(); });
  EXPECT_NE(splash, nullptr);
  HWND main = p.WaitFor([](const Win& w) {
    return w.visible && w.cls == L"TavisForm" && w.caption.rfind(L"Tavishore 32", 0) == 0;
  });
  ASSERT_NE(main, nullptr);
  // The splash has gone once the main window shows (it stays up to three seconds before).
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  while (IsWindow(splash) && IsWindowVisible(splash) && std::chrono::steady_clock::now() < end)
    Sleep(50);
  EXPECT_FALSE(IsWindow(splash) && IsWindowVisible(splash));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ends(30000));
}

TEST(StartModes, AMinimisedStartShowsNoSplash) {
  Program p("", SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(p.started);
  HWND main = p.WaitFor([](const Win& w) {
    return w.visible && w.cls == L"TavisForm" && w.caption.rfind(L"Tavishore 32", 0) == 0;
  });
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsIconic(main));
  for (const auto& w : p.Windows()) EXPECT_FALSE(w.visible && w.IsSplash());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.Ends(30000));
}
