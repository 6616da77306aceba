#include "shell/uBatchConvert.h"

#include <exception>
#include <memory>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gTGA.h"
#include "imaging/formats/gTIF.h"
#include "imaging/uImageOps.h"
#include "viewers/picture/uSavePicture.h"

namespace {

tBatchSaver& DefaultSaver() {
  static tBatchSaver saver;
  return saver;
}

const char* ExtensionOf(int format) {
  static const char* const kExt[] = {".gif", ".pcx", ".bmp", ".tga", ".tif", ".jpg", ".png"};
  return format >= 0 && format <= 6 ? kExt[format] : nullptr;
}

std::string CommentOf(tGraphicID& decoder) {
  for (const std::string& line : decoder.Info)
    if (!line.empty() && (line[0] == 'R' || line[0] == 'r')) return line.substr(1);
  return "";
}

void WriteByFormat(tMemBmp& picture, tBuffStream& out, const TSaveOptions& o,
                   const std::string& comment) {
  const int bits = picture.BitCount();
  switch (o.Format) {
    case sfGIF:
      WriteGIF(picture, out, comment, o.Transparent, o.Background, o.Interlaced != 0);
      break;
    case sfPCX:
      WritePCX(picture, out);
      break;
    case sfBMP:
      WriteBMP(picture, out, o.BmpStyle == 2, o.BmpStyle == 1 && bits <= 8, bits);
      break;
    case sfTGA:
      WriteTGA(picture, out, o.Compressed != 0, bits, o.TopDown != 0);
      break;
    case sfTIF:
      WriteTIFF(picture, out, comment, bits, o.CCITT != 0 && bits == 1, o.TopDown != 0,
                o.Compressed != 0);
      break;
    case sfJPG:
      WriteJPEG(picture, out, comment, o.JpegQuality, o.Interlaced != 0);
      break;
    case sfPNG:
      WritePNG(picture, out, "", comment, o.Interlaced, 5, o.StorePngGamma ? o.PngGamma : 0);
      break;
    default:
      break;
  }
}

}  // namespace

bool BatchNeedResize(int batchSize, int width, int height, int batchWidth, int batchHeight) {
  switch (batchSize) {
    case bsShrinkLarger:
      return width > batchWidth || height > batchHeight;
    case bsRescaleAll:
      return width != batchWidth && height != batchHeight;
    default:
      return false;
  }
}

void BatchOutputSize(const TSaveOptions& o, int width, int height, int& outWidth,
                     int& outHeight) {
  outWidth = width;
  outHeight = height;
  if (o.BatchWidth < 1 || o.BatchHeight < 1) return;
  if (BatchNeedResize(o.BatchSize, width, height, o.BatchWidth, o.BatchHeight))
    FitRect(o.BatchWidth, o.BatchHeight, width, height, outWidth, outHeight);
}

tBatchSaveOutcome BatchSaveWithWriters(tGraphicID& decoder, const TSaveOptions& options) {
  tBatchSaveOutcome result;
  const char* ext = ExtensionOf(options.Format);
  if (!ext || !decoder.Bitmap || !decoder.Bitmap->HasLayout()) {
    result.Error = "nothing to save";
    return result;
  }
  tMemBmp* picture = decoder.Bitmap.get();
  tMemBmpPtr resized, direct;
  // A direct-colour code asks for 24 bits whatever the source held; GIF reduces by itself.
  if (options.Colors > 256 && options.Format != sfGIF && picture->BitCount() < 24) {
    direct = ConvertTo24Bit(*picture);
    if (direct) picture = direct.get();
  }
  if (options.Width > 0 && options.Height > 0 &&
      (options.Width != picture->Width() || options.Height != picture->Height())) {
    resized = ResizeImage(*picture, options.Width, options.Height, 1);
    if (resized) picture = resized.get();
  }
  const std::string source = decoder.FileName;
  const std::string base = source.substr(0, source.size() - ExtractFileExt(source).size());
  const std::string target = UniqueFileName(base + ext);
  // Written beside the target and renamed when complete, so a failed write leaves nothing.
  const std::string part = UniqueFileName(target + ".part");
  {
    auto file = CreateFileStream(part);
    if (!file) {
      result.Error = "cannot create " + ExtractFileName(target);
      return result;
    }
    tBuffStream out(part, std::move(file), true);
    try {
      WriteByFormat(*picture, out, options, CommentOf(decoder));
      out.Flush();
    } catch (...) {
      out.Stream.reset();
      Platform().RemoveFile(part);
      throw;
    }
    if (out.AtEnd) {
      out.Stream.reset();
      Platform().RemoveFile(part);
      result.Error = "short write";
      return result;
    }
  }
  if (!Platform().ReplaceFile(part, target)) {
    Platform().RemoveFile(part);
    result.Error = "cannot rename to " + ExtractFileName(target);
    return result;
  }
  result.Ok = true;
  result.FileName = target;
  return result;
}

