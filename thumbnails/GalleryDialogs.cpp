#include "thumbnails/GalleryDialogs.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/Canvas.h"
#include "framework/CheckBox.h"
#include "framework/Edit.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/Printer.h"
#include "framework/RadioButton.h"
#include "framework/ScrollBox.h"
#include "framework/TrackBar.h"
#include "imaging/uMemBmpWin.h"
#include "thumbnails/uGallery.h"
#include "thumbnails/uThumbMake.h"
#include "thumbnails/uThumbnails.h"

namespace {

constexpr int kThumbBox = 160;

TLabel* AddLabel(TComponent* owner, TWindow* parent, int x, int y, int w, const std::string& text) {
  auto* l = new TLabel(owner, parent, x, y, w, 16);
  l->SetCaption(text);
  return l;
}

// OK, Cancel (when asked for) and Help in a row from x; Help shows the form's help context.
void AddDialogButtons(TForm* form, int x, int y, TButton*& ok, TButton** cancel, TButton*& help) {
  ok = new TButton(form, form, "OK", x, y, 76, 25);
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  form->DefaultButton = ok;
  if (cancel) {
    x += 84;
    *cancel = new TButton(form, form, "Cancel", x, y, 76, 25);
    (*cancel)->ModalResult = mrCancel;
    form->CancelButton = *cancel;
  }
  help = new TButton(form, form, "&Help", x + 84, y, 76, 25);
  help->OnClick = [form](TComponent*) {
    if (Application.OnHelp) Application.OnHelp(form->HelpContext);
  };
}

bool RunModal(TForm* form) { return form->ShowModal() == mrOk; }

}  // namespace

TGallerySort::TGallerySort(TComponent* owner) : TForm(owner, bsDialog) {
  SetCaption("Gallery select / sort");
  HelpContext = 11;
  Position = poScreenCenter;
  SetClientSize(420, 300);
  auto* select = new TGroupBox(this, this, "Select", 8, 8, 404, 92);
  // Each label's letter takes the focus to its edit.
  const char* const captions[3] = {"&Drive", "&Group", "&Keyword"};
  TEdit** edits[3] = {&edDrives, &edClass, &edKeyword};
  for (int i = 0; i < 3; ++i) {
    TLabel* label = AddLabel(this, select, 12, 23 + 24 * i, 70, captions[i]);
    *edits[i] = new TEdit(this, select, 86, 20 + 24 * i, i == 2 ? 306 : 200, 22);
    label->FocusControl = *edits[i];
  }
  auto* sortBy = new TGroupBox(this, this, "Sort by", 8, 108, 220, 148);
  const char* const keys[8] = {"f&ull name", "file &name", "file da&te", "file si&ze",
                               "&resolution", "co&lors",  "grou&p",     "ke&ywords"};
  for (int i = 0; i < 8; ++i)
    SortKeys[i] = new TRadioButton(this, sortBy, keys[i], 12 + 104 * (i / 4), 22 + 30 * (i % 4), 96,
                                   18, i == 0);
  auto* order = new TGroupBox(this, this, "Sort order", 236, 108, 176, 66);
  rbFwd = new TRadioButton(this, order, "&Forward", 12, 20, 150, 18, true);
  rbBak = new TRadioButton(this, order, "&Backward", 12, 42, 150, 18);
  auto* include = new TGroupBox(this, this, "Include", 236, 180, 176, 76);
  rbActive = new TRadioButton(this, include, "A&ctive", 12, 18, 150, 18, true);
  rbAll = new TRadioButton(this, include, "&All", 12, 36, 150, 18);
  rbDeleted = new TRadioButton(this, include, "D&eleted", 12, 54, 150, 18);
  AddDialogButtons(this, 168, 266, btnOK, &btnCancel, btnHelp);
  FinishCreate();
}

void TGallerySort::Load(const TGallerySettings& s) {
  edDrives->SetText(DrivesFilter(s));
  edClass->SetText(GroupsFilter(s));
  edKeyword->SetText(KeywordsFilter(s));
  for (int i = 0; i < 8; ++i) SortKeys[i]->SetChecked(s.SortKey == i || (i == 0 && s.SortKey > 7));
  rbFwd->SetChecked(s.Order == 0);
  rbBak->SetChecked(s.Order != 0);
  const std::string status = StatusFilter(s);
  rbAll->SetChecked(status == "AD");
  rbDeleted->SetChecked(status == "D");
  rbActive->SetChecked(status != "AD" && status != "D");
}

void TGallerySort::Store(TGallerySettings& s) const {
  SetDrivesFilter(s, edDrives->Text());
  SetGroupsFilter(s, edClass->Text());
  SetKeywordsFilter(s, edKeyword->Text());
  s.SortKey = 0;
  for (int i = 0; i < 8; ++i)
    if (SortKeys[i]->Checked()) s.SortKey = static_cast<uint8_t>(i);
  s.Order = rbBak->Checked() ? 1 : 0;
  SetStatusFilter(s, rbAll->Checked() ? "AD" : rbDeleted->Checked() ? "D" : "A");
}

