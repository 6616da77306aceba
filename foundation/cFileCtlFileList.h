// The file list: an owner-drawn list box showing the entries of one folder with a tag mark, a
// category glyph and up to four detail columns (or a thumbnail and caption), sorted by one of
// five sequences, with tagging by keyboard and mouse, tooltips for cut names, in-place rename,
// and the name lists it hands out to the rest of the program.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cFileCtlNameHint.h"
#include "foundation/cFileCtlRules.h"
#include "foundation/uFileList.h"
#include "framework/Bitmap.h"
#include "framework/DragDrop.h"
#include "framework/Edit.h"
#include "framework/Header.h"
#include "framework/ImageList.h"
#include "framework/ListBox.h"

class TOrvex_DirList;
class TOrvex_FilterCombo;

class TOrvex_FileList : public TListBox {
 public:
  TOrvex_FileList(TComponent* owner, TWindow* parent, int x = 0, int y = 0, int width = 373,
                  int height = 200);
  ~TOrvex_FileList() override;

  // Properties; each setter acts only when the value changes.
  const std::string& Mask() const { return mask_; }
  void SetMask(const std::string& mask);
  TFileType FileType() const { return fileType_; }
  void SetFileType(TFileType fileType);
  TFileDetails FileDetails() const { return fileDetails_; }
  virtual void SetFileDetails(TFileDetails details);
  sfb_SS SortSequence() const { return sortSequence_; }
  virtual void SetSortSequence(sfb_SS sequence);
  bool SortAscending() const { return sortAscending_; }
  virtual void SetSortAscending(bool ascending);
  bool ShowGlyphs() const { return showGlyphs_; }
  void SetShowGlyphs(bool show);
  THeaderControl* HeaderControl() const { return header_; }
  void SetHeaderControl(THeaderControl* header);
  TEdit* FileEdit() const { return fileEdit_; }
  void SetFileEdit(TEdit* edit);
  TOrvex_DirList* DirList() const { return dirList_; }
  TOrvex_FilterCombo* FilterCombo() const { return filterCombo_; }

  // Tooltips for names that do not fit.
  bool ItemHint = false;
  // Automatic: a press on a file's row and a move drag the list (its tagged selection or the
  // file); folder rows are never dragged.
  TDragMode DragMode() const { return autoDrag_.Mode; }
  void SetDragMode(TDragMode mode) { autoDrag_.Mode = mode; }
  // Thumbnail size in pixels; 0 shows normal rows. MeasureRowHeight after a change.
  int zThumb = 0;
  // Set and freed by the thumbnail view: the images, "name=index" lines, captions by index.
  TImageList* ThumbImages = nullptr;
  std::vector<std::string>* ThumbNames = nullptr;
  std::vector<std::string>* ThumbCaptions = nullptr;

  TNotifyEvent OnChange, OnTagChange;

  // The folder shown (no trailing backslash except at a drive root).
  const std::string& Directory() const { return directory_; }
  void SetDirectory(const std::string& folder);
  void ChangeDirectory(const std::string& folder);
  char GetDrive() const { return directory_.empty() ? '\0' : directory_[0]; }
  std::string GetItemName(int i) const;
  std::string GetCurrentName() const;
  virtual std::string GetFileName() const;
  virtual char GetCurrentKind() const;
  int IndexOfName(const std::string& name) const;
  void SelectName(const std::string& name);
  // Shows the file's folder and makes its row current; a name with "*" or "?" becomes the
  // Mask. Throws EInvalidOperation "Invalid file name - <path>" for a file that does not exist.
  virtual void SetFileName(const std::string& path);
  void RedrawItem(int i);
  virtual void ReadFileNames();
  void Reread();
  void Refresh();

  // Tagging (only file rows are ever tagged).
  bool IsTagged(int i) const;
  virtual int TaggedCount() const;
  virtual int64_t TaggedSize() const;
  // mode: kUntag, kToggleTag, kTag; true when the row's tag changed (it is repainted at once).
  bool SetTag(int i, int mode);
  void ToggleTag(int i);
  void ToggleAllTags();
  void TagAndAdvance();
  void TagRange(int i);

  // Name lists owned by the list: line 0 the folder with a trailing backslash, then names. The
  // next request, FreeList or the list's destruction replaces the list; null means none.
  const std::vector<std::string>* GetTaggedList();
  const std::vector<std::string>* GetTaggedSelection();
  const std::vector<std::string>* GetThumbnailedList();
  void FreeList() { resultList_.reset(); }
  bool HasThumbnail(int i) const;
  int ThumbnailCount() const;
  void ResetThumbnails();
  void ResumeThumbnails();

  // In-place rename of row i's name; true when the user accepted (renaming the file is the
  // caller's work).
  bool EditItemName(int i, std::string& oldName, std::string& newName);
  void UpdateLayout();
  void SizeHeaderSections();
  void MeasureRowHeight();

  // Of the last reading.
  int FileCount() const { return reading_.FileCount; }
  int64_t TotalSize() const { return reading_.TotalSize; }
  const TSortableList& Entries() const { return entries_; }
  TSrchRec* Entry(int i) const;

  // The current row changed (also after each reading).
  virtual void Change();
  void Loaded() override;

 protected:
  friend class TOrvex_DirList;
  friend class TOrvex_FilterCombo;
  virtual void LoadGlyphs();
  void DrawItem(int index, const RECT& rect, UINT state) override;
  void Notification(TComponent* component, TOperation operation) override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void Click() override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void FontChanged() override;
  void Resize() override;

 private:
  int SpacesWidth(int n);
  void RefillRows();
  void ComputeColumns();
  void FitNameColumn();
  int GlyphAreaWidth() const;
  TBitmap& GlyphOf(const TSrchRec& e);
  void LookUpThumbnail(TSrchRec& e);

  std::string directory_;
  std::string mask_ = "*.*";
  TFileType fileType_ = FileTypeBit(ftNormal);
  TFileDetails fileDetails_ = kAllFileDetails;
  sfb_SS sortSequence_ = SS_name;
  bool sortAscending_ = true;
  bool showGlyphs_ = true;
  bool skipFirstRead_ = false;
  bool thumbsSuspended_ = false;
  int lastIndex_ = -1;
  int nameColumn_ = 13;
  THeaderControl* header_ = nullptr;
  TEdit* fileEdit_ = nullptr;
  TOrvex_DirList* dirList_ = nullptr;
  TOrvex_FilterCombo* filterCombo_ = nullptr;
  TOrvex_NameHint nameHint_;
  TAutoDrag autoDrag_{*this};
  TSortableList entries_;
  std::vector<TSrchRec*> rows_;
  tFolderReading reading_;
  tFormatSettings settings_;
  std::unique_ptr<std::vector<std::string>> resultList_;
  // KNOWNZIP, EXECUTABLE, CLOSEDFOLDER, UNKNOWNFILE, FG_CHECK, KNOWNFILE, FG_PICTURE, FG_MUSIC,
  // FG_SOUND, FG_MOVIE, FG_DOTDOT.
  TBitmap glyphs_[11];
};
