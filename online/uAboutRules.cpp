#include "online/uAboutRules.h"

#include <cstring>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"

int NextCreditsPosition(int range, int boxHeight, int position, int step) {
  return range - boxHeight > position ? position + step : 0;
}

void tScrollSpeed::Slower() {
  if (!MinusEnabled) return;
  Interval += 50;
  if (Interval > 70) MinusEnabled = false;
  PlusEnabled = true;
}

void tScrollSpeed::Faster() {
  if (!PlusEnabled) return;
  Interval -= 50;
  if (Interval < 70) PlusEnabled = false;
  MinusEnabled = true;
}

uint16_t DosDateOfCompilerDate(const char* text) {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (!text || std::strlen(text) < 11) return 0;
  int month = 0;
  for (int i = 0; i < 12; ++i)
    if (std::strncmp(text, kMonths[i], 3) == 0) month = i + 1;
  const int day = std::atoi(text + 4);
  const int year = std::atoi(text + 7);
  if (month == 0 || day < 1 || day > 31 || year < 1980 || year > 2107) return 0;
  return static_cast<uint16_t>((year - 1980) << 9 | month << 5 | day);
}

std::string BuildDateText(TDateTime buildDate) {
  int year = 0, month = 0, day = 0;
  if (!DecodeDate(buildDate, year, month, day)) return "";
  return std::to_string(day) + "-" + Platform().FormatSettings().ShortMonthNames[month - 1] + "-" +
         std::to_string(year);
}

std::string BuildAgeText(double days) { return Format("\r(%.0n days ago)", {days}); }

tGuidePage GuidePageTexts(const std::string& localGuidePath, const std::string& localGuideDate,
                          const std::string& vsn) {
  tGuidePage page;
  if (!localGuidePath.empty()) {
    page.ViewEnabled = true;
    page.View = Format("User's Guide version %s", {localGuideDate});
    page.Update = vsn.empty() ? "Check for an update"
                              : Format("The current User's Guide version is %s", {vsn});
  } else {
    page.Update = "Retrieve the User's Guide";
  }
  return page;
}

void ApplyGuideState(tGuideProgress& p, const TGuide2& guide, uint8_t state) {
  p.Pause = false;
  switch (state) {
    case guideBatchBegin:
      p.FilesDone = 1;
      p.Visible = true;
      p.Percent1 = 0;
      p.SecondVisible = guide.FilesToGet > 1;
      p.Percent2 = 0;
      break;
    case guideTransferBegin:
      p.StatusFile = guide.CurrentName;
      p.StatusUpdate = Format("File %d of %d", {p.FilesDone, guide.FilesToGet});
      break;
    case guideBytes:
      // A length of -1 or 0 and a total of 0 give 0 %, not a division by zero.
      p.Percent1 = PercentOf(guide.Received, guide.ContentLength);
      p.Pause = p.Percent1 > 99;
      if (guide.FilesToGet > 1) p.Percent2 = PercentOf(guide.TotalReceived, guide.TotalToGet);
      break;
    case guideTransferEnd:
      ++p.FilesDone;
      p.StatusFile.clear();
      p.Percent1 = 0;
      break;
    case guideBatchEnd:
      p.Visible = false;
      p.SecondVisible = false;
      p.StatusUpdate.clear();
      break;
  }
}

tVersionMessage VersionCheckMessage(const tVersionDocument& document, int runningNumber) {
  tVersionMessage m;
  if (!document.Valid) {
    m.Text =
        "Connection failed. If your system isn't set up to connect \"as needed\", you may need to "
        "connect to the Internet manually.";
    m.Kind = 0;
    m.HelpContext = 30;
  } else if (IsNewerVersion(document.VersionNumberW, runningNumber)) {
    m.Text =
        "A new version is available!\rPush the Web Site button to read about it (and download the "
        "latest ShareWare version.)";
    m.Kind = 1;
    m.HelpContext = 31;
  } else {
    m.Text = "You have the current version";
    m.Kind = 1;
    m.HelpContext = 32;
  }
  return m;
}
