#include "foundation/cFileCtlFileList.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlFilterCombo.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/cFileCtlRename.h"
#include "foundation/uFiles.h"
#include "foundation/uLocaleText.h"
#include "framework/Application.h"
#include "imaging/uGraphics.h"

namespace {
enum {
  gKnownZip,
  gExecutable,
  gClosedFolder,
  gUnknownFile,
  gCheck,
  gKnownFile,
  gPicture,
  gMusic,
  gSound,
  gMovie,
  gDotDot
};
const char* const kGlyphNames[11] = {"KNOWNZIP", "EXECUTABLE", "CLOSEDFOLDER", "UNKNOWNFILE",
                                     "FG_CHECK", "KNOWNFILE",  "FG_PICTURE",   "FG_MUSIC",
                                     "FG_SOUND", "FG_MOVIE",   "FG_DOTDOT"};

size_t CharCount(const std::string& s) {
  return static_cast<size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// The first n characters of a UTF-8 text.
std::string FirstChars(const std::string& s, size_t n) {
  size_t i = 0, chars = 0;
  while (i < s.size() && chars < n) {
    ++i;
    while (i < s.size() && (s[i] & 0xC0) == 0x80) ++i;
    ++chars;
  }
  return s.substr(0, i);
}

std::string PadRight(const std::string& s, size_t n) {
  size_t c = CharCount(s);
  return c >= n ? s : s + std::string(n - c, ' ');
}

bool IsPattern(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }
}  // namespace

TOrvex_FileList::TOrvex_FileList(TComponent* owner, TWindow* parent, int x, int y, int width,
                                 int height)
    : TListBox(owner, parent, x, y, width, height, lbOwnerDrawFixed), nameHint_(*this) {
  directory_ = ProcessDirectory();
  LoadGlyphs();
  Font().SetName("Terminal");
  Font().SetSize(9);
  Font().SetStyle(0);
  Font().SetPitch(fpFixed);
  MeasureRowHeight();
  autoDrag_.CanDrag = [this](POINT at) {
    const TSrchRec* e = Entry(ItemAtPos(at));
    return e && e->Kind() == '3';
  };
}

TOrvex_FileList::~TOrvex_FileList() {
  nameHint_.Hide();
  // The rows point into the entries: they go first.
  if (HandleAllocated()) Send(LB_RESETCONTENT);
  rows_.clear();
  entries_.Clear();
}

void TOrvex_FileList::LoadGlyphs() {
  for (int i = 0; i < 11; ++i) glyphs_[i].LoadFromResourceName(kGlyphNames[i]);
}

TSrchRec* TOrvex_FileList::Entry(int i) const {
  return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(i)] : nullptr;
}

void TOrvex_FileList::Notification(TComponent* component, TOperation operation) {
  TListBox::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == dirList_) dirList_ = nullptr;
  if (component == fileEdit_) fileEdit_ = nullptr;
  if (component == filterCombo_) filterCombo_ = nullptr;
  if (component == header_) header_ = nullptr;
}

void TOrvex_FileList::Loaded() {
  TListBox::Loaded();
  if (!skipFirstRead_) ReadFileNames();
  skipFirstRead_ = false;
}

// Properties.

void TOrvex_FileList::SetMask(const std::string& mask) {
  if (mask == mask_) return;
  mask_ = mask;
  ReadFileNames();
}

void TOrvex_FileList::SetFileType(TFileType fileType) {
  if (fileType == fileType_) return;
  fileType_ = fileType;
  ReadFileNames();
  if (dirList_) dirList_->SetShowHidden((fileType_ & FileTypeBit(ftHidden)) != 0);
}

void TOrvex_FileList::SetFileDetails(TFileDetails details) {
  if (details == fileDetails_) return;
  fileDetails_ = details;
  UpdateLayout();
}

