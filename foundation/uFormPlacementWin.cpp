#include "foundation/uFormPlacementWin.h"

#include <vector>

#include "foundation/uPlatform.h"

std::string HeaderWidthsToText(const THeaderControl& header) {
  std::vector<int> widths;
  for (int i = 0; i < header.SectionCount(); ++i) widths.push_back(header.SectionWidth(i));
  return HeaderWidthsToText(widths);
}

void HeaderWidthsFromText(THeaderControl& header, const std::string& text) {
  std::vector<int> widths;
  for (int i = 0; i < header.SectionCount(); ++i) widths.push_back(header.SectionWidth(i));
  std::vector<int> before = widths;
  HeaderWidthsFromText(text, widths);
  for (size_t i = 0; i < widths.size(); ++i)
    if (widths[i] != before[i]) header.SetSectionWidth(static_cast<int>(i), widths[i]);
  header.Repaint();
}

void PlaceFormAt(TForm& form, POINT at) {
  int screenWidth = 0, screenHeight = 0, left = 0, top = 0;
  Platform().FullScreenSize(screenWidth, screenHeight);
  RECT b = form.BoundsRect();
  int width = b.right - b.left, height = b.bottom - b.top;
  PlaceFormAt(at.x, at.y, width, height, screenWidth, screenHeight, left, top);
  form.SetBounds(left, top, width, height);
}

void RestoreFormBounds(TForm& form, const tFormBounds& bounds) {
  int screenWidth = 0, screenHeight = 0;
  Platform().ScreenSize(screenWidth, screenHeight);
  tFormRestore r = RestoreFormBounds(bounds, screenWidth, screenHeight);
  RECT now = form.BoundsRect();
  if (r.Designed) {
    form.Position = poDesigned;
    form.SetBounds(r.Bounds.Left, r.Bounds.Top, r.Bounds.Width, r.Bounds.Height);
  } else {
    // The place the system gave the form when it was made stays.
    form.Position = poDefaultPosOnly;
    form.SetBounds(now.left, now.top, r.Bounds.Width, r.Bounds.Height);
  }
}

int FormFrameSize(const TForm& form, bool vertical) {
  HWND h = form.Handle();
  LONG style = GetWindowLongW(h, GWL_STYLE);
  LONG exStyle = GetWindowLongW(h, GWL_EXSTYLE);
  tFrameInfo f;
  if (style & WS_THICKFRAME)
    f.Border = tFrameBorder::Sizeable;
  else if (exStyle & WS_EX_DLGMODALFRAME)
    f.Border = tFrameBorder::Dialog;
  else if (style & (WS_BORDER | WS_DLGFRAME))
    f.Border = tFrameBorder::Single;
  else
    f.Border = tFrameBorder::None;
  f.HasMenu = GetMenu(h) != nullptr;
  f.HasScrollBar = vertical ? (style & WS_HSCROLL) != 0 : (style & WS_VSCROLL) != 0;
  f.FixedFrame = GetSystemMetrics(vertical ? SM_CYFIXEDFRAME : SM_CXFIXEDFRAME);
  f.SizeFrame = GetSystemMetrics(vertical ? SM_CYFRAME : SM_CXFRAME);
  f.CaptionHeight = GetSystemMetrics(SM_CYCAPTION);
  f.MenuHeight = GetSystemMetrics(SM_CYMENU);
  f.ScrollBarSize = GetSystemMetrics(vertical ? SM_CYHSCROLL : SM_CXVSCROLL);
  return FormFrameSize(f, vertical);
}
