// The picture window: one picture, decoded inside the window's own message handling and shown
// as it arrives (partial pictures, animation frames with their delays, pages that wait for the
// Next button), fitted to the screen, scrolled, and reduced to the screen's colours on palette
// screens. The button commands beyond the decode cycle are registered by their own units; a
// button whose command is not registered stays disabled.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/uBuffStream.h"
#include "framework/BitBtn.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Panel.h"
#include "framework/ScrollBox.h"
#include "framework/StatusBar.h"
#include "framework/Timer.h"
#include "imaging/uGraphic.h"
#include "shell/uMessages.h"
#include "viewers/picture/uPictureView.h"

class TViewerForm;

// Messages of the picture window (WM_USER + n).
constexpr UINT WM_PICTURE_REFRESH = WM_USER + 97;
constexpr UINT WM_PICTURE_HOLD = WM_USER + 98;
constexpr UINT WM_PICTURE_RELEASE = WM_USER + 99;

class TPictureWindow;
// A command of a picture window button, by tag (Part of the window's commands).
using TPictureCommand = std::function<void(TPictureWindow& window, TBitBtn& button)>;
void SetPictureCommand(int tag, TPictureCommand command);
bool HasPictureCommand(int tag);
// Installs the commands of the buttons beyond the decode cycle (once).
void RegisterPictureCommands();

class TPictureWindow : public TForm {
 public:
  explicit TPictureWindow(TComponent* owner);
  ~TPictureWindow() override;

  // The screen's colour depth the display is built for; 0 asks the platform. Tests set it to
  // try the palette paths on any screen.
  static inline int ScreenBitsOverride = 0;

  TPanel* ButtonPanel = nullptr;
  TScrollBox* PicScroller = nullptr;
  TPaintBox* PaintBox = nullptr;
  TStatusBar* StatusBar = nullptr;
  TTimer* DelayTimer = nullptr;
  TBitBtn *QuitButton = nullptr, *AboutButton = nullptr, *FullScreenButton = nullptr,
          *ZoomButton = nullptr, *DocButton = nullptr, *PrintButton = nullptr,
          *SaveButton = nullptr, *EncodeButton = nullptr, *CopyButton = nullptr,
          *TweakButton = nullptr, *StopButton = nullptr, *NextButton = nullptr,
          *DelayButton = nullptr, *LoopButton = nullptr;

  // The window's state (the commands of other units work on it).
  TViewerForm* OwnerForm = nullptr;
  int CallerFlags = 0;
  uint8_t Saved = 1;
  uint8_t SkipDelay = 0;
  uint8_t Painted = 0;
  uint8_t Panning = 0;
  uint8_t Selecting = 0;
  uint8_t ZoomShown = 0;
  RECT Selection{};
  int32_t ZoomPercent = 125;
  int32_t AutoScrollX = 0, AutoScrollY = 0;
  POINT PaintOrigin{};
  POINT ZoomPoint{};
  uint8_t NoFile = 0;
  uint8_t Hold = 0;
  uint8_t Looping = 0;
  uint8_t Replaying = 0;
  std::unique_ptr<tGraphicID> Decoder;
  std::unique_ptr<TBitmap> Display;
  uint16_t FrameCount = 0;
  RECT FullRect{};
  std::unique_ptr<TBitmap> TweakSource;
  int32_t SliderValues[6] = {50, 50, 50, 50, 50, 50};
  int32_t Sharpen = 0;
  int32_t Rotation = 0;
  uint8_t Adjusted = 0;
  uint8_t Negate = 0;
  uint8_t Mirror = 0;
  int32_t Grey = 0;
  uint8_t ColorTables[256][3] = {};
  uint8_t RotationChanged = 0;
  std::string PictureName;
  std::string Folder;
  uint8_t Encoded = 0;   // the file was encoded once: Encode stays off
  std::string LastSave;  // the file the last save wrote (or failed to write)
  // The state ShowStatus set last.
  int StatusMode = psDecoding;

  void ShowStatus(int mode);
  // Builds the display bitmap from the picture (the decoder's, or any other) and shows it.
  // turned: the picture already has the window's rotation (the adjustment tool's result).
  void ShowBitmap(tMemBmp& picture, bool partial, bool turned = false);
  void FitToScreen();
  // Lays out the paint box and the scroll bars for the display bitmap.
  void LayoutDisplay();
  // The steps every opener ends with: fit, show, start decoding by a posted message.
  void CommonOpening();
  // Button actions of the decode cycle.
  void StopButtonClick();
  void NextButtonClick();
  void DelayButtonClick();
  void LoopButtonClick();
  // One step of the hidden arrow-key menu: 0 left, 1 up, 2 right, 3 down, 4 home, 5 end.
  void ArrowScroll(int which);
  // The selection frame and right-button panning on the picture (paint-box coordinates).
  void PictureMouseDown(TMouseButton button, int x, int y);
  void PictureMouseMove(int x, int y);
  void PictureMouseUp(TMouseButton button, int x, int y);

 protected:
  void DoClose(TCloseAction& action) override;
  bool CloseQuery() override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;

 private:
  TBitBtn* AddButton(int tag, const char* caption, const char* hint, const char* glyph);
  void PaintBoxPaint(TCanvas& canvas);
  void DelayTimerTimer();
  void DrawSelectionFrame();
  void EndPanning();
  POINT panAnchor_{};
  int ScreenBits() const;
  bool partialShown_ = false;
};

// Opens a window for a picture file on a reading stream. False when no format knows the data:
// the stream stays the caller's and nothing is made. True: the window owns the stream.
bool OpenPictureWindow(TViewerForm* owner, tBuffStream* stream, int flags);
// The clipboard's bitmap in a window of its own; false when the clipboard holds none.
bool OpenClipboardPicture(TViewerForm* owner, const std::string& folder);
// A picture acquired from a scanner (a BMP file image); the stream is emptied.
void OpenAcquiredPicture(TMemoryStream& picture, const std::string& source);
