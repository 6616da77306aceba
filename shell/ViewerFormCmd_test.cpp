// The main window's command families driven by real messages: keys sent to the lists and the
// window, menu items chosen by their command numbers, a drop of files from the shell, the
// timer's one-time messages, the parental levels, the options button, and the windows the
// buttons and the batch submenu open over the pictures that have thumbnails.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/DragDrop.h"
#include "shell/InspectorForm.h"
#include "shell/SelectFolderDialog.h"
#include "shell/ViewerForm.h"
#include "thumbnails/ScriptEditorDialog.h"
#include "thumbnails/ThumbToolsForm.h"
#include "thumbnails/ThumbWindowForm.h"
#include "shell/MainWindowDriver_test.h"
#include "shell/ScratchSettings_test.h"
#include "tests/MouseInput.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;
using mainwindowtest::FindFormOf;
using mainwindowtest::Key;
using mainwindowtest::PopUpAndClose;
using mainwindowtest::Window;

namespace {
struct Start {
  Start() {
    StartCommandLine = "Tavishore32.exe";
    testsettings::UseScratchSettings("cmd_ini");
  }
} start;

fs::path MakeScratch(const std::string& name, std::initializer_list<const char*> files) {
  fs::path dir = testsupport::ScratchDir("cmd_" + name);
  for (const char* f : files) testsupport::WriteFile(dir / f, std::vector<uint8_t>(100, 'x'));
  return dir;
}

bool Exists(const fs::path& p) { return fs::exists(p); }

// The shell's question before it deletes for good.
const char* const kConfirmDelete = "Confirm file deletion";
}  // namespace

TEST(ViewerFormCommands, DeleteKeys) {
  // Shift+Delete deletes; in a folder named "Recycled" plain Delete deletes too.
  fs::path plain = MakeScratch("del", {"a.txt", "b.txt"});
  fs::path recycled = MakeScratch("del2", {});
  fs::create_directory(recycled / "Recycled");
  testsupport::WriteFile(recycled / "Recycled" / "c.txt", std::vector<uint8_t>(10, 'c'));
  {
    Window w(plain);
    ASSERT_EQ(w.Files().Count(), 2);
    w.Select("a.txt");
    // Deleting for good: the shell asks first.
    dialogtest::TDriver yes;
    yes.Then([] { return dialogtest::PressButton(kConfirmDelete, "&Yes"); });
    yes.Start();
    Key(&w.Files(), VK_DELETE, true);
    dialogtest::Pump();
    EXPECT_TRUE(yes.Finished() && !yes.TimedOut());
    EXPECT_FALSE(Exists(plain / "a.txt"));
    EXPECT_TRUE(Exists(plain / "b.txt"));
    EXPECT_EQ(w.Files().IndexOfName("a.txt"), -1);
  }
  {
    Window w(recycled / "Recycled");
    EXPECT_FALSE(w.form->MayRecycleHere());
    w.Select("c.txt");
    dialogtest::TDriver yes;
    yes.Then([] { return dialogtest::PressButton(kConfirmDelete, "&Yes"); });
    yes.Start();
    Key(&w.Files(), VK_DELETE);
    dialogtest::Pump();
    EXPECT_TRUE(yes.Finished() && !yes.TimedOut());
    EXPECT_FALSE(Exists(recycled / "Recycled" / "c.txt"));
  }
}

TEST(ViewerFormCommands, NothingChangesAboveLevelZero) {
  fs::path dir = MakeScratch("level", {"keep.txt"});
  Window w(dir);
  w.form->ParentalLevel = 1;
  w.form->ApplyParentalLevel();
  w.Select("keep.txt");
  Key(&w.Files(), VK_DELETE, true);
  Key(&w.Files(), VK_F2);
  EXPECT_TRUE(Exists(dir / "keep.txt"));
  w.form->ParentalLevel = 0;
}

