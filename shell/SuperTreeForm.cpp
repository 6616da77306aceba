#include "shell/SuperTreeForm.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "foundation/cFileCtlDriveCombo.h"
#include "foundation/cProgress.h"
#include "foundation/uFiles.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Canvas.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Printer.h"
#include "framework/ScrollBox.h"
#include "framework/StatusBar.h"
#include "framework/TabControl.h"
#include "shell/ViewerForm.h"
#include "thumbnails/cShowControls.h"
#include "viewers/ViewerHost.h"
#include "viewers/print/PrintingForm.h"

namespace {

constexpr int kTop = 8, kRowH = 18;
constexpr int kDesignWidth = 576;
// The smallest window that still shows the rows and a few lines of the tree or chart list.
constexpr int kMinWidth = 542, kMinHeight = 240;
// Ctrl+F12: the compact size, with a chart list of eight lines.
constexpr int kCompactHeight = 440, kCompactListHeight = 116;
constexpr int kListLine = 14;

// Slice colours, in rank order; "other" is grey.
const COLORREF kSliceColors[] = {RGB(255, 0, 0),   RGB(0, 128, 0),   RGB(255, 255, 0),
                                 RGB(0, 0, 255),   RGB(255, 255, 255), RGB(128, 128, 128),
                                 RGB(255, 0, 255), RGB(0, 255, 255), RGB(128, 0, 0),
                                 RGB(0, 0, 128),   RGB(128, 128, 0), RGB(0, 128, 128),
                                 RGB(255, 128, 0), RGB(128, 0, 128), RGB(0, 255, 0),
                                 RGB(192, 192, 255), RGB(255, 192, 192), RGB(192, 255, 192),
                                 RGB(64, 64, 64),  RGB(255, 128, 128)};

COLORREF SliceColor(size_t i, size_t count) {
  return i + 1 == count ? RGB(192, 192, 192) : kSliceColors[i % 20];
}

}  // namespace

