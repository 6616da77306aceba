// Developer tool: identifies a picture file through the format registry, decodes it (the first
// image, image N or all of them), prints the information lines and writes the picture as
// PPM/PAM or through one of our writers. Tests and benchmarks drive the readers through it.
//
//   tavis_decode [-i] [--info] [-n N | -a] [-o OUT] [-w WRITER] FILE
//     -i         identify only: print the information lines, decode nothing
//     --info     print the information lines after decoding
//     -n N       write image N (counted from 1; default 1)
//     -a         write every image; OUT gets "-N" before its extension
//     -o OUT     output file, "-" for standard output; ".pam" writes RGBA PAM, else PPM
//     -w WRITER  write OUT with a writer instead: bmp:BITS[:rle][:os2],
//                gif[:i][:t=INDEX][:b=INDEX][:c=COMMENT] (interlaced, transparent, background),
//                png[:i][:fFILTER][:gGAMMA][:cCOMMENT] (i interlaced, filter 0..5, gamma x 100)
//                tif[:BITS][:lzw][:ccitt][:DESCRIPTION]
//                jpeg:QUALITY[:progressive][:comment=TEXT],
//                tga:BITS[:rle][:top] or pcx
// Exit codes: 0 decoded, 1 not a picture, 2 decoded with an error, 3 usage or output failure.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uIdentity.h"
#include "foundation/uPlatform.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gTIF.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gTGA.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

namespace {

struct tOptions {
  bool identifyOnly = false, info = false, all = false;
  int image = 1;
  std::string output, writer, file;
};

// A writer of ours, by name, with its option words.
struct tWriter {
  const char* name;
  std::function<bool(tMemBmp&, tBuffStream&, const std::vector<std::string>&)> write;
};

bool WriteBmpWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  int bits = 24;
  bool rle = false, os2 = false;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "rle") {
      rle = true;
    } else if (words[i] == "os2") {
      os2 = true;
    } else {
      bits = std::atoi(words[i].c_str());
    }
  }
  WriteBMP(picture, stream, os2, rle, bits);
  return true;
}

bool WritePngWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  uint8_t interlaced = 0, filter = 5;
  int gamma = 0;
  std::string comment;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "i") {
      interlaced = 1;
    } else if (w.size() > 1 && w[0] == 'f') {
      filter = static_cast<uint8_t>(std::atoi(w.c_str() + 1));
    } else if (w.size() > 1 && w[0] == 'g') {
      gamma = std::atoi(w.c_str() + 1);
    } else if (!w.empty() && w[0] == 'c') {
      comment = w.substr(1);
    }
  }
  WritePNG(picture, stream, ProgramNameAndVersion(), comment, interlaced, filter, gamma);
  return true;
}

// tif:BITS[:lzw][:ccitt][:DESCRIPTION...]
bool WriteTifWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  int bits = picture.BitCount();
  bool compressed = false, ccitt = false;
  std::string description;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "lzw") {
      compressed = true;
    } else if (words[i] == "ccitt") {
      ccitt = compressed = true;
    } else if (!words[i].empty() && std::isdigit(static_cast<unsigned char>(words[i][0]))) {
      bits = std::atoi(words[i].c_str());
    } else {
      description = words[i];
    }
  }
  WriteTIFF(picture, stream, description, bits, ccitt, true, compressed);
  return true;
}

bool WriteJpegWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  int quality = 75;
  bool progressive = false;
  std::string comment;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "progressive") {
      progressive = true;
    } else if (words[i].rfind("comment=", 0) == 0) {
      comment = words[i].substr(8);
    } else {
      quality = std::atoi(words[i].c_str());
    }
  }
  try {
    WriteJPEG(picture, stream, comment, quality, progressive);
  } catch (const JPEGerror& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
  return true;
}

bool WriteGifWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  bool interlaced = false;
  int transparent = -1, background = 0;
  std::string comment;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w == "i") {
      interlaced = true;
    } else if (w.rfind("t=", 0) == 0) {
      transparent = std::atoi(w.c_str() + 2);
    } else if (w.rfind("b=", 0) == 0) {
      background = std::atoi(w.c_str() + 2);
    } else if (w.rfind("c=", 0) == 0) {
      comment = w.substr(2);
    }
  }
  try {
    WriteGIF(picture, stream, comment, transparent, background, interlaced);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
  return true;
}

