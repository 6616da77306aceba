#include "shell/FilePropertiesDialog.h"

#include <shellapi.h>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Canvas.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/PaintedWindow.h"
#include "framework/TabControl.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"
#include "thumbnails/uThumbnails.h"

// The shell's large icon of the entry, drawn on the dialog's face.
class TPropertiesIcon : public TPaintedWindow {
 public:
  TPropertiesIcon(TComponent* owner, TWindow* parent, int x, int y) : TPaintedWindow(owner) {
    Create("", WS_CHILD | WS_VISIBLE, x, y, 32, 32, parent->Handle());
  }
  ~TPropertiesIcon() override { SetIcon(nullptr); }
  void SetIcon(HICON icon) {
    if (icon_) DestroyIcon(icon_);
    icon_ = icon;
    if (Handle()) InvalidateRect(Handle(), nullptr, TRUE);
  }
  HICON Icon() const { return icon_; }

 protected:
  void Paint(TCanvas& canvas) override {
    RECT r = ClientRect();
    FillRect(canvas.Handle(), &r, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_) DrawIconEx(canvas.Handle(), 0, 0, icon_, 32, 32, 0, nullptr, DI_NORMAL);
  }

 private:
  HICON icon_ = nullptr;
};

namespace {
constexpr int kRow = 20;  // a folder's missing time lines move the attributes up two rows
constexpr int kAttributesTop = 186;

TLabel* Text(TComponent* owner, TWindow* parent, int x, int y, int width,
             const std::string& caption = "") {
  auto* l = new TLabel(owner, parent, x, y, width, 16);
  l->SetCaption(caption);
  return l;
}

// A row of the file page: its caption and its value.
TLabel* Row(TComponent* owner, TWindow* page, int y, const std::string& caption,
            TLabel** captionLabel = nullptr) {
  TLabel* c = Text(owner, page, 12, y, 92, caption);
  if (captionLabel) *captionLabel = c;
  return Text(owner, page, 108, y, 256);
}

// A file time as a local DOS date-time; false when it cannot be one (before 1980).
bool LocalDosTime(const FILETIME& time, uint32_t& dos) {
  FILETIME local;
  WORD date = 0, clock = 0;
  if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToDosDateTime(&local, &date, &clock))
    return false;
  dos = (uint32_t(date) << 16) | clock;
  return true;
}

std::string TimeText(const FILETIME& time, bool withTime) {
  uint32_t dos = 0;
  const bool known = LocalDosTime(time, dos);
  return EntryTimeText(known, dos, withTime, Platform().FormatSettings());
}

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

bool MessageSounds() { return ViewerForm ? ViewerForm->MessageSounds : true; }

tThumbnails* Database() { return ViewerForm ? ViewerForm->Thumbnails.get() : nullptr; }
}  // namespace

TFilePropertiesDialog::TFilePropertiesDialog(TComponent* owner) : TForm(owner, bsDialog) {
  Position = poScreenCenter;
  SetClientSize(380, 318);
  Pages = new TNotebook(this, this, 0, 0, 380, 276);
  TPanel* file = Pages->AddPage();
  TPanel* drive = Pages->AddPage();
  Icon = new TPropertiesIcon(this, file, 16, 12);

  // File page.
  Text(this, file, 60, 14, 40, "Type:");
  lblType = Text(this, file, 108, 14, 256);
  lblName = Row(this, file, 56, "Name:");
  lblShortName = Row(this, file, 56 + kRow, "MS_DOS name:");
  lblLocation = Row(this, file, 56 + 2 * kRow, "Location:");
  lblCreated = Row(this, file, 56 + 3 * kRow, "Created:");
  lblModified = Row(this, file, 56 + 4 * kRow, "Modified:", &capModified);
  lblAccessed = Row(this, file, 56 + 5 * kRow, "Accessed:", &capAccessed);
  // The frame with its boxes lies on the form over the file page.
  grpAttributes = new TGroupBox(this, this, "Attributes", 12, kAttributesTop, 356, 76);
  auto check = [&](const char* caption, int x, int y) {
    return new TCheckBox(this, grpAttributes, caption, x, y, 150, 20);
  };
  chkReadOnly = check("&Read-only", 12, 20);
  chkHidden = check("Hi&dden", 12, 46);
  chkSystem = check("S&ystem", 184, 20);
  chkArchive = check("Ar&chive", 184, 46);

  // Drive page.
  lblDriveType = Text(this, drive, 60, 8, 300);
  lblDriveType->Font().SetStyle(fsBold);
  lblDriveLabel = Text(this, drive, 60, 26, 300);
  Text(this, drive, 12, 52, 92, "Serial number:");
  lblSerial = Text(this, drive, 108, 52, 120);
  Text(this, drive, 12, 72, 92, "File system:");
  lblFileSystem = Text(this, drive, 108, 72, 120);
  Text(this, drive, 12, 99, 92, "Label:");
  edLabel = new TEdit(this, drive, 108, 96, 120, 22);
  btnLabelDisk = new TButton(this, drive, "Label disk", 236, 95, 132, 24);
  btnLabelDisk->OnClick = [this](TComponent*) { edLabel->SetText(NextLabel); };
  auto space = [&](int y, const char* caption, TLabel*& bytes, TLabel*& size) {
    Text(this, drive, 12, y, 92, caption);
    bytes = Text(this, drive, 108, y, 160);
    bytes->Alignment = taRightJustify;
    size = Text(this, drive, 280, y, 88);
    size->Alignment = taRightJustify;
  };
  space(132, "Capacity:", lblCapacity, lblCapacitySize);
  space(152, "Used space:", lblUsed, lblUsedSize);
  space(172, "Free space:", lblFree, lblFreeSize);
  lblBytesPerSector = Text(this, drive, 108, 204, 260);
  lblSectorsPerCluster = Text(this, drive, 108, 224, 260);
  lblClusters = Text(this, drive, 108, 244, 260);

  btnOK = new TButton(this, this, "OK", 116, 284, 80, 25);
  btnOK->ModalResult = mrOk;
  btnOK->SetDefault(true);
  DefaultButton = btnOK;
  btnCancel = new TButton(this, this, "Cancel", 204, 284, 80, 25);
  btnCancel->ModalResult = mrCancel;
  CancelButton = btnCancel;
  btnHelp = new TButton(this, this, "&Help", 292, 284, 80, 25);
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  FinishCreate();
}