void DrawFolderChart(TCanvas& canvas, const RECT& area, const tFolderChart& chart) {
  HDC dc = canvas.Handle();
  canvas.Brush.SetColor(clWhite);
  canvas.FillRect(area);
  SetBkMode(dc, TRANSPARENT);
  const int line = std::max(1, canvas.TextHeight("X"));
  int y = area.top + line / 2;
  for (const std::string& t : chart.Title) {
    canvas.TextOut((area.left + area.right - canvas.TextWidth(t)) / 2, y, t);
    y += line;
  }
  const int footY = area.bottom - line - line / 2;
  if (!chart.Foot.empty())
    canvas.TextOut((area.left + area.right - canvas.TextWidth(chart.Foot)) / 2, footY, chart.Foot);
  // Legend on the right: a colour box, the label and the slice's percentage.
  double total = 0;
  for (const tChartSlice& s : chart.Slices) total += s.Value;
  int legendW = 0;
  std::vector<std::string> legend;
  for (const tChartSlice& s : chart.Slices) {
    legend.push_back(s.Label + " " + PercentText(s.Value, total));
    legendW = std::max(legendW, canvas.TextWidth(legend.back()) + line + line / 2);
  }
  const int legendX = area.right - legendW - line / 2;
  int ly = std::max<int>(y, (area.top + area.bottom - line * static_cast<int>(legend.size())) / 2);
  for (size_t i = 0; i < legend.size(); ++i, ly += line) {
    HBRUSH b = CreateSolidBrush(SliceColor(i, legend.size()));
    RECT box{legendX, ly + 2, legendX + line - 4, ly + line - 2};
    FillRect(dc, &box, b);
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DeleteObject(b);
    canvas.TextOut(legendX + line, ly, legend[i]);
  }
  // The pie in the largest square left, with room for its labels.
  const int room = line * 2;
  const int w = legendX - area.left - 2 * room, h = footY - y - 2 * room;
  // The slice numbers sit an eighth of the radius outside the pie: it leaves them that room, so
  // they never run into the legend (on a printer page the radius is large).
  const int side = std::max(0, static_cast<int>(std::min(w, h) / 1.15));
  if (side <= 0) return;
  const int left = area.left + room + (w - side) / 2, top = y + room + (h - side) / 2;
  const TRect square{left, top, left + side, top + side};
  const std::vector<tPieWedge> wedges = PieWedges(chart.Slices, square);
  const double cx = left + side / 2.0, cy = top + side / 2.0, r = side / 2.0;
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  for (size_t i = 0; i < wedges.size(); ++i) {
    if (wedges[i].Sweep == 0) continue;
    HBRUSH b = CreateSolidBrush(SliceColor(i, wedges.size()));
    HGDIOBJ oldBrush = SelectObject(dc, b);
    auto at = [&](double degrees) {
      const double a = degrees * 3.14159265358979 / 180;
      return POINT{static_cast<LONG>(cx + std::cos(a) * r), static_cast<LONG>(cy - std::sin(a) * r)};
    };
    if (wedges[i].Sweep <= -359.999) {
      Ellipse(dc, left, top, left + side, top + side);
    } else {
      // Pie runs counter-clockwise from its first radial: start at the wedge's end.
      const POINT from = at(wedges[i].Start + wedges[i].Sweep), to = at(wedges[i].Start);
      Pie(dc, left, top, left + side, top + side, from.x, from.y, to.x, to.y);
    }
    SelectObject(dc, oldBrush);
    DeleteObject(b);
    const std::string& label = chart.Slices[i].Label;
    canvas.TextOut(wedges[i].LabelAt.X - canvas.TextWidth(label) / 2,
                   wedges[i].LabelAt.Y - line / 2, label);
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

TSuperTree32::TSuperTree32(TComponent* owner) : TForm(owner), stopwatch_(new tStopwatch) {
  SetCaption("Tavishore 32 SuperTree");
  SetClientSize(560, 440);
  Pages = new TNotebook(this, this, 0, 0, 560, 420);
  TPanel* main = Pages->AddPage();
  TPanel* chart = Pages->AddPage();

  DriveCombo = new TOrvex_DriveCombo(this, main, 8, kTop, 120, 300);
  int x = 136;
  auto button = [&](TWindow* parent, const char* caption) {
    auto* b = new TButton(this, parent, caption, x, kTop - 1, 64, 24);
    x += 68;
    return b;
  };
  btnGo = button(main, "Go");
  btnExpand = button(main, "Expand");
  btnCollapse = button(main, "Collapse");
  btnPrint = button(main, "Print");
  btnChart = button(main, "Chart");

  const char* columns[] = {"Folders", "Files", "File Bytes", "Disk Used", "Disk Size"};
  const char* rows[] = {"This folder", "Folder+sub-folders", ""};
  const int colX[] = {136, 206, 276, 376, 466}, colW[] = {66, 66, 96, 86, 106};
  for (int c = 0; c < 5; ++c) {
    auto* l = new TLabel(this, main, colX[c], 40, colW[c], 16);
    l->SetCaption(columns[c]);
  }
  for (int r = 0; r < 3; ++r) {
    auto* l = new TLabel(this, main, 8, 58 + r * kRowH, 126, 16);
    l->SetCaption(rows[r]);
    if (r == 2) lblDriveRow = l;
    for (int c = 0; c < 5; ++c) {
      if (c == 4 && r < 2) continue;
      Stats[r][c] = new TLabel(this, main, colX[c], 58 + r * kRowH, colW[c], 16);
    }
  }
  lblFolder = new TLabel(this, main, 8, 114, 380, 16);
  cbModified = new TCheckBox(this, main, "Modified files only", 400, 112, 150, 20);
  Orvex_STree1 = new TOrvex_STree(this, main, 8, 136, 544, 280);

  btnReturn = new TButton(this, chart, "Tree", 8, kTop - 1, 64, 24);
  btnPrintC = new TButton(this, chart, "Print", 76, kTop - 1, 64, 24);
  // One past each end, so the arrows can step out of range and be set back.
  seChart = new TSpinEdit(this, chart, 150, kTop, 50, 22, 1, 21);
  Chart1 = new TPaintBox(this, chart, 8, 40, 544, 200);
  Chart1->Color = clWhite;
  ListBox1 = new TListBox(this, chart, 8, 244, 544, 12 * 14 + 4);
  ListBox1->Font().SetName("Courier New");
  StatusBar = new TStatusBar(this, this);
  StatusBar->SetPanels({-1});
  Progress = new TProgress(this, StatusBar, 2, 2, 200, 16);
  Progress->SetVisible(false);

  DriveCombo->OnChange = [this](TComponent*) {
    btnGo->SetEnabled(DriveCombo->Drive() != Orvex_STree1->DriveShown());
  };
  btnGo->OnClick = [this](TComponent*) { btnGoClick(); };
  btnExpand->OnClick = [this](TComponent*) {
    HTREEITEM keep = Orvex_STree1->Selected();
    Orvex_STree1->BeginUpdate();
    Orvex_STree1->ExpandAll();
    if (keep) Orvex_STree1->Select(keep);
    Orvex_STree1->EndUpdate();
  };
  btnCollapse->OnClick = [this](TComponent*) {
    Orvex_STree1->BeginUpdate();
    Orvex_STree1->CollapseAll();
    if (HTREEITEM root = Orvex_STree1->Next(nullptr, TVGN_ROOT)) Orvex_STree1->Expand(root);
    Orvex_STree1->EndUpdate();
  };
  btnPrint->OnClick = [this](TComponent*) { btnPrintClick(); };
  btnChart->OnClick = [this](TComponent*) { btnChartClick(); };
  btnReturn->OnClick = [this](TComponent*) { Pages->SetPageIndex(0); };
  btnPrintC->OnClick = [this](TComponent*) { btnPrintCClick(); };
  cbModified->OnClick = [this](TComponent*) {
    Orvex_STree1->SetModifiedOnly(cbModified->Checked());
    chartRoot_.clear();
    const int index = shown_ < 0 ? Orvex_STree1->IndexOfNode(Orvex_STree1->Selected()) : shown_;
    shown_ = -1;
    ShowSelection(std::max(index, 0));
    DriveRow();
  };
  seChart->OnChange = [this](TComponent*) {
    if (Pages->PageIndex() == 1) DrawChart(false);
  };
  Chart1->OnPaint = [this](TComponent*, TCanvas& canvas) {
    DrawFolderChart(canvas, Chart1->ClientRect(), chart_);
  };
  Orvex_STree1->OnChange = [this](TComponent*) {
    ShowSelection(Orvex_STree1->IndexOfNode(Orvex_STree1->Selected()));
  };
  Orvex_STree1->OnMouseMove = [this](TComponent*, TShiftState, int mx, int my) {
    const int index = Orvex_STree1->IndexAt(mx, my);
    if (index >= 0) ShowSelection(index);
  };
  Orvex_STree1->OnRetrieve = [this](const std::string& path) {
    StatusBar->SetPanelText(0, path);
    Application.ProcessMessages();
  };
  Orvex_STree1->OnMassLoad = [this](TComponent*) {
    if (Orvex_STree1->NodesBuilt() == 1) {
      StatusBar->SetPanelText(0, "");
      Progress->SetBounds(2, 2, std::max(20, StatusBar->ClientWidth() - 14), 16);
      Progress->SetVisible(true);
    }
    Progress->SetPercent(
        TProgress::PercentOf(Orvex_STree1->NodesBuilt(), Orvex_STree1->RecordCount()));
  };
  OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  HelpContext = 68;
  KeyPreview = true;
  OnMessage(WM_GETMINMAXINFO, [this](WPARAM w, LPARAM l) -> LRESULT {
    DefaultProc(WM_GETMINMAXINFO, w, l);
    reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{kMinWidth, kMinHeight};
    return 0;
  });

  // Tall screens get a window of the screen's height and a longer chart list; where the user
  // leaves window placement to the system, only its size is set.
  if (Screen.Height() >= 481) {
    const int height = Screen.Height() - 20;
    const bool systemPlaces = ViewerHost().WindowPlacement < 1;
    const RECT at = BoundsRect();
    if (systemPlaces)
      SetBounds(at.left, at.top, kDesignWidth, height);
    else
      SetBounds((Screen.Width() - kDesignWidth) / 2, 10, kDesignWidth, height);
    seChart->SetValue(Screen.Height() > 768 ? 20 : Screen.Height() > 600 ? 16 : 12);
  } else {
    Position = poScreenCenter;
    seChart->SetValue(12);
  }
  Resize();
  Pages->SetPageIndex(0);
  FinishCreate();
}

TSuperTree32::~TSuperTree32() = default;

bool TSuperTree32::CloseQuery() { return !busy_ && TForm::CloseQuery(); }

int TSuperTree32::PagesHeight() const {
  RECT sb = StatusBar->ClientRect();
  return ClientHeight() - (sb.bottom - sb.top);
}

void TSuperTree32::Resize() {
  TForm::Resize();
  if (!Pages || !StatusBar) return;
  StatusBar->ParentResized();
  const int w = ClientWidth(), h = PagesHeight();
  Pages->SetBounds(0, 0, w, h);
  Orvex_STree1->SetBounds(8, 136, std::max(50, w - 16), std::max(40, h - 144));
  // The list keeps whole 14-pixel lines (at least 3); the chart takes the rest.
  const int lines = std::max(3, std::min(ChartCountValue(seChart->Value()), (h - 160) / kListLine));
  PlaceChartList(lines * kListLine + 4);
}

void TSuperTree32::PlaceChartList(int listHeight) {
  const int w = ClientWidth(), h = PagesHeight();
  ListBox1->SetBounds(8, h - listHeight - 6, std::max(50, w - 16), listHeight);
  Chart1->SetBounds(8, 40, std::max(50, w - 16), std::max(40, h - listHeight - 52));
}

void TSuperTree32::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_F12 && (shift & ssCtrl) && !IsZoomed(Handle())) {
    const RECT at = BoundsRect();
    SetBounds(at.left, at.top, kMinWidth, kCompactHeight);
    PlaceChartList(kCompactListHeight);
    key = 0;
  }
  TForm::KeyDown(key, shift);
}

