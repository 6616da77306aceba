// Proves the two libraries link and work on every target before any reader relies on them.
#include <gtest/gtest.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

TEST(Dependencies, ZlibRoundTrip) {
  std::vector<unsigned char> src(10000);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<unsigned char>(i * 7 % 13);
  uLongf packedSize = compressBound(src.size());
  std::vector<unsigned char> packed(packedSize);
  ASSERT_EQ(compress2(packed.data(), &packedSize, src.data(), src.size(), 9), Z_OK);
  EXPECT_LT(packedSize, src.size());
  std::vector<unsigned char> back(src.size());
  uLongf backSize = back.size();
  ASSERT_EQ(uncompress(back.data(), &backSize, packed.data(), packedSize), Z_OK);
  EXPECT_EQ(back, src);
}

TEST(Dependencies, JpegEncodeDecode) {
  EXPECT_EQ(JPEG_LIB_VERSION, 62);
  const int w = 16, h = 8;
  std::vector<unsigned char> rgb(w * h * 3);
  for (int i = 0; i < w * h; ++i) {
    rgb[i * 3] = 200;
    rgb[i * 3 + 1] = 100;
    rgb[i * 3 + 2] = 50;
  }
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&c, &out, &outSize);
  c.image_width = w;
  c.image_height = h;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  for (int y = 0; y < h; ++y) {
    JSAMPROW row = &rgb[y * w * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  ASSERT_GT(outSize, 100u);

  jpeg_decompress_struct d{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, out, outSize);
  ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&d);
  EXPECT_EQ(d.output_width, unsigned(w));
  EXPECT_EQ(d.output_height, unsigned(h));
  std::vector<unsigned char> row(w * 3);
  JSAMPROW r = row.data();
  jpeg_read_scanlines(&d, &r, 1);
  EXPECT_NEAR(row[0], 200, 3);
  EXPECT_NEAR(row[1], 100, 3);
  EXPECT_NEAR(row[2], 50, 3);
  jpeg_abort_decompress(&d);
  jpeg_destroy_decompress(&d);
  free(out);
}