void TOrvex_FileList::SetSortSequence(sfb_SS sequence) {
  if (sequence == sortSequence_) return;
  sortSequence_ = sequence;
  THourGlass wait;
  entries_.Sort(sortAscending_, sortSequence_);
  RefillRows();
}

void TOrvex_FileList::SetSortAscending(bool ascending) {
  if (ascending == sortAscending_) return;
  sortAscending_ = ascending;
  THourGlass wait;
  entries_.Sort(sortAscending_, sortSequence_);
  RefillRows();
}

void TOrvex_FileList::SetShowGlyphs(bool show) {
  if (show == showGlyphs_) return;
  showGlyphs_ = show;
  FitNameColumn();
  skipFirstRead_ = true;
  MeasureRowHeight();
  Invalidate();
}

void TOrvex_FileList::SetHeaderControl(THeaderControl* header) {
  if (header == header_) return;
  header_ = header;
  if (header_) header_->FreeNotification(this);
  SizeHeaderSections();
  Invalidate();
}

void TOrvex_FileList::SetFileEdit(TEdit* edit) {
  if (edit == fileEdit_) return;
  fileEdit_ = edit;
  if (!fileEdit_) return;
  fileEdit_->FreeNotification(this);
  std::string name = GetCurrentName();
  fileEdit_->SetText(ItemIndex() >= 0 ? name : mask_);
}

// Measuring.

int TOrvex_FileList::SpacesWidth(int n) {
  TControlCanvas c(Handle());
  c.Font = Font();
  return c.TextWidth(std::string(static_cast<size_t>(std::max(n, 0)), ' '));
}

void TOrvex_FileList::MeasureRowHeight() {
  TControlCanvas c(Handle());
  c.Font = Font();
  int h = c.TextHeight("X");
  if (showGlyphs_)
    h = std::max(h, glyphs_[gExecutable].Height() + 1);
  else
    h = h + zThumb + 1;
  SetItemHeight(h);
}

void TOrvex_FileList::FontChanged() {
  TListBox::FontChanged();
  MeasureRowHeight();
}

int TOrvex_FileList::GlyphAreaWidth() const {
  int w = glyphs_[gCheck].Width() + 4;
  if (showGlyphs_) w += glyphs_[gKnownFile].Width() + 2;
  return w;
}

void TOrvex_FileList::SizeHeaderSections() {
  if (!header_) return;
  TControlCanvas c(Handle());
  c.Font = Font();
  auto spaces = [&c](int n) { return c.TextWidth(std::string(static_cast<size_t>(n), ' ')); };
  std::vector<int> widths =
      HeaderSectionWidths(glyphs_[gCheck].Width(), glyphs_[gKnownFile].Width(), spaces);
  for (int i = 0; i < 6; ++i)
    if (i + 1 < header_->SectionCount())
      header_->SetSectionWidth(i + 1, widths[static_cast<size_t>(i)]);
  nameColumn_ = kHeaderNameColumn;
}

void TOrvex_FileList::FitNameColumn() {
  if (!header_ || !(fileDetails_ & FileDetailBit(fdName)) || header_->SectionCount() < 4) return;
  int available = header_->SectionWidth(3);
  if (!showGlyphs_) available += header_->SectionWidth(2);
  TControlCanvas c(Handle());
  c.Font = Font();
  nameColumn_ = ::FitNameColumn(
      available, [&c](int n) { return c.TextWidth(std::string(static_cast<size_t>(n), ' ')); });
}

