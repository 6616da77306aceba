#include "viewers/picture/PictureWindow.h"

#include <algorithm>
#include <map>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFiles.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/Clipboard.h"
#include "framework/Cursor.h"
#include "framework/Palette.h"
#include "imaging/uMemBmpWin.h"
#include "shell/ViewerForm.h"
#include "viewers/picture/PictureCompanions.h"
#include "viewers/picture/ZoomWindow.h"
#include "viewers/picture/uZoomRules.h"

namespace {
constexpr int kButtonSize = 40;
constexpr int kPanelHeight = kButtonSize + 4;

std::map<int, TPictureCommand>& Commands() {
  static auto* commands = new std::map<int, TPictureCommand>;
  return *commands;
}
}  // namespace

void SetPictureCommand(int tag, TPictureCommand command) {
  if (command)
    Commands()[tag] = std::move(command);
  else
    Commands().erase(tag);
}

bool HasPictureCommand(int tag) { return Commands().count(tag) != 0; }

TPictureWindow::TPictureWindow(TComponent* owner) : TForm(owner) {
  RegisterPictureCommands();
  KeyPreview = true;
  HelpContext = 3;
  Position = poDefaultPosOnly;
  ButtonPanel = new TPanel(this, this, 0, 0, 600, kPanelHeight);
  QuitButton = AddButton(pbQuit, "&Close", "Close Window", "PB_CLOSE");
  AboutButton = AddButton(pbAbout, "&About", "About this program", "PB_ABOUT");
  FullScreenButton = AddButton(pbFullScreen, "&Full", "Full Screen", "PB_FULL");
  ZoomButton = AddButton(pbZoom, "&Zoom", "Zoom", "PB_ZOOM");
  DocButton = AddButton(pbDoc, "&Details", "Details", "PB_DETAILS");
  PrintButton = AddButton(pbPrint, "&Print", "Print", "PB_PRINT");
  SaveButton = AddButton(pbSave, "&Save", "Save as...", "PB_SAVE");
  EncodeButton = AddButton(pbEncode, "&Encode", "Encode", "PB_ENCODE");
  CopyButton = AddButton(pbCopy, "Cop&y", "Copy to clipboard", "PB_COPY");
  TweakButton =
      AddButton(pbTweak, "&Tools", "Adjust picture colors, brightness, contrast...", "PB_TOOLS");
  StopButton = AddButton(pbStop, "Stop!", "Stop!", "PB_STOP");
  NextButton = AddButton(pbNext, "Next", "Next frame", "PB_NEXT");
  DelayButton = AddButton(pbDelay, "Skip", "Skip delay", "PB_SKIP");
  LoopButton = AddButton(pbLoop, "Loop", "Loop", "PB_LOOP");
  PicScroller = new TScrollBox(this, this, 0, kPanelHeight, 600, 300);
  PaintBox = new TPaintBox(this, PicScroller, 0, 0, 600, 300);
  PaintBox->OnPaint = [this](TComponent*, TCanvas& canvas) { PaintBoxPaint(canvas); };
  PaintBox->OnMouseDown = [this](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    PictureMouseDown(b, x, y);
  };
  PaintBox->OnMouseMove = [this](TComponent*, TShiftState, int x, int y) {
    PictureMouseMove(x, y);
  };
  PaintBox->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState, int x, int y) {
    PictureMouseUp(b, x, y);
  };
  // The magnifier opens where the Zoom button was pressed.
  ZoomButton->OnMouseDown = [this](TComponent*, TMouseButton, TShiftState, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(ZoomButton->Handle(), &p);
    ZoomPoint = p;
  };
  StatusBar = new TStatusBar(this, this);
  StatusBar->SetPanels({-1}, {true});
  DelayTimer = new TTimer(this);
  DelayTimer->SetEnabled(false);
  DelayTimer->OnTimer = [this](TComponent*) { DelayTimerTimer(); };

  // FormCreate. Slot 2 holds the hand that drags the picture about.
  SetCursorSlot(2, LoadCursorResource("GRAB_HAND"));
  ZoomPercent = ViewerForm ? ViewerForm->ZoomPercent : 125;
  Display = std::make_unique<TBitmap>();
  PicScroller->HorzScrollBar().Tracking = true;
  PicScroller->VertScrollBar().Tracking = true;

  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Decoder) return 0;
    THourGlass wait;
    Decoder->NotifyWindow = reinterpret_cast<intptr_t>(Handle());
    Decoder->LoadPicture();
    return 0;
  });
  OnMessage(WM_GRAPHIC_PROGRESS, [this](WPARAM w, LPARAM) -> LRESULT {
    if (!Decoder || !Decoder->Bitmap) return 0;
    const bool partial = (w & 1) != 0;
    FrameCount = static_cast<uint16_t>(Decoder->ImageCount + (partial ? 1 : 0));
    ShowBitmap(*Decoder->Bitmap, partial);
    if (partial) {
      --FrameCount;
      // Input reaches the window while a long picture arrives: Stop, or a close that stops.
      Application.ProcessMessages();
    }
    return 0;
  });
  OnMessage(WM_GRAPHIC_DELAY, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Decoder) return 0;
    tDelayStep step = FrameDelayStep(Decoder->WaitForInput != 0, Decoder->Delay, Platform().Now());
    if (step.WaitForNext) {
      ShowStatus(psPaused);
      return 0;
    }
    Decoder->Deadline = step.Deadline;
    SkipDelay = 0;
    DelayTimer->SetInterval(10);
    DelayTimer->SetEnabled(true);
    if (!Looping) ShowStatus(psDelay);
    return 0;
  });
  OnMessage(WM_GRAPHIC_PAUSE, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Replaying) ShowStatus(psPaused);
    return 0;
  });
  OnMessage(WM_GRAPHIC_DONE, [this](WPARAM, LPARAM) -> LRESULT {
    if (Decoder && Decoder->ErrorCode != 0 && OwnerForm) OwnerForm->PlayEventSound(0);
    Replaying = 0;
    ShowStatus(psDone);
    return 0;
  });
  OnMessage(WM_PICTURE_REFRESH, [this](WPARAM, LPARAM) -> LRESULT {
    if (!Looping) ShowStatus(psDecoding);
    return 0;
  });
  OnMessage(WM_PICTURE_HOLD, [this](WPARAM, LPARAM) -> LRESULT {
    Hold = 1;
    if (!Looping) ShowStatus(psHeld);
    return 0;
  });
  OnMessage(WM_PICTURE_RELEASE, [this](WPARAM, LPARAM) -> LRESULT {
    Hold = 0;
    if (!Looping) ShowStatus(psDecoding);
    return 0;
  });
  OnMessage(WM_USER + 103, [](WPARAM, LPARAM) -> LRESULT { return 0; });
  OnMessage(WM_GETMINMAXINFO, [this](WPARAM w, LPARAM l) -> LRESULT {
    DefaultProc(WM_GETMINMAXINFO, w, l);
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMinTrackSize = POINT{kMinTrackWidth, kMinTrackHeight};
    return 0;
  });
  HandlePaletteMessages(
      *this, [this]() -> HPALETTE { return Display && Painted ? Display->Palette() : nullptr; });
  FinishCreate();
}

