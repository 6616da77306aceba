// The batch tools' windows under Wine: batch convert of a mixed folder through its progress
// window, and the folder-size window on a fixture tree with its chart and printed listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include <zlib.h>

#include "foundation/DialogDriver_test.h"
#include "foundation/cProgress.h"
#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Printer.h"
#include "framework/RadioButton.h"
#include "imaging/uGraphic.h"
#include "shell/BatchConvertWindow.h"
#include "shell/BatchPrintDialog.h"
#include "shell/BatchRenameDialog.h"
#include "shell/FindReplaceForm.h"
#include "shell/MainWindowDriver_test.h"
#include "framework/RichEdit.h"
#include "framework/StatusBar.h"
#include "shell/SuperTreeForm.h"
#include "shell/uMessages.h"
#include "tests/TestSupport.h"
#include "tests/UnixTools.h"
#include "thumbnails/cShowControls.h"
#include "viewers/ViewerHost.h"

namespace fs = std::filesystem;

namespace {

void Pump() { dialogtest::Pump(20); }

// A 24-bit BMP file with a colour ramp.
void WriteBmp(const fs::path& path, int w, int h) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> f(54 + static_cast<size_t>(stride) * h);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  f[0] = 'B';
  f[1] = 'M';
  put(2, static_cast<uint32_t>(f.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, w, 4);
  put(22, h, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &f[54 + static_cast<size_t>(y) * stride + x * 3];
      p[0] = static_cast<uint8_t>(x * 7);
      p[1] = static_cast<uint8_t>(y * 5);
      p[2] = static_cast<uint8_t>(x + y);
    }
  testsupport::WriteFile(path, f);
}

// A window that records the messages batch convert sends its main window.
class TMessageSink : public TForm {
 public:
  explicit TMessageSink(TComponent* owner) : TForm(owner) {
    for (UINT m : {WM_REFRESHLIST, WM_FOLDER_CHANGED})
      OnMessage(m, [this, m](WPARAM, LPARAM) {
        received.push_back(m);
        return 0;
      });
    FinishCreate();
  }
  std::vector<UINT> received;
};

}  // namespace

TEST(BatchConvertWindow, ConvertsAMixedFolderAndRefreshesItsOwner) {
  RegisterAllFormats();
  const fs::path dir = testsupport::ScratchDir("batchwin");
  WriteBmp(dir / "one.bmp", 30, 20);
  WriteBmp(dir / "two.bmp", 64, 48);
  testsupport::WriteFile(dir / "readme.txt", {'h', 'i'});
  TMessageSink sink(nullptr);
  TSaveOptions o;
  o.Format = sfPNG;
  o.Colors = 280;
  o.BatchSize = bsShrinkLarger;
  o.BatchWidth = 32;
  o.BatchHeight = 32;
  auto* w = new TBatchConvertWindow(nullptr, sink.Handle(),
                                    {dir.string(), "one.bmp", "readme.txt", "two.bmp"}, o, "");
  w->Show();
  EXPECT_FALSE(w->CloseQuery()) << "not closed while converting";
  for (int i = 0; i < 500 && BatchConvertWindow; ++i) Pump();
  EXPECT_EQ(BatchConvertWindow, nullptr) << "the window closes itself at the end";
  Pump();
  EXPECT_EQ(sink.received, (std::vector<UINT>{WM_REFRESHLIST, WM_FOLDER_CHANGED}));
  // The outputs read back through the registry: the small one as it was, the large one shrunk.
  for (auto [name, width, height] :
       {std::tuple{"one.png", 30, 20}, std::tuple{"two.png", 32, 24}}) {
    const std::string path = (dir / name).string();
    auto* stream = new tBuffStream(path, OpenFileStream(path), false);
    tGraphicID id(stream);
    ASSERT_TRUE(id.IdentifyPicture()) << name;
    EXPECT_EQ(id.Width, width) << name;
    EXPECT_EQ(id.Height, height) << name;
  }
  EXPECT_FALSE(fs::exists(dir / "readme.png"));
}

