// The one-second timer's one-time messages: the 256-colour warning, the welcome after a new
// version, the reminder that the build is old.
#include <windows.h>

#include <ctime>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFormat.h"
#include "framework/DragDrop.h"
#include "resources/uResStrings.h"
#include "shell/ViewerForm.h"
#include "shell/uCommandRules.h"

void TViewerForm::TimerJobs() {
  tTimerState s;
  s.Dragging = DragSource() != nullptr;
  s.Minimised = IsIconic(Handle()) != 0;
  s.Active = GetActiveWindow() == Handle();
  s.Warning256Pending = Warning256Pending;
  s.Warning256Colors = Warning256Colors;
  s.VersionChanged = VersionChanged;
  s.OldBuildReminderDue = OldBuildReminderDue;
  const tTimerChoice c = ChooseTimerJob(s);
  Warning256Pending = s.Warning256Pending;
  Warning256Colors = s.Warning256Colors;
  VersionChanged = s.VersionChanged;
  OldBuildReminderDue = s.OldBuildReminderDue;
  if (!c.ShowBox) return;
  const int64_t today = static_cast<int64_t>(std::time(nullptr) / 86400);
  switch (c.Job) {
    case tjWarning256:
      SoundMessageDlg(Format(LoadResString(sWarning256), {Warning256Colors}), mtWarning,
                      MsgDlgButtons({mbOK}), MessageSounds, 0);
      break;
    case tjWelcome:
      SoundMessageDlg(LoadResString(sWelcome), mtInformation, MsgDlgButtons({mbOK, mbHelp}),
                      MessageSounds, 2);
      OldBuildReminderDue = OldBuildReminder(BuildDate, today);
      break;
    case tjOldBuild:
      SoundMessageDlg("This program was created " + BuildDateText(BuildDate) + " " +
                          Format("\r(%.0n days ago)",
                                 {static_cast<double>(DaysSinceBuild(BuildDate, today))}) +
                          ". Please push the Help button now.",
                      mtInformation, MsgDlgButtons({mbOK, mbHelp}), MessageSounds, 55);
      break;
    default:
      break;
  }
}
