#include "shell/uCommandRules.h"

#include <gtest/gtest.h>

TEST(CommandRules, ParentalLevels) {
  struct Row {
    int level;
    bool hiddenShown;
    bool drag, hiddenButton, switchOff, section0, gallery, drives, clone, folders;
    const char* text;
  } rows[] = {
      {0, true, true, true, false, true, true, true, true, true, "DRIVES / history / bookmarks"},
      {1, true, false, true, false, true, true, true, true, true, "DRIVES / history / bookmarks"},
      {2, true, false, false, true, false, false, true, true, true, "Folders"},
      {2, false, false, false, false, false, false, true, true, true, "Folders"},
      {3, false, false, false, false, false, false, false, false, true, "Folders"},
      {4, true, false, false, true, false, false, false, false, false, "Folders"},
  };
  for (const Row& r : rows) {
    tParentalControls c = ParentalControls(r.level, r.hiddenShown);
    SCOPED_TRACE(r.level);
    EXPECT_EQ(c.DragFiles, r.drag);
    EXPECT_EQ(c.HiddenButton, r.hiddenButton);
    EXPECT_EQ(c.SwitchOffHidden, r.switchOff);
    EXPECT_EQ(c.SectionZeroClickable, r.section0);
    EXPECT_EQ(c.GalleryButton, r.gallery);
    EXPECT_EQ(c.DriveCombo, r.drives);
    EXPECT_EQ(c.CloneButton, r.clone);
    EXPECT_EQ(c.FolderList, r.folders);
    EXPECT_STREQ(c.SectionZeroText, r.text);
    EXPECT_EQ(c.NotebookToFirstPage, r.level >= 2);
    EXPECT_EQ(FileCommandsAllowed(r.level), r.level == 0);
  }
}

TEST(CommandRules, HeaderAndWidths) {
  EXPECT_EQ(NextLeftPage(0), 1);
  EXPECT_EQ(NextLeftPage(1), 2);
  EXPECT_EQ(NextLeftPage(2), 0);
  EXPECT_STREQ(LeftPageText(1), "drives / HISTORY / bookmarks");
  EXPECT_STREQ(LeftPageText(2), "drives / history / BOOKMARKS");
  EXPECT_EQ(WindowWidthForSections(kDefaultHeaderWidths), 30 + 561);
}

TEST(CommandRules, RecycleAndDeleteKeys) {
  struct Row {
    const char* folder;
    bool removable, remote, mayRecycle;
  } folders[] = {
      {"C:\\Pictures", false, false, true},     {"C:\\RECYCLED", false, false, false},
      {"C:\\Recycled\\", false, false, false},  {"C:\\recycled\\sub", false, false, true},
      {"A:\\", true, false, false},             {"\\\\server\\share\\x", false, true, false},
  };
  for (const Row& r : folders)
    EXPECT_EQ(MayRecycleFolder(r.folder, r.removable, r.remote), r.mayRecycle) << r.folder;

  struct Key {
    int level;
    bool item, shift, mayRecycle;
    TDeleteCommand want;
  } keys[] = {
      {0, true, false, true, dcRecycle}, {0, true, true, true, dcDelete},
      {0, true, false, false, dcDelete}, {0, false, false, true, dcNone},
      {1, true, false, true, dcNone},    {4, true, true, false, dcNone},
  };
  for (const Key& k : keys) {
    EXPECT_EQ(FileDeleteKey(k.level, k.item, k.shift, k.mayRecycle), k.want);
    EXPECT_EQ(FolderDeleteKey(k.level, k.item, k.shift, k.mayRecycle), k.want);
  }
}

TEST(CommandRules, FolderPopup) {
  struct Row {
    tFolderPopupState s;
    bool show, fresh, remove, thumbOn, thumbChecked, mark;
  } rows[] = {
      {{0, true, true, false, false, false, false}, true, true, false, false, false, false},
      {{0, true, false, true, true, true, true}, true, false, true, true, true, true},
      {{0, true, false, true, false, false, false}, true, false, true, false, false, false},
      {{0, true, false, false, false, false, false}, true, false, false, false, false, false},
      {{0, false, true, false, false, false, false}, false, false, false, false, false, false},
      {{1, true, true, true, false, true, true}, false, false, false, false, false, false},
  };
  for (const Row& r : rows) {
    tFolderPopup p = FolderPopup(r.s);
    EXPECT_EQ(p.Show, r.show);
    EXPECT_EQ(p.New, r.fresh);
    EXPECT_EQ(p.Recycle, r.remove);
    EXPECT_EQ(p.Delete, r.remove);
    EXPECT_EQ(p.Rename, r.remove);
    EXPECT_EQ(p.ThumbEnabled, r.thumbOn);
    EXPECT_EQ(p.ThumbChecked, r.thumbChecked);
    EXPECT_EQ(p.MarkChecked, r.mark);
    EXPECT_EQ(p.Properties, r.show);
  }
}