void TOrvex_FileList::ComputeColumns() {
  if (!HandleAllocated()) return;
  tRowLayout l;
  l.CheckWidth = glyphs_[gCheck].Width();
  l.GlyphWidth = glyphs_[gKnownFile].Width();
  l.Details = fileDetails_;
  if (header_) {
    l.Header = true;
    for (int d = 0; d < 4; ++d)
      l.Sections[d] = d + 3 < header_->SectionCount() ? header_->SectionWidth(d + 3) : 0;
    if (fileDetails_ & FileDetailBit(fdName)) FitNameColumn();
  } else {
    l.LongestName = reading_.LongestName;
    tFormatSettings s = Platform().FormatSettings();
    l.DateLength = static_cast<int>(
        CharCount(FormatDatePicture(s.ShortDateFormat, DecodeDateTime(Platform().Now()), s)));
  }
  TControlCanvas c(Handle());
  c.Font = Font();
  int row =
      RowWidth(l, [&c](int n) { return c.TextWidth(std::string(static_cast<size_t>(n), ' ')); });
  SetColumns(ColumnsFor(Width(), row));
}

void TOrvex_FileList::UpdateLayout() {
  ComputeColumns();
  Invalidate();
}

void TOrvex_FileList::Resize() {
  TListBox::Resize();
  ComputeColumns();
}

// Reading and rows.

void TOrvex_FileList::SetDirectory(const std::string& folder) {
  if (Platform().CompareTextLocale(folder, directory_) != 0) ChangeDirectory(folder);
}

void TOrvex_FileList::ChangeDirectory(const std::string& folder) {
  if (ThumbNames) ThumbNames->clear();
  SetProcessDirectory(folder);
  directory_ = ProcessDirectory();
  ReadFileNames();
}

void TOrvex_FileList::ReadFileNames() {
  if (!HandleAllocated()) return;
  nameHint_.Reset();
  SetProcessDirectory(directory_);
  // The rows point into the entries: they go before the entries are read again.
  BeginUpdate();
  Clear();
  rows_.clear();
  TCursor saved = Screen.Cursor;
  reading_ =
      ReadFolder(entries_, directory_, mask_, fileType_, [] { Screen.SetCursor(crHourGlass); });
  Screen.SetCursor(saved);
  entries_.Sort(sortAscending_, sortSequence_);
  EndUpdate();
  RefillRows();
  ComputeColumns();
  Change();
}

void TOrvex_FileList::RefillRows() {
  settings_ = Platform().FormatSettings();
  BeginUpdate();
  Clear();
  const int n = entries_.Count();
  rows_.resize(static_cast<size_t>(n));
  Reserve(n, n * 4);
  for (int i = 0; i < n; ++i) {
    rows_[static_cast<size_t>(i)] = entries_.Objects(i);
    Add(entries_.Strings(i), entries_.Objects(i));
  }
  EndUpdate();
}

void TOrvex_FileList::Reread() {
  int top = TopIndex(), index = ItemIndex();
  ReadFileNames();
  if (top < Count()) SetTopIndex(top);
  if (index < Count()) SetItemIndex(index);
}

void TOrvex_FileList::Refresh() {
  if (dirList_ && dirList_->Refresh()) return;
  Reread();
}

// The current row.

std::string TOrvex_FileList::GetItemName(int i) const {
  const TSrchRec* e = Entry(i);
  return e ? e->Name : std::string();
}

std::string TOrvex_FileList::GetCurrentName() const {
  int i = ItemIndex();
  return i >= 0 && Selected(i) ? GetItemName(i) : std::string();
}

std::string TOrvex_FileList::GetFileName() const {
  std::string name = GetCurrentName();
  return name.empty() ? std::string() : JoinPath(directory_, name);
}

char TOrvex_FileList::GetCurrentKind() const {
  int i = ItemIndex();
  const TSrchRec* e = i >= 0 && Selected(i) ? Entry(i) : nullptr;
  return e ? e->Kind() : '2';
}

int TOrvex_FileList::IndexOfName(const std::string& name) const {
  return ::IndexOfName(rows_, name);
}

void TOrvex_FileList::SelectName(const std::string& name) {
  if (name == GetCurrentName()) return;
  // The row texts hold only a first character: the row is found by its entry's whole name.
  SetItemIndex(IndexOfName(name));
  Change();
}