TEST(ViewerFormCommands, RenameInPlaceWithF2) {
  fs::path dir = MakeScratch("ren", {"old.txt", "taken.txt"});
  Window w(dir);
  w.Select("old.txt");
  dialogtest::TDriver type;
  type.Then([] {
    HWND edit = GetFocus();
    wchar_t cls[16] = {};
    GetClassNameW(edit, cls, 16);
    if (lstrcmpiW(cls, L"Edit") != 0) return false;
    SetWindowTextW(edit, L"new name.txt");
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    return true;
  });
  type.Start();
  Key(&w.Files(), VK_F2);
  dialogtest::Pump();
  EXPECT_TRUE(Exists(dir / "new name.txt"));
  EXPECT_FALSE(Exists(dir / "old.txt"));
  EXPECT_GE(w.Files().IndexOfName("new name.txt"), 0);

  // A name that is taken: the message says so and nothing moves.
  std::string text;
  dialogtest::TDriver refuse;
  refuse.Then([&] {
    HWND box = dialogtest::FindForm("Error");
    if (!box) return false;
    HWND label = dialogtest::FindChild(box, L"Static", "") ;
    (void)label;
    text = "shown";
    return dialogtest::PressButton("Error", "OK");
  });
  refuse.Start();
  EXPECT_FALSE(RenameWithMessage((dir / "new name.txt").string(), (dir / "taken.txt").string(),
                                 w.form));
  EXPECT_EQ(text, "shown");
  EXPECT_TRUE(Exists(dir / "new name.txt"));
}

TEST(ViewerFormCommands, CopyNamesFromTheMenu) {
  fs::path dir = MakeScratch("names", {"one.txt", "two.txt", "three.txt"});
  Window w(dir);
  w.Select("two.txt");
  w.Choose(w.form->filePopup, 16);
  EXPECT_EQ(GetClipboardText(), (dir / "two.txt").string());
  // With "All tagged": every tagged name, one a line.
  w.Files().SetTag(w.Files().IndexOfName("one.txt"), 1);
  w.Files().SetTag(w.Files().IndexOfName("two.txt"), 1);
  w.form->filePopup->FindItemByTag(8)->Checked = true;
  w.Choose(w.form->filePopup, 16);
  const std::string text = GetClipboardText();
  EXPECT_NE(text.find((dir / "one.txt").string() + "\r\n"), std::string::npos);
  EXPECT_NE(text.find((dir / "two.txt").string() + "\r\n"), std::string::npos);
  EXPECT_EQ(text.find("three"), std::string::npos);
}

TEST(ViewerFormCommands, ShellDropCopiesIntoTheFolder) {
  fs::path from = MakeScratch("dropfrom", {"p1.txt", "p2.txt"});
  fs::path to = MakeScratch("dropto", {});
  Window w(to);
  if (!w.form->AcceptingDrops) w.form->ToggleDropAccept();
  // The shell's drop: a DROPFILES block with the wide names, each ending in a zero.
  std::wstring names;
  for (const char* n : {"p1.txt", "p2.txt"}) names += (from / n).wstring() + L'\0';
  names += L'\0';
  HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(g));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = POINT{200, 200};
  drop->fWide = TRUE;
  std::memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(g);
  // The drop menu comes up; "&Copy here" is chosen by its key.
  dialogtest::TDriver choose;
  choose.Then([&] {
    if (!FindWindowW(L"#32768", nullptr)) return false;
    PostMessageW(w.form->Handle(), WM_CHAR, 'c', 1);
    return true;
  });
  choose.Start();
  w.form->Post(WM_DROPFILES, reinterpret_cast<WPARAM>(g));
  dialogtest::Pump(40);
  EXPECT_TRUE(Exists(to / "p1.txt"));
  EXPECT_TRUE(Exists(to / "p2.txt"));
  EXPECT_TRUE(Exists(from / "p1.txt"));
  EXPECT_GE(w.Files().IndexOfName("p2.txt"), 0);
}

TEST(ViewerFormCommands, WindowKeys) {
  fs::path dir = MakeScratch("keys", {"x.txt"});
  Window w(dir);
  testsupport::WriteFile(dir / "later.txt", std::vector<uint8_t>(5, 'l'));
  EXPECT_EQ(w.Files().IndexOfName("later.txt"), -1);
  Key(&w.Files(), VK_F5);
  dialogtest::Pump();
  EXPECT_GE(w.Files().IndexOfName("later.txt"), 0);
  w.form->HeaderControl1->SetSectionWidth(3, 300);
  Key(&w.Files(), VK_F12, false, true);
  EXPECT_EQ(w.form->HeaderControl1->SectionWidth(0), 160);
  EXPECT_EQ(w.form->HeaderControl1->SectionWidth(3), 136);
  EXPECT_EQ(w.form->Width(), 30 + 561);
}