TEST(CommandRules, FilePopupAllTagged) {
  // "All tagged" only with more than one tagged item and the current one among them; checked
  // then, except at the index where the user toggled it last.
  struct Row {
    int tagged;
    bool currentTagged;
    int index, popupIndex;
    bool lastChecked;
    bool enabled, checked;
  } rows[] = {
      {0, false, 3, -1, false, false, false}, {1, true, 3, -1, false, false, false},
      {2, false, 3, -1, false, false, false}, {2, true, 3, -1, false, true, true},
      {5, true, 3, 3, false, true, false},    {5, true, 3, 3, true, true, true},
      {5, true, 4, 3, false, true, true},
  };
  for (const Row& r : rows) {
    tFilePopupState s;
    s.HasItem = true;
    s.TaggedCount = r.tagged;
    s.CurrentTagged = r.currentTagged;
    s.CurrentIndex = r.index;
    s.PopupIndex = r.popupIndex;
    s.AllTaggedChecked = r.lastChecked;
    s.BatchFindReplace = true;
    tFilePopup p = FilePopup(s);
    SCOPED_TRACE(r.tagged * 100 + r.index * 10 + r.popupIndex);
    EXPECT_EQ(p.AllTaggedEnabled, r.enabled);
    EXPECT_EQ(p.AllTaggedChecked, r.checked);
    EXPECT_EQ(p.Properties, !r.checked);
    EXPECT_EQ(p.FindReplaceEnabled, r.checked);
    EXPECT_TRUE(p.FindReplaceVisible);
    EXPECT_TRUE(p.Show);
    EXPECT_TRUE(p.AtItem);
  }
}

TEST(CommandRules, FilePopupThumbnailItemsAndShowing) {
  struct Row {
    int level;
    bool item, mayRecycle;
    int thumbState, thumbs;
    bool known, stored;
    bool show, recycle, batch, showChecked, showEnabled, catalogChecked, catalogEnabled;
  } rows[] = {
      {0, true, true, 0, 3, true, false, true, true, true, true, false, false, true},
      {0, true, false, 1, 3, true, true, true, false, false, true, false, true, false},
      {0, false, true, 0, 0, true, false, false, false, false, true, false, false, false},
      {0, false, true, 0, 0, false, false, true, false, false, false, true, false, false},
      {0, false, true, 0, 2, true, false, true, false, true, true, false, false, true},
      {1, true, true, 0, 3, false, false, false, false, false, false, false, false, false},
  };
  for (const Row& r : rows) {
    tFilePopupState s;
    s.Level = r.level;
    s.HasItem = r.item;
    s.MayRecycle = r.mayRecycle;
    s.ThumbState = r.thumbState;
    s.ThumbCount = r.thumbs;
    s.KnownVolume = r.known;
    s.StoredPermanently = r.stored;
    tFilePopup p = FilePopup(s);
    SCOPED_TRACE(&r - rows);
    EXPECT_EQ(p.Show, r.show);
    EXPECT_EQ(p.Recycle, r.recycle);
    EXPECT_EQ(p.Batch, r.batch);
    EXPECT_EQ(p.Print, r.batch);
    EXPECT_EQ(p.ShowChecked, r.showChecked);
    EXPECT_EQ(p.ShowEnabled, r.showEnabled);
    EXPECT_EQ(p.CatalogChecked, r.catalogChecked);
    EXPECT_EQ(p.CatalogEnabled, r.catalogEnabled);
    if (!r.item) {
      EXPECT_FALSE(p.Delete || p.Rename || p.CopyName || p.Properties || p.AllTaggedEnabled);
      EXPECT_FALSE(p.AtItem);
    }
  }
}

