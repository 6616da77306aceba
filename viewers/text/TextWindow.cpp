#include "viewers/text/TextWindow.h"

#include <algorithm>

#include "foundation/SoundMessageDialog.h"
#include "foundation/cProgress.h"
#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "foundation/uLocaleText.h"
#include "foundation/uPlatform.h"
#include "foundation/uShell.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Printer.h"
#include "framework/RichEdit.h"
#include "framework/StatusBar.h"
#include "framework/Text.h"
#include "framework/Timer.h"
#include "viewers/ViewerFontDialog.h"
#include "viewers/ViewerHost.h"
#include "viewers/print/PrintRichText.h"
#include "viewers/print/PrintingForm.h"
#include "viewers/text/uTextRules.h"
#include "online/uGuide.h"
#include "viewers/text/uUUCode.h"

namespace {

constexpr int kPanelHeight = 45;
constexpr int64_t kDecodeLimit = 1000000;
constexpr int kMenuRich = 1;

std::u16string U16(const std::string& s) {
  const std::wstring w = Utf8ToWide(s);
  return std::u16string(w.begin(), w.end());
}

// The rich edit as find and replace see it.
class tMemoTarget : public tTextTarget {
 public:
  explicit tMemoTarget(TRichEdit& memo) : memo_(memo) {}
  int64_t SelStart() override { return memo_.SelStart(); }
  int64_t SelLength() override { return memo_.SelLength(); }
  void SetSelection(int64_t s, int64_t l) override { memo_.SetSelection(s, l); }
  std::u16string SelText() override { return memo_.SelText(); }
  void ReplaceSelection(const std::u16string& t) override { memo_.SetSelText(t); }
  int64_t TextLength() override { return memo_.TextLength(); }
  int64_t SearchText(const std::u16string& what, int64_t start, int64_t length, bool wholeWord,
                   bool matchCase) override {
    return memo_.SearchText(what, start, length, wholeWord, matchCase);
  }

 private:
  TRichEdit& memo_;
};

void Sound(int n) {
  if (ViewerHost().PlayOperationSound) ViewerHost().PlayOperationSound(n);
}

// A viewable PDF: the extension, and a program that the shell opens it with.
bool IsViewablePdf(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  for (char& c : ext) c = LowerChar(c);
  return ext == ".pdf" && !FindAssociatedProgram(name).empty();
}

}  // namespace

TTextWindow::TTextWindow(TComponent* owner, std::unique_ptr<tBuffStream> stream)
    : TForm(owner), Stream(std::move(stream)) {
  FileName = Stream->Name;
  ButtonPanel = new TPanel(this, this, 0, 0, 600, kPanelHeight);
  struct {
    TButton** button;
    const char *caption, *hint;
  } buttons[] = {{&QuitButton, "&Close", "Close this window"},
                 {&AboutButton, "&About", "About this program"},
                 {&DecodeButton, "&Decode", "Decode"},
                 {&FontBtn, "&Font", "Font"},
                 {&PrintBtn, "&Print", "Print"},
                 {&btnHTML, "&View", "View with browser"},
                 {&btnEdit, "&Edit", "Edit the text file"},
                 {&btnSave, "&Save", "Save changes"},
                 {&btnFind, "&Find", "Find text"},
                 {&btnReplace, "&Replace", "Replace text"}};
  int x = 6;
  for (auto& b : buttons) {
    *b.button = new TButton(this, ButtonPanel, b.caption, x, 10, 58, 25);
    (*b.button)->Hint = b.hint;
    x += 62;
  }
  lblStatus = new TLabel(this, ButtonPanel, x + 4, 16, 80, 16);
  Memo = new TRichEdit(this, this, 0, kPanelHeight, 600, 400);
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetPanels({150, 150, 5000}, {true, true, false});
  Progress1 = new TProgress(this, StatusBar1, 2, 2, 146, 16);
  Progress1->SetVisible(false);
  Timer1 = new TTimer(this);
  Timer1->SetEnabled(false);
  Timer1->SetInterval(250);
  Timer1->OnTimer = [this](TComponent*) { LoadText(); };

  QuitButton->OnClick = [this](TComponent*) { Close(); };
  AboutButton->OnClick = [](TComponent*) {
    if (ViewerHost().ShowAbout) ViewerHost().ShowAbout();
  };
  DecodeButton->OnClick = [this](TComponent*) { Decode(); };
  FontBtn->OnClick = [this](TComponent*) { FontBtnClick(); };
  PrintBtn->OnClick = [this](TComponent*) { PrintBtnClick(); };
  btnHTML->OnClick = [this](TComponent*) {
    std::string error;
    if (IsViewablePdf(FileName))
      ShellOpen(FileName, error);
    else if (ViewerHost().OpenShellDocument)
      ViewerHost().OpenShellDocument(FileName);
  };
  btnEdit->OnClick = [this](TComponent*) { SetEditing(!editing_); };
  btnSave->OnClick = [this](TComponent*) { Save(); };
  btnFind->OnClick = [this](TComponent*) { OpenFindDialog(false); };
  btnReplace->OnClick = [this](TComponent*) { OpenFindDialog(true); };
  findMessage_ = RegisterWindowMessageW(FINDMSGSTRINGW);
  OnShow = [this](TComponent*) {
    if (auto* owner = dynamic_cast<TForm*>(Owner())) owner->Send(WM_VIEWER_SHOWN);
  };
  OnCloseQuery = [this](TComponent*, bool& canClose) { canClose = CanDropChanges(); };
  OnClose = [this](TComponent*, TCloseAction& action) {
    Stream.reset();
    if (ViewerHost().DecViewerCount) ViewerHost().DecViewerCount(this);
    action = caFree;
  };
  FormCreate();
  FinishCreate();
}

