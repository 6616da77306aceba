// The text, zip and hex windows on real controls under the platform: files opened, searched,
// edited, listed, extracted and scrolled as a user would; pictures of each window with
// TAVIS_SCREENSHOT_DIR set.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "foundation/DialogDriver_test.h"
#include "foundation/uBuffStream.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ListView.h"
#include "framework/Printer.h"
#include "framework/RichEdit.h"
#include "framework/StatusBar.h"
#include "tests/PrintedPages.h"
#include "tests/TestSupport.h"
#include "viewers/ViewerHost.h"
#include "viewers/hex/HexWindow.h"
#include "viewers/hex/cHexView.h"
#include "viewers/hex/uHexView.h"
#include "viewers/print/PrintingForm.h"
#include "viewers/print/uPrintListing.h"
#include "viewers/text/TextWindow.h"
#include "viewers/zip/ZipForm.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<tBuffStream> Open(const fs::path& path) {
  auto stream = OpenFileStream(path.string());
  if (!stream) return nullptr;
  return std::make_unique<tBuffStream>(path.string(), std::move(stream), false);
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void Pump() { dialogtest::Pump(20); }

// The picture of a window, first fitted to the screen: the screen copy holds only what is on it.
void Shoot(TForm* form, const std::string& name) {
  RECT r = form->BoundsRect();
  const int bottom = GetSystemMetrics(SM_CYSCREEN);
  if (r.bottom > bottom) form->SetBounds(r.left, r.top, r.right - r.left, bottom - r.top);
  Pump();
  dialogtest::Screenshot(form->Handle(), name);
}

TEST(HexWindow, ScrollsALargeFile) {
  const fs::path dir = testsupport::ScratchDir("hexwin");
  std::vector<uint8_t> data(6 << 20);
  std::mt19937 rng(3);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  testsupport::WriteFile(dir / "big.bin", data);
  THexWindow* w = OpenHexWindow(nullptr, (dir / "big.bin").string());
  Pump();
  TOrvexHexView* view = w->OrvexHexView1;
  ASSERT_EQ(view->LineCount(), (6 << 20) / 16);
  EXPECT_TRUE(w->PrintBtn->Enabled());
  tHexView reference((dir / "big.bin").string());
  view->SetTopRow(view->LineCount());  // to the end
  Pump();
  EXPECT_GT(view->TopRow(), view->LineCount() - 200);
  EXPECT_EQ(view->LineText(view->LineCount() - 1), reference.FormatLine(reference.Rows - 1, 8));
  view->SetTopRow(123456);
  Pump();
  EXPECT_EQ(view->TopRow(), 123456);
  EXPECT_EQ(view->LineText(123456), reference.FormatLine(123456, 8));
  Shoot(w, "hex-window");
  w->Close();
  Pump();
}

TEST(ZipWindow, ListsExtractsAndOpens) {
  const fs::path archive = testsupport::TestData("zip/winxp.zip");
  const fs::path many = testsupport::TestData("zip/many_formats.zip");
  if (!fs::exists(archive) || !fs::exists(many)) GTEST_SKIP() << "test data missing";
  auto notZip = Open(testsupport::TestData("zip/readme.notzip"));
  ASSERT_TRUE(notZip);
  EXPECT_FALSE(OpenZipWindow(nullptr, notZip));
  EXPECT_TRUE(notZip);  // still the caller's

  auto stream = Open(many);
  ASSERT_TRUE(OpenZipWindow(nullptr, stream));
  EXPECT_FALSE(stream);
  TZipForm* form = dynamic_cast<TZipForm*>(Screen.Forms.back());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Zip file many_formats.zip");
  EXPECT_EQ(form->List->Count(), 14);
  EXPECT_EQ(form->List->ItemText(6, 0), "$06PK101.TMP");
  EXPECT_EQ(form->List->ItemText(6, 3), "     81,682");
  EXPECT_EQ(form->StatusBar1->PanelText(0), "14 files 1,143,548 bytes");
  // The imploded entry opens for viewing into the program's own folder.
  const std::string opened = form->OpenEntry(6);
  ASSERT_FALSE(opened.empty());
  EXPECT_NE(opened.find("Tavishore zip"), std::string::npos);
  EXPECT_EQ(fs::file_size(opened), 81682u);
  Shoot(form, "zip-window");
  form->Close();
  Pump();

  stream = Open(archive);
  ASSERT_TRUE(OpenZipWindow(nullptr, stream));
  form = dynamic_cast<TZipForm*>(Screen.Forms.back());
  const fs::path out = testsupport::ScratchDir("zipwin");
  form->ExtractAllTo(out.string());
  const int rows = form->List->Count();
  EXPECT_EQ(form->StatusBar1->PanelText(1), std::to_string(rows) + " files extracted");
  int files = 0;
  for (auto& p : fs::recursive_directory_iterator(out)) files += p.is_regular_file();
  EXPECT_EQ(files, rows);
  form->Close();
  Pump();
}

