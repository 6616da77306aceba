#include "shell/uThumbPipeline.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {
// A folder of stored thumbnails and entries to scan; a window whose message queue the test
// runs by hand.
struct Folder : tThumbPipelineView {
  int stored = 3, entries = 4, shown = 0, steps = 0, begins = 0, added = 0, opens = 0;
  int atBegin = 0, items = 0;
  bool omitted = false, volumeKnown = true;
  void OpenFolder() override {
    ++opens;
    shown = 0;
    items = stored;
  }
  bool VolumeKnown() override { return volumeKnown; }
  int StoredCount() override { return stored; }
  void ShowStoredThumbnail(int i) override {
    EXPECT_EQ(i, shown);
    ++shown;
  }
  bool FolderOmitted() override { return omitted; }
  void BeginUpdate() override {
    ++begins;
    steps = 0;
    atBegin = items;
  }
  bool UpdateStep() override { return ++steps <= entries; }
  void AddNewThumbnail() override {
    ++added;
    ++items;
  }
  int ItemCountAtBegin() override { return atBegin; }
  int ItemCount() override { return items; }
};

struct Window : tThumbPipelineHost {
  Folder folder;
  tThumbPipeline pipeline{*this};
  struct Message {
    unsigned id;
    uintptr_t pass;
  };
  std::deque<Message> queue;
  bool closing = false, master = true, first = true, interactive = true, viewed = true;
  bool throughFolderList = false;
  std::vector<std::string> statuses;
  std::vector<int> sounds;
  std::vector<bool> buttons;
  int stopwatch = 0, refreshes = 0, resets = 0, processed = 0;
  std::function<void()> duringProcessing;

  void Post(unsigned m, uintptr_t pass) override { queue.push_back({m, pass}); }
  void Post(unsigned m) { queue.push_back({m, 0}); }
  bool IsClosing() override { return closing; }
  void ProcessMessages() override {
    ++processed;
    if (duringProcessing) duringProcessing();
  }
  bool MasterSwitch() override { return master; }
  void SetStatus(const std::string& t) override { statuses.push_back(t); }
  void EnableCommandButtons(bool e) override { buttons.push_back(e); }
  void PlayEventSound(int e) override { sounds.push_back(e); }
  void Stopwatch(bool start) override { stopwatch += start ? 1 : -1; }
  int ListThumbnailCount() override { return folder.shown; }
  bool IsFirstWindow() override { return first; }
  uint32_t ActiveRecords() override { return 40; }
  uint32_t TotalRecords() override { return 50; }
  bool RefreshFileList() override {
    ++refreshes;
    return throughFolderList;
  }
  bool Interactive() override { return interactive; }
  void ResetView() override { ++resets; }
  tThumbPipelineView* View() override { return viewed ? &folder : nullptr; }

  // Handles the queued messages one by one; at most limit of them.
  int Run(int limit = 1000) {
    int n = 0;
    while (!queue.empty() && n < limit) {
      const Message m = queue.front();
      queue.pop_front();
      ++n;
      if (m.id == WM_THUMBS_START) pipeline.Start();
      if (m.id == WM_THUMBS_NEXT) pipeline.Next(m.pass);
      if (m.id == WM_THUMBS_BUILD) pipeline.Build(m.pass);
    }
    return n;
  }
};
}  // namespace

TEST(ThumbPipeline, ShowsTheStoredThumbnailsThenUpdatesThenReports) {
  Window w;
  w.Post(WM_THUMBS_START);
  // START, then one NEXT per stored thumbnail and one that ends the phase, then one BUILD per
  // entry and the last that finds none.
  EXPECT_EQ(w.Run(), 1 + 4 + 5);
  EXPECT_EQ(w.folder.opens, 1);
  EXPECT_EQ(w.folder.shown, 3);
  EXPECT_EQ(w.folder.begins, 1);
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
  EXPECT_EQ(w.sounds, (std::vector<int>{1, 2}));
  EXPECT_EQ(w.stopwatch, 0);
  EXPECT_EQ(w.statuses.front(), "3 + ...");
  EXPECT_EQ(w.statuses.back(), "40 active (50 total)");
  EXPECT_EQ(w.buttons, (std::vector<bool>{false, false, true}));
  // Every step lets the other messages through first.
  EXPECT_GE(w.processed, 9);
}

