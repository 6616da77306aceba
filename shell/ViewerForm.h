// The main window: a file browser of drives, folders and files from which every viewer is
// started. A top panel with the logo and the command buttons; under it the header whose first
// section spans the left panel (a notebook of drive, history and bookmark combos above the
// folder list) and whose other sections are the file list's columns; the right panel holds the
// sort buttons, the type filter and the mask combo above the file list; a status bar below.
// Several main windows may be open; the first (ViewerForm) owns the settings, the tray icon and
// the temporary files, and the command line drives it.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cFileCtlDirList.h"
#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cFileCtlFileList.h"
#include "foundation/cFileCtlFilterCombo.h"
#include "foundation/cOrvexComboBox.h"
#include "foundation/cTrayIcon.h"
#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "foundation/uUtilWin.h"
#include "framework/BitBtn.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Header.h"
#include "framework/Menu.h"
#include "framework/Panel.h"
#include "framework/ScrollBox.h"
#include "framework/StatusBar.h"
#include "framework/TabControl.h"
#include "framework/Timer.h"
#include "shell/uCommandRules.h"
#include "shell/uMessages.h"
#include "shell/uSettings.h"
#include "shell/uStartup.h"
#include "shell/uThumbPipeline.h"
#include "thumbnails/uThumbView.h"

// The first window's settings fields are the ones that count (read through ViewerForm).
class TViewerForm : public TForm, public tViewerSettings {
 public:
  explicit TViewerForm(TComponent* owner);
  ~TViewerForm() override;

  TPanel* pnlTop = nullptr;
  TPaintBox* Orvex_Logo = nullptr;
  TSpeedButton* btnMaster = nullptr;
  TButton *btnExit = nullptr, *btnAbout = nullptr, *btnClone = nullptr, *btnOptions = nullptr,
          *btnPaste = nullptr, *btnScripts = nullptr, *btnGallery = nullptr,
          *btnInspect = nullptr, *btnAcquire = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  THeaderControl* HeaderControl1 = nullptr;
  TPanel* pnlLeft = nullptr;
  TNotebook* nbookLeftTop = nullptr;
  TOrvex_DriveCombo* Orvex_DriveCombo1 = nullptr;
  TOrvex_ComboBox* cbDir = nullptr;
  TOrvex_ComboBox* cbMarks = nullptr;
  TOrvex_DirList* Orvex_DirList1 = nullptr;
  TPanel* pnlRight = nullptr;
  TSpeedButton *btn_f = nullptr, *btn_b = nullptr, *btn_u = nullptr, *btn_n = nullptr,
               *btn_e = nullptr, *btn_s = nullptr, *btn_d = nullptr, *btn_h = nullptr;
  TOrvex_FilterCombo* Orvex_FilterCombo1 = nullptr;
  TComboBox* cbMask = nullptr;
  TOrvex_FileList* Orvex_FileList1 = nullptr;
  TPopupMenu *dirPopup = nullptr, *filePopup = nullptr, *cpyMenu = nullptr, *cpy2Menu = nullptr,
             *TrayPopupMenu = nullptr;
  // The file menu's batch submenu.
  TMenuItem *fileBatch = nullptr, *batchPrint = nullptr, *batchConvert = nullptr,
            *batchHTML = nullptr;
  TTimer* Timer1 = nullptr;
  TTrayIcon* TrayIcon = nullptr;

