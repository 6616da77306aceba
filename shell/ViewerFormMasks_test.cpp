// The main window's mask combo and folder combos under the real window system: leaving the mask
// combo applies what it holds, Enter there moves on and so applies too, a mask typed in a second
// window reaches the first window's history (the one that is saved), and the drop-down lists of
// the folder combos are as long as the folder list below them.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uUtil.h"
#include "shell/MainWindowDriver_test.h"
#include "shell/ScratchSettings_test.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;
using mainwindowtest::Key;
using mainwindowtest::Window;

namespace {
const bool settingsReady = [] {
  StartCommandLine = "Tavishore32.exe";
  testsettings::UseScratchSettings("masks_ini");
  return true;
}();

fs::path Folder() {
  fs::path dir = testsupport::ScratchDir("masks");
  for (const char* name : {"a.gif", "b.png", "c.txt"})
    testsupport::WriteFile(dir / name, std::vector<uint8_t>(10, 'x'));
  return dir;
}

// The mask combo gets the focus, holds the text, and the focus moves on to the file list.
void LeaveMask(Window& w, const std::string& text) {
  w.form->cbMask->SetFocus();
  w.form->cbMask->SetText(text);
  w.Files().SetFocus();
  dialogtest::Pump();
}

int Entries(TComboBox& combo, const std::string& text) {
  int n = 0;
  for (int i = 0; i < combo.Count(); ++i) n += combo.String(i) == text;
  return n;
}
}  // namespace

TEST(ViewerFormMasks, LeavingTheMaskComboAppliesIt) {
  Window w(Folder());
  TOrvex_FilterCombo& filter = *w.form->Orvex_FilterCombo1;
  struct Case {
    const char* typed;
    int filterEntry;  // chosen before, for an empty text
    const char* mask;
    int listed;
  } cases[] = {
      {"*.gif", -1, "*.gif", 1},
      {"*.p*", -1, "*.p*", 1},
      {"", 0, "*.*", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    if (c.filterEntry >= 0) filter.SetItemIndex(c.filterEntry + 1);  // behind the custom entry
    LeaveMask(w, c.typed);
    EXPECT_EQ(w.Files().Mask(), c.mask);
    EXPECT_EQ(w.form->cbMask->Text(), c.mask);
    EXPECT_EQ(w.Files().FileCount(), c.listed);
  }
  // Each custom mask typed once is in the history once; the newest custom entry is first.
  EXPECT_EQ(Entries(*w.form->cbMask, "*.gif"), 1);
  EXPECT_EQ(Entries(*w.form->cbMask, "*.p*"), 1);
  EXPECT_EQ(filter.Filter().rfind("Custom|*.p*|All files|", 0), 0u) << filter.Filter();

  // Enter is swallowed and moves the focus on, which applies the mask.
  w.form->cbMask->SetFocus();
  w.form->cbMask->SetText("*.txt");
  // The keys go to the edit box inside the combo.
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(w.form->cbMask->Handle(), &info));
  Key(info.hwndItem, VK_RETURN);
  dialogtest::Pump();
  EXPECT_EQ(w.Files().Mask(), "*.txt");
  EXPECT_EQ(w.Files().FileCount(), 1);
  const HWND focus = GetFocus();
  EXPECT_TRUE(focus != w.form->cbMask->Handle() && !IsChild(w.form->cbMask->Handle(), focus));
}

TEST(ViewerFormMasks, ASecondWindowsMasksReachTheFirstWindowsHistory) {
  const fs::path dir = Folder();
  Window first(dir);
  TViewerForm* second = OpenViewerFormAt(first.form, dir.string());
  dialogtest::Pump();
  ASSERT_NE(second, first.form);
  second->cbMask->SetFocus();
  second->cbMask->SetText("*.png");
  second->Orvex_FileList1->SetFocus();
  dialogtest::Pump();
  EXPECT_EQ(second->Orvex_FileList1->Mask(), "*.png");
  EXPECT_EQ(Entries(*first.form->cbMask, "*.png"), 1);
  delete second;
}

// The list of a folder combo shows as many rows as the folder list is high, at most its items.
TEST(ViewerFormMasks, FolderCombosDropAsLongAsTheFolderList) {
  Window w(Folder());
  w.form->nbookLeftTop->SetPageIndex(1);
  TOrvex_ComboBox& history = *w.form->cbDir;
  for (const int items : {60, 3}) {
    SCOPED_TRACE(items);
    history.Clear();
    for (int i = 0; i < items; ++i) history.Add("C:\\folder " + std::to_string(i));
    history.Send(CB_SHOWDROPDOWN, TRUE, 0);
    dialogtest::Pump(2);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(history.Handle(), &info));
    RECT list;
    GetWindowRect(info.hwndList, &list);
    const int rows = DropDownRowCount(w.form->Orvex_DirList1->Height(), history.ListItemHeight(),
                                      items);
    EXPECT_EQ((list.bottom - list.top) / history.ListItemHeight(), rows);
    if (items == 60) {
      EXPECT_LT(rows, items);
      dialogtest::Screenshot(GetDesktopWindow(), "main-history-dropped");
    }
    history.Send(CB_SHOWDROPDOWN, FALSE, 0);
    dialogtest::Pump(2);
  }
}
