#include "framework/Printer.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstring>

#include "framework/Text.h"

namespace {

std::wstring DefaultPrinterName() {
  DWORD size = 0;
  GetDefaultPrinterW(nullptr, &size);
  if (size == 0) return L"";
  std::wstring name(size, L'\0');
  if (!GetDefaultPrinterW(name.data(), &size)) return L"";
  name.resize(wcslen(name.c_str()));
  return name;
}

// The printer's own default settings.
std::vector<uint8_t> DefaultSettings(const std::wstring& device) {
  std::vector<uint8_t> settings;
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(device.c_str()), &printer, nullptr)) return settings;
  const LONG size = DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(device.c_str()),
                                        nullptr, nullptr, 0);
  if (size > 0) {
    settings.assign(static_cast<size_t>(size), 0);
    auto* mode = reinterpret_cast<DEVMODEW*>(settings.data());
    if (DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(device.c_str()), mode, nullptr,
                            DM_OUT_BUFFER) != IDOK)
      settings.clear();
  }
  ClosePrinter(printer);
  return settings;
}

}  // namespace

TPrinter& Printer() {
  static TPrinter printer;
  return printer;
}

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() {
  if (printing_) Abort();
  FreeContext();
}

void TPrinter::SetDevice(const std::string& name, const DEVMODEW* settings) {
  FreeContext();
  device_ = Utf8ToWide(name);
  settings_.clear();
  if (settings) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(settings);
    settings_.assign(bytes, bytes + settings->dmSize + settings->dmDriverExtra);
  }
}

std::string TPrinter::DeviceName() {
  return WideToUtf8(device_.empty() ? DefaultPrinterName() : device_);
}

bool TPrinter::Available() { return !DeviceName().empty(); }

std::vector<uint8_t> TPrinter::Settings() {
  if (settings_.empty()) settings_ = DefaultSettings(Utf8ToWide(DeviceName()));
  return settings_;
}

TPrinterOrientation TPrinter::Orientation() {
  if (settings_.empty()) settings_ = DefaultSettings(Utf8ToWide(DeviceName()));
  if (settings_.empty()) return poPortrait;
  const auto* mode = reinterpret_cast<const DEVMODEW*>(settings_.data());
  return mode->dmOrientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  if (settings_.empty()) settings_ = DefaultSettings(Utf8ToWide(DeviceName()));
  if (settings_.empty()) return;
  auto* mode = reinterpret_cast<DEVMODEW*>(settings_.data());
  mode->dmFields |= DM_ORIENTATION;
  mode->dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  if (!printing_) FreeContext();  // the next context takes the new settings
}

HDC TPrinter::MakeContext(bool infoOnly) {
  const std::wstring device = device_.empty() ? DefaultPrinterName() : device_;
  if (device.empty()) return nullptr;
  const auto* mode = settings_.empty() ? nullptr : reinterpret_cast<const DEVMODEW*>(settings_.data());
  return infoOnly ? CreateICW(L"WINSPOOL", device.c_str(), nullptr, mode)
                  : CreateDCW(L"WINSPOOL", device.c_str(), nullptr, mode);
}

void TPrinter::FreeContext() {
  if (info_) DeleteDC(info_);
  info_ = nullptr;
}

int TPrinter::DeviceCaps(int index) {
  if (dc_) return GetDeviceCaps(dc_, index);
  if (!info_) info_ = MakeContext(true);
  return info_ ? GetDeviceCaps(info_, index) : 0;
}

bool TPrinter::BeginDoc() {
  if (printing_) return false;
  dc_ = MakeContext(false);
  if (!dc_) return false;
  const std::wstring title = Utf8ToWide(Title);
  const std::wstring output = Utf8ToWide(OutputFile);
  DOCINFOW info{};
  info.cbSize = sizeof info;
  info.lpszDocName = title.c_str();
  info.lpszOutput = output.empty() ? nullptr : output.c_str();
  if (StartDocW(dc_, &info) <= 0) {
    DeleteDC(dc_);
    dc_ = nullptr;
    return false;
  }
  StartPage(dc_);
  printing_ = true;
  aborted_ = false;
  page_ = 1;
  canvas_.SetHandle(dc_);
  canvas_.Font.SetPixelsPerInch(GetDeviceCaps(dc_, LOGPIXELSY));
  return true;
}

void TPrinter::NewPage() {
  if (!printing_) return;
  EndPage(dc_);
  StartPage(dc_);
  ++page_;
}

void TPrinter::EndDoc() {
  if (!printing_) return;
  canvas_.SetHandle(nullptr);
  EndPage(dc_);
  ::EndDoc(dc_);
  DeleteDC(dc_);
  dc_ = nullptr;
  printing_ = false;
}

void TPrinter::Abort() {
  if (!printing_) return;
  canvas_.SetHandle(nullptr);
  AbortDoc(dc_);
  DeleteDC(dc_);
  dc_ = nullptr;
  printing_ = false;
  aborted_ = true;
}

TPrinterText::~TPrinterText() { Close(); }

bool TPrinterText::Rewrite() {
  if (!printer_.BeginDoc()) return false;
  open_ = true;
  StartPage();
  return true;
}

void TPrinterText::StartPage() {
  y_ = 0;
  lineHeight_ = printer_.Canvas().TextHeight("X");
  if (lineHeight_ <= 0) lineHeight_ = 1;
}

void TPrinterText::WriteLine(const std::string& text) {
  if (!open_ || !printer_.Printing()) return;
  std::string line = text;
  if (!line.empty() && line[0] == '\f') {
    line.erase(0, 1);
    printer_.NewPage();
    StartPage();
  } else if (y_ + lineHeight_ > printer_.PageHeight()) {
    printer_.NewPage();
    StartPage();
  }
  TCanvas& canvas = printer_.Canvas();
  canvas.Brush.SetStyle(bsClear);
  canvas.TextOut(0, y_, line);
  y_ += lineHeight_;
}

void TPrinterText::Close() {
  if (!open_) return;
  open_ = false;
  printer_.EndDoc();
}

namespace {

// Moves settings into a global block for the dialogs, and back out of them.
HGLOBAL ToGlobal(const void* data, size_t size) {
  if (size == 0) return nullptr;
  HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, size);
  if (g) {
    std::memcpy(GlobalLock(g), data, size);
    GlobalUnlock(g);
  }
  return g;
}

void TakeChoice(HGLOBAL devNames, HGLOBAL devMode) {
  std::string device;
  if (devNames) {
    auto* names = static_cast<DEVNAMES*>(GlobalLock(devNames));
    device = WideToUtf8(reinterpret_cast<const wchar_t*>(names) + names->wDeviceOffset);
    GlobalUnlock(devNames);
  }
  const DEVMODEW* mode = devMode ? static_cast<const DEVMODEW*>(GlobalLock(devMode)) : nullptr;
  Printer().SetDevice(device, mode);
  if (devMode) GlobalUnlock(devMode);
}

bool RunPrintDlg(HWND owner, DWORD flags) {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = owner;
  pd.Flags = flags;
  pd.nCopies = 1;
  // The dialog starts from the printer's current settings (orientation included).
  const std::vector<uint8_t> settings = Printer().Settings();
  pd.hDevMode = ToGlobal(settings.data(), settings.size());
  const bool ok = PrintDlgW(&pd) != 0;
  if (ok) TakeChoice(pd.hDevNames, pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  return ok;
}

}  // namespace

bool TPrintDialog::Execute(HWND owner) {
  return RunPrintDlg(owner, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE);
}

bool TPrinterSetupDialog::Execute(HWND owner) { return RunPrintDlg(owner, PD_PRINTSETUP); }