namespace {

// Reads each picture with PIL (Debian's python3-pil) and writes, per picture, its format, its size,
// whether its pixels equal those of the source given with it ("-": not compared) and whether it
// carries the batch comment ("note").
const char kPilCheck[] = R"(import os, sys
from PIL import Image
lines = []
for pair in sys.argv[2:]:
    out, src = pair.split('|')
    try:
        im = Image.open(out)
        im.load()
        same = '-'
        if src:
            same = 'same' if im.convert('RGB').tobytes() == Image.open(src).convert('RGB').tobytes() else 'differs'
        texts = [v for v in im.info.values() if isinstance(v, (str, bytes))]
        if hasattr(im, 'tag_v2'):
            texts.append(str(im.tag_v2.get(270, '')))
        note = 'note' if any(b'batch note' in (t if isinstance(t, bytes) else t.encode()) for t in texts) else '-'
        lines.append('%s %s %dx%d %s %s' % (os.path.basename(out), im.format, im.width, im.height, same, note))
    except Exception as e:
        lines.append('%s unreadable %s' % (os.path.basename(out), e))
open(sys.argv[1] + '.part', 'w').write('\n'.join(lines) + '\n')
os.rename(sys.argv[1] + '.part', sys.argv[1])
)";

// A PNG whose header asks for a picture larger than any reader accepts: identified, never
// decoded.
void WriteTooLargePng(const fs::path& path) {
  std::vector<uint8_t> f = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  auto chunk = [&](const char* type, std::vector<uint8_t> data) {
    for (int i = 3; i >= 0; --i) f.push_back(static_cast<uint8_t>(data.size() >> (8 * i)));
    data.insert(data.begin(), type, type + 4);
    f.insert(f.end(), data.begin(), data.end());
    const uLong crc = crc32(0, data.data(), static_cast<uInt>(data.size()));
    for (int i = 3; i >= 0; --i) f.push_back(static_cast<uint8_t>(crc >> (8 * i)));
  };
  chunk("IHDR", {0, 0, 0x9c, 0x40, 0, 0, 0x9c, 0x40, 8, 2, 0, 0, 0});  // 40000 x 40000 RGB
  chunk("IEND", {});
  testsupport::WriteFile(path, f);
}

}  // namespace

// The program's own road: the save pipeline converts a folder with a picture, a text file, a
// picture too large to decode and a larger picture into each of the seven formats; the broken one
// is counted and the rest done. Debian's PIL reads every output back.
TEST(BatchConvertWindow, ConvertsThroughTheSavePipelineToEachFormat) {
  RegisterAllFormats();
  InstallBatchConvertPipeline();
  const fs::path root = testsupport::ScratchDir("batchpipe");
  const std::string unixRoot = testsupport::UnixFileName(root);
  std::vector<std::string> checks;
  std::vector<std::string> expected;
  const char* extensions[] = {"gif", "pcx", "bmp", "tga", "tif", "jpg", "png"};
  const char* pilNames[] = {"GIF", "PCX", "BMP", "TGA", "TIFF", "JPEG", "PNG"};
  for (int format = sfGIF; format <= sfPNG; ++format) {
    const fs::path dir = root / extensions[format];
    fs::create_directories(dir);
    WriteBmp(dir / "a.bmp", 30, 20);
    testsupport::WriteFile(dir / "b.txt", {'h', 'i'});
    WriteTooLargePng(dir / "c.png");
    WriteBmp(dir / "d.bmp", 64, 48);
    TSaveOptions o;
    o.Format = format;
    o.Colors = format == sfGIF ? 256 : 280;
    o.BatchSize = bsShrinkLarger;
    o.BatchWidth = 32;
    o.BatchHeight = 32;
    auto* w = new TBatchConvertWindow(nullptr, nullptr,
                                      {dir.string(), "a.bmp", "b.txt", "c.png", "d.bmp"}, o,
                                      "batch note");
    std::string report;
    w->OnReport = [&](const std::string& text) { report = text; };
    int converted = -1, skipped = -1, failed = -1;
    std::vector<std::string> outputs;
    // The window frees itself as it closes: its counts are taken on the way.
    w->OnClose = [&, w, freeIt = w->OnClose](TComponent* sender, TCloseAction& action) {
      converted = w->Run.Converted, skipped = w->Run.Skipped, failed = w->Run.Failed;
      outputs = w->Run.Outputs;
      freeIt(sender, action);
    };
    w->Show();
    for (int i = 0; i < 2000 && BatchConvertWindow; ++i) Pump();
    ASSERT_EQ(BatchConvertWindow, nullptr) << extensions[format];
    EXPECT_EQ(converted, 2) << extensions[format] << report;
    EXPECT_EQ(skipped, 1) << extensions[format];
    EXPECT_EQ(failed, 1) << extensions[format];
    EXPECT_NE(report.find("c.png"), std::string::npos) << report;
    ASSERT_EQ(outputs.size(), 2u) << extensions[format];
    // The small picture as it was (pixel for pixel where the format keeps every colour), the
    // larger one shrunk into 32 x 32.
    const bool lossless = format != sfGIF && format != sfJPG;
    const std::string a = ExtractFileName(outputs[0]), d = ExtractFileName(outputs[1]);
    checks.push_back(testsupport::UnixFileName(outputs[0]) + "|" +
                     (lossless ? testsupport::UnixFileName(dir / "a.bmp") : ""));
    checks.push_back(testsupport::UnixFileName(outputs[1]) + "|");
    // The formats with a comment block carry the batch's comment.
    const std::string note =
        format == sfGIF || format == sfJPG || format == sfPNG || format == sfTIF ? " note" : " -";
    expected.push_back(a + " " + pilNames[format] + " 30x20 " + (lossless ? "same" : "-") + note);
    expected.push_back(d + " " + pilNames[format] + " 32x24 -" + note);
    EXPECT_EQ(a[0], 'a') << a;
    EXPECT_EQ(ExtractFileExt(d), std::string(".") + extensions[format]) << d;
  }
  if (unixRoot.empty()) GTEST_SKIP() << "Debian's tools are reached only under Wine";
  const fs::path script = root / "check.py";
  testsupport::WriteFile(script, {kPilCheck, kPilCheck + sizeof kPilCheck - 1});
  std::vector<std::string> args = {testsupport::UnixFileName(script), unixRoot + "/pil.txt"};
  args.insert(args.end(), checks.begin(), checks.end());
  const std::string text = testsupport::RunUnixForResult("/usr/bin/python3", args, root / "pil.txt");
  std::string want;
  for (const std::string& line : expected) want += line + "\n";
  EXPECT_EQ(text, want);
}