TTextWindow::~TTextWindow() {
  if (findDialog_) DestroyWindow(findDialog_);
}

void TTextWindow::FormCreate() {
  HelpContext = 5;
  int fullWidth = 0, fullHeight = 0;
  FullScreenSize(fullWidth, fullHeight);
  const int width = 700;
  SetBounds((fullWidth - width) / 2, 10, width, fullHeight - 20);
  Position = ViewerHost().WindowPlacement < 1 ? poDefaultPosOnly : poDesigned;
  btnEdit->SetEnabled(ViewerHost().ParentalLevel == 0);
  DecodeButton->SetEnabled(false);
  btnSave->SetEnabled(false);
  btnReplace->SetEnabled(false);
  Memo->SetPlainText(true);
  Memo->SetReadOnly(true);
  Arrange();
}

void TTextWindow::Resize() {
  TForm::Resize();
  Arrange();
}

void TTextWindow::Arrange() {
  if (!StatusBar1 || !Memo) return;
  StatusBar1->ParentResized();
  ButtonPanel->SetBounds(0, 0, ClientWidth(), kPanelHeight);
  Memo->SetBounds(0, kPanelHeight, ClientWidth(), ClientHeight() - kPanelHeight - StatusBar1->Height());
}

void TTextWindow::ShowStatus(const std::string& text, bool withLines) {
  StatusBar1->SetPanelText(0, CharCountText(charCount_));
  StatusBar1->SetPanelText(1, withLines ? LineCountText(Memo->LineCount()) : "");
  StatusBar1->SetPanelText(2, text);
}

void TTextWindow::EditStatus() { ShowStatus(Memo->ReadOnly() ? "" : "Text editor", true); }

int TTextWindow::Ask(const std::string& text, int type, unsigned buttons, int help) {
  if (PresetAnswer != 0) return PresetAnswer;
  return SoundMessageDlg(text, static_cast<TMsgDlgType>(type), buttons, ViewerHost().MessageSounds, help);
}

void TTextWindow::LoadText() {
  Timer1->SetEnabled(false);
  charCount_ = Stream ? Stream->Size : 0;
  Stream.reset();
  ShowStatus("reading", false);
  std::string bytes;
  {
    THourGlass hourglass;
    Application.ProcessMessages();
    bytes = LoadStringFromFile(FileName);
    Memo->SetMaxLength(1073741823 - 2);
    Memo->SetMaxLength(1073741823);
    Memo->LoadFromBytes(bytes);
    Memo->SetModified(false);
    AfterLoadChecks(bytes);
  }
  ShowStatus("", true);
}

void TTextWindow::AfterLoadChecks(const std::string& bytes) {
  EditStatus();
  if (charCount_ < kDecodeLimit && HasEncodedData(SplitTextLines(bytes), ExtractFileExt(FileName)))
    DecodeButton->SetEnabled(true);
  if (ViewerHost().StripTextfileBackspace && bytes.find('\b') != std::string::npos) {
    Screen.SetCursor(crDefault);
    Application.ProcessMessages();
    if (Ask("Remove \"backspace\" characters?", mtConfirmation, MsgDlgButtons({mbOK, mbCancel})) == mrOk)
      StripBackspaceChars();
  }
}

void TTextWindow::SetProgress(int64_t position) {
  if (position == -1) {
    Progress1->SetVisible(false);
    return;
  }
  Progress1->SetPercent(position == -2 ? 0 : TProgress::PercentOf(position, charCount_));
  Progress1->SetVisible(true);
}