TEST(ViewerFormCommands, ParentalLevels) {
  fs::path dir = MakeScratch("parental", {"x.txt"});
  Window w(dir);
  struct Row {
    int level;
    const char* section;
    bool hidden, drives, folders;
  } rows[] = {{2, "Folders", false, true, true},
              {3, "Folders", false, false, true},
              {4, "Folders", false, false, false},
              {0, "DRIVES / history / bookmarks", true, true, true}};
  for (const Row& r : rows) {
    w.form->ParentalLevel = static_cast<uint16_t>(r.level);
    w.form->ApplyParentalLevel();
    EXPECT_EQ(w.form->HeaderControl1->SectionText(0), r.section);
    EXPECT_EQ(w.form->btn_h->Visible(), r.hidden);
    EXPECT_EQ(w.form->btnGallery->Visible(), r.level < 2);
    EXPECT_EQ(w.form->Orvex_DriveCombo1->Enabled(), r.drives);
    EXPECT_EQ(w.form->btnClone->Enabled(), r.drives);
    EXPECT_EQ(w.form->Orvex_DirList1->Enabled(), r.folders);
  }
}

TEST(ViewerFormCommands, TimerShowsTheWelcomeOnce) {
  fs::path dir = MakeScratch("timer", {});
  Window w(dir);
  w.form->VersionChanged = true;
  w.form->BuildDate = 0x2B41;
  int boxes = 0;
  dialogtest::TDriver close;
  close.Then([&] {
    if (!dialogtest::PressButton("Information", "OK")) return false;
    ++boxes;
    return true;
  });
  close.Start();
  for (int i = 0; i < 150 && (w.form->VersionChanged || boxes == 0); ++i) dialogtest::Pump(2);
  EXPECT_EQ(boxes, 1);
  EXPECT_FALSE(w.form->VersionChanged);
  // A build of 2001 is old: the reminder is due for the next tick.
  EXPECT_TRUE(w.form->OldBuildReminderDue);
  w.form->OldBuildReminderDue = false;
}

TEST(ViewerFormCommands, OptionsButtonOpensTheDialog) {
  fs::path dir = MakeScratch("options", {});
  Window w(dir);
  ASSERT_TRUE(w.form->btnOptions->Enabled());
  bool seen = false;
  dialogtest::TDriver cancel;
  cancel.Then([&] {
    seen = dialogtest::FindForm("Tavishore 32 Options") != nullptr;
    return dialogtest::PressButton("Tavishore 32 Options", "Cancel");
  });
  cancel.Start();
  w.form->btnOptions->Click();
  EXPECT_TRUE(seen);
}

namespace {
// A folder of pictures (and one text file) whose thumbnails the window has made.
fs::path ThumbnailedFolder(Window& w, const std::string& name) {
  fs::path dir = testsupport::ScratchDir("cmd_" + name);
  for (const char* source : {"gif/flag_fr.gif", "png/basn2c08.png", "bmp/pal8.bmp"})
    fs::copy_file(testsupport::TestData(source), dir / fs::path(source).filename());
  testsupport::WriteFile(dir / "notes.txt", std::vector<uint8_t>(40, 'n'));
  w.form->Orvex_DirList1->SetDirectory(dir.string());
  dialogtest::PumpUntil([&] { return w.form->ThumbState() == 0 && w.Files().ThumbnailCount() == 3; });
  return dir;
}

// The whole screen while a menu is up, then the menu closed.
bool ShootMenu(const char* name) {
  if (!FindWindowW(L"#32768", nullptr)) return false;
  dialogtest::Pump(2);
  dialogtest::Screenshot(GetDesktopWindow(), name);
  EndMenu();
  return true;
}
}  // namespace

