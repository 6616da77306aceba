#include "imaging/uGraphic.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gHLO.h"
#include "imaging/formats/gICO.h"
#include "imaging/formats/gIMG.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gLBM.h"
#include "imaging/formats/gMAC.h"
#include "imaging/formats/gPBM.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gPIC.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gRIP.h"
#include "imaging/formats/gRIX.h"
#include "imaging/formats/gRLE.h"
#include "imaging/formats/gTGA.h"
#include "imaging/formats/gTIF.h"

uint16_t GraphicOptions = 0;

namespace {

const tGraphicFile* metafileHandler = nullptr;

std::vector<tGraphicFile>& FormatList() {
  static std::vector<tGraphicFile> list;
  return list;
}

const char* const kFormatNames[] = {"CompuServe GIF",
                                    "CompuServe RLE",
                                    "MacPaint",
                                    "PC Paintbrush PCX",
                                    "PC Paint/Pictor",
                                    "Dr. Halo",
                                    "Rix",
                                    "Targa",
                                    "IFF/ILBM/HAM",
                                    "BitMaP",
                                    "Tiff",
                                    "GEM/Ventura IMG",
                                    "JPEG",
                                    "RIP Icon",
                                    "PBMPLUS",
                                    "PNG",
                                    "Windows icon",
                                    "Windows metafile",
                                    "Not a graphic"};

const char* const kErrorNames[] = {
    "Bad Block ID",           "Bad MinCde",         "End Of File",
    "Interlace Overrun",      "Sequential Overrun", "Bad Code",
    "Invalid Image",          "Run Length Error",   "Unknown Compression",
    "Insufficient Memory",    "Disk full?",         "File damaged",
    "Unsupported color space"};

struct tDisplayMode {
  int width, height, x, y;
};
constexpr tDisplayMode kDisplayModes[] = {
    {320, 200, 6, 5},   {320, 400, 3, 5}, {360, 480, 9, 16},   {640, 200, 12, 5},
    {640, 350, 48, 35}, {640, 400, 6, 5}, {1280, 1024, 15, 16}};

std::string Cut255(std::string s) {
  if (s.size() > 255) s.resize(255);
  return s;
}

// An info line: its kind letter, then the text. (Built by append: GCC 12 warns falsely about
// "x" + text on 32-bit targets.)
std::string Line(char kind, const std::string& text) {
  std::string line(1, kind);
  line += text;
  return line;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void RightTrim(std::string& s) {
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.pop_back();
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
    s.replace(pos, from.size(), to);
}

}  // namespace

std::string FormatName(int formatId) {
  return formatId >= 0 && formatId <= fmtNone ? kFormatNames[formatId] : "";
}

std::string ErrorName(int code) { return code >= 1 && code <= 13 ? kErrorNames[code - 1] : ""; }

bool CheckPictureSize(int width, int height, int colors) {
  int limit = colors <= 256 ? kMaxPaletteSide : kMaxTrueColorSide;
  return width <= limit && height <= limit;
}

bool ValidPictureSize(int width, int height, int colors) {
  return width > 0 && height > 0 && CheckPictureSize(width, height, colors);
}

bool SpanFits(int start, int end) { return end > start && start <= 10000; }

std::string NormalizeLineBreaks(const std::string& text, char c) {
  std::string s = text, to(1, c);
  for (const char* from : {"\r\n", "\n\r", "\r", "\n"}) ReplaceAll(s, from, to);
  return s;
}

const std::vector<tGraphicFile>& GraphicFiles() { return FormatList(); }

void RegisterFormat(tGraphicProc identify, tGraphicProc load, tGraphicProc next) {
  FormatList().push_back({identify, load, next});
}

void RegisterAllFormats() {
  FormatList().clear();
  // The order is the order of identification: BMP, ICO, GIF, PNG, TGA, RLE, MAC, PBM, IMG, RIP,
  // RIX, PIC, PCX, HLO, LBM, TIF, WMF, JPG. Each format unit's Register call goes in its place.
  RegisterBMP();
  RegisterICO();
  RegisterGIF();
  RegisterPNG();
  RegisterTGA();
  RegisterRLE();
  RegisterMAC();
  RegisterPBM();
  RegisterIMG();
  RegisterRIP();
  RegisterRIX();
  RegisterPIC();
  RegisterPCX();
  RegisterHLO();
  RegisterLBM();
  RegisterTIF();
  // Metafiles come after TIF and before JPG (the Win32 build installs their handler).
  if (metafileHandler) FormatList().push_back(*metafileHandler);
  RegisterJPG();
}

void SetMetafileHandler(const tGraphicFile* handler) { metafileHandler = handler; }

void UnregisterAllFormats() {
  FormatList().clear();
  FormatList().shrink_to_fit();
}

void NoNextImage(tGraphicID& id) { id.Done = 1; }

tGraphicID::tGraphicID(tBuffStream* stream) : Stream(stream) {
  if (stream) FileName = stream->Name;
}

tGraphicID::~tGraphicID() {
  if (FormatId != fmtNone) delete Stream;
}

bool tGraphicID::IdentifyPicture() {
  if (!Stream || !Stream->HasStream()) return false;
  ResetState(0);
  ImageCount = 0;
  HandlerIndex = -1;
  StartInfo();
  const std::vector<tGraphicFile>& list = FormatList();
  for (int32_t base : {0, 128}) {
    if (FormatId != fmtNone) break;
    Stream->SetBase(base);
    if (Stream->Base != base) continue;
    for (size_t i = 0; i < list.size() && FormatId == fmtNone; ++i) {
      try {
        list[i].Identify(*this);
      } catch (const std::bad_alloc&) {
        // The format is known but its picture cannot be had; Load reports it.
        if (FormatId != fmtNone) ErrorCode = errInsufficientMemory;
        Bitmap.reset();
      }
      if (FormatId != fmtNone) HandlerIndex = static_cast<int32_t>(i);
    }
  }
  if (FormatId == fmtNone) {
    Stream->SetBase(0);
    Bitmap.reset();
    CodecState.reset();
    return false;
  }
  identBase_ = Stream->Base;
  if (!Bitmap) Bitmap = std::make_unique<tMemBmp>();
  ResetState(1);
  AddInfoLine(Line('b', InfoHeadline()));
  if (Stream->Base > 0) AddInfoLine(Format("%sMacBinary header (skipped)", {"b"}));
  DetectAspect();
  if (AspectX + AspectY > 2)
    AddInfoLine(
        Format("%sAspect %d:%d (%dx%d)", {"b", AspectX, AspectY, DisplayWidth, DisplayHeight}));
  if (FormatId == fmtGIF || FormatId == fmtJPG)
    AddInfoLine(
        Format("%s<img width=%d height=%d src=\"%s\">", {"m", Width, Height, BaseName(FileName)}));
  return true;
}

void tGraphicID::LoadPicture() {
  if (HandlerIndex <= -1) return;
  Done = 0;
  Abort = 0;
  WarningCode = 0;
  Busy = 1;
  if (!Bitmap || !Bitmap->HasLayout()) {
    // Identification could not lay out the picture: nothing to decode into.
    if (!ErrorCode) ErrorCode = errInsufficientMemory;
    FinishDecoding();
  } else {
    try {
      FormatList()[HandlerIndex].Load(*this);
    } catch (const std::bad_alloc&) {
      ErrorCode = errInsufficientMemory;
      if (Stream) FinishDecoding();
    }
  }
  if (Bitmap) Bitmap->Blank = 0;
  Busy = 0;
}

void tGraphicID::LoadNextPicture() {
  if (HandlerIndex <= -1) return;
  if (Abort) {
    FinishDecoding();
    return;
  }
  Busy = 1;
  try {
    FormatList()[HandlerIndex].Next(*this);
  } catch (const std::bad_alloc&) {
    ErrorCode = errInsufficientMemory;
    Done = 1;
    Loop = 0;
  }
  Busy = 0;
  if (!Done) return;
  if (!Loop) {
    FinishDecoding();
  } else {
    ErrorCode = 0;
    LoadPicture();
  }
}

bool tGraphicID::OpenMemoryCopy() {
  std::unique_ptr<TStream> file = OpenFileStream(FileName);
  if (!file) return false;
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (int32_t n; (n = file->Read(chunk, sizeof chunk)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + n);
  delete Stream;
  Stream = new tBuffStream(FileName, std::make_unique<TMemoryStream>(std::move(bytes)), false);
  Stream->SetBase(identBase_);
  stopRecorded_ = false;
  StopPosition = 0;
  return true;
}

void tGraphicID::Replay() {
  if (HandlerIndex <= -1) return;
  Loop = 1;
  if (!OpenMemoryCopy()) {
    ErrorCode = errEndOfFile;
    Loop = 0;
    FinishDecoding();
    return;
  }
  InfoOff = 1;
  ErrorCode = 0;
  LoadPicture();
}

void tGraphicID::FinishDecoding() {
  CloseStream();
  if (ErrorCode != 0) AddInfoLine(Line('k', ErrorLine()));
  Send(WM_GRAPHIC_DONE, 0);
}

void tGraphicID::Send(unsigned message, uintptr_t wparam) {
  if (NotifyWindow > 0) Platform().SendWindowMessage(NotifyWindow, message, wparam, 0);
}

void tGraphicID::NotifyPartial() {
  if (GraphicOptions & goDisplayInterlace) Send(WM_GRAPHIC_PROGRESS, 1);
}

void tGraphicID::NotifyImageDone() {
  ++ImageCount;
  Send(WM_GRAPHIC_PROGRESS, 0);
}

void tGraphicID::NotifyDelay() { Send(WM_GRAPHIC_DELAY, 0); }
void tGraphicID::NotifyPause() { Send(WM_GRAPHIC_PAUSE, 0); }

void tGraphicID::ResetState(int level) {
  if (level == 0) {
    FormatId = fmtNone;
    ErrorCode = WarningCode = 0;
    Abort = 0;
    Gamma = 0;
    BackgroundIndex = 0;
    level = 2;
  }
  if (level == 1) {
    IdentWidth = Width;
    IdentHeight = Height;
    IdentBits = BitsPerPixel;
    IdentColors = Colors;
    std::memcpy(SavedPalette, Palette, sizeof Palette);
    HandlerByte = 0;
    Work0 = Work1 = RowsDone = Work3 = 0;
  }
  if (level == 2) {
    Delay = 0;
    WaitForInput = 0;
  }
}

void tGraphicID::SaveBits() {
  if (!Bitmap || !Bitmap->HasLayout()) return;
  SavedBits.assign(Bitmap->Bits, Bitmap->Bits + Bitmap->ImageSize);
}

void tGraphicID::RestoreBits() {
  if (Bitmap && Bitmap->HasLayout())
    std::memcpy(Bitmap->Bits, SavedBits.data(),
                std::min<size_t>(SavedBits.size(), Bitmap->ImageSize));
  SavedBits.clear();
  SavedBits.shrink_to_fit();
}

int32_t tGraphicID::GetStopPosition() {
  if (!stopRecorded_ && Stream) {
    StopPosition = Stream->Position();
    stopRecorded_ = true;
  }
  return StopPosition;
}

void tGraphicID::CloseStream() {
  if (!Stream) return;
  GetStopPosition();
  delete Stream;
  Stream = nullptr;
}

void tGraphicID::ClearInfo() {
  Info.clear();
  InfoOff = 0;
  textBytes_ = remark_.size();
}

void tGraphicID::StartInfo() {
  ClearInfo();
  AddInfoLine(Line('k', FileName));
}

void tGraphicID::AddInfoLine(const std::string& line) {
  if (InfoOff || line.size() > TextRoom()) return;
  Info.push_back(line);
  textBytes_ += line.size();
}

std::string tGraphicID::SizeText() const { return ImageSizeText(Width, Height, Colors); }

std::string tGraphicID::GetFormatName() {
  if (FormatName.empty()) FormatName = ::FormatName(FormatId);
  return FormatName;
}

void tGraphicID::SetErrorText(const std::string& text) { ErrorText = Cut255(text); }

std::string tGraphicID::ErrorLine() {
  if (!ErrorText.empty()) return ErrorText;
  if (ErrorCode < 1) return "";
  return Format("%s at %d", {ErrorName(ErrorCode), GetStopPosition()});
}

std::string tGraphicID::InfoHeadline() {
  return Cut255(Format("%s %s %s", {SizeText(), GetFormatName(), SubType}));
}

void tGraphicID::DetectAspect() {
  if (!(GraphicOptions & goStandardAspect)) {
    AspectX = AspectY = 1;
  } else {
    int sw = 0, sh = 0;
    Platform().ScreenSize(sw, sh);
    if (Width == sw && Height == sh) {
      AspectX = AspectY = 1;
    } else {
      for (const tDisplayMode& m : kDisplayModes)
        if (Width == m.width && Height == m.height) {
          AspectX = static_cast<uint16_t>(m.x);
          AspectY = static_cast<uint16_t>(m.y);
          break;
        }
    }
  }
  ComputeDisplaySize();
}

void tGraphicID::SetAspect(int x, int y) {
  while (x > 16384 || y > 16384) x /= 2, y /= 2;
  AspectX = static_cast<uint16_t>(std::max(1, x));
  AspectY = static_cast<uint16_t>(std::max(1, y));
  ComputeDisplaySize();
}

void tGraphicID::ComputeDisplaySize() {
  auto scaled = [](int size, int mul, int div) {
    int64_t v = (int64_t(size) * mul + div / 2) / div;
    return static_cast<uint16_t>(std::min<int64_t>(v, 0xFFFF));
  };
  if (AspectX + AspectY < 3) {
    DisplayWidth = Width;
    DisplayHeight = Height;
  } else if (AspectY >= AspectX) {
    DisplayWidth = scaled(Width, AspectY, std::max<int>(AspectX, 1));
    DisplayHeight = Height;
  } else {
    DisplayWidth = Width;
    DisplayHeight = scaled(Height, AspectX, std::max<int>(AspectY, 1));
  }
}

void tGraphicID::ClearRemark() {
  textBytes_ -= std::min(textBytes_, remark_.size());
  remark_.clear();
}

void tGraphicID::AddRemarkChar(char c) {
  if (c != '\0' && c != '\x1A') {
    if (TextRoom() > 0) {
      remark_ += c;
      ++textBytes_;
    }
    return;
  }
  if (!remark_.empty()) {
    // The remark's bytes were counted as they came, so its line goes in whatever room is left.
    std::string line = Line('r', remark_);
    textBytes_ += line.size() - remark_.size();
    if (!InfoOff) Info.push_back(std::move(line));
    remark_.clear();
  }
}

void tGraphicID::EndRemark() { AddRemarkChar('\x1A'); }

bool tGraphicID::HasRemarks() const {
  return std::any_of(Info.begin(), Info.end(), [](const std::string& line) {
    return !line.empty() && (line[0] == 'R' || line[0] == 'r');
  });
}

std::string tGraphicID::RemarksText(const std::string& heading) {
  if (remarksCached_) return remarksCache_;
  std::string text;
  bool first = true, brokeLine = false;
  for (const std::string& line : Info) {
    if (line.empty() || (line[0] != 'R' && line[0] != 'r')) continue;
    std::string t = line.substr(1);
    if (t.rfind("Created ", 0) == 0) continue;
    if (!RemarkSkipText.empty() && t.rfind(RemarkSkipText, 0) == 0) continue;
    if (!heading.empty()) {
      size_t pos = t.find(heading);
      if (pos != std::string::npos) t.erase(pos, heading.size());
    }
    if (!RemarkDeleteText.empty()) {
      size_t pos = t.find(RemarkDeleteText);
      if (pos != std::string::npos) t.erase(pos, RemarkDeleteText.size());
    }
    if (!first && !brokeLine) text += "\r\n";
    text += t;
    brokeLine = !t.empty() && (t.back() == '\r' || t.back() == '\n');
    first = false;
  }
  remarksCache_ = text;
  remarksCached_ = true;
  return text;
}

void tGraphicID::SetRemarksText(const std::string& text) {
  remarksCache_ = text;
  remarksCached_ = true;
}

std::string tGraphicID::FormatRemarks(const std::string& heading, int mode) {
  std::string s = RemarksText(heading);
  if (mode == 0 || mode == 5) s = heading + "\r\n" + s;
  RightTrim(s);
  if (!s.empty()) {
    if (mode == 0 || mode == 5) {
      s += "\r\n";
    } else if (mode == 4) {
      s = NormalizeLineBreaks(s, '\0') + " ";
    } else if (mode == 6) {
      s = NormalizeLineBreaks(s, '\n') + "\n";
    }
  }
  return s;
}
