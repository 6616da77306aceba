// The file-browser controls on real windows, through real messages, over a folder made for
// each test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlFilterCombo.h"
#include "foundation/cFileCtlPathLabel.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/uFiles.h"
#include "foundation/uLocaleText.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Header.h"
#include "framework/Text.h"
#include "framework/Timer.h"
#include "tests/MouseInput.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {
// A folder of files of several kinds, sizes and dates, with a subfolder, a hidden file, a
// system file and a hidden subfolder.
std::string MakeFolder(const std::string& name) {
  fs::path dir = testsupport::ScratchDir(name);
  struct File {
    const char* name;
    size_t size;
    int day;
  } files[] = {{"b.jpg", 300, 3}, {"a.gif", 1200, 5},    {"C.txt", 50, 1},   {"d.GIF", 7, 2},
               {"readme", 10, 4}, {"setup.exe", 900, 6}, {"tune.mid", 20, 7}};
  for (const File& f : files) {
    testsupport::WriteFile(dir / f.name, std::vector<uint8_t>(f.size, 'x'));
    tDateTimeFields t;
    t.Year = 2001;
    t.Month = 10;
    t.Day = f.day;
    t.Hour = 12;
    Platform().SetItemDosTime((dir / f.name).string(), FieldsToDosDateTime(t));
  }
  testsupport::WriteFile(dir / "hidden.gif", std::vector<uint8_t>(5, 'h'));
  testsupport::WriteFile(dir / "system.txt", std::vector<uint8_t>(6, 's'));
  SetFileAttributesW((dir / "hidden.gif").wstring().c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW((dir / "system.txt").wstring().c_str(), FILE_ATTRIBUTE_SYSTEM);
  fs::create_directory(dir / "sub");
  fs::create_directory(dir / "sub" / "deeper");
  fs::create_directory(dir / "secret");
  SetFileAttributesW((dir / "secret").wstring().c_str(), FILE_ATTRIBUTE_HIDDEN);
  return dir.string();
}

std::vector<std::string> Names(TOrvex_FileList& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.GetItemName(i));
  return names;
}

// A form with the file list over a folder, read as a form reads it when it finishes loading.
struct Browser {
  explicit Browser(const std::string& folder) {
    form.SetBounds(50, 50, 600, 400);
    list = new TOrvex_FileList(&form, &form, 0, 0, 300, 360);
    list->ChangeDirectory(folder);
    form.Show();
  }
  TForm form{nullptr};
  TOrvex_FileList* list;
};

void Click(TListBox& list, int row, WPARAM keys) {
  RECT r = list.ItemRect(row);
  LPARAM at = MAKELPARAM(r.left + 30, r.top + 2);
  list.Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
  list.Send(WM_LBUTTONUP, keys, at);
}

// Finds the visible borderless form of the thread (the rename form).
BOOL CALLBACK FindPopupForm(HWND h, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(h, cls, 32);
  bool popup = GetWindowLongW(h, GWL_STYLE) & WS_POPUP;
  if (lstrcmpW(cls, L"TavisForm") == 0 && popup && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(found) = h;
    return FALSE;
  }
  return TRUE;
}

// Holds Ctrl down in the thread's keyboard state for posted key messages.
void SetCtrl(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  keys[VK_LCONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}
}  // namespace

TEST(FileList, ReadsAFolderWithHiddenAndSystemFiles) {
  std::string dir = MakeFolder("filelist_read");
  Browser b(dir);
  // Files only by default, hidden and system ones left out; sorted by name.
  EXPECT_EQ(Names(*b.list), (std::vector<std::string>{"a.gif", "b.jpg", "C.txt", "d.GIF", "readme",
                                                      "setup.exe", "tune.mid"}));
  EXPECT_EQ(b.list->FileCount(), 7);
  EXPECT_EQ(b.list->TotalSize(), 300 + 1200 + 50 + 7 + 10 + 900 + 20);
  EXPECT_EQ(b.list->Directory(), RemoveBackslash(dir));
  // The rows hold one character each; the entries hold the names.
  EXPECT_EQ(b.list->String(0), "a");
  b.list->SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftHidden) | FileTypeBit(ftSystem) |
                      FileTypeBit(ftDirectory));
  std::vector<std::string> all = Names(*b.list);
  EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 3),
            (std::vector<std::string>{"..", "secret", "sub"}));  // folders first
  EXPECT_NE(std::find(all.begin(), all.end(), "hidden.gif"), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), "system.txt"), all.end());
  EXPECT_EQ(b.list->FileCount(), 9);
  // Only folders (and files that share an attribute bit with the type).
  b.list->SetFileType(FileTypeBit(ftDirectory));
  EXPECT_EQ(Names(*b.list), (std::vector<std::string>{"..", "sub"}));
}