TEST(ViewerFormCommands, ThumbnailedPicturesReachTheBatchMenuTheInspectorAndTheGallery) {
  Window w(MakeScratch("thumbsroot", {}));
  ASSERT_NE(w.form->Thumbnails, nullptr);
  ThumbnailedFolder(w, "thumbs");
  ASSERT_EQ(w.Files().ThumbnailCount(), 3);
  EXPECT_TRUE(w.form->btnInspect->Enabled());
  EXPECT_TRUE(w.form->btnGallery->Enabled());
  EXPECT_TRUE(w.form->btnAbout->Enabled());

  // The file menu offers the batch submenu; seen on the screen with the mouse key.
  w.Select("flag_fr.gif");
  dialogtest::TDriver shoot;
  shoot.Then([] { return ShootMenu("main-file-popup"); });
  shoot.Start();
  Key(&w.Files(), VK_APPS);
  EXPECT_TRUE(shoot.Finished() && !shoot.TimedOut());
  EXPECT_TRUE(w.form->fileBatch->Enabled);
  // The folder menu too.
  w.form->Orvex_DirList1->SetFocus();
  dialogtest::TDriver shootDirs;
  shootDirs.Then([] { return ShootMenu("main-folder-popup"); });
  shootDirs.Start();
  Key(w.form->Orvex_DirList1, VK_APPS);
  EXPECT_TRUE(shootDirs.Finished() && !shootDirs.TimedOut());

  // Batch print by its command number: its dialog comes up for the three pictures.
  bool printSeen = false;
  dialogtest::TDriver cancel;
  cancel.Then([&] {
    printSeen = dialogtest::FindForm("Batch Print") != nullptr;
    return dialogtest::PressButton("Batch Print", "Cancel");
  });
  cancel.Start();
  w.form->filePopup->Handle();
  ASSERT_TRUE(w.form->filePopup->DispatchCommand(w.form->batchPrint->Command()));
  dialogtest::Pump();
  EXPECT_TRUE(printSeen);

  // The inspector goes through the pictures with their thumbnails.
  w.form->btnInspect->Click();
  dialogtest::Pump();
  TInspectorForm* inspector = FindFormOf<TInspectorForm>();
  ASSERT_NE(inspector, nullptr);
  EXPECT_EQ(inspector->ListBox->Count(), 3);
  EXPECT_EQ(GetForegroundWindow(), inspector->Handle());
  dialogtest::PumpUntil([&] { return !inspector->Busy; }, 10000);
  dialogtest::Pump();
  dialogtest::Screenshot(inspector->Handle(), "inspector-thumbnails");
  inspector->Close();
  dialogtest::Pump();
  EXPECT_EQ(FindFormOf<TInspectorForm>(), nullptr);

  // The gallery over the database.
  w.form->btnGallery->Click();
  dialogtest::Pump();
  TThumbWindowForm* gallery = FindFormOf<TThumbWindowForm>();
  ASSERT_NE(gallery, nullptr);
  EXPECT_EQ(gallery->Caption(), "The Gallery");
  // Its Tools button opens the tools window over the same database.
  ASSERT_TRUE(gallery->btnReport->Enabled());
  gallery->btnReport->Click();
  dialogtest::Pump();
  TThumbToolsForm* tools = FindFormOf<TThumbToolsForm>();
  ASSERT_NE(tools, nullptr);
  delete tools;
  delete gallery;

  // The about box, closed by its button.
  bool aboutSeen = false;
  dialogtest::TDriver close;
  close.Then([&] {
    aboutSeen = dialogtest::FindForm("About") != nullptr;
    return dialogtest::PressButton("About", "&Close");
  });
  close.Start();
  w.form->btnAbout->Click();
  EXPECT_TRUE(aboutSeen);
}

