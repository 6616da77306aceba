#include "thumbnails/ThumbWindowForm.h"

#include <algorithm>

#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Button.h"
#include "framework/Canvas.h"
#include "framework/Edit.h"
#include "framework/ListView.h"
#include "framework/Menu.h"
#include "framework/Panel.h"
#include "framework/Printer.h"
#include "framework/ScrollBox.h"
#include "framework/StatusBar.h"
#include "imaging/uMemBmpWin.h"
#include "thumbnails/GalleryDialogs.h"
#include "thumbnails/ThumbPrint.h"
#include "thumbnails/uGallery.h"
#include "thumbnails/uThumbMake.h"

namespace {

constexpr int kTopHeight = 44, kLogoSide = 40, kBarHeight = 30, kSmallSide = 32;
enum : int {
  cmLarge = 1,
  cmSmall,
  cmList,
  cmDetails,
  cmProperties,
  cmFind,
  cmJump,
  cmPrintAll,
  cmPrintPage,
  cmPrintTagged
};

// The tag mark of the state images: a box, ticked or empty.
tMemBmpPtr TagMark(bool ticked) {
  auto mark = std::make_unique<tMemBmp>();
  mark->Allocate(16, 16, false, nullptr, 280, 24);
  for (int y = 0; y < 16; ++y) {
    uint8_t* row = mark->ScanLine(y);  // bottom-up: y 0 is the lowest row
    for (int x = 0; x < 16; ++x) {
      const bool inBox = x >= 2 && x <= 13 && y >= 2 && y <= 13;
      const bool edge = inBox && (x == 2 || x == 13 || y == 2 || y == 13);
      // Two strokes three pixels thick: down from the left, then up to the right.
      const int stroke = x <= 6 ? y - (13 - x) + 4 : y - (x - 6) - 4;
      const bool tick = ticked && x >= 4 && x <= 11 && stroke >= 0 && stroke <= 2;
      uint8_t b = 192, g = 192, r = 192;
      if (edge) b = g = r = 64;
      else if (tick) b = 0, g = 128, r = 0;
      else if (inBox) b = g = r = 255;
      row[3 * x] = b;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
    }
  }
  return mark;
}

int AddPicture(TImageList& list, tMemBmp& image, tMemBmp* mask) {
  TBitmap bitmap, maskBitmap;
  bitmap.Assign(AssignToBitmap(image));
  if (mask) maskBitmap.Assign(AssignToBitmap(*mask));
  return list.Add(bitmap, mask ? &maskBitmap : nullptr);
}

}  // namespace