  // How the window runs.
  uint8_t StartMode = smInteractive;
  bool Interactive = true;
  // The file named on the command line (start mode 1).
  std::string StartFile;
  // Viewer windows opened for a command-line file and still open.
  int32_t OpenViewers = 0;
  // Files to delete when the first window closes (first window, interactive).
  std::unique_ptr<std::vector<std::string>> TempFiles;
  std::unique_ptr<TBitmap> LogoBitmap;
  HPALETTE LogoPalette = nullptr;
  bool PaletteActive = false;
  bool FirstShowDone = false;
  bool AcceptingDrops = false;
  bool Closing = false;
  std::unique_ptr<tStopwatch> Stopwatch;
  std::string SelectFileName;
  std::string ChangedFolder;
  // The thumbnail database (first window, browsing only); its master switch follows btnMaster.
  std::unique_ptr<tThumbnails> Thumbnails;
  // The file list's side of the folder's view, and the view (browsing windows).
  std::unique_ptr<tThumbListHost> ThumbLink;
  std::unique_ptr<tDirectoryView> ThumbView;
  // The thumbnail chain: its state, pending folder change and scan index.
  std::unique_ptr<tThumbPipeline> Thumbs;
  // A thumbnail pass is running (0 none): closing waits for it.
  int ThumbState() const;
  // This window's close was accepted, or the first window's: every step stops.
  bool IsClosing() const;
  // The status of the chain in panel 3 (the view calls it after each thumbnail).
  void ShowThumbStatus();
  void EnableCommandButtons(bool enable);
  // A renamed file keeps its thumbnail.
  void RenameThumbnailEntry(const std::string& oldName, const std::string& newName);
  // Switches the file list between names and thumbnails.
  void ToggleThumbnailDisplay();
  bool ShowsThumbnails() const;
  // A new view of the first window's database on the file list.
  void MakeThumbView();
  // The modifiers of the last key or mouse press in the file list.
  TShiftState ShiftState = 0;
  // Names dropped from the shell, kept until the drop's choice is carried out.
  std::unique_ptr<std::vector<std::string>> DropList;

  // The command-line work, after the message loop runs (WM_DEFERRED_START).
  void CommandLineAction();
  // The folder when it exists; else the first window's folder, or (first window) the Windows
  // drive.
  std::string ValidFolderOr(const std::string& folder);
  void ToggleDropAccept();
  // Commands 1-5 to every main window: repaint, thumbnails on, thumbnails off, reset, folder
  // changed (ChangedFolder of the first window).
  void NotifyAllViewerForms(int command);
  // Selects a file in a main window showing its folder, opening one when none does.
  void ShowFileInViewerForm(const std::string& fileName);
  // Applies the parental level to this window's controls.
  void ApplyParentalLevel();
  void SetFileMask(const std::string& mask);
  // A window other than the first gives its mask history to the first window.
  void KeepMaskHistory();

  // ---- Command families (ViewerFormCmd*.cpp)
  // Connects the menus, buttons and keys to their commands (once, at creation).
  void ConnectCommands();
  void ConnectBatchCommands();
  void ConnectMaskCommands();
  void ConnectHeaderGlyphs();
  // The gallery of the first window's database (only when it has one).
  bool GalleryAvailable() const;
  void ShowTools();
  void ShowGallery();
  // The gallery window's place as it last closed (left, top, width, height), into the settings.
  std::array<int, 4> GalleryPlace{};
  void KeepGalleryPlace();
  // The popup menus' dispatcher, by the item's tag.
  void popupClick(TMenuItem* item);
  // The folder and file popups at a screen point (none: at the item).
  void ShowFolderPopup(const POINT* at = nullptr);
  void ShowFilePopup(const POINT* at = nullptr);
  // Keys of the file list, the folder list and the window (key preview); key 0 when used.
  void FileListKeyDown(WORD& key, TShiftState shift);
  void FolderListKeyDown(WORD& key, TShiftState shift);
  void WindowKeyUp(WORD& key, TShiftState shift);
  // The drop menu's choices.
  void CopyOrMoveDropped(bool copy);
  // The timer's one-time messages.
  void TimerJobs();
  // The options dialog, then the parental level again.
  void OptionsClick();
  bool MayRecycleHere() const;
  void PrintFolderThumbnails(bool taggedOnly);
  // File list index at the last "All tagged" toggle (-1 none).
  int32_t PopupIndex = -1;
  // The drop menu serves a drag between file lists (else a shell drop); the window dragged from.
  bool DropIsInternal = false;
  TViewerForm* DropSourceForm = nullptr;
  // A drop on the folder list: what was dragged, the folder under the drop point (or the list's
  // own), and the screen point where the folder dialog shows.
  TDragKind DropSourceKind = dkNone;
  std::string DropFolder;
  POINT DropPoint{};
  // The file list, the folder list and the Scripts button take drags from main windows.
  void ConnectDropCommands();
  void DropOnFileList(TWindow* source, POINT at);
  void DropOnFolderList(TWindow* source, POINT at);
  void DropOnScripts(TWindow* source, POINT at);
  // The folder list's drop menu: the dragged files or folder to a folder the user confirms.
  void CopyOrMoveToFolder(bool copy);

