#include "shell/InspectorForm.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uShell.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Canvas.h"
#include "framework/ImageList.h"
#include "framework/Text.h"
#include "imaging/Quantize.h"
#include "imaging/uImageOps.h"
#include "online/AboutBox.h"
#include "shell/FilePropertiesDialog.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"
#include "shell/uInspectorRules.h"
#include "viewers/picture/PictureWindow.h"

namespace {
constexpr int kTopHeight = 36;
constexpr int kNameCell = 64;  // cell size when the strip shows names
}  // namespace

TInspectorForm::TInspectorForm(TViewerForm* owner, TImageList* thumbs,
                               const std::vector<std::string>& indexLines,
                               const std::vector<std::string>& names)
    : TForm(owner), IndexLines(indexLines), owner_(owner), thumbs_(thumbs) {
  Folder = names.empty() ? std::string() : names[0];
  HelpContext = 57;
  KeyPreview = true;
  pnlTop = new TPanel(this, this, 0, 0, 600, kTopHeight);
  btnExit = new TButton(this, pnlTop, "&Close", 6, 5, 70, 25);
  btnAbout = new TButton(this, pnlTop, "&About", 82, 5, 70, 25);
  auto* clickLabel = new TLabel(this, pnlTop, 164, 10, 80, 16);
  clickLabel->SetCaption("Double-click");
  tbClick = new TTrackBar(this, pnlTop, 244, 5, 60, 26);
  tbClick->SetRange(0, 1);
  tbClick->SetPosition(1);
  auto* singleLabel = new TLabel(this, pnlTop, 306, 10, 40, 16);
  singleLabel->SetCaption("Click");
  auto* splitLabel = new TLabel(this, pnlTop, 360, 10, 34, 16);
  splitLabel->SetCaption("Split");
  UpDown = new TSpinEdit(this, pnlTop, 396, 7, 44, 22, 1, 9);
  UpDown->SetValue(1);
  StatusBar = new TStatusBar(this, this);
  // The last panel runs to the right edge whatever its width.
  StatusBar->SetPanels({110, 160, -1});
  ListBox = new TListBox(this, this, 0, kTopHeight, 600, 100, lbOwnerDrawFixed);
  PaintBox = new TPaintBox(this, this, 0, kTopHeight + 100, 600, 300);
  PaintBox->Color = clBtnFace;
  Edit1 = new TEdit(this, this, 0, 0, 200, 22);
  Edit1->Hint = "New name";
  Edit1->SetVisible(false);
  AnimationTimer = new TTimer(this);
  AnimationTimer->SetEnabled(false);
  AnimationTimer->SetInterval(10);
  Popup = new TPopupMenu(this);
  Popup->Add("Rec&ycle")->OnClick = [this](TComponent*) { DeleteSelected(true); };
  Popup->Add("&Delete")->OnClick = [this](TComponent*) { DeleteSelected(false); };
  Popup->Add("Rena&me")->OnClick = [this](TComponent*) { StartRename(); };
  miProperties = Popup->Add("P&roperties");
  miProperties->OnClick = [this](TComponent*) { ShowProperties(); };

  const int cell = thumbs_ ? thumbs_->Height() + 2 : kNameCell + 2;
  ListBox->SetItemHeight(cell);
  for (size_t i = 1; i < names.size(); ++i) ListBox->Add(names[i]);
  StatusBar->SetPanelText(0, Format("%d pictures", {ListBox->Count()}));
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetBounds(work.left + 5, work.top + 5, work.right - work.left - 10, work.bottom - work.top - 10);
  Rows = InspectorRows(Height(), ListBox->Count(), InspectorColumns(ClientWidth(), cell));
  UpDown->SetValue(Rows);
  SetCaption(Format("Inspect %s", {RemoveBackslash(Folder)}));

  btnExit->OnClick = [this](TComponent*) { Close(); };
  btnAbout->OnClick = [this](TComponent*) { ShowAboutBox(this, Handle()); };
  ListBox->OnDrawItem = [this](TComponent*, int index, const RECT& r, UINT state) {
    DrawItem(index, r, state);
  };
  ListBox->OnClick = [this](TComponent*) { Clicked(false); };
  ListBox->OnDblClick = [this](TComponent*) { Clicked(true); };
  ListBox->OnKeyDown = [this](TComponent*, WORD& key, TShiftState shift) {
    if (key == VK_DELETE && (!ViewerForm || FileCommandsAllowed(ViewerForm->ParentalLevel)) &&
        ListBox->ItemIndex() >= 0) {
      DeleteSelected(!(shift & ssShift));
      key = 0;
    } else if (key == VK_APPS) {
      RECT r = ListBox->ItemRect(std::max(0, ListBox->ItemIndex()));
      POINT p = ListBox->ClientToScreen(POINT{r.left, r.bottom});
      if (!ViewerForm || FileCommandsAllowed(ViewerForm->ParentalLevel)) Popup->Popup(Handle(), p.x, p.y);
      key = 0;
    }
  };
  ListBox->OnKeyUp = [this](TComponent*, WORD& key, TShiftState) {
    if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_HOME ||
        key == VK_END || key == VK_PRIOR || key == VK_NEXT)
      ShowSelected();
  };
  ListBox->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    if (b != mbRight || (ViewerForm && !FileCommandsAllowed(ViewerForm->ParentalLevel))) return;
    POINT p = ListBox->ClientToScreen(POINT{x, y});
    Popup->Popup(Handle(), p.x, p.y);
  };
  PaintBox->OnPaint = [this](TComponent*, TCanvas& c) { PaintPicture(c); };
  PaintBox->OnClick = [this](TComponent*) {
    if (tbClick->Position() == 1) OpenShown();
  };
  PaintBox->OnDblClick = [this](TComponent*) {
    if (tbClick->Position() == 0) OpenShown();
  };
  PaintBox->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    if (b != mbRight || Shown < 0 || Shown != ListBox->ItemIndex()) return;
    POINT p = PaintBox->ClientToScreen(POINT{x, y});
    Popup->Popup(Handle(), p.x, p.y);
  };
  UpDown->OnChange = [this](TComponent*) {
    const int want = UpDown->Value();
    if (want > Rows) AddRow();
    else if (want < Rows) RemoveRow();
    if (UpDown->Value() != Rows) UpDown->SetValue(Rows);
  };
  AnimationTimer->OnTimer = [this](TComponent*) {
    if (!SkipWait && Platform().Now() < deadline_) return;
    AnimationTimer->SetEnabled(false);
    SkipWait = false;
    if (Decoder) Decoder->LoadNextPicture();
  };

  OnMessage(WM_GRAPHIC_PROGRESS, [this](WPARAM, LPARAM) -> LRESULT {
    if (Decoder && Decoder->Bitmap) DrawImage(Decoder->ImageCount <= 1);
    return 0;
  });
  OnMessage(WM_GRAPHIC_DONE, [this](WPARAM, LPARAM) -> LRESULT {
    Busy = false;
    return 0;
  });
  OnMessage(WM_GRAPHIC_PAUSE, [this](WPARAM, LPARAM) -> LRESULT {
    deadline_ = Platform().Now() + 1000.0 / 86400000.0;
    AnimationTimer->SetEnabled(true);
    return 0;
  });
  OnMessage(WM_GRAPHIC_DELAY, [this](WPARAM, LPARAM) -> LRESULT {
    const int wait = InspectorFrameWait(Decoder ? static_cast<int>(Decoder->Delay) : 0,
                                        Decoder && Decoder->Delay > 0);
    deadline_ = Platform().Now() + wait / 86400000.0;
    AnimationTimer->SetEnabled(true);
    return 0;
  });
  OnMessage(WM_FOLDER_CHANGED, [this](WPARAM, LPARAM) -> LRESULT {
    Changed = true;
    return 0;
  });
  FinishCreate();
  LayOut();
}

