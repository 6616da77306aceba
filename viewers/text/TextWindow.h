// The text window: a file judged to be text, shown as plain or rich text, with editing and
// saving, find and replace, a font, printing with a page header, viewing in the browser, and
// decoding of uu-, xx- or base64-encoded blocks into files.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/Form.h"

class TButton;
class TLabel;
class TPanel;
class TProgress;
class TRichEdit;
class TStatusBar;
class TTimer;
class tBuffStream;

class TTextWindow : public TForm {
 public:
  TTextWindow(TComponent* owner, std::unique_ptr<tBuffStream> stream);
  ~TTextWindow() override;

  TPanel* ButtonPanel = nullptr;
  TButton *QuitButton = nullptr, *AboutButton = nullptr, *DecodeButton = nullptr, *FontBtn = nullptr,
          *PrintBtn = nullptr, *btnHTML = nullptr, *btnEdit = nullptr, *btnSave = nullptr,
          *btnFind = nullptr, *btnReplace = nullptr;
  TLabel* lblStatus = nullptr;
  TRichEdit* Memo = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TProgress* Progress1 = nullptr;
  TTimer* Timer1 = nullptr;

  // Commands as the buttons and dialogs run them (tests call them directly).
  void LoadText();
  void SetEditing(bool editing);
  bool Editing() const { return editing_; }
  bool Save();
  void SwitchPlainRich();
  bool PlainMode() const { return plainMode_; }
  bool FindNext(const std::string& what, bool wholeWord, bool matchCase);
  int Replace(const std::string& what, const std::string& with, bool wholeWord, bool matchCase,
              bool all);
  // Prints the text with its page header (the print button asks for the printer first).
  void PrintText();
  void Decode();
  // The unsaved-changes question: false when the user cancels.
  bool CanDropChanges();
  // The answer that the next question gets without being shown (tests): 0 asks.
  int PresetAnswer = 0;
  int64_t CharCount() const { return charCount_; }

 protected:
  void Resize() override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;

 private:
  void FormCreate();
  void Arrange();
  void ShowStatus(const std::string& text, bool withLines);
  void EditStatus();
  void AfterLoadChecks(const std::string& bytes);
  void StripBackspaceChars();
  void SetProgress(int64_t position);
  void FontBtnClick();
  void PrintBtnClick();
  void OpenFindDialog(bool replace);
  void FindMessage(FINDREPLACEW* fr);
  int Ask(const std::string& text, int type, unsigned buttons, int help = 0);
  void SaveButtonState();

  std::string FileName;
  std::unique_ptr<tBuffStream> Stream;
  int64_t charCount_ = 0;
  bool editing_ = false;
  bool plainMode_ = true;
  UINT findMessage_ = 0;
  HWND findDialog_ = nullptr;
  FINDREPLACEW fr_{};
  wchar_t findText_[256] = {};
  wchar_t replaceText_[256] = {};
};

// Takes the stream (and frees it) when its first block is text; false otherwise.
bool OpenTextWindow(TForm* owner, std::unique_ptr<tBuffStream>& stream);
