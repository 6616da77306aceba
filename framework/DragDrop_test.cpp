// Dragging between controls with the real mouse: a list box dragged onto another list box of
// another window, a plain click that stays a click, places that take nothing, Escape, and a
// list whose dragging is manual.
#include "framework/DragDrop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/ListBox.h"
#include "framework/Panel.h"
#include "tests/MouseInput.h"

namespace {
class TDragList : public TListBox {
 public:
  TDragList(TComponent* owner, TWindow* parent, int x, int y)
      : TListBox(owner, parent, x, y, 150, 120), drag(*this) {
    for (const char* s : {"one", "two", "three", "four"}) Add(s);
    drag.Mode = dmAutomatic;
    drag.CanDrag = [this](POINT at) { return ItemAtPos(at) >= 0; };
  }
  TAutoDrag drag;

 protected:
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override {
    if (drag.Filter(message, w, l)) return 0;
    return TListBox::WndProc(message, w, l);
  }
};

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    Application.ProcessMessages();
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

using testsupport::LeftStep;
using testsupport::MoveStep;
using testsupport::WaitStep;

// Runs the steps (also while a loop of the drag holds the thread) until the last is done.
void RunSteps(dialogtest::TDriver& steps) {
  steps.Start();
  dialogtest::PumpUntil([&] { return steps.Finished(); }, 30000);
  Pump(100);
  EXPECT_FALSE(steps.TimedOut());
}
// A step that looks at the state once.
dialogtest::TDriver::Step Look(std::function<void()> look) {
  return [look] {
    look();
    return true;
  };
}

POINT OnRow(TListBox& list, int row) {
  RECT r = list.ItemRect(row);
  return list.ClientToScreen({r.left + 20, (r.top + r.bottom) / 2});
}
POINT Offset(POINT p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

struct Scene {
  TForm from{nullptr}, to{nullptr};
  TDragList* source;
  TDragList* target;
  TPanel* plain;
  std::vector<std::string> drops;
  int clicks = 0;
  Scene() {
    from.SetBounds(20, 20, 220, 300);
    to.SetBounds(320, 20, 220, 300);
    source = new TDragList(&from, &from, 10, 10);
    plain = new TPanel(&from, &from, 10, 150, 150, 80);
    target = new TDragList(&to, &to, 10, 10);
    // The target takes the other list only, and only over its upper half.
    auto* t = new TDragTarget(target);
    t->OnDragOver = [this](TWindow* s, POINT at) { return s == source && at.y < 60; };
    t->OnDragDrop = [this](TWindow* s, POINT at) {
      EXPECT_EQ(DragSource(), nullptr);
      drops.push_back(static_cast<TListBox*>(s)->String(source->ItemIndex()) + " at " +
                      std::to_string(at.x) + "," + std::to_string(at.y));
    };
    source->OnClick = [this](TComponent*) { ++clicks; };
    from.Show();
    to.Show();
    SetForegroundWindow(from.Handle());
    Pump(100);
  }
};
}  // namespace

TEST(DragDrop, AListDraggedOntoAnotherWindowsList) {
  Scene s;
  const POINT press = OnRow(*s.source, 2);
  const POINT over = s.target->ClientToScreen({30, 20});
  HCURSOR midCursor = nullptr;
  TWindow* midSource = nullptr;
  dialogtest::TDriver steps;
  steps.Then(MoveStep(press))
      .Then(LeftStep(true))
      .Then(MoveStep(Offset(press, 1, 1)))  // within the drag rectangle
      .Then(MoveStep(Offset(press, 12, 0)))
      .Then(MoveStep(over))
      .Then(WaitStep([&] {
        midSource = DragSource();
        midCursor = GetCursor();
        return midCursor == DragCursor();
      }))
      .Then(Look([] { dialogtest::ScreenshotWithCursor("drag-list-over-target"); }))
      .Then(LeftStep(false));
  RunSteps(steps);
  dialogtest::PumpUntil([&] { return !s.drops.empty(); }, 3000);
  EXPECT_EQ(midSource, s.source);
  EXPECT_EQ(midCursor, DragCursor());
  ASSERT_EQ(s.drops.size(), 1u);
  EXPECT_EQ(s.drops[0], "three at 30,20");
  EXPECT_EQ(s.source->ItemIndex(), 2);
  EXPECT_EQ(DragSource(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST(DragDrop, NoDropWhereNothingTakesItOrWhenCancelled) {
  Scene s;
  const POINT press = OnRow(*s.source, 1);
  struct Case {
    const char* what;
    std::function<POINT()> over;
    WORD cancelKey;
  } cases[] = {
      {"on a panel", [&] { return s.plain->ClientToScreen({20, 20}); }, 0},
      {"on the target's lower half", [&] { return s.target->ClientToScreen({30, 90}); }, 0},
      {"on the desktop", [] { return POINT{700, 600}; }, 0},
      {"Escape over the target", [&] { return s.target->ClientToScreen({30, 20}); }, VK_ESCAPE},
  };
  const HCURSOR no = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_NO));
  for (const Case& c : cases) {
    HCURSOR midCursor = nullptr;
    TWindow* afterKey = s.source;
    dialogtest::TDriver steps;
    steps.Then(MoveStep(press))
        .Then(LeftStep(true))
        .Then(MoveStep(Offset(press, 0, 15)))
        .Then(MoveStep(c.over))
        .Then(WaitStep([&] {
          midCursor = GetCursor();
          return midCursor == (c.cancelKey ? DragCursor() : no);
        }));
    if (c.cancelKey)
      steps.Then(Look([&] { testsupport::KeyStroke(c.cancelKey); })).Then(WaitStep([&] {
        afterKey = DragSource();
        return afterKey == nullptr;
      }));
    steps.Then(LeftStep(false));
    RunSteps(steps);
    EXPECT_TRUE(s.drops.empty()) << c.what;
    EXPECT_EQ(midCursor, c.cancelKey ? DragCursor() : no) << c.what;
    if (c.cancelKey) {
      EXPECT_EQ(afterKey, nullptr) << c.what;
    }
    EXPECT_EQ(DragSource(), nullptr) << c.what;
  }
}

TEST(DragDrop, AClickStaysAClickAndManualListsDoNotDrag) {
  Scene s;
  // A press and release in place: the row is chosen, nothing is dragged.
  dialogtest::TDriver click;
  click.Then(MoveStep(OnRow(*s.source, 3)))
      .Then(LeftStep(true))
      .Then(MoveStep(Offset(OnRow(*s.source, 3), 1, 0)))
      .Then(LeftStep(false));
  RunSteps(click);
  EXPECT_EQ(s.source->ItemIndex(), 3);
  EXPECT_EQ(s.clicks, 1);
  EXPECT_TRUE(s.drops.empty());
  // Manual: the same movement onto the target drags nothing.
  s.source->drag.Mode = dmManual;
  TWindow* midSource = s.source;
  dialogtest::TDriver manual;
  manual.Then(MoveStep(OnRow(*s.source, 0)))
      .Then(LeftStep(true))
      .Then(MoveStep(s.target->ClientToScreen({30, 20})))
      .Then(Look([&] { midSource = DragSource(); }))
      .Then(LeftStep(false));
  RunSteps(manual);
  EXPECT_EQ(midSource, nullptr);
  EXPECT_TRUE(s.drops.empty());
  // The program can start a drag itself (the source's press is its own business then).
  EXPECT_FALSE(DoDrag(*s.plain));  // released at once: the button is up
}
