#include "viewers/media/uMidi.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "foundation/uBuffStream.h"
#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

namespace {

const char* const kProgramNames[128] = {
    "Acoustic Grand Piano", "Brite Acoustic Piano", "Electric Grand Piano", "Honkeytonk Piano",
    "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavichord", "Celesta",
    "Glockenspiel", "Musicbox", "Vibraphone", "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion",
    "Harmonica", "Tango Accordion", "Acoustic Guitar nyln", "Acoustic Guitar stl",
    "Electric Guitar jazz", "Electric Guitar cln", "Electric Guitar mute", "Overdriven Guitar",
    "Distortion Guitar", "Guitar Harmonics", "Acoustic Bass", "Electric Bass finger",
    "Electric Bass pick", "Fretless Bass", "Slap Bass 1", "Slap Bass 2", "Synth Bass 1",
    "Synth Bass 2", "Violin", "Viola", "Cello", "Contrabass", "Tremelo Strings",
    "Pizzicato Strings", "Orchestral Harp", "Timpani", "String Ensemble 1", "String Ensemble 2",
    "Synth Strings 1", "Synth Strings 2", "Choir AAHS", "Voice OOHS", "Synth Voice",
    "Orchestra Hit", "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn",
    "Brass Section", "Synth Brass 1", "Synth Brass 2", "Soprano Sax", "Alto Sax", "Tenor Sax",
    "Baritone Sax", "Oboe", "English Horn", "Bassoon", "Clarinet", "Piccolo", "Flute", "Recorder",
    "Pan Flute", "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina", "Synth Lead square",
    "Synth Lead sawtooth", "Synth Lead calliope", "Synth Lead chiff", "Synth Lead charang",
    "Synth Lead voice", "Synth Lead fifths", "Synth Lead bass lead", "Synth Pad new age",
    "Synth Pad warm", "Synth Pad polysynth", "Synth Pad choir", "Synth Pad bowed",
    "Synth Pad metallic", "Synth Pad halo", "Synth Pad sweep", "Synth FX rain",
    "Synth FX soundtrack", "Synth FX crystal", "Synth FX atmosphere", "Synth FX brightness",
    "Synth FX goblins", "Synth FX echoes", "Synth FX sci-fi", "Sitar", "Banjo", "Shamisen", "Koto",
    "Kalimba", "Bag Pipe", "Fiddle", "Shanai", "Tinkle Bell", "Agogo", "Steel Drums",
    "Wood Block", "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Lost In Space", "Bird Tweet", "Telephone Ring",
    "Helicopter", "Applause", "Gunshot"};

const uint8_t kMT32Map[128] = {
    0,   1,   0,   4,   5,   4,   5,  3,  16, 17, 18,  18,  19,  20,  19, 21,  6,   6,  6,
    7,   7,   7,   8,   8,   62,  63, 62, 63, 38, 39,  38,  39,  89,  95, 91,  98,  97, 99,
    89,  87,  102, 96,  88,  102, 85, 86, 87, 80, 48,  49,  50,  45,  40, 40,  42,  42, 43,
    46,  46,  24,  25,  26,  27,  104, 32, 32, 33, 33,  36,  37,  35,  35, 73,  73,  72, 72,
    74,  75,  64,  65,  66,  67,  71, 71, 68, 69, 70,  22,  56,  59,  57, 57,  60,  60, 58,
    61,  62,  11,  11,  14,  14,  9,  14, 13, 12, 107, 111, 77,  78,  79, 76,  121, 117, 117,
    118, 115, 126, 116, 116, 119, 114, 112, 55, 118, 123, 105, 90,  113};

// A running status that no status byte has: the track's data is used up.
constexpr uint8_t kUsedUp = 44;

std::string UpperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string MidiProgramName(int program) {
  return program >= 0 && program < 128 ? kProgramNames[program] : "";
}

uint8_t MT32ToGeneral(int preset) { return kMT32Map[preset & 127]; }

// --- tMidiTrack ---

tMidiTrack::tMidiTrack(tMidiFile& file, uint16_t number, int64_t start, int64_t end)
    : Number(number), file_(file), start_(start), pos_(start), end_(end) {}

void tMidiTrack::Rewind() {
  pos_ = start_;
  usedUp_ = false;
  runningStatus_ = 0;
  NextTick = 0;
  NameMatched = false;
  NextTick = ReadVarLen();
}

uint8_t tMidiTrack::ReadByte() {
  if (usedUp_ || pos_ >= end_) {
    usedUp_ = true;
    runningStatus_ = kUsedUp;
    return 0;
  }
  return file_.Bytes()[static_cast<size_t>(pos_++)];
}

uint32_t tMidiTrack::ReadVarLen(int first) {
  uint32_t value = 0;
  uint8_t b = first >= 0 ? static_cast<uint8_t>(first) : ReadByte();
  for (;;) {
    value = (value << 7) | (b & 0x7F);
    if (!(b & 0x80) || usedUp_) break;
    b = ReadByte();
  }
  return value;
}

void tMidiTrack::Skip(uint64_t count) {
  const uint64_t left = static_cast<uint64_t>(end_ - pos_);
  pos_ += static_cast<int64_t>(std::min(count, left));
}

void tMidiTrack::ReadEvent(uint64_t tick) {
  tMidiFile& f = file_;
  uint8_t b = ReadByte();
  if (usedUp_) return;
  int data1 = -1;
  if (b >= 128) {
    runningStatus_ = b;
    if (b < 240) data1 = ReadByte();
  } else {
    data1 = b;
  }
  const uint8_t status = runningStatus_;
  const int channel = status & 15;
  switch (status >> 4) {
    case 0x8: {
      ReadByte();  // velocity
      if (!Counting && f.Level[channel] > 0) f.Level[channel]--;
      break;
    }
    case 0x9: {
      const uint8_t velocity = ReadByte();
      if (velocity == 0) {
        if (!Counting && f.Level[channel] > 0) f.Level[channel]--;
      } else if (Counting) {
        f.HasNotes[channel] = true;
        if (!NameMatched) f.MatchNames(*this, channel);
      } else {
        f.Level[channel]++;
      }
      break;
    }
    case 0xA: ReadByte(); break;
    case 0xB: {
      const uint8_t value = ReadByte();
      if (Counting && data1 == 10) {
        f.LowestPan = std::min(f.LowestPan, value);
        f.HighestPan = std::max(f.HighestPan, value);
      }
      break;
    }
    case 0xC: {
      const uint8_t program = static_cast<uint8_t>(data1 & 0x7F);
      if (Counting) {
        f.Program[channel] = program;
      } else if (channel != f.PercussionChannel) {
        f.Program[channel] = program;
        if (f.HasNotes[channel])
          f.Notify(WM_MIDI_INSTRUMENT, static_cast<uintptr_t>(channel),
                   f.ChannelInstrument(channel));
      } else if (program >= 35 && program <= 75) {
        f.Program[channel] = program;
      }
      NameMatched = false;
      break;
    }
    case 0xD: break;
    case 0xE: ReadByte(); break;
    case 0xF: {
      if (status == 0xFF) {
        const uint8_t type = data1 >= 0 ? static_cast<uint8_t>(data1) : ReadByte();
        const uint32_t length = ReadVarLen();
        if (type >= 1 && type <= 7) {
          std::string text;
          for (uint32_t i = 0; i < length && !usedUp_; i++) {
            const char c = static_cast<char>(ReadByte());
            if (!usedUp_ && text.size() < 255) text += c;
          }
          Text = text;
          NameMatched = false;
          if (!Counting) f.Notify(WM_MIDI_TRACKNAME, Number, Text);
        } else if (type == 0x2F) {
          Skip(length);
          runningStatus_ = 0x2F;
        } else if (type == 0x51) {
          uint32_t tempo = ReadByte();
          tempo = (tempo << 8) | ReadByte();
          tempo = (tempo << 8) | ReadByte();
          if (length > 3) Skip(length - 3);
          if (!usedUp_) f.TempoChange(tick, tempo, Counting);
        } else if (type == 0x58) {
          const uint8_t numerator = ReadByte();
          const uint8_t power = ReadByte();
          ReadByte();
          ReadByte();
          if (length > 4) Skip(length - 4);
          f.SigNumerator = numerator;
          f.SigDenominator = 1u << std::min<uint8_t>(power, 31);
          if (!Counting) f.Notify(WM_MIDI_SIGNATURE, 0, f.TimeSignatureText());
        } else {
          Skip(length);
        }
      } else {
        // System exclusive data: skipped by its length.
        Skip(ReadVarLen(data1));
      }
      break;
    }
    default: break;
  }
  if (!usedUp_) {
    NextTick += ReadVarLen();
  }
}

// --- tMidiFile ---

tMidiFile::tMidiFile(const std::string& fileName) {
  std::fill(std::begin(Program), std::end(Program), 255);
  std::unique_ptr<TStream> stream = OpenFileStream(fileName);
  if (!stream) return;
  const int64_t size = stream->Size();
  if (size <= 0 || size > kMaxFileSize) return;
  bytes_.resize(static_cast<size_t>(size));
  int64_t done = 0;
  while (done < size) {
    int32_t n = stream->Read(bytes_.data() + done, static_cast<int32_t>(size - done));
    if (n <= 0) break;
    done += n;
  }
  bytes_.resize(static_cast<size_t>(done));
}

tMidiFile::tMidiFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
  std::fill(std::begin(Program), std::end(Program), 255);
  if (static_cast<int64_t>(bytes_.size()) > kMaxFileSize) bytes_.clear();
}

