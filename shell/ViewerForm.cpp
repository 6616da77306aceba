#include "shell/ViewerForm.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFormat.h"
#include "foundation/uIniHistoryWin.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Clipboard.h"
#include "framework/DropFiles.h"
#include "framework/Palette.h"
#include "imaging/uGraphic.h"
#include "resources/uResStrings.h"
#include "thumbnails/ScriptEditorDialog.h"
#include "viewers/picture/PictureWindow.h"

TViewerForm* ViewerForm = nullptr;

const char* const kViewerFormFilter =
    "All files|*.*|"
    "Known files|*.avi;*.bmp;*.gif;*.ico;*.iff;*.img;*.jp*;*.lbm;*.mid;*.mov;*.mp*;*.as?;*.pcx;"
    "*.png;*.qt;*.tga;*.tif;*.wav;*.wmf|"
    "Pictures|*.bmp;*.gif;*.ico;*.iff;*.img;*.jp*;*.lbm;*.pcx;*.png;*.tga;*.tif;*.wmf|"
    "Movies|*.mov;*.qt;*.avi;*.mp*;*.as?;*.wmv|"
    "Music and sounds|*.wav;*.mid;*.mp3";

namespace {
constexpr int kTopHeight = 48;
constexpr int kLeftWidth = 180;
constexpr int kButtonWidth = 54;
constexpr int kSortButton = 20;
constexpr int kRowHeight = 24;
const char* const kSectionTexts[] = {"DRIVES / history / bookmarks", "drives / HISTORY / bookmarks",
                                     "drives / history / BOOKMARKS"};
}  // namespace

TViewerForm::TViewerForm(TComponent* owner) : TForm(owner) {
  SetCaption(LoadResString(sProgramName));
  RECT placed = BoundsRect();
  SetBounds(placed.left, placed.top, 630, 475);
  KeyPreview = true;
  CreateThumbnailPipeline();
  CreateControls();
  CreateMenus();
  ConnectCommands();
  ConnectDropCommands();
  ArrangeControls();
}

TViewerForm::~TViewerForm() {
  if (ViewerForm != this) return;
  // The other windows' views read this window's database: they go first.
  for (TForm* f : Screen.Forms)
    if (auto* other = dynamic_cast<TViewerForm*>(f); other && other != this) {
      other->ThumbView.reset();
      other->ThumbLink.reset();
    }
  ThumbView.reset();
  ThumbLink.reset();
  Thumbnails.reset();
  UnregisterAllFormats();
  ViewerForm = nullptr;
}

bool TViewerForm::IsFirst() const { return ViewerForm == this; }

