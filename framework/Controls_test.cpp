// The standard controls through real messages on real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ComboBox.h"
#include "framework/Form.h"
#include "framework/Header.h"
#include "framework/HintWindow.h"
#include "framework/Canvas.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Panel.h"
#include "framework/Timer.h"
#include "framework/TreeView.h"

TEST(ListBox, ColumnsRecreateTheWindowAndKeepTheRows) {
  TForm form(nullptr);
  auto* list = new TListBox(&form, &form, 0, 0, 300, 100, lbOwnerDrawFixed);
  list->SetItemHeight(14);
  int objects[20] = {};
  for (int i = 0; i < 20; ++i) list->Add(std::string(1, static_cast<char>('a' + i)), &objects[i]);
  list->SetItemIndex(2);
  HWND before = list->Handle();
  list->SetColumns(3);
  EXPECT_NE(list->Handle(), before);
  EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_MULTICOLUMN);
  EXPECT_EQ(list->Count(), 20);
  EXPECT_EQ(list->String(1), "b");
  EXPECT_EQ(list->Object(2), &objects[2]);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->ItemHeight(), 14);
  // Columns now: the row after a full column starts the next one, a column width further right.
  int perColumn = list->ClientHeight() / 14;
  EXPECT_EQ(list->ItemRect(perColumn).left - list->ItemRect(0).left, 100);
  EXPECT_EQ(list->ItemRect(1).left, list->ItemRect(0).left);
  RECT second = list->ItemRect(perColumn + 1);
  EXPECT_EQ(list->ItemAtPos({second.left + 3, second.top + 3}), perColumn + 1);
  list->SetColumns(0);
  EXPECT_FALSE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_MULTICOLUMN);
  EXPECT_EQ(list->ItemRect(1).top - list->ItemRect(0).top, 14);
  EXPECT_EQ(list->ItemAtPos({5, 15}), 1);
  list->Clear();
  list->Add("only");
  EXPECT_EQ(list->ItemAtPos({5, 20}), -1);  // below the last row
}

TEST(ListBox, SelectionByTheUserClicksAndSeveralRowsCanBeSelected) {
  TForm form(nullptr);
  auto* list = new TListBox(&form, &form, 0, 0, 200, 100, lbStandard, true);
  for (const char* s : {"one", "two", "three"}) list->Add(s);
  int clicks = 0;
  list->OnClick = [&](TComponent*) { ++clicks; };
  form.Show();
  RECT r = list->ItemRect(1);
  list->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 2, r.top + 2));
  list->Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 2, r.top + 2));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetSelected(2, true);
  EXPECT_TRUE(list->Selected(1));
  EXPECT_TRUE(list->Selected(2));
  EXPECT_FALSE(list->Selected(0));
}

