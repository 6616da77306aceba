#include "viewers/picture/CommentWindow.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "foundation/uPlatform.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"
#include "viewers/picture/uDetailsText.h"

std::string CommentsProgramFile;

namespace {
constexpr int kTopHeight = 36;

std::filesystem::path PathOf(const std::string& name) { return Utf8ToWide(name); }

std::string ProgramFile() {
  if (!CommentsProgramFile.empty()) return CommentsProgramFile;
  wchar_t name[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, name, MAX_PATH * 2);
  return WideToUtf8(name);
}

// The text with every line break as CR LF.
std::string CrLf(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}
}  // namespace

TCommentWindow::TCommentWindow(TComponent* owner, const std::string& commentsFile)
    : TForm(owner), file_(commentsFile) {
  HelpContext = 7;
  Position = poScreenCenter;
  SetBounds(0, 0, 460, 300);
  TopPanel = new TPanel(this, this, 0, 0, 460, kTopHeight);
  CloseBtn = new TButton(this, TopPanel, "&Close", 6, 6, 70, 24);
  CloseBtn->Hint = "Close Window";
  LoadBtn = new TButton(this, TopPanel, "&Load", 80, 6, 70, 24);
  SaveBtn = new TButton(this, TopPanel, "&Save", 154, 6, 70, 24);
  StatusBar1 = new TStatusBar(this, this);
  edComment = new TEdit(this, this, 0, kTopHeight, 460, 200,
                        WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
  CloseBtn->ModalResult = mrOk;
  LoadBtn->OnClick = [this](TComponent*) {
    LoadFile();
    edComment->SetFocus();
  };
  SaveBtn->OnClick = [this](TComponent*) {
    SaveFile();
    edComment->SetFocus();
  };
  if (ViewerForm) edComment->Font() = ViewerForm->Orvex_FileList1->Font();
  ActiveControl = edComment;
  FinishCreate();
}

std::string TCommentWindow::Text() const { return edComment->Text(); }

void TCommentWindow::SetText(const std::string& text) { edComment->SetText(CrLf(text)); }

bool TCommentWindow::LoadFile() {
  std::ifstream in(PathOf(file_), std::ios::binary);
  if (!in) return false;
  std::stringstream s;
  s << in.rdbuf();
  SetText(s.str());
  return true;
}

bool TCommentWindow::SaveFile() {
  // Written beside the old file and put in its place only when complete.
  const std::string temp = file_ + ".new";
  {
    std::ofstream out(PathOf(temp), std::ios::binary | std::ios::trunc);
    const std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) {
      out.close();
      Platform().RemoveFile(temp);
      StatusBar1->SetPanelText(0, "Not saved: " + file_);
      return false;
    }
  }
  if (!Platform().ReplaceFile(temp, file_)) {
    Platform().RemoveFile(temp);
    StatusBar1->SetPanelText(0, "Not saved: " + file_);
    return false;
  }
  LoadBtn->SetEnabled(true);
  StatusBar1->SetPanelText(0, "Saved: " + file_);
  return true;
}

void TCommentWindow::Resize() {
  TForm::Resize();
  if (!edComment) return;
  StatusBar1->ParentResized();
  const int status = StatusBar1->Height();
  TopPanel->SetBounds(0, 0, ClientWidth(), kTopHeight);
  edComment->SetBounds(0, kTopHeight, ClientWidth(),
                       std::max(0, ClientHeight() - kTopHeight - status));
}

void SetPictureComments(tGraphicID& picture, const std::string& text) {
  std::vector<std::string>& info = picture.Info;
  info.erase(std::remove_if(info.begin(), info.end(),
                            [](const std::string& line) {
                              return !line.empty() && (line[0] == 'r' || line[0] == 'R');
                            }),
             info.end());
  if (!text.empty()) info.push_back("r" + text);
  // The save writes the cached remarks: they must be these, not the ones read from the file.
  picture.SetRemarksText(text);
}

void EditComments(TComponent* owner, tGraphicID& picture) {
  const std::string file = CommentsFileName(ProgramFile());
  std::unique_ptr<TCommentWindow> window(new TCommentWindow(owner, file));
  window->LoadBtn->SetEnabled(std::filesystem::exists(PathOf(file)));
  // The comments as the save would write them, read from a copy of the lines.
  tGraphicID lines(nullptr);
  lines.Info = picture.Info;
  const std::string comments = lines.RemarksText("");
  window->SetText(comments);
  window->SetCaption(CommentsCaption(comments));
  window->ShowModal();
  SetPictureComments(picture, window->Text());
}
