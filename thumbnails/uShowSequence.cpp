#include "thumbnails/uShowSequence.h"

#include <algorithm>
#include <cctype>

#include "foundation/uFiles.h"

namespace {
std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
bool IsMidiFile(const std::string& name) { return Lower(ExtractFileExt(name)) == ".mid"; }
}  // namespace

bool tShowSequence::IsMusicFile(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  if (ext.size() < 2) return false;
  // The extension's first three letters name a music type: MID (MIDI), RMI, WAV (WAVE), MP3.
  // Whole names only: a part such as "M" or "A" is no music type.
  ext = Upper(ext.substr(1, 3));
  return ext == "MID" || ext == "RMI" || ext == "WAV" || ext == "MP3";
}

void tShowSequence::Start(std::vector<std::string> lines, bool shuffle,
                          const tShuffler::tClock& clock) {
  Pictures = std::move(lines);
  if (shuffle && Pictures.size() >= 6) ShuffleList(Pictures, clock);
  SplitMusicFiles();
}

void tShowSequence::SplitMusicFiles() {
  std::vector<std::string> pictures;
  for (auto& name : Pictures) (IsMusicFile(name) ? MusicFiles : pictures).push_back(std::move(name));
  Pictures.swap(pictures);
  if (MusicFiles.empty())
    MusicPasses = 1;
  else
    PlayNextMusic();
}

bool tShowSequence::OpenAt(int32_t index) {
  OpeningIndex = index;
  if (!host_.OpenPicture(Pictures[index])) return false;
  PictureIndex = index;
  if (PicturePasses == 0) ++PicturesShown;
  return true;
}

bool tShowSequence::FirstPictureWrap() {
  if (PicturesShown == 0 && MusicPlayed > 0) host_.RepaintBackground();
  if (PicturesShown == 1 && !Manual) {
    host_.HoldSinglePicture();
    // The wait handled messages: the music may have ended the show, or input stopped it.
    if (PictureIndex == kEndIndex) return true;
    if (host_.StopRequested()) {
      host_.PostClose(0);
      return true;
    }
  }
  if (EndAtFirstWrap && PicturesShown < 2) {
    CheckShowEnd();
    return true;
  }
  return false;
}

void tShowSequence::ShowNextPicture() {
  if (host_.StopRequested()) {
    host_.PostClose(0);
    return;
  }
  if (PictureIndex == kEndIndex) return;
  const auto n = static_cast<int32_t>(Pictures.size());
  for (int32_t tries = 0; tries < n; ++tries) {
    int32_t index = PictureIndex + 1;
    if (index >= n) {
      index = 0;
      PictureIndex = 0;
      if (PicturePasses < kPassLimit) ++PicturePasses;
      if (PicturePasses == 1 && FirstPictureWrap()) return;
    }
    PictureIndex = index;
    if (OpenAt(index)) return;
  }
  // An empty list, or a whole pass in which nothing opened: the background stays.
  PictureIndex = kEndIndex;
}

bool tShowSequence::StepManual(int direction) {
  if (PictureIndex == kEndIndex) return false;
  const auto n = static_cast<int32_t>(Pictures.size());
  for (int32_t index = PictureIndex + direction;; index += direction) {
    if (index < 0 || index >= n) {
      if (direction > 0 && n > 0) {
        if (PicturePasses < kPassLimit) ++PicturePasses;
        if (PicturePasses == 1 && PicturesShown < 2) CheckShowEnd();
      }
      return false;
    }
    if (OpenAt(index)) return true;
  }
}

int32_t tShowSequence::MusicFailureLimit() const {
  auto plays = static_cast<int32_t>(MusicFiles.size());
  if (!ResetMidiPath.empty())
    plays += static_cast<int32_t>(std::count_if(MusicFiles.begin(), MusicFiles.end(), IsMidiFile));
  return std::max(plays, 1);
}

void tShowSequence::PlayNextMusic() {
  playing_.clear();
  if (!MusicOn() || MusicFiles.empty()) return;
  const auto n = static_cast<int32_t>(MusicFiles.size());
  if (++MusicIndex >= n) {
    MusicIndex = 0;
    if (MusicPasses < kPassLimit) ++MusicPasses;
    if (MusicPasses == 1) CheckShowEnd();
    if (MusicIndex == kEndIndex) return;
  }
  std::string file = MusicFiles[MusicIndex];
  bool reset = false;
  if (IsMidiFile(file)) MidiResetPending = !MidiResetPending;
  if (MidiResetPending) {
    MidiResetPending = !ResetMidiPath.empty();
    if (MidiResetPending) {
      --MusicIndex;  // the MIDI file itself comes next
      file = ResetMidiPath;
      reset = true;
    }
  }
  if (!host_.PlayMusic(file)) {
    MusicIndex = kStopped;
    return;
  }
  playing_ = reset ? MusicFiles[MusicIndex + 1] : file;
  // Only the script's own files count: reset.mid would make one MIDI file look like two.
  if (MusicPasses == 0 && !reset) ++MusicPlayed;
}

void tShowSequence::MusicFinished(bool failed) {
  if (!failed) {
    musicFailures_ = 0;
  } else if (++musicFailures_ >= MusicFailureLimit()) {
    StopMusic();
    playing_.clear();
    return;
  }
  PlayNextMusic();
}

void tShowSequence::CheckShowEnd() {
  if (PicturePasses > 0 && PicturesShown < 2) PictureIndex = kEndIndex;
  if (MusicPasses > 0 && MusicPlayed < 2) MusicIndex = kEndIndex;
  host_.HideCursor();
  if (PicturePasses > 0 && MusicPasses > 0 && PicturesShown < 2) host_.PostClose(0);
}

std::string tShowSequence::CurrentMusic() const { return playing_; }
