#include "foundation/SelectDirDialog.h"

#include <exception>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Label.h"
#include "framework/Text.h"

namespace {
// A label whose "&" marks the letter of its control.
class TAccelLabel : public TLabel {
 public:
  TAccelLabel(TComponent* owner, TWindow* parent, const std::string& caption, const tBox& b)
      : TLabel(owner, parent, b.Left, b.Top, b.Width, b.Height) {
    SetCaption(caption);
  }

 protected:
  void Paint(TCanvas& canvas) override {
    RECT r = ClientRect();
    canvas.Brush.SetColor(Color);
    canvas.FillRect(r);
    canvas.Brush.SetStyle(bsClear);
    canvas.DrawText(Caption(), r, DT_LEFT | DT_SINGLELINE);
  }
};

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  int ppi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

std::string FullPathOf(const std::string& path) {
  std::wstring w = Utf8ToWide(path);
  wchar_t buffer[MAX_PATH * 4];
  DWORD n = GetFullPathNameW(w.c_str(), MAX_PATH * 4, buffer, nullptr);
  return n == 0 || n >= MAX_PATH * 4 ? path : WideToUtf8(std::wstring(buffer, n));
}
}  // namespace

TSelectDirDlg::TSelectDirDlg(TComponent* owner, int pixelsPerInch)
    : TForm(owner, bsDialog), ppi_(pixelsPerInch > 0 ? pixelsPerInch : ScreenPixelsPerInch()) {
  SetCaption("Select Directory");
  Position = poScreenCenter;
  tBox client = SelectDirClient(ppi_);
  SetClientSize(client.Width, client.Height);
  auto b = SelectDirLayout(true, ppi_);

  new TAccelLabel(this, this, "Directory &Name:", b[sdiNameLabel]);
  DirLabel = new TPathLabel(this, this, b[sdiDirLabel].Left, b[sdiDirLabel].Top,
                            b[sdiDirLabel].Width, b[sdiDirLabel].Height);
  DirEdit = new TEdit(this, this, b[sdiDirEdit].Left, b[sdiDirEdit].Top, b[sdiDirEdit].Width,
                      b[sdiDirEdit].Height, 0);
  SetWindowLongW(DirEdit->Handle(), GWL_EXSTYLE,
                 GetWindowLongW(DirEdit->Handle(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(DirEdit->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  DirEdit->SetVisible(false);
  new TAccelLabel(this, this, "&Directories:", b[sdiDirsLabel]);
  DirList = new TOrvex_DirList(this, this, b[sdiDirList].Left, b[sdiDirList].Top,
                               b[sdiDirList].Width, b[sdiDirList].Height);
  DirList->SetItemHeight(ScaleFrom96(17, ppi_));
  new TAccelLabel(this, this, "&Files: (*.*)", b[sdiFilesLabel]);
  FileList = new TOrvex_FileList(this, this, b[sdiFileList].Left, b[sdiFileList].Top,
                                 b[sdiFileList].Width, b[sdiFileList].Height);
  FileList->SetFileType(FileTypeBit(ftNormal));
  FileList->SetMask("*.*");
  FileList->Font().SetColor(clGrayText);
  FileList->SetItemHeight(ScaleFrom96(13, ppi_));
  new TAccelLabel(this, this, "D&rives:", b[sdiDrivesLabel]);
  DriveList = new TOrvex_DriveCombo(this, this, b[sdiDriveList].Left, b[sdiDriveList].Top,
                                    b[sdiDriveList].Width, 300);
  NetButton = new TButton(this, this, "Ne&twork...", b[sdiNetButton].Left, b[sdiNetButton].Top,
                          b[sdiNetButton].Width, b[sdiNetButton].Height);
  NetButton->SetVisible(false);
  OKButton = new TButton(this, this, "OK", b[sdiOKButton].Left, b[sdiOKButton].Top,
                         b[sdiOKButton].Width, b[sdiOKButton].Height);
  OKButton->SetDefault(true);
  CancelButton = new TButton(this, this, "Cancel", b[sdiCancelButton].Left, b[sdiCancelButton].Top,
                             b[sdiCancelButton].Width, b[sdiCancelButton].Height);
  CancelButton->SetCancel(true);
  CancelButton->ModalResult = mrCancel;
  HelpButton = new TButton(this, this, "&Help", b[sdiHelpButton].Left, b[sdiHelpButton].Top,
                           b[sdiHelpButton].Width, b[sdiHelpButton].Height);

  DirList->Name = "DirList";
  DirEdit->Name = "DirEdit";
  DriveList->Name = "DriveList";
  DirLabel->Name = "DirLabel";
  FileList->Name = "FileList";
  DriveList->SetDirList(DirList);
  DirList->OnChange = [this](TComponent*) { DirListChange(); };
  DriveList->OnChange = [this](TComponent*) { DriveListChange(); };
  NetButton->OnClick = [this](TComponent*) { NetClick(); };
  // OK closes only when OKClick accepts the folder.
  OKButton->OnClick = [this](TComponent*) { OKClick(); };
  HelpButton->OnClick = [this](TComponent*) { HelpButtonClick(); };
  ActiveControl = DirList;

  if (ppi_ != 96) {
    // Scaled from the layout's 96 pixels per inch: placed in the middle of the screen.
    RECT r = BoundsRect();
    tBox box{0, 0, r.right - r.left, r.bottom - r.top};
    CentreOnScreen(Screen.Width(), Screen.Height(), box);
    SetBounds(box.Left, box.Top, box.Width, box.Height);
    Position = poDesigned;
    FileList->Font() = Font();
    FileList->Font().SetColor(clGrayText);
  }
  OnCreate = [this](TComponent*) { FormCreate(); };
  FinishCreate();
}

void TSelectDirDlg::FormCreate() {
  // The network connection dialog of the systems that have one (found through the old user
  // module's entry); none elsewhere, and the button stays hidden.
  HMODULE user = GetModuleHandleW(L"user32.dll");
  using TGetCaps = HMODULE(WINAPI*)(WORD);
  auto getCaps =
      user
          ? reinterpret_cast<TGetCaps>(reinterpret_cast<void*>(GetProcAddress(user, "WNETGETCAPS")))
          : nullptr;
  if (getCaps) {
    HMODULE net = getCaps(0xFFFF);
    if (net)
      connectDialog_ = reinterpret_cast<TConnectDialog>(
          reinterpret_cast<void*>(GetProcAddress(net, "WNETCONNECTDIALOG")));
  }
  NetButton->SetVisible(connectDialog_ != nullptr);
  SetAllowCreate(false);
  DirListChange();
}

void TSelectDirDlg::SetAllowCreate(bool allow) {
  allowCreate_ = allow;
  DirEdit->SetVisible(allow);
  DirLabel->SetVisible(!allow);
}

void TSelectDirDlg::DirListChange() {
  DirLabel->SetCaption(DirList->Directory());
  try {
    FileList->SetFileName(DirList->Directory());
  } catch (const std::exception&) {
    // A folder that vanished meanwhile: the file list shows what it showed.
  }
  DirEdit->SetText(DirLabel->Caption());
  DirEdit->SelectAll();
}

void TSelectDirDlg::DriveListChange() { DirList->SetDrive(DriveList->Drive()); }

void TSelectDirDlg::NetClick() {
  if (connectDialog_) connectDialog_(Handle(), 1);
}

void TSelectDirDlg::SelectFolder(const std::string& folder) {
  if (folder.empty()) return;
  char drive = 0;
  std::string path;
  if (!SelectDirStartFolder(FullPathOf(folder), drive, path)) return;
  try {
    DriveList->SetDrive(drive);
    DirList->SetDirectory(path);
  } catch (const std::exception&) {
    // The dialog stays on the current folder.
  }
}

std::string TSelectDirDlg::ChosenFolder() const {
  return allowCreate_ ? DirEdit->Text() : DirLabel->Caption();
}

void TSelectDirDlg::HideHelp() {
  HelpButton->SetVisible(false);
  auto b = SelectDirLayout(false, ppi_);
  OKButton->SetBounds(b[sdiOKButton].Left, b[sdiOKButton].Top, b[sdiOKButton].Width,
                      b[sdiOKButton].Height);
  CancelButton->SetBounds(b[sdiCancelButton].Left, b[sdiCancelButton].Top, b[sdiCancelButton].Width,
                          b[sdiCancelButton].Height);
}

void TSelectDirDlg::OKClick() {
  std::string folder = ChosenFolder();
  if (allowCreate_ && Prompt && !FolderExists(folder) &&
      SoundMessageDlg("The specified directory does not exist. Create it?", mtConfirmation,
                      MsgDlgButtons({mbYes, mbNo}), false, HelpContext) != mrYes)
    return;
  if (PerformCreate) {
    // A folder that could not be made is no answer: the user hears why and may choose again.
    try {
      CreateDirectoryPath(folder);
    } catch (const std::exception&) {
    }
    if (folder.empty() || !FolderExists(folder)) {
      SoundMessageDlg("Unable to create directory " + folder, mtError, MsgDlgButtons({mbOK}), false,
                      HelpContext);
      DirEdit->SetFocus();
      return;
    }
  }
  ModalResult = mrOk;
}

void TSelectDirDlg::HelpButtonClick() {
  if (Application.OnHelp && HelpContext) Application.OnHelp(HelpContext);
}

bool BrowseForDirectory(std::string& folder, int options, int helpContext) {
  auto* dialog = new TSelectDirDlg(nullptr);
  dialog->SelectFolder(folder);
  dialog->SetAllowCreate(options & sdAllowCreate);
  dialog->Prompt = options & sdPrompt;
  dialog->PerformCreate = options & sdPerformCreate;
  dialog->DirList->SetShowHidden(options & sdShowHidden);
  if (helpContext == 0)
    dialog->HideHelp();
  else
    dialog->HelpContext = helpContext;
  bool ok = dialog->ShowModal() == mrOk;
  if (ok) folder = dialog->ChosenFolder();
  delete dialog;
  return ok;
}