void tMidiFile::Notify(unsigned message, uintptr_t wParam, const std::string& text) {
  if (OnNotify) {
    OnNotify(message, wParam, text);
  } else if (Window != 0) {
    Platform().SendWindowMessage(Window, message, wParam, reinterpret_cast<intptr_t>(text.c_str()));
  }
}

std::string tMidiFile::ChannelInstrument(int channel) const {
  const uint8_t program = Program[channel & 15];
  if (program >= 128) return "";
  return MidiProgramName(programMap_ ? programMap_[program] : program);
}

std::string tMidiFile::KindText() const {
  static const char* const kKinds[4] = {"Basic", "Extended", "Basic+Extended", "General"};
  return kKinds[Kind & 3];
}

std::string tMidiFile::InstrumentSetText() const {
  return InstrumentSet == miMT32 ? "MT32" : "Standard";
}

std::string tMidiFile::TimeSignatureText() const {
  if (SigDenominator == 0) return "";
  return ::Format("%d/%d", {SigNumerator, SigDenominator});
}

// Ticks per second never become 0 (a division of 0, an SMPTE resolution of 0 or a very slow
// tempo would have divided by it).
void tMidiFile::SetRates() {
  const uint8_t high = static_cast<uint8_t>(Division >> 8);
  if (high < 128) {
    if (CurrentTempo != 0) {
      TicksPerSecond = static_cast<uint32_t>(
          RoundHalfEven(static_cast<double>(Division) * 1000000.0 / CurrentTempo));
      BeatsPerMinute = static_cast<uint16_t>(RoundHalfEven(60000000.0 / CurrentTempo));
    } else {
      TicksPerSecond = 380;
      BeatsPerMinute = 0;
    }
  } else {
    const uint32_t frames = static_cast<uint32_t>(-static_cast<int8_t>(high));
    TicksPerSecond = frames * (Division & 0xFF);
    BeatsPerMinute = static_cast<uint16_t>(frames);
  }
  if (TicksPerSecond < 1) TicksPerSecond = 1;
}