TEST(FileList, MasksSelectTheFiles) {
  std::string dir = MakeFolder("filelist_masks");
  Browser b(dir);
  struct Case {
    const char* mask;
    std::vector<std::string> names;
  } cases[] = {
      {"*.gif;*.jpg", {"a.gif", "b.jpg", "d.GIF"}},
      {"", {}},
      {"*.gif;*.g*", {"a.gif", "a.gif", "d.GIF", "d.GIF"}},  // each find is its own entry
      {"*.t*", {"C.txt"}},
      {"*.*", {"a.gif", "b.jpg", "C.txt", "d.GIF", "readme", "setup.exe", "tune.mid"}},
  };
  for (const Case& c : cases) {
    b.list->SetMask(c.mask);
    EXPECT_EQ(Names(*b.list), c.names) << c.mask;
  }
}

TEST(FileList, SortSequencesBothWays) {
  std::string dir = MakeFolder("filelist_sort");
  Browser b(dir);
  b.list->SetMask("*.gif;*.jpg;*.txt;*.exe");
  struct Case {
    sfb_SS sequence;
    bool ascending;
    std::vector<std::string> names;
  } cases[] = {
      {SS_name, false, {"setup.exe", "d.GIF", "C.txt", "b.jpg", "a.gif"}},
      {SS_extension, true, {"setup.exe", "a.gif", "d.GIF", "b.jpg", "C.txt"}},
      {SS_size, true, {"d.GIF", "C.txt", "b.jpg", "setup.exe", "a.gif"}},
      {SS_date, true, {"C.txt", "d.GIF", "b.jpg", "a.gif", "setup.exe"}},
      {SS_date, false, {"setup.exe", "a.gif", "b.jpg", "d.GIF", "C.txt"}},
  };
  for (const Case& c : cases) {
    b.list->SetSortSequence(c.sequence);
    b.list->SetSortAscending(c.ascending);
    EXPECT_EQ(Names(*b.list), c.names) << c.sequence << c.ascending;
  }
  // Reading order: the patterns in turn.
  b.list->SetSortAscending(true);
  b.list->SetSortSequence(SS_unsorted);
  std::vector<std::string> names = Names(*b.list);
  EXPECT_EQ(names.back(), "setup.exe");
}