TEST(BatchConvertWindow, Screenshot) {
  const fs::path dir = testsupport::ScratchDir("batchwin_shot");
  WriteBmp(dir / "holiday.bmp", 8, 8);
  TSaveOptions o;
  o.Format = sfBMP;
  auto* w = new TBatchConvertWindow(nullptr, nullptr, {dir.string(), "holiday.bmp"}, o, "");
  w->lblStep->SetCaption("holiday.bmp");
  w->Progress->SetPercent(40);
  ShowWindow(w->Handle(), SW_SHOWNA);  // shown without starting the run
  Pump();
  dialogtest::Screenshot(w->Handle(), "batch-convert");
  while (w->Run.Step()) {
  }
  w->Close();
  Pump();
}

namespace {

// folder, with files of known sizes below it.
fs::path FixtureTree() {
  const fs::path root = testsupport::ScratchDir("supertree");
  fs::create_directories(root / "photos" / "2001");
  fs::create_directories(root / "music");
  fs::create_directories(root / ".cache");
  testsupport::WriteFile(root / "top.txt", std::vector<uint8_t>(1));
  testsupport::WriteFile(root / "photos" / "a.jpg", std::vector<uint8_t>(10000));
  testsupport::WriteFile(root / "photos" / "2001" / "b.jpg", std::vector<uint8_t>(20000));
  testsupport::WriteFile(root / "music" / "c.mid", std::vector<uint8_t>(3000));
  testsupport::WriteFile(root / ".cache" / "x", std::vector<uint8_t>(99999));
  return root;
}

}  // namespace

