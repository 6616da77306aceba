#include "foundation/cFileCtlDirList.h"

#include <algorithm>
#include <cctype>

#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlPathLabel.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/cFileCtlRename.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "imaging/uGraphics.h"

namespace {
enum { gClosed, gOpen, gCurrent, gHiddenClosed, gHiddenOpen, gHiddenCurrent };
const char* const kGlyphNames[6] = {"CLOSEDFOLDER", "OPENFOLDER", "CURRENTFOLDER",
                                    "HIDDENCLOSED", "HIDDENOPEN", "HIDDENCURRENT"};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}
}  // namespace

TOrvex_DirList::TOrvex_DirList(TComponent* owner, TWindow* parent, int x, int y, int width,
                               int height)
    : TListBox(owner, parent, x, y, width, height, lbOwnerDrawFixed), nameHint_(*this) {
  directory_ = ProcessDirectory();
  LoadGlyphs();
  MeasureRowHeight();
  autoDrag_.CanDrag = [this](POINT at) { return ItemAtPos(at) >= 0; };
}

TOrvex_DirList::~TOrvex_DirList() { nameHint_.Hide(); }

LRESULT TOrvex_DirList::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (autoDrag_.Filter(message, w, l)) return 0;
  return TListBox::WndProc(message, w, l);
}

void TOrvex_DirList::LoadGlyphs() {
  for (int i = 0; i < 6; ++i) glyphs_[i].LoadFromResourceName(kGlyphNames[i]);
}

void TOrvex_DirList::MeasureRowHeight() {
  TControlCanvas c(Handle());
  c.Font = Font();
  SetItemHeight(std::max(c.TextHeight("X"), glyphs_[gOpen].Height() + 1));
}

void TOrvex_DirList::FontChanged() {
  TListBox::FontChanged();
  MeasureRowHeight();
}

void TOrvex_DirList::Notification(TComponent* component, TOperation operation) {
  TListBox::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fileList_) fileList_ = nullptr;
  if (component == driveCombo_) driveCombo_ = nullptr;
  if (component == dirLabel_) dirLabel_ = nullptr;
}

void TOrvex_DirList::SetFileList(TOrvex_FileList* list) {
  if (list == fileList_) return;
  if (fileList_) {
    fileList_->dirList_ = nullptr;
    fileList_->RemoveFreeNotification(this);
  }
  fileList_ = list;
  if (!fileList_) return;
  fileList_->dirList_ = this;
  fileList_->FreeNotification(this);
  fileList_->SetDirectory(directory_);
}

void TOrvex_DirList::SetDirLabel(TLabel* label) {
  if (label == dirLabel_) return;
  dirLabel_ = label;
  if (dirLabel_) {
    dirLabel_->FreeNotification(this);
    dirLabel_->SetCaption(directory_);
  }
}

void TOrvex_DirList::SetShowHidden(bool show) {
  if (show == showHidden_) return;
  showHidden_ = show;
  Reload();
}

void TOrvex_DirList::Loaded() {
  TListBox::Loaded();
  BuildList();
  SetItemIndex(currentRow_);
}

void TOrvex_DirList::SetDirectory(const std::string& path) {
  if (path.empty()) return;
  bool same =
      caseSensitive_ ? path == directory_ : Platform().CompareTextLocale(path, directory_) == 0;
  if (same) return;
  char drive;
  std::string folder, name;
  ProcessPath(path, drive, folder, name);
  if (drive && Upper(drive) != Upper(GetDrive())) {
    changingDrive_ = true;
    if (driveCombo_)
      driveCombo_->SetDrive(drive);
    else
      SetProcessDirectory(std::string(1, drive) + ":");
    changingDrive_ = false;
  }
  SetProcessDirectory(path);
  directory_ = ProcessDirectory();
  BuildList();
  Change();
}

void TOrvex_DirList::DriveChanged(char letter) {
  if (Upper(letter) != Upper(GetDrive())) {
    std::string drive(1, letter);
    if (!SetProcessDirectory(drive + ":")) SetProcessDirectory(drive + ":\\");
  } else {
    SetProcessDirectory(directory_);
  }
  directory_ = ProcessDirectory();
  if (changingDrive_) return;
  BuildList();
  // The file list reads the folder again even when it shows it already (a new disk).
  bool fileListHadIt =
      fileList_ && Platform().CompareTextLocale(fileList_->Directory(), directory_) == 0;
  Change();
  if (fileListHadIt) fileList_->ChangeDirectory(directory_);
}

void TOrvex_DirList::FixedDriveChanged(char letter) {
  if (Upper(letter) != Upper(GetDrive())) DriveChanged(letter);
}

void TOrvex_DirList::SetDrive(char letter) {
  if (Upper(letter) != Upper(GetDrive())) SetDirectory(std::string(1, letter) + ":");
}

void TOrvex_DirList::Change() {
  if (fileList_) fileList_->SetDirectory(directory_);
  if (dirLabel_) {
    // A path label shortens the folder to its width whenever it paints, so it keeps the whole
    // folder and shows more of it once it grows; another label shows only the text it is given.
    if (dynamic_cast<TPathLabel*>(dirLabel_) && !dirLabel_->AutoSize) {
      dirLabel_->SetCaption(directory_);
    } else {
      int width = dirLabel_->AutoSize ? Width() : dirLabel_->Width();
      TControlCanvas c(dirLabel_->Handle());
      c.Font = dirLabel_->Font();
      dirLabel_->SetCaption(MinimizePath(
          directory_, [&c](const std::string& s) { return c.TextWidth(s); }, width));
    }
  }
  if (OnChange) OnChange(this);
}