TEST(FileList, TaggingByTheRulesAndByMouseAndKeyboard) {
  std::string dir = MakeFolder("filelist_tags");
  Browser b(dir);
  TOrvex_FileList& l = *b.list;
  l.SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftDirectory));
  l.SetMask("*.*");
  // Rows: .., sub, a.gif, b.jpg, C.txt, d.GIF, readme, setup.exe, tune.mid
  ASSERT_EQ(l.Count(), 9);
  int tagEvents = 0;
  l.OnTagChange = [&](TComponent*) { ++tagEvents; };
  EXPECT_FALSE(l.SetTag(1, kTag));  // a folder row is never tagged
  EXPECT_FALSE(l.IsTagged(1));

  // TagRange down from a tagged row before, and up to a tagged row after.
  l.SetTag(3, kTag);
  l.TagRange(5);
  EXPECT_EQ(l.TaggedCount(), 3);  // rows 3, 4, 5
  l.ToggleAllTags();
  EXPECT_EQ(l.TaggedCount(), 0);
  l.SetTag(7, kTag);
  l.TagRange(4);
  for (int i = 4; i <= 7; ++i) EXPECT_TRUE(l.IsTagged(i)) << i;
  EXPECT_FALSE(l.IsTagged(8));
  l.ToggleAllTags();
  // A range over folder rows leaves them untagged.
  l.SetTag(3, kTag);
  l.TagRange(0);
  EXPECT_FALSE(l.IsTagged(0));
  EXPECT_FALSE(l.IsTagged(1));
  EXPECT_TRUE(l.IsTagged(2));
  l.ToggleAllTags();

  // Ctrl-click toggles one row; Shift-click tags up to it.
  tagEvents = 0;
  Click(l, 2, MK_CONTROL);
  EXPECT_TRUE(l.IsTagged(2));
  Click(l, 5, MK_SHIFT);
  EXPECT_EQ(l.TaggedCount(), 4);
  EXPECT_EQ(l.TaggedSize(), 1200 + 300 + 50 + 7);
  EXPECT_GE(tagEvents, 2);

  // Ctrl+A on release: everything tagged goes, then every file is tagged.
  l.SetFocus();
  SetCtrl(true);
  PostMessageW(l.Handle(), WM_KEYDOWN, 'A', 1);
  PostMessageW(l.Handle(), WM_KEYUP, 'A', 0xC0000001);
  Application.ProcessMessages();
  EXPECT_EQ(l.TaggedCount(), 0);
  PostMessageW(l.Handle(), WM_KEYUP, 'A', 0xC0000001);
  Application.ProcessMessages();
  SetCtrl(false);
  EXPECT_EQ(l.TaggedCount(), 7);
  // Only one file tagged: toggling all untags it and tags nothing else.
  l.ToggleAllTags();
  l.SetTag(6, kTag);
  l.ToggleAllTags();
  EXPECT_EQ(l.TaggedCount(), 0);
  // Tag and advance: the last row tags and wraps to the first.
  l.SetItemIndex(8);
  l.TagAndAdvance();
  EXPECT_TRUE(l.IsTagged(8));
  EXPECT_EQ(l.ItemIndex(), 0);
}

TEST(FileList, NameListsAreOwnedAndNeedTheCurrentRowTagged) {
  std::string dir = MakeFolder("filelist_lists");
  Browser b(dir);
  TOrvex_FileList& l = *b.list;
  l.SetTag(0, kTag);
  l.SetTag(2, kTag);
  const std::vector<std::string>* tagged = l.GetTaggedList();
  ASSERT_NE(tagged, nullptr);
  EXPECT_EQ(*tagged, (std::vector<std::string>{AddBackslash(l.Directory()), "a.gif", "C.txt"}));
  l.SetItemIndex(1);  // untagged current row
  EXPECT_EQ(l.GetTaggedSelection(), nullptr);
  l.SetItemIndex(2);
  ASSERT_NE(l.GetTaggedSelection(), nullptr);
  EXPECT_EQ(l.GetTaggedSelection()->size(), 3u);
  // No thumbnails: no list, not one holding only the folder line.
  EXPECT_EQ(l.GetThumbnailedList(), nullptr);
}

TEST(FileList, ThumbnailsFromTheViewsLists) {
  std::string dir = MakeFolder("filelist_thumbs");
  Browser b(dir);
  TOrvex_FileList& l = *b.list;
  TImageList images(16, 16);
  TBitmap picture;
  picture.SetSize(16, 16);
  images.Add(picture);
  std::vector<std::string> names = {"b.jpg=0", "C.txt=x", "d.gif=5"};
  std::vector<std::string> captions = {"b.jpg\n300 bytes"};
  l.ThumbImages = &images;
  l.ThumbNames = &names;
  l.ThumbCaptions = &captions;
  l.SetShowGlyphs(false);
  l.zThumb = 16;
  l.MeasureRowHeight();
  l.Repaint();  // drawing looks the indices up
  EXPECT_TRUE(l.HasThumbnail(1));
  EXPECT_FALSE(l.HasThumbnail(2));  // not a number
  EXPECT_FALSE(l.HasThumbnail(3));  // beyond the image list
  EXPECT_EQ(l.ThumbnailCount(), 1);
  ASSERT_NE(l.GetThumbnailedList(), nullptr);
  EXPECT_EQ((*l.GetThumbnailedList())[1], "b.jpg");
  l.ResetThumbnails();
  l.Repaint();
  EXPECT_EQ(l.ThumbnailCount(), 0);  // suspended: not looked up again
  l.ResumeThumbnails();
  l.Repaint();
  EXPECT_EQ(l.ThumbnailCount(), 1);
  l.ThumbImages = nullptr;
  l.ThumbNames = nullptr;
  l.ThumbCaptions = nullptr;
}

