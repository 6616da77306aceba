// The INI list, header width, form placement, list box move and button group routines on real
// controls.
#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/DialogDriver_test.h"
#include "foundation/uControlGroupsWin.h"
#include "foundation/uFormPlacementWin.h"
#include "foundation/uIniFile.h"
#include "foundation/uIniHistoryWin.h"
#include "foundation/uPlatform.h"
#include "framework/Panel.h"
#include "tests/TestSupport.h"

namespace {
std::vector<std::string> Items(const TComboBox& c) {
  std::vector<std::string> items;
  for (int i = 0; i < c.Count(); ++i) items.push_back(c.String(i));
  return items;
}
std::vector<std::string> Rows(const TListBox& l) {
  std::vector<std::string> rows;
  for (int i = 0; i < l.Count(); ++i) rows.push_back(l.String(i));
  return rows;
}

// Radio buttons and check boxes as the system makes them.
class TTestButton : public TWindow {
 public:
  TTestButton(TWindow* parent, DWORD kind, intptr_t tag, int y) : TWindow(parent) {
    Tag = tag;
    CreateControl(parent, L"BUTTON", WS_VISIBLE | kind, 0, 5, y, 100, 18, "button");
  }
};

struct Host {
  Host() {
    form.SetBounds(60, 60, 420, 320);
    form.Show();
  }
  TForm form{nullptr};
};
}  // namespace

TEST(ComboHistory, OnAnEditableCombo) {
  Host h;
  TComboBox combo(&h.form, &h.form, 10, 10, 200, 200, csDropDown);
  for (const char* s : {"C:\\one", "C:\\two", "C:\\three", "*.*"}) combo.Add(s);
  AddComboHistory(combo, 10, "  C:\\new folder  ", "*.*");
  EXPECT_EQ(Items(combo),
            (std::vector<std::string>{"C:\\new folder", "C:\\one", "C:\\two", "C:\\three", "*.*"}));
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Text(), "C:\\new folder");
  AddComboHistory(combo, 10, "C:\\two", "*.*");  // moves up
  EXPECT_EQ(combo.String(0), "C:\\two");
  EXPECT_EQ(combo.Count(), 5);
  AddComboHistory(combo, 3, "C:\\four", "*.*");  // cut from the bottom, "*.*" spared
  EXPECT_EQ(Items(combo), (std::vector<std::string>{"C:\\four", "C:\\two", "*.*"}));
  combo.SetText("typed");
  AddComboHistory(combo, 3, "   ", "*.*");  // nothing
  EXPECT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.Text(), "typed");

  auto dir = testsupport::ScratchDir("combo_history");
  std::string name = (dir / "t.ini").string();
  {
    TIniFile ini(name);
    WriteIniHistory(ini, "Folders", "C:\\extra", combo);
    ASSERT_TRUE(ini.UpdateFile());
  }
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("Folders", "H3", ""), "C:\\extra");
  TComboBox back(&h.form, &h.form, 10, 40, 200, 200, csDropDown);
  ReadIniHistory(ini, "Folders", "*.*", back);
  EXPECT_EQ(Items(back), (std::vector<std::string>{"C:\\four", "C:\\two", "*.*", "C:\\extra"}));
}

TEST(HeaderWidths, OnAHeaderControl) {
  Host h;
  THeaderControl header(&h.form, &h.form, 0, 0, 400, 20);
  header.AddSection("Name", 160);
  header.AddSection("", 18);
  header.AddSection("Size", 18);
  EXPECT_EQ(HeaderWidthsToText(header), "160,18,18");
  HeaderWidthsFromText(header, "120,x,50,77");
  EXPECT_EQ(header.SectionWidth(0), 120);
  EXPECT_EQ(header.SectionWidth(1), 18);
  EXPECT_EQ(header.SectionWidth(2), 50);
  THeaderControl none(&h.form, &h.form, 0, 30, 400, 20);
  EXPECT_EQ(HeaderWidthsToText(none), "");
}