TEST(ViewerFormCommands, AFolderLeftOutOfAutomaticThumbnailsGetsNone) {
  Window w(MakeScratch("autoroot", {}));
  ASSERT_NE(w.form->Thumbnails, nullptr);
  const fs::path parent = ThumbnailedFolder(w, "auto");
  const fs::path sub = parent / "scans";
  fs::create_directory(sub);
  fs::copy_file(testsupport::TestData("gif/flag_fr.gif"), sub / "scan.gif");
  w.form->Post(WM_FOLDER_CHANGED);
  dialogtest::Pump();
  // "Auto thumbnail" on the subfolder's item: its check goes off, the folder is left out.
  TOrvex_DirList& dirs = *w.form->Orvex_DirList1;
  dirs.SetItemIndex(dirs.CurrentRow() + 1);
  ASSERT_EQ(RemoveBackslash(dirs.GetItemPath(dirs.ItemIndex())), sub.string());
  PopUpAndClose([&] { w.form->ShowFolderPopup(); });
  TMenuItem* autoThumbs = w.form->dirPopup->FindItemByTag(5);
  EXPECT_TRUE(autoThumbs->Enabled);
  EXPECT_FALSE(autoThumbs->Checked);
  w.Choose(w.form->dirPopup, 5);
  PopUpAndClose([&] { w.form->ShowFolderPopup(); });
  EXPECT_TRUE(autoThumbs->Checked);
  // The folder gets no thumbnails of its own; "Thumbnails" is offered, and once chosen the
  // folder counts as known.
  dirs.SetDirectory(sub.string());
  dialogtest::PumpUntil([&] { return w.form->ThumbView->Folder == sub.string(); }, 10000);
  dialogtest::PumpUntil([&] { return w.form->ThumbState() == 0; });
  EXPECT_EQ(w.Files().ThumbnailCount(), 0);
  w.Select("scan.gif");
  PopUpAndClose([&] { w.form->ShowFilePopup(); });
  TMenuItem* show = w.form->filePopup->FindItemByTag(12);
  EXPECT_TRUE(show->Enabled);
  EXPECT_FALSE(show->Checked);
  w.Choose(w.form->filePopup, 12);
  dialogtest::PumpUntil([&] { return w.form->ThumbState() == 0; });
  EXPECT_EQ(w.Files().ThumbnailCount(), 1);
  PopUpAndClose([&] { w.form->ShowFilePopup(); });
  EXPECT_TRUE(show->Checked);
  EXPECT_FALSE(show->Enabled);
  // Automatic thumbnails on again: the folder fills in.
  dirs.SetDirectory(parent.string());
  dialogtest::PumpUntil([&] { return w.form->ThumbView->Folder == parent.string(); }, 10000);
  dialogtest::PumpUntil([&] { return w.form->ThumbState() == 0; });
  dirs.SetItemIndex(dirs.CurrentRow() + 1);
  PopUpAndClose([&] { w.form->ShowFolderPopup(); });
  w.Choose(w.form->dirPopup, 5);
  dirs.SetDirectory(sub.string());
  dialogtest::PumpUntil([&] { return w.Files().ThumbnailCount() == 1; }, 20000);
  EXPECT_EQ(w.Files().ThumbnailCount(), 1);
}

namespace {
using testsupport::LeftStep;
using testsupport::MoveStep;
using testsupport::WaitStep;

// The middle of a row, on the screen.
POINT OnRow(TListBox& list, int row) {
  RECT r = list.ItemRect(row);
  return list.ClientToScreen({r.left + 30, (r.top + r.bottom) / 2});
}

// A step that acts once.
dialogtest::TDriver::Step Once(std::function<void()> act) {
  return [act] {
    act();
    return true;
  };
}

bool MenuUp() { return FindWindowW(L"#32768", nullptr) != nullptr; }

// A drag by the real mouse from a point to another: pressed, moved past the drag rectangle,
// moved on and released. What comes after (the drop's menu) is the caller's next steps.
void DragSteps(dialogtest::TDriver& d, std::function<POINT()> from, std::function<POINT()> to) {
  auto start = std::make_shared<POINT>();
  d.Then(MoveStep([=] { return *start = from(); }))
      .Then(LeftStep(true))
      .Then(MoveStep([=] { return POINT{start->x + 12, start->y + 6}; }))
      .Then(MoveStep(to))
      .Then(WaitStep([] { return DragSource() != nullptr; }, 10))
      .Then(LeftStep(false));
}

void RunSteps(dialogtest::TDriver& d) {
  d.Start();
  dialogtest::PumpUntil([&] { return d.Finished(); }, 60000);
  dialogtest::Pump();
  EXPECT_FALSE(d.TimedOut());
}

// Two windows side by side, the second partly over the first's lower right corner (each drag
// presses in the first, which comes to the front, and drops where the second still shows).
struct TwoWindows {
  Window a, b;
  TwoWindows(const fs::path& first, const fs::path& second) : a(first), b(second) {
    a.form->SetBounds(0, 0, 630, 475);
    b.form->SetBounds(390, 290, 630, 475);
    dialogtest::Pump();
  }
  // A point of the second window's file list that the first does not cover.
  POINT IntoB() const { return b.form->Orvex_FileList1->ClientToScreen({300, 250}); }
};

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}
}  // namespace

