// The full-screen window that both slide shows are built on: the screen saver's show and the
// main program's slide show window. It owns the decoder of the current picture, the picture
// made ready for the screen, the background (a colour or a tiled wallpaper picture) and the
// music player, and answers the show sequence (uShowSequence.h). The two windows add their
// input, panels and closing.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Timer.h"
#include "imaging/uGraphic.h"
#include "framework/Mci.h"
#include "thumbnails/uShowLayout.h"
#include "thumbnails/uShowSequence.h"

class TShowForm : public TForm, protected tShowHost {
 public:
  explicit TShowForm(TComponent* owner);
  ~TShowForm() override;

  tShowSequence Sequence{*this};
  tShowLayout Layout;
  uint32_t BackColor = 0;     // 0x00BBGGRR
  int32_t Delay = 30;         // seconds each picture stays
  uint32_t TickInterval = 64; // milliseconds between picture timer ticks (float steps)

  // The music player (the system's until a test sets its own); the end of a piece comes back
  // to the window as a posted message.
  void SetMusicPlayer(std::unique_ptr<TMciPlayer> player);
  TMciPlayer& MusicPlayer() { return *Music; }
  // Makes the player of each new show window (tests give a player of their own).
  static std::function<std::unique_ptr<TMciPlayer>()> MakeMusicPlayer;

  // The picture on the screen now; null before the first one.
  TBitmap* Picture() const { return PictureBitmap.get(); }
  bool Stopping() const { return Abort; }
  bool CursorHidden() const { return cursorHidden_; }

 protected:
  // Covers the whole screen, one pixel less in height when asked (a window that covers the
  // whole screen exactly is taken for a full-screen program by some desktops).
  void CoverScreen(bool onePixelLess);
  void LoadWallpaper(const std::string& file);
  // "reset.mid" beside the running program, when it is there.
  void FindResetMidi();
  // The stop request: input sets it; the decoder sees it at once.
  void SetStop();
  void ClearStop();
  // Neither the picture timer nor a frame wait nor a hold is running: nothing would read the
  // stop request, so input must act on its own.
  bool Idle() const;
  void StopMusic();
  void ShowTheCursor();
  // Puts the current picture where the layout now says, erasing its old place.
  void PlaceAgain();
  // The decoder's picture has been shown for the first time (panels, information).
  virtual void PictureShown() {}
  // The picture is complete: by default it stays Delay seconds, then the next one comes.
  virtual void PictureDone();
  // A tick of the picture timer (after the handling of messages).
  virtual void PictureTimerTick();
  // When a hold of a single picture ends besides its deadline and the stop request.
  virtual bool HoldEnds();
  // Frees the decoder, the pictures and the music; also run by the destructor.
  void ReleaseShow();

  // tShowHost
  bool OpenPicture(const std::string& name) override;
  bool PlayMusic(const std::string& name) override;
  void RepaintBackground() override;
  void HoldSinglePicture() override;
  void PostClose(int how) override;
  bool StopRequested() override { return Abort; }
  void HideCursor() override;

  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

  std::unique_ptr<tGraphicID> Decoder;
  std::unique_ptr<TBitmap> PictureBitmap, Wallpaper;
  TTimer* AnimationTimer = nullptr;
  TTimer* PictureTimer = nullptr;
  std::unique_ptr<TMciPlayer> Music;
  bool Abort = false;
  bool IgnorePartialImages = false;
  ULONGLONG Deadline = 0;
  bool Closing = false;

 private:
  void GraphicProgress(WPARAM w);
  void StartFrameWait(UINT milliseconds);
  void AnimationTimerTimer();
  void EraseArea(HDC dc, const TRect& r);
  void DrawPicture(HDC dc);
  void PaintAll(HDC dc);
  void MusicNotify(bool failed, LPARAM piece);
  // The palette the window realises: the picture's on palette screens.
  HPALETTE ShowPalette();

  ULONGLONG frameDeadline_ = 0;
  bool firstFrame_ = false;
  bool cursorHidden_ = false;
  int holding_ = 0;
  LPARAM piece_ = 0;  // counts the pieces played, so a late end of an old one is ignored
};

// Milliseconds since the system started, for deadlines.
inline ULONGLONG ShowClock() { return GetTickCount64(); }