void TTextWindow::StripBackspaceChars() {
  THourGlass hourglass;
  std::u16string text = Memo->Text();
  Memo->Clear();
  ShowStatus("Processing...", false);
  StatusBar1->SetPanelText(0, "");
  SetProgress(-2);
  const int count = StripBackspaces(text, [this](int64_t p, int64_t) {
    SetProgress(p);
  });
  StatusBar1->SetPanelText(2, "(done)");
  SetProgress(-1);
  charCount_ = static_cast<int64_t>(text.size());
  Memo->SetText(text);
  Memo->SetModified(false);
  EditStatus();
  Ask(Format("Removed %d \"backspace\" characters\r(use \"edit\" to save changes)", {count}),
      mtInformation, MsgDlgButtons({mbOK}));
}

void TTextWindow::SetEditing(bool editing) {
  editing_ = editing;
  btnEdit->Send(BM_SETSTATE, editing ? TRUE : FALSE);
  Memo->SetReadOnly(!editing);
  btnSave->SetEnabled(editing);
  btnReplace->SetEnabled(editing);
  EditStatus();
  if (editing)
    Memo->SetFocus();
  else
    QuitButton->SetFocus();
}

bool TTextWindow::Save() {
  std::string bytes;
  if (!Memo->SaveToBytes(bytes)) return false;
  // A new file beside the old one, which takes its place only once it is complete.
  const std::string temp = UniqueFileName(FileName + ".new");
  if (!SaveStringToFile(bytes, temp) || !Platform().ReplaceFile(temp, FileName)) {
    Platform().RemoveFile(temp);
    SoundMessageDlg(Format("Unable to save %s", {FileName}), mtError, MsgDlgButtons({mbOK}),
                    ViewerHost().MessageSounds, 0);
    return false;
  }
  Memo->SetModified(false);
  if (auto* owner = dynamic_cast<TForm*>(Owner())) owner->Post(WM_FOLDER_CHANGED);
  return true;
}

bool TTextWindow::CanDropChanges() {
  if (!Memo->Modified()) return true;
  const int answer = Ask("The text has changed. Do you want to save the changes?", mtConfirmation,
                         MsgDlgButtons({mbYes, mbNo, mbCancel}));
  if (answer == mrYes) return Save();
  return answer == mrNo;
}

void TTextWindow::SwitchPlainRich() {
  if (!CanDropChanges()) return;
  plainMode_ = !plainMode_;
  Memo->Clear();
  Memo->SetPlainText(plainMode_);
  TFont font = Memo->Font();
  Memo->SetDefaultFormat(font);
  Memo->SetSelText(u"");
  Memo->LoadFromBytes(LoadStringFromFile(FileName));
  Memo->SetModified(false);
  FontBtn->SetEnabled(plainMode_);
}

bool TTextWindow::FindNext(const std::string& what, bool wholeWord, bool matchCase) {
  tMemoTarget target(*Memo);
  const bool found = FindInTarget(target, U16(what), wholeWord, matchCase);
  if (!found) Sound(3);
  return found;
}

int TTextWindow::Replace(const std::string& what, const std::string& with, bool wholeWord,
                         bool matchCase, bool all) {
  tMemoTarget target(*Memo);
  const int count = ReplaceInTarget(target, U16(what), U16(with), wholeWord, matchCase, all);
  Memo->SetFocus();
  Sound(ReplaceSound(count, all));
  return count;
}

void TTextWindow::OpenFindDialog(bool replace) {
  if (findDialog_) DestroyWindow(findDialog_);
  fr_ = FINDREPLACEW{};
  fr_.lStructSize = sizeof fr_;
  fr_.hwndOwner = Handle();
  fr_.Flags = FR_DOWN | FR_HIDEUPDOWN;
  fr_.lpstrFindWhat = findText_;
  fr_.wFindWhatLen = 256;
  fr_.lpstrReplaceWith = replaceText_;
  fr_.wReplaceWithLen = 256;
  findDialog_ = replace ? ReplaceTextW(&fr_) : FindTextW(&fr_);
}

void TTextWindow::FindMessage(FINDREPLACEW* fr) {
  const bool whole = (fr->Flags & FR_WHOLEWORD) != 0;
  const bool match = (fr->Flags & FR_MATCHCASE) != 0;
  const std::string what = WideToUtf8(fr->lpstrFindWhat);
  if (fr->Flags & FR_DIALOGTERM) {
    findDialog_ = nullptr;
  } else if (fr->Flags & FR_FINDNEXT) {
    FindNext(what, whole, match);
  } else if (fr->Flags & (FR_REPLACE | FR_REPLACEALL)) {
    Replace(what, WideToUtf8(fr->lpstrReplaceWith), whole, match, (fr->Flags & FR_REPLACEALL) != 0);
  }
}