TThumbWindowForm::TThumbWindowForm(TComponent* owner, tThumbnails& database, tGalleryHost host)
    : TForm(owner), View(database), host_(std::move(host)) {
  // The main window finds its gallery windows by this name to tell them of database changes.
  Name = "TThumbWindowForm";
  SetCaption("The Gallery");
  HelpContext = 12;
  KeyPreview = true;
  pnlTop = new TPanel(this, this, 0, 0, 600, kTopHeight);
  const char* const captions[] = {"&Close", "&About", "&Home", "&Back",
                                  "&Next",  "&End",   "&Select", "&Tools"};
  TButton** buttons[] = {&btnClose, &AboutButton, &btnHome, &btnBack,
                         &btnNext,  &btnEnd,      &btnSort, &btnReport};
  for (int i = 0; i < 8; ++i)
    *buttons[i] = new TButton(this, pnlTop, captions[i], 6 + i * 70 + (i >= 2 ? 10 : 0) + (i >= 6 ? 10 : 0),
                              9, 64, 25);
  // The program's logo at the right end of the button bar.
  Orvex_Logo = new TPaintBox(this, pnlTop, 556, 2, kLogoSide, kLogoSide);
  logo_.LoadFromResourceName("ORVEX_40X40X256");
  Orvex_Logo->OnPaint = [this](TComponent*, TCanvas& canvas) {
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(Orvex_Logo->ClientRect());
    if (!logo_.Empty()) canvas.Draw(0, 0, logo_);
  };
  ListView = new TListView(this, this, 0, kTopHeight, 600, 300);
  const std::pair<const char*, int> columns[] = {
      {"File name", 140}, {"Description", 150}, {"Location", 200}, {"Group", 45},
      {"Keywords", 200},  {"File size", 80},    {"Date", 130}};
  for (const auto& [caption, width] : columns)
    ListView->AddColumn(caption, width,
                        std::string(caption) == "File size" ? taRightJustify : taLeftJustify);
  CoolBar1 = new TPanel(this, this, 0, 340, 600, kBarHeight);
  edGroup = new TEdit(this, CoolBar1, 4, 4, 30, 22);
  edKeywords = new TEdit(this, CoolBar1, 40, 4, 300, 22);
  edFullName = new TEdit(this, CoolBar1, 346, 4, 180, 22, WS_BORDER | ES_READONLY);
  btnCheck = new TButton(this, CoolBar1, "Ta&g", 532, 3, 60, 24);
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({110, 130, 100, -1});

  PopupMenu1 = new TPopupMenu(this);
  const std::pair<const char*, int> items[] = {
      {"Lar&ge Icons", cmLarge}, {"S&mall Icons", cmSmall}, {"&List", cmList},
      {"&Details", cmDetails},   {"-", 0},                  {"P&roperties", cmProperties},
      {"&Find", cmFind},         {"&Jump", cmJump},         {"-", 0},
      {"Print &All", cmPrintAll}, {"Print &Page", cmPrintPage}, {"Print &Tagged", cmPrintTagged}};
  for (const auto& [caption, tag] : items) {
    TMenuItem* item = PopupMenu1->Add(caption, tag);
    const int command = tag;
    item->OnClick = [this, command](TComponent*) {
      switch (command) {
        case cmLarge: ListView->SetViewStyle(vsIcon); break;
        case cmSmall: ListView->SetViewStyle(vsSmallIcon); break;
        case cmList: ListView->SetViewStyle(vsList); break;
        case cmDetails: ListView->SetViewStyle(vsReport); break;
        case cmFind: Find(); break;
        case cmProperties: Properties(); break;
        case cmJump: JumpClick(); break;
        case cmPrintAll: PrintRecords(0); break;
        case cmPrintPage: PrintRecords(1); break;
        case cmPrintTagged: PrintRecords(2); break;
        default: break;
      }
    };
  }
  PopupMenu1->OnPopup = [this](TComponent*) {
    const TViewStyle style = ListView->ViewStyle();
    for (TMenuItem* item : PopupMenu1->Items()) {
      if (item->Tag >= cmLarge && item->Tag <= cmDetails)
        item->Checked = item->Tag - cmLarge == static_cast<int>(style);
      if (item->Tag == cmJump) item->Enabled = host_.Jump != nullptr && PageCount > 0;
      if (item->Tag == cmProperties) item->Enabled = Focus >= 0;
      if (item->Tag == cmFind) item->Enabled = Focus >= 0 && host_.ShowFileInViewerForm != nullptr;
      if (item->Tag == cmPrintTagged) item->Enabled = Tagged > 0;
    }
  };

  btnClose->OnClick = [this](TComponent*) { Close(); };
  AboutButton->OnClick = [this](TComponent*) {
    if (host_.ShowAbout) host_.ShowAbout();
  };
  btnHome->OnClick = [this](TComponent*) { ShowPage(0); };
  btnBack->OnClick = [this](TComponent*) { ShowPage(Page - 1); };
  btnNext->OnClick = [this](TComponent*) { ShowPage(Page + 1); };
  btnEnd->OnClick = [this](TComponent*) { ShowPage(PageCount - 1); };
  btnReport->OnClick = [this](TComponent*) {
    if (host_.ShowTools) host_.ShowTools();
  };
  btnReport->SetEnabled(host_.ShowTools != nullptr);
  btnSort->OnClick = [this](TComponent*) { SelectAndSort(); };
  btnCheck->OnClick = [this](TComponent*) { ToggleTag(Focus); };
  edKeywords->OnExit = [this](TComponent*) { StoreKeywords(edKeywords->Text()); };
  edGroup->OnExit = [this](TComponent*) { StoreGroup(edGroup->Text()); };
  ListView->OnDblClick = [this](TComponent*) { OpenItem(ListView->Selected()); };
  ListView->OnKeyPress = [this](TComponent*, wchar_t& key) {
    if (key == L'\r') OpenItem(ListView->Selected());
  };
  ListView->OnKeyDown = [this](TComponent*, WORD& key, TShiftState) {
    if (key == VK_DELETE) DeleteItClick();
    if (key == VK_SPACE) ToggleTag(ListView->Selected());
  };
  OnKeyDown = [this](TComponent*, WORD& key, TShiftState shift) {
    if (key == 'A' && (shift & ssCtrl) && !(shift & (ssAlt | ssShift))) {
      SelectAll();
      key = 0;
    }
  };
  OnMessage(WM_NOTIFY, [this](WPARAM w, LPARAM l) -> LRESULT {
    const auto* hdr = reinterpret_cast<const NMHDR*>(l);
    if (hdr->hwndFrom == ListView->Handle() && hdr->code == LVN_ITEMCHANGED) FocusChanged();
    if (hdr->hwndFrom == ListView->Handle() && hdr->code == NM_RCLICK) {
      POINT p;
      GetCursorPos(&p);
      p = ListView->ScreenToClient(p);
      PopupAt(p.x, p.y);
    }
    // The controls' own notifications go on to them as usual.
    if (TWindow::FromHandle(hdr->hwndFrom) != nullptr)
      return ::SendMessageW(hdr->hwndFrom, CN_NOTIFY, w, l);
    return 0;
  });
  OnMessage(WM_DEFERRED_START, [this](WPARAM, LPARAM) -> LRESULT {
    BuildGallery();
    return 0;
  });
  OnMessage(WM_THUMBS_START, [this](WPARAM, LPARAM) -> LRESULT {
    ShowPage(Page);
    return 0;
  });
  OnMessage(WM_THUMBS_NEXT, [this](WPARAM, LPARAM) -> LRESULT {
    AddNextItem();
    return 0;
  });
  OnClose = [this](TComponent*, TCloseAction& action) {
    if (host_.Bounds) {
      const RECT r = BoundsRect();
      host_.Bounds[0] = r.left;
      host_.Bounds[1] = r.top;
      host_.Bounds[2] = r.right - r.left;
      host_.Bounds[3] = r.bottom - r.top;
    }
    action = caFree;
  };

  const int box = View.Database.BoxSize();
  large_ = std::make_unique<TImageList>(box, box);
  small_ = std::make_unique<TImageList>(kSmallSide, kSmallSide);
  state_ = std::make_unique<TImageList>(16, 16);
  AddPicture(*state_, *TagMark(false), nullptr);
  AddPicture(*state_, *TagMark(true), nullptr);
  ListView->SetImages(large_.get(), small_.get(), state_.get());
  ListView->SetViewStyle(vsIcon);
  View.Settings = View.Database.GallerySettings();
  if (host_.Bounds && host_.Bounds[2] > 100 && host_.Bounds[3] > 100)
    SetBounds(host_.Bounds[0], host_.Bounds[1], host_.Bounds[2], host_.Bounds[3]);
  else
    SetBounds(20, 20, 640, 420);
  FinishCreate();
  Arrange();
}

