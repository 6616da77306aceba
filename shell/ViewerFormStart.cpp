// The main window's life: creation with the command line and its start modes, showing, closing,
// the messages it answers, and how main windows find and notify each other.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtilWin.h"
#include "framework/Application.h"
#include "framework/DropFiles.h"
#include "framework/Palette.h"
#include "imaging/uGraphic.h"
#include "shell/ViewerForm.h"
#include "shell/uInstallWin.h"
#include "thumbnails/ScreenSaverSettingsForm.h"
#include "thumbnails/SlideShowWindow.h"

std::string StartCommandLine;

namespace {
std::vector<TViewerForm*> AllViewerForms() {
  std::vector<TViewerForm*> forms;
  for (int i = 0; i < Application.ComponentCount(); ++i)
    if (auto* f = dynamic_cast<TViewerForm*>(Application.Components(i))) forms.push_back(f);
  return forms;
}

std::string WithBackslash(const std::string& folder) { return AddBackslash(folder); }

bool IsFile(const std::string& path) {
  const uint32_t a = Platform().ItemAttributes(path);
  return a != kNoFileAttributes && !(a & 16);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  const std::string ext = ExtractFileExt(path);
  return path.substr(0, path.size() - ext.size()) + extension;
}
}  // namespace

void TViewerForm::FormCreate() {
  const bool first = ViewerForm == nullptr;
  if (first) ViewerForm = this;
  Application.HelpFile = WithExtension(CommandLineWord(0), ".hlp");
  HelpContext = 2;
  Orvex_FilterCombo1->SetFilter(kViewerFormFilter);
  SetFileMask("*.*");
  FirstShowDone = false;
  StartWithThumbnails = false;
  // The first section spans the left panel; the file list sizes the others, and the tag and
  // glyph sections keep their widths.
  HeaderControl1->SetSectionWidth(0, pnlLeft->Width());
  Orvex_FileList1->SetHeaderControl(HeaderControl1);
  Orvex_FileList1->SetDragMode(dmAutomatic);
  for (int i = 1; i <= 2; ++i) {
    int w = HeaderControl1->SectionWidth(i);
    HeaderControl1->SetSectionLimits(i, w, w);
  }
  btn_h->SetDown(false);
  btn_f->SetDown(true);
  btn_n->SetDown(true);
  nbookLeftTop->SetPageIndex(0);
  HeaderControl1->SetSectionText(0, "DRIVES / history / bookmarks");

  if (!first) {
    ParentalLevel = ViewerForm->ParentalLevel;
    ApplyParentalLevel();
    Interactive = true;
    btnMaster->SetDown(ViewerForm->btnMaster->Down());
    btnMaster->SetVisible(false);
    btnAcquire->SetVisible(false);
  } else {
    LogoBitmap = std::make_unique<TBitmap>();
    LogoBitmap->LoadFromResourceName("ORVEX_40X40X256");
    RegisterAllFormats();
    BuildDate = 0x2B41;
    Warning256Pending = ScreenColorBits() < 9;
    if (!Warning256Pending) Warning256Colors = 0;
    OptionsPage = 0;
    tStartOptions start = ParseStartArguments(CommandLineArguments(
        StartCommandLine.empty() ? Platform().CommandLine() : StartCommandLine));
    StartMode = start.StartMode;
    HiddenOptions = start.HiddenOptions;
    StartFile = start.FileName;
    Interactive = StartMode == smInteractive;
    btnMaster->SetDown(true);
    LoadSaveSettings(true);
    ConnectViewerHost();
    if (CloneFolder.empty()) CloneFolder = WindowsDrive();
    if (Interactive) {
      TempFiles = std::make_unique<std::vector<std::string>>();
      OpenThumbnailDatabase();
      if (btnGallery->Visible()) btnGallery->SetEnabled(GalleryAvailable());
    }
    TrayIcon->PopupMenu = TrayPopupMenu->Handle();
    TrayIcon->SetActive(start.Tray && StartMode == smInteractive);
    if (StartMode != smInteractive) {
      Interactive = false;
      SetVisible(false);
      SetEnabled(false);
      Position = poDesigned;
      RECT b = BoundsRect();
      SetBounds(GetSystemMetrics(SM_CXSCREEN), b.top, b.right - b.left, b.bottom - b.top);
      Post(WM_DEFERRED_START);
    } else {
      Interactive = true;
      ActiveControl = Orvex_FileList1;
    }
    if (StartMode == smInteractive && !AcceptingDrops) ToggleDropAccept();
  }
  if (Interactive) {
    MakeThumbView();
    if (ThumbView && ViewerForm) ThumbView->AllowIcons = ViewerForm->ThumbnailIcos;
    // The change handlers once, in the order the lists depend on each other.
    FolderChanged();
    FileListChanged();
  }
  Stopwatch = std::make_unique<tStopwatch>();
  Orvex_FileList1->UpdateLayout();
}