TInspectorForm::~TInspectorForm() = default;

std::string TInspectorForm::NameOf(int item) const {
  return item >= 0 && item < ListBox->Count() ? ListBox->String(item) : std::string();
}

int TInspectorForm::ThumbOf(int item) const {
  const std::string name = NameOf(item);
  std::string n;
  int index;
  for (const std::string& line : IndexLines)
    if (ParseInspectorLine(line, n, index) && n == name) return index;
  return -1;
}

void TInspectorForm::LayOut() {
  if (!ListBox || !PaintBox) return;
  const int w = ClientWidth();
  pnlTop->SetBounds(0, 0, w, kTopHeight);
  StatusBar->ParentResized();
  const int statusHeight = StatusBar->Height();
  const int cell = ListBox->ItemHeight();
  const int listHeight = InspectorListHeight(cell, Rows, GetSystemMetrics(SM_CYHSCROLL));
  ListBox->SetBounds(0, kTopHeight, w, listHeight);
  ListBox->SetColumns(InspectorColumns(w, cell));
  // Square cells, whatever the width left over.
  ListBox->Send(LB_SETCOLUMNWIDTH, static_cast<WPARAM>(cell), 0);
  ListBox->Invalidate();
  const int top = kTopHeight + listHeight;
  PaintBox->SetBounds(0, top, w, std::max(0, ClientHeight() - top - statusHeight));
  areaKnown_ = false;
  // A picture on show keeps its place in the new area.
  if (Decoder) {
    area_ = PaintBox->ClientRect();
    areaKnown_ = true;
    target_ = InspectorTarget(area_.right, area_.bottom, Decoder->Width, Decoder->Height);
  }
}