TPictureWindow::~TPictureWindow() {
  // A decoder still running (the program ends meanwhile) must not report to a window that goes.
  if (Decoder) Decoder->NotifyWindow = 0;
}

TBitBtn* TPictureWindow::AddButton(int tag, const char* caption, const char* hint,
                                   const char* glyph) {
  // Left to right in creation order; Tools follows Copy without a gap (tag 9 is unused).
  int index = tag < 9 ? tag : tag - 1;
  auto* b =
      new TBitBtn(this, ButtonPanel, caption, 2 + index * kButtonSize, 2, kButtonSize, kButtonSize);
  b->Tag = tag;
  b->Hint = hint;
  b->LoadGlyph(glyph);
  b->OnClick = [this, b](TComponent*) {
    switch (b->Tag) {
      case pbQuit:
        Close();
        return;
      case pbStop:
        StopButtonClick();
        return;
      case pbNext:
        NextButtonClick();
        return;
      case pbDelay:
        DelayButtonClick();
        return;
      case pbLoop:
        LoopButtonClick();
        return;
    }
    auto it = Commands().find(static_cast<int>(b->Tag));
    if (it != Commands().end()) it->second(*this, *b);
  };
  return b;
}

int TPictureWindow::ScreenBits() const {
  return ScreenBitsOverride > 0 ? ScreenBitsOverride : ScreenColorBits();
}

