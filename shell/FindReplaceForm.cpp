#include "shell/FindReplaceForm.h"

#include <richedit.h>

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/uFormat.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/RichEdit.h"
#include "framework/StatusBar.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"

TFandR_form::TFandR_form(TComponent* owner, const std::vector<std::string>& list)
    : TForm(owner), Folder(list.empty() ? "" : list[0]) {
  if (list.size() > 1) Names.assign(list.begin() + 1, list.end());
  SetCaption("Find and Replace");
  RECT work{0, 0, 800, 600};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int height = work.bottom - work.top - 50;
  SetBounds(work.left + (work.right - work.left - 520) / 2, work.top + 25, 520, height);
  auto* f = new TLabel(this, this, 8, 11, 60, 16);
  f->SetCaption("Find:");
  edFind = new TEdit(this, this, 70, 8, 340, 22);
  auto* r = new TLabel(this, this, 8, 39, 60, 16);
  r->SetCaption("Replace:");
  edReplace = new TEdit(this, this, 70, 36, 340, 22);
  btnGo = new TButton(this, this, "Go", 420, 8, 80, 26);
  Log = new TRichEdit(this, this, 8, 66, 492, 200);
  Log->SetReadOnly(true);
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({120, -1});
  StatusBar1->SetPanelText(0, Format("%d files", {static_cast<int>(Names.size())}));
  btnGo->OnClick = [this](TComponent*) { GoClick(); };
  OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  // The log takes the window's height.
  OnResize = [this](TComponent*) {
    StatusBar1->ParentResized();
    const RECT bar = StatusBar1->ClientRect();
    Log->SetBounds(8, 66, std::max(40, ClientWidth() - 16),
                   std::max(40, ClientHeight() - 72 - static_cast<int>(bar.bottom - bar.top)));
  };
  FinishCreate();
  if (OnResize) OnResize(this);
}

void TFandR_form::AddLogLine(const tLogLine& line) {
  for (const tLogPiece& piece : line) {
    const int64_t end = Log->TextLength();
    Log->SetSelection(end, 0);
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = piece.Color;
    Log->Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    const std::wstring w = Utf8ToWide(piece.Text);
    Log->SetSelText(std::u16string(w.begin(), w.end()));
  }
  Log->SetSelection(Log->TextLength(), 0);
  Log->SetSelText(u"\r\n");
}

void TFandR_form::GoClick() {
  const std::string find = edFind->Text();
  if (find.empty()) return;
  const tFindReplaceResult result = RunFindReplace(Folder, Names, find, edReplace->Text());
  for (const tLogLine& line : result.Log) AddLogLine(line);
  if (result.ChangedFiles > 0 && ViewerForm) {
    ViewerForm->ChangedFolder = Folder;
    ViewerForm->NotifyAllViewerForms(5);
  }
  if (!result.Error.empty())
    SoundMessageDlg(result.Error, mtError, MsgDlgButtons({mbOK}),
                    ViewerForm ? ViewerForm->MessageSounds : true, 0);
}

TFandR_form* ShowFindReplace(TComponent* owner, const std::vector<std::string>* list) {
  if (!list || list->size() < 2) return nullptr;
  auto* form = new TFandR_form(owner, *list);
  form->Show();
  return form;
}