TFilePropertiesDialog::~TFilePropertiesDialog() = default;

std::vector<TWindow*> TFilePropertiesDialog::AttributeControls() const {
  // The boxes are the frame's children: they move and hide with it.
  return {grpAttributes};
}

void TFilePropertiesDialog::SetIcon(HICON icon) {
  // One icon for both pages: it moves to the page shown.
  ::SetParent(Icon->Handle(), Pages->Page(Pages->PageIndex())->Handle());
  Icon->SetIcon(icon);
}

bool TFilePropertiesDialog::ShowEntry(const std::string& path) {
  Path = path;
  if (Path.size() > 3 && (Path.back() == '\\' || Path.back() == '/')) Path.pop_back();
  WIN32_FIND_DATAW found{};
  const HANDLE h = FindFirstFileW(Utf8ToWide(Path).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  Pages->SetPageIndex(0);
  SetCaption(PropertiesCaption(Path));
  HelpContext = 8;
  SHFILEINFOW info{};
  SHGetFileInfoW(Utf8ToWide(Path).c_str(), 0, &info, sizeof info,
                 SHGFI_TYPENAME | SHGFI_ICON | SHGFI_LARGEICON);
  lblType->SetCaption(TypeNameText(WideToUtf8(info.szTypeName)));
  SetIcon(info.hIcon);
  OldAttributes = found.dwFileAttributes;
  const tAttributeChecks checks = AttributeChecks(OldAttributes);
  chkReadOnly->SetChecked(checks.ReadOnly);
  chkHidden->SetChecked(checks.Hidden);
  chkSystem->SetChecked(checks.System);
  chkArchive->SetChecked(checks.Archive);
  const std::string name = WideToUtf8(found.cFileName);
  lblName->SetCaption(name);
  lblShortName->SetCaption(ShortNameText(WideToUtf8(found.cAlternateFileName), name));
  lblLocation->SetCaption(ExtractFilePath(Path));
  lblCreated->SetCaption(TimeText(found.ftCreationTime, true));
  lblModified->SetCaption(TimeText(found.ftLastWriteTime, true));
  lblAccessed->SetCaption(TimeText(found.ftLastAccessTime, false));
  const bool folder = (OldAttributes & faDirectory) != 0;
  for (TLabel* l : {capModified, lblModified, capAccessed, lblAccessed}) l->SetVisible(!folder);
  const int shift = (folder ? kAttributesTop - 2 * kRow : kAttributesTop) - grpAttributes->Top();
  for (TWindow* w : AttributeControls()) {
    const RECT r = w->BoundsRect();
    w->SetBounds(r.left, r.top + shift, r.right - r.left, r.bottom - r.top);
  }
  return true;
}

bool TFilePropertiesDialog::ApplyAttributes() {
  const tAttributeChecks checks{chkReadOnly->Checked(), chkHidden->Checked(),
                                chkSystem->Checked(), chkArchive->Checked()};
  const uint32_t word = AttributesFromChecks(OldAttributes, checks);
  if (word == OldAttributes) return false;
  // The system sets neither the directory bit nor "normal" beside other bits.
  DWORD set = word & ~DWORD(faDirectory | FILE_ATTRIBUTE_NORMAL);
  if (set == 0) set = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesW(Utf8ToWide(Path).c_str(), set)) return false;
  OldAttributes = word;
  return true;
}

