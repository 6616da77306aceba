// MPEG audio files: the first frame header that a second one confirms (MPEG 1, 2 and 2.5,
// layers I to III), the ID3v1 tag in the last 128 bytes, and texts made from a template whose
// items stand between two percent signs ("%TITLE,R,10,.%").
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "foundation/uBuffStream.h"
#include "foundation/uTypes.h"

class TMPEGAudio {
 public:
  TMPEGAudio() = default;

  // Tag.
  std::string TagId;  // "TAG" when read; "BAD" after a reset
  std::string Title, Artist, Album, Year, Comment;
  uint8_t GenreNr = 0;  // 255 after a reset
  uint8_t Track = 0;

  uint32_t Duration = 0;   // seconds
  int64_t FileLength = 0;  // bytes

  // Header.
  uint8_t Version = 0;  // 0 invalid, 1 MPEG 1.0, 2 MPEG 2.0, 3 MPEG 2.5
  uint8_t Layer = 0;    // 1..3, 0 invalid
  uint32_t SampleRate = 0;  // Hz
  uint32_t BitRate = 0;     // kbit/s
  uint8_t Mode = 0;         // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  bool Copyright = false, Original = false, Protection = false, Padding = false;
  uint32_t FrameLength = 0;  // bytes

  std::string FileName;  // as given to ReadFile
  std::string VolumeLabel;
  uint32_t FileDate = 0;  // DOS date and time
  TDateTime FileDateTime = 0;
  uint32_t FileAttr = 0;
  uint16_t SelectedNr = 0;

  int64_t SearchLimit = 0;     // 0: the whole file
  int64_t HeaderPosition = 0;  // file size + 1 when none was found
  std::string Template;
  std::string Text;  // Template formatted by the last ReadFile

  // The volume label of a drive letter; none by default (portable code cannot ask).
  std::function<std::string(char drive)> VolumeLabelOf;
  // Called every 300 bytes of searching, so a window can keep its messages flowing.
  std::function<void()> OnSearchProgress;

  void Reset();
  // Reads the file: 0 when it opened, -1 when it does not exist, else the open error.
  int ReadFile(const std::string& fileName);
  // Reads from a stream (FileName and the file facts are the caller's).
  void ReadStream(TStream& stream);
  bool IsValid() const;
  // Decodes a big-endian 32-bit header word into the header fields (all cleared first).
  void DecodeHeader(uint32_t header);

  std::string GenreText() const;
  std::string ModeText() const;
  std::string LayerText() const;
  std::string VersionText() const;
  std::string FormatTemplate(const std::string& text) const;

 private:
  void ResetHeader();
  void ResetTag();
  void ReadTag(TStream& stream);
};

std::string Id3GenreName(int genre);
