#include "imaging/formats/ReaderTestUtil.h"

#include <map>
#include <sstream>

#include "tests/DiffDecode.h"

namespace readertest {

std::unique_ptr<tGraphicID> Identify(const std::vector<uint8_t>& bytes, const std::string& name) {
  RegisterAllFormats();
  auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(bytes), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  return id;
}

std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes, const std::string& name) {
  auto id = Identify(bytes, name);
  if (id) id->LoadPicture();
  return id;
}

RgbImage Rgb(tGraphicID& id) { return testsupport::PictureToRgb(*id.Bitmap); }

std::vector<uint8_t> Indices(tGraphicID& id, int y) {
  const uint8_t* row = id.Bitmap->GetByteLine(y);
  return std::vector<uint8_t>(row, row + id.Bitmap->Width());
}

bool DecodeFfmpeg(const std::filesystem::path& file, const std::string& demuxer, RgbImage& out) {
  std::string command = "ffmpeg -nostdin -v error ";
  if (!demuxer.empty()) command += "-f " + demuxer + " ";
  command += "-i '" + file.string() +
             "' -frames:v 1 -f image2pipe -vcodec ppm -pix_fmt rgb24 - 2>/dev/null";
  std::vector<uint8_t> data;
  return testsupport::Run(command, &data) == 0 && testsupport::ParseNetpbm(data, out);
}

RgbImage CropColumns(const RgbImage& image, int width) {
  RgbImage out = image;
  out.width = std::min(width, image.width);
  out.samples.clear();
  const size_t row = size_t(image.width) * image.channels;
  for (int y = 0; y < image.height; ++y) {
    auto start = image.samples.begin() + y * row;
    out.samples.insert(out.samples.end(), start, start + size_t(out.width) * image.channels);
  }
  return out;
}

std::string SamePartition(const RgbImage& a, const RgbImage& b) {
  if (a.width != b.width || a.height != b.height)
    return "sizes differ: " + std::to_string(a.width) + "x" + std::to_string(a.height) + " and " +
           std::to_string(b.width) + "x" + std::to_string(b.height);
  auto colour = [](const RgbImage& im, size_t p) {
    uint64_t c = 0;
    for (int i = 0; i < im.channels; ++i) c = c << 16 | im.samples[p * im.channels + i];
    return c;
  };
  std::map<uint64_t, uint64_t> ab, ba;
  for (size_t p = 0; p < size_t(a.width) * a.height; ++p) {
    const uint64_t ca = colour(a, p), cb = colour(b, p);
    auto [i, newA] = ab.emplace(ca, cb);
    auto [j, newB] = ba.emplace(cb, ca);
    if (i->second != cb || j->second != ca) {
      std::ostringstream s;
      s << "pixel " << p % a.width << "," << p / a.width << " breaks the colour correspondence";
      return s.str();
    }
  }
  return "";
}

std::vector<uint8_t> Ppm(const RgbImage& image) {
  const std::string head =
      "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
  std::vector<uint8_t> v(head.begin(), head.end());
  for (uint16_t s : image.samples) v.push_back(static_cast<uint8_t>(s));
  return v;
}

void PutBE16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x >> 8));
  v.push_back(static_cast<uint8_t>(x));
}

void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
  PutBE16(v, x >> 16);
  PutBE16(v, x);
}

}  // namespace readertest
