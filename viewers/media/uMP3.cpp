#include "viewers/media/uMP3.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"

namespace {

const char* const kGenres[80] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer",
    "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll",
    "Hard Rock"};

// Sample rates by version (1 MPEG 1, 2 MPEG 2, 3 MPEG 2.5) and the two-bit index.
const uint32_t kSampleRates[4][4] = {{0, 0, 0, 0},
                                     {44100, 48000, 32000, 0},
                                     {22050, 24000, 16000, 0},
                                     {11025, 12000, 8000, 0}};
// The published bit rates (kbit/s), index 1..14; index 0 (free format) and 15 give 0.
const uint16_t kRatesV1[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}};
const uint16_t kRatesV2[2][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};

const std::string kNoTag = "[notag]";

// Random access to single bytes through a window of the stream.
class tByteReader {
 public:
  explicit tByteReader(TStream& stream) : stream_(stream), buffer_(kWindow) {}
  // The byte at pos, -1 past the end or on a read error.
  int At(int64_t pos) {
    if (pos < start_ || pos >= start_ + fill_) {
      fill_ = 0;
      start_ = pos;
      if (stream_.Seek(pos, soFromBeginning) != pos) return -1;
      while (fill_ < kWindow) {
        int32_t n = stream_.Read(buffer_.data() + fill_, kWindow - fill_);
        if (n <= 0) break;
        fill_ += n;
      }
      if (fill_ == 0) return -1;
    }
    return buffer_[static_cast<size_t>(pos - start_)];
  }
  bool Read(int64_t pos, uint8_t* out, int count) {
    for (int i = 0; i < count; i++) {
      int b = At(pos + i);
      if (b < 0) return false;
      out[i] = static_cast<uint8_t>(b);
    }
    return true;
  }

 private:
  static constexpr int32_t kWindow = 65536;
  TStream& stream_;
  std::vector<uint8_t> buffer_;
  int64_t start_ = 0;
  int32_t fill_ = 0;
};

uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// Tag texts are Latin-1; the program's texts are UTF-8.
std::string Latin1ToUtf8(const uint8_t* p, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; i++) {
    uint8_t c = p[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// A tag field: everything from the first zero byte dropped, then trailing blanks.
std::string TagField(const uint8_t* p, size_t n) {
  size_t len = 0;
  while (len < n && p[len] != 0) len++;
  while (len > 0 && p[len - 1] == ' ') len--;
  return Latin1ToUtf8(p, len);
}

size_t CharCount(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) n++;
  return n;
}

// The first count characters (code points) of s.
std::string LeftChars(const std::string& s, size_t count) {
  size_t n = 0;
  for (size_t i = 0; i < s.size(); i++) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == count) return s.substr(0, i);
      n++;
    }
  }
  return s;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') b++;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') e--;
  return s.substr(b, e - b);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string YesNo(bool v) { return v ? "Yes" : "No"; }
std::string Star(bool v) { return v ? "*" : " "; }

struct tKeyword {
  const char* name;
  const char* shortName;
  int width;
  char align;  // 'L' or 'R'
};

}  // namespace

std::string Id3GenreName(int genre) {
  return genre >= 0 && genre < 80 ? kGenres[genre] : "Unknown";
}

void TMPEGAudio::ResetHeader() {
  Version = Layer = Mode = 0;
  SampleRate = BitRate = FrameLength = 0;
  Copyright = Original = Protection = Padding = false;
  Duration = 0;
}

void TMPEGAudio::ResetTag() {
  TagId = "BAD";
  Title = Artist = Album = Comment = kNoTag;
  Year = "    ";
  GenreNr = 255;
  Track = 0;
}

void TMPEGAudio::Reset() {
  ResetTag();
  ResetHeader();
  FileLength = 0;
  FileName.clear();
  VolumeLabel.clear();
  FileDate = 0;
  FileDateTime = 0;
  FileAttr = 0;
  SelectedNr = 0;
  HeaderPosition = 0;
  Text = FormatTemplate(Template);
}

bool TMPEGAudio::IsValid() const {
  return FileLength > 5 && Version != 0 && Layer != 0 && FrameLength != 0 && BitRate > 0 &&
         SampleRate > 0;
}

