// The picture window's companions on real windows: the details of a decoded 8-bit GIF with its
// palette grid, the palette dialog driven as a user would, the full-or-clip question and the
// comments editor with its file.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

#include "foundation/DialogDriver_test.h"
#include "foundation/uBuffStream.h"
#include "framework/Application.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"
#include "viewers/picture/CommentWindow.h"
#include "viewers/picture/DetailsWindow.h"
#include "viewers/picture/FullClipDialog.h"
#include "viewers/picture/PaletteDialog.h"

namespace fs = std::filesystem;

namespace {
// A picture decoded from a test file.
std::unique_ptr<tGraphicID> Decode(const std::string& relative) {
  RegisterAllFormats();
  const std::string path = testsupport::TestData(relative).string();
  std::unique_ptr<TStream> file = OpenFileStream(path);
  if (!file) return nullptr;
  auto* stream = new tBuffStream(path, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  id->LoadPicture();
  return id;
}

void Key(TWindow* w, WORD key) {
  w->Send(WM_KEYDOWN, key, 0);
  w->Send(WM_KEYUP, key, 0);
}

void ClickAt(TWindow* w, int x, int y) {
  w->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  w->Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
}  // namespace

TEST(PictureDialogs, DetailsOfAn8BitPictureShowItsPalette) {
  auto picture = Decode("gif/video-001.gif");
  ASSERT_NE(picture, nullptr);
  ASSERT_LE(picture->BitsPerPixel, 8);
  TDocWindow* doc = ShowPictureDetails(nullptr, *picture, POINT{30, 30});
  dialogtest::Pump();
  EXPECT_EQ(doc->Caption(), "video-001.gif details");
  EXPECT_TRUE(doc->PalPanel->Visible());
  ASSERT_GE(doc->PaletteCount(), 2);
  EXPECT_EQ(doc->Grid->Count(), doc->PaletteCount());
  EXPECT_EQ(doc->Grid->GridShape(), gs_8x2);
  // Room for the lines above the palette, which covers none of them.
  const int rows = DetailsRows(static_cast<int>(picture->Info.size()));
  EXPECT_EQ(doc->ClientHeight(), 36 + 72 + 18 * rows);
  EXPECT_EQ(doc->RichMemo->Top() + doc->RichMemo->Height(), doc->PalPanel->Top());
  // The shown lines are the picture's (optional ones only with "All details").
  int optional = 0;
  const size_t required = DetailLines(picture->Info, false, optional).size();
  EXPECT_EQ(doc->ShownLines().size(), required);
  EXPECT_EQ(doc->chkOptional->Enabled(), optional > 0);
  EXPECT_EQ(doc->chkOptional->Checked(), optional == 0);
  if (optional > 0) {
    doc->chkOptional->SetChecked(true);
    doc->FillText();
    EXPECT_EQ(doc->ShownLines().size(), picture->Info.size());
  }
  EXPECT_GT(doc->RichMemo->TextLength(), 0);
  // Choosing a cell names its colour.
  RECT cell = doc->Grid->CellRect(1);
  ClickAt(doc->Grid, cell.left + 1, cell.top + 1);
  EXPECT_EQ(doc->Grid->PaletteIndex(), 1);
  const uint8_t* e = picture->Palette + 3;
  EXPECT_EQ(doc->LblColor->Caption(),
            "Image Palette:\rcolor number=1\rR=" + std::to_string(e[0]) + ", G=" +
                std::to_string(e[1]) + ", B=" + std::to_string(e[2]));
  // The grid's own cells have the picture's colours.
  EXPECT_EQ(doc->Grid->EntryColor(1), static_cast<TColor>(RGB(e[0], e[1], e[2])));
  dialogtest::Pump();
  dialogtest::Screenshot(doc->Handle(), "details-8bit");
  delete doc;
}

TEST(PictureDialogs, DetailsOfATrueColourPictureHaveNoPalette) {
  auto picture = Decode("jpeg/video-001.jpeg");
  ASSERT_NE(picture, nullptr);
  TDocWindow* doc = ShowPictureDetails(nullptr, *picture, POINT{30, 30});
  dialogtest::Pump();
  EXPECT_FALSE(doc->PalPanel->Visible());
  EXPECT_EQ(doc->PaletteCount(), 0);
  delete doc;
}

TEST(PictureDialogs, PaletteGridKeysAndMouse) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 300);
  auto* grid = new TPaletteGrid(&form, &form, 10, 10);
  const uint8_t two[] = {255, 0, 0, 0, 0, 255};
  grid->SetPalette(2, two, clBtnFace);
  form.Show();
  grid->SetFocus();
  int changes = 0;
  grid->OnChange = [&changes](TComponent*) { ++changes; };
  EXPECT_EQ(grid->Metrics().Columns, 4);
  // The 14 fill cells cannot be chosen.
  RECT fill = grid->CellRect(5);
  ClickAt(grid, fill.left + 2, fill.top + 2);
  EXPECT_EQ(grid->PaletteIndex(), -1);
  EXPECT_EQ(grid->EntryColor(5), clBtnFace);
  Key(grid, VK_RIGHT);
  EXPECT_EQ(grid->Selection(), 1);
  Key(grid, VK_RIGHT);
  EXPECT_EQ(grid->Selection(), 0);
  Key(grid, VK_END);
  Key(grid, VK_SPACE);
  EXPECT_EQ(grid->PaletteIndex(), 1);
  EXPECT_EQ(changes, 1);
  // Dragging with the left button held chooses as it goes.
  RECT first = grid->CellRect(0);
  grid->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.left + 3, first.top + 3));
  EXPECT_EQ(grid->PaletteIndex(), 0);
  RECT second = grid->CellRect(1);
  grid->Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(second.left + 3, second.top + 3));
  EXPECT_EQ(grid->PaletteIndex(), 1);
  grid->Send(WM_LBUTTONUP, 0, MAKELPARAM(second.left + 3, second.top + 3));
  // A bad count changes nothing.
  grid->SetPalette(300, two, clBtnFace);
  EXPECT_EQ(grid->Count(), 2);
}

