#include "shell/BatchRenameDialog.h"

#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/RadioButton.h"
#include "framework/TabControl.h"
#include "framework/Text.h"
#include "shell/ViewerForm.h"
#include "thumbnails/cShowControls.h"

namespace {
TEdit* LabelledEdit(TComponent* owner, TWindow* page, const char* caption, int y, int width = 180) {
  auto* l = new TLabel(owner, page, 12, y + 3, 90, 16);
  l->SetCaption(caption);
  return new TEdit(owner, page, 104, y, width, 22);
}
}  // namespace

TdlgBatchRename::TdlgBatchRename(TComponent* owner, const std::vector<std::string>& names,
                                 const std::string& folder)
    : TForm(owner, bsDialog), names_(names), folder_(folder) {
  SetCaption("Batch Rename");
  SetClientSize(336, 236);
  PageControl1 = new TTabControl(this, this, 8, 8, 320, 184);
  for (const char* tab : {"Case", "Base", "Extension", "Replace", "Sequence"})
    PageControl1->AddTab(tab);
  Pages = new TNotebook(this, this, 12, 36, 312, 150);
  TPanel* page[5];
  for (TPanel*& p : page) p = Pages->AddPage();

  auto* group = new TLabel(this, page[0], 12, 8, 80, 16);
  group->SetCaption(" Case ");
  rbUpper = new TRadioButton(this, page[0], "UPPERCASE", 20, 30, 140, 20, true);
  rbLower = new TRadioButton(this, page[0], "lowercase", 20, 54, 140, 20, false);
  rbLower->SetChecked(true);
  edBase = LabelledEdit(this, page[1], "Base", 12);
  edExtension = LabelledEdit(this, page[2], "Extension", 12, 80);
  edFind = LabelledEdit(this, page[3], "Find", 12);
  edReplace = LabelledEdit(this, page[3], "Replace", 42);
  edPart1 = LabelledEdit(this, page[4], "Part 1", 6, 120);
  edStart = LabelledEdit(this, page[4], "Starting #", 32, 60);
  edStart->SetText("1");
  edPart2 = LabelledEdit(this, page[4], "Part 2", 58, 120);
  edSeqExtension = LabelledEdit(this, page[4], "Extension", 84, 60);
  auto* digits = new TLabel(this, page[4], 180, 35, 40, 16);
  digits->SetCaption("Digits");
  seDigits = new TSpinEdit(this, page[4], 224, 32, 40, 22, 1, 8);
  seDigits->SetValue(2);
  cbLeadingZeros = new TCheckBox(this, page[4], "Leading zeros", 180, 86, 120, 20);

  btnOK = new TButton(this, this, "OK", 88, 202, 75, 26);
  btnOK->SetDefault(true);
  btnCancel = new TButton(this, this, "Cancel", 170, 202, 75, 26);
  btnCancel->SetCancel(true);
  btnCancel->ModalResult = mrCancel;
  btnHelp = new TButton(this, this, "&Help", 252, 202, 75, 26);
  btnHelp->OnClick = [](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(69);
  };
  btnOK->OnClick = [this](TComponent*) {
    OKClick();
    ModalResult = mrOk;
  };
  PageControl1->OnChange = [this](TComponent*) { SetPage(PageControl1->TabIndex()); };
  SetPage(0);
  FinishCreate();
}

void TdlgBatchRename::SetPage(int page) {
  if (PageControl1->TabIndex() != page) PageControl1->SetTabIndex(page);
  Pages->SetPageIndex(page);
  // Each page starts in its first field.
  TWindow* first[] = {rbLower->Checked() ? rbLower : rbUpper, edBase, edExtension, edFind,
                      edPart1};
  if (page >= 0 && page < 5 && Visible()) first[page]->SetFocus();
}

tBatchRenameParams TdlgBatchRename::Params() const {
  tBatchRenameParams p;
  p.Page = Pages->PageIndex();
  p.CaseIndex = rbUpper->Checked() ? 0 : 1;
  p.Base = edBase->Text();
  p.Extension = edExtension->Text();
  p.Find = edFind->Text();
  p.Replace = edReplace->Text();
  p.Part1 = edPart1->Text();
  p.Part2 = edPart2->Text();
  p.SequenceExtension = edSeqExtension->Text();
  try {
    p.Start = std::stoi(edStart->Text());
  } catch (...) {
    p.Start = 1;
  }
  p.Digits = seDigits->Value();
  p.LeadingZeros = cbLeadingZeros->Checked();
  return p;
}

int TdlgBatchRename::OKClick() {
  const std::string dir = AddBackslash(folder_);
  Renamed = RunBatchRename(
      Params(), names_,
      [&](const std::string& from, const std::string& to) {
        // MoveFile refuses an existing target: such a rename fails and is skipped.
        return MoveFileW(Utf8ToWide(dir + from).c_str(), Utf8ToWide(dir + to).c_str()) != 0;
      },
      [&](const std::string& from, const std::string& to) {
        if (OnRenamed) OnRenamed(from, to);
      });
  return Renamed;
}

void ShowBatchRename(TViewerForm* owner, POINT at) {
  TOrvex_FileList* list = owner->Orvex_FileList1;
  const std::vector<std::string>* tagged = list->GetTaggedSelection();
  if (!tagged || tagged->size() < 2) return;
  std::vector<std::string> names(tagged->begin() + 1, tagged->end());
  const std::string folder = RemoveBackslash((*tagged)[0]);
  auto* dlg = new TdlgBatchRename(owner, names, folder);
  dlg->OnRenamed = [owner](const std::string& from, const std::string& to) {
    owner->RenameThumbnailEntry(from, to);
  };
  RECT r = dlg->BoundsRect();
  if (at.x + (r.right - r.left) <= Screen.Width() && at.y + (r.bottom - r.top) <= Screen.Height())
    dlg->SetBounds(at.x, at.y, r.right - r.left, r.bottom - r.top);
  else
    dlg->Position = poScreenCenter;
  if (dlg->ShowModal() == mrOk && dlg->Renamed > 0) list->Reread();
  list->FreeList();
  delete dlg;
}
