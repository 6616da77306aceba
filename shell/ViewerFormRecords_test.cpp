// The thumbnail database follows what the main window's commands do to files and folders: a
// renamed file keeps its record (and is not decoded again), a renamed folder takes its records
// along, and a recycled or deleted folder leaves no active record behind. Each road is driven as
// the user takes it: keys and menu items of the main window, the inspector and batch rename.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "shell/BatchRenameDialog.h"
#include "shell/InspectorForm.h"
#include "shell/MainWindowDriver_test.h"
#include "shell/ScratchSettings_test.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"
#include "thumbnails/uThumbRecords.h"

namespace fs = std::filesystem;
using mainwindowtest::FindFormOf;
using mainwindowtest::Key;
using mainwindowtest::PopUpAndClose;

namespace {
struct Start {
  Start() {
    StartCommandLine = "Tavishore32.exe";
    testsettings::UseScratchSettings("records_ini");
  }
} start;

// Types a name into the in-place edit that has the focus and ends it with Enter.
bool TypeInPlace(const wchar_t* name) {
  HWND edit = GetFocus();
  wchar_t cls[16] = {};
  GetClassNameW(edit, cls, 16);
  if (lstrcmpiW(cls, L"Edit") != 0) return false;
  SetWindowTextW(edit, name);
  PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  return true;
}

// Answers the shell's question before a folder goes, whatever its wording.
BOOL CALLBACK PressYes(HWND h, LPARAM done) {
  HWND yes = IsWindowVisible(h) ? dialogtest::FindChild(h, L"Button", "&Yes") : nullptr;
  if (!yes) return TRUE;
  PostMessageW(yes, BM_CLICK, 0, 0);
  *reinterpret_cast<bool*>(done) = true;
  return FALSE;
}

bool AnswerYes() {
  bool done = false;
  EnumThreadWindows(GetCurrentThreadId(), &PressYes, reinterpret_cast<LPARAM>(&done));
  return done;
}

// A main window whose folder changes wait for the thumbnail pass.
struct Window : mainwindowtest::Window {
  explicit Window(const fs::path& folder) : mainwindowtest::Window(folder) { Open(folder); }
  // Shows a folder and waits until its thumbnail pass is over.
  void Open(const fs::path& folder) {
    Dirs().SetDirectory(folder.string());
    dialogtest::PumpUntil(
        [&] { return form->ThumbView && form->ThumbView->Folder == folder.string(); }, 10000);
    Idle();
  }
  void Idle() {
    dialogtest::Pump();
    dialogtest::PumpUntil([&] { return form->ThumbState() == 0; });
  }
  // The folder list's item of a sub-folder of the shown folder becomes the current item.
  void SelectSubFolder(const fs::path& sub) {
    for (int i = Dirs().CurrentRow() + 1; i < Dirs().Count(); ++i)
      if (RemoveBackslash(Dirs().GetItemPath(i)) == sub.string()) Dirs().SetItemIndex(i);
    Dirs().SetFocus();
  }
};

// A folder with two pictures of the user's (writable, unlike the test data).
fs::path Pictures(const fs::path& dir) {
  fs::create_directories(dir);
  fs::copy_file(testsupport::TestData("gif/flag_fr.gif"), dir / "a.gif");
  fs::copy_file(testsupport::TestData("png/basn2c08.png"), dir / "b.png");
  for (const auto& e : fs::directory_iterator(dir))
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add);
  return dir;
}

tThumbnails& Database() { return *ViewerForm->Thumbnails; }

// The bare names of the active records in a folder (not below it), sorted.
std::vector<std::string> ActiveIn(const fs::path& folder) {
  std::vector<std::string> names;
  Database().ForEachRecord([&](uint32_t, const TThumbnailRecord& r) {
    const std::string path = RecordPathText(r);
    if (r.Status == 'A' && RemoveBackslash(ExtractFilePath(path)) == folder.string())
      names.push_back(ExtractFileName(path));
  });
  std::sort(names.begin(), names.end());
  return names;
}

using Names = std::vector<std::string>;
}  // namespace

