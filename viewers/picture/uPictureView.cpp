#include "viewers/picture/uPictureView.h"

#include <algorithm>

#include "imaging/uGraphic.h"
#include "imaging/uImageOps.h"

bool PictureButtonEnabled(int tag, const tStatusInput& s) {
  const bool commands = s.Mode == psPaused || s.Mode == psDone;
  bool on;
  switch (tag) {
    case pbQuit:
      return true;
    case pbStop:
      on = !commands;
      break;
    case pbNext:
      on = s.Mode == psPaused || s.Mode == psHeld;
      break;
    case pbDelay:
      on = s.Mode == psDelay;
      break;
    case pbLoop:
      on = s.Mode == psDone;
      break;
    default:
      on = commands;
  }
  if (!on) return false;
  switch (tag) {
    case pbZoom:
      return s.CanZoom;
    case pbEncode:
      return !s.NoFile;
    case pbLoop:
      return s.FrameCount >= 2;
    case pbDoc:
    case pbTweak:
      return s.HasDecoder;
  }
  return true;
}

bool StatusShowsHeadline(int mode) { return mode >= psDecoding && mode <= psDone; }

std::string DocHintWithComments(const std::string& hint) {
  if (hint.find(" a") != std::string::npos) return hint;
  return hint + " and comments";
}

tDelayStep FrameDelayStep(bool waitForInput, uint32_t delay, double now) {
  tDelayStep step;
  if (waitForInput && delay == 0) {
    step.WaitForNext = true;
    return step;
  }
  const double hundredths = delay == 0 ? 10.0 : static_cast<double>(delay);
  step.Deadline = now + hundredths / 100.0 / 86400.0;
  return step;
}

bool DelayOver(double now, double deadline, bool skip) { return skip || now >= deadline; }

tFitResult FitToScreen(const tFitMetrics& m) {
  const int border = m.ScrollBoxBorder ? 2 : 0;
  int wantH = std::max(m.DisplayHeight, kMinPictureHeight) + m.PanelHeight + m.StatusHeight + 2 +
              border;
  // The frame's height already holds the caption: the window stays within the work area.
  const int availH = m.WorkHeight - m.FrameHeight;
  int wantW = std::max(m.DisplayWidth, m.PanelWidth) + 2 + border;
  const int availW = m.WorkWidth - m.FrameWidth;
  // A scroll bar takes room from the other direction.
  if (wantH > availH) wantW += m.VScrollWidth;
  if (wantW > availW) wantH += m.HScrollHeight;
  tFitResult r;
  r.ClientHeight = std::min(availH, wantH);
  r.ClientWidth = std::min(availW, wantW);
  if (m.WindowPlacement >= 1) {
    r.Centred = true;
    const int formH = r.ClientHeight + m.FrameHeight;
    const int formW = r.ClientWidth + m.FrameWidth;
    r.Top = (m.WorkHeight - formH) / 2;
    r.Left = (m.WorkWidth - formW) / 2;
  }
  return r;
}

int ScrollIncrement(int range, int extent) {
  const int outside = range - extent;
  return outside >= 33 ? (outside + 31) / 32 : 1;
}

tViewLayout LayoutPicture(const tLayoutMetrics& m) {
  tViewLayout v;
  v.PaintWidth = std::max(m.DisplayWidth, m.ClientWidth);
  v.PaintHeight = std::max(m.DisplayHeight, m.ClientHeight);
  const int spareX = m.ClientWidth - m.DisplayWidth;
  if (spareX > m.VScrollWidth + 2) v.OriginX = spareX / 2;
  const int spareY = (m.ClientHeight - m.PanelHeight - m.StatusHeight - 2) - m.DisplayHeight;
  if (spareY > m.HScrollHeight + 2) v.OriginY = spareY / 2;
  v.RangeX = m.DisplayWidth;
  v.RangeY = m.DisplayHeight;
  v.IncrementX = ScrollIncrement(v.RangeX, m.BoxClientWidth);
  v.IncrementY = ScrollIncrement(v.RangeY, m.BoxClientHeight);
  return v;
}

tScreenReduction ScreenReductionFor(int screenBits, int pictureBits, uint16_t options) {
  if (screenBits >= 9 || screenBits >= pictureBits) return srNone;
  if (screenBits == 4) return srDither16;
  if (screenBits == 8) return (options & goHighQuality) ? srOptimal256 : srOnePass256;
  return srNone;
}

tMemBmpPtr BuildDisplayPicture(tMemBmp& picture, const tDisplayRequest& r) {
  tMemBmpPtr work;
  auto current = [&]() -> tMemBmp& { return work ? *work : picture; };
  // Rotation first, so that the aspect correction below works on the turned picture.
  const int turns = ((r.Rotation % 4) + 4) % 4;
  if (turns != 0) work = RotateImage(current(), turns);
  if (r.AspectX + r.AspectY > 2) {
    int w = r.DisplayWidth, h = r.DisplayHeight;
    if (turns == 1 || turns == 3) std::swap(w, h);
    if (w > 0 && h > 0 && (w != current().Width() || h != current().Height()))
      work = ResizeImage(current(), w, h, 0);
  }
  switch (ScreenReductionFor(r.ScreenBits, r.PictureBits, r.Options)) {
    case srDither16:
      work = DitherTo16(current());
      break;
    case srOptimal256:
      work = ReduceOptimalDithered(current(), 256);
      break;
    case srOnePass256:
      work = ReduceOnePass(current(), 256);
      break;
    case srNone:
      break;
  }
  return work;
}
