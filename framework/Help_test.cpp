// What the help viewer is asked for: a window of the viewer's class in this process takes the
// request the system hands to the viewer (file, command, context), as the viewer would.
#include "framework/Help.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Form.h"

namespace {

struct tHelpRequest {
  int Command = -1;
  std::string File;
  long Context = -1;
};
std::vector<tHelpRequest> requests;

LRESULT CALLBACK ViewerProc(HWND h, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
    const auto* bytes = static_cast<const unsigned char*>(data->lpData);
    // size, command, data, reserved, offset of the file name, offset (or value) of the data
    WORD command, ofsFile, ofsData;
    LONG value;
    std::memcpy(&command, bytes + 2, 2);
    std::memcpy(&value, bytes + 4, 4);
    std::memcpy(&ofsFile, bytes + 12, 2);
    std::memcpy(&ofsData, bytes + 14, 2);
    tHelpRequest r;
    r.Command = command;
    if (ofsFile && ofsFile < data->cbData)
      r.File = std::string(reinterpret_cast<const char*>(bytes + ofsFile));
    r.Context = value ? value : ofsData;
    requests.push_back(r);
    return TRUE;
  }
  return DefWindowProcW(h, message, w, l);
}

class Help : public testing::Test {
 protected:
  void SetUp() override {
    requests.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MS_WINHELP";
    RegisterClassW(&wc);
    viewer_ = CreateWindowExW(0, L"MS_WINHELP", L"help", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(viewer_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(viewer_);
    UnregisterClassW(L"MS_WINHELP", GetModuleHandleW(nullptr));
    Application.OnHelp = nullptr;
    Application.HelpFile.clear();
  }
  HWND viewer_ = nullptr;
};

TEST_F(Help, F1OpensTheProgramsHelpFileAtTheWindowsContext) {
  InstallHelp();
  Application.HelpFile = "C:\\Program Files\\Tavishore 32\\Tavishore 32.hlp";
  TForm form(nullptr);
  form.HelpContext = 18;
  auto* edit = new TEdit(&form, &form, 10, 10, 200, 22);
  form.Show();
  PostMessageW(edit->Handle(), WM_KEYDOWN, VK_F1, 1);
  Application.ProcessMessages();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Command, HELP_CONTEXT);
  EXPECT_EQ(requests[0].File, "C:\\Program Files\\Tavishore 32\\Tavishore 32.hlp");
  EXPECT_EQ(requests[0].Context, 18);
}

TEST_F(Help, ContextZeroShowsTheContentsAndNoFileAsksNothing) {
  EXPECT_TRUE(ShowHelpTopic("C:\\T\\t.hlp", 0));
  EXPECT_FALSE(ShowHelpTopic("", 7));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Command, HELP_FINDER);
  EXPECT_EQ(requests[0].File, "C:\\T\\t.hlp");
}

}  // namespace