void TTextWindow::FontBtnClick() {
  if (ChooseViewerFont(Handle(), Memo->Font())) Memo->SetDefaultFormat(Memo->Font());
}

void TTextWindow::PrintBtnClick() {
  Printer().SetOrientation(poPortrait);
  TPrintDialog dialog;
  if (!dialog.Execute(Handle())) return;
  PrintText();
}

void TTextWindow::PrintText() {
  ShowPrintingForm(this, FileName);
  const tFormatSettings fs = Platform().FormatSettings();
  const tDateTimeFields now = DecodeDateTime(Platform().Now());
  const std::string headerText = PrintHeaderFormat(FormatDatePicture(fs.ShortDateFormat, now, fs),
                                                   FormatTimePicture(fs.LongTimeFormat, now, fs), FileName);
  TPrinter& printer = Printer();
  // Margins: 2 lines at the top (the header's), none at the bottom, 6 characters left, 3 right.
  PrintRichTextDocument(Memo->Handle(), Memo->Font(), FileName, tRichPrintMargins{}, [&] {
    TCanvas& canvas = printer.Canvas();
    canvas.Font = Memo->Font();
    const int chr = canvas.TextWidth("W");
    canvas.Font.SetStyle(canvas.Font.Style() | fsUnderline);
    canvas.Font.SetColor(clBlack);
    canvas.Brush.SetStyle(bsClear);
    canvas.TextOut(6 * chr, 0, PrintHeaderText(headerText, printer.PageNumber()));
  });
  ClosePrintingForm();
}

void TTextWindow::Decode() {
  std::string outputName, renamed;
  int line = 0, result = 0;
  {
    THourGlass hourglass;
    Application.ProcessMessages();
    try {
      result = DecodeToFiles(FileName, outputName, renamed, line);
    } catch (const ECantOpenOut& e) {
      DecodeButton->SetEnabled(false);
      SoundMessageDlg(e.what(), mtError, MsgDlgButtons({mbOK}), ViewerHost().MessageSounds, 0);
      return;
    }
  }
  if (result != 0) {
    if (PresetAnswer == 0)
      SoundMessageDlg(DecodeFailureText(FileName, result, static_cast<uint16_t>(line)), mtWarning,
                      MsgDlgButtons({mbOK, mbHelp}), ViewerHost().MessageSounds, 48);
  } else {
    const std::string path = ExtractFilePath(FileName) + outputName;
    const bool shown = ViewerHost().TryKnownViewers && ViewerHost().TryKnownViewers(dynamic_cast<TForm*>(Owner()), path);
    if (!shown && PresetAnswer == 0)
      SoundMessageDlg(DecodeSuccessText(FileName, outputName, renamed), mtInformation,
                      MsgDlgButtons({mbOK, mbHelp}), ViewerHost().MessageSounds, 47);
  }
  DecodeButton->SetEnabled(false);
  if (auto* owner = dynamic_cast<TForm*>(Owner())) owner->Post(WM_FOLDER_CHANGED);
  if (!renamed.empty()) Close();
}

LRESULT TTextWindow::WndProc(UINT message, WPARAM w, LPARAM l) {
  if (message == findMessage_ && findMessage_ != 0) {
    FindMessage(reinterpret_cast<FINDREPLACEW*>(l));
    return 0;
  }
  if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(w) == Memo->Handle()) {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (plainMode_ ? MF_CHECKED : 0), kMenuRich, L"Plain text");
    POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
    if (chosen == kMenuRich) SwitchPlainRich();
    return 0;
  }
  return TForm::WndProc(message, w, l);
}

bool OpenTextWindow(TForm* owner, std::unique_ptr<tBuffStream>& stream) {
  if (!stream) return false;
  stream->Rewind();
  const size_t n = static_cast<size_t>(std::min<int32_t>(stream->BytesValid, tBuffStream::kBlockSize));
  if (!IsTextData(stream->Buffer, n)) return false;
  const std::string name = stream->Name;
  auto* window = new TTextWindow(owner, std::move(stream));
  window->SetCaption("\"Text\" file " + ExtractFileName(name));
  window->btnHTML->SetEnabled(IsViewablePdf(name) || !HtmlNameOf(name).empty());
  window->btnSave->SetEnabled(false);
  window->btnReplace->SetEnabled(false);
  window->Timer1->SetEnabled(true);
  window->Show();
  return true;
}