TThumbWindowForm::~TThumbWindowForm() {
  // The list view goes with the form's children; it must not draw from freed image lists.
  if (ListView && ListView->HandleAllocated()) ListView->SetImages(nullptr, nullptr, nullptr);
}

void TThumbWindowForm::Resize() {
  TForm::Resize();
  Arrange();
}

void TThumbWindowForm::Arrange() {
  if (!StatusBar1 || !CoolBar1) return;
  StatusBar1->ParentResized();
  const int width = ClientWidth();
  const int bottom = ClientHeight() - StatusBar1->Height();
  pnlTop->SetBounds(0, 0, width, kTopHeight);
  // Right of the last button, at the bar's right end when the window is wide enough.
  Orvex_Logo->SetBounds(std::max(588, width - kLogoSide - 6), 2, kLogoSide, kLogoSide);
  CoolBar1->SetBounds(0, bottom - kBarHeight, width, kBarHeight);
  ListView->SetBounds(0, kTopHeight, width, std::max(0, bottom - kBarHeight - kTopHeight));
  const int keywords = std::max(120, width - 4 - 30 - 6 - 6 - 180 - 6 - 64 - 4);
  edKeywords->SetBounds(40, 4, keywords, 22);
  edFullName->SetBounds(46 + keywords, 4, 180, 22);
  btnCheck->SetBounds(232 + keywords, 3, 64, 24);
}