TEST(FileList, SetFileNameSelectsTheNamedFile) {
  std::string dir = MakeFolder("filelist_setname");
  std::string other = MakeFolder("filelist_setname2");
  Browser b(other);
  TOrvex_FileList& l = *b.list;
  std::vector<std::string> changes;
  l.OnChange = [&](TComponent*) { changes.push_back(l.GetCurrentName()); };
  l.SetFileName(JoinPath(dir, "setup.exe"));
  EXPECT_EQ(l.Directory(), RemoveBackslash(dir));
  EXPECT_EQ(l.GetCurrentName(), "setup.exe");
  EXPECT_EQ(l.GetFileName(), JoinPath(dir, "setup.exe"));
  EXPECT_EQ(changes.back(), "setup.exe");
  EXPECT_EQ(l.GetCurrentKind(), '3');
  l.SelectName("B.JPG");
  EXPECT_EQ(l.GetCurrentName(), "b.jpg");
  // A pattern becomes the mask.
  l.SetFileName(JoinPath(dir, "*.gif"));
  EXPECT_EQ(l.Mask(), "*.gif");
  EXPECT_EQ(l.Count(), 2);
  // A hidden file is not listed: its name becomes the mask, and it is found then.
  l.SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftHidden));
  l.SetMask("*.jpg");
  l.SetFileName(JoinPath(dir, "hidden.gif"));
  EXPECT_EQ(l.GetCurrentName(), "hidden.gif");
  try {
    l.SetFileName(JoinPath(dir, "missing.gif"));
    ADD_FAILURE() << "no error";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid file name - " + JoinPath(dir, "missing.gif"));
  }
}

TEST(FileList, ColumnsFromTheWidth) {
  std::string dir = MakeFolder("filelist_columns");
  Browser b(dir);
  TOrvex_FileList& l = *b.list;
  auto* header = new THeaderControl(&b.form, &b.form, 0, 370, 500, 20);
  for (int i = 0; i < 7; ++i) header->AddSection("", 10);
  l.SetHeaderControl(header);
  // The sections were sized from the font; set them so that a row is 200 pixels wide.
  int glyphs = header->SectionWidth(1) + header->SectionWidth(2);
  header->SetSectionWidth(3, 200 - glyphs);
  l.SetFileDetails(FileDetailBit(fdName));
  l.SetWidth(373);
  l.UpdateLayout();
  EXPECT_EQ(l.Columns(), 0);
  l.SetWidth(400);
  l.UpdateLayout();
  EXPECT_EQ(l.Columns(), 2);
  EXPECT_EQ(l.Count(), 7);  // the rows moved to the new window
  l.SetFileDetails(kAllFileDetails);
  EXPECT_EQ(l.Columns(), 0);
  // Without a header the longest name decides.
  l.SetHeaderControl(nullptr);
  l.SetFileDetails(FileDetailBit(fdName));
  l.SetWidth(580);
  l.UpdateLayout();
  EXPECT_GE(l.Columns(), 3);
}

TEST(FileList, TooltipShowsANameThatDoesNotFit) {
  fs::path dir = testsupport::ScratchDir("filelist_hint");
  testsupport::WriteFile(dir / "a rather long file name for a narrow list.txt", {1});
  testsupport::WriteFile(dir / "b.txt", {1});
  Browser b(dir.string());
  TOrvex_FileList& l = *b.list;
  l.ItemHint = true;
  l.SetWidth(120);
  RECT r = l.ItemRect(0);
  l.Send(WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 40, r.top + 2));
  HWND hint = FindWindowW(L"TavisHint", nullptr);
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint));
  r = l.ItemRect(1);
  l.Send(WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 40, r.top + 2));
  EXPECT_FALSE(IsWindowVisible(hint));  // b.txt fits
}

namespace {
using testsupport::MouseClick;
using testsupport::MouseTo;
// Runs the message loop for about ms milliseconds.
void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    Application.ProcessMessages();
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}
// The middle of a row's name, on the screen.
POINT OnRow(TListBox& list, int row) {
  RECT r = list.ItemRect(row);
  return list.ClientToScreen({r.left + 40, (r.top + r.bottom) / 2});
}
bool HintShowing() {
  HWND hint = FindWindowW(L"TavisHint", nullptr);
  return hint && IsWindowVisible(hint);
}
}  // namespace