// Files dragged from one window's file list to another's: the drop menu copies or moves, and
// the windows whose folders changed read them again.
TEST(ViewerFormDrag, FileListOntoAnotherWindowsFileList) {
  struct Case {
    const char* what;
    std::vector<const char*> tagged;
    const char* pressed;
    WORD key;
    bool sameFolder;
    std::set<std::string> from, to;  // afterwards
    bool moveEnabled;
  } cases[] = {
      {"copy the tagged files", {"a.txt", "b.txt"}, "a.txt", 'C', false,
       {"a.txt", "b.txt", "c.txt"}, {"a.txt", "b.txt"}, true},
      {"move the file pressed", {}, "c.txt", 'M', false, {"a.txt", "b.txt"},
       {"a.txt", "b.txt", "c.txt"}, true},
      {"cancel", {"a.txt"}, "a.txt", VK_ESCAPE, false, {"a.txt", "b.txt"},
       {"a.txt", "b.txt", "c.txt"}, true},
  };
  const fs::path from = MakeScratch("dragfrom", {"a.txt", "b.txt", "c.txt"});
  const fs::path to = MakeScratch("dragto", {});
  TwoWindows w(from, to);
  for (const Case& c : cases) {
    TOrvex_FileList& source = w.a.Files();
    for (int i = 0; i < source.Count(); ++i) source.SetTag(i, kUntag);
    for (const char* t : c.tagged) source.SetTag(source.IndexOfName(t), kTag);
    bool moveEnabled = false, showVisible = true;
    dialogtest::TDriver d;
    DragSteps(d, [&] { return OnRow(source, source.IndexOfName(c.pressed)); },
              [&] { return w.IntoB(); });
    d.Then(WaitStep(MenuUp, 200)).Then(Once([&] {
      moveEnabled = w.b.form->cpyMenu->Items()[1]->Enabled;
      showVisible = w.b.form->cpyMenu->Items()[2]->Visible;
      if (c.key == 'C') dialogtest::ScreenshotWithCursor("drag-drop-menu");
      testsupport::KeyStroke(c.key);
    }));
    RunSteps(d);
    dialogtest::PumpUntil([&] { return Names(from) == c.from && Names(to) == c.to; }, 10000);
    EXPECT_EQ(Names(from), c.from) << c.what;
    EXPECT_EQ(Names(to), c.to) << c.what;
    EXPECT_EQ(moveEnabled, c.moveEnabled) << c.what;
    EXPECT_FALSE(showVisible) << c.what;
    // Both windows show their folders as they are now.
    dialogtest::PumpUntil([&] {
      return w.a.Files().Count() == static_cast<int>(c.from.size()) &&
             w.b.Files().Count() == static_cast<int>(c.to.size());
    }, 10000);
    for (const std::string& n : c.from) EXPECT_GE(w.a.Files().IndexOfName(n), 0) << c.what << n;
    for (const std::string& n : c.to) EXPECT_GE(w.b.Files().IndexOfName(n), 0) << c.what << n;
    EXPECT_EQ(w.a.Files().Count(), static_cast<int>(c.from.size())) << c.what;
  }
}

