#include "imaging/formats/gJPG.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/uFormat.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gJPGLib.h"

namespace {

// Runs library calls for the decoding of id; a fatal error becomes picture error 12 with the
// library's text, and false.
template <class F>
bool Step(tGraphicID& id, tJpegDecompress& d, F&& call) {
  if (JpegGuard(d.err, call)) return true;
  id.ErrorCode = errFileDamaged;
  id.SetErrorText(d.err.message);
  return false;
}

// The progress monitor: the library calls it at least once for every row it decodes or outputs.
void LimitScans(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number <= kMaxJpegScans) return;
  char text[64];  // nothing with a destructor: JpegFail leaves by longjmp
  std::snprintf(text, sizeof text, "More than %d scans", kMaxJpegScans);
  JpegFail(cinfo, text);
}

// Adds bytes to the remark being collected; false when memory ran out. Called from the library:
// nothing may leave it as an exception.
bool AddRemarkBytes(tGraphicID& id, const uint8_t* bytes, size_t count) noexcept {
  try {
    for (size_t i = 0; i < count; ++i) id.AddRemarkChar(static_cast<char>(bytes[i]));
    return true;
  } catch (...) {
    return false;
  }
}

bool EndRemark(tGraphicID& id) noexcept {
  try {
    id.EndRemark();
    return true;
  } catch (...) {
    return false;
  }
}

// Makes sure a byte is in the buffer; false when the data has run out (the made-up end marker
// then stays for the library to read).
bool HaveByte(j_decompress_ptr cinfo) {
  jpeg_source_mgr* src = cinfo->src;
  if (src->bytes_in_buffer > 0) return true;
  if (!(*src->fill_input_buffer)(cinfo)) ERREXIT(cinfo, JERR_INPUT_EOF);
  return !JpegSourceAtEnd(cinfo);
}