void TViewerForm::CreateControls() {
  pnlTop = new TPanel(this, this, 0, 0, 622, kTopHeight);
  Orvex_Logo = new TPaintBox(this, pnlTop, 4, 4, 40, 40);
  Orvex_Logo->OnPaint = [this](TComponent*, TCanvas& canvas) {
    TBitmap* logo = ViewerForm ? ViewerForm->LogoBitmap.get() : nullptr;
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(Orvex_Logo->ClientRect());
    if (Interactive && logo && !logo->Empty()) canvas.Draw(0, 0, *logo);
  };
  int x = 48;
  btnMaster = new TSpeedButton(this, pnlTop, "&Master", x, 12, kButtonWidth, kRowHeight, 1, true);
  btnMaster->Hint = "Thumbnail master switch";
  auto button = [this, &x](const char* caption) {
    x += kButtonWidth + 2;
    return new TButton(this, pnlTop, caption, x, 12, kButtonWidth, kRowHeight);
  };
  btnExit = button("e&Xit");
  btnExit->Hint = "Exit program";
  btnAbout = button("&About");
  btnClone = button("Ne&w");
  btnClone->Hint = "New window";
  btnOptions = button("&Options");
  btnOptions->Hint = "Program options";
  btnPaste = button("&Paste");
  btnPaste->Hint = "Paste from the clipboard";
  btnScripts = button("Sc&ripts");
  btnScripts->Hint = "Slide show scripts";
  btnGallery = button("&Gallery");
  btnGallery->Hint = "Picture Gallery";
  btnInspect = button("&Inspect");
  btnInspect->Hint = "Inspect pictures";
  btnAcquire = button("ac&Quire");
  btnAcquire->Hint = "Acquire a picture from a (Twain) scanner, camera, etc.";
  StatusBar1 = new TStatusBar(this, this);
  // Free space, tagged files, listed files, thumbnails.
  StatusBar1->SetPanels({170, 130, 130, 150});

  pnlLeft = new TPanel(this, this, 0, 0, kLeftWidth, 400);
  pnlLeft->BevelOuter = bvNone;
  nbookLeftTop = new TNotebook(this, pnlLeft, 0, 2, kLeftWidth, kRowHeight);
  TPanel* drives = nbookLeftTop->AddPage();
  TPanel* history = nbookLeftTop->AddPage();
  TPanel* marks = nbookLeftTop->AddPage();
  Orvex_DriveCombo1 = new TOrvex_DriveCombo(this, drives, 0, 0, kLeftWidth, 300);
  cbDir = new TOrvex_ComboBox(this, history, 0, 0, kLeftWidth, 300);
  cbDir->ItemHint = true;
  cbMarks = new TOrvex_ComboBox(this, marks, 0, 0, kLeftWidth, 300);
  cbMarks->ItemHint = true;
  Orvex_DirList1 = new TOrvex_DirList(this, pnlLeft, 0, 28, kLeftWidth, 370);

  pnlRight = new TPanel(this, this, kLeftWidth, 0, 442, 400);
  pnlRight->BevelOuter = bvNone;
  int sx = 0;
  auto sort = [this, &sx](const char* caption, int group, bool allUp) {
    auto* b = new TSpeedButton(this, pnlRight, caption, sx, 2, kSortButton, kSortButton + 2, group,
                               allUp);
    sx += kSortButton;
    b->OnClick = [this, b](TComponent*) { SortButtonClick(b); };
    return b;
  };
  // Order, sequence and hidden files: three groups.
  btn_f = sort("F", 2, false);
  btn_b = sort("B", 2, false);
  sx += 4;
  btn_u = sort("U", 3, false);
  btn_n = sort("N", 3, false);
  btn_e = sort("E", 3, false);
  btn_s = sort("S", 3, false);
  btn_d = sort("D", 3, false);
  sx += 4;
  btn_h = sort("H", 4, true);
  btn_f->Hint = "Forward order";
  btn_b->Hint = "Backward order";
  btn_u->Hint = "Unsorted";
  btn_n->Hint = "Sort by name";
  btn_e->Hint = "Sort by extension";
  btn_s->Hint = "Sort by size";
  btn_d->Hint = "Sort by date";
  btn_h->Hint = "Hidden files";
  Orvex_FilterCombo1 = new TOrvex_FilterCombo(this, pnlRight, sx + 4, 2, 140, 200);
  cbMask = new TComboBox(this, pnlRight, sx + 148, 2, 90, 200, csDropDown);
  Orvex_FileList1 = new TOrvex_FileList(this, pnlRight, 0, 28, 442, 370);

  HeaderControl1 = new THeaderControl(this, this, 0, kTopHeight, 622, 20);
  HeaderControl1->AddSection("", kLeftWidth);
  for (const char* text : {"", "", "Name", "Size", "Date", "Time"})
    HeaderControl1->AddSection(text, 60);

  Timer1 = new TTimer(this);
  Timer1->SetInterval(1000);
  TrayIcon = new TTrayIcon(this);
  TrayIcon->SetHint("Tavishore 32");
  TrayIcon->SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));

  // The chain: drive combo, folder list, file list; the type filter feeds the file list.
  Orvex_DriveCombo1->SetDirList(Orvex_DirList1);
  Orvex_DirList1->SetFileList(Orvex_FileList1);
  Orvex_FilterCombo1->SetFileList(Orvex_FileList1);
  Orvex_DirList1->ItemHint = true;
  Orvex_FileList1->ItemHint = true;

  HeaderControl1->OnSectionResize = [this](TComponent*, int section) {
    HeaderControl1SectionResize(section);
  };
  HeaderControl1->OnSectionClick = [this](TComponent*, int section) {
    HeaderControl1SectionClick(section);
  };
  Orvex_FileList1->OnDblClick = [this](TComponent*) { OpenSelectedFiles(); };
  Orvex_FileList1->OnKeyDown = [this](TComponent*, WORD& key, TShiftState shift) {
    ShiftState = shift;
    if (key == VK_RETURN) {
      OpenSelectedFiles();
      key = 0;
    }
  };
  Orvex_FileList1->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState shift, int, int) {
    ShiftState = shift & (ssShift | ssAlt | ssCtrl);
  };
  Orvex_FileList1->OnChange = [this](TComponent*) { FileListChanged(); };
  Orvex_FileList1->OnTagChange = [this](TComponent*) { FileListChanged(); };
  Orvex_DirList1->OnChange = [this](TComponent*) { FolderChanged(); };
  auto goToCombo = [this](TComboBox* combo) {
    std::string folder = combo->Text();
    if (!folder.empty()) Orvex_DirList1->SetDirectory(ValidFolderOr(folder));
  };
  cbDir->OnChange = [goToCombo, this](TComponent*) { goToCombo(cbDir); };
  cbMarks->OnChange = [goToCombo, this](TComponent*) { goToCombo(cbMarks); };
  Orvex_FilterCombo1->OnChange = [this](TComponent*) {
    cbMask->SetText(Orvex_FilterCombo1->GetMask());
  };
  cbMask->OnChange = [this](TComponent*) {
    if (cbMask->ItemIndex() >= 0) SetFileMask(cbMask->Text());
  };

  btnExit->OnClick = [this](TComponent*) { Close(); };
  btnClone->OnClick = [this](TComponent*) {
    OpenViewerFormAt(this, ViewerForm ? ViewerForm->CloneFolder : std::string());
  };
  btnPaste->OnClick = [this](TComponent*) {
    if (!OpenClipboardPicture(this, Orvex_FileList1->Directory())) {
      SoundMessageDlg("Clipboard bitmap invalid!", mtWarning, MsgDlgButtons({mbOK}),
                      ViewerForm ? ViewerForm->MessageSounds : true, 52);
      SetClipboardText("ugh!");
    }
  };
  btnMaster->OnClick = [this](TComponent*) {
    if (!ViewerForm) return;
    if (ViewerForm->Thumbnails) ViewerForm->Thumbnails->MasterSwitch = btnMaster->Down() ? 1 : 0;
    ViewerForm->NotifyAllViewerForms(btnMaster->Down() ? 2 : 3);
  };
  btnScripts->OnClick = [this](TComponent*) { ShowScriptEditorFor({}); };
  // Commands whose windows come with their own units: disabled until then, never a dead click.
  for (TButton* b : {btnAbout, btnOptions, btnGallery, btnInspect, btnAcquire})
    if (!b->OnClick) b->SetEnabled(false);
  Timer1->OnTimer = [this](TComponent*) { Timer1Timer(); };
}