TEST(TextWindow, OpensFindsReplacesAndSaves) {
  const fs::path dir = testsupport::ScratchDir("textwin");
  std::string text;
  for (int i = 0; i < 300; ++i) text += "Line " + std::to_string(i) + ": the cat sat on the mat.\r\n";
  WriteText(dir / "cats.txt", text);
  auto binary = Open(testsupport::TestData("zip/many_formats.zip"));
  if (binary) EXPECT_FALSE(OpenTextWindow(nullptr, binary));

  auto stream = Open(dir / "cats.txt");
  ASSERT_TRUE(OpenTextWindow(nullptr, stream));
  auto* w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Caption(), "\"Text\" file cats.txt");
  w->LoadText();
  EXPECT_EQ(w->Memo->LineCount(), 300);
  EXPECT_EQ(w->StatusBar1->PanelText(1), "300 lines");
  EXPECT_FALSE(w->DecodeButton->Enabled());
  EXPECT_FALSE(w->btnHTML->Enabled());
  EXPECT_TRUE(w->Memo->ReadOnly());

  // Find: from the caret to the end, never wrapping.
  w->Memo->SetSelection(0, 0);
  EXPECT_TRUE(w->FindNext("CAT", false, false));
  EXPECT_EQ(w->Memo->SelLength(), 3);
  const int64_t first = w->Memo->SelStart();
  EXPECT_TRUE(w->FindNext("cat", false, false));
  EXPECT_GT(w->Memo->SelStart(), first);
  w->Memo->SetSelection(w->Memo->TextLength() - 5, 0);
  EXPECT_FALSE(w->FindNext("cat", false, false));

  w->SetEditing(true);
  EXPECT_FALSE(w->Memo->ReadOnly());
  EXPECT_EQ(w->StatusBar1->PanelText(2), "Text editor");
  w->Memo->SetSelection(0, 0);
  EXPECT_EQ(w->Replace("cat", "dog", true, false, true), 300);
  EXPECT_EQ(w->Replace("zebra", "x", false, false, true), 0);
  EXPECT_TRUE(w->Memo->Modified());
  Shoot(w, "text-window");
  ASSERT_TRUE(w->Save());
  const auto bytes = testsupport::ReadFile(dir / "cats.txt");
  const std::string saved(bytes.begin(), bytes.end());
  EXPECT_EQ(saved.find("cat"), std::string::npos);
  EXPECT_NE(saved.find("the dog sat"), std::string::npos);
  int leftovers = 0;
  for (auto& p : fs::directory_iterator(dir)) leftovers += p.path().filename() != "cats.txt";
  EXPECT_EQ(leftovers, 0);
  w->Close();
  Pump();
}

TEST(TextWindow, RichTextHtmlAndBackspaces) {
  const fs::path dir = testsupport::ScratchDir("textwin2");
  WriteText(dir / "doc.rtf", "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\pard Hello {\\b bold} world.\\par}");
  auto stream = Open(dir / "doc.rtf");
  ASSERT_TRUE(OpenTextWindow(nullptr, stream));
  auto* w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
  w->LoadText();
  EXPECT_NE(w->Memo->Text().find(u"{\\rtf1"), std::u16string::npos);  // plain: the source
  w->SwitchPlainRich();
  EXPECT_FALSE(w->PlainMode());
  EXPECT_EQ(w->Memo->Text().find(u"{\\rtf1"), std::u16string::npos);
  EXPECT_NE(w->Memo->Text().find(u"Hello bold world."), std::u16string::npos);
  EXPECT_FALSE(w->FontBtn->Enabled());
  // Unsaved edits and Cancel: mode and text stay.
  w->SetEditing(true);
  w->Memo->SetSelection(0, 0);
  w->Memo->SetSelText(u"X");
  const std::u16string edited = w->Memo->Text();
  w->PresetAnswer = mrCancel;
  w->SwitchPlainRich();
  EXPECT_FALSE(w->PlainMode());
  EXPECT_EQ(w->Memo->Text(), edited);
  w->PresetAnswer = mrNo;
  w->Close();
  Pump();

  WriteText(dir / "page.html", "<html><body>hi</body></html>");
  stream = Open(dir / "page.html");
  ASSERT_TRUE(OpenTextWindow(nullptr, stream));
  w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
  EXPECT_TRUE(w->btnHTML->Enabled());
  w->Close();
  Pump();

  WriteText(dir / "over.txt", "\b\babc\bd");
  ViewerHost().StripTextfileBackspace = true;
  stream = Open(dir / "over.txt");
  ASSERT_TRUE(OpenTextWindow(nullptr, stream));
  w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
  w->PresetAnswer = mrOk;
  w->LoadText();
  ViewerHost().StripTextfileBackspace = false;
  EXPECT_EQ(w->Memo->Text(), u"abd");
  EXPECT_EQ(w->CharCount(), 3);
  EXPECT_FALSE(w->Memo->Modified());
  w->Close();
  Pump();
}