void TPictureWindow::ShowStatus(int mode) {
  StatusMode = mode;
  if (Decoder && Decoder->HasRemarks() && DocButton->Hint.find(" a") == std::string::npos) {
    DocButton->Hint = DocHintWithComments(DocButton->Hint);
    DocButton->LoadGlyph("BOOKOPEN");
  }
  tStatusInput in;
  in.Mode = mode;
  in.HasDecoder = Decoder != nullptr;
  in.CanZoom = Decoder && CanZoomPicture(Decoder->Width, Decoder->Height);
  in.NoFile = NoFile != 0 || Encoded != 0;
  in.FrameCount = FrameCount;
  // Walk the buttons from last to first, as the form lists them.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    auto* b = dynamic_cast<TBitBtn*>(Components(i));
    if (!b) continue;
    const int tag = static_cast<int>(b->Tag);
    bool on = PictureButtonEnabled(tag, in);
    const bool ownCycle =
        tag == pbQuit || tag == pbStop || tag == pbNext || tag == pbDelay || tag == pbLoop;
    if (!ownCycle) on = on && HasPictureCommand(tag);
    if (tag == pbDoc) on = on && HasDetailsShower();
    b->SetEnabled(on);
  }
  QuitButton->SetEnabled(true);
  ActiveControl = QuitButton;
  if (GetForegroundWindow() == Handle() || GetActiveWindow() == Handle()) QuitButton->SetFocus();
  if (StatusShowsHeadline(mode) && Decoder) StatusBar->SetPanelText(0, Decoder->InfoHeadline());
}

void TPictureWindow::ShowBitmap(tMemBmp& picture, bool partial, bool turned) {
  if (!picture.HasLayout()) return;
  tDisplayRequest r;
  if (Decoder) {
    r.DisplayWidth = Decoder->DisplayWidth;
    r.DisplayHeight = Decoder->DisplayHeight;
    r.AspectX = Decoder->AspectX;
    r.AspectY = Decoder->AspectY;
    r.PictureBits = Decoder->BitsPerPixel;
  } else {
    r.DisplayWidth = picture.Width();
    r.DisplayHeight = picture.Height();
    r.PictureBits = picture.BitCount();
  }
  r.Rotation = Rotation;
  if (turned) {
    // The display size is the turned one already; only the pixels' aspect remains.
    if (Rotation == 1 || Rotation == 3) std::swap(r.DisplayWidth, r.DisplayHeight);
    r.Rotation = 0;
  }
  r.ScreenBits = ScreenBits();
  r.Options = GraphicOptions;
  HBITMAP made = nullptr;
  try {
    tMemBmpPtr shown = BuildDisplayPicture(picture, r);
    made = AssignToBitmap(shown ? *shown : picture);
  } catch (const std::exception&) {
    // Out of memory for the working copy: what was shown stays.
    return;
  }
  if (!made) return;
  Display = std::make_unique<TBitmap>();
  Display->Assign(made);
  LayoutDisplay();
  if (partial) {
    partialShown_ = true;
    PaintBox->Repaint();
  } else {
    PaintBox->Invalidate();
  }
}