// 64-bit arithmetic: no halving of the ticks is needed to stay in range.
uint64_t tMidiFile::TicksToMs(uint64_t ticks) const {
  if (ticks > UINT64_MAX / 1000) return UINT64_MAX / TicksPerSecond;
  return ticks * 1000 / TicksPerSecond;
}

uint64_t tMidiFile::TimeOfTick(uint64_t tick) const {
  const uint64_t since = tick >= lastTempoTick_ ? tick - lastTempoTick_ : 0;
  return msAccumulator_ + TicksToMs(since);
}

void tMidiFile::TempoChange(uint64_t tick, uint32_t tempo, bool counting) {
  if (tempo < 1 || tempo == CurrentTempo) return;
  if (counting) {
    if (TempoCount == 0) FirstTempo = tempo;
    TempoCount++;
  }
  msAccumulator_ = TimeOfTick(tick);
  lastTempoTick_ = tick;
  CurrentTempo = tempo;
  SetRates();
  if (!counting) Notify(WM_MIDI_TEMPO, BeatsPerMinute, "");
}

void tMidiFile::MatchNames(tMidiTrack& track, int channel) {
  const uint8_t program = Program[channel];
  if (track.Text.empty() || program >= 128) return;
  track.NameMatched = true;
  const std::string text = UpperCase(track.Text);
  for (int table = 0; table < 2; table++) {
    const std::string name = MidiProgramName(table == 0 ? program : kMT32Map[program]);
    const std::string upperName = UpperCase(name);
    const int words = WordCount(upperName);
    for (int w = 1; w <= words; w++) {
      const std::string word = GetWord(upperName, w);
      if (!word.empty() && text.find(word) != std::string::npos) {
        if (table == 0)
          StandardMatches++;
        else
          MT32Matches++;
      }
    }
  }
}

