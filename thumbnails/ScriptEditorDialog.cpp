#include "thumbnails/ScriptEditorDialog.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFormat.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "framework/Label.h"
#include "framework/Text.h"
#include "thumbnails/uSaverSettings.h"
#include "thumbnails/uScriptEditor.h"

namespace {
void MakeLabel(TComponent* owner, TWindow* parent, const std::string& text, int x, int y, int w) {
  auto* label = new TLabel(owner, parent, x, y, w, 16);
  label->SetCaption(text);
}
TButton* MakeButton(TComponent* owner, TWindow* parent, const std::string& text, int x, int y,
                    int w, int h = 24) {
  return new TButton(owner, parent, text, x, y, w, h);
}
}  // namespace

TScriptDlg::TScriptDlg(TComponent* owner, const tScriptEditorHost& host,
                       const std::vector<std::string>& files)
    : TForm(owner, bsDialog), host_(host) {
  SetCaption("Slide Show Scripts");
  Position = poScreenCenter;
  KeyPreview = true;
  SetClientSize(620, 428);
  library_.IniPath = host_.IniPath;
  library_.Restricted = host_.ParentalLevel != 0;

  MakeLabel(this, this, "Files:", 10, 8, 180);
  SrcList = new TListBox(this, this, 10, 26, 180, 300, lbStandard, true);
  btnAdd = MakeButton(this, this, ">", 196, 80, 40);
  btnAddAll = MakeButton(this, this, ">>", 196, 110, 40);
  btnRemove = MakeButton(this, this, "<", 196, 160, 40);
  btnRemoveAll = MakeButton(this, this, "<<", 196, 190, 40);
  MakeLabel(this, this, "Script:", 242, 8, 180);
  DstList = new TListBox(this, this, 242, 26, 180, 300, lbStandard, true);
  LoadBtn = MakeButton(this, this, "<<", 428, 110, 40);
  SaveBtn = MakeButton(this, this, ">>", 428, 160, 40);
  MakeLabel(this, this, "Scripts:", 474, 8, 136);
  ViewList = new TListBox(this, this, 474, 26, 136, 300);

  MakeLabel(this, this, "Title:", 10, 338, 60);
  Title = new TEdit(this, this, 10, 356, 230, 22);
  ChkHide = new TCheckBox(this, this, "Hidden", 250, 357, 80, 20);
  ChkHide->SetEnabled(host_.ParentalLevel == 0);
  MakeLabel(this, this, "Delay (0=manual)", 340, 338, 120);
  ListDelay = new TSpinEdit(this, this, 340, 356, 70, 22, 0, 999);
  ListDelay->SetValue(20);
  chkOrig = new TCheckBox(this, this, "Original size", 420, 357, 110, 20);
  chkOrig->SetChecked(true);
  btnBG = MakeButton(this, this, "Color...", 536, 355, 74);
  chkWP = new TCheckBox(this, this, "Wallpaper", 10, 392, 90, 20);
  chkWP->SetEnabled(false);
  btnWallpaper = MakeButton(this, this, "Wallpaper...", 100, 390, 90);
  btnView = MakeButton(this, this, "View", 250, 390, 80);
  btnRandom = MakeButton(this, this, "Random", 336, 390, 80);
  auto* close = MakeButton(this, this, "&Close", 444, 390, 80);
  close->ModalResult = mrCancel;
  close->SetCancel(true);
  auto* help = MakeButton(this, this, "&Help", 530, 390, 80);
  help->OnClick = [](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(0);
  };

  btnAdd->OnClick = [this](TComponent*) { Move(SrcList, DstList, false); };
  btnAddAll->OnClick = [this](TComponent*) { Move(SrcList, DstList, true); };
  btnRemove->OnClick = [this](TComponent*) { Move(DstList, SrcList, false); };
  btnRemoveAll->OnClick = [this](TComponent*) { Move(DstList, SrcList, true); };
  LoadBtn->OnClick = [this](TComponent*) { LoadScript(); };
  SaveBtn->OnClick = [this](TComponent*) { SaveScript(); };
  btnView->OnClick = [this](TComponent*) { View(); };
  btnRandom->OnClick = [this](TComponent*) { Shuffle(); };
  btnBG->OnClick = [this](TComponent*) {
    if (PickColor(Handle(), Color, host_.CustomColors)) changed_ = true;
  };
  btnWallpaper->OnClick = [this](TComponent*) {
    if (!PickWallpaper(Handle(), Paper)) return;
    chkWP->SetEnabled(true);
    chkWP->SetChecked(true);
    changed_ = true;
  };
  for (TListBox* list : {SrcList, DstList}) {
    list->OnClick = [this](TComponent*) { UpdateButtons(); };
    list->OnDblClick = [this, list](TComponent*) { ShowOne(list); };
    list->OnMouseDown = [this, list](TComponent*, TMouseButton button, TShiftState, int x, int y) {
      if (button == mbLeft) StartDrag(list, x, y);
    };
  }
  ViewList->OnDblClick = [this](TComponent*) { RunViewListScript(); };
  ViewList->OnClick = [this](TComponent*) { UpdateButtons(); };
  Title->OnChange = [this](TComponent*) { UpdateButtons(); };

  SetLines(SrcList, OfferedFiles(files));
  RefreshLibrary();
  FinishCreate();
}