TEST(ThumbPipeline, StatusTextsFollowTheState) {
  Window w;
  w.pipeline.ThumbState = tThumbPipeline::kShowing;
  w.folder.shown = 2;
  w.pipeline.ShowThumbStatus();
  w.pipeline.ThumbState = tThumbPipeline::kUpdating;
  w.folder.atBegin = 3;
  w.folder.items = 7;
  w.pipeline.ShowThumbStatus();
  w.pipeline.ThumbState = tThumbPipeline::kReporting;
  w.pipeline.ShowThumbStatus();
  w.first = false;
  w.pipeline.ShowThumbStatus();
  w.pipeline.ThumbState = tThumbPipeline::kIdle;
  w.pipeline.ShowThumbStatus();
  EXPECT_EQ(w.statuses,
            (std::vector<std::string>{"2 of 3", "3 + 4", "40 active (50 total)", ""}));
}

TEST(ThumbPipeline, CountsAfterACommandWaitForARunningPass) {
  Window w;
  w.pipeline.ReportCounts();
  EXPECT_EQ(w.statuses, (std::vector<std::string>{"40 active (50 total)"}));
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
  // During the update the status keeps the pass's progress; the pass reports at its end.
  w.pipeline.ThumbState = tThumbPipeline::kUpdating;
  w.pipeline.ReportCounts();
  EXPECT_EQ(w.statuses.size(), 1u);
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kUpdating);
}

TEST(ThumbPipeline, MasterSwitchOffOmittedFoldersAndUnknownVolumes) {
  {
    Window w;
    w.master = false;
    w.Post(WM_THUMBS_START);
    EXPECT_EQ(w.Run(), 1);
    EXPECT_EQ(w.statuses, (std::vector<std::string>{"40 active (50 total)"}));
    EXPECT_EQ(w.folder.opens, 0);
    EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
  }
  {
    // An omitted folder shows its stored thumbnails and makes none.
    Window w;
    w.folder.omitted = true;
    w.Post(WM_THUMBS_START);
    w.Run();
    EXPECT_EQ(w.folder.shown, 3);
    EXPECT_EQ(w.folder.begins, 0);
    EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
    EXPECT_EQ(w.buttons.back(), true);
  }
  {
    Window w;
    w.folder.volumeKnown = false;
    w.Post(WM_THUMBS_START);
    w.Run();
    EXPECT_TRUE(w.sounds.empty());
    EXPECT_EQ(w.folder.begins, 1);
  }
}

TEST(ThumbPipeline, MakingThumbnailsNowUpdatesAnOmittedFolderOnce) {
  // Asked when idle, while the stored thumbnails show, and while an update runs: one update
  // of the omitted folder follows, after the running pass; the next automatic one is held back
  // again.
  struct Case {
    int stepsBefore;
    int stateThen;
  } cases[] = {{-1, tThumbPipeline::kIdle}, {2, tThumbPipeline::kShowing},
               {6, tThumbPipeline::kUpdating}};
  for (const Case& c : cases) {
    Window w;
    w.folder.omitted = true;
    w.folder.volumeKnown = false;
    if (c.stepsBefore >= 0) {
      // An ordinary, not omitted folder pass is running when the user asks.
      w.folder.omitted = c.stateThen == tThumbPipeline::kShowing;
      w.Post(WM_THUMBS_START);
      w.Run(c.stepsBefore);
    }
    ASSERT_EQ(w.pipeline.ThumbState, c.stateThen) << c.stepsBefore;
    const int begins = w.folder.begins;
    w.folder.omitted = true;
    w.pipeline.MakeThumbnailsNow();
    if (c.stateThen != tThumbPipeline::kIdle) EXPECT_EQ(w.folder.begins, begins);
    w.Run();
    EXPECT_EQ(w.folder.begins, begins + 1) << c.stepsBefore;
    EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
    EXPECT_EQ(w.buttons.back(), true);
    w.pipeline.FolderChanged();
    w.Run();
    EXPECT_EQ(w.folder.begins, begins + 1) << c.stepsBefore;
  }
  // A new folder opened before the pass ends forgets the request.
  Window w;
  w.folder.omitted = true;
  w.Post(WM_THUMBS_START);
  w.Run(2);
  w.pipeline.MakeThumbnailsNow();
  w.Post(WM_THUMBS_START);
  w.Run();
  EXPECT_EQ(w.folder.begins, 0);
}

TEST(ThumbPipeline, OnlyWholePicturesAreStored) {
  Window w;
  w.pipeline.GraphicProgress(1);
  w.pipeline.GraphicProgress(3);
  EXPECT_EQ(w.folder.added, 0);
  w.pipeline.GraphicProgress(0);
  w.pipeline.GraphicProgress(2);
  EXPECT_EQ(w.folder.added, 2);
}