void TPictureWindow::LayoutDisplay() {
  if (!PaintBox) return;
  const int dw = Display && !Display->Empty() ? Display->Width() : 0;
  const int dh = Display && !Display->Empty() ? Display->Height() : 0;
  tLayoutMetrics m;
  m.DisplayWidth = dw;
  m.DisplayHeight = dh;
  m.ClientWidth = ClientWidth();
  m.ClientHeight = ClientHeight();
  m.PanelHeight = ButtonPanel->Height();
  m.StatusHeight = StatusBar->Height();
  m.VScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  m.HScrollHeight = GetSystemMetrics(SM_CXHSCROLL);
  // The box's extent without bars: the bars follow the ranges set here.
  RECT box = PicScroller->BoundsRect();
  const int edge = PicScroller->Border() ? 2 * GetSystemMetrics(SM_CXEDGE) : 0;
  m.BoxClientWidth = box.right - box.left - edge;
  m.BoxClientHeight = box.bottom - box.top - edge;
  tViewLayout v = LayoutPicture(m);
  PaintOrigin = POINT{v.OriginX, v.OriginY};
  PicScroller->HorzScrollBar().Range = v.RangeX;
  PicScroller->VertScrollBar().Range = v.RangeY;
  PicScroller->HorzScrollBar().Position = 0;
  PicScroller->VertScrollBar().Position = 0;
  PicScroller->HorzScrollBar().Increment = v.IncrementX;
  PicScroller->VertScrollBar().Increment = v.IncrementY;
  PicScroller->UpdateScrollBars();
  PaintBox->SetBounds(0, 0, v.PaintWidth, v.PaintHeight);
}

void TPictureWindow::Resize() {
  TForm::Resize();
  if (!StatusBar) return;
  const int w = ClientWidth(), h = ClientHeight();
  ButtonPanel->SetBounds(0, 0, w, kPanelHeight);
  StatusBar->ParentResized();
  const int sh = StatusBar->Height();
  PicScroller->SetBounds(0, kPanelHeight, w, std::max(0, h - kPanelHeight - sh));
  LayoutDisplay();
}

void TPictureWindow::PaintBoxPaint(TCanvas& canvas) {
  RECT all = PaintBox->ClientRect();
  const bool drawn = Display && !Display->Empty() && (FrameCount > 0 || partialShown_);
  if (RotationChanged) RotationChanged = 0;
  // Outside the picture the box shows its own colour.
  canvas.Brush.SetColor(PaintBox->Color);
  if (drawn) {
    HRGN rest = CreateRectRgnIndirect(&all);
    HRGN pic = CreateRectRgn(PaintOrigin.x, PaintOrigin.y, PaintOrigin.x + Display->Width(),
                             PaintOrigin.y + Display->Height());
    CombineRgn(rest, rest, pic, RGN_DIFF);
    FillRgn(canvas.Handle(), rest, canvas.Brush.Handle());
    DeleteObject(pic);
    DeleteObject(rest);
    TSelectedPalette palette(canvas.Handle(), Display->Palette());
    canvas.Draw(PaintOrigin.x, PaintOrigin.y, *Display);
    Painted = 1;
  } else {
    canvas.FillRect(all);
  }
}

void TPictureWindow::FitToScreen() {
  ButtonPanel->SetWidth(LoopButton->Left() + LoopButton->Width() + 2);
  PicScroller->HorzScrollBar() = TScrollBarInfo{0, 0, 8, true};
  PicScroller->VertScrollBar() = TScrollBarInfo{0, 0, 8, true};
  PicScroller->UpdateScrollBars();
  tFitMetrics m;
  m.DisplayWidth = Decoder ? Decoder->DisplayWidth : 0;
  m.DisplayHeight = Decoder ? Decoder->DisplayHeight : 0;
  m.PanelWidth = ButtonPanel->Width();
  m.PanelHeight = ButtonPanel->Height();
  m.StatusHeight = StatusBar->Height();
  m.ScrollBoxBorder = PicScroller->Border();
  FullScreenSize(m.WorkWidth, m.WorkHeight);
  // Some systems report a full-screen size past the screen's edge: the work area bounds it.
  RECT work;
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    m.WorkWidth = std::min<int>(m.WorkWidth, work.right - work.left);
    m.WorkHeight = std::min<int>(m.WorkHeight, work.bottom - work.top);
  }
  // The frame as the window has it (the computed frame size may be a pixel short).
  m.FrameWidth = Width() - ClientWidth();
  m.FrameHeight = Height() - ClientHeight();
  m.VScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  m.HScrollHeight = GetSystemMetrics(SM_CXHSCROLL);
  m.WindowPlacement = ViewerForm ? ViewerForm->WindowPlacement : 0;
  tFitResult r = ::FitToScreen(m);
  SetClientSize(r.ClientWidth, r.ClientHeight);
  if (r.Centred) {
    Position = poDesigned;
    SetBounds(r.Left, r.Top, Width(), Height());
  } else {
    Position = poDefaultPosOnly;
  }
}

