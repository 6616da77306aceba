#include "thumbnails/cShowControls.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "framework/Text.h"
#include "thumbnails/uSaverSettings.h"

TSpinEdit::TSpinEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height,
                     int minValue, int maxValue, int increment)
    : TEdit(owner, parent, x, y, width, height, ES_NUMBER), min_(minValue), max_(maxValue) {
  SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  upDown_ = CreateWindowExW(0, UPDOWN_CLASSW, L"",
                            WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT |
                                UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            0, 0, 0, 0, parent->Handle(), nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  ::SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
  ::SendMessageW(upDown_, UDM_SETRANGE32, minValue, maxValue);
  UDACCEL accel{0, static_cast<UINT>(std::max(1, increment))};
  ::SendMessageW(upDown_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  SetValue(minValue);
}

int TSpinEdit::Value() const {
  // Typed text counts as it stands, kept within the range.
  const std::string text = Caption();
  long value = min_;
  try {
    value = text.empty() ? min_ : std::stol(text);
  } catch (...) {
    value = min_;
  }
  return static_cast<int>(std::clamp<long>(value, min_, max_));
}

void TSpinEdit::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  ::SendMessageW(upDown_, UDM_SETPOS32, 0, value);
  SetText(std::to_string(value));
}

void TSpinEdit::SetEnabled(bool enabled) {
  TEdit::SetEnabled(enabled);
  EnableWindow(upDown_, enabled);
}

TModeTrackBar::TModeTrackBar(TComponent* owner, TWindow* parent, int x, int y, int width,
                             int height, int minValue, int maxValue)
    : TTrackBar(owner, parent, x, y, width, height) {
  SetRange(minValue, maxValue);
}

void TModeTrackBar::SetPosition(int position) {
  TTrackBar::SetPosition(position);
  if (OnChange) OnChange(this);
}

void TModeTrackBar::Scrolled() {
  if (OnChange) OnChange(this);
}

bool PickColor(HWND owner, uint32_t& color, std::vector<std::string>* customColors,
               unsigned flags) {
  uint32_t custom[16];
  CustomColorsFromTexts(customColors ? *customColors : std::vector<std::string>{}, custom);
  COLORREF colors[16];
  std::copy(std::begin(custom), std::end(custom), colors);
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = color & 0xFFFFFF;
  cc.lpCustColors = colors;
  cc.Flags = CC_RGBINIT | CC_ANYCOLOR | flags;
  if (!ChooseColorW(&cc)) return false;
  color = cc.rgbResult;
  std::copy(std::begin(colors), std::end(colors), custom);
  if (customColors) *customColors = CustomColorsToTexts(custom);
  return true;
}

bool PickWallpaper(HWND owner, std::string& paper) {
  std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
  std::wstring folder;
  const std::wstring current = Utf8ToWide(paper);
  if (!current.empty() && current.size() < file.size()) {
    std::copy(current.begin(), current.end(), file.begin());
  } else {
    wchar_t windows[MAX_PATH];
    if (GetWindowsDirectoryW(windows, MAX_PATH)) folder = windows;
  }
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = L"Wallpaper\0*.bmp\0";
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&ofn)) return false;
  paper = WideToUtf8(file.data());
  return true;
}