// The tip over a long name lets the mouse through: a click selects the name under it and a
// double click opens it; the tip that went by itself stays away while the mouse rests there.
TEST(FileList, ClicksReachTheNameUnderItsTooltip) {
  fs::path dir = testsupport::ScratchDir("filelist_hint_click");
  testsupport::WriteFile(dir / "a rather long file name for a narrow list.txt", {1});
  testsupport::WriteFile(dir / "b.txt", {1});
  Browser b(dir.string());
  TOrvex_FileList& l = *b.list;
  l.ItemHint = true;
  l.SetWidth(120);
  l.SetItemIndex(1);
  int doubleClicks = 0;
  l.OnDblClick = [&](TComponent*) { ++doubleClicks; };
  SetForegroundWindow(b.form.Handle());
  MouseTo(OnRow(l, 1));
  Pump(100);
  MouseTo(OnRow(l, 0));
  Pump(500);
  ASSERT_TRUE(HintShowing());
  MouseClick();
  Pump(100);
  EXPECT_EQ(l.ItemIndex(), 0);
  MouseClick();
  MouseClick();
  Pump(100);
  EXPECT_GE(doubleClicks, 1);

  // Left to itself the tip goes; resting on the name (or a nudge within it) does not bring it
  // back; another name does.
  const int hidePause = Application.HintHidePause;
  Application.HintHidePause = Application.HintPause + 100;
  MouseTo(OnRow(l, 1));
  Pump(50);
  MouseTo(OnRow(l, 0));
  Pump(50);
  EXPECT_TRUE(HintShowing());
  Pump(400);
  EXPECT_FALSE(HintShowing());
  POINT nudge = OnRow(l, 0);
  nudge.x += 3;
  MouseTo(nudge);
  Pump(50);
  EXPECT_FALSE(HintShowing());
  Application.HintHidePause = hidePause;
}

// A folder whose long name is covered by its tip opens with a double click all the same.
TEST(DirList, DoubleClickOpensAFolderUnderItsTooltip) {
  fs::path dir = testsupport::ScratchDir("dirlist_hint_click");
  const std::string longName = "a folder with a rather long name for a narrow list";
  fs::create_directories(dir / longName);
  TForm form(nullptr);
  form.SetBounds(50, 50, 400, 400);
  auto* folders = new TOrvex_DirList(&form, &form, 0, 0, 120, 360);
  form.FinishCreate();
  form.Show();
  folders->ItemHint = true;
  folders->SetDirectory(dir.string());
  const std::string target = RemoveBackslash((dir / longName).string());
  auto same = [](const std::string& a, const std::string& b) {
    return lstrcmpiW(Utf8ToWide(a).c_str(), Utf8ToWide(b).c_str()) == 0;
  };
  int row = -1;
  for (int i = 0; i < folders->Count(); ++i)
    if (same(RemoveBackslash(folders->GetItemPath(i)), target)) row = i;
  ASSERT_GE(row, 0);
  SetForegroundWindow(form.Handle());
  MouseTo(OnRow(*folders, row));
  Pump(500);
  ASSERT_TRUE(HintShowing());
  MouseClick();
  MouseClick();
  Pump(200);
  EXPECT_TRUE(same(folders->Directory(), target)) << folders->Directory();
}

