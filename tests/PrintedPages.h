// Printing through the real spooler, for the Windows tests: inside tests/cups-session Wine
// prints to CUPS, whose cups-pdf printer makes a PDF in TAVIS_PRINT_OUT; poppler's pdftotext
// and pdftoppm (run as Unix programs) give its pages' text and pictures back. The tests skip
// without such a printer.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "framework/Printer.h"
#include "tests/TestSupport.h"

namespace testsupport {

// The PDFs that the printer makes while a test runs.
class PrintOutput {
 public:
  // False without a printer.
  bool Start() {
    const char* out = std::getenv("TAVIS_PRINT_OUT");
    if (!out || !*out || !Printer().Available()) return false;
    unixOut_ = out;
    out_ = std::filesystem::path("Z:" + unixOut_);
    for (auto& p : std::filesystem::directory_iterator(out_)) before_.insert(p.path().filename().string());
    return true;
  }
  // The name of the next PDF (in the output folder), once it is written whole; empty when none
  // came. The printer's folder is shared by every session of the machine's user: namePrefix (the
  // job title as cups-pdf writes it, spaces as "_") keeps another session's print from being
  // taken for this one.
  std::string NextPdf(const std::string& namePrefix = "") {
    namespace fs = std::filesystem;
    fs::path pdf;
    for (int i = 0; i < 600 && pdf.empty(); ++i) {
      Sleep(100);
      for (auto& p : fs::directory_iterator(out_))
        if (p.path().extension() == ".pdf" && !before_.count(p.path().filename().string()) &&
            p.path().filename().string().rfind(namePrefix, 0) == 0)
          pdf = p.path();
    }
    if (pdf.empty()) return {};
    before_.insert(pdf.filename().string());
    // Written whole once it ends in the end-of-file mark and its size holds still.
    for (int i = 0; i < 300; ++i, Sleep(200)) {
      const auto bytes = ReadFile(pdf);
      const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 16), bytes.end());
      if (tail.find("%%EOF") == std::string::npos) continue;
      Sleep(500);
      if (fs::file_size(pdf) == bytes.size()) break;
    }
    return pdf.filename().string();
  }
  // The text of each page (poppler's pdftotext).
  std::vector<std::string> PageTexts(const std::string& pdf) {
    const auto bytes = RunTool(L"/usr/bin/pdftotext -layout", pdf, pdf + ".txt", pdf + ".txt");
    std::vector<std::string> pages;
    std::string all(bytes.begin(), bytes.end());
    size_t start = 0;
    for (size_t ff = all.find('\f'); ff != std::string::npos; ff = all.find('\f', start)) {
      pages.push_back(all.substr(start, ff - start));
      start = ff + 1;
    }
    return pages;
  }
  // The first page as a picture at the given resolution (poppler's pdftoppm).
  bool PagePicture(const std::string& pdf, int dpi, RgbImage& page) {
    const std::wstring tool = L"/usr/bin/pdftoppm -singlefile -f 1 -l 1 -r " + std::to_wstring(dpi);
    return ParseNetpbm(RunTool(tool, pdf, pdf + ".page", pdf + ".page.ppm"), page);
  }
  void Remove(const std::string& pdf) {
    std::error_code ec;
    if (!std::getenv("TAVIS_KEEP_PRINTS")) std::filesystem::remove(out_ / pdf, ec);
  }

 private:
  static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
  // Runs a Unix tool on a PDF of the output folder; gives back the file it made there.
  std::vector<uint8_t> RunTool(const std::wstring& tool, const std::string& pdf,
                               const std::string& outArg, const std::string& made) {
    namespace fs = std::filesystem;
    std::wstring cmd = tool + L" \"" + Wide(unixOut_ + "/" + pdf) + L"\" \"" +
                       Wide(unixOut_ + "/" + outArg) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Wine leaves the process information of a Unix program stale (it may name this program's
    // standard output): no wait on it and no close.
    CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    // A Unix program started from Wine is not waited for: its file is read once it holds still.
    for (int i = 0; i < 300 && !fs::exists(out_ / made); ++i) Sleep(100);
    std::error_code ec;
    for (int i = 0; i < 50; ++i) {
      const auto size = fs::file_size(out_ / made, ec);
      Sleep(300);
      if (!ec && size > 0 && fs::file_size(out_ / made, ec) == size) break;
    }
    const auto bytes = ReadFile(out_ / made);
    fs::remove(out_ / made, ec);
    return bytes;
  }
  std::string unixOut_;
  std::filesystem::path out_;
  std::set<std::string> before_;
};

class PrintedPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!output_.Start()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
  }
  // The pages of the PDF the job made (text of each page); namePrefix as for NextPdf.
  std::vector<std::string> PrintedPages(const std::string& namePrefix = "") {
    const std::string pdf = output_.NextPdf(namePrefix);
    if (pdf.empty()) return {};
    pdfFound_ = true;
    auto pages = output_.PageTexts(pdf);
    output_.Remove(pdf);
    return pages;
  }
  // The job's PDF came, whatever its text gave.
  bool pdfFound_ = false;

 private:
  PrintOutput output_;
};

}  // namespace testsupport