bool WriteTgaWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>& words) {
  int bits = 24;
  bool rle = false, top = false;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "rle") {
      rle = true;
    } else if (words[i] == "top") {
      top = true;
    } else {
      bits = std::atoi(words[i].c_str());
    }
  }
  WriteTGA(picture, stream, rle, bits, top);
  return true;
}

bool WritePcxWith(tMemBmp& picture, tBuffStream& stream, const std::vector<std::string>&) {
  WritePCX(picture, stream);
  return true;
}

const tWriter kWriters[] = {
    {"bmp", WriteBmpWith},
    {"gif", WriteGifWith},
    {"png", WritePngWith},
    {"tif", WriteTifWith},
    {"jpeg", WriteJpegWith},
    {"tga", WriteTgaWith},
    {"pcx", WritePcxWith},
};

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t pos; (pos = s.find(sep, start)) != std::string::npos; start = pos + 1)
    out.push_back(s.substr(start, pos - start));
  out.push_back(s.substr(start));
  return out;
}

std::string NumberedName(const std::string& name, int n) {
  if (name == "-") return name;
  size_t dot = name.find_last_of('.');
  size_t slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = name.size();
  return name.substr(0, dot) + "-" + std::to_string(n) + name.substr(dot);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Blue-green-red pixels to red-green-blue, five pixels per 16-byte shuffle where the processor
// has one: the conversion is most of the work of writing a big true-colour picture.
typedef uint8_t tBytes16 __attribute__((vector_size(16)));
#if defined(__x86_64__) && defined(__linux__)
__attribute__((target_clones("ssse3", "default")))
#endif
void BgrToRgb(const uint8_t* in, uint8_t* out, size_t pixels) {
  const tBytes16 order = {2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15};
  size_t i = 0;
  // Each step reads and writes 16 bytes; the 16th is rewritten by the next step.
  for (; i + 6 <= pixels; i += 5) {
    tBytes16 v;
    std::memcpy(&v, in + i * 3, 16);
    v = __builtin_shuffle(v, order);
    std::memcpy(out + i * 3, &v, 16);
  }
  for (; i < pixels; ++i) {
    out[i * 3] = in[i * 3 + 2], out[i * 3 + 1] = in[i * 3 + 1], out[i * 3 + 2] = in[i * 3];
  }
}

bool WriteNetpbm(tMemBmp& picture, const std::string& name) {
  const bool pam = EndsWith(name, ".pam");
  FILE* out = name == "-" ? stdout : std::fopen(name.c_str(), "wb");
  if (!out) return false;
  // Standard output got its buffer at the start: a stream's buffer may be set only before use.
  static char buffer[1 << 16];
  if (out != stdout) std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
  const int width = picture.Width(), height = picture.Height();
  if (pam) {
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 width, height);
  } else {
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
  }
  std::vector<uint8_t> rgba(pam ? size_t(width) * 4 : 0);
  const int transparent = picture.BitCount() <= 8 ? picture.TransparentIndex : -1;
  // PPM rows are gathered in large blocks: fewer, bigger writes for big pictures. The block is
  // kept for the next image of an animation.
  static std::vector<uint8_t> block;
  const size_t rowBytes = size_t(width) * 3;
  const size_t blockRows =
      std::clamp<size_t>((1 << 17) / std::max<size_t>(rowBytes, 1), 1, std::max(height, 1));
  if (!pam && block.size() < rowBytes * blockRows) block.resize(rowBytes * blockRows);
  size_t filled = 0;
  for (int y = 0; y < height; ++y) {
    if (!pam) {
      uint8_t* dest = block.data() + filled * rowBytes;
      if (picture.BitCount() == 24) {
        BgrToRgb(picture.ScanLine(y), dest, static_cast<size_t>(width));
      } else {
        std::memcpy(dest, picture.GetRGBLineSwapped(y), rowBytes);
      }
      if (++filled == blockRows || y == height - 1) {
        std::fwrite(block.data(), rowBytes, filled, out);
        filled = 0;
      }
      continue;
    }
    const uint8_t* rgb = picture.GetRGBLineSwapped(y);
    const uint8_t* index = transparent >= 0 ? picture.GetByteLine(y) : nullptr;
    for (int x = 0; x < width; ++x) {
      std::memcpy(&rgba[x * 4], rgb + x * 3, 3);
      rgba[x * 4 + 3] = index && index[x] == transparent ? 0 : 255;
    }
    std::fwrite(rgba.data(), 4, static_cast<size_t>(width), out);
  }
  bool ok = std::fflush(out) == 0 && !std::ferror(out);
  if (out != stdout) ok = std::fclose(out) == 0 && ok;
  return ok;
}