void TThumbWindowForm::BuildGallery() {
  Building = true;
  ItemCount = 0;
  Page = 0;
  Focus = -1;
  Tagged = 0;
  tags_.clear();
  ListView->Clear();
  large_->Clear();
  small_->Clear();
  StatusBar1->SetPanelText(3, "Sorting...");
  View.Forget();
  View.Select();
  View.Sort();
  StatusBar1->SetPanelText(1, GalleryTotalText(View.SelectionCount()));
  StatusBar1->SetPanelText(3, "");
  PageCount = GalleryPageCount(View.SelectionCount(), host_.PerPage);
  Post(WM_THUMBS_START);
}

void TThumbWindowForm::ShowPage(int page) {
  Page = std::clamp(page, 0, std::max(PageCount - 1, 0));
  Building = true;
  ListView->Clear();
  large_->Clear();
  small_->Clear();
  ItemCount = 0;
  Focus = -1;
  Tagged = 0;
  tags_.assign(static_cast<size_t>(GalleryPageItems(View.SelectionCount(), Page, host_.PerPage)),
               false);
  edKeywords->SetText("");
  edGroup->SetText("");
  edFullName->SetText("");
  StatusBar1->SetPanelText(0, GalleryPageText(Page + 1, PageCount));
  ShowTagged();
  btnHome->SetEnabled(Page > 0);
  btnBack->SetEnabled(Page > 0);
  btnNext->SetEnabled(Page + 1 < PageCount);
  btnEnd->SetEnabled(Page + 1 < PageCount);
  Post(WM_THUMBS_NEXT);
}

uint32_t TThumbWindowForm::RecordOfItem(int i) const {
  return View.SelectedRecord(GalleryPageFirst(Page, host_.PerPage) + static_cast<uint32_t>(i));
}

void TThumbWindowForm::AddNextItem() {
  if (ItemCount >= static_cast<int>(tags_.size())) {
    Building = false;
    if (ItemCount > 0) ListView->SetSelected(0);
    return;
  }
  const int i = ItemCount++;
  const uint32_t n = RecordOfItem(i);
  TThumbnailRecord r{};
  tMemBmpPtr picture;
  bool read = false;
  try {
    read = ReadThumbnail(View.Database, n, &r, &picture, nullptr);
  } catch (const std::exception&) {
    // A thumbnail that cannot be read shows a blank box.
    picture.reset();
    try {
      View.Database.ReadRecord(n, r);
      read = true;
    } catch (const std::exception&) {
    }
  }
  const int box = View.Database.BoxSize();
  tBoxImage image = read && picture ? CenteredBoxImage(*picture, box) : BlankBoxImage(box);
  const int index = AddPicture(*large_, *image.Image, image.Mask.get());
  tBoxImage fitted = read && picture ? FittedBoxImage(*picture, kSmallSide) : BlankBoxImage(kSmallSide);
  AddPicture(*small_, *fitted.Image, fitted.Mask.get());
  const std::string label = r.Volume > 0 ? View.Database.VolumeLabelOf(static_cast<int>(r.Volume)) : "";
  const tGalleryItemText text = GalleryItemTexts(r, label);
  const int row = ListView->AddItem(text.Caption, text.SubItems, index);
  ListView->SetItemStateIndex(row, 1);
  Post(WM_THUMBS_NEXT);
}

bool TThumbWindowForm::IsTagged(int i) const {
  return i >= 0 && i < static_cast<int>(tags_.size()) && tags_[static_cast<size_t>(i)];
}

