#include "foundation/cFileCtlDriveCombo.h"

#include <windows.h>

#include <winnetwk.h>

#include <cctype>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlPaths.h"
#include "foundation/cFileCtlProcessPath.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "framework/Text.h"
#include "imaging/uGraphics.h"

namespace {
const char* const kGlyphNames[5] = {"FLOPPY", "HARD", "NETWORK", "CDROM", "RAM"};

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

int DriveTypeOf(char letter) {
  std::wstring root = Utf8ToWide(std::string(1, letter) + ":\\");
  return static_cast<int>(GetDriveTypeW(root.c_str()));
}

std::string Cased(std::string s, bool lower) {
  for (char& c : s) {
    if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (!lower && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return s;
}
}  // namespace

std::string DriveVolumeLabel(char letter, uint32_t* serial) {
  std::wstring root = Utf8ToWide(std::string(1, letter) + ":\\");
  wchar_t label[MAX_PATH + 1] = {};
  DWORD number = 0;
  uint32_t mode = Platform().ExchangeErrorMode(1);  // no "insert a disk" dialog
  BOOL ok = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &number, nullptr, nullptr,
                                  nullptr, 0);
  Platform().ExchangeErrorMode(mode);
  if (serial) *serial = ok ? number : 0;
  return ok ? WideToUtf8(label) : std::string();
}

std::string DriveVolumeText(char letter) {
  return VolumeText(DriveVolumeLabel(letter), IsLower(letter));
}

std::string DriveNetworkName(char letter) {
  std::wstring local = Utf8ToWide(std::string(1, letter) + ":");
  wchar_t remote[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH + 1;
  if (WNetGetConnectionW(local.c_str(), remote, &size) == NO_ERROR)
    return Cased(WideToUtf8(remote), IsLower(letter));
  return DriveVolumeText(letter);
}

TOrvex_DriveCombo::TOrvex_DriveCombo(TComponent* owner, TWindow* parent, int x, int y, int width,
                                     int height)
    : TComboBox(owner, parent, x, y, width, height, csOwnerDrawFixed) {
  std::string current = ProcessDirectory();
  drive_ = current.empty() || current[0] == '\\' ? '\0' : current[0];
  LoadGlyphs();
  MeasureRowHeight();
}

void TOrvex_DriveCombo::LoadGlyphs() {
  for (int i = 0; i < 5; ++i) glyphs_[i].LoadFromResourceName(kGlyphNames[i]);
}

void TOrvex_DriveCombo::MeasureRowHeight() {
  TControlCanvas c(Handle());
  c.Font = Font();
  SetItemHeight(std::max(c.TextHeight("X"), glyphs_[0].Height()));
}

void TOrvex_DriveCombo::FontChanged() {
  TComboBox::FontChanged();
  MeasureRowHeight();
}

void TOrvex_DriveCombo::Notification(TComponent* component, TOperation operation) {
  TComboBox::Notification(component, operation);
  if (operation == opRemove && component == dirList_) dirList_ = nullptr;
}

void TOrvex_DriveCombo::SetDirList(TOrvex_DirList* list) {
  if (list == dirList_) return;
  if (dirList_) {
    dirList_->driveCombo_ = nullptr;
    dirList_->RemoveFreeNotification(this);
  }
  dirList_ = list;
  if (!dirList_) return;
  dirList_->driveCombo_ = this;
  dirList_->FreeNotification(this);
}

char TOrvex_DriveCombo::InCase(char letter) const {
  return textCase_ == tcUpperCase
             ? Upper(letter)
             : static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

void TOrvex_DriveCombo::SetTextCase(TTextCase textCase) {
  if (textCase == textCase_) return;
  textCase_ = textCase;
  BuildList();
  SetDrive(drive_);
}

void TOrvex_DriveCombo::Loaded() {
  TComboBox::Loaded();
  BuildList();
  SetDrive(drive_);
}

void TOrvex_DriveCombo::BuildList() {
  Clear();
  DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i)) || !(DriveMask & (1u << i))) continue;
    char letter = InCase(static_cast<char>('a' + i));
    int type = DriveTypeOf(letter);
    TBitmap* glyph;
    std::string text;
    switch (type) {
      case DRIVE_REMOVABLE:
        glyph = &glyphs_[0];
        break;
      case DRIVE_FIXED:
        glyph = &glyphs_[1];
        text = DriveVolumeText(letter);
        break;
      case DRIVE_REMOTE:
        glyph = &glyphs_[2];
        text = DriveNetworkName(letter);
        break;
      case DRIVE_CDROM:
        glyph = &glyphs_[3];
        text = DriveVolumeText(letter);
        break;
      case DRIVE_RAMDISK:
        glyph = &glyphs_[4];
        text = DriveVolumeText(letter);
        break;
      default:
        continue;
    }
    Add(DriveItemText(letter, type, text), glyph);
  }
}