void TPictureWindow::CommonOpening() {
  FitToScreen();
  PaintBox->Color = clBtnShadow;
  FullRect = RECT{0, 0, PaintBox->Width(), PaintBox->Height()};
  PaintBox->SetBounds(0, 0, PaintBox->Width(), PaintBox->Height());
  ShowStatus(psDecoding);
  Show();
  BringWindowToTop(Handle());
  // The window may be closed while messages run: post through its handle, not the object.
  HWND self = Handle();
  Application.ProcessMessages();
  if (IsWindow(self)) PostMessageW(self, WM_DEFERRED_START, 0, 0);
}

void TPictureWindow::StopButtonClick() {
  SkipDelay = 1;
  if (Decoder) Decoder->Abort = 1;
  Replaying = 0;
  Looping = 0;
  ShowStatus(psDone);
}

void TPictureWindow::NextButtonClick() {
  if (Decoder) Decoder->LoadNextPicture();
}

void TPictureWindow::DelayButtonClick() { SkipDelay = 1; }

void TPictureWindow::LoopButtonClick() {
  if (!Decoder) return;
  Looping = 1;
  ShowStatus(psDecoding);
  Replaying = 1;
  LoopButton->SetEnabled(false);
  StopButton->SetEnabled(true);
  Application.ProcessMessages();
  if (Decoder) Decoder->Replay();
}

void TPictureWindow::DelayTimerTimer() {
  if (!Decoder) {
    DelayTimer->SetEnabled(false);
    return;
  }
  if (!DelayOver(Platform().Now(), Decoder->Deadline, SkipDelay != 0)) return;
  DelayTimer->SetEnabled(false);
  Decoder->LoadNextPicture();
}

void TPictureWindow::ArrowScroll(int which) {
  TScrollBarInfo& h = PicScroller->HorzScrollBar();
  TScrollBarInfo& v = PicScroller->VertScrollBar();
  switch (which) {
    case 0:
      PicScroller->SetPosition(false, h.Position - h.Increment);
      break;
    case 1:
      PicScroller->SetPosition(true, v.Position - v.Increment);
      break;
    case 2:
      PicScroller->SetPosition(false, h.Position + h.Increment);
      break;
    case 3:
      PicScroller->SetPosition(true, v.Position + v.Increment);
      break;
    case 4:
      PicScroller->SetPosition(false, 0);
      PicScroller->SetPosition(true, 0);
      break;
    case 5:
      PicScroller->SetPosition(false, h.Range);
      PicScroller->SetPosition(true, v.Range);
      break;
  }
}

void TPictureWindow::DrawSelectionFrame() {
  HDC dc = GetDC(PaintBox->Handle());
  const int old = SetROP2(dc, R2_XORPEN);
  HGDIOBJ pen = SelectObject(dc, GetStockObject(WHITE_PEN));
  HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, Selection.left, Selection.top, Selection.right, Selection.bottom);
  SelectObject(dc, brush);
  SelectObject(dc, pen);
  SetROP2(dc, old);
  ReleaseDC(PaintBox->Handle(), dc);
}

void TPictureWindow::PictureMouseDown(TMouseButton button, int x, int y) {
  if (button == mbLeft && !Selecting) {
    Selection = RECT{x, y, x, y};
    ZoomShown = 0;
    Selecting = 1;
    PaintBox->SetMouseCapture(true);
    DrawSelectionFrame();
  } else if (button == mbRight && Display && !Display->Empty()) {
    RECT box = PicScroller->ClientRect();
    if (Display->Width() <= box.right && Display->Height() <= box.bottom) return;
    Panning = 1;
    POINT p{x, y};
    MapWindowPoints(PaintBox->Handle(), PicScroller->Handle(), &p, 1);
    panAnchor_ = p;
    Screen.SetCursor(static_cast<TCursor>(2));
    PaintBox->SetMouseCapture(true);
  }
}