void TSuperTree32::SetBusy(bool busy) {
  busy_ = busy;
  for (TWindow* c : std::initializer_list<TWindow*>{DriveCombo, btnGo, btnExpand, btnCollapse,
                                                     btnPrint, btnChart})
    c->SetEnabled(!busy);
}

void TSuperTree32::btnGoClick(const std::string& root) {
  SetBusy(true);
  THourGlass hourglass;
  for (auto& row : Stats)
    for (TLabel* l : row)
      if (l) l->SetCaption("");
  stopwatch_->Start();
  if (root.empty())
    Orvex_STree1->SetDrive(DriveCombo->Drive());
  else
    Orvex_STree1->SetRoot(root);
  stopwatch_->Stop();
  Progress->SetVisible(false);
  shown_ = -1;
  ShowSelection(0);
  shown_ = -1;  // the next selection refreshes the rows
  DriveRow();
  Orvex_STree1->SetFocus();
  SetBusy(false);
}

void TSuperTree32::DriveRow() {
  if (Orvex_STree1->RecordCount() == 0) return;
  const std::string root = Orvex_STree1->Scan.Records()[0].Name;
  const std::string drive =
      Orvex_STree1->DriveShown() != ' ' ? std::string(1, Orvex_STree1->DriveShown()) : root;
  lblDriveRow->SetCaption(Format("Drive %s:", {drive}));
  for (int c = 0; c < 5; ++c) Stats[2][c]->SetCaption(Orvex_STree1->GetStatText(0, 8 + c));
}