TEST(PictureDialogs, PaletteDialogChoosesBackgroundAndTransparent) {
  uint8_t palette[768] = {};
  for (int i = 0; i < 256; ++i) palette[3 * i] = static_cast<uint8_t>(i);
  int transparent = 5, background = 3;
  TPaletteDialog* shown = nullptr;
  dialogtest::TDriver driver;
  driver
      .Then([&shown] {
        for (TForm* f : Screen.Forms)
          if (auto* d = dynamic_cast<TPaletteDialog*>(f); d && d->Visible()) shown = d;
        return shown != nullptr;
      })
      .Then([&shown] {
        // It comes up in the background mode, on the background index.
        EXPECT_EQ(shown->Grid->PaletteIndex(), 3);
        EXPECT_EQ(shown->BackgroundLabel->Caption(), "color number=3\rr=3\rg=0\rb=0");
        EXPECT_EQ(shown->TransparentLabel->Caption(), "color number=5\rr=5\rg=0\rb=0");
        RECT cell = shown->Grid->CellRect(9);
        ClickAt(shown->Grid, cell.left + 2, cell.top + 2);
        EXPECT_EQ(shown->Background, 9);
        // "T" goes to the transparent mode, whose index the grid then shows; reset clears it.
        WORD key = 'T';
        shown->Send(WM_KEYDOWN, key, 0);
        EXPECT_TRUE(shown->TransparentBtn->Down());
        EXPECT_EQ(shown->Grid->PaletteIndex(), 5);
        shown->ResetBtn->Click();
        EXPECT_EQ(shown->Transparent, -1);
        EXPECT_EQ(shown->TransparentLabel->Caption(), "(none)");
        EXPECT_EQ(shown->Grid->PaletteIndex(), -1);
        dialogtest::Screenshot(shown->Handle(), "palette-dialog");
        shown->OKBtn->Post(BM_CLICK);
        return true;
      });
  driver.Start();
  // A count past 256 copies no more than a palette.
  EXPECT_TRUE(ChoosePaletteColors(nullptr, 100000, palette, transparent, background));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(background, 9);
  EXPECT_EQ(transparent, -1);
  // Cancel leaves the indexes.
  dialogtest::TDriver cancel;
  cancel.Then([] {
    for (TForm* f : Screen.Forms)
      if (auto* d = dynamic_cast<TPaletteDialog*>(f); d && d->Visible()) {
        d->CancelBtn->Post(BM_CLICK);
        return true;
      }
    return false;
  });
  cancel.Start();
  EXPECT_FALSE(ChoosePaletteColors(nullptr, 16, palette, transparent, background));
  EXPECT_EQ(background, 9);
}