void TViewerForm::CreateMenus() {
  dirPopup = new TPopupMenu(this);
  dirPopup->HelpContext = 66;
  for (auto [caption, tag] : std::initializer_list<std::pair<const char*, int>>{
           {"Ne&w", 1}, {"Rec&ycle", 2}, {"&Delete", 3}, {"Rena&me", 4}, {"&Auto thumbnail", 5},
           {"&Bookmark", 6}, {"P&roperties", 7}, {"&SuperTree", 0}})
    dirPopup->Add(caption, tag)->Enabled = false;
  filePopup = new TPopupMenu(this);
  filePopup->HelpContext = 65;
  for (auto [caption, tag] : std::initializer_list<std::pair<const char*, int>>{
           {"&All tagged", 8}, {"Rec&ycle", 9}, {"&Delete", 10}, {"Rena&me", 11},
           {"&Thumbnails", 12}, {"&Store", 13}, {"&Print", 14}, {"Find && Replace", 15},
           {"&Copy name", 16}, {"P&roperties", 17}})
    filePopup->Add(caption, tag)->Enabled = false;
  fileBatch = filePopup->Add("&Batch");
  fileBatch->Enabled = false;
  batchPrint = fileBatch->Add("&Print...");
  batchConvert = fileBatch->Add("&Convert...");
  batchHTML = fileBatch->Add("&Web page...");
  // Copying the full name needs no other unit.
  filePopup->FindItemByTag(16)->Enabled = true;
  filePopup->FindItemByTag(16)->OnClick = [this](TComponent*) {
    std::string name = Orvex_FileList1->GetFileName();
    if (!name.empty()) SetClipboardText(name);
  };
  cpyMenu = new TPopupMenu(this);
  cpyMenu->HelpContext = 2;
  cpyMenu->Add("&Copy here")->Enabled = false;
  cpyMenu->Add("&Move here")->Enabled = false;
  TMenuItem* show = cpyMenu->Add("&Show");
  cpyMenu->Add("Cancel");
  show->OnClick = [this](TComponent*) {
    if (!DropList) return;
    std::vector<std::string> names = std::move(*DropList);
    DropList.reset();
    for (const std::string& name : names) OpenFileByType(name);
  };
  cpy2Menu = new TPopupMenu(this);
  cpy2Menu->Add("Copy to...")->Enabled = false;
  cpy2Menu->Add("Move to...")->Enabled = false;
  cpy2Menu->Add("Cancel");
  TrayPopupMenu = new TPopupMenu(this);
  TMenuItem* restore = TrayPopupMenu->Add("&Restore");
  restore->Default = true;
  restore->OnClick = [this](TComponent*) {
    ShowWindow(Handle(), SW_RESTORE);
    Show();
  };
  TrayPopupMenu->Add("e&Xit")->OnClick = [this](TComponent*) {
    TrayIcon->SetActive(false);
    Close();
  };
  TrayIcon->OnDblClick = [restore](TComponent*) { restore->OnClick(restore); };
}