TEST(FileList, InPlaceRenameAcceptsWithEnterAndCancelsWithEsc) {
  std::string dir = MakeFolder("filelist_rename");
  Browser b(dir);
  TOrvex_FileList& l = *b.list;
  // Types into the rename form once it runs, as a user would; end 0 clicks outside instead.
  auto type = [](const std::wstring& text, WORD end) {
    auto* timer = new TTimer(nullptr);
    timer->SetInterval(20);
    timer->OnTimer = [timer, text, end](TComponent*) {
      // The rename form: the visible borderless form of this thread.
      HWND form = nullptr;
      EnumThreadWindows(GetCurrentThreadId(), FindPopupForm, reinterpret_cast<LPARAM>(&form));
      HWND edit = form ? FindWindowExW(form, nullptr, L"Edit", nullptr) : nullptr;
      if (!edit) return;
      timer->SetEnabled(false);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      for (wchar_t ch : text) SendMessageW(edit, WM_CHAR, ch, 1);
      if (end) PostMessageW(edit, WM_KEYDOWN, end, 1);
      else PostMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-20, -20));
    };
    return std::unique_ptr<TTimer>(timer);
  };
  std::string oldName, newName;
  {
    auto typing = type(L"renamed.gif", VK_RETURN);
    EXPECT_TRUE(l.EditItemName(0, oldName, newName));
  }
  EXPECT_EQ(oldName, "a.gif");
  EXPECT_EQ(newName, "renamed.gif");
  {
    auto typing = type(L"nothing", VK_ESCAPE);
    EXPECT_FALSE(l.EditItemName(1, oldName, newName));
  }
  EXPECT_EQ(oldName, "b.jpg");
  {
    auto typing = type(L"clicked.txt", 0);
    EXPECT_TRUE(l.EditItemName(2, oldName, newName));
  }
  EXPECT_EQ(oldName, "C.txt");
  EXPECT_EQ(newName, "clicked.txt");
}

TEST(Browser, DriveFolderFileFilterAndLabelAreLinked) {
  std::string dir = MakeFolder("browser_links");
  TForm form(nullptr);
  form.SetBounds(20, 20, 640, 480);
  auto* drives = new TOrvex_DriveCombo(&form, &form, 0, 0, 200, 300);
  auto* folders = new TOrvex_DirList(&form, &form, 0, 30, 200, 300);
  auto* files = new TOrvex_FileList(&form, &form, 210, 30, 400, 300);
  auto* filter = new TOrvex_FilterCombo(&form, &form, 210, 0, 200, 200);
  auto* label = new TPathLabel(&form, &form, 0, 340, 150, 16);
  folders->SetFileList(files);
  folders->SetDirLabel(label);
  drives->SetDirList(folders);
  filter->SetFileList(files);
  filter->SetFilter("All files|*.*|Pictures|*.gif;*.jpg");
  form.FinishCreate();
  form.Show();
  EXPECT_EQ(drives->DirList(), folders);
  EXPECT_EQ(folders->DriveCombo(), drives);
  EXPECT_EQ(files->DirList(), folders);
  EXPECT_EQ(files->FilterCombo(), filter);

  folders->SetDirectory(dir);
  EXPECT_EQ(folders->Directory(), RemoveBackslash(dir));
  EXPECT_EQ(files->Directory(), folders->Directory());
  EXPECT_EQ(ProcessDirectory(), folders->Directory());
  // The path label keeps the whole folder (it shortens it to its width as it paints, so a
  // wider label shows more of it).
  EXPECT_EQ(label->Caption(), folders->Directory());

  // The current folder's row, then its subfolder; a double click opens it.
  int current = folders->CurrentRow();
  ASSERT_EQ(folders->Count(), current + 2);  // sub (secret is hidden)
  EXPECT_EQ(folders->GetItemPath(current + 1), JoinPath(folders->Directory(), "sub"));
  RECT r = folders->ItemRect(current + 1);
  folders->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  folders->Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 40, r.top + 2));
  folders->Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 40, r.top + 2));
  folders->Send(WM_LBUTTONUP, 0, MAKELPARAM(r.left + 40, r.top + 2));
  EXPECT_EQ(folders->Directory(), JoinPath(RemoveBackslash(dir), "sub"));
  EXPECT_EQ(files->Directory(), folders->Directory());
  // Enter on the parent's row goes back up.
  folders->SetItemIndex(folders->CurrentRow() - 1);
  folders->SetFocus();
  PostMessageW(folders->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  Application.ProcessMessages();
  EXPECT_EQ(folders->Directory(), RemoveBackslash(dir));

  // Hidden folders show when the file list's type asks for hidden items.
  files->SetFileType(FileTypeBit(ftNormal) | FileTypeBit(ftHidden));
  EXPECT_TRUE(folders->ShowHidden());
  EXPECT_EQ(folders->Count(), folders->CurrentRow() + 3);
  // The hidden subfolder ("secret" sorts first) takes the hidden glyph; "sub" does not.
  EXPECT_EQ(folders->Object(folders->CurrentRow() + 1), &folders->HiddenClosedGlyph());
  EXPECT_NE(folders->Object(folders->CurrentRow() + 2), &folders->HiddenClosedGlyph());

  // The filter combo sets the mask when the user picks a type.
  filter->SetFocus();
  filter->Send(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(files->Mask(), "*.gif;*.jpg");
  EXPECT_EQ(files->Count(), 4);  // a.gif, b.jpg, d.GIF and the hidden gif

  // The drive combo lists Wine's drives; picking C: moves the folder list there.
  ASSERT_GE(drives->Count(), 2);
  EXPECT_EQ(drives->Drive(), static_cast<char>(std::tolower(dir[0])));
  int cIndex = -1;
  for (int i = 0; i < drives->Count(); ++i)
    if (drives->String(i).substr(0, 2) == "c:") cIndex = i;
  ASSERT_GE(cIndex, 0);
  EXPECT_EQ(drives->String(cIndex).substr(0, 4), "c: [");
  folders->SetDirectory("Z:\\tmp");
  EXPECT_EQ(drives->Drive(), 'z');
  drives->SetItemIndex(cIndex);
  form.Send(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(drives->Handle()), CBN_SELCHANGE),
            reinterpret_cast<LPARAM>(drives->Handle()));
  EXPECT_EQ(drives->Drive(), 'c');
  EXPECT_EQ(std::toupper(folders->Directory()[0]), 'C');
  EXPECT_EQ(files->Directory(), folders->Directory());
  EXPECT_EQ(drives->DriveType(), DRIVE_FIXED);

  // Links are forgotten when a linked control goes.
  delete files;
  EXPECT_EQ(folders->FileList(), nullptr);
  EXPECT_EQ(filter->FileList(), nullptr);
  delete folders;
  EXPECT_EQ(drives->DirList(), nullptr);
}