TEST(PictureDialogs, FullOrClip) {
  TBitmap bitmap;
  bitmap.SetSize(200, 100);
  // A selection under 8 x 8 asks nothing.
  EXPECT_EQ(ChooseFullOrClip(nullptr, bitmap, TRect{10, 10, 17, 60}, "Save..."), 1);
  EXPECT_EQ(ChooseFullOrClip(nullptr, bitmap, TRect{10, 10, 10, 10}, "Save..."), 1);
  for (int choice : {0, 1, 2}) {
    dialogtest::TDriver driver;
    driver.Then([choice] {
      for (TForm* f : Screen.Forms)
        if (auto* d = dynamic_cast<TFullClipDlg*>(f); d && d->Visible()) {
          EXPECT_EQ(d->Caption(), "Copy to clipboard...");
          EXPECT_TRUE(d->FullBtn->Down());
          if (choice == 2) d->PaintPart->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
          EXPECT_EQ(d->PartBtn->Down(), choice == 2);
          (choice == 0 ? d->CancelBtn : d->OKBtn)->Post(BM_CLICK);
          return true;
        }
      return false;
    });
    driver.Start();
    // Corners given backwards are put right.
    EXPECT_EQ(ChooseFullOrClip(nullptr, bitmap, TRect{150, 80, 20, 10}, "Copy to clipboard..."),
              choice);
  }
}

TEST(PictureDialogs, CommentsEditorAndItsFile) {
  const fs::path dir = testsupport::ScratchDir("comments");
  CommentsProgramFile = (dir / "Tavishore32.exe").string();
  const fs::path file = dir / "Tavishore32.cmt";
  tGraphicID picture(nullptr);
  picture.Info = {"kC:\\a.gif", "rFirst line", "rSecond line", "bSize"};
  // Opening the save dialog has already built the remarks the save will write.
  EXPECT_EQ(picture.RemarksText(""), "First line\r\nSecond line");
  // No comments file: Load is disabled; the memo starts with the picture's comments; Save
  // writes the file; the text becomes the picture's comments.
  dialogtest::TDriver driver;
  driver.Then([] {
    for (TForm* f : Screen.Forms)
      if (auto* c = dynamic_cast<TCommentWindow*>(f); c && c->Visible()) {
        EXPECT_EQ(c->Caption(), "Edit Comments");
        EXPECT_FALSE(c->LoadBtn->Enabled());
        EXPECT_EQ(c->Text(), "First line\r\nSecond line");
        c->SetText("New words\r\nand more");
        c->SaveBtn->Click();
        EXPECT_TRUE(c->LoadBtn->Enabled());
        c->CloseBtn->Post(BM_CLICK);
        return true;
      }
    return false;
  });
  driver.Start();
  EditComments(nullptr, picture);
  EXPECT_FALSE(driver.TimedOut());
  ASSERT_TRUE(fs::exists(file));
  std::ifstream in(file, std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, "New words\r\nand more");
  EXPECT_FALSE(fs::exists(dir / "Tavishore32.cmt.new"));
  EXPECT_TRUE(picture.HasRemarks());
  tGraphicID copy(nullptr);
  copy.Info = picture.Info;
  EXPECT_EQ(copy.RemarksText(""), "New words\r\nand more");
  EXPECT_EQ(picture.Info.front(), "kC:\\a.gif");
  // The next save writes the edited comments, not the ones read from the file.
  EXPECT_EQ(picture.FormatRemarks("", 1), "New words\r\nand more");
  // Emptied: the picture has no comments any more; Load brings the file back.
  dialogtest::TDriver second;
  second.Then([] {
    for (TForm* f : Screen.Forms)
      if (auto* c = dynamic_cast<TCommentWindow*>(f); c && c->Visible()) {
        EXPECT_TRUE(c->LoadBtn->Enabled());
        c->LoadBtn->Click();
        EXPECT_EQ(c->Text(), "New words\r\nand more");
        c->SetText("");
        c->CloseBtn->Post(BM_CLICK);
        return true;
      }
    return false;
  });
  second.Start();
  EditComments(nullptr, picture);
  EXPECT_FALSE(picture.HasRemarks());
  EXPECT_EQ(picture.FormatRemarks("", 6), "");
  CommentsProgramFile.clear();
}