void TPictureWindow::PictureMouseMove(int x, int y) {
  if (Selecting) {
    DrawSelectionFrame();
    // Past the visible part: scroll a step that way.
    POINT p{x, y};
    MapWindowPoints(PaintBox->Handle(), PicScroller->Handle(), &p, 1);
    RECT box = PicScroller->ClientRect();
    AutoScrollX = p.x < 0 ? -1 : p.x > box.right ? 1 : 0;
    AutoScrollY = p.y < 0 ? -1 : p.y > box.bottom ? 1 : 0;
    if (AutoScrollX != 0 || AutoScrollY != 0) {
      TScrollBarInfo& h = PicScroller->HorzScrollBar();
      TScrollBarInfo& v = PicScroller->VertScrollBar();
      if (AutoScrollX) PicScroller->SetPosition(false, h.Position + AutoScrollX * h.Increment);
      if (AutoScrollY) PicScroller->SetPosition(true, v.Position + AutoScrollY * v.Increment);
      Selecting = 0;
      Application.ProcessMessages();
      Selecting = 1;
    }
    Selection.right = x;
    Selection.bottom = y;
    DrawSelectionFrame();
    return;
  }
  if (Panning) {
    POINT p{x, y};
    MapWindowPoints(PaintBox->Handle(), PicScroller->Handle(), &p, 1);
    RECT box = PicScroller->ClientRect();
    if (p.x < 0 || p.y < 0 || p.x >= box.right || p.y >= box.bottom) {
      EndPanning();
      return;
    }
    TScrollBarInfo& h = PicScroller->HorzScrollBar();
    TScrollBarInfo& v = PicScroller->VertScrollBar();
    PicScroller->SetPosition(false, h.Position + panAnchor_.x - p.x);
    PicScroller->SetPosition(true, v.Position + panAnchor_.y - p.y);
    panAnchor_ = p;
  }
}

void TPictureWindow::EndPanning() {
  Panning = 0;
  Screen.SetCursor(crDefault);
  PaintBox->SetMouseCapture(false);
}

void TPictureWindow::PictureMouseUp(TMouseButton button, int, int) {
  if (Panning) {
    EndPanning();
    return;
  }
  if (button != mbLeft || !Selecting) return;
  Selecting = 0;
  PaintBox->SetMouseCapture(false);
  DrawSelectionFrame();
  const int dw = Display ? Display->Width() : 0, dh = Display ? Display->Height() : 0;
  Selection.left = ClampRange(dw, Selection.left - PaintOrigin.x);
  Selection.right = ClampRange(dw, Selection.right - PaintOrigin.x);
  Selection.top = ClampRange(dh, Selection.top - PaintOrigin.y);
  Selection.bottom = ClampRange(dh, Selection.bottom - PaintOrigin.y);
  if (Display && !Display->Empty()) ZoomShown = ShowZoomedSelection(this, *Display, Selection);
}

void TPictureWindow::KeyDown(WORD& key, TShiftState shift) {
  TForm::KeyDown(key, shift);
  if (key == VK_ESCAPE && Replaying) {
    if (Decoder) Decoder->Abort = 1;
    Replaying = 0;
    return;
  }
  if (shift != 0) return;
  int which = -1;
  switch (key) {
    case VK_LEFT:
      which = 0;
      break;
    case VK_UP:
      which = 1;
      break;
    case VK_RIGHT:
      which = 2;
      break;
    case VK_DOWN:
      which = 3;
      break;
    case VK_HOME:
      which = 4;
      break;
    case VK_END:
      which = 5;
      break;
  }
  if (which >= 0) {
    ArrowScroll(which);
    key = 0;
  }
}