// Onto a window of the same folder: Move is not offered and a copy comes under a new name.
TEST(ViewerFormDrag, SameFolderCopyGetsANewName) {
  const fs::path dir = MakeScratch("dragsame", {"a.txt", "b.txt"});
  TwoWindows w(dir, dir);
  const std::vector<uint8_t> before = testsupport::ReadFile(dir / "a.txt");
  bool moveEnabled = true;
  dialogtest::TDriver d;
  DragSteps(d, [&] { return OnRow(w.a.Files(), w.a.Files().IndexOfName("a.txt")); },
            [&] { return w.IntoB(); });
  d.Then(WaitStep(MenuUp, 200)).Then(Once([&] {
    moveEnabled = w.b.form->cpyMenu->Items()[1]->Enabled;
    testsupport::KeyStroke('C');
  }));
  RunSteps(d);
  dialogtest::PumpUntil([&] { return Names(dir).size() == 3; }, 10000);
  EXPECT_FALSE(moveEnabled);
  const std::set<std::string> names = Names(dir);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(testsupport::ReadFile(dir / "a.txt"), before);
  for (const std::string& n : names) {
    if (n != "a.txt" && n != "b.txt") {
      EXPECT_EQ(testsupport::ReadFile(dir / n), before) << n;
    }
  }
  // The window dropped on reads the folder again.
  dialogtest::PumpUntil([&] { return w.b.Files().Count() == 3; }, 10000);
  EXPECT_EQ(w.b.Files().Count(), 3);
}

// At parental level 1 the file list drags nothing.
TEST(ViewerFormDrag, LevelOneStartsNoDrag) {
  const fs::path from = MakeScratch("draglevel", {"a.txt"});
  const fs::path to = MakeScratch("draglevelto", {});
  TwoWindows w(from, to);
  w.a.form->ParentalLevel = 1;
  w.a.form->ApplyParentalLevel();
  bool dragged = false;
  dialogtest::TDriver d;
  d.Then(MoveStep([&] { return OnRow(w.a.Files(), 0); }))
      .Then(LeftStep(true))
      .Then(MoveStep([&] { return w.IntoB(); }))
      .Then(WaitStep([&] { return (dragged = DragSource() != nullptr); }, 10))
      .Then(LeftStep(false))
      .Then(WaitStep([&] { return MenuUp(); }, 10));
  RunSteps(d);
  EXPECT_FALSE(dragged);
  EXPECT_FALSE(MenuUp());
  EXPECT_EQ(Names(to).size(), 0u);
  w.a.form->ParentalLevel = 0;
  w.a.form->ApplyParentalLevel();
}

namespace {
// The row of a folder list that shows the folder (-1 none).
int FolderRow(TOrvex_DirList& list, const fs::path& folder) {
  for (int i = 0; i < list.Count(); ++i)
    if (RemoveBackslash(list.GetItemPath(i)) == folder.string()) return i;
  return -1;
}
}  // namespace