void TSuperTree32::ShowSelection(int index) {
  if (index < 0 || index == shown_ || index >= Orvex_STree1->RecordCount()) return;
  shown_ = index;
  for (int c = 0; c < 4; ++c) {
    Stats[1][c]->SetCaption(Orvex_STree1->GetStatText(index, 8 + c));
    Stats[0][c]->SetCaption(Orvex_STree1->GetStatText(index, c));
  }
  lblFolder->SetCaption(Orvex_STree1->GetStatText(index, 13));
  StatusBar->SetPanelText(0, Orvex_STree1->FolderPath(index));
}

void TSuperTree32::btnChartClick() {
  if (Orvex_STree1->RecordCount() == 0) return;
  const std::string root = Orvex_STree1->Scan.Records()[0].Name;
  if (root != chartRoot_ || cbModified->Checked() != chartModified_) {
    largest_ = Orvex_STree1->Scan.LargestFolders(20);
    chartRoot_ = root;
    chartModified_ = cbModified->Checked();
    chartCount_ = 0;
  }
  Pages->SetPageIndex(1);
  DrawChart(true);
}

void TSuperTree32::DrawChart(bool force) {
  const int wanted = ChartCountValue(seChart->Value());
  if (wanted != seChart->Value()) seChart->SetValue(wanted);
  const int n = std::min(wanted, static_cast<int>(largest_.size()));
  if (!force && n == chartCount_) return;
  chartCount_ = n;
  // A tree scanned from a folder rather than a drive names the folder's drive.
  const std::string root = Orvex_STree1->RecordCount() ? Orvex_STree1->Scan.Records()[0].Name : "";
  char letter = Orvex_STree1->DriveShown();
  if (letter == ' ') letter = root.size() > 1 && root[1] == ':' ? static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))) : '?';
  chart_ = BuildFolderChart(Orvex_STree1->Scan, largest_, n, letter);
  ListBox1->Clear();
  for (const std::string& line : chart_.Lines) ListBox1->Add(line);
  Resize();
  Chart1->Invalidate();
}

