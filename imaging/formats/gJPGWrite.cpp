#include <algorithm>

#include "imaging/formats/gJPG.h"
#include "imaging/formats/gJPGLib.h"

namespace {

// The most data one marker segment holds (its 16-bit length counts itself).
constexpr size_t kMaxMarkerData = 65533;

void Check(tJpegCompress& c, bool ok) {
  if (!ok) throw JPEGerror(c.err.message);
}

}  // namespace

void WriteJPEG(tMemBmp& picture, tBuffStream& stream, const std::string& comment, int quality,
               bool progressive) {
  if (quality < 1 || quality > 100) return;
  // One component exactly when GetQuantizeLine gives grey levels.
  const bool gray = picture.GrayFlag && picture.BitCount() <= 8;
  const int width = picture.Width(), height = picture.Height();
  tJpegCompress c;
  j_compress_ptr ci = &c.cinfo;
  Check(c, JpegGuard(c.err, [&] {
          jpeg_create_compress(ci);
          ci->image_width = static_cast<JDIMENSION>(std::max(width, 0));
          ci->image_height = static_cast<JDIMENSION>(std::max(height, 0));
          ci->input_components = gray ? 1 : 3;
          // Our colour rows are blue, green, red.
          ci->in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
          jpeg_set_defaults(ci);
          jpeg_default_colorspace(ci);
          jpeg_set_quality(ci, quality, TRUE);
          JpegBuffStreamDest(ci, stream);
          if (progressive) jpeg_simple_progression(ci);
          jpeg_start_compress(ci, TRUE);
        }));
  // A comment longer than one marker holds goes on in the next one instead of failing the save.
  const auto* text = reinterpret_cast<const JOCTET*>(comment.data());
  for (size_t at = 0; at < comment.size(); at += kMaxMarkerData) {
    const auto n = static_cast<unsigned>(std::min(kMaxMarkerData, comment.size() - at));
    Check(c, JpegGuard(c.err, [&] { jpeg_write_marker(ci, JPEG_COM, text + at, n); }));
  }
  for (int y = 0; y < height; ++y) {
    JSAMPROW row = picture.GetQuantizeLine(y);
    Check(c, JpegGuard(c.err, [&] { jpeg_write_scanlines(ci, &row, 1); }));
  }
  Check(c, JpegGuard(c.err, [&] { jpeg_finish_compress(ci); }));
}