uint64_t tMidiFile::NextStepTick(bool& any) const {
  uint64_t next = UINT64_MAX;
  any = false;
  for (const auto& t : Tracks) {
    if (!t->UsedUp()) {
      any = true;
      next = std::min(next, t->NextTick);
    }
  }
  return any ? next : 0x7FFFFFFF;
}

void tMidiFile::Step(uint64_t tick, bool counting) {
  for (auto& t : Tracks) {
    t->Counting = counting;
    while (!t->UsedUp() && t->NextTick <= tick) t->ReadEvent(tick);
  }
}

void tMidiFile::Reset() {
  for (auto& t : Tracks) t->Rewind();
  lastTempoTick_ = 0;
  msAccumulator_ = 0;
  CurrentTime = 0;
  std::fill(std::begin(Level), std::end(Level), 0);
  CurrentTempo = FirstTempo;
  SetRates();
}

void tMidiFile::Analyse(intptr_t window) {
  Window = window;
  Tracks.clear();
  const int64_t size = static_cast<int64_t>(bytes_.size());
  const uint8_t* p = bytes_.data();
  auto be32 = [&](int64_t at) {
    return (static_cast<uint32_t>(p[at]) << 24) | (p[at + 1] << 16) | (p[at + 2] << 8) | p[at + 3];
  };
  if (size >= 14 && std::memcmp(p, "MThd", 4) == 0) {
    HasHeader = true;
    Format = static_cast<uint16_t>((p[8] << 8) | p[9]);
    TrackCount = static_cast<uint16_t>((p[10] << 8) | p[11]);
    Division = static_cast<uint16_t>((p[12] << 8) | p[13]);
    int64_t pos = 8 + static_cast<int64_t>(be32(4));
    if (TrackCount > 0) {
      while (pos + 8 <= size && std::memcmp(p + pos, "MTrk", 4) == 0) {
        const int64_t start = pos + 8;
        const int64_t end = std::min<int64_t>(start + be32(pos + 4), size);
        Tracks.push_back(std::make_unique<tMidiTrack>(*this, static_cast<uint16_t>(Tracks.size() + 1),
                                                      start, end));
        pos = start + be32(pos + 4);
        if (Tracks.size() >= TrackCount) break;
      }
    }
  }

  // Counting pass.
  std::fill(std::begin(HasNotes), std::end(HasNotes), false);
  FirstTempo = 0;
  TempoCount = 0;
  Reset();
  uint64_t lastTime = 0;
  for (;;) {
    bool any = false;
    const uint64_t tick = NextStepTick(any);
    if (!any) break;
    Step(tick, true);
    lastTime = TimeOfTick(tick);
  }
  Length = lastTime;
  InstrumentSet = MT32Matches > StandardMatches ? miMT32 : miStandard;
  programMap_ = InstrumentSet == miMT32 ? kMT32Map : nullptr;
  Reset();

  int a = 0, b = 0;
  for (int c = 0; c < 10; c++) a += HasNotes[c];
  for (int c = 12; c < 16; c++) b += HasNotes[c];
  if (HasNotes[10])
    Kind = mkGeneral;
  else if (b == 1 && a >= 7)
    Kind = mkGeneral;
  else if (b == 0)
    Kind = mkExtended;
  else if (a > 0)
    Kind = mkBasicExtended;
  else
    Kind = mkBasic;
  for (int c = 0; c < 16; c++) {
    switch (Kind) {
      case mkBasic: IsShown[c] = c >= 12 && HasNotes[c]; break;
      case mkExtended:
      case mkBasicExtended: IsShown[c] = c < 10 && HasNotes[c]; break;
      case mkGeneral: IsShown[c] = HasNotes[c]; break;
    }
    if (IsShown[c] && Program[c] == 255) Program[c] = 0;
  }
  PercussionChannel = Kind == mkBasic ? 15 : 9;
  Analysed = true;
}

void tMidiFile::AdvanceTo(uint64_t ms) {
  for (;;) {
    bool any = false;
    const uint64_t tick = NextStepTick(any);
    if (!any) break;
    const uint64_t time = TimeOfTick(tick);
    if (time > ms) break;
    Step(tick, false);
    CurrentTime = time;
  }
}