void TThumbWindowForm::ToggleTag(int i) {
  if (i < 0 || i >= ItemCount) return;
  tags_[static_cast<size_t>(i)] = !tags_[static_cast<size_t>(i)];
  Tagged += tags_[static_cast<size_t>(i)] ? 1 : -1;
  ListView->SetItemStateIndex(i, tags_[static_cast<size_t>(i)] ? 2 : 1);
  ShowTagged();
}

void TThumbWindowForm::ShowTagged() {
  StatusBar1->SetPanelText(2, GalleryTaggedText(Tagged));
  StatusBar1->SetPanelText(3, IsTagged(Focus) ? Format("<%d tagged>", {Tagged}) : "");
}

void TThumbWindowForm::FocusChanged() {
  const int selected = ListView->Selected();
  if (selected == Focus) return;
  Focus = selected;
  if (Focus < 0 || Focus >= ItemCount) {
    edFullName->SetText("");
    return;
  }
  View.LoadRecord(RecordOfItem(Focus));
  edFullName->SetText(RecordPathText(View.Record));
  edKeywords->SetText(RecordKeywords(View.Record));
  edGroup->SetText(std::string(1, View.Record.Group == 0 ? ' ' : View.Record.Group));
  ShowTagged();
}

void TThumbWindowForm::ApplyToTargets(const std::function<void(TThumbnailRecord&)>& edit) {
  for (int i : GalleryEditTargets(tags_, Focus)) {
    if (i >= ItemCount) continue;
    const uint32_t n = RecordOfItem(i);
    View.Forget();
    View.LoadRecord(n);
    const char before = View.Record.Status;
    edit(View.Record);
    if (before != View.Record.Status) {
      // The purged count follows the deleted mark.
      View.Database.Header.Purged += View.Record.Status == 'D' ? 1 : -1;
      View.Database.WriteHeader();
    }
    View.SaveRecord(n);
    RedrawItem(i);
  }
}

void TThumbWindowForm::RedrawItem(int i) {
  View.Forget();
  View.LoadRecord(RecordOfItem(i));
  const TThumbnailRecord& r = View.Record;
  const std::string label = r.Volume > 0 ? View.Database.VolumeLabelOf(static_cast<int>(r.Volume)) : "";
  const tGalleryItemText text = GalleryItemTexts(r, label);
  for (size_t c = 0; c < text.SubItems.size(); ++c)
    ListView->SetItemText(i, static_cast<int>(c + 1), text.SubItems[c]);
  if (r.Status == 'D') {
    const tBoxImage blank = BlankBoxImage(View.Database.BoxSize());
    ListView->SetItemImage(i, AddPicture(*large_, *blank.Image, blank.Mask.get()));
  }
}

void TThumbWindowForm::StoreKeywords(const std::string& text) {
  if (Focus < 0 || Building) return;
  ApplyToTargets([&](TThumbnailRecord& r) { SetGalleryKeywords(r, text); });
}

void TThumbWindowForm::StoreGroup(const std::string& text) {
  if (Focus < 0 || Building) return;
  ApplyToTargets([&](TThumbnailRecord& r) { SetGalleryGroup(r, text); });
}

void TThumbWindowForm::DeleteItClick() {
  if (Focus < 0 || Building) return;
  ApplyToTargets([](TThumbnailRecord& r) { ToggleGalleryDeleted(r); });
}

void TThumbWindowForm::OpenItem(int i) {
  if (i < 0 || i >= ItemCount || !host_.OpenPicture) return;
  View.Forget();
  View.LoadRecord(RecordOfItem(i));
  const TThumbnailRecord r = View.Record;
  const std::string path = RecordPathText(r);
  if (r.Volume > 0) {
    const std::string label = View.Database.VolumeLabelOf(static_cast<int>(r.Volume));
    const std::string drive = path.substr(0, 1);
    if (host_.Ask && !host_.Ask(Format("Mount \"%s\" in %s:", {label, drive}), true, 49)) return;
    const std::string found = host_.DriveLabel ? host_.DriveLabel(drive + ":\\") : "";
    if (!SameVolumeLabel(found, label)) {
      if (host_.Ask) host_.Ask(Format("Can't open \"%s\" in %s: Is this \"%s\"?", {label, drive, found}),
                               false, 50);
      return;
    }
  }
  host_.OpenPicture(path);
}