TEST(SuperTree, ScansAFolderTreeAndCharts) {
  const fs::path root = FixtureTree();
  auto* w = new TSuperTree32(nullptr);
  w->Show();
  Pump();
  w->btnGoClick(root.string() + "\\");
  Pump();
  const int64_t cluster = w->Orvex_STree1->Scan.ClusterSize();
  ASSERT_GT(cluster, 0);
  auto clusters = [&](int64_t size) { return (size + cluster - 1) / cluster * cluster; };
  // Root, music, photos, photos\2001: the dot folder is not read.
  EXPECT_EQ(w->Orvex_STree1->RecordCount(), 4);
  EXPECT_EQ(w->Orvex_STree1->Scan.Stat(0, 9), 4);
  EXPECT_EQ(w->Orvex_STree1->Scan.Stat(0, 10), 33001);
  EXPECT_EQ(w->Orvex_STree1->Scan.Stat(0, 11),
            clusters(1) + clusters(10000) + clusters(20000) + clusters(3000));
  EXPECT_EQ(w->Stats[2][1]->Caption(), "4");
  EXPECT_EQ(w->Stats[2][2]->Caption(), "33,001");
  EXPECT_EQ(w->Stats[2][0]->Caption(), "3");
  w->ShowSelection(2);
  EXPECT_EQ(w->lblFolder->Caption(), "photos");
  EXPECT_EQ(w->Stats[1][2]->Caption(), "30,000");
  EXPECT_EQ(w->Stats[0][2]->Caption(), "10,000");
  dialogtest::Screenshot(w->Handle(), "supertree");

  w->btnChartClick();
  Pump();
  ASSERT_EQ(w->ListBox1->Count(), 4);
  EXPECT_NE(w->ListBox1->String(0).find("photos\\2001"), std::string::npos);
  EXPECT_EQ(w->Chart().Slices.back().Label, "other");
  dialogtest::Screenshot(w->Handle(), "supertree-chart");
  w->seChart->SetValue(21);
  w->DrawChart(false);
  EXPECT_EQ(w->seChart->Value(), 8);
  w->Close();
  Pump();
}

// The window's own rules: its help context, the smallest size the user can drag it to, Ctrl+F12
// (not while maximised), and the placement setting: the screen's height, centred at the top, or
// where the system puts it.
TEST(SuperTree, WindowRules) {
  for (const int placement : {1, 0}) {
    SCOPED_TRACE(placement);
    ViewerHost().WindowPlacement = placement;
    auto* w = new TSuperTree32(nullptr);
    w->Show();
    Pump();
    EXPECT_EQ(w->HelpContext, 68);
    const RECT r = w->BoundsRect();
    if (Screen.Height() >= 481) {
      EXPECT_EQ(r.bottom - r.top, Screen.Height() - 20);
      if (placement == 1) {
        EXPECT_EQ(r.top, 10);
        EXPECT_EQ(r.left, (Screen.Width() - (r.right - r.left)) / 2);
      }
    }
    MINMAXINFO info{};
    SendMessageW(w->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 542);
    EXPECT_EQ(info.ptMinTrackSize.y, 240);
    mainwindowtest::Key(w->Orvex_STree1, VK_F12, false, true);
    EXPECT_EQ(w->Width(), 542);
    EXPECT_EQ(w->Height(), 440);
    EXPECT_EQ(w->ListBox1->Height(), 116);
    // Maximised, the key leaves the window as it is.
    ShowWindow(w->Handle(), SW_MAXIMIZE);
    Pump();
    const int wide = w->Width();
    mainwindowtest::Key(w->Orvex_STree1, VK_F12, false, true);
    EXPECT_EQ(w->Width(), wide);
    w->Close();
    Pump();
  }
  ViewerHost().WindowPlacement = 1;
}

namespace {

// The text of the next PDF that cups-pdf writes into out (a Unix folder), read with poppler's
// pdftotext (run as a Unix program); the PDF is removed after. Jobs of one title share a file
// name, so each is read before the next starts.
std::string PrintedText(const std::string& out, std::set<std::string>& before) {
  const fs::path pdfDir = fs::path("Z:" + out);
  fs::path pdf;
  for (int i = 0; i < 900 && pdf.empty(); ++i) {
    Sleep(100);
    for (auto& p : fs::directory_iterator(pdfDir))
      if (p.path().extension() == ".pdf" && !before.count(p.path().filename().string()))
        pdf = p.path();
  }
  if (pdf.empty()) return "";
  before.insert(pdf.filename().string());  // a kept PDF is not read again for the next job
  // Written whole once it ends in the end-of-file mark and its size holds still.
  for (int i = 0; i < 300; ++i, Sleep(200)) {
    const auto bytes = testsupport::ReadFile(pdf);
    const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 16), bytes.end());
    if (tail.find("%%EOF") == std::string::npos) continue;
    Sleep(500);
    if (fs::file_size(pdf) == bytes.size()) break;
  }
  const std::string unixPdf = std::string(out) + "/" + pdf.filename().string();
  const std::wstring w(unixPdf.begin(), unixPdf.end());
  std::wstring cmd = L"/usr/bin/pdftotext -layout \"" + w + L"\" \"" + w + L".txt\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Wine leaves the process information of a Unix program stale (it may name this program's
  // standard output): no wait on it and no close; the text file tells when it is done.
  CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  fs::path txt = pdf;
  txt += ".txt";
  for (int i = 0; i < 600 && !fs::exists(txt); ++i) Sleep(100);
  // The end of a Unix program is not always seen from here: the text is whole once its size
  // holds still.
  std::error_code sizeError;
  for (uintmax_t last = UINTMAX_MAX, i = 0; i < 50; ++i) {
    Sleep(400);
    const uintmax_t now = fs::file_size(txt, sizeError);
    if (now == last && now > 0) break;
    last = now;
  }
  const auto bytes = testsupport::ReadFile(txt);
  std::error_code ec;
  fs::remove(txt, ec);
  if (!std::getenv("TAVIS_KEEP_PRINTS")) fs::remove(pdf, ec);
  return std::string(bytes.begin(), bytes.end());
}

