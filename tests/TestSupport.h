// Shared helpers for the tests: where the independent test files are, scratch folders,
// and (natively) running Debian's reference tools.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"

namespace testsupport {

// ../shared/testdata, or $TAVIS_TESTDATA.
std::filesystem::path TestData(const std::string& relative = "");
// A fresh, empty folder for this test process, removed by the next call with the same name.
std::filesystem::path ScratchDir(const std::string& name);
std::vector<uint8_t> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& data);

// True where the reference tools can run (the native build, not under Wine).
bool HaveTools();
// True when the named program is on PATH.
bool HaveTool(const std::string& program);
// Runs a shell command; returns its exit code. stdout goes to *out when given.
int Run(const std::string& command, std::vector<uint8_t>* out = nullptr);

// A decoded picture in RGB(A) as netpbm and PIL give it.
struct RgbImage {
  int width = 0, height = 0, channels = 3;  // 1 grey, 3 RGB, 4 RGBA
  int maxval = 255;
  std::vector<uint16_t> samples;  // row-major, top row first
};
// Parses PBM/PGM/PPM/PAM (raw or plain). Returns false on malformed input.
bool ParseNetpbm(const std::vector<uint8_t>& data, RgbImage& image);

// Installs a plain platform whose answers a test sets (known separators, clock, screen); the
// one in use comes back afterwards.
class tPlainPlatformTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = &Platform();
    SetPlatform(&plain_);
  }
  void TearDown() override { SetPlatform(saved_); }
  tPlainPlatform plain_;
  tPlatform* saved_ = nullptr;
};

}  // namespace testsupport
