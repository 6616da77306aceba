// The JPEG library's colour quantizers driven on our own rows. They are internal interface of
// the library (a decompression object hosts them), so this is the one file that reaches into
// it, and the version is pinned.
#include "imaging/Quantize.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#define JPEG_INTERNALS
#include <jpeglib.h>

#include "imaging/uImageOps.h"

#if !defined(LIBJPEG_TURBO_VERSION_NUMBER) || LIBJPEG_TURBO_VERSION_NUMBER < 2000000 || \
    LIBJPEG_TURBO_VERSION_NUMBER >= 3000000
#error "The quantizer hosting below is written for libjpeg-turbo 2.x"
#endif

namespace {

struct tErrorMgr {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// A fatal error leaves the library by longjmp back to the Guard frame that called it, so no
// frame with destructors is skipped and nothing relies on unwinding through C frames.
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<tErrorMgr*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}
void NoMessage(j_common_ptr) {}

// Runs one call into the library; its fatal error becomes JPEGerror here. The callables passed
// in hold no objects with destructors.
template <class F>
void Guard(tErrorMgr& err, F&& call) {
  if (setjmp(err.jump)) throw JPEGerror(err.message);
  call();
}

// A decompression object that only hosts a colour quantizer for rows of width pixels in blue,
// green, red order (JCS_EXT_BGR puts the two-pass quantizer's channel weights on the right
// channels).
class tQuantizer {
 public:
  tQuantizer(int width, int height, int colors, int dither) {
    std::memset(&cinfo_, 0, sizeof cinfo_);
    cinfo_.err = jpeg_std_error(&err_.pub);
    err_.pub.error_exit = ErrorExit;
    err_.pub.output_message = NoMessage;
    Guard(err_, [this] { jpeg_create_decompress(&cinfo_); });
    try {
      Setup(width, height, colors, dither);
    } catch (...) {
      jpeg_destroy_decompress(&cinfo_);
      throw;
    }
  }
  ~tQuantizer() { jpeg_destroy_decompress(&cinfo_); }
  tQuantizer(const tQuantizer&) = delete;
  tQuantizer& operator=(const tQuantizer&) = delete;

  // Map-only mode of the two-pass quantizer onto a given colour map.
  void InitMap(JSAMPARRAY colormap, int n) {
    cinfo_.two_pass_quantize = TRUE;
    cinfo_.enable_2pass_quant = FALSE;
    cinfo_.colormap = colormap;
    cinfo_.actual_number_of_colors = n;
    Guard(err_, [this] { jinit_2pass_quantizer(&cinfo_); });
  }
  void InitTwoPass() {
    cinfo_.two_pass_quantize = TRUE;
    cinfo_.enable_2pass_quant = TRUE;
    Guard(err_, [this] { jinit_2pass_quantizer(&cinfo_); });
  }
  void InitOnePass() {
    cinfo_.two_pass_quantize = FALSE;
    // The cube gives its spare levels to green, then red, then blue only in JCS_RGB: the
    // one-pass quantizer gets its rows in red, green, blue order.
    cinfo_.out_color_space = JCS_RGB;
    Guard(err_, [this] { jinit_1pass_quantizer(&cinfo_); });
  }
  void StartPass(bool prescan) {
    Guard(err_, [this, prescan] { cinfo_.cquantize->start_pass(&cinfo_, prescan); });
  }
  void Row(uint8_t* in, uint8_t* out) {
    Guard(err_, [this, in, out] {
      JSAMPROW inRow = in, outRow = out;
      cinfo_.cquantize->color_quantize(&cinfo_, &inRow, out ? &outRow : nullptr, 1);
    });
  }
  void FinishPass() {
    Guard(err_, [this] { cinfo_.cquantize->finish_pass(&cinfo_); });
  }
  JSAMPARRAY Colormap() const { return cinfo_.colormap; }
  bool RedFirst() const { return cinfo_.out_color_space == JCS_RGB; }
  int ActualColors() const { return cinfo_.actual_number_of_colors; }

