// The sound message box on the screen, answered through its own buttons and keys.
#include "foundation/SoundMessageDialog.h"

#include <gtest/gtest.h>

#include "foundation/DialogDriver_test.h"
#include "foundation/uShell.h"

using namespace dialogtest;

namespace {
// Records the sounds asked for, and whether a message box was on the screen already.
struct SoundRecorder {
  SoundRecorder() {
    old = SetDialogSoundPlayer([this](const std::string& name) {
      sounds.push_back(name);
      boxShown = FindForm("Warning") || FindForm("Error") || FindForm("Information") ||
                 FindForm("Confirm");
    });
  }
  ~SoundRecorder() { SetDialogSoundPlayer(old); }
  std::vector<std::string> sounds;
  bool boxShown = false;
  TDialogSoundPlayer old;
};
}  // namespace

TEST(SoundMessageDlg, EachButtonGivesItsModalResult) {
  struct {
    TMsgDlgButtons buttons;
    const char* press;
    int result;
  } cases[] = {
      {MsgDlgButtons({mbYes, mbNo}), "&Yes", 6},
      {MsgDlgButtons({mbYes, mbNo}), "&No", 7},
      {MsgDlgButtons({mbOK}), "OK", 1},
      {MsgDlgButtons({mbOK, mbCancel}), "Cancel", 2},
      {MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), "&Abort", 3},
      {MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), "&Retry", 4},
      {MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), "&Ignore", 5},
      {MsgDlgButtons({mbYes, mbNo, mbAll}), "&All", 8},
      {MsgDlgButtons({mbYes, mbNoToAll, mbYesToAll}), "N&o to All", 9},
      {MsgDlgButtons({mbYes, mbNoToAll, mbYesToAll}), "Yes to &All", 10},
  };
  for (auto& c : cases) {
    TDriver driver;
    driver.Then([&] { return PressButton("Confirm", c.press); });
    driver.Start();
    EXPECT_EQ(SoundMessageDlg("Replace the file?", mtConfirmation, c.buttons, false, 0), c.result)
        << c.press;
    EXPECT_TRUE(driver.Finished() && !driver.TimedOut()) << c.press;
  }
}

TEST(SoundMessageDlg, EnterEscAndClosing) {
  struct {
    TMsgDlgButtons buttons;
    WORD key;  // 0: the close box
    int result;
  } cases[] = {
      {MsgDlgButtons({mbYes, mbNo, mbCancel}), VK_RETURN, 6},
      {MsgDlgButtons({mbYes, mbNo, mbCancel}), VK_ESCAPE, 2},
      {MsgDlgButtons({mbYes, mbNo}), VK_ESCAPE, 7},
      {MsgDlgButtons({mbOK}), VK_ESCAPE, 1},
      {MsgDlgButtons({mbYes, mbNo}), 0, 2},
  };
  for (auto& c : cases) {
    TDriver driver;
    driver.Then([&] {
      HWND box = FindForm("Warning");
      if (!box) return false;
      HWND focus = GetFocus();
      if (c.key == 0)
        PostMessageW(box, WM_CLOSE, 0, 0);
      else
        PostMessageW(focus ? focus : box, WM_KEYDOWN, c.key, 0);
      return true;
    });
    driver.Start();
    EXPECT_EQ(SoundMessageDlg("The file is read-only.", mtWarning, c.buttons, false, 0), c.result)
        << c.key;
    EXPECT_FALSE(driver.TimedOut());
  }
}

namespace {
// Keys typed as a hand types them, through the system's input queue.
void TypeKeys(std::initializer_list<WORD> down) {
  std::vector<INPUT> in;
  for (WORD key : down) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    in.push_back(i);
  }
  for (auto it = down.end(); it != down.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}
}  // namespace

// The underlined letter of a button presses it, alone or with Alt.
TEST(SoundMessageDlg, ButtonLettersPressTheirButtons) {
  struct {
    TMsgDlgButtons buttons;
    std::initializer_list<WORD> keys;
    int result;
  } cases[] = {
      {MsgDlgButtons({mbYes, mbNo}), {'N'}, 7},
      {MsgDlgButtons({mbYes, mbNo}), {'Y'}, 6},
      {MsgDlgButtons({mbYes, mbNo}), {VK_MENU, 'N'}, 7},
      {MsgDlgButtons({mbYes, mbNo, mbCancel}), {VK_MENU, 'Y'}, 6},
      {MsgDlgButtons({mbYes, mbNoToAll, mbYesToAll}), {'O'}, 9},
      {MsgDlgButtons({mbYes, mbNoToAll, mbYesToAll}), {'A'}, 10},
      {MsgDlgButtons({mbAbort, mbRetry, mbIgnore}), {'R'}, 4},
  };
  for (auto& c : cases) {
    TDriver driver;
    driver.Then([&] {
      HWND box = FindForm("Confirm");
      if (!box || GetForegroundWindow() != box) return false;
      TypeKeys(c.keys);
      return true;
    });
    driver.Start();
    EXPECT_EQ(SoundMessageDlg("Create it?", mtConfirmation, c.buttons, false, 0), c.result)
        << *c.keys.begin() << " " << c.keys.size();
    EXPECT_FALSE(driver.TimedOut());
  }
}

// A letter that no button has, or Alt with it, leaves the box open.
TEST(SoundMessageDlg, OtherLettersDoNothing) {
  TDriver driver;
  bool stillOpen = false;
  driver.Then([&] {
          HWND box = FindForm("Confirm");
          if (!box || GetForegroundWindow() != box) return false;
          TypeKeys({'Q'});
          TypeKeys({VK_MENU, 'Z'});
          return true;
        })
      .Then([&] {
        stillOpen = FindForm("Confirm") != nullptr;
        return PressButton("Confirm", "&No");
      });
  driver.Start();
  EXPECT_EQ(SoundMessageDlg("Create it?", mtConfirmation, MsgDlgButtons({mbYes, mbNo}), false, 0),
            7);
  EXPECT_TRUE(stillOpen);
}

