// The inspector: a strip of a folder's thumbnails above the selected picture, decoded and
// fitted into the window, for going through pictures and recycling, deleting or renaming them
// without leaving the window. The owner's file list rescans when the inspector closes after a
// change.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/ListBox.h"
#include "framework/Menu.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "framework/ScrollBox.h"
#include "framework/Timer.h"
#include "framework/TrackBar.h"
#include "foundation/uTypes.h"
#include "imaging/uGraphic.h"
#include "thumbnails/cShowControls.h"

class TBitmap;
class TImageList;
class TViewerForm;

class TInspectorForm : public TForm {
 public:
  // names: line 0 the folder (with a trailing backslash), then bare names; thumbs: the owner's
  // thumbnail images (may be null: the strip shows names); index lines "name=image index".
  TInspectorForm(TViewerForm* owner, TImageList* thumbs, const std::vector<std::string>& indexLines,
                 const std::vector<std::string>& names);
  ~TInspectorForm() override;

  TPanel* pnlTop = nullptr;
  TButton *btnExit = nullptr, *btnAbout = nullptr;
  TTrackBar* tbClick = nullptr;
  TSpinEdit* UpDown = nullptr;
  TStatusBar* StatusBar = nullptr;
  TListBox* ListBox = nullptr;
  TPaintBox* PaintBox = nullptr;
  TEdit* Edit1 = nullptr;
  TTimer* AnimationTimer = nullptr;
  TPopupMenu* Popup = nullptr;
  TMenuItem* miProperties = nullptr;

  std::string Folder;
  std::vector<std::string> IndexLines;  // "name=thumbnail index"
  std::unique_ptr<tGraphicID> Decoder;
  std::unique_ptr<TBitmap> Picture;
  int Shown = -1;
  std::string ShownPath;
  int Rows = 1;
  bool Busy = false;
  bool Changed = false;
  bool SkipWait = false;
  // The hints of the list and the picture.
  std::string ListHint, PictureHint;

  // Shows the selected item (a click, Enter or a key move).
  void ShowSelected();
  // Recycle (or delete) the selected item.
  void DeleteSelected(bool recycle);
  void StartRename();
  void FinishRename();
  // The selected item's file properties; a change of its attributes marks the folder changed.
  void ShowProperties();
  // "+" and "-".
  void AddRow();
  void RemoveRow();
  void LayOut();
  bool CloseQuery() override;

 protected:
  void DoClose(TCloseAction& action) override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  std::string NameOf(int item) const;
  int ThumbOf(int item) const;
  void DrawImage(bool first);
  void PaintPicture(TCanvas& canvas);
  void DrawItem(int index, const RECT& rect, UINT state);
  void Clicked(bool dbl);
  void OpenShown();
  void UpdateHints();
  TViewerForm* owner_;
  TImageList* thumbs_;
  TRect target_{};
  RECT area_{};
  bool areaKnown_ = false;
  double deadline_ = 0;
};

// The inspector for a folder's pictures: only with at least one item and a list. Modeless.
TInspectorForm* ShowInspector(TViewerForm* owner, TImageList* thumbs,
                              const std::vector<std::string>& indexLines,
                              const std::vector<std::string>* names);
