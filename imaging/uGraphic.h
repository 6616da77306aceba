// The format registry and the per-file decoding object. Every picture passes through one
// tGraphicID: it asks the registered handlers in a fixed order whether they know the data, then
// drives the winning handler, which fills a tMemBmp and reports to a window by messages.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "imaging/uMemBmp.h"

// Format numbers (tGraphicID::FormatId).
enum : uint8_t {
  fmtGIF = 0,
  fmtRLE,
  fmtMAC,
  fmtPCX,
  fmtPIC,
  fmtHLO,
  fmtRIX,
  fmtTGA,
  fmtLBM,
  fmtBMP,
  fmtTIF,
  fmtIMG,
  fmtJPG,
  fmtRIP,
  fmtPBM,
  fmtPNG,
  fmtICO,
  fmtWMF,
  fmtNone
};

// Picture error codes (tGraphicID::ErrorCode).
enum : int32_t {
  errBadBlockId = 1,
  errBadMinCode,
  errEndOfFile,
  errInterlaceOverrun,
  errSequentialOverrun,
  errBadCode,
  errInvalidImage,
  errRunLength,
  errUnknownCompression,
  errInsufficientMemory,
  errDiskFull,
  errFileDamaged,
  errUnsupportedColorSpace
};

// Decoder messages, sent to tGraphicID::NotifyWindow.
constexpr unsigned WM_GRAPHIC_PROGRESS = 1024 + 90;
constexpr unsigned WM_GRAPHIC_PAUSE = 1024 + 91;
constexpr unsigned WM_GRAPHIC_DONE = 1024 + 92;
constexpr unsigned WM_GRAPHIC_DELAY = 1024 + 96;

// Decoder options shared by the handlers and the windows.
constexpr uint16_t goDisplayInterlace = 1;
constexpr uint16_t goHighQuality = 2;
constexpr uint16_t goStandardAspect = 4;
extern uint16_t GraphicOptions;

// Picture size limits.
constexpr int kMaxPaletteSide = 30000;
constexpr int kMaxTrueColorSide = 10000;

std::string FormatName(int formatId);
std::string ErrorName(int code);
bool CheckPictureSize(int width, int height, int colors);
bool ValidPictureSize(int width, int height, int colors);
bool SpanFits(int start, int end);
// Replaces "\r\n", "\n\r", "\r" and "\n", searched in that order, by c.
std::string NormalizeLineBreaks(const std::string& text, char c);

// A handler's private state between Identify and Load.
struct tCodecState {
  virtual ~tCodecState() = default;
};

class tGraphicID;
using tGraphicProc = void (*)(tGraphicID&);

// One registered format: identify, decode the first image, decode the next image.
struct tGraphicFile {
  tGraphicProc Identify;
  tGraphicProc Load;
  tGraphicProc Next;
};

const std::vector<tGraphicFile>& GraphicFiles();
void RegisterFormat(tGraphicProc identify, tGraphicProc load, tGraphicProc next);
void RegisterAllFormats();
void UnregisterAllFormats();
// The metafile reader plays metafiles through the platform's drawing, so only the Win32 build
// has one: it installs the handler here before RegisterAllFormats, which then puts it at its
// place in the order. Without a handler metafiles stay unidentified. Null removes it.
void SetMetafileHandler(const tGraphicFile* handler);
// The Next of single-image formats.
void NoNextImage(tGraphicID& id);

class tGraphicID {
 public:
  // Filters applied by RemarksText: lines starting with the first are skipped, the first
  // occurrence of the second is deleted from each line. Empty: no filter.
  static inline std::string RemarkSkipText;
  static inline std::string RemarkDeleteText;

  // The stream stays the caller's until a format is identified; then this object owns it.
  explicit tGraphicID(tBuffStream* stream);
  ~tGraphicID();
  tGraphicID(const tGraphicID&) = delete;
  tGraphicID& operator=(const tGraphicID&) = delete;

