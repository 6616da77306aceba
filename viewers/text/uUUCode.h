// UU, XX and Base64 coding: tUUparser reads a text line by line and decodes the first
// uuencoded, xxencoded or MIME base64 block it finds; EncodeFile writes a file as a uuencoded
// or xxencoded text.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

enum : uint8_t { umUnknown = 0, umUnsupported = 1, umUU = 2, umXX = 3, umBase64 = 4 };
enum : int { ueNone = 0, ueBadLine = 1, ueEmptyLine = 2 };

// No output file could be created while decoding.
class ECantOpenOut : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class tUUparser {
 public:
  tUUparser();
  virtual ~tUUparser() = default;

  virtual void ParseLine(const std::string& line);
  virtual void BuildTable();
  // Checks a counted line's length character; gives the byte count it announces.
  virtual int CheckLength(const std::string& line);
  virtual void DetectEncoding(const std::string& line);
  virtual void DecodeCountedLine(std::string line);
  virtual void DecodeBase64Line(const std::string& line);
  virtual char FillChar() const;

  int ErrorCode = ueNone;
  int Section = 0;
  uint8_t Mode = umUnknown;
  std::string SourceExt;      // lower case, with its dot
  std::string AnnouncedName;  // from a "section ... file NAME" line
  std::string OutputName;     // from the "begin" line or the MIME name
  uint16_t ByteCount = 0;     // bytes decoded from the current line
  int16_t Table[256];
  bool MimeHeaders = false, Base64Announced = false, BeginSeen = false, WaitBlank = false,
       InData = false, Finished = false;
  std::vector<uint8_t> Bytes;  // the current line's bytes (ByteCount of them)

 private:
  void ParseWords(const std::string& line);
};

// The 64-character alphabets; mode umUU, umXX or umBase64.
const char* UUAlphabet(uint8_t mode);

// Writes the file as a uuencoded (umUU) or xxencoded (umXX) text beside it, named like it with
// ".uue" or ".xxe" (the next free 8-character variant). 0 on success, 1 when the input cannot be
// opened, 2 when the output cannot be created.
int EncodeFile(uint8_t mode, const std::string& fileName, std::string& outputName);
inline int UUEncodeFile(const std::string& f, std::string& out) { return EncodeFile(umUU, f, out); }
inline int XXEncodeFile(const std::string& f, std::string& out) { return EncodeFile(umXX, f, out); }

// True when the first 500 lines hold an encoded block of a kind the parser knows.
bool HasEncodedData(const std::vector<std::string>& lines, const std::string& sourceExt);

// Decodes the first encoded block of a text file into a file of the same folder. outputName
// gets the output's name (no folder); when the block decoded, the text file takes the extension
// of its encoding and newTextName its new name (no folder; empty when it kept its name).
// errorLine gets the first line (from 1) that broke the format. Returns ueNone, ueBadLine or
// ueEmptyLine; throws ECantOpenOut when no output file can be created.
int DecodeToFiles(const std::string& textFileName, std::string& outputName,
                  std::string& newTextName, int& errorLine);

// A name announced inside a text, made safe to create in the text's folder: its last path
// part, without characters that a file name cannot hold; "default.dat" when nothing is left.
std::string SafeOutputName(const std::string& announced);