void TViewerForm::DoShow() {
  if (!IsFirst() && !AcceptingDrops) ToggleDropAccept();
  if (!FirstShowDone) {
    FirstShowDone = true;
    if (Interactive) {
      if (StartWithThumbnails && !ShowsThumbnails()) ToggleThumbnailDisplay();
      StartWithThumbnails = false;
      LogoPalette = ViewerForm && ViewerForm->LogoBitmap ? ViewerForm->LogoBitmap->Palette()
                                                         : nullptr;
      PaletteChanged(*this);
      Application.ProcessMessages();
      Post(WM_THUMBS_START);
      PaletteActive = true;
    }
  }
  TForm::DoShow();
}

void TViewerForm::DoHide() {
  PaletteActive = false;
  TForm::DoHide();
}

bool TViewerForm::CloseQuery() {
  if (IsFirst() && TrayIcon->Active()) {
    // The tray icon keeps the program: closing minimises it to the tray instead.
    ShowWindow(Handle(), SW_MINIMIZE);
    return false;
  }
  if (ThumbState() != 0) {
    closeAfterPass_ = true;
    return false;
  }
  if (!TForm::CloseQuery()) return false;
  Closing = true;
  return true;
}

void TViewerForm::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  Stopwatch.reset();
  DropList.reset();
  if (!IsFirst()) {
    if (ViewerForm) ViewerForm->Post(WM_WINDOWCLOSED);
    action = caFree;
    return;
  }
  // Only the first window owns the settings, and only a browsing one writes them.
  if (Interactive) LoadSaveSettings(false);
  if (Interactive && TempFiles) {
    for (const std::string& name : *TempFiles) Platform().RemoveFile(name);
    TempFiles.reset();
  }
  TrayIcon->SetActive(false);
}

LRESULT TViewerForm::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      // Commands of a menu lent to the tray icon.
      if (l == 0 && HIWORD(w) == 0 && TrayPopupMenu->DispatchCommand(LOWORD(w))) return 0;
      break;
    case WM_DROPFILES:
      DroppedFiles(reinterpret_cast<HDROP>(w));
      return 0;
    case WM_GETMINMAXINFO: {
      LRESULT r = TForm::WndProc(message, w, l);
      reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{560, 200};
      return r;
    }
    case WM_QUERYENDSESSION:
      TrayIcon->SetActive(false);
      break;
    case WM_QUERYNEWPALETTE:
    case WM_PALETTECHANGED: {
      if (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(w) == Handle()) return 0;
      HPALETTE p = PaletteActive ? LogoPalette : nullptr;
      if (!p) break;
      HDC dc = GetDC(Handle());
      HPALETTE old = SelectPalette(dc, p, message == WM_PALETTECHANGED);
      if (RealizePalette(dc)) Orvex_Logo->Invalidate();
      SelectPalette(dc, old, TRUE);
      ReleaseDC(Handle(), dc);
      return message == WM_QUERYNEWPALETTE;
    }
    case WM_CLOSE_REQUEST:
      Close();
      return 0;
    case WM_DEFERRED_START:
      CommandLineAction();
      return 0;
    case WM_SELECTFILE: {
      BringWindowToTop(Handle());
      SetForegroundWindow(Handle());
      ActiveControl = Orvex_FileList1;
      Orvex_FileList1->SetFocus();
      const std::string name = ViewerForm ? ViewerForm->SelectFileName : std::string();
      Orvex_FileList1->SetItemIndex(Orvex_FileList1->IndexOfName(name));
      return 0;
    }
    case WM_FOLDER_CHANGED:
      Thumbs->FolderChanged();
      return 0;
    case WM_GRAPHIC_PROGRESS:
      Thumbs->GraphicProgress(w);
      return 0;
    case WM_REFRESHLIST:
      if (StartMode == smInteractive) Orvex_FileList1->FreeList();
      return 0;
    case WM_THUMBS_START:
      Thumbs->Start();
      CloseAfterPass();
      return 0;
    case WM_THUMBS_NEXT:
      Thumbs->Next(w);
      CloseAfterPass();
      return 0;
    case WM_THUMBS_BUILD:
      Thumbs->Build(w);
      CloseAfterPass();
      return 0;
    case WM_THUMBS_RESET:
      Thumbs->Reset();
      return 0;
    case WM_WINDOWCLOSED:
      return 0;
  }
  return TForm::WndProc(message, w, l);
}