void TInspectorForm::Resize() {
  TForm::Resize();
  LayOut();
}

void TInspectorForm::AddRow() {
  if (!InspectorCanAddRow(PaintBox->Height(), ListBox->ItemHeight())) return;
  ++Rows;
  LayOut();
}

void TInspectorForm::RemoveRow() {
  if (Rows <= 1) return;
  --Rows;
  LayOut();
}

void TInspectorForm::UpdateHints() {
  const bool single = tbClick->Position() == 1;
  ListHint = InspectorHint(single, false);
  PictureHint = Shown >= 0 ? InspectorHint(single, true) : std::string();
}

void TInspectorForm::Clicked(bool dbl) {
  const bool single = tbClick->Position() == 1;
  if (dbl != single) ShowSelected();
}

void TInspectorForm::OpenShown() {
  if (Shown < 0 || ShownPath.empty()) return;
  THourGlass wait;
  std::unique_ptr<TStream> file = OpenFileStream(ShownPath);
  if (!file) return;
  auto* stream = new tBuffStream(ShownPath, std::move(file), false);
  // A refused file is closed again.
  if (!OpenPictureWindow(owner_, stream, 0)) delete stream;
}

void TInspectorForm::ShowSelected() {
  const int i = ListBox->ItemIndex();
  if (i < 0 || Busy) return;
  Busy = true;
  if (!areaKnown_) {
    area_ = PaintBox->ClientRect();
    areaKnown_ = true;
  }
  // Keep the selected cell in view.
  ListBox->Send(LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
  const std::string path = Folder + NameOf(i);
  StatusBar->SetPanelText(1, NameOf(i));
  StatusBar->SetPanelText(2, path);
  THourGlass wait;
  Application.ProcessMessages();
  std::unique_ptr<TStream> file = OpenFileStream(path);
  if (!file) {
    Busy = false;
    return;
  }
  auto* stream = new tBuffStream(path, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    id.reset();
    delete stream;
    Busy = false;
    return;
  }
  id->BackgroundColor = static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE));
  id->NotifyWindow = reinterpret_cast<intptr_t>(Handle());
  target_ = InspectorTarget(area_.right, area_.bottom, id->Width, id->Height);
  AnimationTimer->SetEnabled(false);
  Shown = i;
  ShownPath = path;
  Decoder = std::move(id);
  Picture = std::make_unique<TBitmap>();
  UpdateHints();
  PaintBox->Invalidate();
  Decoder->LoadPicture();
}

void TInspectorForm::DrawImage(bool first) {
  tMemBmp* img = Decoder->Bitmap.get();
  tMemBmpPtr aspect, fitted, reduced;
  if (Decoder->AspectX + Decoder->AspectY > 2 && Decoder->DisplayWidth && Decoder->DisplayHeight) {
    aspect = ResizeImage(*img, Decoder->DisplayWidth, Decoder->DisplayHeight, 0);
    if (aspect) img = aspect.get();
  }
  int fw = 0, fh = 0;
  FitRect(std::max<int>(1, area_.right), std::max<int>(1, area_.bottom), img->Width(),
          img->Height(), fw, fh);
  if (!(fw >= img->Width() && fh >= img->Height()) && fw > 0 && fh > 0) {
    fitted = ResizeImage(*img, fw, fh, 1);
    if (fitted) img = fitted.get();
  }
  const int screen = Platform().ScreenColorBits();
  if (screen < 9 && screen < img->BitCount()) {
    reduced = screen <= 4 ? DitherTo16(*img) : ReduceOptimalDithered(*img, 256);
    if (reduced) img = reduced.get();
  }
  (void)first;
  Picture->LoadFromBmpImage(img->Data->Memory(), img->FileSize);
  PaintBox->Repaint();
  if (Screen.Cursor == crHourGlass) Screen.SetCursor(crDefault);
}

void TInspectorForm::PaintPicture(TCanvas& c) {
  RECT r = PaintBox->ClientRect();
  c.Brush.SetColor(clBtnFace);
  c.FillRect(r);
  if (Picture && !Picture->Empty()) {
    const int x = std::max(0, std::min<int>(target_.Left, r.right - Picture->Width()));
    const int y = std::max(0, std::min<int>(target_.Top, r.bottom - Picture->Height()));
    c.Draw(x, y, *Picture);
  }
}