int TOrvex_DriveCombo::IndexOfDrive(char letter) const {
  for (int i = 0; i < Count(); ++i) {
    std::string s = String(i);
    if (s.size() >= 2 && Upper(s[0]) == Upper(letter) && s[1] == ':') return i;
  }
  return -1;
}

bool TOrvex_DriveCombo::DriveIsRemovable() const { return IsRemovableDriveType(driveType_); }

bool TOrvex_DriveCombo::RefreshRemovable() {
  if (!drive_ || !DriveIsRemovable()) return false;
  SetDrive(drive_);
  return true;
}

void TOrvex_DriveCombo::SetDrive(char letter) {
  int type = letter ? DriveTypeOf(letter) : 0;
  bool removable = IsRemovableDriveType(type);
  if (ItemIndex() >= 0 && letter && Upper(letter) == Upper(drive_) && !removable) return;
  if (!letter) {
    drive_ = '\0';
    SetItemIndex(-1);
    return;
  }
  uint64_t freeBytes = 0, totalBytes = 0;
  if (!GetDiskSpace(Upper(letter), freeBytes, totalBytes)) {
    // Not ready: the previous drive stays, and this one shows its letter alone.
    int failed = IndexOfDrive(letter);
    if (failed >= 0) SetString(failed, std::string(1, InCase(letter)) + ":");
    SetItemIndex(drive_ ? IndexOfDrive(drive_) : -1);
    return;
  }
  driveType_ = type;
  drive_ = InCase(letter);
  int index = IndexOfDrive(drive_);
  volumeName_ = DriveVolumeLabel(drive_, &volumeSerial_);
  if (removable && index >= 0)
    SetString(index, std::string(1, drive_) + ": " + VolumeText(volumeName_, IsLower(drive_)));
  SetItemIndex(index);
  if (dirList_) {
    if (removable)
      dirList_->DriveChanged(drive_);
    else
      dirList_->FixedDriveChanged(drive_);
  }
  Change();
}

void TOrvex_DriveCombo::Select() { Click(); }

void TOrvex_DriveCombo::Click() {
  TComboBox::Click();
  int i = ItemIndex();
  if (i < 0) return;
  std::string text = String(i);
  if (!text.empty()) SetDrive(text[0]);
}

void TOrvex_DriveCombo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TComboBox::MouseDown(button, shift, x, y);
  if (button == mbRight && OnRightClick) OnRightClick(this);
}

void TOrvex_DriveCombo::DrawItem(int index, const RECT& r, UINT state) {
  TCanvas& c = Canvas();
  c.FillRect(r);
  auto* glyph = static_cast<TBitmap*>(Object(index));
  int x = r.left + 2;
  const TColor back = c.Brush.Color();
  if (glyph && !glyph->Empty()) {
    DrawTransparentAt(*glyph, c, back, x, (r.top + r.bottom - glyph->Height()) / 2);
    x += glyph->Width() + 4;
  }
  c.Brush.SetColor(back);
  c.TextOut(x, (r.top + r.bottom - c.TextHeight("X")) / 2, String(index));
}