  tBuffStream* Stream = nullptr;
  std::string FileName;
  std::unique_ptr<tMemBmp> Bitmap;
  std::vector<uint8_t> SavedBits;
  intptr_t NotifyWindow = 0;
  std::unique_ptr<tCodecState> CodecState;
  uint8_t FormatId = fmtNone;
  std::string FormatName;
  std::string SubType;
  std::vector<std::string> Info;
  uint16_t AspectX = 0, AspectY = 0;
  uint16_t DisplayWidth = 0, DisplayHeight = 0;
  uint16_t Width = 0, Height = 0;
  uint16_t BitsPerPixel = 0;
  uint16_t Colors = 0;
  uint16_t IdentWidth = 0, IdentHeight = 0, IdentBits = 0, IdentColors = 0;
  uint16_t ImageCount = 0;
  uint16_t Gamma = 0;
  uint16_t Work0 = 0, Work1 = 0, RowsDone = 0, Work3 = 0;
  uint8_t GrayFlag = 0;
  uint8_t InfoOff = 0;
  uint8_t Busy = 0;
  uint8_t Done = 0;
  uint8_t Abort = 0;
  uint8_t Loop = 0;
  uint32_t HandlerWord = 0;
  int32_t HandlerIndex = -1;
  int32_t StopPosition = 0;
  int32_t WarningCode = 0;
  int32_t ErrorCode = 0;
  uint8_t BackgroundIndex = 0;
  uint8_t Palette[768] = {};
  uint8_t SavedPalette[768] = {};
  uint8_t HasPalette = 0;
  uint8_t HandlerByte = 0;
  uint32_t BackgroundColor = 0x20000000;
  std::string ErrorText;
  uint32_t Delay = 0;
  uint8_t WaitForInput = 0;
  double Deadline = 0;
  // Set before identifying: a reader that can decode at a reduced scale (JPEG, by its DCT
  // scaling) makes the picture at the smallest such scale that keeps at least this many pixels
  // on each side. Width and Height stay the file's. 0: full size.
  int MinimumSide = 0;

  bool IdentifyPicture();
  void LoadPicture();
  void LoadNextPicture();
  void Replay();
  void FinishDecoding();
  void NotifyPartial();
  void NotifyImageDone();
  void NotifyDelay();
  void NotifyPause();
  void ResetState(int level);
  void SaveBits();
  void RestoreBits();
  int32_t GetStopPosition();
  void CloseStream();

  void ClearInfo();
  void StartInfo();
  void AddInfoLine(const std::string& line);

  std::string SizeText() const;
  std::string GetFormatName();
  void SetErrorText(const std::string& text);
  std::string ErrorLine();
  std::string InfoHeadline();

  void DetectAspect();
  void SetAspect(int x, int y);
  void ComputeDisplaySize();

  void ClearRemark();
  void AddRemarkChar(char c);
  void EndRemark();
  std::string RemarksText(const std::string& heading);
  // The comments as the user edited them: what RemarksText gives from now on, whatever the
  // remark lines held before.
  void SetRemarksText(const std::string& text);
  std::string FormatRemarks(const std::string& heading, int mode);
  bool HasRemarks() const;
  // Bytes of info and remark text a picture may still gather: a small file must not grow
  // hundreds of megabytes of text (compressed comments, many text entries pointing at the same
  // bytes). Text past the budget is dropped.
  static constexpr size_t kMaxTextBytes = size_t(4) << 20;
  size_t TextRoom() const { return kMaxTextBytes - std::min(kMaxTextBytes, textBytes_); }

 private:
  void Send(unsigned message, uintptr_t wparam);
  bool OpenMemoryCopy();

  std::string remark_;
  size_t textBytes_ = 0;  // info lines and the remark being gathered
  std::string remarksCache_;
  bool remarksCached_ = false;
  bool stopRecorded_ = false;
  int32_t identBase_ = 0;
};
