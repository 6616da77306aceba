// Button hints with the real mouse: they come after the pause, go after the hide pause or a
// click, and come again only after the mouse has left the button.
#include <gtest/gtest.h>

#include <string>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/HintWindow.h"
#include "framework/PaintedWindow.h"
#include "tests/MouseInput.h"

namespace {
using testsupport::CentreOf;
using testsupport::MouseTo;

// The text of the controls' hint while it shows, else "".
std::string ShownHint() {
  THintWindow* hint = ControlHintShowing();
  return hint ? hint->Caption() : "";
}

// Runs the message loop for about ms milliseconds.
void PumpFor(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (static_cast<int>(end - GetTickCount()) > 0) {
    dialogtest::Pump(1);
    Sleep(10);
  }
}
}  // namespace

TEST(ButtonHint, ShowsAfterThePauseAndGoesAgain) {
  TForm form(nullptr);
  form.SetBounds(40, 40, 300, 120);
  auto* plain = new TButton(&form, &form, "Plain", 10, 10, 80, 25);
  auto* hinted = new TButton(&form, &form, "&Hinted", 120, 10, 80, 25);
  hinted->Hint = "What the button does";
  form.Show();
  SetForegroundWindow(form.Handle());
  const bool showHint = Application.ShowHint;
  const int pause = Application.HintPause, hidePause = Application.HintHidePause;
  Application.HintPause = 400;
  Application.HintHidePause = 1500;

  const auto shows = [] { return dialogtest::PumpUntil([] { return ControlHintShowing(); }, 5000); };
  // Leaving a button is seen a little later than the move (the system polls for it).
  const auto away = [&] {
    MouseTo(CentreOf(plain->Handle()));
    PumpFor(1000);
  };
  // Onto the button at a new spot each time: a move to where the pointer last was in this
  // program may not reach it.
  int spot = 0;
  const auto onto = [&] {
    POINT at = CentreOf(hinted->Handle());
    at.x += 6 * (spot++ - 2);
    MouseTo(at);
    dialogtest::PumpUntil(testsupport::HoldMouseStill, 2000);
  };
  away();
  EXPECT_EQ(ShownHint(), "");
  onto();
  EXPECT_EQ(ShownHint(), "") << "before the pause";
  ASSERT_TRUE(shows());
  EXPECT_EQ(ShownHint(), "What the button does");
  // Below the mouse pointer.
  RECT r;
  GetWindowRect(ControlHintShowing()->Handle(), &r);
  POINT at;
  GetCursorPos(&at);
  EXPECT_GT(r.top, at.y);
  EXPECT_LE(r.left, at.x + 1);
  dialogtest::Screenshot(GetDesktopWindow(), "button-hint");
  // The hide pause ends it; resting there does not bring it back.
  EXPECT_TRUE(dialogtest::PumpUntil([] { return !ControlHintShowing(); }, 5000));
  PumpFor(1000);
  EXPECT_EQ(ShownHint(), "");
  // Away and back: again after the pause; a click takes it away.
  away();
  onto();
  EXPECT_TRUE(shows());
  testsupport::MouseClick();
  PumpFor(200);
  EXPECT_EQ(ShownHint(), "");
  // With hints off nothing shows.
  Application.ShowHint = false;
  away();
  onto();
  PumpFor(1500);
  EXPECT_EQ(ShownHint(), "");
  Application.ShowHint = showHint;
  Application.HintPause = pause;
  Application.HintHidePause = hidePause;
  MouseTo(POINT{0, 0});
  PumpFor(100);
}

namespace {
class TPlainPainted : public TPaintedWindow {
 public:
  TPlainPainted(TComponent* owner, TWindow* parent) : TPaintedWindow(owner) {
    Create("", WS_CHILD | WS_VISIBLE, 120, 50, 80, 25, parent->Handle());
  }

 protected:
  void Paint(TCanvas&) override {}
};
}  // namespace

// Edits and the windows that paint themselves (sliders, the media bar) show their hints too.
TEST(ButtonHint, EditsAndPaintedWindowsShowTheirs) {
  TForm form(nullptr);
  form.SetBounds(40, 40, 300, 120);
  auto* away = new TButton(&form, &form, "Away", 10, 10, 80, 25);
  auto* edit = new TEdit(&form, &form, 120, 10, 80, 22);
  edit->Hint = "New name";
  auto* painted = new TPlainPainted(&form, &form);
  painted->Hint = "Volume";
  form.Show();
  SetForegroundWindow(form.Handle());
  const int pause = Application.HintPause;
  Application.HintPause = 300;
  struct Case {
    TWindow* control;
    const char* hint;
  } cases[] = {{edit, "New name"}, {painted, "Volume"}};
  for (const Case& c : cases) {
    MouseTo(CentreOf(away->Handle()));
    PumpFor(1000);
    MouseTo(CentreOf(c.control->Handle()));
    dialogtest::PumpUntil(testsupport::HoldMouseStill, 2000);
    EXPECT_TRUE(dialogtest::PumpUntil([] { return ControlHintShowing(); }, 5000)) << c.hint;
    EXPECT_EQ(ShownHint(), c.hint);
  }
  Application.HintPause = pause;
  MouseTo(POINT{0, 0});
  PumpFor(100);
}