void TPictureWindow::KeyUp(WORD& key, TShiftState shift) {
  TForm::KeyUp(key, shift);
  if (DelayButton->Enabled() && key != VK_ESCAPE) {
    DelayButtonClick();
  } else if (StopButton->Enabled() && key == VK_ESCAPE) {
    StopButtonClick();
  } else if (NextButton->Enabled() && key == VK_RETURN) {
    NextButtonClick();
    key = 0;
  }
}

bool TPictureWindow::CloseQuery() {
  if (Decoder && Decoder->Busy) {
    // Decoding stops first; the window closes when asked again.
    Decoder->Abort = 1;
    return false;
  }
  if (!TForm::CloseQuery()) return false;
  if (Saved == 0) {
    const bool sounds = ViewerForm ? ViewerForm->MessageSounds : true;
    return SoundMessageDlg("Abandon acquired image without saving?", mtConfirmation,
                           MsgDlgButtons({mbYes, mbCancel}), sounds, 0) == mrYes;
  }
  return true;
}

void TPictureWindow::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  Screen.SetCursor(crDefault);
  DelayTimer->SetEnabled(false);
  Painted = 0;
  Display.reset();
  TweakSource.reset();
  Decoder.reset();
  if (OwnerForm) OwnerForm->DecViewerCount();
  action = caFree;
}

bool OpenPictureWindow(TViewerForm* owner, tBuffStream* stream, int flags) {
  if (!stream) return false;
  auto id = std::make_unique<tGraphicID>(stream);
  id->BackgroundColor = ColorToRGB(clWindow);
  if (!id->IdentifyPicture()) return false;  // the stream stays the caller's
  auto* w = new TPictureWindow(owner);
  w->Decoder = std::move(id);
  w->OwnerForm = owner;
  w->CallerFlags = flags;
  w->SetCaption(ExtractFileName(stream->Name));
  w->CommonOpening();
  return true;
}

namespace {
// The clipboard and acquired pictures: a decoder over a BMP image in memory, named as given.
std::unique_ptr<tGraphicID> MemoryPicture(std::vector<uint8_t> image, const std::string& name) {
  auto buff =
      std::make_unique<tBuffStream>(name, std::make_unique<TMemoryStream>(std::move(image)), false);
  auto id = std::make_unique<tGraphicID>(buff.get());
  if (!id->IdentifyPicture()) return nullptr;
  buff.release();  // the decoder owns it now
  return id;
}

void OpenMemoryWindow(std::unique_ptr<tGraphicID> id, TViewerForm* owner, const std::string& name,
                      const std::string& folder, const std::string& caption, uint8_t saved,
                      const std::string& source) {
  id->SetAspect(1, 1);
  auto* w = new TPictureWindow(owner);
  w->PictureName = name;
  w->Folder = folder;
  id->FileName = AddBackslash(folder) + name;
  w->NoFile = 1;
  w->Saved = saved;
  w->SetCaption(caption);
  id->StartInfo();
  id->AddInfoLine("b" + id->InfoHeadline());
  if (!source.empty()) id->AddInfoLine("g" + source);
  w->Decoder = std::move(id);
  w->OwnerForm = owner;
  w->CommonOpening();
}
}  // namespace

bool OpenClipboardPicture(TViewerForm* owner, const std::string& folder) {
  std::vector<uint8_t> image;
  if (!GetClipboardBmpImage(image)) return false;
  auto id = MemoryPicture(std::move(image), "[clipboard].bmp");
  if (!id) return false;
  OpenMemoryWindow(std::move(id), owner, "[clipboard].bmp", folder, "<Clipboard image>", 1, "");
  return true;
}

void OpenAcquiredPicture(TMemoryStream& picture, const std::string& source) {
  std::vector<uint8_t> image(picture.Memory(), picture.Memory() + picture.DataSize());
  picture.Clear();
  auto id = MemoryPicture(std::move(image), "[acquired].bmp");
  if (!id || !ViewerForm) return;
  std::string folder = ViewerForm->Orvex_FileList1->Directory();
  OpenMemoryWindow(std::move(id), ViewerForm, "[acquired].bmp", AddBackslash(folder),
                   "<Acquired image>", 0, source);
}
