#include "thumbnails/ShowForm.h"

#include <algorithm>
#include <exception>

#include "foundation/uFiles.h"
#include "foundation/uMessages.h"
#include "foundation/uPlatform.h"
#include "framework/Application.h"
#include "framework/Palette.h"
#include "framework/Text.h"
#include "imaging/uImageOps.h"
#include "thumbnails/uSaverSettings.h"
#include "thumbnails/uShowPicture.h"

namespace {
// Posted when a piece of music ends: wParam 1 when it failed, lParam the piece's number.
constexpr UINT kMusicEnded = WM_APP + 40;

RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// A picture file for decoding: the stream goes to the decoder once the file is identified.
std::unique_ptr<tGraphicID> IdentifyFile(const std::string& name) {
  auto file = TFileStream::Open(name, TFileStream::fmOpenRead);
  if (!file) return nullptr;
  auto* stream = new tBuffStream(name, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  id->FileName = name;
  bool known = false;
  try {
    known = id->IdentifyPicture();
  } catch (const std::exception&) {
    known = false;
  }
  if (!known) {
    id.reset();
    delete stream;
    return nullptr;
  }
  return id;
}
}  // namespace

std::function<std::unique_ptr<TMciPlayer>()> TShowForm::MakeMusicPlayer = CreateMciPlayer;

TShowForm::TShowForm(TComponent* owner) : TForm(owner, bsNone) {
  AnimationTimer = new TTimer(this);
  AnimationTimer->SetEnabled(false);
  AnimationTimer->SetInterval(10);
  AnimationTimer->OnTimer = [this](TComponent*) { AnimationTimerTimer(); };
  PictureTimer = new TTimer(this);
  PictureTimer->SetEnabled(false);
  PictureTimer->OnTimer = [this](TComponent*) {
    if (!Closing) PictureTimerTick();
  };
  SetMusicPlayer(MakeMusicPlayer());
  HandlePaletteMessages(*this, [this] { return ShowPalette(); });
  int w = 0, h = 0;
  Platform().ScreenSize(w, h);
  Layout.Init(w, h, 0, true, kPlaceCentre, 4, 3);
  Deadline = ShowClock();
  OnMessage(WM_GRAPHIC_PROGRESS, [this](WPARAM w, LPARAM) -> LRESULT {
    GraphicProgress(w);
    return 0;
  });
  OnMessage(WM_GRAPHIC_PAUSE, [this](WPARAM, LPARAM) -> LRESULT {
    StartFrameWait(1000);
    return 0;
  });
  OnMessage(WM_GRAPHIC_DELAY, [this](WPARAM, LPARAM) -> LRESULT {
    const uint32_t delay = Decoder && Decoder->Delay ? Decoder->Delay : 10;
    StartFrameWait(delay * 10);
    return 0;
  });
  OnMessage(WM_GRAPHIC_DONE, [this](WPARAM, LPARAM) -> LRESULT {
    if (Decoder && Decoder->ErrorCode) HideCursor();
    PictureDone();
    return 0;
  });
}

TShowForm::~TShowForm() { ReleaseShow(); }

void TShowForm::ReleaseShow() {
  if (AnimationTimer) AnimationTimer->SetEnabled(false);
  if (PictureTimer) PictureTimer->SetEnabled(false);
  StopMusic();
  Decoder.reset();
  PictureBitmap.reset();
  Wallpaper.reset();
}

void TShowForm::CoverScreen(bool onePixelLess) {
  SetBounds(0, 0, Layout.ScreenWidth, Layout.ScreenHeight - (onePixelLess ? 1 : 0));
}

void TShowForm::LoadWallpaper(const std::string& file) {
  Wallpaper.reset();
  if (file.empty()) return;
  auto id = IdentifyFile(file);
  if (!id) return;
  try {
    id->LoadPicture();
    if (!id->Bitmap || !id->Bitmap->HasLayout()) return;
    const RECT client = ClientRect();
    const int cw = std::max<int>(1, client.right), ch = std::max<int>(1, client.bottom);
    tMemBmpPtr tiled;
    if (id->Bitmap->Width() < cw || id->Bitmap->Height() < ch)
      tiled = TileImage(*id->Bitmap, cw, ch);
    tMemBmp& picture = tiled ? *tiled : *id->Bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (bitmap->LoadFromBmpImage(picture.Image(), picture.FileSize)) Wallpaper = std::move(bitmap);
  } catch (const std::exception&) {
    Wallpaper.reset();
  }
}

void TShowForm::FindResetMidi() {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  if (n == 0 || n >= MAX_PATH * 2) return;
  const std::string reset = ExtractFilePath(WideToUtf8(path)) + "reset.mid";
  if (Platform().ItemAttributes(reset) != kNoFileAttributes) Sequence.ResetMidiPath = reset;
}

void TShowForm::SetStop() {
  Abort = true;
  if (Decoder) Decoder->Abort = 1;
}

void TShowForm::ClearStop() {
  Abort = false;
  if (Decoder) Decoder->Abort = 0;
}

bool TShowForm::Idle() const {
  return !PictureTimer->Enabled() && !AnimationTimer->Enabled() && holding_ == 0;
}

void TShowForm::StopMusic() {
  Sequence.StopMusic();
  Music->Close();
}

void TShowForm::SetMusicPlayer(std::unique_ptr<TMciPlayer> player) {
  if (Music) Music->Close();
  Music = std::move(player);
  Music->OnNotify = [this](TMPNotifyValues v) {
    if (v == nvSuccessful || v == nvFailure) Post(kMusicEnded, v == nvFailure, piece_);
  };
}

HPALETTE TShowForm::ShowPalette() {
  return PictureBitmap && !PictureBitmap->Empty() ? PictureBitmap->Palette() : nullptr;
}

void TShowForm::HideCursor() {
  cursorHidden_ = true;
  ::SetCursor(nullptr);
}

void TShowForm::ShowTheCursor() {
  cursorHidden_ = false;
  ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool TShowForm::OpenPicture(const std::string& name) {
  if (Closing) return false;
  Decoder.reset();
  auto id = IdentifyFile(name);
  if (!id) return false;
  id->BackgroundColor = BackColor;
  id->NotifyWindow = reinterpret_cast<intptr_t>(Handle());
  if (Abort) id->Abort = 1;
  Decoder = std::move(id);
  PictureBitmap = std::make_unique<TBitmap>();
  firstFrame_ = true;
  Decoder->LoadPicture();
  return true;
}

void TShowForm::GraphicProgress(WPARAM w) {
  if (w == 1 && IgnorePartialImages) return;
  if (!Decoder || !Decoder->Bitmap || !Decoder->Bitmap->HasLayout()) return;
  std::unique_ptr<TBitmap> bitmap;
  try {
    tShowPictureSource source{Decoder->Bitmap.get(), Decoder->AspectX, Decoder->AspectY,
                              Decoder->DisplayWidth, Decoder->DisplayHeight};
    auto shown = PrepareShowPicture(source, Layout, Platform().ScreenColorBits(),
                                    (GraphicOptions & goHighQuality) != 0);
    tMemBmp& picture = shown ? *shown : *Decoder->Bitmap;
    bitmap = std::make_unique<TBitmap>();
    if (!bitmap->LoadFromBmpImage(picture.Image(), picture.FileSize)) return;
  } catch (const std::exception&) {
    return;  // no memory for this frame: the last one stays
  }
  PictureBitmap = std::move(bitmap);
  HideCursor();
  HDC dc = GetDC(Handle());
  if (firstFrame_) {
    firstFrame_ = false;
    EraseArea(dc, Layout.LastRect);
    PaletteChanged(*this);
    Layout.PlacePicture(PictureBitmap->Width(), PictureBitmap->Height());
    PictureShown();
  }
  DrawPicture(dc);
  ReleaseDC(Handle(), dc);
}

void TShowForm::PictureDone() {
  Deadline = ShowClock() + ULONGLONG(std::max(0, Delay)) * 1000;
  PictureTimer->SetInterval(std::max<uint32_t>(TickInterval, 10));
  PictureTimer->SetEnabled(true);
}

void TShowForm::StartFrameWait(UINT milliseconds) {
  frameDeadline_ = ShowClock() + milliseconds;
  AnimationTimer->SetEnabled(true);
}

void TShowForm::AnimationTimerTimer() {
  if (!Abort && ShowClock() < frameDeadline_) return;
  AnimationTimer->SetEnabled(false);
  if (Decoder && !Closing) Decoder->LoadNextPicture();
}

void TShowForm::PictureTimerTick() {
  if (Abort) {
    PictureTimer->SetEnabled(false);
    Post(WM_CLOSE_REQUEST, 0);
    return;
  }
  if (ShowClock() >= Deadline) {
    PictureTimer->SetEnabled(false);
    Post(WM_DEFERRED_START);
    return;
  }
  if (Layout.Mode != kSaverFloat || !PictureBitmap || PictureBitmap->Empty()) return;
  const auto step = Layout.FloatStep();
  HDC dc = GetDC(Handle());
  DrawPicture(dc);
  EraseArea(dc, step.Vertical);
  EraseArea(dc, step.Horizontal);
  ReleaseDC(Handle(), dc);
}

bool TShowForm::HoldEnds() { return Abort || ShowClock() >= Deadline; }

void TShowForm::HoldSinglePicture() {
  ++holding_;
  while (!HoldEnds() && !Closing && !Application.Terminated) {
    Application.ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  --holding_;
}

void TShowForm::RepaintBackground() { Repaint(); }

void TShowForm::PostClose(int how) { Post(WM_CLOSE_REQUEST, static_cast<WPARAM>(how)); }

bool TShowForm::PlayMusic(const std::string& name) {
  if (Closing || !Music->Open(name)) return false;
  ++piece_;
  // A device that cannot start reports like one that failed while playing.
  if (!Music->Play(false)) Post(kMusicEnded, 1, piece_);
  return true;
}

void TShowForm::MusicNotify(bool failed, LPARAM piece) {
  if (!Music->IsOpen() || piece != piece_) return;
  Music->Close();
  if (!Closing) Sequence.MusicFinished(failed);
}

void TShowForm::PlaceAgain() {
  if (!PictureBitmap || PictureBitmap->Empty()) return;
  HDC dc = GetDC(Handle());
  EraseArea(dc, Layout.LastRect);
  Layout.PlaceAgain();
  DrawPicture(dc);
  ReleaseDC(Handle(), dc);
}

void TShowForm::EraseArea(HDC dc, const TRect& r) {
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  if (Wallpaper && !Wallpaper->Empty()) {
    BitBlt(dc, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, Wallpaper->Canvas().Handle(),
           r.Left, r.Top, SRCCOPY);
    return;
  }
  HBRUSH brush = CreateSolidBrush(BackColor & 0xFFFFFF);
  const RECT rect = ToRect(r);
  ::FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void TShowForm::DrawPicture(HDC dc) {
  if (!PictureBitmap || PictureBitmap->Empty()) return;
  TSelectedPalette palette(dc, ShowPalette());
  const TRect& r = Layout.PictureRect;
  BitBlt(dc, r.Left, r.Top, PictureBitmap->Width(), PictureBitmap->Height(),
         PictureBitmap->Canvas().Handle(), 0, 0, SRCCOPY);
  Layout.LastRect = r;
}

void TShowForm::PaintAll(HDC dc) {
  const RECT c = ClientRect();
  Layout.LastRect = TRect{0, 0, std::max<int>(c.right, Layout.ScreenWidth),
                          std::max<int>(c.bottom, Layout.ScreenHeight)};
  EraseArea(dc, Layout.LastRect);
  DrawPicture(dc);
}

LRESULT TShowForm::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      PaintAll(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_SETCURSOR:
      if (cursorHidden_ && LOWORD(l) == HTCLIENT) {
        ::SetCursor(nullptr);
        return TRUE;
      }
      break;
    case kMusicEnded:
      MusicNotify(w != 0, l);
      return 0;
  }
  return TForm::WndProc(message, w, l);
}
