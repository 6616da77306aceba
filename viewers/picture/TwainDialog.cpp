#include "viewers/picture/TwainDialog.h"

#include "framework/Application.h"
#include "viewers/picture/PictureWindow.h"

namespace {
TTwainDialog* theDialog = nullptr;
}

TTwainDialog::TTwainDialog(TComponent* owner) : TForm(owner, bsDialog) {
  SetCaption("Acquire");
  HelpContext = 62;
  SetClientSize(330, 150);
  lblHelp = new TLabel(this, this, 8, 8, 314, 62);
  lblHelp->SetCaption(
      "Select the source (scanner, camera, etc.) from the list. If you have a single source, its "
      "name appears above, and it's already selected. Push the Acquire button to acquire an "
      "image from the selected source.");
  cbTwainSources = new TComboBox(this, this, 8, 76, 314, 200, csDropDownList);
  btnAcquire = new TButton(this, this, "Acquire", 8, 114, 96, 26);
  btnClose = new TButton(this, this, "Close", 116, 114, 96, 26);
  btnHelp = new TButton(this, this, "&Help", 226, 114, 96, 26);
  btnAcquire->SetDefault(true);
  DefaultButton = btnAcquire;
  CancelButton = btnClose;
  Twain = new TTwain(this);
  Twain->OnAcquire = [](TTwain& t) { OpenAcquiredPicture(t.Picture, t.SourceName); };
  btnAcquire->OnClick = [this](TComponent*) { AcquireClick(); };
  btnClose->OnClick = [this](TComponent*) { Close(); };
  btnHelp->OnClick = [this](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(HelpContext);
  };
  cbTwainSources->OnChange = [this](TComponent*) { UpdateAcquire(); };
  // Closing hides: the dialog lives as long as the program.
  OnClose = [](TComponent*, TCloseAction& action) { action = caHide; };
  FinishCreate();
  FillSources();
}

TTwainDialog::~TTwainDialog() {
  if (theDialog == this) theDialog = nullptr;
}

void TTwainDialog::FillSources() {
  cbTwainSources->Clear();
  Twain->EnumerateSources(Handle());
  for (const auto& s : Twain->Sources) cbTwainSources->Add(s->ProductName());
  if (Twain->Sources.size() == 1) {
    cbTwainSources->SetItemIndex(0);
  } else {
    cbTwainSources->SetItemIndex(-1);
    // A drop-down list shows a text only as an item: the hint goes in as a row of its own that
    // is never a source.
    cbTwainSources->Add(Twain->Sources.empty() ? "(no available devices)" : "(select device)");
    cbTwainSources->SetItemIndex(cbTwainSources->Count() - 1);
  }
  UpdateAcquire();
}

void TTwainDialog::UpdateAcquire() {
  const int i = cbTwainSources->ItemIndex();
  btnAcquire->SetEnabled(i >= 0 && i < static_cast<int>(Twain->Sources.size()));
}

void TTwainDialog::AcquireClick() {
  const int i = cbTwainSources->ItemIndex();
  if (i < 0 || i >= static_cast<int>(Twain->Sources.size()) || Twain->State >= 3) return;
  btnAcquire->SetEnabled(false);
  Twain->Acquire(Handle(), i, 1);
  UpdateAcquire();
}

bool TTwainDialog::CloseQuery() { return Twain->State < 3 && TForm::CloseQuery(); }

bool TwainAvailable() {
  if (!theDialog) theDialog = new TTwainDialog(&Application);
  return !theDialog->Twain->Sources.empty();
}

TTwainDialog* TwainDialog() { return theDialog; }

void ShowTwainDialog(POINT p) {
  if (!TwainAvailable() && !theDialog) return;
  theDialog->SetBounds(p.x - theDialog->Width() / 2, p.y + 4, theDialog->Width(),
                       theDialog->Height());
  theDialog->Show();
}