TEST(SoundMessageDlg, TheSoundOfTheTypeComesFirst) {
  struct {
    TMsgDlgType type;
    const char* caption;
    const char* sound;
  } cases[] = {
      {mtWarning, "Warning", "SystemExclamation"},
      {mtError, "Error", "SystemHand"},
      {mtInformation, "Information", "SystemAsterisk"},
      {mtConfirmation, "Confirm", "SystemQuestion"},
      {mtCustom, "Tavishore 32", nullptr},
  };
  Application.Title = "Tavishore 32";
  for (auto& c : cases) {
    for (bool soundOn : {true, false}) {
      SoundRecorder recorder;
      TDriver driver;
      driver.Then([&] { return PressButton(c.caption, "OK"); });
      driver.Start();
      EXPECT_EQ(SoundMessageDlg("Done.", c.type, MsgDlgButtons({mbOK}), soundOn, 0), 1);
      EXPECT_FALSE(driver.TimedOut()) << c.caption;
      if (soundOn && c.sound) {
        EXPECT_EQ(recorder.sounds, std::vector<std::string>{c.sound});
        EXPECT_FALSE(recorder.boxShown);  // asked for before the box shows
      } else {
        EXPECT_TRUE(recorder.sounds.empty()) << c.caption << soundOn;
      }
    }
  }
  Application.Title.clear();
}

TEST(SoundMessageDlg, IconsCaptionsAndTheLaidOutForm) {
  TMessageForm form(nullptr, "A rather long message that the box shows on one or more lines.",
                    mtError, MsgDlgButtons({mbOK, mbCancel, mbHelp}));
  EXPECT_EQ(form.Caption(), "Error");
  EXPECT_NE(form.Icon(), nullptr);
  EXPECT_EQ(form.Message()->Caption(),
            "A rather long message that the box shows on one or more lines.");
  ASSERT_NE(form.Button(mbOK), nullptr);
  EXPECT_EQ(form.Button(mbYes), nullptr);
  EXPECT_EQ(form.Button(mbHelp)->Caption(), "&Help");
  EXPECT_EQ(form.DefaultButton, form.Button(mbOK));
  EXPECT_EQ(form.CancelButton, form.Button(mbCancel));
  // Buttons in a row below the text, inside the form.
  RECT text = form.Message()->BoundsRect(), ok = form.Button(mbOK)->BoundsRect(),
       help = form.Button(mbHelp)->BoundsRect();
  EXPECT_GT(ok.top, text.bottom);
  EXPECT_EQ(ok.top, help.top);
  EXPECT_LE(help.right, form.ClientWidth());
  EXPECT_LE(ok.bottom, form.ClientHeight());
  TMessageForm custom(nullptr, "Plain", mtCustom, MsgDlgButtons({mbOK}));
  EXPECT_EQ(custom.Icon(), nullptr);
}

TEST(SoundMessageDlg, HelpShowsTheContextAndKeepsTheBoxOpen) {
  std::vector<int> asked;
  Application.OnHelp = [&](int context) { asked.push_back(context); };
  TDriver driver;
  driver.Then([] { return PressButton("Information", "&Help"); }).Then([&] {
    return !asked.empty() && PressButton("Information", "OK");
  });
  driver.Start();
  EXPECT_EQ(SoundMessageDlg("Saved.", mtInformation, MsgDlgButtons({mbOK, mbHelp}), false, 1234),
            1);
  EXPECT_EQ(asked, std::vector<int>{1234});
  Application.OnHelp = nullptr;
}

// One picture of the box of each type (with TAVIS_SCREENSHOT_DIR set).
TEST(SoundMessageDlg, Screenshots) {
  struct {
    TMsgDlgType type;
    const char* caption;
    const char* file;
    const char* text;
    TMsgDlgButtons buttons;
  } cases[] = {
      {mtWarning, "Warning", "message-warning", "The file \"beach.gif\" is read-only.",
       MsgDlgButtons({mbOK})},
      {mtError, "Error", "message-error",
       "Unable to create directory C:\\pictures\\summer\\day one", MsgDlgButtons({mbOK, mbHelp})},
      {mtInformation, "Information", "message-information",
       "12 files were converted.\r\rThe new files are in C:\\pictures\\converted.",
       MsgDlgButtons({mbOK})},
      {mtConfirmation, "Confirm", "message-confirmation", "Replace the existing file?",
       MsgDlgButtons({mbYes, mbNo, mbCancel, mbYesToAll, mbNoToAll})},
      {mtCustom, "Tavishore 32", "message-custom", "Unknown file type. Show contents?",
       MsgDlgButtons({mbYes, mbNo})},
  };
  Application.Title = "Tavishore 32";
  for (auto& c : cases) {
    TDriver driver;
    int shown = 0;
    driver
        .Then([&] {
          HWND box = FindForm(c.caption);
          if (!box || ++shown < 5) return false;  // painted by now
          Screenshot(box, c.file);
          return true;
        })
        .Then([&] {
          HWND box = FindForm(c.caption);
          if (box) PostMessageW(box, WM_CLOSE, 0, 0);
          return true;
        });
    driver.Start();
    SoundMessageDlg(c.text, c.type, c.buttons, false, 0);
    EXPECT_FALSE(driver.TimedOut()) << c.caption;
  }
  Application.Title.clear();
}
