// The comments editor of a picture: the comments that the save writes into GIF, TIF, JPG and
// PNG files, with one shared comments file beside the program to load from and save to.
#pragma once
#include <windows.h>

#include <string>

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "imaging/uGraphic.h"

class TCommentWindow : public TForm {
 public:
  TCommentWindow(TComponent* owner, const std::string& commentsFile);

  TPanel* TopPanel = nullptr;
  TButton *CloseBtn = nullptr, *LoadBtn = nullptr, *SaveBtn = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TEdit* edComment = nullptr;

  // The memo's whole text, lines broken by CR LF.
  std::string Text() const;
  void SetText(const std::string& text);
  bool LoadFile();
  bool SaveFile();
  const std::string& CommentsFile() const { return file_; }

 protected:
  void Resize() override;

 private:
  std::string file_;
};

// The program file the comments file is named after; empty: the running program (tests point
// it at a scratch folder).
extern std::string CommentsProgramFile;

// Edits the picture's comments modally; when the editor closes its text becomes the picture's
// comments (an empty text removes them).
void EditComments(TComponent* owner, tGraphicID& picture);
// The picture's comments replaced by a text.
void SetPictureComments(tGraphicID& picture, const std::string& text);
