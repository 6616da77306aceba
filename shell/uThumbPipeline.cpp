#include "shell/uThumbPipeline.h"

#include <utility>

#include "foundation/uFormat.h"

void tThumbPipeline::Start() {
  if (host_.IsClosing()) return;
  // A new folder (or the same one opened again) is not bound by a request made before.
  MakeNow = false;
  if (!host_.MasterSwitch() || !host_.View()) {
    Report();
    ThumbState = kIdle;
    return;
  }
  ThumbState = kShowing;
  ScanIndex = 0;
  ++Pass;
  host_.EnableCommandButtons(false);
  tThumbPipelineView& view = *host_.View();
  view.OpenFolder();
  if (view.VolumeKnown()) host_.PlayEventSound(1);
  host_.Stopwatch(true);
  host_.Post(WM_THUMBS_NEXT, Pass);
}

void tThumbPipeline::Next(uintptr_t pass) {
  host_.ProcessMessages();
  tThumbPipelineView* view = host_.View();
  if (host_.IsClosing() || !view || pass != Pass) return;
  if (ScanIndex < view->StoredCount()) {
    // Counted before it is shown: showing lets other messages through, and a restart among
    // them begins again at 0.
    const int i = ScanIndex++;
    view->ShowStoredThumbnail(i);
    if (!host_.IsClosing() && pass == Pass) host_.Post(WM_THUMBS_NEXT, Pass);
  } else if (ThumbState == kShowing) {
    host_.Stopwatch(false);
    StartFolderUpdate();
  }
}

void tThumbPipeline::StartFolderUpdate() {
  tThumbPipelineView* view = host_.View();
  const bool asked = std::exchange(MakeNow, false);
  if (view && host_.MasterSwitch() && (asked || !view->FolderOmitted())) {
    Pending = false;
    ThumbState = kUpdating;
    host_.SetStatus(Format("%d + ...", {view->StoredCount()}));
    host_.EnableCommandButtons(false);
    if (host_.IsClosing()) return;
    view->BeginUpdate();
    if (host_.IsClosing()) return;
    host_.Post(WM_THUMBS_BUILD, ++Pass);
  } else {
    Report();
    ThumbState = kIdle;
    host_.EnableCommandButtons(true);
  }
}

void tThumbPipeline::Build(uintptr_t pass) {
  host_.ProcessMessages();
  tThumbPipelineView* view = host_.View();
  if (host_.IsClosing() || ThumbState != kUpdating || !view || pass != Pass) return;
  const bool more = view->UpdateStep();
  if (pass != Pass) return;  // restarted while the entry was decoded
  if (more) {
    host_.Post(WM_THUMBS_BUILD, Pass);
    return;
  }
  host_.EnableCommandButtons(true);
  host_.ThumbnailsChanged();
  Report();
  if (view->VolumeKnown()) host_.PlayEventSound(2);
  if (Pending)
    StartFolderUpdate();
  else
    ThumbState = kIdle;
}

void tThumbPipeline::MakeThumbnailsNow() {
  MakeNow = true;
  if (ThumbState == kIdle && !host_.IsClosing())
    StartFolderUpdate();
  else
    Pending = true;
}

void tThumbPipeline::GraphicProgress(uintptr_t wParam) {
  if (wParam & 1) return;  // a partial picture: the whole one follows
  if (tThumbPipelineView* view = host_.View()) view->AddNewThumbnail();
}

void tThumbPipeline::FolderChanged() {
  if (!host_.Interactive()) return;
  const bool throughFolderList = host_.RefreshFileList();
  if (!host_.IsClosing() && ThumbState == kIdle) {
    if (!throughFolderList) StartFolderUpdate();
  } else {
    Pending = true;
  }
}

void tThumbPipeline::Reset() {
  host_.ResetView();
  host_.Post(WM_THUMBS_START, 0);
}

void tThumbPipeline::Report() {
  ThumbState = kReporting;
  ShowThumbStatus();
}

void tThumbPipeline::ReportCounts() {
  if (ThumbState != kIdle) return;
  Report();
  ThumbState = kIdle;
}

void tThumbPipeline::ShowThumbStatus() {
  tThumbPipelineView* view = host_.View();
  switch (ThumbState) {
    case kShowing:
      if (view)
        host_.SetStatus(Format("%d of %d", {host_.ListThumbnailCount(), view->StoredCount()}));
      break;
    case kUpdating:
      if (view)
        host_.SetStatus(Format("%d + %d", {view->ItemCountAtBegin(),
                                           view->ItemCount() - view->ItemCountAtBegin()}));
      break;
    case kReporting:
      if (host_.IsFirstWindow())
        host_.SetStatus(Format("%d active (%d total)", {static_cast<int64_t>(host_.ActiveRecords()),
                                                        static_cast<int64_t>(host_.TotalRecords())}));
      else
        host_.SetStatus("");
      break;
  }
  host_.ProcessMessages();
}