void TOrvex_DirList::Reload() {
  BuildList();
  Change();
}

bool TOrvex_DirList::Refresh() {
  if (driveCombo_ && driveCombo_->RefreshRemovable()) return true;
  Reload();
  return false;
}

std::string TOrvex_DirList::GetItemPath(int i) const { return DirItemPath(rows_, i, directory_); }

void TOrvex_DirList::BuildList() {
  BeginUpdate();
  Clear();
  std::string root = AddBackslash(ExtractFileDrive(directory_));
  DWORD flags = 0;
  uint32_t mode = Platform().ExchangeErrorMode(1);
  bool known = GetVolumeInformationW(Utf8ToWide(root).c_str(), nullptr, 0, nullptr, nullptr, &flags,
                                     nullptr, 0);
  Platform().ExchangeErrorMode(mode);
  caseSensitive_ = known && (flags & FILE_CASE_SENSITIVE_SEARCH);
  casePreserving_ = !known || (flags & (FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES));

  rows_ = DirPathRows(directory_);
  currentRow_ = static_cast<int>(rows_.size()) - 1;
  std::vector<tFoundItem> items;
  Platform().FindItems(JoinPath(directory_, "*.*"), items);
  std::vector<const tFoundItem*> subfolders;
  for (const tFoundItem& item : items) {
    if (!(item.Attributes & 16) || item.Name == "." || item.Name == "..") continue;
    if (!showHidden_ && (item.Attributes & (2 | 4))) continue;
    subfolders.push_back(&item);
  }
  std::sort(subfolders.begin(), subfolders.end(), [](const tFoundItem* a, const tFoundItem* b) {
    return Platform().CompareTextLocale(a->Name, b->Name) < 0;
  });
  const size_t pathRows = rows_.size();
  for (const tFoundItem* item : subfolders) rows_.push_back({item->Name, drSubfolder});

  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    const tDirRow& row = rows_[static_cast<size_t>(i)];
    int glyph = row.Kind == drPath ? gOpen : row.Kind == drCurrent ? gCurrent : gClosed;
    if (showHidden_) {
      // Subfolders keep the attributes their search found; only the path rows are asked for.
      size_t at = static_cast<size_t>(i);
      uint32_t a = at >= pathRows ? subfolders[at - pathRows]->Attributes
                                  : Platform().ItemAttributes(GetItemPath(i));
      if (a != kNoFileAttributes && (a & 2)) glyph += 3;
    }
    Add(row.Text, &glyphs_[glyph]);
  }
  EndUpdate();
  if (HandleAllocated()) SetItemIndex(currentRow_);
}

int TOrvex_DirList::TextLeft(int row, TBitmap* glyph) const {
  return DirRowIndent(rows_, row, directory_) + (glyph ? glyph->Width() : 16) + 4;
}

void TOrvex_DirList::DrawItem(int index, const RECT& r, UINT state) {
  TCanvas& c = Canvas();
  c.FillRect(r);
  if (index < 0 || index >= static_cast<int>(rows_.size())) return;
  auto* glyph = static_cast<TBitmap*>(Object(index));
  const TColor back = c.Brush.Color();
  if (glyph) {
    DrawTransparentAt(*glyph, c, back, r.left + DirRowIndent(rows_, index, directory_),
                      (r.top + r.bottom - glyph->Height()) / 2);
  }
  bool hidden = glyph >= &glyphs_[gHiddenClosed] && glyph <= &glyphs_[gHiddenCurrent];
  c.Font.SetStyle(hidden ? unsigned(fsItalic) : 0u);
  std::string text = rows_[static_cast<size_t>(index)].Text;
  if (!casePreserving_ && !caseSensitive_) text = LowerAscii(text);
  c.Brush.SetColor(back);
  c.TextOut(r.left + TextLeft(index, glyph), (r.top + r.bottom - c.TextHeight("X")) / 2, text);
}

void TOrvex_DirList::DblClick() {
  TListBox::DblClick();
  int i = ItemIndex();
  if (i >= 0) SetDirectory(GetItemPath(i));
}

void TOrvex_DirList::KeyDown(WORD& key, TShiftState shift) {
  TListBox::KeyDown(key, shift);
  if (key == VK_RETURN) {
    int i = ItemIndex();
    if (i >= 0) SetDirectory(GetItemPath(i));
    key = 0;
  }
}

void TOrvex_DirList::MouseMove(TShiftState shift, int x, int y) {
  TListBox::MouseMove(shift, x, y);
  if (!Application.ShowHint || !ItemHint) return;
  int row = ItemAtPos({x, y});
  if (!nameHint_.MovedTo(row)) return;
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  RECT r = ItemRect(row);
  int left = r.left + TextLeft(row, static_cast<TBitmap*>(Object(row)));
  TControlCanvas c(Handle());
  c.Font = Font();
  const std::string& text = rows_[static_cast<size_t>(row)].Text;
  SIZE size = c.TextExtent(text);
  if (size.cx <= r.right - left) return;
  nameHint_.Show({left, r.top}, size, text);
}

bool TOrvex_DirList::EditItemName(int i, std::string& oldName, std::string& newName) {
  if (i < 0 || i >= static_cast<int>(rows_.size())) return false;
  RECT r = ItemRect(i);
  r.left += TextLeft(i, static_cast<TBitmap*>(Object(i)));
  oldName = rows_[static_cast<size_t>(i)].Text;
  return EditNameInPlace(*this, r, oldName, newName);
}