void TMPEGAudio::DecodeHeader(uint32_t h) {
  ResetHeader();
  if (h < 0xFFE00000u) return;
  static const uint8_t kVersions[4] = {3, 0, 2, 1};
  Version = kVersions[(h >> 19) & 3];
  if (Version == 0) return;
  const uint32_t layerBits = (h >> 17) & 3;
  Layer = layerBits == 0 ? 0 : static_cast<uint8_t>(4 - layerBits);
  SampleRate = kSampleRates[Version][(h >> 10) & 3];
  Protection = (h >> 16) & 1;
  Copyright = (h >> 3) & 1;
  Original = (h >> 2) & 1;
  Mode = (h >> 6) & 3;
  Padding = (h >> 9) & 1;
  const uint32_t rateIndex = (h >> 12) & 15;
  if (Layer != 0 && rateIndex != 15) {
    if (Version == 1)
      BitRate = kRatesV1[Layer - 1][rateIndex];
    else
      BitRate = kRatesV2[Layer == 1 ? 0 : 1][rateIndex];
  }
  if (BitRate != 0) Duration = static_cast<uint32_t>(FileLength * 8 / (BitRate * 1000ull));
  // Frame sizes as the standards give them: layer I counts 4-byte slots, and layer III of
  // MPEG 2 and 2.5 holds half as many samples per frame.
  if (SampleRate != 0 && Layer != 0) {
    const uint64_t pad = Padding ? 1 : 0;
    if (Layer == 1)
      FrameLength = static_cast<uint32_t>((12000ull * BitRate / SampleRate + pad) * 4);
    else if (Layer == 3 && Version != 1)
      FrameLength = static_cast<uint32_t>(72000ull * BitRate / SampleRate + pad);
    else
      FrameLength = static_cast<uint32_t>(144000ull * BitRate / SampleRate + pad);
  }
}

void TMPEGAudio::ReadTag(TStream& stream) {
  tByteReader reader(stream);
  uint8_t tag[128];
  if (FileLength > 128 && reader.Read(FileLength - 128, tag, 128) &&
      std::memcmp(tag, "TAG", 3) == 0) {
    TagId = "TAG";
    Title = TagField(tag + 3, 30);
    Artist = TagField(tag + 33, 30);
    Album = TagField(tag + 63, 30);
    Year = TagField(tag + 93, 4);
    Comment = TagField(tag + 97, 30);
    Track = tag[126];
    GenreNr = tag[127];
  } else {
    Title = LeftChars(ExtractFileName(FileName), 30);
  }
}

void TMPEGAudio::ReadStream(TStream& stream) {
  ResetTag();
  ResetHeader();
  FileLength = stream.Size();
  HeaderPosition = 0;
  if (FileLength <= 5) {
    Text = FormatTemplate(Template);
    return;
  }
  tByteReader reader(stream);
  int64_t start = 0;
  for (;;) {
    uint8_t first[4];
    bool found = false;
    int64_t pos = start + 4;
    if (reader.Read(start, first, 4)) {
      uint32_t word = Be32(first);
      for (;;) {
        DecodeHeader(word);
        if (IsValid()) {
          found = true;
          break;
        }
        if (pos >= FileLength || (SearchLimit > 0 && pos > SearchLimit)) break;
        int b = reader.At(pos);
        if (b < 0) break;
        word = (word << 8) | static_cast<uint32_t>(b);
        pos++;
        if (pos % 300 == 0 && OnSearchProgress) OnSearchProgress();
      }
    }
    HeaderPosition = pos - 4;
    if (!found ||
        FileLength - HeaderPosition - FrameLength + (Protection ? 2 : 0) < 1) {
      ResetHeader();
      HeaderPosition = FileLength + 1;
      break;
    }
    // A header counts only when the next frame starts with one too.
    uint8_t next[4];
    TMPEGAudio probe;
    probe.FileLength = FileLength;
    if (reader.Read(HeaderPosition + FrameLength, next, 4)) probe.DecodeHeader(Be32(next));
    if (probe.IsValid()) {
      ReadTag(stream);
      break;
    }
    ResetHeader();
    start = HeaderPosition + 1;
  }
  Text = FormatTemplate(Template);
}

int TMPEGAudio::ReadFile(const std::string& fileName) {
  Reset();
  FileName = fileName;
  const std::string bare = ExtractFileName(fileName);
  const uint32_t attributes = Platform().ItemAttributes(fileName);
  if (attributes == kNoFileAttributes || (attributes & 16) != 0) {
    Title = LeftChars("[not found: " + bare + "]", 30);
    Text = FormatTemplate(Template);
    return -1;
  }
  std::unique_ptr<TStream> stream = OpenFileStream(fileName);
  if (!stream) {
    Text = FormatTemplate(Template);
    return 5;  // access denied
  }
  FileAttr = attributes;
  const int64_t age = FileAge(fileName);
  if (age >= 0) {
    FileDate = static_cast<uint32_t>(age);
    FileDateTime = EncodeDateTime(DosDateTimeToFields(FileDate));
  }
  if (VolumeLabelOf && fileName.size() >= 2 && fileName[1] == ':')
    VolumeLabel = VolumeLabelOf(fileName[0]);
  ReadStream(*stream);
  return 0;
}

std::string TMPEGAudio::GenreText() const { return Id3GenreName(GenreNr); }