TEST(FormPlacement, PlacedAndRestored) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  int fullWidth = 0, fullHeight = 0;
  Platform().FullScreenSize(fullWidth, fullHeight);
  PlaceFormAt(form, POINT{5000, 40});
  EXPECT_EQ(form.Left(), fullWidth - 300);
  EXPECT_EQ(form.Top(), 40);
  PlaceFormAt(form, POINT{-30, 5000});
  EXPECT_EQ(form.Left(), -30);  // only the right and bottom edges are held in
  EXPECT_EQ(form.Top(), fullHeight - 200);

  RestoreFormBounds(form, tFormBounds{100, 80, 350, 250});
  EXPECT_EQ(form.Position, poDesigned);
  RECT r = form.BoundsRect();
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 80);
  EXPECT_EQ(r.right - r.left, 350);
  int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  RestoreFormBounds(form, tFormBounds{screenWidth - 10, 80, 320, 240});
  EXPECT_EQ(form.Position, poDefaultPosOnly);  // the system places it; the size stays
  EXPECT_EQ(form.Width(), 320);
  EXPECT_EQ(form.Height(), 240);
  EXPECT_EQ(form.Left(), 100);

  EXPECT_EQ(FormFrameSize(form, false), 2 * GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(FormFrameSize(form, true),
            2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) - 1);
  TForm dialog(nullptr, bsDialog);
  EXPECT_EQ(FormFrameSize(dialog, false), 2 * GetSystemMetrics(SM_CXFIXEDFRAME) + 2);
  TForm bare(nullptr, bsNone);
  EXPECT_EQ(FormFrameSize(bare, true), 0);
}

TEST(ListBoxMoves, ByDropPoints) {
  Host h;
  TListBox a(&h.form, &h.form, 10, 10, 150, 200);
  TListBox b(&h.form, &h.form, 200, 10, 150, 200, lbStandard, true);
  for (const char* s : {"a", "b", "c", "d"}) a.Add(s);
  for (const char* s : {"x", "y", "z"}) b.Add(s);
  auto at = [](TListBox& l, int row) {
    RECT r = l.ItemRect(row);
    return POINT{r.left + 5, r.top + 2};
  };
  a.SetItemIndex(0);
  POINT p = at(a, 2);
  MoveListBoxItem(a, a, p.x, p.y);  // "a" dropped on "c": lands above it
  EXPECT_EQ(Rows(a), (std::vector<std::string>{"b", "a", "c", "d"}));
  a.SetItemIndex(3);
  MoveListBoxItem(a, b, 5, 190);  // below the last row: appended
  EXPECT_EQ(Rows(a), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"x", "y", "z", "d"}));
  EXPECT_EQ(b.ItemIndex(), 3);
  EXPECT_TRUE(IsPastLastItem(b, 4));
  EXPECT_FALSE(IsPastLastItem(b, 3));
  // Every selected row of a multi-select list, in order.
  b.SetSelected(3, false);
  b.SetSelected(0, true);
  b.SetSelected(2, true);
  p = at(a, 1);
  MoveListBoxItems(b, a, p.x, p.y);
  EXPECT_EQ(Rows(a), (std::vector<std::string>{"b", "x", "z", "a", "c"}));
  EXPECT_EQ(Rows(b), (std::vector<std::string>{"y", "d"}));
}

TEST(ButtonGroups, ByTags) {
  Host h;
  TPanel panel(&h.form, &h.form, 10, 10, 200, 260);
  TTestButton r1(&panel, BS_AUTORADIOBUTTON, 1, 5), r2(&panel, BS_AUTORADIOBUTTON, 2, 25),
      r3(&panel, BS_AUTORADIOBUTTON, 3, 45);
  TTestButton c1(&panel, BS_AUTOCHECKBOX, 1, 70), c2(&panel, BS_AUTOCHECKBOX, 2, 90),
      c4(&panel, BS_AUTOCHECKBOX, 4, 110), c0(&panel, BS_AUTOCHECKBOX, 0, 130);
  TTestButton push(&panel, BS_PUSHBUTTON, 7, 150);
  SetRadioByTag(panel, 2);
  EXPECT_EQ(r2.Send(BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(r1.Send(BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(GetRadioTag(panel), 2);
  // A click of the user's.
  r3.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  r3.Send(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(GetRadioTag(panel), 3);
  SetRadioByTag(panel, 9);
  EXPECT_EQ(GetRadioTag(panel), 0);
  SetChecksByTags(panel, 5);
  EXPECT_EQ(c1.Send(BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(c2.Send(BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(c4.Send(BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(c0.Send(BM_GETCHECK), BST_CHECKED);  // Tag 0: always
  EXPECT_EQ(GetCheckedTags(panel), 5);
}