void TViewerForm::DoCreate() {
  FormCreate();
  TForm::DoCreate();
}

void TViewerForm::Resize() {
  TForm::Resize();
  ArrangeControls();
}

void TViewerForm::ArrangeControls() {
  // Called from the size messages of the construction too: only once everything exists.
  if (!HeaderControl1) return;
  const int w = ClientWidth(), h = ClientHeight();
  pnlTop->SetBounds(0, 0, w, kTopHeight);
  StatusBar1->ParentResized();
  const int statusHeight = StatusBar1->Visible() ? StatusBar1->Height() : 0;
  const int headerHeight = HeaderControl1->PreferredHeight();
  HeaderControl1->SetBounds(0, kTopHeight, w, headerHeight);
  const int top = kTopHeight + headerHeight;
  const int left = HeaderControl1->SectionWidth(0);
  const int rest = std::max(0, h - top - statusHeight);
  pnlLeft->SetBounds(0, top, left, rest);
  nbookLeftTop->SetBounds(0, 2, left, Orvex_DriveCombo1->Height());
  for (TWindow* c : std::initializer_list<TWindow*>{Orvex_DriveCombo1, cbDir, cbMarks})
    c->SetBounds(0, 0, left, 300);
  const int comboBottom = 2 + Orvex_DriveCombo1->Height() + 2;
  Orvex_DirList1->SetBounds(0, comboBottom, left, std::max(0, rest - comboBottom));
  const int right = std::max(0, w - left);
  pnlRight->SetBounds(left, top, right, rest);
  const int filterLeft = btn_h->Left() + btn_h->Width() + 4;
  const int filterWidth = std::clamp(right - filterLeft - 100, 60, 180);
  Orvex_FilterCombo1->SetBounds(filterLeft, 2, filterWidth, 300);
  cbMask->SetBounds(filterLeft + filterWidth + 4, 2,
                    std::max(40, right - filterLeft - filterWidth - 6), 300);
  const int filterBottom = 2 + Orvex_FilterCombo1->Height() + 2;
  Orvex_FileList1->SetBounds(0, filterBottom, right, std::max(0, rest - filterBottom));
}

void TViewerForm::HeaderControl1SectionResize(int section) {
  if (section == 0)
    ArrangeControls();
  else
    Orvex_FileList1->UpdateLayout();
}

void TViewerForm::HeaderControl1SectionClick(int section) {
  switch (section) {
    case 0: {
      if (ParentalLevel >= 2 || (ViewerForm && ViewerForm->ParentalLevel >= 2)) return;
      int page = (nbookLeftTop->PageIndex() + 1) % 3;
      nbookLeftTop->SetPageIndex(page);
      HeaderControl1->SetSectionText(0, kSectionTexts[page]);
      if (page == 1) cbDir->SetText(Orvex_DirList1->Directory());
      break;
    }
    case 1:
      Orvex_FileList1->ToggleAllTags();
      break;
    case 2:
      ToggleThumbnailDisplay();
      break;
    case 4:
    case 5:
    case 6: {
      TFileDetails bit = FileDetailBit(static_cast<TFileDetail>(section - 3));
      Orvex_FileList1->SetFileDetails(Orvex_FileList1->FileDetails() ^ bit);
      break;
    }
  }
}