void TOrvex_FileList::SetFileName(const std::string& path) {
  if (path.empty() || path == GetFileName()) return;
  std::string name = ExtractFileName(path);
  if (!name.empty() && !IsPattern(name) && Platform().ItemAttributes(path) == kNoFileAttributes)
    throw EInvalidOperation("Invalid file name - " + path);
  char drive;
  std::string folder, fileName;
  ProcessPath(path, drive, folder, fileName);
  std::string target = drive ? std::string(1, drive) + ":" + folder : folder;
  if (dirList_)
    dirList_->SetDirectory(target);
  else
    SetDirectory(target);
  if (IsPattern(fileName)) {
    SetMask(fileName);
    return;
  }
  if (fileName.empty()) return;
  SelectName(fileName);
  if (ItemIndex() < 0) {
    SetMask(fileName);
    SelectName(fileName);
  }
}

void TOrvex_FileList::Change() {
  lastIndex_ = ItemIndex();
  if (fileEdit_) {
    fileEdit_->SetText(lastIndex_ >= 0 ? GetCurrentName() : mask_);
    fileEdit_->SelectAll();
  }
  if (OnChange) OnChange(this);
  if (OnTagChange) OnTagChange(this);
}

void TOrvex_FileList::Click() {
  TListBox::Click();
  if (ItemIndex() != lastIndex_) Change();
}

void TOrvex_FileList::RedrawItem(int i) {
  if (i < 0 || i >= Count()) return;
  RECT r = ItemRect(i);
  InvalidateRect(Handle(), &r, FALSE);
  Update();
}

// Tags.

bool TOrvex_FileList::IsTagged(int i) const {
  const TSrchRec* e = Entry(i);
  return e && e->Tagged;
}

int TOrvex_FileList::TaggedCount() const {
  return static_cast<int>(
      std::count_if(rows_.begin(), rows_.end(), [](const TSrchRec* e) { return e->Tagged; }));
}

int64_t TOrvex_FileList::TaggedSize() const {
  int64_t size = 0;
  for (const TSrchRec* e : rows_)
    if (e->Tagged) size += e->Size;
  return size;
}

bool TOrvex_FileList::SetTag(int i, int mode) {
  TSrchRec* e = Entry(i);
  if (!e) return false;
  bool tagged = TagFor(*e, mode);
  if (tagged == e->Tagged) return false;
  e->Tagged = tagged;
  RedrawItem(i);
  return true;
}

void TOrvex_FileList::ToggleTag(int i) {
  if (i >= 0 && SetTag(i, kToggleTag) && OnTagChange) OnTagChange(this);
}

void TOrvex_FileList::ToggleAllTags() {
  int mode = TaggedCount() > 0 ? kUntag : kTag;
  bool changed = false;
  for (int i = 0; i < Count(); ++i) changed = SetTag(i, mode) || changed;
  if (changed && OnTagChange) OnTagChange(this);
}

void TOrvex_FileList::TagAndAdvance() {
  int i = ItemIndex();
  if (i < 0) return;
  ToggleTag(i);
  SetItemIndex(i + 1 < Count() ? i + 1 : 0);
}

void TOrvex_FileList::TagRange(int i) {
  auto range = TagRangeFor(rows_, i);
  if (!range) return;
  bool changed = false;
  for (int k = range->first; k <= range->second; ++k) changed = SetTag(k, kTag) || changed;
  if (changed && OnTagChange) OnTagChange(this);
}

// Name lists and thumbnails.

const std::vector<std::string>* TOrvex_FileList::GetTaggedList() {
  resultList_.reset();
  std::vector<std::string> list = TaggedNameList(directory_, rows_);
  if (!list.empty()) resultList_ = std::make_unique<std::vector<std::string>>(std::move(list));
  return resultList_.get();
}

const std::vector<std::string>* TOrvex_FileList::GetTaggedSelection() {
  int i = ItemIndex();
  if (Count() > 0 && i >= 0 && IsTagged(i)) return GetTaggedList();
  FreeList();
  return nullptr;
}