// Files and folders dragged onto a folder list: its menu, then the folder dialog proposing the
// folder under the drop point (or the list's own), then the copy or move.
TEST(ViewerFormDrag, OntoAFolderListThroughTheFolderDialog) {
  const fs::path from = MakeScratch("dragdirfrom", {"a.txt", "b.txt"});
  fs::create_directory(from / "pics");
  testsupport::WriteFile(from / "pics" / "p.gif", std::vector<uint8_t>(9, 'p'));
  const fs::path to = MakeScratch("dragdirto", {});
  fs::create_directory(to / "sub");
  TwoWindows w(from, to);
  w.a.form->SetBounds(0, 0, 630, 330);  // the second window's folder rows stay in sight
  dialogtest::Pump();
  struct Case {
    const char* what;
    std::function<POINT()> press, drop;
    int menuDowns;  // 1 "Copy to...", 2 "Move to..."
    const char *caption, *text;
    fs::path proposed;
  } cases[] = {
      {"tagged files copied into the folder under the point",
       [&] { return OnRow(w.a.Files(), w.a.Files().IndexOfName("a.txt")); },
       [&] {
         TOrvex_DirList& dirs = *w.b.form->Orvex_DirList1;
         return OnRow(dirs, FolderRow(dirs, to / "sub"));
       },
       1, "Copy", "2 files", to / "sub"},
      {"a folder moved to the list's own folder",
       [&] {
         TOrvex_DirList& dirs = *w.a.form->Orvex_DirList1;
         return OnRow(dirs, FolderRow(dirs, from / "pics"));
       },
       [&] { return w.b.form->Orvex_DirList1->ClientToScreen({60, w.b.form->Orvex_DirList1->ClientHeight() - 8}); },
       2, "Move", nullptr, to},
  };
  w.a.Files().SetTag(w.a.Files().IndexOfName("a.txt"), kTag);
  w.a.Files().SetTag(w.a.Files().IndexOfName("b.txt"), kTag);
  for (const Case& c : cases) {
    std::string caption, text, proposed;
    dialogtest::TDriver d;
    DragSteps(d, c.press, c.drop);
    d.Then(WaitStep(MenuUp, 200)).Then(Once([&] {
      if (c.menuDowns == 1) dialogtest::ScreenshotWithCursor("drag-folder-menu");
      for (int i = 0; i < c.menuDowns; ++i) testsupport::KeyStroke(VK_DOWN);
      testsupport::KeyStroke(VK_RETURN);
    }));
    d.Then([&] {
      auto* dialog = FindFormOf<TSelectFolderDialog>();
      if (!dialog || !dialog->Visible()) return false;
      caption = dialog->lblCaption->Caption();
      text = dialog->lblText->Caption();
      proposed = dialog->Folder();
      dialogtest::Screenshot(dialog->Handle(), std::string("drag-select-folder-") + caption);
      return dialogtest::PressButton("Select folder", "OK");
    });
    RunSteps(d);
    EXPECT_EQ(caption, c.caption) << c.what;
    if (c.text) {
      EXPECT_EQ(text, c.text) << c.what;
    } else {
      EXPECT_EQ(text, "Folder " + (from / "pics").string()) << c.what;
    }
    EXPECT_EQ(proposed, c.proposed.string()) << c.what;
  }
  dialogtest::PumpUntil([&] { return fs::exists(to / "pics" / "p.gif"); }, 10000);
  EXPECT_EQ(Names(to / "sub"), (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(Names(from), (std::set<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(testsupport::ReadFile(to / "pics" / "p.gif").size(), 9u);
  // Both folder lists show the folders as they are now.
  dialogtest::PumpUntil([&] { return FolderRow(*w.a.form->Orvex_DirList1, from / "pics") < 0; }, 5000);
  EXPECT_LT(FolderRow(*w.a.form->Orvex_DirList1, from / "pics"), 0);
  EXPECT_GE(FolderRow(*w.b.form->Orvex_DirList1, to / "pics"), 0);
}

// Files dragged onto the Scripts button: the script editor offers them.
TEST(ViewerFormDrag, OntoTheScriptsButton) {
  const fs::path from = MakeScratch("dragscripts", {"s1.gif", "s2.gif", "s3.gif"});
  TwoWindows w(from, MakeScratch("dragscriptsto", {}));
  // Each press on another row: two presses on one row in a short time make a double click.
  struct Case {
    std::vector<const char*> tagged;
    const char* pressed;
    std::vector<std::string> offered;
  } cases[] = {
      {{"s1.gif", "s3.gif"}, "s1.gif", {(from / "s1.gif").string(), (from / "s3.gif").string()}},
      {{}, "s2.gif", {(from / "s2.gif").string()}},
  };
  for (const Case& c : cases) {
    TOrvex_FileList& files = w.a.Files();
    for (int i = 0; i < files.Count(); ++i) files.SetTag(i, kUntag);
    for (const char* t : c.tagged) files.SetTag(files.IndexOfName(t), kTag);
    std::vector<std::string> offered;
    dialogtest::TDriver d;
    DragSteps(d, [&] { return OnRow(files, files.IndexOfName(c.pressed)); }, [&] {
      TButton& scripts = *w.b.form->btnScripts;
      return scripts.ClientToScreen({scripts.ClientWidth() / 2, scripts.ClientHeight() / 2});
    });
    d.Then([&] {
      auto* editor = FindFormOf<TScriptDlg>();
      if (!editor || !editor->Visible()) return false;
      for (int i = 0; i < editor->SrcList->Count(); ++i) offered.push_back(editor->SrcList->String(i));
      editor->Post(WM_CLOSE);
      return true;
    });
    RunSteps(d);
    EXPECT_EQ(offered, c.offered);
  }
}