// The COM marker processor: the comment's bytes become one remark.
boolean ReadComment(j_decompress_ptr cinfo) {
  jpeg_source_mgr* src = cinfo->src;
  tGraphicID& id = JpegSourceId(cinfo);
  id.ClearRemark();
  int length = 0;
  for (int i = 0; i < 2; ++i) {
    if (!HaveByte(cinfo)) return TRUE;
    length = length << 8 | *src->next_input_byte++;
    --src->bytes_in_buffer;
  }
  for (long left = length - 2; left > 0;) {
    if (!HaveByte(cinfo)) break;
    size_t n = std::min(static_cast<size_t>(left), src->bytes_in_buffer);
    if (!AddRemarkBytes(id, src->next_input_byte, n)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
    left -= static_cast<long>(n);
  }
  if (!EndRemark(id)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  return TRUE;
}

// Reads the rest of the output pass straight into the picture's rows, several rows a call.
bool ReadRows(tGraphicID& id, tJpegDecompress& d) {
  constexpr JDIMENSION kRowsPerCall = 16;
  j_decompress_ptr c = &d.cinfo;
  tMemBmp& picture = *id.Bitmap;
  JSAMPROW rows[kRowsPerCall];
  return Step(id, d, [&] {
    while (c->output_scanline < c->output_height) {
      const JDIMENSION n = std::min(kRowsPerCall, c->output_height - c->output_scanline);
      for (JDIMENSION i = 0; i < n; ++i) rows[i] = picture.ScanLine(int(id.RowsDone + i));
      const JDIMENSION got = jpeg_read_scanlines(c, rows, n);
      if (got == 0) break;
      id.RowsDone = static_cast<uint16_t>(id.RowsDone + got);
    }
  });
}

// Buffered-image mode: one output pass for every scan that arrives, each shown.
void DecodeProgressive(tGraphicID& id, tJpegDecompress& d) {
  j_decompress_ptr c = &d.cinfo;
  for (;;) {
    boolean complete = TRUE;
    if (!Step(id, d, [&] { complete = jpeg_input_complete(c); }) || complete || id.Abort) break;
    if (!Step(id, d, [&] { jpeg_start_output(c, c->input_scan_number); })) break;
    id.RowsDone = 0;
    if (!ReadRows(id, d)) break;
    id.NotifyPartial();
    if (!Step(id, d, [&] { jpeg_finish_output(c); })) break;
  }
  if (!id.Abort) id.AddInfoLine(Format("%s%d scans", {"g", c->input_scan_number}));
}

void Decode(tGraphicID& id, tJpegDecompress& d, jpeg_progress_mgr& progress) {
  j_decompress_ptr c = &d.cinfo;
  tMemBmp& picture = *id.Bitmap;
  if (!Step(id, d, [&] {
        jpeg_create_decompress(c);
        c->progress = &progress;
        jpeg_set_marker_processor(c, JPEG_COM, ReadComment);
        JpegBuffStreamSource(c, id, true);
        jpeg_read_header(c, TRUE);
      }))
    return;
  const bool gray = c->num_components == 1;
  const int bytes = gray ? 1 : 3;
  const int scale = JpegScaleDenominator(static_cast<int>(c->image_width),
                                         static_cast<int>(c->image_height), id.MinimumSide);
  // The picture was laid out from the same header; anything else would not fit its rows.
  if ((int64_t{c->image_width} + scale - 1) / scale != picture.Width() ||
      (int64_t{c->image_height} + scale - 1) / scale != picture.Height() ||
      picture.BitCount() != bytes * 8) {
    id.ErrorCode = errFileDamaged;
    return;
  }
  // Rows in the picture's own order. Four-component files have no such conversion in the
  // library and end with its error.
  c->out_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
  c->scale_num = 1;
  c->scale_denom = static_cast<unsigned>(scale);
  boolean progressive = FALSE;
  if (!Step(id, d, [&] { progressive = jpeg_has_multiple_scans(c); })) return;
  c->buffered_image = progressive && (GraphicOptions & goDisplayInterlace) ? TRUE : FALSE;
  if (!Step(id, d, [&] { jpeg_start_decompress(c); })) return;
  if (c->output_components != bytes || int64_t{c->output_width} != picture.Width() ||
      int64_t{c->output_height} != picture.Height()) {
    id.ErrorCode = errFileDamaged;
    return;
  }
  id.RowsDone = 0;
  if (c->buffered_image) {
    DecodeProgressive(id, d);
  } else {
    ReadRows(id, d);
  }
  if (id.ErrorCode == 0 && !id.Abort) Step(id, d, [&] { jpeg_finish_decompress(c); });
}

}  // namespace

int JpegScaleDenominator(int width, int height, int minimumSide) {
  if (minimumSide <= 0) return 1;
  for (int d = 8; d > 1; d /= 2)
    if ((width + d - 1) / d >= minimumSide && (height + d - 1) / d >= minimumSide) return d;
  return 1;
}

void IdentifyJPG(tGraphicID& id) {
  id.Stream->Rewind();
  int width = 0, height = 0, components = 0;
  boolean progressive = FALSE;
  {
    tJpegDecompress d;  // messages are discarded while identifying
    j_decompress_ptr c = &d.cinfo;
    if (!JpegGuard(d.err, [&] {
          jpeg_create_decompress(c);
          JpegBuffStreamSource(c, id);
          jpeg_read_header(c, TRUE);
          progressive = jpeg_has_multiple_scans(c);
        }))
      return;
    width = static_cast<int>(c->image_width);
    height = static_cast<int>(c->image_height);
    components = c->num_components;
  }
  const bool gray = components == 1;
  const int colors = gray ? 256 : 280;
  if (!ValidPictureSize(width, height, colors)) return;

  id.FormatId = fmtJPG;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.GrayFlag = gray ? 1 : 0;
  id.BitsPerPixel = gray ? 8 : 24;
  id.Colors = static_cast<uint16_t>(colors);
  std::string colorText, progressiveText = progressive ? "Progressive " : "";
  tQuadPalette quads{};
  if (gray) {
    const tRGBPalette grays = GrayPalette(256);
    std::memcpy(id.Palette, grays.data(), sizeof id.Palette);
    quads = RGBToQuads(grays);
    colorText = "Grayscale ";
  } else if (components == 4) {
    colorText = "CMYK ";
  }
  if (!colorText.empty() || !progressiveText.empty())
    id.FormatName = Format("%s%sJPEG", {progressiveText, colorText});
  const int scale = JpegScaleDenominator(width, height, id.MinimumSide);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate((width + scale - 1) / scale, (height + scale - 1) / scale, gray,
                      gray ? quads.data() : nullptr, colors, id.BitsPerPixel);
}

void LoadJPG(tGraphicID& id) {
  id.Stream->Rewind();
  jpeg_progress_mgr progress = {};
  progress.progress_monitor = LimitScans;
  {
    tJpegDecompress d;
    d.err.target = &id;
    Decode(id, d, progress);
    JpegSyncSource(&d.cinfo);
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterJPG() { RegisterFormat(IdentifyJPG, LoadJPG, NoNextImage); }