TEST(CommandRules, Drops) {
  struct Row {
    const char *from, *to;
    bool move, rename, undo;
  } rows[] = {
      {"C:\\Pics\\", "C:\\Pics", false, true, false},
      {"C:\\pics", "C:\\PICS\\", false, true, false},
      {"C:\\Pics", "C:\\Other", true, false, false},
      {"C:\\Pics", "D:\\Pics", true, false, true},
      {"c:\\Pics", "C:\\Other", true, false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(MoveHereEnabled(r.from, r.to), r.move) << r.from << " " << r.to;
    EXPECT_EQ(RenameOnCollision(r.from, r.to), r.rename) << r.from << " " << r.to;
    EXPECT_EQ(MoveAllowsUndo(r.from, r.to), r.undo) << r.from << " " << r.to;
  }
  EXPECT_TRUE(ShellDropTaken(0, true));
  EXPECT_FALSE(ShellDropTaken(1, true));
  EXPECT_FALSE(ShellDropTaken(0, false));
  EXPECT_TRUE(DropRefresh(false).Target);
  EXPECT_FALSE(DropRefresh(false).Source);
  EXPECT_TRUE(DropRefresh(true).Source);
  EXPECT_TRUE(FolderDropRefresh(false, "C:\\A", "c:\\a\\").Source);
  EXPECT_FALSE(FolderDropRefresh(false, "C:\\A", "C:\\B").Source);
  EXPECT_TRUE(FolderDropRefresh(true, "C:\\A", "C:\\B").Source);
}

TEST(CommandRules, WhatTakesADrop) {
  struct Row {
    TDropPlace place;
    TDragKind dragged;
    bool level0;
  } rows[] = {
      {dpFileList, dkFileList, true},    {dpFileList, dkFolderList, false},
      {dpFileList, dkNone, false},       {dpFolderList, dkFileList, true},
      {dpFolderList, dkFolderList, true}, {dpFolderList, dkNone, false},
      {dpScripts, dkFileList, true},     {dpScripts, dkFolderList, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(DropTaken(r.place, r.dragged, 0), r.level0) << r.place << " " << r.dragged;
    for (int level = 1; level <= 4; ++level) EXPECT_FALSE(DropTaken(r.place, r.dragged, level));
  }
  EXPECT_EQ(FolderDropText(dkFileList, 3, "C:\\P\\a.gif"), "3 files");
  EXPECT_EQ(FolderDropText(dkFileList, 0, "C:\\P\\a.gif"), "C:\\P\\a.gif");
  EXPECT_EQ(FolderDropText(dkFolderList, 0, "C:\\P\\Sub"), "Folder C:\\P\\Sub");
}

TEST(CommandRules, WhereAFolderMayGo) {
  struct Row {
    const char *folder, *destination;
    bool copy, move;
  } rows[] = {
      {"C:\\P\\Sub", "C:\\Other", true, true},
      {"C:\\P\\Sub\\", "D:\\", true, true},
      {"C:\\P\\Sub", "C:\\P", true, false},        // a move there leaves it where it is
      {"C:\\P\\Sub", "c:\\p\\", true, false},
      {"C:\\P\\Sub", "C:\\P\\Sub", false, false},  // into itself
      {"C:\\P\\Sub", "C:\\P\\sub\\Deeper", false, false},
      {"C:\\P\\Sub", "C:\\P\\Subway", true, true},  // a neighbour whose name starts alike
      {"C:\\", "D:\\Copy", false, false},               // a whole drive
      {"C:", "D:\\Copy", false, false},
      {"", "D:\\Copy", false, false},
      {"C:\\P\\Sub", "", false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FolderDropAllowed(r.folder, r.destination, false), r.copy)
        << r.folder << " -> " << r.destination;
    EXPECT_EQ(FolderDropAllowed(r.folder, r.destination, true), r.move)
        << r.folder << " -> " << r.destination;
  }
  EXPECT_TRUE(ShowsMovedFolder("C:\\P\\Sub", "C:\\P\\Sub\\"));
  EXPECT_TRUE(ShowsMovedFolder("C:\\P\\SUB\\In", "C:\\P\\Sub"));
  EXPECT_FALSE(ShowsMovedFolder("C:\\P", "C:\\P\\Sub"));
  EXPECT_FALSE(ShowsMovedFolder("C:\\P\\Subway", "C:\\P\\Sub"));
}

TEST(CommandRules, TimerTakesOneJobPerTickInOrder) {
  tTimerState s;
  s.Warning256Pending = true;
  s.VersionChanged = true;
  s.OldBuildReminderDue = true;
  s.Warning256Colors = 4;
  const TTimerJob order[] = {tjWarning256, tjWelcome, tjOldBuild, tjNone};
  for (TTimerJob want : order) EXPECT_EQ(ChooseTimerJob(s).Job, want);
  EXPECT_EQ(s.Warning256Colors, 5);

  // The fifth showing was the last one.
  s.Warning256Pending = true;
  tTimerChoice c = ChooseTimerJob(s);
  EXPECT_EQ(c.Job, tjWarning256);
  EXPECT_FALSE(c.ShowBox);
  EXPECT_EQ(s.Warning256Colors, 5);
  EXPECT_FALSE(s.Warning256Pending);

  struct Quiet {
    bool dragging, minimised, active;
  } quiet[] = {{true, false, true}, {false, true, true}, {false, false, false}};
  for (const Quiet& q : quiet) {
    tTimerState t;
    t.VersionChanged = true;
    t.Dragging = q.dragging;
    t.Minimised = q.minimised;
    t.Active = q.active;
    EXPECT_EQ(ChooseTimerJob(t).Job, tjNone);
    EXPECT_TRUE(t.VersionChanged);
  }
}

TEST(CommandRules, BuildAge) {
  const uint16_t built = 0x2B41;  // 1 October 2001
  EXPECT_EQ(BuildDateText(built), "1-Oct-2001");
  const int64_t oct1 = 11596;     // days from 1970 to 1 October 2001
  EXPECT_EQ(DaysSinceBuild(built, oct1), 0);
  EXPECT_FALSE(OldBuildReminder(built, oct1 + 180));
  EXPECT_TRUE(OldBuildReminder(built, oct1 + 181));
}
