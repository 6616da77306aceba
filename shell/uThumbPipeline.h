// The main window's thumbnails without threads: the stored thumbnails of the folder are shown
// one per message, then the folder is updated one directory entry per message (new pictures
// decoded into the database), then the counts are reported. Each step posts the message for
// the next one to the window itself, so everything else the window does runs between two steps.
// The window answers tThumbPipelineHost; the folder's view answers tThumbPipelineView.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/uMessages.h"

class tThumbPipelineView {
 public:
  virtual ~tThumbPipelineView() = default;
  // Binds the view to the file list's folder (with the drive combo's volume facts).
  virtual void OpenFolder() = 0;
  // The database knows the folder's volume.
  virtual bool VolumeKnown() = 0;
  // Records of the folder found by OpenFolder.
  virtual int StoredCount() = 0;
  virtual void ShowStoredThumbnail(int i) = 0;
  virtual bool FolderOmitted() = 0;
  virtual void BeginUpdate() = 0;
  // One directory entry; false once the folder is done.
  virtual bool UpdateStep() = 0;
  virtual void AddNewThumbnail() = 0;
  // The item count at BeginUpdate, and now.
  virtual int ItemCountAtBegin() = 0;
  virtual int ItemCount() = 0;
};

class tThumbPipelineHost {
 public:
  virtual ~tThumbPipelineHost() = default;
  // Posts a message to the window itself; the pass travels in wParam.
  virtual void Post(unsigned message, uintptr_t pass) = 0;
  // This window's close was accepted, or the first window's.
  virtual bool IsClosing() = 0;
  virtual void ProcessMessages() = 0;
  // The thumbnail database's master switch (of the first window's database).
  virtual bool MasterSwitch() = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void EnableCommandButtons(bool enable) = 0;
  // A pass has stored thumbnails: open gallery and tools windows rebuild their views.
  virtual void ThumbnailsChanged() {}
  virtual void PlayEventSound(int event) = 0;
  virtual void Stopwatch(bool start) = 0;
  // Thumbnails the file list shows so far.
  virtual int ListThumbnailCount() = 0;
  // The first main window answers the database's counts; the others report nothing.
  virtual bool IsFirstWindow() = 0;
  virtual uint32_t ActiveRecords() = 0;
  virtual uint32_t TotalRecords() = 0;
  // Re-reads the file list; true when that went through the folder list, which restarts the
  // pipeline by itself.
  virtual bool RefreshFileList() = 0;
  virtual bool Interactive() = 0;
  // A new view on the file list (switching the list to names and back around it).
  virtual void ResetView() = 0;
  virtual tThumbPipelineView* View() = 0;
};

class tThumbPipeline {
 public:
  enum : int { kIdle = 0, kShowing = 1, kUpdating = 2, kReporting = 3 };

  explicit tThumbPipeline(tThumbPipelineHost& host) : host_(host) {}

  void Start();
  // pass: the wParam the step was posted with; steps of an earlier pass do nothing.
  void Next(uintptr_t pass);
  void Build(uintptr_t pass);
  // The decoder's progress: bit 0 of wParam set means a partial picture (ignored).
  void GraphicProgress(uintptr_t wParam);
  void FolderChanged();
  void Reset();
  // The status text of the state; the view calls it after each item too.
  void ShowThumbStatus();
  // The database's counts after a command changed its records; a running pass reports them
  // itself when it ends.
  void ReportCounts();
  void StartFolderUpdate();
  // The user's "make them now": the folder is updated even when it is left out of automatic
  // thumbnails; a running pass finishes first.
  void MakeThumbnailsNow();

  int ThumbState = kIdle;
  bool Pending = false;
  // The next update of this folder was asked for by the user (omission does not hold it back).
  bool MakeNow = false;
  int ScanIndex = 0;
  // Counts the passes: a restart leaves the old chain's messages behind, and they must not run
  // a second chain beside the new one.
  uintptr_t Pass = 0;

 private:
  void Report();
  tThumbPipelineHost& host_;
};
