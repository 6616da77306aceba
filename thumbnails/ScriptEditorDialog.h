// "Slide Show Scripts": the editor that builds a script from the files a main window offers,
// and saves, loads, deletes, shuffles and test-runs the scripts of the library.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/ListBox.h"
#include "thumbnails/SlideShowWindow.h"
#include "thumbnails/cShowControls.h"
#include "thumbnails/uScriptLibrary.h"

struct tScriptEditorHost {
  std::string IniPath;                 // the program INI holding the library
  int ParentalLevel = 0;               // any level above 0 hides hidden scripts
  bool MessageSounds = true;
  std::vector<std::string>* CustomColors = nullptr;
  HWND OwnerWindow = nullptr;          // gets WM_REFRESHLIST when the editor closes
  tSlideShowHost SlideShow;            // for the test shows
};

class TScriptDlg : public TForm {
 public:
  // files: entry 0 a folder, then names (may be empty).
  TScriptDlg(TComponent* owner, const tScriptEditorHost& host, const std::vector<std::string>& files);

  TListBox* SrcList = nullptr;
  TListBox* DstList = nullptr;
  TListBox* ViewList = nullptr;
  TEdit* Title = nullptr;
  TCheckBox* ChkHide = nullptr;
  TSpinEdit* ListDelay = nullptr;
  TCheckBox* chkWP = nullptr;
  TCheckBox* chkOrig = nullptr;
  TButton* btnBG = nullptr;
  TButton* btnWallpaper = nullptr;
  TButton *btnAdd = nullptr, *btnAddAll = nullptr, *btnRemove = nullptr, *btnRemoveAll = nullptr;
  TButton* LoadBtn = nullptr;
  TButton* SaveBtn = nullptr;
  TButton* btnView = nullptr;
  TButton* btnRandom = nullptr;

  // The editor's operations, as its buttons run them (tests call them too).
  void RefreshLibrary();
  bool SaveScript();
  bool LoadScript();
  bool DeleteScript();
  void Shuffle();
  void View();
  void Move(TListBox* from, TListBox* to, bool all);
  bool Changed() const { return changed_; }
  int LoadedNumber() const { return loadedNumber_; }
  uint32_t Color = 0;
  std::string Paper;

 protected:
  bool CloseQuery() override;
  void DoClose(TCloseAction& action) override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  std::vector<std::string> Lines(TListBox* list) const;
  void SetLines(TListBox* list, const std::vector<std::string>& lines);
  void UpdateButtons();
  void ClearEditor();
  void ShowOne(TListBox* list);
  void RunViewListScript();
  void StartDrag(TListBox* list, int x, int y);
  void EndDrag(int x, int y);

  tScriptEditorHost host_;
  tVList library_;
  int freeNumber_ = 0;
  int loadedNumber_ = 0;
  std::string loadedTitle_;
  bool changed_ = false;
  TListBox* dragSource_ = nullptr;
  int dragIndex_ = -1;
};

// The editor, modal; posts WM_REFRESHLIST to the owner window when it closes.
void ShowScriptEditor(TComponent* owner, const tScriptEditorHost& host,
                      const std::vector<std::string>& files);