TEST(ComboBox, PickingARowClicksAndChanges) {
  TForm form(nullptr);
  auto* combo = new TComboBox(&form, &form, 0, 0, 150, 200, csOwnerDrawFixed);
  combo->SetItemHeight(18);
  combo->Add("first");
  combo->Add("second");
  std::string events;
  combo->OnClick = [&](TComponent*) { events += "click "; };
  combo->OnChange = [&](TComponent*) { events += "change:" + combo->Text(); };
  int drawn = 0;
  combo->OnDrawItem = [&](TComponent*, int, const RECT& r, UINT) {
    ++drawn;
    combo->Canvas().FillRect(r);
  };
  form.Show();
  // The keyboard moves the selection as a user does; the box tells its parent.
  combo->SetFocus();
  combo->Send(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(events, "click change:first");
  combo->SetString(0, "renamed");
  EXPECT_EQ(combo->Text(), "renamed");
  combo->Repaint();
  EXPECT_GT(drawn, 0);
}

TEST(Header, SectionsResizeWithinTheirLimits) {
  TForm form(nullptr);
  auto* header = new THeaderControl(&form, &form, 0, 0, 400, 20);
  header->AddSection("Tag", 14);
  header->AddSection("Name", 100);
  header->SetSectionLimits(0, 14, 14);
  header->SetSectionLimits(1, 20, 300);
  std::vector<int> resized;
  header->OnSectionResize = [&](TComponent*, int i) { resized.push_back(i); };
  header->SetSectionWidth(1, 150);
  EXPECT_EQ(header->SectionWidth(1), 150);
  header->SetSectionWidth(1, 500);  // beyond the maximum: refused
  EXPECT_EQ(header->SectionWidth(1), 150);
  header->SetSectionWidth(0, 30);  // a fixed section stays
  EXPECT_EQ(header->SectionWidth(0), 14);
  EXPECT_EQ(resized, std::vector<int>{1});
  EXPECT_EQ(header->SectionText(1), "Name");
  EXPECT_GT(header->PreferredHeight(), 10);
}

TEST(TreeView, ChildrenAreAddedWhenANodeIsFirstOpened) {
  TForm form(nullptr);
  auto* tree = new TTreeView(&form, &form, 0, 0, 200, 200);
  int lazyCalls = 0;
  tree->OnExpanding = [&](TComponent*, HTREEITEM node, bool& allow) {
    ++lazyCalls;
    if (tree->ChildCount(node) == 0) {
      tree->Add(node, "child 1");
      tree->Add(node, "child 2", nullptr, true);
    }
    allow = tree->Text(node) != "locked";
  };
  int data = 5;
  HTREEITEM root = tree->Add(TVI_ROOT, "C:\\", &data, true);
  HTREEITEM locked = tree->Add(TVI_ROOT, "locked", nullptr, true);
  EXPECT_EQ(tree->ChildCount(root), 0);
  EXPECT_TRUE(tree->Expand(root));
  EXPECT_EQ(tree->ChildCount(root), 2);
  EXPECT_EQ(tree->Data(root), &data);
  EXPECT_FALSE(tree->Expand(locked));
  EXPECT_EQ(lazyCalls, 2);
  tree->Select(root);
  EXPECT_EQ(tree->Selected(), root);
}

TEST(Timer, FiresFromTheMessageLoopWhileEnabled) {
  TComponent owner;
  auto* timer = new TTimer(&owner);
  timer->SetEnabled(false);
  timer->SetInterval(10);
  int ticks = 0;
  timer->OnTimer = [&](TComponent* sender) {
    EXPECT_EQ(sender, timer);
    if (++ticks == 2) timer->SetEnabled(false);
  };
  timer->SetEnabled(true);
  for (int i = 0; i < 500 && ticks < 2; ++i) {
    Sleep(5);
    Application.ProcessMessages();
  }
  EXPECT_EQ(ticks, 2);
  Sleep(30);
  Application.ProcessMessages();
  EXPECT_EQ(ticks, 2);
}

TEST(HintWindow, ShowsOverARectangleWithoutTakingFocus) {
  TForm form(nullptr);
  form.Show();
  form.SetFocus();
  HWND focus = GetFocus();
  THintWindow hint(nullptr);
  hint.ActivateHint({100, 100, 180, 118}, "a long name");
  EXPECT_TRUE(hint.Visible());
  EXPECT_EQ(GetFocus(), focus);
  RECT r = hint.BoundsRect();
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.right - r.left, 80);
  EXPECT_EQ(hint.Caption(), "a long name");
  hint.ReleaseHint();
  EXPECT_FALSE(hint.Visible());
}

// With WordWrap a caption's line break and the label's width break lines; without it the
// caption stays on one line. Seen in the painted pixels of the label's lower half.
TEST(Label, WordWrapBreaksLines) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  auto* one = new TLabel(&form, &form, 4, 4, 200, 40);
  one->SetCaption("MMMM\r\nMMMM");
  auto* two = new TLabel(&form, &form, 4, 60, 200, 40);
  two->WordWrap = true;
  two->SetCaption("MMMM\r\nMMMM");
  form.Show();
  UpdateWindow(form.Handle());
  auto inkBelow = [](TLabel* label, int fromY) {
    HDC dc = GetDC(label->Handle());
    int ink = 0;
    for (int y = fromY; y < label->Height(); ++y)
      for (int x = 0; x < label->Width(); ++x) ink += (GetPixel(dc, x, y) & 0xFFFFFF) == 0;
    ReleaseDC(label->Handle(), dc);
    return ink;
  };
  const int lineHeight = [&] {
    TControlCanvas c(one->Handle());
    c.Font = one->Font();
    return c.TextHeight("M");
  }();
  EXPECT_EQ(inkBelow(one, lineHeight), 0);
  EXPECT_GT(inkBelow(two, lineHeight), 0);

  // Auto-sized with WordWrap: the width stays, the height follows the lines.
  auto* wrapped = new TLabel(&form, &form, 4, 110, 60, 16);
  wrapped->WordWrap = true;
  wrapped->AutoSize = true;
  wrapped->SetCaption("word");
  const int h1 = wrapped->Height();
  wrapped->SetCaption("word word word word word word");
  EXPECT_EQ(wrapped->Width(), 60);
  EXPECT_GE(wrapped->Height(), 3 * h1);
}

TEST(Label, AutoSizeTakesTheCaptionsWidth) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form, &form, 0, 0, 300, 40);
  auto* label = new TLabel(&form, panel, 4, 4, 10, 16);
  label->AutoSize = true;
  label->SetCaption("C:\\Pictures");
  int w1 = label->Width();
  label->SetCaption("C:\\Pictures\\Summer holidays");
  EXPECT_GT(w1, 20);
  EXPECT_GT(label->Width(), w1);
  EXPECT_EQ(label->Parent(), panel);
}