const std::vector<std::string>* TOrvex_FileList::GetThumbnailedList() {
  resultList_.reset();
  if (Count() == 0) return nullptr;
  std::vector<std::string> list = ThumbnailedNameList(directory_, rows_);
  if (!list.empty()) resultList_ = std::make_unique<std::vector<std::string>>(std::move(list));
  return resultList_.get();
}

bool TOrvex_FileList::HasThumbnail(int i) const {
  const TSrchRec* e = Entry(i);
  return e && e->ThumbIndex >= 0;
}

int TOrvex_FileList::ThumbnailCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                        [](const TSrchRec* e) { return e->ThumbIndex >= 0; }));
}

void TOrvex_FileList::ResetThumbnails() {
  for (TSrchRec* e : rows_) e->ThumbIndex = -1;
  thumbsSuspended_ = true;
  Invalidate();
}

void TOrvex_FileList::ResumeThumbnails() {
  thumbsSuspended_ = false;
  Invalidate();
}

void TOrvex_FileList::LookUpThumbnail(TSrchRec& e) {
  if (e.ThumbIndex != -1 || !ThumbNames || thumbsSuspended_) return;
  for (const std::string& line : *ThumbNames) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || Platform().CompareTextLocale(line.substr(0, eq), e.Name) != 0)
      continue;
    const std::string value = line.substr(eq + 1);
    char* end = nullptr;
    long index = std::strtol(value.c_str(), &end, 10);
    bool number = !value.empty() && end && *end == '\0';
    if (number && index >= 0 && ThumbImages && index < ThumbImages->Count())
      e.ThumbIndex = static_cast<int32_t>(index);
    return;
  }
}

// Drawing.

TBitmap& TOrvex_FileList::GlyphOf(const TSrchRec& e) {
  switch (e.Category()) {
    case kCategoryFolder:
      if (dirList_ && (e.Attr & (2 | 4))) return dirList_->HiddenClosedGlyph();
      return glyphs_[gClosedFolder];
    case kCategoryParent:
      return glyphs_[gDotDot];
    case kCategoryExecutable:
      return glyphs_[gExecutable];
    case kCategoryZip:
      return glyphs_[gKnownZip];
    case kCategoryDocument:
      return glyphs_[gKnownFile];
    case kCategoryPicture:
      return glyphs_[gPicture];
    case kCategoryMusic:
      return glyphs_[gMusic];
    case kCategorySound:
      return glyphs_[gSound];
    case kCategoryMovie:
      return glyphs_[gMovie];
    default:
      return glyphs_[gUnknownFile];
  }
}

