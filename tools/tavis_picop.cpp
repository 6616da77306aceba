// Developer tool: decodes a picture through the format registry, runs one picture operation or
// colour reduction on it and writes the result as a BMP file (the picture's own BMP image).
// The benchmarks drive the operations through it, as a whole process.
//
//   tavis_picop OPERATION FILE OUT.bmp
//     reduce:N        ReduceOptimalDithered to N colours
//     onepass:N       ReduceOnePass to N colours
//     resize:WxH[:M]  ResizeImage to W x H with mode M (default 1, smooth)
//     rotate:N        RotateImage by N quarter turns
//     save:FORMAT[,OPTION...]  the save pipeline as the picture window's Save runs it, OUT in
//                     that format: gif pcx bmp tga tif jpg png; options q=N (JPEG quality, 75),
//                     c (compressed), i (interlaced or progressive), colors=N (colour code,
//                     default the picture's own)
// Exit codes: 0 done, 1 not a picture, 2 decode or operation failed, 3 usage or output failure.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/Quantize.h"
#include "imaging/uGraphic.h"
#include "imaging/uImageOps.h"
#include "viewers/picture/uSavePicture.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: tavis_picop reduce:N|onepass:N|resize:WxH[:M]|rotate:N|save:FORMAT[,...] FILE OUT\n");
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

// The save pipeline with the options of spec ("png,c"); false for a spec it does not know.
bool Save(const std::string& spec, tGraphicID& id, const std::string& out, std::string& error) {
  std::stringstream in(spec);
  std::string format;
  std::getline(in, format, ',');
  TSaveOptions o;
  o.Format = -1;
  for (int f = 0; f <= 6; ++f)
    if (SaveExtension(f) == format) o.Format = f;
  if (o.Format < 0) return false;
  o.Transparent = -1;
  o.Width = id.Bitmap->Width();
  o.Height = id.Bitmap->Height();
  o.Colors = id.Bitmap->ColorCount();
  o.SourceGrey = id.GrayFlag;
  for (std::string opt; std::getline(in, opt, ',');) {
    if (opt.rfind("q=", 0) == 0)
      o.JpegQuality = std::atoi(opt.c_str() + 2);
    else if (opt == "c")
      o.Compressed = 1;
    else if (opt == "i")
      o.Interlaced = 1;
    else if (opt.rfind("colors=", 0) == 0)
      o.Colors = std::atoi(opt.c_str() + 7);
    else
      return false;
  }
  tSaveResult r = SavePicture(id, out, o, tSaveAdjustments{}, scWhole, TRect{});
  error = r.Error;
  return true;
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
  const std::string op = argv[1];
  if (op.rfind("save:", 0) == 0) {
    std::string error;
    if (!Save(op.substr(5), id, argv[3], error)) return Usage();
    if (error.empty()) return 0;
    std::fprintf(stderr, "%s: %s\n", argv[3], error.c_str());
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
