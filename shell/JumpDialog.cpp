#include "shell/JumpDialog.h"

#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/Label.h"

TJumpDialog::TJumpDialog(TComponent* owner, int pageIndex, int pageCount,
                         const std::vector<std::string>& lookup, int lookupIndex)
    : TForm(owner, bsDialog) {
  SetCaption("Jump");
  Position = poScreenCenter;
  HelpContext = 15;
  SetClientSize(260, 112);
  auto* page = new TLabel(this, this, 12, 15, 60, 16);
  page->SetCaption("Page:");
  cbPage = new TComboBox(this, this, 76, 12, 172, 300);
  auto* index = new TLabel(this, this, 12, 45, 60, 16);
  index->SetCaption("Index:");
  cbLookup = new TComboBox(this, this, 76, 42, 172, 300);
  for (int i = 1; i <= pageCount; ++i) cbPage->Add(Format("page %d", {i}));
  for (const std::string& entry : lookup) cbLookup->Add(entry);
  cbPage->SetItemIndex(pageIndex);
  cbLookup->SetItemIndex(lookupIndex);
  btnCancel = new TButton(this, this, "Cancel", 84, 78, 80, 25);
  btnCancel->ModalResult = mrCancel;
  CancelButton = btnCancel;
  btnHelp = new TButton(this, this, "&Help", 168, 78, 80, 25);
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  cbPage->OnChange = [this](TComponent*) { ModalResult = mrOk; };
  cbLookup->OnChange = [this](TComponent*) { ModalResult = mrYes; };
  FinishCreate();
}

int ExecuteJumpDialog(TComponent* owner, int& pageIndex, int pageCount,
                      const std::vector<std::string>& lookup, int& lookupIndex) {
  auto* dialog = new TJumpDialog(owner, pageIndex, pageCount, lookup, lookupIndex);
  const int result = dialog->ShowModal();
  pageIndex = dialog->cbPage->ItemIndex();
  lookupIndex = dialog->cbLookup->ItemIndex();
  dialog->Release();
  return result;
}
