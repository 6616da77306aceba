// The picture window's decisions that need no window: which buttons a state enables, how a frame
// delay is waited out, how large the window is made for a picture, where the picture sits and
// how the scroll bars step, and how the decoded picture is turned into the one shown on the
// screen (rotation, pixel aspect, colour reduction for palette screens).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/Quantize.h"
#include "imaging/uMemBmp.h"

// Button tags of the picture window, left to right.
enum : int {
  pbQuit = 0,
  pbAbout = 1,
  pbFullScreen = 2,
  pbZoom = 3,
  pbDoc = 4,
  pbPrint = 5,
  pbSave = 6,
  pbEncode = 7,
  pbCopy = 8,
  pbTweak = 10,
  pbStop = 11,
  pbNext = 12,
  pbDelay = 13,
  pbLoop = 14
};

// ShowStatus modes.
enum : int { psDecoding = 0, psPaused = 1, psDone = 2, psDelay = 3, psHeld = 4 };

struct tStatusInput {
  int Mode = psDecoding;
  bool HasDecoder = true;
  bool CanZoom = true;  // the decoded picture is at least 16 x 16
  bool NoFile = false;  // clipboard or acquired picture: nothing to encode
  int FrameCount = 0;
};
// Whether the button with the tag is enabled in the state (the Close button always is).
bool PictureButtonEnabled(int tag, const tStatusInput& state);
// The status panel shows the decoder's headline while decoding, paused or done.
bool StatusShowsHeadline(int mode);
// The Details hint once the picture turns out to have comments (unchanged when it has them).
std::string DocHintWithComments(const std::string& hint);

// A frame delay: wait for the Next button (a frame that waits for input and gives no delay), or
// run the timer until the deadline (a delay of 0 counts as 10 hundredths).
struct tDelayStep {
  bool WaitForNext = false;
  double Deadline = 0;  // days, on the clock of now
};
tDelayStep FrameDelayStep(bool waitForInput, uint32_t delay, double now);
// The timer's test: the delay is over at the deadline, or at once when it is skipped.
bool DelayOver(double now, double deadline, bool skip);

// Everything FitToScreen measures, in pixels.
struct tFitMetrics {
  int DisplayWidth = 0, DisplayHeight = 0;  // the picture at its aspect
  int PanelWidth = 0, PanelHeight = 0;      // the button panel
  int StatusHeight = 0;
  bool ScrollBoxBorder = false;
  int WorkWidth = 0, WorkHeight = 0;  // the full-screen area
  int FrameWidth = 0, FrameHeight = 0;  // the form's non-client size across and down (caption)
  int VScrollWidth = 0, HScrollHeight = 0;  // SM_CXVSCROLL, SM_CXHSCROLL
  int WindowPlacement = 0;                  // 1 or more: centre on the work area
};
struct tFitResult {
  int ClientWidth = 0, ClientHeight = 0;
  bool Centred = false;
  // The form's place when centred (needs the form's outer size: ClientWidth + FrameWidth...).
  int Left = 0, Top = 0;
};
// The least room for the picture under the buttons.
constexpr int kMinPictureHeight = 130;
// The least size the user may drag the window to.
constexpr int kMinTrackWidth = 120, kMinTrackHeight = 130;
tFitResult FitToScreen(const tFitMetrics& m);

// Where the display bitmap goes in the scroll box, and the scroll bars.
struct tViewLayout {
  int PaintWidth = 0, PaintHeight = 0;
  int OriginX = 0, OriginY = 0;
  int RangeX = 0, RangeY = 0;
  int IncrementX = 1, IncrementY = 1;
};
struct tLayoutMetrics {
  int DisplayWidth = 0, DisplayHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;  // of the form
  int PanelHeight = 0, StatusHeight = 0;
  int VScrollWidth = 0, HScrollHeight = 0;
  int BoxClientWidth = 0, BoxClientHeight = 0;  // the scroll box's client extent
};
tViewLayout LayoutPicture(const tLayoutMetrics& m);
// A scroll bar's step: a 32nd of what lies outside the view, rounded up, when that is at least
// 33 pixels; else 1.
int ScrollIncrement(int range, int extent);

// What the screen needs done to a picture's colours: nothing, the 16 standard colours, or 256
// colours by the optimal (high quality) or the one-pass quantizer.
enum tScreenReduction { srNone, srDither16, srOptimal256, srOnePass256 };
tScreenReduction ScreenReductionFor(int screenBits, int pictureBits, uint16_t options);

struct tDisplayRequest {
  int DisplayWidth = 0, DisplayHeight = 0;  // the decoder's size at its aspect
  int AspectX = 1, AspectY = 1;
  int Rotation = 0;     // quarter turns clockwise
  int PictureBits = 0;  // the decoder's bits per pixel
  int ScreenBits = 24;
  uint16_t Options = 0;  // GraphicOptions
};
// The picture to show, or null when the decoded picture can be shown as it is. The input is
// never changed; every intermediate picture is freed as the next replaces it.
tMemBmpPtr BuildDisplayPicture(tMemBmp& picture, const tDisplayRequest& request);