std::vector<std::string> TScriptDlg::Lines(TListBox* list) const {
  std::vector<std::string> lines;
  for (int i = 0; i < list->Count(); ++i) lines.push_back(list->String(i));
  return lines;
}

void TScriptDlg::SetLines(TListBox* list, const std::vector<std::string>& lines) {
  list->BeginUpdate();
  list->Clear();
  for (const auto& line : lines) list->Add(line);
  list->EndUpdate();
  UpdateButtons();
}

void TScriptDlg::UpdateButtons() {
  auto anySelected = [](TListBox* list) {
    for (int i = 0; i < list->Count(); ++i)
      if (list->Selected(i)) return true;
    return false;
  };
  if (!btnAdd) return;
  btnAdd->SetEnabled(anySelected(SrcList));
  btnAddAll->SetEnabled(SrcList->Count() > 0);
  btnRemove->SetEnabled(anySelected(DstList));
  btnRemoveAll->SetEnabled(DstList->Count() > 0);
  LoadBtn->SetEnabled(ViewList->ItemIndex() >= 0);
  SaveBtn->SetEnabled(DstList->Count() > 0);
  btnView->SetEnabled(DstList->Count() > 0);
  btnRandom->SetEnabled(DstList->Count() >= 6);
}

void TScriptDlg::Move(TListBox* from, TListBox* to, bool all) {
  std::vector<std::string> source = Lines(from), target = Lines(to);
  std::vector<bool> selected(source.size(), all);
  if (!all)
    for (size_t i = 0; i < source.size(); ++i) selected[i] = from->Selected(static_cast<int>(i));
  MoveSelected(source, selected, target);
  SetLines(from, source);
  SetLines(to, target);
  changed_ = true;
}

void TScriptDlg::RefreshLibrary() {
  std::vector<std::string> entries;
  tScriptSettings unused;
  ScriptLibraryEntry(library_, smList, 0, unused, freeNumber_, entries);
  SetLines(ViewList, entries);
}

void TScriptDlg::ClearEditor() {
  SetLines(DstList, {});
  Title->SetText("");
  ChkHide->SetChecked(false);
  Paper.clear();
  chkWP->SetChecked(false);
  chkWP->SetEnabled(false);
  loadedNumber_ = 0;
  loadedTitle_.clear();
  changed_ = false;
}

bool TScriptDlg::SaveScript() {
  const std::string title = Title->Text();
  if (title.empty() || title == kFreeScriptTitle) {
    SoundMessageDlg("Please enter a title", mtWarning, MsgDlgButtons({mbOK}), host_.MessageSounds, 42);
    return false;
  }
  std::vector<std::string> lines = Lines(DstList);
  if (lines.empty()) {
    SoundMessageDlg("Can't save an empty script", mtWarning, MsgDlgButtons({mbOK}),
                    host_.MessageSounds, 43);
    return false;
  }
  const auto target = ScriptSaveTarget(loadedNumber_, loadedTitle_, title, changed_, freeNumber_);
  if (target.Number <= 0) return false;
  if (target.AskReplace &&
      SoundMessageDlg(Format("Replace \"%s\"?", {loadedTitle_}), mtConfirmation,
                      MsgDlgButtons({mbOK, mbCancel}), host_.MessageSounds, 44) != mrOk)
    return false;
  tScriptSettings s;
  s.Title = title;
  s.Hidden = ChkHide->Enabled() && ChkHide->Checked();
  s.OriginalSize = chkOrig->Checked();
  s.Delay = ListDelay->Value();
  s.Color = Color;
  s.Wallpaper = chkWP->Checked();
  s.Paper = Paper;
  int replaced = target.Replaced;
  if (!ScriptLibraryEntry(library_, smWrite, target.Number, s, replaced, lines)) return false;
  RefreshLibrary();
  ClearEditor();
  return true;
}

bool TScriptDlg::LoadScript() {
  const int index = ViewList->ItemIndex();
  if (index < 0) return false;
  if (changed_ && DstList->Count() > 0 &&
      SoundMessageDlg("Save changed script first?", mtConfirmation, MsgDlgButtons({mbYes, mbNo}),
                      host_.MessageSounds, 41) == mrYes)
    return false;
  const int number = ScriptEntryNumber(ViewList->String(index));
  tScriptSettings s;
  std::vector<std::string> lines;
  int other = 0;
  if (!ScriptLibraryEntry(library_, smRead, number, s, other, lines)) return false;
  SetLines(DstList, lines);
  Title->SetText(s.Title);
  ChkHide->SetChecked(s.Hidden);
  ListDelay->SetValue(s.Delay);
  Color = s.Color;
  Paper = s.Paper;
  chkWP->SetEnabled(!Paper.empty());
  chkWP->SetChecked(s.Wallpaper);
  chkOrig->SetChecked(s.OriginalSize);
  loadedNumber_ = number;
  loadedTitle_ = s.Title;
  changed_ = false;
  return true;
}