std::string TSuperTree32::PrintTitle() const {
  return cbModified->Checked() ? Format("%s (Modified Files)", {Caption()}) : Caption();
}

void TSuperTree32::btnPrintClick() {
  if (Orvex_STree1->RecordCount() == 0) return;
  Printer().SetOrientation(poPortrait);
  const std::string title = PrintTitle();
  ShowPrintingForm(this, title);
  TFont font;
  font.SetName("Courier New");
  font.SetSize(10);
  PrintStringList(Orvex_STree1->TreeListing(true), title, font, 2, 0, 0);
  ClosePrintingForm();
}

void TSuperTree32::btnPrintCClick() {
  if (chart_.Slices.empty()) return;
  TPrinter& printer = Printer();
  const std::string title = PrintTitle();
  ShowPrintingForm(this, title);
  printer.Title = title;
  if (printer.BeginDoc()) {
    TCanvas& canvas = printer.Canvas();
    canvas.Font.SetName("Courier New");
    canvas.Font.SetSize(10);
    const int line = canvas.TextHeight("X");
    const int pw = printer.PageWidth(), ph = printer.PageHeight();
    const int side = std::min(pw, ph);
    DrawFolderChart(canvas, RECT{(pw - side) / 2, 0, (pw - side) / 2 + side, side}, chart_);
    int y = side + line;
    for (const std::string& l : chart_.Lines) {
      canvas.TextOut(0, y, l);
      y += line;
    }
    canvas.TextOut(pw - canvas.TextWidth(title), ph - line, title);
    printer.EndDoc();
  }
  ClosePrintingForm();
}

TSuperTree32* ShowFolderSizeWindow(char driveLetter) {
  auto* w = new TSuperTree32(ViewerForm);
  w->DriveCombo->SetDrive(driveLetter);
  w->Show();
  return w;
}