 private:
  void Setup(int width, int height, int colors, int dither) {
    cinfo_.output_width = static_cast<JDIMENSION>(width);
    cinfo_.output_height = static_cast<JDIMENSION>(height);
    cinfo_.out_color_space = JCS_EXT_BGR;
    cinfo_.out_color_components = 3;
    cinfo_.output_components = 3;
    cinfo_.quantize_colors = TRUE;
    cinfo_.desired_number_of_colors = colors;
    cinfo_.dither_mode = dither == kDitherFS ? JDITHER_FS : JDITHER_NONE;
    Guard(err_, [this] { PrepareRangeLimit(); });
  }

  // The sample range limit table as the library's master control builds it; the dithering
  // quantizers index it with values beyond 0..255.
  void PrepareRangeLimit() {
    auto* table = static_cast<JSAMPLE*>(
        (*cinfo_.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo_), JPOOL_IMAGE,
                                   (5 * (MAXJSAMPLE + 1) + CENTERJSAMPLE) * sizeof(JSAMPLE)));
    table += MAXJSAMPLE + 1;
    cinfo_.sample_range_limit = table;
    std::memset(table - (MAXJSAMPLE + 1), 0, (MAXJSAMPLE + 1) * sizeof(JSAMPLE));
    for (int i = 0; i <= MAXJSAMPLE; i++) table[i] = static_cast<JSAMPLE>(i);
    table += CENTERJSAMPLE;
    for (int i = CENTERJSAMPLE; i < 2 * (MAXJSAMPLE + 1); i++) table[i] = MAXJSAMPLE;
    std::memset(table + 2 * (MAXJSAMPLE + 1), 0,
                (2 * (MAXJSAMPLE + 1) - CENTERJSAMPLE) * sizeof(JSAMPLE));
    std::memcpy(table + (4 * (MAXJSAMPLE + 1) - CENTERJSAMPLE), cinfo_.sample_range_limit,
                CENTERJSAMPLE * sizeof(JSAMPLE));
  }

  jpeg_decompress_struct cinfo_;
  tErrorMgr err_;
};

// The result of every reduction: BitsForColors (n) bits with a full table of 2^bits entries.
tMemBmpPtr NewReduced(tMemBmp& picture, int n, const tRGBPalette* palette) {
  auto out = std::make_unique<tMemBmp>();
  int bits = BitsForColors(n);
  tQuadPalette quads = palette ? RGBToQuads(*palette) : tQuadPalette{};
  out->Allocate(picture.Width(), picture.Height(), false, quads.data(), 1 << bits, bits);
  return out;
}

bool Empty(tMemBmp& picture) { return picture.Width() <= 0 || picture.Height() <= 0; }

// Runs the quantizer's mapping pass over every row of picture into out. Rows go in as triples
// in the quantizer's order whatever the grey flag says.
void MapRows(tQuantizer& q, tMemBmp& picture, tMemBmp& out) {
  int width = picture.Width(), height = picture.Height();
  bool packed = out.BitCount() < 8;
  std::vector<uint8_t> indices(packed ? static_cast<size_t>(width) : 0);
  q.StartPass(false);
  for (int y = 0; y < height; ++y) {
    uint8_t* dest = packed ? indices.data() : out.ScanLine(y);
    q.Row(q.RedFirst() ? picture.GetRGBLineSwapped(y) : picture.GetRGBLine(y), dest);
    if (packed) out.SetByteLine(y, dest);
  }
  q.FinishPass();
}

// The quantizer's colour map (component arrays in its row order) as the colour table.
void TakeColormap(tQuantizer& q, tMemBmp& out) {
  int n = std::clamp(q.ActualColors(), 0, 256);
  JSAMPARRAY map = q.Colormap();
  uint8_t red[256] = {}, green[256] = {}, blue[256] = {};
  int b = q.RedFirst() ? 2 : 0;
  for (int i = 0; i < n && map; ++i) {
    blue[i] = map[b][i];
    green[i] = map[1][i];
    red[i] = map[2 - b][i];
  }
  out.SetColormap(red, green, blue);
}

}  // namespace

