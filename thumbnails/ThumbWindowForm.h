// "The Gallery": the thumbnail database a page at a time, as large thumbnails, small pictures,
// a list or detail rows. Keywords and groups are edited in the bar under the list, records are
// tagged and marked deleted, pages are printed, and a picture opens in a picture window (after
// the right removable disk is in its drive).
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "thumbnails/uThumbView.h"

class TButton;
class TEdit;
class TListView;
class TPaintBox;
class TPanel;
class TPopupMenu;
class TStatusBar;

// What the gallery asks of the program around it; absent callbacks do nothing.
struct tGalleryHost {
  int PerPage = 40;
  // The window's bounds (left, top, width, height), kept up to date when it closes.
  int* Bounds = nullptr;
  bool MessageSounds = false;
  // Print settings of the main window, saved back after the print dialog's OK.
  int* PrintSize = nullptr;
  bool* CenterPrint = nullptr;
  int* Orientation = nullptr;
  std::function<void(const std::string& path)> OpenPicture;
  std::function<void(const std::string& path)> ShowFileInViewerForm;
  std::function<void()> ShowTools;
  // The jump dialog (page list and lookup list): 1 (OK) a page was chosen, 6 (Yes) a lookup
  // entry, else cancelled.
  std::function<int(int& page, int pageCount, const std::vector<std::string>& lookup,
                    int& lookupIndex)>
      Jump;
  std::function<void()> ShowAbout;
  // The volume label of a drive root ("E:\"); "" when there is no disk.
  std::function<std::string(const std::string& root)> DriveLabel;
  // Yes/no questions and messages (the sound message box); true for OK or Yes.
  std::function<bool(const std::string& text, bool question, int helpContext)> Ask;
  // Prints the record numbers with the header format and the job title (absent: on the
  // printer, after the print options).
  std::function<void(tDatabaseView& view, const std::vector<uint32_t>& records,
                     const std::string& headerFormat, const std::string& title)>
      Print;
};

class TThumbWindowForm : public TForm {
 public:
  TThumbWindowForm(TComponent* owner, tThumbnails& database, tGalleryHost host);
  ~TThumbWindowForm() override;

  TStatusBar* StatusBar1 = nullptr;
  TPanel* pnlTop = nullptr;
  TButton *btnClose = nullptr, *AboutButton = nullptr, *btnHome = nullptr, *btnBack = nullptr,
          *btnNext = nullptr, *btnEnd = nullptr, *btnSort = nullptr, *btnReport = nullptr;
  TListView* ListView = nullptr;
  TPanel* CoolBar1 = nullptr;
  TEdit *edGroup = nullptr, *edKeywords = nullptr, *edFullName = nullptr;
  TButton* btnCheck = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TPaintBox* Orvex_Logo = nullptr;

  tDatabaseView View;
  int ItemCount = 0;  // on the page, added so far
  int Page = 0;
  int PageCount = 0;
  int Focus = -1;
  int Tagged = 0;
  bool Building = false;

  // The whole build (also after the selection changed).
  void BuildGallery();
  void ShowPage(int page);
  // The record of item i of the page.
  uint32_t RecordOfItem(int i) const;
  bool IsTagged(int i) const;
  void ToggleTag(int i);
  // The edits; each reaches the tagged items when the focused one is tagged.
  void StoreKeywords(const std::string& text);
  void StoreGroup(const std::string& text);
  void DeleteItClick();
  void OpenItem(int i);
  // "&Select": the select / sort dialog, then the gallery built again on OK.
  void SelectAndSort();
  // "P&roperties" of the focused item.
  void Properties();
  // "Print &All" (0), "Print &Page" (1), "Print &Tagged" (2), after the print options.
  void PrintRecords(int which);
  void Find();
  // "&Jump": to a chosen page, or to the page of a chosen index character's first record.
  void JumpClick();
  // "Select all" (Ctrl+A): the whole text of the bar's edit that has the focus, else every
  // item of the page tagged.
  void SelectAll();

 protected:
  void Resize() override;

 private:
  void Arrange();
  void AddNextItem();
  void ItemChanged(int i);
  void RedrawItem(int i);
  void FocusChanged();
  void ShowTagged();
  void ApplyToTargets(const std::function<void(TThumbnailRecord&)>& edit);
  void PopupAt(int x, int y);

  tGalleryHost host_;
  std::unique_ptr<TImageList> large_, small_, state_;
  TBitmap logo_;
  std::vector<bool> tags_;
};

// Creates and shows the gallery (not modal); it frees itself when closed.
TThumbWindowForm* ShowThumbnailWindow(TComponent* owner, tThumbnails& database, tGalleryHost host);