void TViewerForm::SortButtonClick(TSpeedButton* b) {
  TOrvex_FileList& list = *Orvex_FileList1;
  if (b == btn_h) {
    const TFileType hidden = FileTypeBit(ftHidden) | FileTypeBit(ftSystem);
    list.SetFileType(b->Down() ? (list.FileType() | hidden) : (list.FileType() & ~hidden));
  } else if (b == btn_f || b == btn_b) {
    list.SetSortAscending(b == btn_f);
  } else {
    const sfb_SS seq = b == btn_u   ? SS_unsorted
                       : b == btn_n ? SS_name
                       : b == btn_e ? SS_extension
                       : b == btn_s ? SS_size
                                    : SS_date;
    list.SetSortSequence(seq);
  }
}

void TViewerForm::SetFileMask(const std::string& mask) {
  // An entry of the filter with this mask is chosen; any other mask becomes the custom entry.
  const auto& masks = Orvex_FilterCombo1->Masks();
  for (size_t i = 0; i < masks.size(); ++i) {
    if (masks[i] == mask) {
      Orvex_FilterCombo1->SetItemIndex(static_cast<int>(i));
      Orvex_FileList1->SetMask(mask);
      return;
    }
  }
  std::string filter = Orvex_FilterCombo1->Filter();
  if (filter.rfind("Custom|", 0) == 0) {
    size_t end = filter.find('|', 7);
    filter.erase(0, end == std::string::npos ? filter.size() : end + 1);
  }
  Orvex_FilterCombo1->SetFilter("Custom|" + mask + "|" + filter);
  Orvex_FilterCombo1->SetItemIndex(0);
  Orvex_FileList1->SetMask(mask);
  AddComboHistory(*cbMask, ViewerForm ? ViewerForm->MaskHistory : MaskHistory, cbMask->Text(),
                  "*.*");
  KeepMaskHistory();
}

void TViewerForm::FolderChanged() {
  const std::string folder = Orvex_DirList1->Directory();
  SetCaption(Format("%s [ %s ]", {LoadResString(sProgramName), folder}));
  if (!IsFirst() && ViewerForm) ViewerForm->CloneFolder = folder;
  if (nbookLeftTop->PageIndex() == 1) cbDir->SetText(folder);
  if (FirstShowDone && ThumbView) Post(WM_THUMBS_START);
}

void TViewerForm::FileListChanged() {
  TOrvex_FileList& list = *Orvex_FileList1;
  StatusBar1->SetPanelText(2, Format("%d (%s)", {list.FileCount(), SizeText(list.TotalSize())}));
  const int tagged = list.TaggedCount();
  StatusBar1->SetPanelText(
      1, tagged ? Format("%d (%s) tagged", {tagged, SizeText(list.TaggedSize())}) : "");
  uint64_t freeBytes = 0, totalBytes = 0;
  const std::string folder = list.Directory();
  if (folder.size() >= 2 &&
      Platform().DiskFreeBytes(folder.substr(0, 2) + "\\", freeBytes, totalBytes))
    StatusBar1->SetPanelText(
        0, Format("%s free (of %s)", {SizeText(static_cast<int64_t>(freeBytes)),
                                      SizeText(static_cast<int64_t>(totalBytes))}));
}

void TViewerForm::Timer1Timer() {
  if (IsIconic(Handle())) return;
  btnPaste->SetEnabled(ClipboardHasBitmap());
  TimerJobs();
}

void TViewerForm::ShowScriptEditorFor(const std::vector<std::string>& files) {
  TViewerForm& s = ViewerForm ? *ViewerForm : *this;
  const std::string program = SettingsProgramFile.empty() ? ModuleFileName() : SettingsProgramFile;
  tScriptEditorHost host;
  host.IniPath = ExtractFilePath(program) + ExtractFileName(program).substr(
                     0, ExtractFileName(program).size() - ExtractFileExt(program).size()) + ".ini";
  host.ParentalLevel = s.ParentalLevel;
  host.MessageSounds = s.MessageSounds;
  host.CustomColors = &s.CustomColors;
  host.OwnerWindow = Handle();
  host.SlideShow = SlideShowHostOf(*this);
  ShowScriptEditor(this, host, files);
}