void TFilePropertiesDialog::ShowDrive(char letter) {
  Drive = letter;
  const std::string root = RootOf(letter);
  const std::wstring wroot = Utf8ToWide(root);
  Pages->SetPageIndex(1);
  for (TWindow* w : AttributeControls()) w->SetVisible(false);
  SetCaption(Format("Drive %s: properties", {std::string(1, letter)}));
  HelpContext = 9;
  const UINT type = GetDriveTypeW(wroot.c_str());
  SHFILEINFOW info{};
  SHGetFileInfoW(wroot.c_str(), 0, &info, sizeof info,
                 SHGFI_TYPENAME | SHGFI_ICON | SHGFI_LARGEICON);
  SetIcon(info.hIcon);
  lblDriveType->SetCaption(DriveTypeText(static_cast<int>(type), WideToUtf8(info.szTypeName)));
  wchar_t label[MAX_PATH + 1] = {}, system[MAX_PATH + 1] = {};
  DWORD serial = 0, longest = 0, flags = 0;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool readable = GetVolumeInformationW(wroot.c_str(), label, MAX_PATH + 1, &serial,
                                              &longest, &flags, system, MAX_PATH + 1) != 0;
  OldLabel = readable ? WideToUtf8(label) : "";
  lblDriveLabel->SetCaption(DriveLabelLine(letter, readable, OldLabel));
  lblSerial->SetCaption(readable ? DriveSerialText(serial) : "?");
  lblFileSystem->SetCaption(readable ? WideToUtf8(system) : "?");
  edLabel->SetText(OldLabel);
  tDriveSpace space;
  ULARGE_INTEGER available{}, total{}, free{};
  if (GetDiskFreeSpaceExW(wroot.c_str(), &available, &total, &free)) {
    space.TotalBytes = total.QuadPart;
    space.FreeBytes = available.QuadPart;
  }
  DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
  space.ClustersKnown =
      GetDiskFreeSpaceW(wroot.c_str(), &sectors, &bytes, &freeClusters, &clusters) != 0;
  SetErrorMode(oldMode);
  space.SectorsPerCluster = sectors;
  space.BytesPerSector = bytes;
  space.FreeClusters = freeClusters;
  space.TotalClusters = clusters;
  const tDriveSpaceTexts t = DriveSpaceTexts(space);
  lblCapacity->SetCaption(t.Capacity);
  lblCapacitySize->SetCaption(t.CapacitySize);
  lblUsed->SetCaption(t.Used);
  lblUsedSize->SetCaption(t.UsedSize);
  lblFree->SetCaption(t.Free);
  lblFreeSize->SetCaption(t.FreeSize);
  lblBytesPerSector->SetCaption(t.BytesPerSector);
  lblSectorsPerCluster->SetCaption(t.SectorsPerCluster);
  lblClusters->SetCaption(t.Clusters);
  tThumbnails* db = Database();
  NextLabel = db ? db->NewVolumeLabel() : "";
  const bool offer = type == DRIVE_REMOVABLE && !NextLabel.empty();
  btnLabelDisk->SetCaption(offer ? LabelDiskCaption(NextLabel) : "Label disk");
  btnLabelDisk->SetEnabled(offer);
}

bool TFilePropertiesDialog::ApplyLabel() {
  const std::string text = edLabel->Text();
  if (text == OldLabel) return false;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const bool ok =
      SetVolumeLabelW(Utf8ToWide(RootOf(Drive)).c_str(), Utf8ToWide(text).c_str()) != 0;
  SetErrorMode(oldMode);
  if (!ok) {
    SoundMessageDlg("Could not set the volume label", mtError, MsgDlgButtons({mbOK, mbHelp}),
                    MessageSounds(), 33);
    return false;
  }
  OldLabel = text;
  // The disk took the database's next label: the next disk gets the one after it.
  tThumbnails* db = Database();
  if (db && !NextLabel.empty() && text == NextLabel) {
    ++db->Header.VolumeSerial;
    db->WriteHeader();
  }
  return true;
}

bool ShowFileProperties(TComponent* owner, const std::string& path) {
  auto* dialog = new TFilePropertiesDialog(owner);
  bool changed = false;
  if (dialog->ShowEntry(path) && dialog->ShowModal() == mrOk) changed = dialog->ApplyAttributes();
  dialog->Release();
  return changed;
}

bool ShowDriveProperties(TComponent* owner, char letter) {
  auto* dialog = new TFilePropertiesDialog(owner);
  dialog->ShowDrive(letter);
  const bool changed = dialog->ShowModal() == mrOk && dialog->ApplyLabel();
  dialog->Release();
  return changed;
}
