// UU, XX and Base64 coding.
#include "viewers/text/uUUCode.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "online/uGuide.h"

namespace {

constexpr char kUUAlphabet[] = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
constexpr char kXXAlphabet[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr char kB64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kBytesPerLine = 45;
constexpr size_t kMaxOutputName = 260;
constexpr size_t kDetectLines = 500;

std::string Lower(std::string s) {
  for (char& c : s) c = LowerChar(c);
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

bool IsThreeDigits(const std::string& w) {
  return w.size() == 3 && std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNumber(const std::string& w) {
  return !w.empty() && w.size() < 10 &&
         std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

const char* UUAlphabet(uint8_t mode) {
  return mode == umXX ? kXXAlphabet : mode == umBase64 ? kB64Alphabet : kUUAlphabet;
}

tUUparser::tUUparser() { std::fill(std::begin(Table), std::end(Table), int16_t{-1}); }

void tUUparser::BuildTable() {
  std::fill(std::begin(Table), std::end(Table), int16_t{-1});
  if (Mode != umUU && Mode != umXX && Mode != umBase64) return;
  const char* a = UUAlphabet(Mode);
  for (int i = 0; i < 64; ++i) Table[static_cast<uint8_t>(a[i])] = static_cast<int16_t>(i);
  if (Mode == umBase64) Table[static_cast<uint8_t>('=')] = -2;
}

char tUUparser::FillChar() const {
  return (Mode == umUU || Mode == umXX || Mode == umBase64) ? UUAlphabet(Mode)[0] : ' ';
}

int tUUparser::CheckLength(const std::string& line) {
  if (line.empty()) {
    ErrorCode = ueBadLine;
    return 0;
  }
  const int n = Table[static_cast<uint8_t>(line[0])];
  if (n < 0) {
    ErrorCode = ueBadLine;
    return 0;
  }
  if (n > 0 && (n * 8 + 5) / 6 + 1 > static_cast<int>(line.size())) ErrorCode = ueBadLine;
  return n;
}

void tUUparser::DetectEncoding(const std::string& line) {
  for (uint8_t mode : {umUU, umXX}) {
    Mode = mode;
    BuildTable();
    std::string probe = line;
    std::replace(probe.begin(), probe.end(), ' ', FillChar());
    const int saved = ErrorCode;
    const int n = CheckLength(probe);
    // A line of no bytes (an empty file's only line) fits as well when it is the bare length
    // character: otherwise a block holding nothing could never be decoded.
    const bool fits = ErrorCode == ueNone && (n > 0 || Trim(probe).size() == 1);
    ErrorCode = saved;
    if (fits) {
      DecodeCountedLine(line);
      return;
    }
  }
  Mode = umUnsupported;
  ErrorCode = ueBadLine;
  InData = false;
}

void tUUparser::DecodeCountedLine(std::string line) {
  ByteCount = 0;
  if (line.empty()) {
    ErrorCode = ueEmptyLine;
    return;
  }
  if (Lower(Trim(line)) == "end") {
    InData = false;
    Finished = true;
    return;
  }
  std::replace(line.begin(), line.end(), ' ', FillChar());
  const int n = CheckLength(line);
  if (ErrorCode != ueNone || n < 1) return;
  Bytes.assign(static_cast<size_t>(n) + 3, 0);
  int done = 0;
  for (size_t i = 1; done < n; i += 4) {
    int c[4];
    for (int k = 0; k < 4; ++k) {
      c[k] = 0;
      if (i + k < line.size()) {
        c[k] = Table[static_cast<uint8_t>(line[i + k])];
        if (c[k] < 0) {
          ErrorCode = ueBadLine;
          return;
        }
      }
    }
    const uint8_t b[3] = {static_cast<uint8_t>((c[0] << 2) | (c[1] >> 4)),
                          static_cast<uint8_t>((c[1] << 4) | (c[2] >> 2)),
                          static_cast<uint8_t>((c[2] << 6) | c[3])};
    for (int k = 0; k < 3 && done < n; ++k) Bytes[static_cast<size_t>(done++)] = b[k];
  }
  ByteCount = static_cast<uint16_t>(n);
}

void tUUparser::DecodeBase64Line(const std::string& line) {
  ByteCount = 0;
  if (line.empty()) {
    InData = false;
    Finished = true;
    return;
  }
  // Sized from the line: a line of any length decodes into its own buffer.
  Bytes.assign(line.size() * 3 / 4 + 3, 0);
  uint32_t acc = 0;
  size_t bits = 0, out = 0;
  int inGroup = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const uint8_t ch = static_cast<uint8_t>(line[i]);
    int v = Table[ch];
    if (v == -2) {
      if (i + 2 < line.size()) {  // "=" only among the last two characters
        ErrorCode = ueBadLine;
        break;
      }
      v = 0;
    } else if (v < 0) {
      if (ch == '-') {  // a MIME boundary: the data ends here
        InData = false;
        Finished = true;
        break;
      }
      ErrorCode = ueBadLine;
      break;
    } else {
      bits += 6;
    }
    acc = (acc << 6) | static_cast<uint32_t>(v);
    if (++inGroup == 4) {
      Bytes[out] = static_cast<uint8_t>(acc >> 16);
      Bytes[out + 1] = static_cast<uint8_t>(acc >> 8);
      Bytes[out + 2] = static_cast<uint8_t>(acc);
      out += 3;
      acc = 0;
      inGroup = 0;
    }
  }
  if (inGroup > 0) {  // a last group short of characters: missing ones count as 0
    acc <<= 6 * (4 - inGroup);
    Bytes[out] = static_cast<uint8_t>(acc >> 16);
    Bytes[out + 1] = static_cast<uint8_t>(acc >> 8);
    Bytes[out + 2] = static_cast<uint8_t>(acc);
  }
  ByteCount = static_cast<uint16_t>(std::min<size_t>(bits / 8, 0xFFFF));
}

void tUUparser::ParseLine(const std::string& line) {
  if (ErrorCode != ueNone) Finished = true;
  if (Finished) {
    BeginSeen = WaitBlank = InData = false;
    ByteCount = 0;
    return;
  }
  ByteCount = 0;
  if (BeginSeen) {
    BeginSeen = false;
    BuildTable();
    if (Mode == umBase64)
      WaitBlank = true;
    else
      InData = true;
  }
  if (WaitBlank && line.empty()) {
    InData = true;
    WaitBlank = false;
    return;
  }
  if (InData) {
    if (Mode == umUU || Mode == umXX)
      DecodeCountedLine(line);
    else if (Mode == umBase64)
      DecodeBase64Line(line);
    else if (Mode == umUnknown)
      DetectEncoding(line);
    return;
  }
  ParseWords(line);
}

void tUUparser::ParseWords(const std::string& line) {
  const std::string first = Lower(GetWord(line, 1));
  if (first.rfind("content-", 0) == 0) MimeHeaders = true;
  const int words = WordCount(line);
  if (first == "section") {
    for (int i = 3; i <= words; ++i) {
      const std::string w = Lower(GetWord(line, i));
      if (w == "uuencode") Mode = umUU;
      if (w == "xxencode") Mode = umXX;
      if (w == "file" && i < words) AnnouncedName = GetWord(line, ++i);
    }
    if (!AnnouncedName.empty() && Mode != umUnknown) {
      const std::string w2 = GetWord(line, 2);
      Section = IsNumber(w2) ? std::stoi(w2) : 0;
      if (Section != 1) Mode = umUnsupported;
    }
  } else if (first == "begin") {
    const std::string w2 = GetWord(line, 2);
    if (IsThreeDigits(w2)) {
      const size_t at = line.find(w2, line.find_first_not_of(" \t") + 5);
      OutputName = Trim(at == std::string::npos ? "" : line.substr(at + 3));
      if (OutputName.size() > kMaxOutputName) OutputName.resize(kMaxOutputName);
      if (Mode == umUnknown) {
        if (SourceExt == ".uue") Mode = umUU;
        if (SourceExt == ".xxe") Mode = umXX;
      }
      BeginSeen = true;
    }
  } else if (first == "content-transfer-encoding:") {
    if (Lower(GetWord(line, 2)) == "base64") Base64Announced = true;
  }
  if (MimeHeaders) {
    for (int i = 1; i <= words; ++i) {
      const std::string w = GetWord(line, i);
      const size_t at = Lower(w).find("name=");
      if (at == std::string::npos) continue;
      std::string name = w.substr(at + 5);
      name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '"' || c == ';'; }),
                 name.end());
      if (!name.empty()) AnnouncedName = name;
    }
    if (Base64Announced && !AnnouncedName.empty()) {
      OutputName = AnnouncedName;
      Mode = umBase64;
      BeginSeen = true;
    }
  }
}

std::string SafeOutputName(const std::string& announced) {
  std::string name = announced;
  const size_t cut = name.find_last_of("/\\:");
  if (cut != std::string::npos) name = name.substr(cut + 1);
  name.erase(std::remove_if(name.begin(), name.end(),
                            [](char c) {
                              return static_cast<unsigned char>(c) < 32 ||
                                     std::strchr("<>\"|?*", c) != nullptr;
                            }),
             name.end());
  // Windows drops trailing dots and blanks; a name of only those is no name.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  const size_t lead = name.find_first_not_of(' ');
  name = lead == std::string::npos ? "" : name.substr(lead);
  return name.empty() ? "default.dat" : name;
}

bool HasEncodedData(const std::vector<std::string>& lines, const std::string& sourceExt) {
  tUUparser parser;
  parser.SourceExt = Lower(sourceExt);
  for (size_t i = 0; i < lines.size() && i < kDetectLines && parser.Mode == umUnknown; ++i)
    parser.ParseLine(lines[i]);
  if (parser.Mode == umUnknown) parser.Mode = umUnsupported;
  return parser.Mode != umUnsupported;
}

int EncodeFile(uint8_t mode, const std::string& fileName, std::string& outputName) {
  outputName.clear();
  auto in = OpenFileStream(fileName);
  if (!in) return 1;
  outputName = Unique83FileName(fileName, mode == umXX ? ".xxe" : ".uue");
  auto out = CreateFileStream(outputName);
  if (!out) {
    outputName.clear();
    return 2;
  }
  const char* a = UUAlphabet(mode);
  const std::string name = Lower(ExtractFileName(fileName));
  std::string text = Format("section 1 of %sencode of file %13s by Tavishore\r\n\r\nbegin 644 %s\r\n",
                            {mode == umXX ? "xx" : "uu", name, name});
  uint8_t buf[kBytesPerLine];
  for (;;) {
    const int32_t n = in->Read(buf, kBytesPerLine);
    const int count = n > 0 ? n : 0;
    std::fill(buf + count, buf + kBytesPerLine, uint8_t{0});
    text += a[count];
    for (int i = 0; i < count; i += 3) {
      const uint8_t b0 = buf[i], b1 = buf[i + 1], b2 = buf[i + 2];
      text += a[b0 >> 2];
      text += a[((b0 << 4) | (b1 >> 4)) & 63];
      text += a[((b1 << 2) | (b2 >> 6)) & 63];
      text += a[b2 & 63];
    }
    text += "\r\n";
    if (count == 0) break;
    if (text.size() > 65536) {
      if (out->Write(text.data(), static_cast<int32_t>(text.size())) != static_cast<int32_t>(text.size()))
        return 2;
      text.clear();
    }
  }
  text += "end\r\n";
  if (out->Write(text.data(), static_cast<int32_t>(text.size())) != static_cast<int32_t>(text.size()))
    return 2;
  return 0;
}

int DecodeToFiles(const std::string& textFileName, std::string& outputName, std::string& newTextName,
                  int& errorLine) {
  outputName.clear();
  newTextName.clear();
  errorLine = 0;
  const std::vector<std::string> lines = SplitTextLines(LoadStringFromFile(textFileName));
  tUUparser parser;
  parser.SourceExt = Lower(ExtractFileExt(textFileName));
  const std::string folder = ExtractFilePath(textFileName);
  std::unique_ptr<TStream> out;
  std::string outPath;
  bool writeFailed = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool wasBegin = parser.BeginSeen;
    parser.ParseLine(lines[i]);
    if (parser.ErrorCode != ueNone && errorLine == 0) errorLine = static_cast<int>(i + 1);
    if (parser.BeginSeen && !wasBegin && !out) {
      for (const std::string& candidate : {SafeOutputName(parser.OutputName), std::string("default.dat")}) {
        outPath = UniqueFileName(folder + candidate);
        out = CreateFileStream(outPath);
        if (out) break;
      }
      if (!out)
        throw ECantOpenOut(Format("Unable to open output file %s", {ExtractFileName(outPath)}));
      outputName = ExtractFileName(outPath);
    }
    if (out && parser.ByteCount > 0 && parser.ErrorCode == ueNone) {
      const int32_t n = parser.ByteCount;
      if (out->Write(parser.Bytes.data(), n) != n) writeFailed = true;
    }
  }
  out.reset();
  if (writeFailed) {  // a full disk: no partial file is left behind
    Platform().RemoveFile(outPath);
    throw ECantOpenOut(Format("Unable to open output file %s", {outputName}));
  }
  if (parser.ErrorCode != ueNone) {
    if (!outPath.empty() && !outputName.empty()) Platform().RemoveFile(outPath);
    return parser.ErrorCode;
  }
  const char* ext = parser.Mode == umUU ? ".uue" : parser.Mode == umXX ? ".xxe"
                                                 : parser.Mode == umBase64 ? ".mme" : nullptr;
  if (ext && !outputName.empty() && parser.SourceExt != ext) {
    const std::string base = textFileName.substr(0, textFileName.size() - ExtractFileExt(textFileName).size());
    const std::string renamed = UniqueFileName(base + ext);
    if (Platform().ReplaceFile(textFileName, renamed)) newTextName = ExtractFileName(renamed);
  }
  return ueNone;
}