tMemBmpPtr ReduceColors(tMemBmp& picture, int n, const tRGBPalette* palette, int dither) {
  // Mapping alone skips the library's upper count check: more than 256 would read past the map,
  // which holds all a palette has.
  n = std::min(n, 256);
  tMemBmpPtr out = NewReduced(picture, n, palette);
  if (Empty(picture)) return out;
  // The library takes the colour map in the order of our rows: blue, green, red.
  int entries = std::max(n, 0);
  std::vector<JSAMPLE> comp(3 * 256, 0);
  for (int i = 0; i < entries && palette; ++i) {
    comp[i] = (*palette)[i * 3 + 2];
    comp[256 + i] = (*palette)[i * 3 + 1];
    comp[512 + i] = (*palette)[i * 3];
  }
  JSAMPROW rows[3] = {comp.data(), comp.data() + 256, comp.data() + 512};
  tQuantizer q(picture.Width(), picture.Height(), n, dither);
  q.InitMap(rows, n);
  MapRows(q, picture, *out);
  return out;
}

tMemBmpPtr MapToPalette(tMemBmp& picture, int n, const tRGBPalette& palette) {
  return ReduceColors(picture, n, &palette, kDitherNone);
}

tMemBmpPtr MapToPaletteDithered(tMemBmp& picture, int n, const tRGBPalette& palette) {
  return ReduceColors(picture, n, &palette, kDitherFS);
}

tMemBmpPtr ReduceOptimalDithered(tMemBmp& picture, int n) {
  tMemBmpPtr out = NewReduced(picture, n, nullptr);
  if (Empty(picture)) return out;
  tQuantizer q(picture.Width(), picture.Height(), n, kDitherFS);
  q.InitTwoPass();
  // The pre-scan pass fills the histogram from which the colour map is chosen.
  q.StartPass(true);
  for (int y = 0; y < picture.Height(); ++y) q.Row(picture.GetRGBLine(y), nullptr);
  q.FinishPass();
  MapRows(q, picture, *out);
  TakeColormap(q, *out);
  return out;
}

tMemBmpPtr ReduceOnePass(tMemBmp& picture, int n) {
  tMemBmpPtr out = NewReduced(picture, n, nullptr);
  if (Empty(picture)) return out;
  tQuantizer q(picture.Width(), picture.Height(), n, kDitherFS);
  q.InitOnePass();
  MapRows(q, picture, *out);
  TakeColormap(q, *out);
  return out;
}

tMemBmpPtr ReduceOptimal(tMemBmp& picture, int n) {
  n = std::clamp(n, 8, 256);
  tRGBPalette palette;
  ReduceOptimalDithered(picture, n)->GetPalette(palette.data());
  return MapToPalette(picture, n, palette);
}

tMemBmpPtr ReduceTo256(tMemBmp& picture) { return ReduceOptimal(picture, 256); }

tMemBmpPtr ReducePlusLime(tMemBmp& picture) {
  tMemBmpPtr reduced = ReduceOptimalDithered(picture, 255);
  tMemBmpPtr out = AddPaletteEntries(*reduced, 1);
  uint8_t* lime = out->ColorTable + 255 * 4;
  lime[0] = 0, lime[1] = 255, lime[2] = 0, lime[3] = 0;
  return out;
}

tMemBmpPtr GrayPlusLime(tMemBmp& picture) {
  tRGBPalette palette = GrayPalette(255);
  palette[255 * 3] = 0, palette[255 * 3 + 1] = 255, palette[255 * 3 + 2] = 0;
  return MapToPaletteDithered(picture, 255, palette);
}

tMemBmpPtr ReduceToBlackWhite(tMemBmp& picture) {
  tMemBmpPtr out = DitherToBlackWhite(picture);
  out->GrayFlag = 1;
  return out;
}

tMemBmpPtr ThresholdBlackWhite(tMemBmp& picture) {
  tMemBmpPtr out = MapToPalette(picture, 2, GrayPalette(2));
  out->GrayFlag = 1;
  return out;
}
