// Developer tool: decodes a picture through the format registry, runs one picture operation or
// colour reduction on it and writes the result as a BMP file (the picture's own BMP image).
// The benchmarks drive the operations through it, as a whole process.
//
//   tavis_picop OPERATION FILE OUT.bmp
//     reduce:N        ReduceOptimalDithered to N colours
//     onepass:N       ReduceOnePass to N colours
//     resize:WxH[:M]  ResizeImage to W x H with mode M (default 1, smooth)
//     rotate:N        RotateImage by N quarter turns
// Exit codes: 0 done, 1 not a picture, 2 decode or operation failed, 3 usage or output failure.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/Quantize.h"
#include "imaging/uGraphic.h"
#include "imaging/uImageOps.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: tavis_picop reduce:N|onepass:N|resize:WxH[:M]|rotate:N FILE OUT.bmp\n");
  return 3;
}

tMemBmpPtr Run(const std::string& op, tMemBmp& picture) {
  size_t colon = op.find(':');
  std::string name = op.substr(0, colon),
              arg = colon == std::string::npos ? "" : op.substr(colon + 1);
  if (name == "reduce") return ReduceOptimalDithered(picture, std::atoi(arg.c_str()));
  if (name == "onepass") return ReduceOnePass(picture, std::atoi(arg.c_str()));
  if (name == "rotate") return RotateImage(picture, std::atoi(arg.c_str()));
  if (name == "resize") {
    int w = 0, h = 0, mode = 1;
    if (std::sscanf(arg.c_str(), "%dx%d:%d", &w, &h, &mode) < 2) return nullptr;
    return ResizeImage(picture, w, h, mode);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  RegisterAllFormats();
  std::unique_ptr<TStream> file = OpenFileStream(argv[2]);
  if (!file) {
    std::fprintf(stderr, "cannot open %s\n", argv[2]);
    return 3;
  }
  auto* stream = new tBuffStream(argv[2], std::move(file), false);
  tGraphicID id(stream);
  if (!id.IdentifyPicture()) {
    delete stream;
    std::fprintf(stderr, "%s: not a picture\n", argv[2]);
    return 1;
  }
  id.LoadPicture();  // no window to notify: the first image decodes at once
  id.CloseStream();
  if (id.ErrorCode || !id.Bitmap || !id.Bitmap->HasLayout()) {
    std::fprintf(stderr, "%s: %s\n", argv[2], id.ErrorLine().c_str());
    return 2;
  }
  tMemBmpPtr out;
  try {
    out = Run(argv[1], *id.Bitmap);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
    return 2;
  }
  if (!out) return Usage();
  FILE* f = std::fopen(argv[3], "wb");
  bool ok = f && std::fwrite(out->Image(), 1, out->FileSize, f) == out->FileSize;
  if (f) ok = std::fclose(f) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 3;
  }
  return 0;
}