bool WriteWithWriter(tMemBmp& picture, const std::string& request, const std::string& name) {
  std::vector<std::string> words = Split(request, ':');
  for (const tWriter& w : kWriters) {
    if (words[0] != w.name) continue;
    std::unique_ptr<TStream> file = CreateFileStream(name);
    if (!file) return false;
    tBuffStream stream(name, std::move(file), true);
    if (!w.write(picture, stream, words)) return false;
    stream.Flush();
    return !stream.AtEnd;
  }
  std::fprintf(stderr, "unknown writer: %s\n", words[0].c_str());
  return false;
}

// Receives the decoder's messages as a picture window would.
class tToolPlatform : public tPlainPlatform {
 public:
  std::function<void()> OnImage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (message == WM_GRAPHIC_PROGRESS && wparam == 0 && OnImage) OnImage();
    return 0;
  }
};

int Usage() {
  std::fprintf(stderr, "usage: tavis_decode [-i] [--info] [-n N | -a] [-o OUT] [-w WRITER] FILE\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  static char outBuffer[1 << 16];
  std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
  tOptions opt;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-i") {
      opt.identifyOnly = true;
    } else if (a == "--info") {
      opt.info = true;
    } else if (a == "-a") {
      opt.all = true;
    } else if (a == "-n" && i + 1 < argc) {
      opt.image = std::atoi(argv[++i]);
    } else if (a == "-o" && i + 1 < argc) {
      opt.output = argv[++i];
    } else if (a == "-w" && i + 1 < argc) {
      opt.writer = argv[++i];
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      return Usage();
    } else {
      opt.file = a;
    }
  }
  if (opt.file.empty() || opt.image < 1) return Usage();

  RegisterAllFormats();
  std::unique_ptr<TStream> file = OpenFileStream(opt.file);
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", opt.file.c_str());
    return 3;
  }
  auto* stream = new tBuffStream(opt.file, std::move(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    delete stream;
    std::printf("%s: %s\n", opt.file.c_str(), FormatName(fmtNone).c_str());
    return 1;
  }
  auto printInfo = [&] {
    for (const std::string& line : id->Info) std::printf("%s\n", line.c_str());
  };
  if (opt.identifyOnly) {
    printInfo();
    return 0;
  }

  bool outputFailed = false;
  tToolPlatform platform;
  platform.OnImage = [&] {
    if (opt.output.empty() || !(opt.all || id->ImageCount == opt.image)) return;
    std::string name = opt.all ? NumberedName(opt.output, id->ImageCount) : opt.output;
    bool ok = opt.writer.empty() ? WriteNetpbm(*id->Bitmap, name)
                                 : WriteWithWriter(*id->Bitmap, opt.writer, name);
    outputFailed |= !ok;
  };
  SetPlatform(&platform);
  id->NotifyWindow = 1;
  id->LoadPicture();
  // Each call decodes one more image; a multi-image handler sets Done when none is left.
  for (int guard = 0; id->Stream && guard < 1000000; ++guard) {
    if (!opt.all && id->ImageCount >= opt.image) break;
    id->LoadNextPicture();
  }
  id->CloseStream();
  SetPlatform(nullptr);
  if (opt.info) printInfo();
  if (outputFailed) {
    std::fprintf(stderr, "cannot write %s\n", opt.output.c_str());
    return 3;
  }
  if (!opt.output.empty() && !opt.all && id->ImageCount < opt.image) {
    std::fprintf(stderr, "%s has %d image(s)\n", opt.file.c_str(), id->ImageCount);
    return 3;
  }
  return id->ErrorCode || !id->ErrorText.empty() ? 2 : 0;
}
