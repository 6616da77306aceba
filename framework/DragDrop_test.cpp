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

// Input steps, each given its time: the pointer moves, buttons and keys go down and up, and the
// check that runs in the middle of it (inside the drag's own loop) sees the state there.
struct Steps {
  std::vector<std::function<void()>> steps;
  Steps& Then(std::function<void()> s) {
    steps.push_back(std::move(s));
    return *this;
  }
  // Runs them from a thread timer, so they also run while a loop of the drag holds the thread.
  void Run() {
    running = this;
    next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 60, &Steps::Tick);
    const DWORD end = GetTickCount() + 20000;
    while (next < steps.size() && static_cast<int>(end - GetTickCount()) > 0) Pump(20);
    Pump(200);
    KillTimer(nullptr, timer);
    running = nullptr;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (running && next < running->steps.size()) running->steps[next++]();
  }
  static inline Steps* running = nullptr;
  static inline size_t next = 0;
};

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
  Steps()
      .Then([&] { testsupport::MouseTo(press); })
      .Then([&] { testsupport::LeftDown(); })
      .Then([&] { testsupport::MouseTo(Offset(press, 1, 1)); })  // within the drag rectangle
      .Then([&] { testsupport::MouseTo(Offset(press, 12, 0)); })
      .Then([&] { testsupport::MouseTo(over); })
      .Then([&] {
        midSource = DragSource();
        midCursor = GetCursor();
        dialogtest::ScreenshotWithCursor("drag-list-over-target");
      })
      .Then([&] { testsupport::LeftUp(); })
      .Run();
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
  HCURSOR no = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_NO));
  for (const Case& c : cases) {
    HCURSOR midCursor = nullptr;
    TWindow* afterKey = s.source;
    Steps steps;
    steps.Then([&] { testsupport::MouseTo(press); })
        .Then([&] { testsupport::LeftDown(); })
        .Then([&] { testsupport::MouseTo(Offset(press, 0, 15)); })
        .Then([&] { testsupport::MouseTo(c.over()); })
        .Then([&] { midCursor = GetCursor(); });
    if (c.cancelKey)
      steps.Then([&] { testsupport::KeyStroke(c.cancelKey); }).Then([&] { afterKey = DragSource(); });
    steps.Then([&] { testsupport::LeftUp(); }).Run();
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
  Steps()
      .Then([&] { testsupport::MouseTo(OnRow(*s.source, 3)); })
      .Then([&] { testsupport::LeftDown(); })
      .Then([&] { testsupport::MouseTo(Offset(OnRow(*s.source, 3), 1, 0)); })
      .Then([&] { testsupport::LeftUp(); })
      .Run();
  EXPECT_EQ(s.source->ItemIndex(), 3);
  EXPECT_EQ(s.clicks, 1);
  EXPECT_TRUE(s.drops.empty());
  // Manual: the same movement onto the target drags nothing.
  s.source->drag.Mode = dmManual;
  TWindow* midSource = s.source;
  Steps()
      .Then([&] { testsupport::MouseTo(OnRow(*s.source, 0)); })
      .Then([&] { testsupport::LeftDown(); })
      .Then([&] { testsupport::MouseTo(s.target->ClientToScreen({30, 20})); })
      .Then([&] { midSource = DragSource(); })
      .Then([&] { testsupport::LeftUp(); })
      .Run();
  EXPECT_EQ(midSource, nullptr);
  EXPECT_TRUE(s.drops.empty());
  // The program can start a drag itself (the source's press is its own business then).
  EXPECT_FALSE(DoDrag(*s.plain));  // released at once: the button is up
}
