// The about box's decisions that need no window: the credits scroll and its speed buttons, the
// build age texts, the guide page's texts and progress, and the version check's message.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uTypes.h"
#include "online/uGuide.h"

// The next scroll position of the credits: one step on, or back to the start at the end.
int NextCreditsPosition(int range, int boxHeight, int position, int step);

// The speed buttons: intervals of 20, 70 and 120 ms.
struct tScrollSpeed {
  int Interval = 70;
  bool MinusEnabled = true, PlusEnabled = true;
  void Slower();
  void Faster();
};

// The DOS date of a compiler date text ("Dec 10 2026"); 0 when it cannot be read.
uint16_t DosDateOfCompilerDate(const char* text);
// "10-Dec-2026" (d-mmm-yyyy with the locale's month names).
std::string BuildDateText(TDateTime buildDate);
// "\r(45 days ago)".
std::string BuildAgeText(double days);
// The information page's build line turns red and bold from this day on.
constexpr double kOldBuildDays = 180;

// The guide page as ShowGuidePage fills it.
struct tGuidePage {
  bool ViewEnabled = false;
  std::string View, Update;
};
tGuidePage GuidePageTexts(const std::string& localGuidePath, const std::string& localGuideDate,
                          const std::string& vsn);

// The progress bars after a progress state of the guide.
struct tGuideProgress {
  int FilesDone = 0;
  bool Visible = false, SecondVisible = false;
  int Percent1 = 0, Percent2 = 0;
  std::string StatusFile, StatusUpdate;
  bool Pause = false;  // a full bar: wait a moment so that it is seen
};
void ApplyGuideState(tGuideProgress& progress, const TGuide2& guide, uint8_t state);

// The message after a version check.
struct tVersionMessage {
  std::string Text;
  int Kind = 0;  // 0 error, 1 information
  int HelpContext = 0;
};
tVersionMessage VersionCheckMessage(const tVersionDocument& document, int runningNumber);