void TThumbWindowForm::SelectAndSort() {
  if (!ExecuteGallerySort(View.Settings)) return;
  View.Database.SaveGallerySettings(View.Settings);
  BuildGallery();
}

void TThumbWindowForm::JumpClick() {
  if (!host_.Jump || PageCount < 1) return;
  std::vector<std::string> lookup;
  std::vector<char> chars;
  for (int c = tDatabaseView::kFirstIndexChar; c <= tDatabaseView::kLastIndexChar; ++c)
    if (View.FirstPosition(static_cast<char>(c)) > 0) {
      chars.push_back(static_cast<char>(c));
      lookup.push_back(View.IndexText(static_cast<char>(c)));
    }
  int page = Page, entry = 0;
  const int result = host_.Jump(page, PageCount, lookup, entry);
  if (result == 6 && entry >= 0 && entry < static_cast<int>(chars.size()))
    page = GalleryPageOfPosition(View.FirstPosition(chars[static_cast<size_t>(entry)]), host_.PerPage);
  else if (result != 1)
    return;
  ShowPage(page);
}

void TThumbWindowForm::SelectAll() {
  const HWND focused = GetFocus();
  for (TEdit* edit : {edGroup, edKeywords, edFullName})
    if (focused == edit->Handle()) {
      edit->SelectAll();
      return;
    }
  if (Building) return;
  for (int i = 0; i < ItemCount; ++i)
    if (!IsTagged(i)) ToggleTag(i);
}

void TThumbWindowForm::Properties() {
  if (Focus < 0 || Focus >= ItemCount) return;
  // The dialog only shows the record: there is nothing to write back.
  ShowImageProperties(View.Database, RecordOfItem(Focus));
}

void TThumbWindowForm::PrintRecords(int which) {
  std::vector<uint32_t> records;
  if (which == 0) {
    for (uint32_t i = 0; i < View.SelectionCount(); ++i) records.push_back(View.SelectedRecord(i));
  } else {
    for (int i = 0; i < ItemCount; ++i)
      if (which == 1 || IsTagged(i)) records.push_back(RecordOfItem(i));
  }
  if (records.empty()) return;
  int size = host_.PrintSize ? *host_.PrintSize : 1;
  bool center = host_.CenterPrint ? *host_.CenterPrint : false;
  int orientation = host_.Orientation ? *host_.Orientation : poPortrait;
  if (!ExecuteThumbPrintDialog(size, center, orientation)) return;
  if (host_.PrintSize) *host_.PrintSize = size;
  if (host_.CenterPrint) *host_.CenterPrint = center;
  if (host_.Orientation) *host_.Orientation = orientation;
  Printer().SetOrientation(orientation == poLandscape ? poLandscape : poPortrait);
  const std::string title = Application.Title.empty() ? "Tavishore 32" : Application.Title;
  const std::string header = Format("%s Gallery    %%s", {title});
  if (host_.Print)
    host_.Print(View, records, header, Format("%s Gallery", {title}));
  else
    PrintThumbnails(View, records, header, Format("%s Gallery", {title}), this, center, size);
}

void TThumbWindowForm::Find() {
  if (Focus < 0 || !host_.ShowFileInViewerForm) return;
  View.Forget();
  View.LoadRecord(RecordOfItem(Focus));
  host_.ShowFileInViewerForm(RecordPathText(View.Record));
}

void TThumbWindowForm::PopupAt(int x, int y) {
  const POINT p = ListView->ClientToScreen(POINT{x, y});
  PopupMenu1->Popup(Handle(), p.x, p.y);
}

TThumbWindowForm* ShowThumbnailWindow(TComponent* owner, tThumbnails& database, tGalleryHost host) {
  auto* form = new TThumbWindowForm(owner, database, std::move(host));
  form->Show();
  form->Post(WM_DEFERRED_START);
  return form;
}
