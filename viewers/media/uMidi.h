// Standard MIDI files: read into memory, analysed once (length, tempi, time signature, channels
// with notes, the multi-timbral layout and the instrument set they were written for), then
// stepped in time beside the player, keeping per-channel note levels and telling a window of
// track names, instrument, tempo and time-signature changes.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Notifications sent to the window during AdvanceTo (never during the analysis).
constexpr unsigned WM_MIDI_TRACKNAME = 0x400 + 105;   // wParam track number, lParam text
constexpr unsigned WM_MIDI_INSTRUMENT = 0x400 + 106;  // wParam channel 0..15, lParam name
constexpr unsigned WM_MIDI_TEMPO = 0x400 + 107;       // wParam beats per minute
constexpr unsigned WM_MIDI_SIGNATURE = 0x400 + 108;   // time signature changed

enum tMidiKind : uint8_t { mkBasic, mkExtended, mkBasicExtended, mkGeneral };
enum tMidiInstruments : uint8_t { miMT32, miStandard };

// Name of a General MIDI program 0..127 (empty for 128 and above).
std::string MidiProgramName(int program);
// The General MIDI program that an MT-32 preset sounds like.
uint8_t MT32ToGeneral(int preset);

class tMidiFile;

class tMidiTrack {
 public:
  tMidiTrack(tMidiFile& file, uint16_t number, int64_t start, int64_t end);
  void Rewind();
  bool UsedUp() const { return usedUp_; }
  // Reads one event and the delta time after it.
  void ReadEvent(uint64_t tick);

  uint16_t Number;
  uint64_t NextTick = 0;
  bool Counting = false;
  bool NameMatched = false;
  uint8_t Program = 255;
  std::string Text;

 private:
  uint8_t ReadByte();
  uint32_t ReadVarLen(int first = -1);
  void Skip(uint64_t count);

  tMidiFile& file_;
  int64_t start_, pos_, end_;
  bool usedUp_ = false;
  uint8_t runningStatus_ = 0;
};

class tMidiFile {
 public:
  // Loads the whole file (a file too large or unreadable gives an empty one).
  explicit tMidiFile(const std::string& fileName);
  explicit tMidiFile(std::vector<uint8_t> bytes);

  // Parses the chunks and runs the counting pass; notifications later go to window.
  void Analyse(intptr_t window = 0);
  // Rewinds every track to its start: time 0, all levels 0, the first tempo.
  void Reset();
  // Processes every event at or before ms milliseconds.
  void AdvanceTo(uint64_t ms);

  std::string KindText() const;
  std::string InstrumentSetText() const;
  std::string TimeSignatureText() const;
  // The instrument name of a channel's program through the chosen set's map.
  std::string ChannelInstrument(int channel) const;

  // Receives the notifications instead of the window (tests, other hosts).
  std::function<void(unsigned message, uintptr_t wParam, const std::string& text)> OnNotify;

  bool Analysed = false;
  bool HasHeader = false;  // an "MThd" chunk was found
  intptr_t Window = 0;
  uint8_t PercussionChannel = 9;
  uint8_t SigNumerator = 0;
  uint32_t SigDenominator = 0;  // 0: no time signature seen
  uint32_t TempoCount = 0;
  uint16_t BeatsPerMinute = 0;
  uint32_t TicksPerSecond = 380;
  uint64_t CurrentTime = 0;  // milliseconds
  uint64_t Length = 0;       // milliseconds
  bool HasNotes[16] = {};
  bool IsShown[16] = {};
  int Level[16] = {};
  uint8_t Program[16];
  uint16_t Format = 0, TrackCount = 0, Division = 0;
  uint32_t FirstTempo = 0, CurrentTempo = 0;
  tMidiKind Kind = mkBasic;
  tMidiInstruments InstrumentSet = miStandard;
  uint16_t StandardMatches = 0, MT32Matches = 0;
  uint8_t LowestPan = 127, HighestPan = 0;
  std::vector<std::unique_ptr<tMidiTrack>> Tracks;

  // Largest file loaded; MIDI files are small, so anything above is not read at all.
  static constexpr int64_t kMaxFileSize = 32 << 20;

 private:
  friend class tMidiTrack;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  void SetRates();
  uint64_t TicksToMs(uint64_t ticks) const;
  uint64_t TimeOfTick(uint64_t tick) const;
  uint64_t NextStepTick(bool& any) const;
  void Step(uint64_t tick, bool counting);
  void TempoChange(uint64_t tick, uint32_t tempo, bool counting);
  void MatchNames(tMidiTrack& track, int channel);
  void Notify(unsigned message, uintptr_t wParam, const std::string& text);

  std::vector<uint8_t> bytes_;
  const uint8_t* programMap_ = nullptr;  // null: the standard (identity) map
  uint64_t lastTempoTick_ = 0;
  uint64_t msAccumulator_ = 0;
};