std::string TMPEGAudio::ModeText() const {
  static const char* const kModes[4] = {"Stereo", "Joint-Stereo", "Dual-Channel",
                                        "Single-Channel"};
  return kModes[Mode & 3];
}

std::string TMPEGAudio::LayerText() const {
  static const char* const kLayers[4] = {"Unknown", "I", "II", "III"};
  return kLayers[Layer & 3];
}

std::string TMPEGAudio::VersionText() const {
  static const char* const kVersions[4] = {"Unknown", "1.0", "2.0", "2.5"};
  return kVersions[Version & 3];
}

std::string TMPEGAudio::FormatTemplate(const std::string& text) const {
  static const tKeyword kKeywords[] = {
      {"NEWLINE", "NL", 2, 'L'},       {"SOFTNEWLINE", "#", 0, 'L'},
      {"TAB", "TB", 1, 'L'},           {"FILENAME", "FN", 40, 'L'},
      {"FILEPATH", "FP", 40, 'L'},     {"VOLUMELABEL", "VL", 11, 'L'},
      {"TITLE", "T", 30, 'L'},         {"ARTIST", "A", 30, 'L'},
      {"ALBUM", "ALB", 35, 'L'},       {"YEAR", "Y", 4, 'L'},
      {"COMMENT", "CMNT", 30, 'L'},    {"GENRE", "G", 25, 'L'},
      {"GENRENR", "GNR", 3, 'R'},      {"TRACK", "TR", 3, 'R'},
      {"DURATION", "D", 4, 'R'},       {"DURATIONCOMMA", "DC", 5, 'R'},
      {"DURATIONFORM", "DF", 5, 'R'},  {"LENGTH", "L", 9, 'R'},
      {"FILEDATE", "FD", 10, 'L'},     {"FILETIME", "FT", 8, 'L'},
      {"LENGTHCOMMA", "LC", 12, 'R'},  {"LENGTHKB", "LK", 6, 'R'},
      {"LENGTHKBCOMMA", "LKC", 8, 'R'}, {"LENGTHMB", "LM", 5, 'R'},
      {"VERSION", "V", 3, 'L'},        {"LAYER", "LY", 3, 'L'},
      {"LAYERNR", "LYN", 1, 'L'},      {"SAMPLERATE", "SR", 5, 'R'},
      {"SAMPLERATEKB", "SRK", 4, 'R'}, {"ERRORPROT", "EP", 3, 'L'},
      {"ERRORPROT*", "EP*", 1, 'L'},   {"COPYRIGHT", "C", 3, 'L'},
      {"COPYRIGHT*", "C*", 1, 'L'},    {"ORIGINAL", "O", 3, 'L'},
      {"ORIGINAL*", "O*", 1, 'L'},     {"MODE", "M", 12, 'L'},
      {"STEREO", "S", 6, 'L'},         {"BITRATE", "BR", 4, 'R'},
      {"FRAMELENGTH", "FL", 4, 'R'},   {"SELECTEDNR", "SLN", 3, 'R'},
      {"SELECTED", "SL", 3, 'L'},      {"SELECTED*", "SL*", 1, 'L'},
      {"VALID", "VD", 3, 'L'},         {"VALID*", "VD*", 1, 'L'},
  };
  const tDateTimeFields date = DosDateTimeToFields(FileDate);

  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '%') {
      out += text[i++];
      continue;
    }
    const size_t close = text.find('%', i + 1);
    if (close == std::string::npos) {
      out += "<<<ERROR!!! No end of item definition!>>>";
      return out;
    }
    const std::string item = text.substr(i + 1, close - i - 1);
    i = close + 1;
    if (item.empty()) {
      out += '%';
      continue;
    }
    // keyword "," alignment ("," or ":") width ("," or ":") fill
    std::string words[4];
    {
      size_t p = item.find(',');
      words[0] = item.substr(0, p);
      std::string rest = p == std::string::npos ? "" : item.substr(p + 1);
      for (int w = 1; w <= 2; w++) {
        size_t q = rest.find_first_of(",:");
        words[w] = rest.substr(0, q);
        rest = q == std::string::npos ? "" : rest.substr(q + 1);
      }
      words[3] = rest.substr(0, rest.find(','));
    }
    const std::string keyword = Upper(Trim(words[0]));

    std::string value;
    int defWidth = 0;
    char defAlign = 'L';
    bool known = true;
    if (!keyword.empty() && keyword.find_first_not_of("0123456789.") == std::string::npos &&
        std::isdigit(static_cast<unsigned char>(keyword[0]))) {
      value = std::string(1, static_cast<char>(std::stoi(keyword.substr(0, 6)) & 0xFF));
      defWidth = 1;
    } else {
      const tKeyword* k = nullptr;
      for (const tKeyword& kw : kKeywords)
        if (keyword == kw.name || keyword == kw.shortName) k = &kw;
      if (!k) {
        known = false;
      } else {
        defWidth = k->width;
        defAlign = k->align;
        const std::string name = k->name;
        if (name == "NEWLINE") value = "\r\n";
        else if (name == "SOFTNEWLINE") value = "";
        else if (name == "TAB") value = "\t";
        else if (name == "FILENAME") value = ExtractFileName(FileName);
        else if (name == "FILEPATH") value = ExtractFilePath(FileName);
        else if (name == "VOLUMELABEL") value = VolumeLabel;
        else if (name == "TITLE") value = Trim(Title);
        else if (name == "ARTIST") value = Trim(Artist);
        else if (name == "ALBUM") value = Trim(Album);
        else if (name == "YEAR") value = Trim(Year);
        else if (name == "COMMENT") value = Trim(Comment);
        else if (name == "GENRE") value = GenreText();
        else if (name == "GENRENR") value = std::to_string(GenreNr);
        else if (name == "TRACK") value = std::to_string(Track);
        else if (name == "DURATION") value = std::to_string(Duration);
        else if (name == "DURATIONCOMMA") value = Trim(Format("%12.0n", {static_cast<double>(Duration)}));
        else if (name == "DURATIONFORM")
          value = Format("%.2d:%.2d", {(Duration / 60) % 60, Duration % 60});
        else if (name == "LENGTH") value = std::to_string(FileLength);
        else if (name == "FILEDATE")
          value = Format("%.2d.%.2d.%.4d", {date.Day, date.Month, date.Year});
        else if (name == "FILETIME")
          value = Format("%.2d:%.2d:%.2d", {date.Hour, date.Minute, date.Second});
        else if (name == "LENGTHCOMMA") value = Trim(Format("%14.0n", {static_cast<double>(FileLength)}));
        else if (name == "LENGTHKB") value = std::to_string(FileLength / 1024);
        else if (name == "LENGTHKBCOMMA")
          value = Trim(Format("%10.0n", {static_cast<double>(FileLength) / 1024}));
        else if (name == "LENGTHMB")
          value = Trim(Format("%3.1f", {static_cast<double>(FileLength) / 1048576}));
        else if (name == "VERSION") value = VersionText();
        else if (name == "LAYER") value = LayerText();
        else if (name == "LAYERNR") value = std::to_string(Layer);
        else if (name == "SAMPLERATE") value = std::to_string(SampleRate);
        else if (name == "SAMPLERATEKB") value = Trim(Format("%4.1f", {SampleRate / 1000.0}));
        else if (name == "ERRORPROT") value = YesNo(!Protection);
        else if (name == "ERRORPROT*") value = Star(!Protection);
        else if (name == "COPYRIGHT") value = YesNo(Copyright);
        else if (name == "COPYRIGHT*") value = Star(Copyright);
        else if (name == "ORIGINAL") value = YesNo(Original);
        else if (name == "ORIGINAL*") value = Star(Original);
        else if (name == "MODE") value = ModeText();
        else if (name == "STEREO") value = Mode == 3 ? "Mono" : "Stereo";
        else if (name == "BITRATE") value = std::to_string(BitRate);
        else if (name == "FRAMELENGTH") value = std::to_string(FrameLength);
        else if (name == "SELECTEDNR") value = std::to_string(SelectedNr);
        else if (name == "SELECTED") value = YesNo(SelectedNr > 0);
        else if (name == "SELECTED*") value = Star(SelectedNr > 0);
        else if (name == "VALID") value = YesNo(IsValid());
        else if (name == "VALID*") value = Star(IsValid());
      }
    }
    if (!known) {
      out += '%' + item + '%';
      continue;
    }

    const std::string alignWord = Upper(Trim(words[1]));
    char align = alignWord.empty() ? 0 : alignWord[0];
    int width;
    const std::string widthWord = Trim(words[2]);
    if (align != 'C' && align != 'L' && align != 'R' && align != 'T') {
      align = defAlign;
      width = defWidth;
    } else if (widthWord.empty()) {
      width = defWidth;
    } else if (widthWord.size() <= 6 &&
               widthWord.find_first_not_of("0123456789") == std::string::npos) {
      width = std::stoi(widthWord);
      if (width == 0) width = defWidth;
    } else {
      width = -1;
    }
    const char fill = words[3].empty() ? ' ' : words[3][0];
    if (align != 'T' && width >= 0) {
      value = LeftChars(value, static_cast<size_t>(width));
      const size_t missing = static_cast<size_t>(width) - CharCount(value);
      if (align == 'L') {
        value += std::string(missing, fill);
      } else if (align == 'R') {
        value = std::string(missing, fill) + value;
      } else {
        value = std::string(missing / 2, fill) + value + std::string(missing - missing / 2, fill);
      }
    }
    out += value;
  }
  return out;
}