TEST(TextWindow, DecodeGate) {
  const fs::path dir = testsupport::ScratchDir("textwin3");
  const std::string block = "begin 644 abc.bin\r\n#86)C\r\n`\r\nend\r\n";
  // A file of exactly 1,000,000 bytes is never offered; one byte less is.
  for (size_t size : {1000000u, 999999u}) {
    std::string text = block;
    while (size - text.size() > 80) text += std::string(78, 'x') + "\r\n";
    text += std::string(size - text.size() - 2, 'x') + "\r\n";
    ASSERT_EQ(text.size(), size);
    WriteText(dir / "mail.txt", text);
    auto stream = Open(dir / "mail.txt");
    ASSERT_TRUE(OpenTextWindow(nullptr, stream));
    auto* w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
    w->LoadText();
    EXPECT_EQ(w->DecodeButton->Enabled(), size < 1000000) << size;
    if (size < 1000000) {
      w->PresetAnswer = mrOk;
      w->Decode();  // renames the text to .uue and closes the window
      Pump();
      EXPECT_EQ(testsupport::ReadFile(dir / "abc.bin"), (std::vector<uint8_t>{'a', 'b', 'c'}));
      EXPECT_TRUE(fs::exists(dir / "mail.uue"));
    } else {
      w->Close();
      Pump();
    }
  }
}

}  // namespace

// Printing through the real spooler (tests/PrintedPages.h); skipped without a printer.
namespace {

using PrintTest = testsupport::PrintedPagesTest;

TEST_F(PrintTest, HexListingPagesAndHeaders) {
  const fs::path dir = testsupport::ScratchDir("hexprint");
  std::vector<uint8_t> data(300 * 16);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>('A' + i % 26);
  testsupport::WriteFile(dir / "dump.bin", data);
  THexWindow* w = OpenHexWindow(nullptr, (dir / "dump.bin").string());
  Pump();
  w->PrintDump();
  EXPECT_EQ(PrintingFrm, nullptr);
  const auto pages = PrintedPages();
  ASSERT_GE(pages.size(), 2u);
  // Every page holds its header and the same number of rows, the last the rest; no row is lost.
  std::vector<int> rows;
  for (size_t k = 0; k < pages.size(); ++k) {
    EXPECT_NE(pages[k].find("Page " + std::to_string(k + 1) + "   "), std::string::npos) << k;
    EXPECT_NE(pages[k].find("dump.bin"), std::string::npos) << k;
    rows.push_back(0);
    std::istringstream lines(pages[k]);
    for (std::string line; std::getline(lines, line);) {
      const size_t at = line.find_first_not_of(' ');
      if (at == std::string::npos || line.size() < at + 9 || line[at + 8] != ' ') continue;
      if (line.find_first_not_of("0123456789ABCDEF", at) == at + 8) ++rows.back();
    }
  }
  int total = 0;
  for (size_t k = 0; k < rows.size(); ++k) {
    total += rows[k];
    if (k + 1 < rows.size()) EXPECT_EQ(rows[k], rows[0]) << k;
  }
  EXPECT_EQ(total, 300);
  EXPECT_NE(pages.front().find("00000000 41 42 43"), std::string::npos);
  EXPECT_NE(pages.back().find("000012B0"), std::string::npos);  // the last row
  w->Close();
  Pump();
}

TEST_F(PrintTest, TextPagesCarryTheHeader) {
  const fs::path dir = testsupport::ScratchDir("textprint");
  std::string text;
  for (int i = 0; i < 150; ++i) text += "Printed line " + std::to_string(i) + "\r\n";
  WriteText(dir / "printme.txt", text);
  auto stream = Open(dir / "printme.txt");
  ASSERT_TRUE(OpenTextWindow(nullptr, stream));
  auto* w = dynamic_cast<TTextWindow*>(Screen.Forms.back());
  w->LoadText();
  w->PrintText();
  const auto pages = PrintedPages();
  ASSERT_GE(pages.size(), 2u);
  EXPECT_NE(pages[0].find("Printed line 0"), std::string::npos);
  EXPECT_NE(pages.back().find("Printed line 149"), std::string::npos);
  // The header in the memo's proportional font: the text tool gives its blanks back as one.
  for (size_t k = 0; k < pages.size(); ++k) {
    EXPECT_NE(pages[k].find("Page " + std::to_string(k + 1) + " "), std::string::npos) << k;
    EXPECT_NE(pages[k].find("printme.txt"), std::string::npos) << k;
  }
  w->Close();
  Pump();
}

TEST_F(PrintTest, CancelAbortsThenCloses) {
  TForm owner(nullptr);
  ShowPrintingForm(&owner, "doc.txt");
  ASSERT_NE(PrintingFrm, nullptr);
  EXPECT_FALSE(owner.Enabled());
  ASSERT_TRUE(Printer().BeginDoc());
  PrintingFrm->CancelPrint->Click();
  EXPECT_TRUE(Printer().Aborted());
  EXPECT_FALSE(Printer().Printing());
  PrintingFrm->CancelPrint->Click();
  Pump();
  EXPECT_EQ(PrintingFrm, nullptr);
  EXPECT_TRUE(owner.Enabled());
  Screen.SetCursor(crDefault);
}

}  // namespace