void TInspectorForm::DrawItem(int index, const RECT& r, UINT state) {
  TCanvas& c = ListBox->Canvas();
  c.Brush.SetColor((state & ODS_SELECTED) ? clHighlight : clWindow);
  c.FillRect(r);
  const int thumb = ThumbOf(index);
  if (thumbs_ && thumb >= 0 && thumb < thumbs_->Count()) {
    thumbs_->Draw(c, r.left + 1, r.top + 1, thumb);
  } else {
    RECT text{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    c.Font.SetColor((state & ODS_SELECTED) ? clHighlightText : clWindowText);
    c.Brush.SetStyle(bsClear);
    c.DrawText(NameOf(index), text, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);
  }
}

void TInspectorForm::DeleteSelected(bool recycle) {
  const int i = ListBox->ItemIndex();
  if (i < 0 || Busy) return;
  if (!DeleteFiles(Folder + NameOf(i), nullptr, recycle)) return;
  AnimationTimer->SetEnabled(false);
  Decoder.reset();
  Picture.reset();
  Shown = -1;
  ShownPath.clear();
  StatusBar->SetPanelText(1, "");
  StatusBar->SetPanelText(2, "");
  PaintBox->Invalidate();
  Changed = true;
  ListBox->Send(LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  StatusBar->SetPanelText(0, Format("%d pictures", {ListBox->Count()}));
  const int next = InspectorNextIndex(i, ListBox->Count());
  if (next < 0) {
    Close();
    return;
  }
  ListBox->SetItemIndex(next);
}

void TInspectorForm::StartRename() {
  const int i = ListBox->ItemIndex();
  if (i < 0) return;
  Edit1->SetText(NameOf(i));
  RECT a = PaintBox->BoundsRect();
  Edit1->SetBounds((a.left + a.right) / 2 - 100, (a.top + a.bottom) / 2 - 11, 200, 22);
  Edit1->SetVisible(true);
  BringWindowToTop(Edit1->Handle());
  Edit1->SetFocus();
  Edit1->SelectAll();
}

void TInspectorForm::FinishRename() {
  const int i = ListBox->ItemIndex();
  const std::string oldName = NameOf(i), newName = Edit1->Text();
  Edit1->SetVisible(false);
  ListBox->SetFocus();
  if (i < 0 || newName.empty() || newName == oldName) return;
  if (!RenameWithMessage(Folder + oldName, Folder + newName, nullptr)) return;
  if (owner_) owner_->RenameThumbnailEntry(oldName, newName);
  const int thumb = ThumbOf(i);
  for (std::string& line : IndexLines) {
    std::string n;
    int index;
    if (ParseInspectorLine(line, n, index) && n == oldName) line = InspectorLine(newName, thumb);
  }
  ListBox->Send(LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  ListBox->Send(LB_INSERTSTRING, static_cast<WPARAM>(i),
                reinterpret_cast<LPARAM>(Utf8ToWide(newName).c_str()));
  ListBox->SetItemIndex(i);
  if (Shown == i) {
    ShownPath = Folder + newName;
    StatusBar->SetPanelText(1, newName);
    StatusBar->SetPanelText(2, ShownPath);
  }
  Changed = true;
}

void TInspectorForm::ShowProperties() {
  const int i = ListBox->ItemIndex();
  if (i < 0) return;
  // Changed attributes are the owner's to show when the window closes.
  if (ShowFileProperties(this, Folder + NameOf(i))) Changed = true;
}

void TInspectorForm::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_RETURN) {
    if (Edit1->Visible()) FinishRename();
    else ShowSelected();
    key = 0;
  } else if (key == VK_ESCAPE && Edit1->Visible()) {
    Edit1->SetVisible(false);
    ListBox->SetFocus();
    key = 0;
  } else if ((key == VK_ADD || key == VK_OEM_PLUS) && !Edit1->Visible()) {
    AddRow();
    UpDown->SetValue(Rows);
    key = 0;
  } else if ((key == VK_SUBTRACT || key == VK_OEM_MINUS) && !Edit1->Visible()) {
    RemoveRow();
    UpDown->SetValue(Rows);
    key = 0;
  }
  TForm::KeyDown(key, shift);
}

bool TInspectorForm::CloseQuery() {
  // The decoder is in use while it decodes: the close waits for it to finish.
  if (Busy) return false;
  return TForm::CloseQuery();
}

void TInspectorForm::DoClose(TCloseAction& action) {
  AnimationTimer->SetEnabled(false);
  TForm::DoClose(action);
  if (Changed && owner_) owner_->Post(WM_FOLDER_CHANGED);
  Decoder.reset();
  Picture.reset();
  action = caFree;
}

TInspectorForm* ShowInspector(TViewerForm* owner, TImageList* thumbs,
                              const std::vector<std::string>& indexLines,
                              const std::vector<std::string>* names) {
  if (!names || names->size() < 2) return nullptr;
  // The list is the file list's own; the window keeps a copy.
  auto* form = new TInspectorForm(owner, thumbs, indexLines, *names);
  form->ListBox->SetItemIndex(0);
  form->Show();
  form->ShowSelected();
  return form;
}