void TViewerForm::CloseAfterPass() {
  if (!closeAfterPass_ || ThumbState() != 0) return;
  closeAfterPass_ = false;
  Post(WM_CLOSE_REQUEST);
}

void TViewerForm::CommandLineAction() {
  switch (StartMode) {
    case smOpenFile:
      OpenViewers = 0;
      // The argument that set the mode: a switch before or after the file does not hide it.
      if (!StartFile.empty() && OpenFileByType(StartFile)) IncViewerCount();
      if (OpenViewers == 0) Post(WM_CLOSE_REQUEST);
      break;
    case smSaverSettings: {
      tSaverSettingsHost host;
      host.ProgramPath = SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile;
      host.ParentalLevel = ParentalLevel;
      host.SlidePosition = &SlidePosition;
      host.CustomColors = &CustomColors;
      host.MessageSounds = MessageSounds;
      host.RunTestShow = [this](const std::vector<std::string>& lines, int delay,
                                const std::string& paper, uint32_t color, bool original) {
        StartSlideShow(this, nullptr, lines, false, static_cast<uint16_t>(delay), paper, color,
                       original, SlideShowHostOf(*this));
      };
      ShowScreenSaverSettings(this, host);
      Post(WM_CLOSE_REQUEST);
      break;
    }
    case smUninstall:
      if (SoundMessageDlg("Uninstall Tavishore 32", mtConfirmation,
                          MsgDlgButtons({mbOK, mbCancel, mbHelp}), MessageSounds,
                          53) != mrOk) {
        Post(WM_CLOSE_REQUEST);
        break;
      }
      // Ends the program unless the folder is not the installed one (the user is told).
      Uninstall(ExtractFilePath(ModuleFileName()), MessageSounds);
      Post(WM_CLOSE_REQUEST);
      break;
    default:
      break;  // "/s": stay hidden until the session ends
  }
}

std::string TViewerForm::ValidFolderOr(const std::string& folder) {
  if (!folder.empty() && FolderExists(folder)) return folder;
  if (!IsFirst() && ViewerForm) return ViewerForm->Orvex_DirList1->Directory();
  return WindowsDrive();
}

void TViewerForm::ToggleDropAccept() {
  AcceptingDrops = !AcceptingDrops;
  AcceptDroppedFiles(Handle(), AcceptingDrops);
}

void TViewerForm::DroppedFiles(HDROP drop) {
  POINT at{};
  bool inClient = false;
  std::vector<std::string> names = TakeDroppedFiles(drop, at, inClient);
  if (!AcceptingDrops || ParentalLevel > 0 || names.empty()) return;
  DropList = std::make_unique<std::vector<std::string>>(std::move(names));
  POINT screen = inClient ? ClientToScreen(at) : Orvex_FileList1->ClientToScreen(POINT{10, 10});
  cpyMenu->Popup(Handle(), screen.x, screen.y);
  DropList.reset();
}

void TViewerForm::NotifyAllViewerForms(int command) {
  if (command < 1 || command > 5) return;
  for (TViewerForm* f : AllViewerForms()) {
    TOrvex_FileList& list = *f->Orvex_FileList1;
    switch (command) {
      case 1:
        list.Invalidate();
        break;
      case 2:
        list.ResumeThumbnails();
        if (MasterSwitchToggle && !f->ShowsThumbnails()) f->ToggleThumbnailDisplay();
        f->Post(WM_THUMBS_START);
        break;
      case 3:
        list.ResetThumbnails();
        if (MasterSwitchToggle && f->ShowsThumbnails()) f->ToggleThumbnailDisplay();
        f->btnInspect->SetEnabled(false);
        break;
      case 4:
        f->Post(WM_THUMBS_RESET);
        break;
      case 5: {
        const std::string folder = list.Directory();
        const std::string part = ExtractFilePath(ChangedFolder);
        const std::string partNoSlash =
            part.size() > 1 && part.back() == '\\' ? part.substr(0, part.size() - 1) : part;
        if (folder == ChangedFolder || folder == partNoSlash) f->Post(WM_FOLDER_CHANGED);
        break;
      }
    }
  }
  if (command == 5) ChangedFolder.clear();
}