tBatchSaveOutcome BatchSaveThroughPipeline(tGraphicID& decoder, const TSaveOptions& options) {
  const tSaveResult r = SaveConvertedPicture(decoder, options, tSaveAdjustments{}, scWhole, TRect{});
  return {r.Ok, r.FileName, r.Error};
}

void SetDefaultBatchSaver(tBatchSaver saver) { DefaultSaver() = std::move(saver); }

tBatchConvertRun::tBatchConvertRun(const std::vector<std::string>& files,
                                   const TSaveOptions& options, std::string comments,
                                   tBatchSaver saver)
    : files_(files), options_(options), comments_(std::move(comments)), saver_(std::move(saver)) {
  LastIndex = files_.empty() ? 0 : static_cast<int>(files_.size()) - 1;
  if (!saver_) saver_ = DefaultSaver() ? DefaultSaver() : tBatchSaver(BatchSaveWithWriters);
}

bool tBatchConvertRun::Step() {
  if (Finished()) return false;
  CurrentName = files_[static_cast<size_t>(Index)];
  CurrentPath = JoinPath(files_[0], CurrentName);
  ++Index;
  auto fail = [&](const std::string& why) {
    ++Failed;
    Failures.push_back(CurrentName + ": " + why);
  };
  auto file = OpenFileStream(CurrentPath);
  if (!file) {
    fail("cannot open");
    return true;
  }
  auto* stream = new tBuffStream(CurrentPath, std::move(file), false);
  tGraphicID decoder(stream);
  decoder.FileName = CurrentPath;
  if (!decoder.IdentifyPicture()) {
    delete stream;  // not taken over: not a picture, skipped without a word
    ++Skipped;
    return true;
  }
  try {
    decoder.NotifyWindow = 0;
    decoder.LoadPicture();
    if (!decoder.Bitmap || !decoder.Bitmap->HasLayout()) {
      fail(decoder.ErrorText.empty() ? "cannot decode" : decoder.ErrorText);
      return true;
    }
    decoder.ClearInfo();
    if (!comments_.empty()) decoder.AddInfoLine("R" + comments_);
    TSaveOptions o = options_;
    int width = 0, height = 0;
    BatchOutputSize(o, decoder.DisplayWidth, decoder.DisplayHeight, width, height);
    o.BatchMode = 0;
    o.Width = width;
    o.Height = height;
    o.SourceGrey = decoder.GrayFlag;
    o.Picture = &decoder;
    o.Background = decoder.BackgroundIndex;
    o.Transparent = -1;
    const tBatchSaveOutcome outcome = saver_(decoder, o);
    // A save that says it succeeded but left no file is a failure all the same.
    if (!outcome.Ok)
      fail(outcome.Error.empty() ? "not saved" : outcome.Error);
    else if (outcome.FileName.empty() ||
             Platform().ItemAttributes(outcome.FileName) == kNoFileAttributes)
      fail("no output file");
    else {
      ++Converted;
      Outputs.push_back(outcome.FileName);
    }
  } catch (const std::exception& e) {
    fail(e.what());
  } catch (...) {
    fail("unexpected error");
  }
  return true;
}

std::string tBatchConvertRun::ReportText() const {
  std::string text = Format("%d converted, %d skipped, %d failed", {Converted, Skipped, Failed});
  for (const std::string& f : Failures) text += "\n" + f;
  return text;
}
