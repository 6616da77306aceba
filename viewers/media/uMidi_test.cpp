#include "viewers/media/uMidi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A track's events, written with delta times.
struct TrackBuilder {
  Bytes data;
  void Delta(uint32_t d) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = d & 0x7F;
    while (d >>= 7) buf[n++] = 0x80 | (d & 0x7F);
    while (n) data.push_back(buf[--n]);
  }
  TrackBuilder& Ev(uint32_t delta, Bytes bytes) {
    Delta(delta);
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
  }
  TrackBuilder& Note(uint32_t delta, int channel, uint32_t length = 10) {
    Ev(delta, {uint8_t(0x90 | channel), 60, 100});
    return Ev(length, {uint8_t(0x80 | channel), 60, 0});
  }
  TrackBuilder& Tempo(uint32_t delta, uint32_t t) {
    return Ev(delta, {0xFF, 0x51, 3, uint8_t(t >> 16), uint8_t(t >> 8), uint8_t(t)});
  }
  TrackBuilder& Text(uint32_t delta, const std::string& s, uint8_t type = 3) {
    Bytes b = {0xFF, type, uint8_t(s.size())};
    b.insert(b.end(), s.begin(), s.end());
    return Ev(delta, b);
  }
  TrackBuilder& End(uint32_t delta = 0) { return Ev(delta, {0xFF, 0x2F, 0}); }
};

Bytes Be(uint32_t v, int n) {
  Bytes b;
  for (int i = n - 1; i >= 0; i--) b.push_back(uint8_t(v >> (8 * i)));
  return b;
}

Bytes MidiFile(uint16_t division, std::vector<TrackBuilder> tracks, uint16_t format = 1) {
  Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  for (auto v : {format, uint16_t(tracks.size()), division}) {
    Bytes b = Be(v, 2);
    out.insert(out.end(), b.begin(), b.end());
  }
  for (auto& t : tracks) {
    Bytes h = {'M', 'T', 'r', 'k'};
    Bytes len = Be(uint32_t(t.data.size()), 4);
    out.insert(out.end(), h.begin(), h.end());
    out.insert(out.end(), len.begin(), len.end());
    out.insert(out.end(), t.data.begin(), t.data.end());
  }
  return out;
}

tMidiFile Analysed(const Bytes& bytes) {
  tMidiFile f(bytes);
  f.Analyse();
  return f;
}