// Every road that renames a file: the record moves to the new name, the list still shows the
// thumbnail after the re-read, and the next pass over the folder decodes nothing.
TEST(ViewerFormRecords, ARenamedFileKeepsItsThumbnail) {
  struct Road {
    const char* name;
    std::function<void(Window&)> rename;
    Names after;
  } roads[] = {
      {"in place (F2)",
       [](Window& w) {
         w.Select("a.gif");
         dialogtest::TDriver type;
         type.Then([] { return TypeInPlace(L"z.gif"); });
         type.Start();
         Key(&w.Files(), VK_F2);
         EXPECT_TRUE(type.Finished());
       },
       {"b.png", "z.gif"}},
      {"in the inspector",
       [](Window& w) {
         w.form->btnInspect->Click();
         dialogtest::Pump();
         TInspectorForm* inspector = FindFormOf<TInspectorForm>();
         ASSERT_NE(inspector, nullptr);
         dialogtest::PumpUntil([&] { return !inspector->Busy; }, 10000);
         inspector->ListBox->SetItemIndex(0);
         ASSERT_EQ(inspector->ListBox->String(0), "a.gif");
         inspector->StartRename();
         inspector->Edit1->SetText("z.gif");
         Key(inspector->Edit1, VK_RETURN);
         EXPECT_EQ(inspector->ListBox->String(0), "z.gif");
         inspector->Close();
         dialogtest::Pump();
       },
       {"b.png", "z.gif"}},
      {"by batch rename",
       [](Window& w) {
         w.Files().SetTag(w.Files().IndexOfName("a.gif"), 1);
         w.Files().SetTag(w.Files().IndexOfName("b.png"), 1);
         w.Select("a.gif");
         // The menu checks "All tagged" by itself: the current file is one of two tagged.
         PopUpAndClose([&] { w.form->ShowFilePopup(); });
         ASSERT_TRUE(w.form->filePopup->FindItemByTag(8)->Checked);
         // A common base: every name becomes "z" with its own extension.
         dialogtest::TDriver ok;
         ok.Then([] {
           auto* dlg = FindFormOf<TdlgBatchRename>();
           if (!dlg || !dlg->Visible()) return false;
           dlg->SetPage(1);
           dlg->edBase->SetText("z");
           return dialogtest::PressButton("Batch Rename", "OK");
         });
         ok.Start();
         w.Choose(w.form->filePopup, 11);
         EXPECT_TRUE(ok.Finished());
       },
       {"z.gif", "z.png"}},
  };
  int n = 0;
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    const fs::path dir = Pictures(testsupport::ScratchDir("rec_file") / std::to_string(n++));
    Window w(dir);
    ASSERT_EQ(w.Files().ThumbnailCount(), 2);
    ASSERT_EQ(ActiveIn(dir), (Names{"a.gif", "b.png"}));
    const uint32_t records = Database().RecordCount();
    road.rename(w);
    w.Idle();
    EXPECT_EQ(ActiveIn(dir), road.after);
    for (const std::string& name : road.after) {
      EXPECT_TRUE(fs::exists(dir / name)) << name;
      const int i = w.Files().IndexOfName(name);
      ASSERT_GE(i, 0) << name;
      w.Files().RedrawItem(i);
      dialogtest::Pump(2);
      EXPECT_NE(w.Files().Entry(i)->ThumbIndex, -1) << name << " shows its thumbnail";
    }
    // The next pass finds every picture known: no new record, none purged as vanished.
    w.form->Post(WM_FOLDER_CHANGED);
    w.Idle();
    EXPECT_EQ(Database().RecordCount(), records);
    EXPECT_EQ(ActiveIn(dir), road.after);
  }
}

// A folder renamed from the folder menu takes its records along, below it too.
TEST(ViewerFormRecords, ARenamedFolderTakesItsRecords) {
  const fs::path root = testsupport::ScratchDir("rec_folder_ren");
  const fs::path holiday = Pictures(root / "holiday");
  const fs::path nested = Pictures(holiday / "day one");
  Window w(nested);
  w.Open(holiday);
  ASSERT_EQ(ActiveIn(holiday), (Names{"a.gif", "b.png"}));
  ASSERT_EQ(ActiveIn(nested), (Names{"a.gif", "b.png"}));
  const uint32_t active = Database().ActiveCount();
  w.Open(root);
  w.SelectSubFolder(holiday);
  dialogtest::TDriver type;
  type.Then([] { return TypeInPlace(L"summer"); });
  type.Start();
  Key(&w.Dirs(), VK_F2);
  EXPECT_TRUE(type.Finished());
  w.Idle();
  ASSERT_TRUE(fs::exists(root / "summer"));
  EXPECT_EQ(ActiveIn(holiday), Names{});
  EXPECT_EQ(ActiveIn(nested), Names{});
  EXPECT_EQ(ActiveIn(root / "summer"), (Names{"a.gif", "b.png"}));
  EXPECT_EQ(ActiveIn(root / "summer" / "day one"), (Names{"a.gif", "b.png"}));
  EXPECT_EQ(Database().ActiveCount(), active);
  // The renamed folder's pictures are known there: a visit decodes nothing.
  const uint32_t records = Database().RecordCount();
  w.Open(root / "summer");
  EXPECT_EQ(w.Files().ThumbnailCount(), 2);
  EXPECT_EQ(Database().RecordCount(), records);
}

// A folder recycled or deleted from the folder menu leaves no active record, and the status bar
// shows the database's new counts.
TEST(ViewerFormRecords, AFolderThatGoesLeavesNoActiveRecord) {
  for (const int tag : {3, 2}) {
    SCOPED_TRACE(tag == 2 ? "recycle" : "delete");
    const fs::path root = testsupport::ScratchDir("rec_folder_del" + std::to_string(tag));
    const fs::path gone = Pictures(root / "gone");
    const fs::path nested = Pictures(gone / "inner");
    const fs::path kept = Pictures(root / "kept");
    Window w(nested);
    w.Open(gone);
    w.Open(kept);
    w.Open(root);
    const uint32_t active = Database().ActiveCount();
    w.SelectSubFolder(gone);
    PopUpAndClose([&] { w.form->ShowFolderPopup(); });
    dialogtest::TDriver yes;
    yes.Then(AnswerYes);
    yes.Start();
    w.Choose(w.form->dirPopup, tag);
    w.Idle();
    ASSERT_FALSE(fs::exists(gone));
    EXPECT_EQ(ActiveIn(gone), Names{});
    EXPECT_EQ(ActiveIn(nested), Names{});
    EXPECT_EQ(ActiveIn(kept), (Names{"a.gif", "b.png"}));
    EXPECT_EQ(Database().ActiveCount(), active - 4);
    EXPECT_EQ(w.form->StatusBar1->PanelText(3), std::to_string(active - 4) + " active (" +
                                                    std::to_string(Database().RecordCount()) +
                                                    " total)");
  }
}