bool TScriptDlg::DeleteScript() {
  const int index = ViewList->ItemIndex();
  if (index < 0) return false;
  const std::string entry = ViewList->String(index);
  const int number = ScriptEntryNumber(entry);
  const std::string title = entry.substr(0, entry.rfind(" ["));
  if (SoundMessageDlg(Format("Delete \"%s\"?", {title}), mtConfirmation,
                      MsgDlgButtons({mbOK, mbCancel}), host_.MessageSounds, 45) != mrOk)
    return false;
  tScriptSettings s;
  std::vector<std::string> none;
  int other = 0;
  ScriptLibraryEntry(library_, smDelete, number, s, other, none);
  if (number == loadedNumber_) loadedNumber_ = 0;
  RefreshLibrary();
  return true;
}

void TScriptDlg::Shuffle() {
  std::vector<std::string> lines = Lines(DstList);
  if (!ShuffleScript(lines)) return;
  SetLines(DstList, lines);
  changed_ = true;
}

void TScriptDlg::View() {
  if (DstList->Count() == 0) return;
  THourGlass wait;
  StartSlideShow(this, nullptr, Lines(DstList), false, static_cast<uint16_t>(ListDelay->Value()),
                 chkWP->Checked() ? Paper : "", Color, chkOrig->Checked(), host_.SlideShow);
}

void TScriptDlg::RunViewListScript() {
  const int index = ViewList->ItemIndex();
  if (index < 0) return;
  THourGlass wait;
  tScriptSettings s;
  std::vector<std::string> lines;
  int other = 0;
  if (!ScriptLibraryEntry(library_, smReadForShow, ScriptEntryNumber(ViewList->String(index)), s,
                          other, lines) ||
      lines.empty())
    return;
  StartSlideShow(this, nullptr, lines, false, static_cast<uint16_t>(ListDelay->Value()),
                 chkWP->Checked() ? Paper : "", Color, chkOrig->Checked(), host_.SlideShow);
}

void TScriptDlg::ShowOne(TListBox* list) {
  POINT p;
  GetCursorPos(&p);
  const int index = list->ItemAtPos(list->ScreenToClient(p));
  if (index < 0) return;
  StartSlideShow(this, nullptr, {list->String(index)}, false,
                 static_cast<uint16_t>(ListDelay->Value()), "", Color, chkOrig->Checked(),
                 host_.SlideShow);
}

void TScriptDlg::StartDrag(TListBox* list, int x, int y) {
  POINT screen = list->ClientToScreen(POINT{x, y});
  if (!DragDetect(list->Handle(), screen)) return;
  const int index = list->ItemAtPos(POINT{x, y});
  if (index < 0) return;
  dragSource_ = list;
  dragIndex_ = index;
  // Follow the mouse until the button comes up, then drop where it is.
  SetCapture(Handle());
  MSG msg;
  while (GetCapture() == Handle() && GetMessageW(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_LBUTTONUP) {
      ReleaseCapture();
      POINT p;
      GetCursorPos(&p);
      EndDrag(p.x, p.y);
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == Handle()) ReleaseCapture();
  dragSource_ = nullptr;
  dragIndex_ = -1;
}

void TScriptDlg::EndDrag(int x, int y) {
  HWND target = WindowFromPoint(POINT{x, y});
  if (!dragSource_ || dragIndex_ < 0) return;
  if (target == DstList->Handle() && dragSource_ == DstList) {
    std::vector<std::string> lines = Lines(DstList);
    int to = DstList->ItemAtPos(DstList->ScreenToClient(POINT{x, y}));
    if (to < 0) to = static_cast<int>(lines.size());
    MoveWithin(lines, static_cast<size_t>(dragIndex_), static_cast<size_t>(to));
    SetLines(DstList, lines);
    changed_ = true;
  } else if ((target == DstList->Handle() && dragSource_ == SrcList) ||
             (target == SrcList->Handle() && dragSource_ == DstList)) {
    TListBox* to = dragSource_ == SrcList ? DstList : SrcList;
    for (int i = 0; i < dragSource_->Count(); ++i) dragSource_->SetSelected(i, i == dragIndex_);
    Move(dragSource_, to, false);
  }
}

void TScriptDlg::KeyDown(WORD& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  if (key == VK_F5) {
    RefreshLibrary();
    key = 0;
  } else if (key == VK_DELETE && ViewList->Focused()) {
    DeleteScript();
    key = 0;
  }
}

bool TScriptDlg::CloseQuery() {
  if (changed_ &&
      SoundMessageDlg("Discard script changes?", mtConfirmation, MsgDlgButtons({mbYes, mbNo}),
                      host_.MessageSounds, 46) != mrYes)
    return false;
  return TForm::CloseQuery();
}

void TScriptDlg::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  if (host_.OwnerWindow && IsWindow(host_.OwnerWindow))
    PostMessageW(host_.OwnerWindow, WM_REFRESHLIST, 0, 0);
}

void ShowScriptEditor(TComponent* owner, const tScriptEditorHost& host,
                      const std::vector<std::string>& files) {
  auto* dialog = new TScriptDlg(owner, host, files);
  dialog->ShowModal();
  delete dialog;
}