TEST(MidiFile, KindsAndPercussionChannel) {
  struct Case {
    const char* name;
    std::set<int> channels;  // 1..16
    tMidiKind kind;
    int percussion;  // 1..16
    std::set<int> shown;
  } cases[] = {
      {"channels 1..10", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, mkExtended, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"2..10 and 16", {2, 3, 4, 5, 6, 7, 8, 9, 10, 16}, mkGeneral, 10, {2, 3, 4, 5, 6, 7, 8, 9, 10, 16}},
      {"channel 11", {1, 11}, mkGeneral, 10, {1, 11}},
      {"13..16 only", {13, 14, 16}, mkBasic, 16, {13, 14, 16}},
      {"1 and 13", {1, 13}, mkBasicExtended, 10, {1}},
      {"no notes", {}, mkExtended, 10, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TrackBuilder t;
    for (int ch : c.channels) t.Note(0, ch - 1);
    tMidiFile f = Analysed(MidiFile(96, {t.End()}));
    EXPECT_EQ(f.Kind, c.kind);
    EXPECT_EQ(f.PercussionChannel + 1, c.percussion);
    for (int ch = 1; ch <= 16; ch++) {
      EXPECT_EQ(f.HasNotes[ch - 1], c.channels.count(ch) == 1) << ch;
      EXPECT_EQ(f.IsShown[ch - 1], c.shown.count(ch) == 1) << ch;
      // A shown channel without a program change gets program 0.
      if (c.shown.count(ch)) {
        EXPECT_EQ(f.Program[ch - 1], 0);
      }
    }
  }
}

TEST(MidiFile, LengthsAndTempi) {
  struct Case {
    const char* name;
    uint16_t division;
    TrackBuilder track;
    uint64_t length;
    uint32_t tempos;
    uint16_t bpm;
  } cases[] = {
      // Without a tempo, 380 ticks per second.
      {"no tempo", 96, TrackBuilder().Note(0, 0, 760).End(), 2000, 0, 0},
      {"one tempo", 96, TrackBuilder().Tempo(0, 500000).Note(0, 0, 384).End(), 2000, 1, 120},
      {"tempo change", 96, TrackBuilder().Tempo(0, 500000).Tempo(192, 250000).Note(0, 0, 384).End(),
       2000, 2, 120},
      // The same tempo again is no change.
      {"tempo repeated", 96, TrackBuilder().Tempo(0, 500000).Tempo(96, 500000).End(96), 1000, 1, 120},
      // 25 frames of 40 ticks: 1000 ticks per second.
      {"SMPTE", 0xE728, TrackBuilder().Note(0, 0, 1500).End(), 1500, 0, 25},
      // Ticks per second that rounded to 0 are held at 1, instead of dividing by 0.
      {"division 0", 0, TrackBuilder().Tempo(0, 500000).End(3), 3000, 1, 120},
      {"SMPTE resolution 0", 0xE700, TrackBuilder().End(2), 2000, 0, 25},
      {"very slow tempo", 1, TrackBuilder().Tempo(0, 0xFFFFFF).End(5), 5000, 1, 4},
      {"huge ticks", 0xE701, TrackBuilder().End(0x0FFFFFFF), 0x0FFFFFFFull * 1000 / 25, 0, 25},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    tMidiFile f = Analysed(MidiFile(c.division, {c.track}));
    EXPECT_EQ(f.Length, c.length);
    EXPECT_EQ(f.TempoCount, c.tempos);
    EXPECT_EQ(f.BeatsPerMinute, c.bpm);  // after the analysis: the first tempo's
    EXPECT_GE(f.TicksPerSecond, 1u);
  }
}

TEST(MidiFile, RunningStatusTruncationAndNoHeader) {
  // Note-ons on channel 3 under running status, then the track is cut inside an event.
  TrackBuilder t;
  t.Ev(0, {0x92, 60, 100}).Ev(10, {62, 100}).Ev(10, {64, 0}).Ev(10, {0xC4});
  tMidiFile f = Analysed(MidiFile(96, {t}));
  EXPECT_TRUE(f.HasNotes[2]);
  EXPECT_EQ(f.Tracks.size(), 1u);
  EXPECT_EQ(f.Length, 30 * 1000 / 380);

  tMidiFile none = Analysed({'R', 'I', 'F', 'F', 0, 0, 0, 0});
  EXPECT_FALSE(none.HasHeader);
  EXPECT_EQ(none.TrackCount, 0);
  EXPECT_TRUE(none.Analysed);
  EXPECT_EQ(none.Length, 0u);
  EXPECT_EQ(none.TimeSignatureText(), "");

  // A header that claims more tracks than there are, one chunk cut short.
  Bytes cut = MidiFile(96, {TrackBuilder().Note(0, 0, 100).End()});
  cut[11] = 5;
  cut.resize(cut.size() - 2);
  tMidiFile shortFile = Analysed(cut);
  EXPECT_EQ(shortFile.Tracks.size(), 1u);
  EXPECT_TRUE(shortFile.HasNotes[0]);
}

TEST(MidiFile, PlayNotifiesAndKeepsLevels) {
  TrackBuilder conductor;
  conductor.Text(0, "Conductor").Tempo(0, 500000).Ev(0, {0xFF, 0x58, 4, 3, 3, 24, 8})
      .Tempo(192, 400000).End(192);
  TrackBuilder piano;
  piano.Text(0, "Piano").Ev(0, {0xC0, 5}).Ev(0, {0x90, 60, 90}).Ev(0, {64, 90})
      .Ev(96, {0xC0, 40}).Ev(96, {0x80, 60, 0}).Ev(0, {0x80, 64, 0}).End();
  TrackBuilder drums;
  drums.Ev(0, {0xC9, 10}).Ev(0, {0xC9, 40}).Note(0, 9).End();
  tMidiFile f = Analysed(MidiFile(96, {conductor, piano, drums}));
  EXPECT_EQ(f.TimeSignatureText(), "3/8");
  EXPECT_EQ(f.TempoCount, 2u);
  EXPECT_EQ(f.Kind, mkExtended);

  std::vector<std::string> log;
  f.OnNotify = [&](unsigned m, uintptr_t w, const std::string& text) {
    log.push_back(std::to_string(m - 0x400) + ":" + std::to_string(w) + ":" + text);
  };
  f.AdvanceTo(0);
  EXPECT_EQ(f.Level[0], 2);
  EXPECT_EQ(f.Level[9], 1);
  // Percussion keeps only programs 35..75.
  EXPECT_EQ(f.Program[9], 40);
  f.AdvanceTo(500);  // tick 96 at 120 bpm
  EXPECT_EQ(f.CurrentTime, 500u);
  EXPECT_EQ(f.ChannelInstrument(0), "Violin");
  f.AdvanceTo(100000);
  EXPECT_EQ(f.Level[0], 0);
  const std::vector<std::string> want = {
      "105:1:Conductor", "108:0:3/8", "105:2:Piano", "106:0:Electric Piano 2",
      "106:0:Violin", "107:150:"};
  EXPECT_EQ(log, want);

  // Rewinding starts again from the first tempo with all levels at 0.
  f.Reset();
  EXPECT_EQ(f.CurrentTime, 0u);
  EXPECT_EQ(f.BeatsPerMinute, 120);
  for (int level : f.Level) EXPECT_EQ(level, 0);
}

TEST(MidiFile, InstrumentSetByTrackNames) {
  // Program 2 is "Electric Grand Piano" in the standard set and "Acoustic Grand Piano" on MT-32.
  auto make = [](const std::string& name) {
    TrackBuilder t;
    t.Text(0, name).Ev(0, {0xC0, 2}).Note(0, 0).End();
    return Analysed(MidiFile(96, {t}));
  };
  tMidiFile mt = make("acoustic piano");
  EXPECT_EQ(mt.InstrumentSetText(), "MT32");
  EXPECT_EQ(mt.ChannelInstrument(0), "Acoustic Grand Piano");
  tMidiFile gm = make("Electric Piano");
  EXPECT_EQ(gm.InstrumentSetText(), "Standard");
  EXPECT_EQ(gm.ChannelInstrument(0), "Electric Grand Piano");
  EXPECT_EQ(MidiProgramName(127), "Gunshot");
  EXPECT_EQ(MidiProgramName(128), "");
  EXPECT_EQ(MT32ToGeneral(127), 113);
}

// Files written by Python's mido (formats 0 and 1, tempo changes, the percussion channel, a
// time signature) and the shared files made by other tools: the lengths agree with mido's.
TEST(MidiFile, AgainstMido) {
  if (!testsupport::HaveTool("/usr/bin/python3") ||
      testsupport::Run("/usr/bin/python3 -c 'import mido'") != 0)
    GTEST_SKIP() << "no mido";
  const auto dir = testsupport::ScratchDir("midi_mido");
  const std::string script = R"PY(
import mido, sys
d = sys.argv[1]
def song(fmt, tpb):
    f = mido.MidiFile(type=fmt, ticks_per_beat=tpb)
    a = mido.MidiTrack(); f.tracks.append(a)
    a.append(mido.MetaMessage('track_name', name='Tempo map'))
    a.append(mido.MetaMessage('time_signature', numerator=6, denominator=8))
    a.append(mido.MetaMessage('set_tempo', tempo=600000))
    a.append(mido.MetaMessage('set_tempo', tempo=300000, time=tpb * 4))
    a.append(mido.MetaMessage('set_tempo', tempo=900000, time=tpb * 2))
    b = a if fmt == 0 else mido.MidiTrack()
    if fmt == 1: f.tracks.append(b)
    b.append(mido.Message('program_change', channel=0, program=24))
    for i in range(12):
        b.append(mido.Message('note_on', channel=i % 3, note=60 + i, velocity=80, time=tpb // 2))
        b.append(mido.Message('note_on', channel=9, note=36, velocity=90))
        b.append(mido.Message('note_off', channel=i % 3, note=60 + i, time=tpb // 4))
        b.append(mido.Message('note_off', channel=9, note=36))
    f.save(d + '/f%d_%d.mid' % (fmt, tpb))
for fmt in (0, 1):
    for tpb in (96, 480):
        song(fmt, tpb)
)PY";
  testsupport::WriteFile(dir / "make.py", Bytes(script.begin(), script.end()));
  ASSERT_EQ(testsupport::Run("/usr/bin/python3 '" + (dir / "make.py").string() + "' '" +
                             dir.string() + "'"),
            0);
  std::vector<std::filesystem::path> files;
  for (const char* n : {"f0_96.mid", "f0_480.mid", "f1_96.mid", "f1_480.mid"}) files.push_back(dir / n);
  for (const char* n : {"media/f0.mid", "media/f1.mid", "media/abc.mid"})
    if (std::filesystem::exists(testsupport::TestData(n))) files.push_back(testsupport::TestData(n));
  for (const auto& path : files) {
    SCOPED_TRACE(path.string());
    tMidiFile f(path.string());
    f.Analyse();
    std::vector<uint8_t> out;
    ASSERT_EQ(testsupport::Run("/usr/bin/python3 -c \"import mido,sys; m=mido.MidiFile(sys.argv[1]); "
                               "ch=sorted({x.channel for t in m.tracks for x in t if x.type=='note_on' and x.velocity>0}); "
                               "tempo=any(x.type=='set_tempo' for t in m.tracks for x in t); "
                               "end=max(sum(x.time for x in t) for t in m.tracks); "
                               "ms=round(m.length*1000) if tempo else end*1000//380; "
                               "print(m.type, len(m.tracks), ms, ' '.join(str(c) for c in ch))\" '" +
                                   path.string() + "'",
                               &out),
              0);
    std::string s(out.begin(), out.end());
    int type = 0, tracks = 0;
    long long ms = 0;
    int used = 0;
    ASSERT_EQ(std::sscanf(s.c_str(), "%d %d %lld%n", &type, &tracks, &ms, &used), 3);
    EXPECT_EQ(f.Format, type);
    EXPECT_EQ(f.Tracks.size(), static_cast<size_t>(tracks));
    // Without a tempo the length counts 380 ticks per second (mido would take 120 bpm); with
    // tempi, ticks per second are whole numbers, so a little drift is allowed.
    EXPECT_NEAR(static_cast<double>(f.Length), static_cast<double>(ms), 2.0 + ms * 0.005);
    std::set<int> want;
    for (size_t p = used; p < s.size();) {
      char* end = nullptr;
      long v = std::strtol(s.c_str() + p, &end, 10);
      if (end == s.c_str() + p) break;
      want.insert(static_cast<int>(v));
      p = static_cast<size_t>(end - s.c_str());
    }
    for (int c = 0; c < 16; c++) EXPECT_EQ(f.HasNotes[c], want.count(c) == 1) << c;
  }
}

}  // namespace