TEST(Browser, ProcessPathSplitsAndKeepsTheCurrentDirectory) {
  std::string dir = MakeFolder("browser_processpath");
  SetProcessDirectory(dir);
  char drive;
  std::string folder, name;
  ProcessPath(JoinPath(dir, "a.gif"), drive, folder, name);
  EXPECT_EQ(std::toupper(drive), std::toupper(dir[0]));
  EXPECT_EQ(folder, RemoveBackslash(dir).substr(2));
  EXPECT_EQ(name, "a.gif");
  ProcessPath(JoinPath(dir, "sub"), drive, folder, name);  // a folder, not a file
  EXPECT_EQ(folder, JoinPath(RemoveBackslash(dir).substr(2), "sub"));
  EXPECT_EQ(name, "");
  ProcessPath("*.gif", drive, folder, name);  // relative: the current folder
  EXPECT_EQ(folder, RemoveBackslash(dir).substr(2));
  EXPECT_EQ(name, "*.gif");
  EXPECT_EQ(ProcessDirectory(), RemoveBackslash(dir));
}

TEST(Browser, DriveComboCasesMasksAndDrivesThatAreNotThere) {
  TForm form(nullptr);
  auto* drives = new TOrvex_DriveCombo(&form, &form, 0, 0, 200, 300);
  form.FinishCreate();
  form.Show();
  const char start = drives->Drive();
  ASSERT_NE(start, '\0');
  EXPECT_TRUE(std::islower(static_cast<unsigned char>(start)));
  drives->SetTextCase(tcUpperCase);
  EXPECT_EQ(drives->Drive(), std::toupper(start));
  for (int i = 0; i < drives->Count(); ++i) {
    std::string item = drives->String(i);
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(item[0]))) << item;
    EXPECT_EQ(item[1], ':');
  }
  // A letter no drive has: the current drive stays selected.
  DWORD present = GetLogicalDrives();
  char missing = 'Q';
  while (missing > 'D' && (present & (1u << (missing - 'A')))) --missing;
  int selected = drives->ItemIndex();
  drives->SetDrive(missing);
  EXPECT_EQ(drives->Drive(), std::toupper(start));
  EXPECT_EQ(drives->ItemIndex(), selected);
  // The mask leaves drives out.
  drives->DriveMask = ~(1u << ('c' - 'a'));
  drives->BuildList();
  for (int i = 0; i < drives->Count(); ++i) EXPECT_NE(drives->String(i)[0], 'C');
  int rightClicks = 0;
  drives->OnRightClick = [&](TComponent*) { ++rightClicks; };
  drives->Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  drives->Send(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(rightClicks, 1);
}
