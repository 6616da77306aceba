#include "thumbnails/uThumbMake.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/uImageOps.h"
#include "thumbnails/uThumbLzw.h"

tMemBmpPtr MakeThumbnailPicture(tGraphicID& decoder, int box) {
  tMemBmp* picture = decoder.Bitmap.get();
  if (!picture || !picture->HasLayout()) return nullptr;
  tMemBmpPtr work;
  // Each step's input is freed when its result replaces it; the decoder's own picture stays.
  auto replace = [&](tMemBmpPtr next) {
    work = std::move(next);
    picture = work.get();
  };
  if (decoder.AspectX + decoder.AspectY > 2 && decoder.DisplayWidth > 0 &&
      decoder.DisplayHeight > 0) {
    // A picture decoded at a reduced scale keeps that scale in its display size.
    int displayWidth = decoder.DisplayWidth, displayHeight = decoder.DisplayHeight;
    if (decoder.Width > 0 && decoder.Height > 0 && picture->Width() != decoder.Width) {
      displayWidth = std::max(1, int(int64_t{displayWidth} * picture->Width() / decoder.Width));
      displayHeight =
          std::max(1, int(int64_t{displayHeight} * picture->Height() / decoder.Height));
    }
    replace(ResizeImage(*picture, displayWidth, displayHeight, 0));
  }
  int width = 0, height = 0;
  FitRect(box, box, picture->Width(), picture->Height(), width, height);
  width = std::clamp(width, 1, box);
  height = std::clamp(height, 1, box);
  replace(ResizeImage(*picture, width, height, 0));
  const tRGBPalette palette = ThumbnailPalette();
  return ReduceColors(*picture, 256, &palette, kDitherFS);
}

std::string ThumbnailCaption(const TThumbnailRecord& record) {
  return Format("%d x %d x %s %s", {record.Width, record.Height,
                                     ColorCountText(record.ColorCode), FormatName(record.FormatId)});
}

uint32_t StoreThumbnail(tThumbnails& database, tGraphicID& decoder, char status, uint32_t volume,
                        std::string* caption, TThumbnailRecord* recordCopy, tMemBmpPtr* display,
                        const tThumbFileFacts& facts) {
  tMemBmpPtr thumb = MakeThumbnailPicture(decoder, database.BoxSize());
  if (!thumb) throw std::invalid_argument("No picture to make a thumbnail of");
  if (display) *display = Clone(*thumb);

  // The pixel rows exactly as the picture holds them, bottom row first, padded.
  TMemoryStream pixels(std::vector<uint8_t>(thumb->Bits, thumb->Bits + thumb->ImageSize));
  TMemoryStream coded;
  LzwEncodeThumbnail(pixels, coded);

  TThumbnailRecord record;
  std::memset(&record, 0, sizeof record);
  record.Status = status;
  std::string path = facts.Path.empty() ? decoder.FileName : facts.Path;
  if (path.size() > 1 && path[1] == ':')
    path[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  SetRecordPathText(record, path);
  record.Volume = volume;
  int64_t dosTime = facts.DosTime >= 0 ? facts.DosTime : FileAge(path);
  record.DosTime = static_cast<uint32_t>(std::max<int64_t>(dosTime, 0));
  int64_t size = facts.Size >= 0                        ? facts.Size
                 : decoder.Stream != nullptr ? decoder.Stream->Size
                                                        : FileSizeOf(path);
  record.FileSize = static_cast<uint32_t>(std::clamp<int64_t>(size, 0, UINT32_MAX));
  record.Width = decoder.Width;
  record.Height = decoder.Height;
  record.ColorCode = static_cast<uint16_t>(decoder.Bitmap->ColorCount());
  record.FormatId = decoder.FormatId;
  record.ErrorCode = static_cast<uint32_t>(decoder.ErrorCode);
  record.Group = ' ';
  const int64_t offset = database.DataSize();
  // A coded thumbnail of at most 160 x 160 pixels never comes near the 16-bit length; should
  // one pass it, it is stored empty rather than cut.
  const bool fits = coded.DataSize() <= UINT16_MAX && offset <= int64_t(UINT32_MAX);
  record.DataOffset = static_cast<uint32_t>(fits ? offset : 0);
  record.DataLength = static_cast<uint16_t>(fits ? coded.DataSize() : 0);
  record.ThumbWidth = static_cast<uint8_t>(thumb->Width());
  record.ThumbHeight = static_cast<uint8_t>(thumb->Height());

  const uint32_t number = database.RecordCount() + 1;
  if (record.DataLength > 0) database.WriteData(offset, coded.Memory(), record.DataLength);
  database.WriteRecord(number, record);
  database.Header.Count = number;
  if (status != 'A') ++database.Header.Purged;
  database.WriteHeader();
  if (recordCopy) *recordCopy = record;
  if (caption) *caption = ThumbnailCaption(record);
  return number;
}

bool ReadThumbnail(tThumbnails& database, uint32_t n, TThumbnailRecord* record,
                   tMemBmpPtr* picture, std::string* caption) {
  if (n < 1 || n > database.RecordCount()) return false;
  TThumbnailRecord own;
  TThumbnailRecord& r = record ? *record : own;
  database.ReadRecord(n, r);
  if (r.Status == 0) return false;
  if (picture) {
    auto bmp = std::make_unique<tMemBmp>();
    const tQuadPalette quads = RGBToQuads(ThumbnailPalette());
    bmp->Allocate(std::max<int>(r.ThumbWidth, 1), std::max<int>(r.ThumbHeight, 1), false,
                  quads.data(), 256, 8);
    if (r.DataLength > 0) {
      std::vector<uint8_t> data(r.DataLength);
      database.ReadData(r.DataOffset, data.data(), data.size());
      TMemoryStream coded(std::move(data));
      TMemoryStream rows;
      // Damaged data may decode to nothing at all: the rows then stay zeroed.
      if (LzwDecodeThumbnail(coded, rows, bmp->ImageSize) > 0)
        std::memcpy(bmp->Bits, rows.Memory(),
                    static_cast<size_t>(std::min<int64_t>(rows.DataSize(), bmp->ImageSize)));
    }
    *picture = std::move(bmp);
  }
  if (caption) *caption = ThumbnailCaption(r);
  return true;
}
