// The order of a slide show, shared by the screen saver's window and the main program's slide
// show window: which picture comes next, how often the lists were played, which music file
// plays next (with "reset.mid" before each MIDI file), and when a show ends by itself. The
// windows do the showing and playing; they answer the sequence through tShowHost.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "thumbnails/uShuffler.h"

class tShowHost {
 public:
  virtual ~tShowHost() = default;
  // Opens a picture and starts decoding it; false when it does not open or is no picture.
  virtual bool OpenPicture(const std::string& name) = 0;
  // Opens a music file and starts playing it; false when it cannot be opened.
  virtual bool PlayMusic(const std::string& name) = 0;
  // The first pass over the pictures showed none while music played: show the background.
  virtual void RepaintBackground() = 0;
  // The first pass showed exactly one picture: keep it until its time is up, the show is asked
  // to stop or (slide show) to skip, handling messages meanwhile.
  virtual void HoldSinglePicture() = 0;
  // Ask the window to close: 0 through the password check, above 0 at once.
  virtual void PostClose(int how) = 0;
  virtual bool StopRequested() = 0;
  virtual void HideCursor() {}
};

class tShowSequence {
 public:
  static constexpr int32_t kStopped = -86;   // music off
  static constexpr int32_t kEndIndex = -87;  // stop advancing
  static constexpr int32_t kPassLimit = 1000;

  explicit tShowSequence(tShowHost& host) : host_(host) {}

  std::vector<std::string> Pictures, MusicFiles;
  int32_t PictureIndex = -1, MusicIndex = -1;
  int32_t PicturePasses = 0, MusicPasses = 0;
  int32_t PicturesShown = 0, MusicPlayed = 0;  // opened during the first pass
  // The entry being opened (the host may show its place while it decodes).
  int32_t OpeningIndex = -1;
  bool MidiResetPending = false;
  // The "reset.mid" beside the program; empty when there is none.
  std::string ResetMidiPath;
  // The main program's slide show: a show of fewer than two pictures ends after its first pass
  // (the screen saver shows a single picture again and again).
  bool EndAtFirstWrap = false;
  // Manual slide show: keys step through the list, nothing advances by itself.
  bool Manual = false;

  static bool IsMusicFile(const std::string& name);

  // The script's lines: shuffled first when asked and 6 or more (music files too, as they are
  // still in the list), then the music files moved out; music starts playing.
  void Start(std::vector<std::string> lines, bool shuffle, const tShuffler::tClock& clock = {});
  // Moves the music files out of Pictures, in order; starts the music, or counts it as played
  // once when there is none.
  void SplitMusicFiles();

  // The next picture that opens. Past the end: a new pass; the first wrap holds a single
  // picture, or ends the show (slide show). A whole pass without a picture that opens stops.
  void ShowNextPicture();
  // Manual stepping by +1 or -1, skipping entries that do not open. False when the step went
  // past an end: the current picture stays (the window sounds the end of slides).
  bool StepManual(int direction);

  void PlayNextMusic();
  // The music file finished; a failure notification counts towards a whole pass of failures,
  // which turns the music off instead of trying the files round and round.
  void MusicFinished(bool failed);
  // Music off for the rest of the show.
  void StopMusic() { MusicIndex = kStopped; }
  bool MusicOn() const { return MusicIndex != kStopped && MusicIndex != kEndIndex; }

  // At the first music wrap: a single picture stays, a single music file is not repeated, and
  // a show of fewer than two pictures whose lists were both played once ends.
  void CheckShowEnd();

  // The music file playing (reset.mid counts as the file after it); '' when none.
  std::string CurrentMusic() const;

 private:
  // What happens at the first wrap of the pictures; true when advancing stops there.
  bool FirstPictureWrap();
  bool OpenAt(int32_t index);
  int32_t MusicFailureLimit() const;

  tShowHost& host_;
  int32_t musicFailures_ = 0;
  std::string playing_;
};
