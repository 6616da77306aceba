// Printing through the real spooler, for the Windows tests: inside tests/cups-session Wine
// prints to CUPS, whose cups-pdf printer makes a PDF in TAVIS_PRINT_OUT; poppler's pdftotext
// (run as a Unix program) gives its pages' text back. The tests skip without such a printer.
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

class PrintedPagesTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* out = std::getenv("TAVIS_PRINT_OUT");
    if (!out || !*out || !Printer().Available()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
    unixOut_ = out;
    out_ = std::filesystem::path("Z:" + unixOut_);
    for (auto& p : std::filesystem::directory_iterator(out_)) before_.insert(p.path().filename().string());
  }
  // The pages of the PDF the job made (text of each page). The printer's folder is shared by
  // every session of the machine's user: namePrefix (the job title as cups-pdf writes it, spaces
  // as "_") keeps another session's print from being taken for this one.
  std::vector<std::string> PrintedPages(const std::string& namePrefix = "") {
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
    pdfFound_ = true;
    before_.insert(pdf.filename().string());
    // Written whole once it ends in the end-of-file mark and its size holds still.
    for (int i = 0; i < 300; ++i, Sleep(200)) {
      const auto bytes = ReadFile(pdf);
      const std::string tail(bytes.end() - std::min<size_t>(bytes.size(), 16), bytes.end());
      if (tail.find("%%EOF") == std::string::npos) continue;
      Sleep(500);
      if (fs::file_size(pdf) == bytes.size()) break;
    }
    const std::string name = pdf.filename().string();
    const std::string text = name + ".txt";
    std::wstring cmd = L"/usr/bin/pdftotext -layout \"" + Wide(unixOut_ + "/" + name) + L"\" \"" +
                       Wide(unixOut_ + "/" + text) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      WaitForSingleObject(pi.hProcess, 30000);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    for (int i = 0; i < 300 && !fs::exists(out_ / text); ++i) Sleep(100);
    Sleep(300);
    const auto bytes = ReadFile(out_ / text);
    std::error_code ec;
    fs::remove(out_ / text, ec);
    if (!std::getenv("TAVIS_KEEP_PRINTS")) fs::remove(pdf, ec);
    std::vector<std::string> pages;
    std::string all(bytes.begin(), bytes.end());
    size_t start = 0;
    for (size_t ff = all.find('\f'); ff != std::string::npos; ff = all.find('\f', start)) {
      pages.push_back(all.substr(start, ff - start));
      start = ff + 1;
    }
    return pages;
  }

 protected:
  // The job's PDF came, whatever its text gave.
  bool pdfFound_ = false;

 private:
  static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
  std::string unixOut_;
  std::filesystem::path out_;
  std::set<std::string> before_;
};

}  // namespace testsupport