  // The open road: the first viewer that takes the file; true when one opened.
  bool OpenFileByType(const std::string& fileName);
  bool TryKnownViewers(const std::string& fileName);
  // The file list's double-click and Enter.
  void OpenSelectedFiles();
  // A slide show of a list handed out by the file list (line 0 the folder), with the
  // slide-show settings.
  void StartSlideShowOf(const std::vector<std::string>& list);
  void IncViewerCount();
  // A viewer window this window opened has closed.
  void DecViewerCount();
  // The program's event sounds: 0 bad file, 1 update start, 2 update done, 3 end of slides.
  void PlayEventSound(int event);
  // The same sounds after saving a text, extracting from a zip file, exporting a web page.
  void PlayOperationSound(int event);
  // Moves the settings and the state of the controls between the window and the INI file;
  // false when a save could not be written.
  bool LoadSaveSettings(bool load);
  // Refused while the tray icon keeps the program (it is minimised instead) and while a
  // thumbnail pass runs.
  bool CloseQuery() override;

 protected:
  void DoCreate() override;
  void DoShow() override;
  void DoHide() override;
  void DoClose(TCloseAction& action) override;
  void Resize() override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void CreateControls();
  void CreateMenus();
  void FormCreate();
  void ArrangeControls();
  void HeaderControl1SectionResize(int section);
  void HeaderControl1SectionClick(int section);
  void SortButtonClick(TSpeedButton* button);
  void FolderChanged();
  void FileListChanged();
  void DroppedFiles(HDROP drop);
  void Timer1Timer();
  bool IsFirst() const;

  void CreateThumbnailPipeline();
  void OpenThumbnailDatabase();
  void ShowScriptEditorFor(const std::vector<std::string>& files);

  std::unique_ptr<tSettingsControls> settingsControls_;
  std::unique_ptr<tThumbPipelineHost> thumbs_;
  // A close refused because a pass was running: it is carried out when the pass ends.
  bool closeAfterPass_ = false;
  void CloseAfterPass();
};

// The first main window (the one that owns the settings); null before it exists.
extern TViewerForm* ViewerForm;

// The program file beside which the settings file lies; empty: the running program (the test
// programs point it at a scratch folder).
extern std::string SettingsProgramFile;

// The command line the first window takes its start mode from; empty: the process's own (test
// programs give the program's command line here).
extern std::string StartCommandLine;

// The filter of the main window's type combo.
extern const char* const kViewerFormFilter;

// A document for the shell's registered program, else the default browser; errors are shown.
void ShellOpenDocument(TForm* owner, const std::string& name);
// Gives the viewer windows the first main window's settings and services.
void ConnectViewerHost();
// What a slide show started from the form needs: the first window's slide settings, its sounds
// and the picture window's magnifier.
struct tSlideShowHost;
tSlideShowHost SlideShowHostOf(TViewerForm& form);

// A new main window at a folder, laid out like the caller; raises when its file list cannot be
// made visible.
TViewerForm* OpenViewerFormAt(TViewerForm* caller, const std::string& folder);
// Whether a TWAIN source manager can be loaded at all (asked once).
bool TwainLibraryPresent();
// Posts WM_DEFERRED_START to every open window of a class (command 0; others do nothing).
void NotifyThumbWindows(int command);
void NotifyThumbToolsWindows(int command);

// Renames a file or folder with critical-error boxes suppressed; a failure is told in a message
// box; success posts WM_FOLDER_CHANGED to the window when one is given.
bool RenameWithMessage(const std::string& oldName, const std::string& newName, TWindow* window);