TEST(ThumbPipeline, AFolderChangeDuringAPassRunsTheUpdateOnceMoreAfterIt) {
  Window w;
  w.Post(WM_THUMBS_START);
  w.Run(6);  // into the update
  ASSERT_EQ(w.pipeline.ThumbState, tThumbPipeline::kUpdating);
  w.pipeline.FolderChanged();
  EXPECT_TRUE(w.pipeline.Pending);
  EXPECT_EQ(w.refreshes, 1);
  EXPECT_EQ(w.folder.begins, 1);  // not in parallel
  w.Run();
  EXPECT_EQ(w.folder.begins, 2);
  EXPECT_FALSE(w.pipeline.Pending);
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
  // When idle the update runs at once, unless the folder list re-read the folder (it restarts
  // the pipeline itself).
  w.pipeline.FolderChanged();
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kUpdating);
  w.Run();
  EXPECT_EQ(w.folder.begins, 3);
  w.throughFolderList = true;
  w.pipeline.FolderChanged();
  EXPECT_TRUE(w.queue.empty());
  EXPECT_EQ(w.folder.begins, 3);
  // A window that is no browser ignores folder changes.
  w.interactive = false;
  w.pipeline.FolderChanged();
  EXPECT_EQ(w.refreshes, 3);
}

TEST(ThumbPipeline, ClosingMidwayStopsTheChain) {
  // Closing accepted between two steps: the next step posts nothing.
  for (int after : {2, 3, 6, 8}) {
    Window w;
    w.Post(WM_THUMBS_START);
    w.Run(after);
    w.closing = true;
    w.Run();
    EXPECT_TRUE(w.queue.empty()) << after;
    const int shown = w.folder.shown, steps = w.folder.steps;
    w.Post(WM_THUMBS_START);
    w.Post(WM_THUMBS_NEXT);
    w.Post(WM_THUMBS_BUILD);
    w.Run();
    EXPECT_EQ(w.folder.shown, shown) << after;
    EXPECT_EQ(w.folder.steps, steps) << after;
  }
  // A close accepted while a step lets the other messages through.
  Window w;
  w.Post(WM_THUMBS_START);
  w.Run(3);
  w.duringProcessing = [&w] { w.closing = true; };
  w.Run();
  EXPECT_TRUE(w.queue.empty());
  EXPECT_LT(w.folder.shown, 3);
}

TEST(ThumbPipeline, AStaleStepAfterARestartDoesNothing) {
  Window w;
  w.Post(WM_THUMBS_START);
  w.Run(7);
  ASSERT_EQ(w.pipeline.ThumbState, tThumbPipeline::kUpdating);
  // The user went to another folder: a new pass starts; the queued BUILD is stale, and runs
  // after the new pass has begun.
  ASSERT_EQ(w.queue.size(), 1u);
  const Window::Message stale = w.queue.front();
  w.queue.clear();
  w.Post(WM_THUMBS_START);
  w.queue.push_back(stale);
  const int steps = w.folder.steps;
  w.Run(2);  // the START, then the stale BUILD
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kShowing);
  EXPECT_EQ(w.folder.steps, steps);
  w.Run();
  EXPECT_EQ(w.folder.opens, 2);
  EXPECT_EQ(w.folder.begins, 2);
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
}

TEST(ThumbPipeline, ARestartWhileAThumbnailIsShownRunsOneChainFromTheStart) {
  // Showing a thumbnail lets the other messages through; a folder change among them restarts
  // the pass. The new pass shows every thumbnail once, and the old chain ends.
  Window w;
  w.folder.stored = 5;
  w.Post(WM_THUMBS_START);
  w.Run(3);  // START, thumbnails 0 and 1
  std::vector<int> shown;
  bool restarted = false;
  w.duringProcessing = [&] {
    if (restarted || w.folder.shown != 2) return;
    restarted = true;
    w.pipeline.Start();
  };
  w.folder.shown = 2;
  const int handled = w.Run();
  EXPECT_TRUE(restarted);
  EXPECT_EQ(w.folder.opens, 2);
  // One chain: five thumbnails and the end of the phase, then the update.
  EXPECT_LE(handled, 1 + 6 + 5 + 1);
  EXPECT_EQ(w.folder.begins, 1);
  EXPECT_EQ(w.pipeline.ThumbState, tThumbPipeline::kIdle);
}

TEST(ThumbPipeline, ResetMakesANewViewAndStartsAgain) {
  Window w;
  w.pipeline.Reset();
  EXPECT_EQ(w.resets, 1);
  ASSERT_EQ(w.queue.size(), 1u);
  EXPECT_EQ(w.queue.front().id, WM_THUMBS_START);
}
