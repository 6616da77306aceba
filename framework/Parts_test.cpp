// The window parts of the main and picture windows: notebook pages, menus found by tag, speed
// buttons in groups, the scroll box moving its paint box, the clipboard's bitmap, and the
// palette of a 256-colour DIB section.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/Application.h"
#include "framework/BitBtn.h"
#include "framework/Bitmap.h"
#include "framework/Clipboard.h"
#include "framework/Form.h"
#include "framework/Menu.h"
#include "framework/ScrollBox.h"
#include "framework/TabControl.h"

TEST(Parts, NotebookShowsOnePageAtATime) {
  TForm form(nullptr);
  TNotebook book(&form, &form, 0, 0, 200, 30);
  TPanel* a = book.AddPage();
  TPanel* b = book.AddPage();
  form.Show();
  EXPECT_EQ(book.PageIndex(), 0);
  EXPECT_TRUE(a->Visible());
  EXPECT_FALSE(b->Visible());
  book.SetPageIndex(1);
  EXPECT_FALSE(a->Visible());
  EXPECT_TRUE(b->Visible());
  book.SetPageIndex(5);  // no such page: unchanged
  EXPECT_EQ(book.PageIndex(), 1);
  book.SetBounds(0, 0, 150, 24);
  EXPECT_EQ(b->Width(), 150);
}

TEST(Parts, MenusFindItemsByTagAndDispatchTheirCommands) {
  TPopupMenu menu(nullptr);
  int clicked = 0;
  menu.Add("&One", 1)->OnClick = [&](TComponent*) { clicked = 1; };
  TMenuItem* two = menu.Add("&Two", 2);
  two->OnClick = [&](TComponent*) { clicked = 2; };
  EXPECT_EQ(menu.FindItemByTag(2), two);
  EXPECT_EQ(menu.FindItemByTag(3), nullptr);
  HMENU h = menu.Handle();
  EXPECT_EQ(GetMenuItemCount(h), 2);
  EXPECT_TRUE(menu.DispatchCommand(two->Command()));
  EXPECT_EQ(clicked, 2);
  // A disabled item's command is known but does nothing.
  clicked = 0;
  two->Enabled = false;
  EXPECT_TRUE(menu.DispatchCommand(two->Command()));
  EXPECT_EQ(clicked, 0);
  EXPECT_FALSE(menu.DispatchCommand(1));
  two->Visible = false;
  EXPECT_EQ(GetMenuItemCount(menu.Handle()), 1);
}

TEST(Parts, SpeedButtonsOfAGroupGoDownOneAtATime) {
  TForm form(nullptr);
  TSpeedButton a(&form, &form, "A", 0, 0, 20, 20, 1);
  TSpeedButton b(&form, &form, "B", 20, 0, 20, 20, 1);
  TSpeedButton h(&form, &form, "H", 40, 0, 20, 20, 2, true);
  a.Click();
  EXPECT_TRUE(a.Down());
  b.Click();
  EXPECT_TRUE(b.Down());
  EXPECT_FALSE(a.Down());
  b.Click();  // a group button stays down
  EXPECT_TRUE(b.Down());
  h.Click();
  EXPECT_TRUE(h.Down());
  h.Click();  // alone with all-up allowed: it toggles
  EXPECT_FALSE(h.Down());
  EXPECT_TRUE(b.Down());
  EXPECT_EQ(b.Send(BM_GETCHECK), BST_CHECKED);
}

TEST(Parts, ScrollBoxMovesItsPaintBox) {
  TForm form(nullptr);
  form.SetClientSize(300, 200);
  TScrollBox box(&form, &form, 0, 0, 300, 200, false);
  TPaintBox paint(&form, &box, 0, 0, 1000, 800);
  form.Show();
  box.HorzScrollBar().Range = 1000;
  box.VertScrollBar().Range = 800;
  box.UpdateScrollBars();
  EXPECT_EQ(box.MaxPosition(false), 1000 - box.ClientWidth());
  box.SetPosition(false, 120);
  EXPECT_EQ(paint.Left(), -120);
  box.SetPosition(false, 5000);  // clamped
  EXPECT_EQ(box.HorzScrollBar().Position, box.MaxPosition(false));
  box.Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(box.VertScrollBar().Position, box.VertScrollBar().Increment);
  EXPECT_EQ(paint.Top(), -box.VertScrollBar().Increment);
  // A range that fits: no bar, back at the start.
  box.HorzScrollBar().Range = 100;
  box.UpdateScrollBars();
  EXPECT_EQ(box.HorzScrollBar().Position, 0);
  EXPECT_EQ(paint.Left(), 0);
}

TEST(Parts, ClipboardBitmapComesBackAsABmpImage) {
  TBitmap bitmap;
  ASSERT_TRUE(bitmap.SetSize(7, 5));
  bitmap.Canvas().SetPixel(3, 2, RGB(10, 200, 30));
  ASSERT_TRUE(SetClipboardBitmap(bitmap));
  EXPECT_TRUE(ClipboardHasBitmap());
  std::vector<uint8_t> image;
  ASSERT_TRUE(GetClipboardBmpImage(image));
  ASSERT_GT(image.size(), 54u);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  TBitmap back;
  ASSERT_TRUE(back.LoadFromBmpImage(image.data(), image.size()));
  EXPECT_EQ(back.Width(), 7);
  EXPECT_EQ(back.Height(), 5);
  EXPECT_EQ(back.Canvas().Pixel(3, 2), RGB(10, 200, 30));
  ASSERT_TRUE(SetClipboardText("ugh!"));
  EXPECT_EQ(GetClipboardText(), "ugh!");
  EXPECT_FALSE(GetClipboardBmpImage(image));
}

TEST(Parts, APaletteBitmapGivesItsPalette) {
  std::vector<uint8_t> bmp(14 + 40 + 256 * 4 + 4 * 2);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = uint8_t((14 + 40 + 1024) & 0xFF);
  bmp[11] = uint8_t((14 + 40 + 1024) >> 8);
  bmp[14] = 40;
  bmp[18] = 4;   // width
  bmp[22] = 2;   // height
  bmp[26] = 1;   // planes
  bmp[28] = 8;   // bits
  bmp[46] = 0;   // all 256 colours
  for (int i = 0; i < 256; ++i) bmp[54 + i * 4 + 2] = uint8_t(i);  // reds
  TBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadFromBmpImage(bmp.data(), bmp.size()));
  HPALETTE p = bitmap.Palette();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(bitmap.Palette(), p);  // kept
  PALETTEENTRY e{};
  ASSERT_EQ(GetPaletteEntries(p, 200, 1, &e), 1u);
  EXPECT_EQ(e.peRed, 200);
  TBitmap deep;
  deep.SetSize(4, 4);
  EXPECT_EQ(deep.Palette(), nullptr);
}