void TOrvex_FileList::DrawItem(int index, const RECT& r, UINT state) {
  TCanvas& c = Canvas();
  c.FillRect(r);
  TSrchRec* e = Entry(index);
  if (!e) return;
  const TColor back = c.Brush.Color();
  if (e->Tagged) DrawTransparentAt(glyphs_[gCheck], c, back, r.left + 2, r.top);
  int x = glyphs_[gCheck].Width() + 4;
  if (showGlyphs_) {
    TBitmap& g = GlyphOf(*e);
    DrawTransparentAt(g, c, back, r.left + x, (r.top + r.bottom - g.Height()) / 2);
    x += glyphs_[gKnownFile].Width() + 2;
  }
  c.Font.SetStyle((e->Attr & (2 | 4)) ? unsigned(fsItalic) : 0u);
  c.Brush.SetColor(back);
  if (header_ && header_->SectionCount() >= 7) {
    if (fileDetails_ & FileDetailBit(fdName)) {
      c.TextOut(r.left + x, r.top, FirstChars(e->Name, static_cast<size_t>(nameColumn_)));
      x += header_->SectionWidth(3) + (showGlyphs_ ? 0 : header_->SectionWidth(2));
    }
    if (fileDetails_ & FileDetailBit(fdSize)) {
      c.TextOut(r.left + x, r.top, e->SizeText());
      x += header_->SectionWidth(4);
    }
    if (fileDetails_ & FileDetailBit(fdDate)) {
      c.TextOut(r.left + x, r.top, e->DateText(settings_));
      x += header_->SectionWidth(5);
    }
    if (fileDetails_ & FileDetailBit(fdTime)) c.TextOut(r.left + x, r.top, e->TimeText(settings_));
  } else {
    std::string text;
    if (fileDetails_ & FileDetailBit(fdName))
      text += PadRight(e->Name, static_cast<size_t>(reading_.LongestName)) + " ";
    if (fileDetails_ & FileDetailBit(fdSize)) text += e->SizeText() + " ";
    if (fileDetails_ & FileDetailBit(fdDate)) text += e->DateText(settings_) + " ";
    if (fileDetails_ & FileDetailBit(fdTime)) text += e->TimeText(settings_);
    c.TextOut(r.left + x, r.top, text);
  }
  LookUpThumbnail(*e);
  if (zThumb > 0) {
    c.Polyline({{r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left + 1, r.bottom - 1}});
    if (e->ThumbIndex >= 0 && ThumbImages) {
      const int charHeight = c.TextHeight("X");
      if (ThumbCaptions && static_cast<int>(ThumbCaptions->size()) > e->ThumbIndex) {
        RECT cr{r.left + zThumb + 4, r.top + (charHeight - 1) + 16, r.right - 3, r.bottom - 3};
        c.Brush.SetStyle(bsClear);
        c.DrawText((*ThumbCaptions)[static_cast<size_t>(e->ThumbIndex)], cr,
                   DT_WORDBREAK | DT_NOPREFIX);
      }
      ThumbImages->Draw(c, r.left + 2, r.top + charHeight - 1, e->ThumbIndex);
    }
  }
}

// Mouse, keys and tooltips.

LRESULT TOrvex_FileList::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (autoDrag_.Filter(message, w, l)) return 0;
  if (message == WM_LBUTTONDOWN) {
    int row = ItemAtPos({static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))});
    if (row >= 0) {
      if (w & MK_SHIFT)
        TagRange(row);
      else if (w & MK_CONTROL)
        ToggleTag(row);
    }
  }
  return TListBox::WndProc(message, w, l);
}

void TOrvex_FileList::KeyUp(WORD& key, TShiftState shift) {
  if (key == 'A' && (shift & (ssShift | ssCtrl | ssAlt)) == ssCtrl) ToggleAllTags();
  TListBox::KeyUp(key, shift);
}

void TOrvex_FileList::MouseMove(TShiftState shift, int x, int y) {
  TListBox::MouseMove(shift, x, y);
  if (!Application.ShowHint || !ItemHint) return;
  int row = ItemAtPos({x, y});
  if (!nameHint_.MovedTo(row)) return;
  const TSrchRec* e = Entry(row);
  if (!e) return;
  RECT r = ItemRect(row);
  int left = r.left + GlyphAreaWidth();
  TControlCanvas c(Handle());
  c.Font = Font();
  int available =
      header_ && header_->SectionCount() > 3
          ? header_->SectionWidth(3)
          : std::min<int>(r.right - left, c.TextWidth(std::string(
                                              static_cast<size_t>(reading_.LongestName + 1), ' ')));
  SIZE text = c.TextExtent(e->Name);
  if (text.cx <= available) return;
  nameHint_.Show({left, r.top}, text, e->Name);
}

bool TOrvex_FileList::EditItemName(int i, std::string& oldName, std::string& newName) {
  if (!Entry(i)) return false;
  RECT r = ItemRect(i);
  r.left += GlyphAreaWidth();
  oldName = GetItemName(i);
  return EditNameInPlace(*this, r, oldName, newName);
}