// Files of an earlier run share the names this run's jobs get: they go first.
std::set<std::string> PdfsBefore(const std::string& out, const std::string& title) {
  std::set<std::string> before;
  for (auto& p : fs::directory_iterator(fs::path("Z:" + out))) {
    std::error_code ec;
    if (p.path().filename().string().find(title) != std::string::npos)
      fs::remove(p.path(), ec);
    else
      before.insert(p.path().filename().string());
  }
  return before;
}

}  // namespace

// Printing through the real spooler: with tests/cups-session the listing and the chart come out
// as a PDF (checked with poppler's pdftotext, run as a Unix program).
TEST(SuperTree, PrintsTheListingAndTheChart) {
  const char* out = std::getenv("TAVIS_PRINT_OUT");
  if (!out || !*out || !Printer().Available()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
  std::set<std::string> before = PdfsBefore(out, "SuperTree");
  const fs::path root = FixtureTree();
  auto* w = new TSuperTree32(nullptr);
  w->Show();
  w->btnGoClick(root.string() + "\\");
  w->btnPrintClick();
  std::string all = PrintedText(out, before);
  w->btnChartClick();
  w->btnPrintCClick();
  all += PrintedText(out, before);
  // The listing shows the folders with their use; the chart page its title and ranks.
  EXPECT_NE(all.find("+photos"), std::string::npos) << all;
  EXPECT_NE(all.find("music"), std::string::npos) << all;
  EXPECT_NE(all.find("largest folders on drive C"), std::string::npos) << all;
  EXPECT_NE(all.find("Tavishore 32 SuperTree"), std::string::npos) << all;
  w->Close();
  Pump();
}

TEST(BatchRename, RenamesFilesOnDiskAndSkipsClashesAndUnsafeNames) {
  const fs::path dir = testsupport::ScratchDir("batchrename");
  for (const char* name : {"x.JPG", "y.JPG", "z.gif", "pic002.JPG"})
    testsupport::WriteFile(dir / name, {'1'});
  {
    TdlgBatchRename dlg(nullptr, {"x.JPG", "y.JPG", "z.gif"}, dir.string());
    dlg.SetPage(rpSequence);
    dlg.edPart1->SetText("pic");
    dlg.seDigits->SetValue(3);
    dlg.cbLeadingZeros->SetChecked(true);
    std::vector<std::string> told;
    dlg.OnRenamed = [&](const std::string& from, const std::string& to) {
      told.push_back(from + ">" + to);
    };
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    Pump();
    dialogtest::Screenshot(dlg.Handle(), "batch-rename");
    // x takes 001; y would take 002, which exists, so it stays; z takes 002 then.
    EXPECT_EQ(dlg.OKClick(), 2);
    EXPECT_EQ(told, (std::vector<std::string>{"x.JPG>pic001.JPG", "z.gif>pic002.gif"}));
  }
  for (const char* name : {"pic001.JPG", "y.JPG", "pic002.gif", "pic002.JPG"})
    EXPECT_TRUE(fs::exists(dir / name)) << name;
  {
    // A replacement that would put a folder separator into the name renames nothing.
    TdlgBatchRename dlg(nullptr, {"y.JPG"}, dir.string());
    dlg.SetPage(rpReplace);
    dlg.edFind->SetText("y");
    dlg.edReplace->SetText("..\\y");
    EXPECT_EQ(dlg.OKClick(), 0);
  }
  testsupport::WriteFile(dir / "ABC.GIF", {'1'});
  {
    TdlgBatchRename dlg(nullptr, {"ABC.GIF", "y.JPG"}, dir.string());
    dlg.SetPage(rpCase);
    dlg.rbLower->SetChecked(false);
    dlg.rbUpper->SetChecked(true);
    EXPECT_EQ(dlg.OKClick(), 1) << "ABC.GIF is upper case already";
  }
  std::set<std::string> names;
  for (auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  EXPECT_TRUE(names.count("ABC.GIF"));
  EXPECT_TRUE(fs::exists(dir / "Y.JPG"));  // (Wine may keep the case of a case-only rename)
  EXPECT_FALSE(fs::exists(dir.parent_path() / "y.JPG"));
}

TEST(BatchPrint, PrintsTwoPicturesPerPageWithNamesAndSkipsOtherFiles) {
  RegisterAllFormats();
  const fs::path dir = testsupport::ScratchDir("batchprint");
  WriteBmp(dir / "wide.bmp", 120, 60);
  WriteBmp(dir / "tall.bmp", 40, 90);
  testsupport::WriteFile(dir / "notes.txt", {'h', 'i'});
  WriteBmp(dir / "third.bmp", 50, 50);
  const std::vector<std::string> files = {dir.string(), "wide.bmp", "notes.txt", "tall.bmp",
                                          "third.bmp"};
  {
    TdlgBatchPrint dlg(nullptr, &files);
    EXPECT_EQ(dlg.lblCount->Caption(), "Print 4 pictures");
    dlg.rbSeparate->SetChecked(false);
    dlg.rbAlbum->SetChecked(true);
    dlg.StyleChanged();
    EXPECT_EQ(dlg.PerPageLabels[3]->Caption(), "12");
    ShowWindow(dlg.Handle(), SW_SHOWNA);
    Pump();
    dialogtest::Screenshot(dlg.Handle(), "batch-print");
  }
  {
    TdlgBatchPrint dlg(nullptr, nullptr);
    EXPECT_EQ(dlg.lblCount->Caption(), "NO PICTURES TO PRINT");
  }
  const char* out = std::getenv("TAVIS_PRINT_OUT");
  if (!out || !*out || !Printer().Available()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
  std::set<std::string> before = PdfsBefore(out, "batch_print");
  tBatchPrintOptions o;
  o.Style = bpSeparatePictures;
  o.PerPage = 1;  // 2 x 1
  o.FileName = true;
  EXPECT_EQ(PrintBatch(files, o, nullptr), 3);
  const std::string text = PrintedText(out, before);
  // Two pages: wide and tall on the first, third on the second; the text file left no cell.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2) << text;
  const size_t page = text.find('\f');
  EXPECT_LT(text.find("wide.bmp"), page) << text;
  EXPECT_LT(text.find("tall.bmp"), page) << text;
  EXPECT_GT(text.find("third.bmp"), page) << text;
  EXPECT_EQ(text.find("notes.txt"), std::string::npos);
}

TEST(FindReplace, ReplacesInTheTaggedFilesAndLogsInColour) {
  const fs::path dir = testsupport::ScratchDir("fandr");
  const std::string text = "<IMG SRC=a.gif>\r\nimg\n";
  testsupport::WriteFile(dir / "a.htm", {text.begin(), text.end()});
  testsupport::WriteFile(dir / "b.htm", {'n', 'o'});
  const std::vector<std::string> list = {dir.string(), "a.htm", "b.htm"};
  TFandR_form* form = ShowFindReplace(nullptr, &list);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->StatusBar1->PanelText(0), "2 files");
  form->edFind->SetText("img");
  form->edReplace->SetText("picture");
  form->GoClick();
  Pump();
  const auto bytes = testsupport::ReadFile(dir / "a.htm");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "<picture SRC=a.gif>\r\npicture\n");
  const std::u16string log = form->Log->Text();
  EXPECT_NE(log.find(u"0002 a.htm"), std::u16string::npos);
  EXPECT_NE(log.find(u"     b.htm"), std::u16string::npos);
  dialogtest::Screenshot(form->Handle(), "find-replace");
  EXPECT_EQ(ShowFindReplace(nullptr, nullptr), nullptr);
  form->Close();
  Pump();
}