void TViewerForm::ShowFileInViewerForm(const std::string& fileName) {
  if (!IsFile(fileName) || !ViewerForm) return;
  ViewerForm->SelectFileName = ExtractFileName(fileName);
  const std::string folder = ExtractFilePath(fileName);
  TViewerForm* target = nullptr;
  for (TViewerForm* f : AllViewerForms()) {
    if (Platform().CompareTextLocale(WithBackslash(f->Orvex_FileList1->Directory()),
                                     WithBackslash(folder)) == 0) {
      target = f;
      break;
    }
  }
  if (!target) target = OpenViewerFormAt(this, RemoveBackslash(folder));
  if (target) target->Post(WM_SELECTFILE);
}

TViewerForm* OpenViewerFormAt(TViewerForm* caller, const std::string& folder) {
  int left = 0, top = 0, width = 630, height = 475;
  if (caller && !GetNormalBounds(caller->Handle(), left, top, width, height)) {
    RECT r = caller->BoundsRect();
    width = r.right - r.left;
    height = r.bottom - r.top;
  }
  auto* f = Application.CreateForm<TViewerForm>();
  RECT b = f->BoundsRect();
  f->SetBounds(b.left, b.top, width, height);
  f->Position = poDefaultPosOnly;
  if (caller) {
    f->Orvex_DirList1->Font() = caller->Orvex_DirList1->Font();
    f->Orvex_FileList1->Font() = caller->Orvex_FileList1->Font();
    for (int i = 0; i < caller->HeaderControl1->SectionCount(); ++i)
      f->HeaderControl1->SetSectionWidth(i, caller->HeaderControl1->SectionWidth(i));
    f->pnlLeft->SetWidth(f->HeaderControl1->SectionWidth(0));
    f->Orvex_FileList1->SetFileDetails(caller->Orvex_FileList1->FileDetails());
    if (caller->ShowsThumbnails() && !f->ShowsThumbnails()) f->ToggleThumbnailDisplay();
    for (auto [mine, theirs] : std::initializer_list<std::pair<TSpeedButton*, TSpeedButton*>>{
             {f->btn_h, caller->btn_h}, {f->btn_b, caller->btn_b}, {f->btn_u, caller->btn_u},
             {f->btn_e, caller->btn_e}, {f->btn_s, caller->btn_s}, {f->btn_d, caller->btn_d}})
      if (theirs->Down()) mine->Click();
    for (auto [mine, theirs] : std::initializer_list<std::pair<TComboBox*, TComboBox*>>{
             {f->cbMask, caller->cbMask}, {f->cbDir, caller->cbDir},
             {f->cbMarks, caller->cbMarks}}) {
      mine->Clear();
      for (int i = 0; i < theirs->Count(); ++i) mine->Add(theirs->String(i));
    }
    f->SetFileMask(caller->Orvex_FileList1->Mask());
  }
  f->btnExit->SetCaption("&Close");
  f->ActiveControl = f->Orvex_FileList1;
  f->Orvex_DirList1->SetDirectory(f->ValidFolderOr(folder));
  f->Show();
  HWND list = f->Orvex_FileList1->Handle();
  if (list && !IsWindowVisible(list)) ShowWindow(list, SW_SHOW);
  if (!list) throw EInvalidOperation("File list handle is zero");
  if (!f->Orvex_FileList1->Visible() && !IsWindowVisible(list))
    throw EInvalidOperation("File list visible is false");
  if (!IsWindowVisible(list)) {
    ShowWindow(list, SW_SHOW);
    if (!IsWindowVisible(list)) throw EInvalidOperation("File list window is not visible");
  }
  return f;
}

namespace {
// The gallery and its tools name their forms by their class ("TThumbWindowForm", ...).
void PostToFormsNamed(const char* className) {
  for (TForm* form : Screen.Forms)
    if (form->Name == className && form->HandleAllocated()) form->Post(WM_DEFERRED_START);
}
}  // namespace

void NotifyThumbWindows(int command) {
  if (command == 0) PostToFormsNamed("TThumbWindowForm");
}

void NotifyThumbToolsWindows(int command) {
  if (command == 0) PostToFormsNamed("TThumbToolsForm");
}