bool ExecuteGallerySort(TGallerySettings& settings) {
  TGallerySort dialog(nullptr);
  dialog.Load(settings);
  if (!RunModal(&dialog)) return false;
  dialog.Store(settings);
  return true;
}

TThumbPrintDialog::TThumbPrintDialog(TComponent* owner) : TForm(owner, bsDialog) {
  SetCaption("Print thumbnails");
  Position = poScreenCenter;
  SetClientSize(270, 150);
  TrackBar1 = new TTrackBar(this, this, 12, 10, 246, 30);
  TrackBar1->SetRange(0, 2);
  TrackBar1->SetFrequency(1);
  const char* const sizes[3] = {"Small", "Medium", "Large"};
  for (int i = 0; i < 3; ++i) {
    TLabel* l = AddLabel(this, this, 8 + 91 * i, 42, 72, sizes[i]);
    l->Alignment = i == 0 ? taLeftJustify : i == 1 ? taCenter : taRightJustify;
  }
  chkCenter = new TCheckBox(this, this, "C&enter on page", 12, 72, 150, 20);
  btnSetup = new TButton(this, this, "&Print setup", 170, 70, 90, 25);
  btnSetup->OnClick = [this](TComponent*) {
    TPrinterSetupDialog setup;
    if (setup.Execute(Handle())) Orientation = Printer().Orientation();
  };
  AddDialogButtons(this, 16, 114, btnOK, &btnCancel, btnHelp);
  FinishCreate();
}

bool ExecuteThumbPrintDialog(int& printSize, bool& center, int& orientation) {
  TThumbPrintDialog dialog(nullptr);
  dialog.TrackBar1->SetPosition(std::clamp(printSize, 0, 2));
  dialog.chkCenter->SetChecked(center);
  dialog.Orientation = orientation;
  Printer().SetOrientation(orientation == poLandscape ? poLandscape : poPortrait);
  if (!RunModal(&dialog)) return false;
  printSize = dialog.TrackBar1->Position();
  center = dialog.chkCenter->Checked();
  orientation = dialog.Orientation;
  return true;
}

TImagePropertiesDialog::TImagePropertiesDialog(TComponent* owner, tThumbnails& database,
                                               uint32_t n)
    : TForm(owner, bsDialog) {
  SetCaption("Image Properties");
  HelpContext = 14;
  Position = poScreenCenter;
  SetClientSize(520, 210);
  TThumbnailRecord r{};
  tMemBmpPtr picture;
  bool read = false;
  try {
    read = ReadThumbnail(database, n, &r, &picture, nullptr);
  } catch (const std::exception&) {
    // Facts without a picture: the record alone.
    picture.reset();
    try {
      database.ReadRecord(n, r);
      read = true;
    } catch (const std::exception&) {
    }
  }
  if (picture && picture->Width() > 0) {
    picture_ = std::make_unique<TBitmap>();
    picture_->Assign(AssignToBitmap(*picture));
  }
  const std::string label =
      read && r.Volume > 0 ? database.VolumeLabelOf(static_cast<int>(r.Volume)) : "";
  const tGalleryItemText text = read ? GalleryItemTexts(r, label) : tGalleryItemText{};
  const auto trimmed = [](const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
  };
  std::string values[7];
  if (read) {
    values[0] = text.Caption;
    values[1] = text.SubItems[1];
    values[2] = trimmed(text.SubItems[4]) + " bytes";
    values[3] = trimmed(text.SubItems[5]);
    values[4] = text.SubItems[0];
    values[5] = trimmed(text.SubItems[2]);
    values[6] = trimmed(text.SubItems[3]);
  }
  const char* const names[7] = {"Name:", "Location:", "Size:", "Date:", "Image:", "Group:", "Keywords:"};
  for (int i = 0; i < 7; ++i) {
    AddLabel(this, this, 180, 12 + 22 * i, 70, names[i]);
    Values[i] = AddLabel(this, this, 254, 12 + 22 * i, 258, values[i]);
  }
  Thumbnail = new TPaintBox(this, this, 10, 10, kThumbBox, kThumbBox);
  Thumbnail->Color = clWhite;
  Thumbnail->OnPaint = [this](TComponent*, TCanvas& canvas) {
    const RECT all{0, 0, kThumbBox, kThumbBox};
    canvas.Brush.SetColor(clWhite);
    canvas.FillRect(all);
    if (picture_)
      canvas.Draw((kThumbBox - picture_->Width()) / 2, (kThumbBox - picture_->Height()) / 2,
                  *picture_);
  };
  TButton* help = nullptr;
  AddDialogButtons(this, 352, 176, btnOK, nullptr, help);
  FinishCreate();
}

bool ShowImageProperties(tThumbnails& database, uint32_t record) {
  TImagePropertiesDialog dialog(nullptr, database, record);
  return RunModal(&dialog);
}
