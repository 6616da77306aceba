// The find-and-replace window over the tagged text files: a find and a replace text, "Go", and a
// coloured log of what was changed.
#pragma once
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shell/uFindReplace.h"

class TButton;
class TEdit;
class TRichEdit;
class TStatusBar;

class TFandR_form : public TForm {
 public:
  TFandR_form(TComponent* owner, const std::vector<std::string>& list);
  TEdit *edFind = nullptr, *edReplace = nullptr;
  TButton* btnGo = nullptr;
  TRichEdit* Log = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  std::string Folder;
  std::vector<std::string> Names;

  void GoClick();
  void AddLogLine(const tLogLine& line);
};

// Opens the window for a list (item 0 the folder, then the names); nothing without a name.
TFandR_form* ShowFindReplace(TComponent* owner, const std::vector<std::string>* list);
