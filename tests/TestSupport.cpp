#include "tests/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#ifndef TAVIS_TESTDATA_DEFAULT
#define TAVIS_TESTDATA_DEFAULT "../shared/testdata"
#endif

namespace fs = std::filesystem;

namespace {
long CurrentProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}
}  // namespace

namespace testsupport {

fs::path TestData(const std::string& relative) {
  const char* env = std::getenv("TAVIS_TESTDATA");
  fs::path base = env && *env ? fs::path(env) : fs::path(TAVIS_TESTDATA_DEFAULT);
  return relative.empty() ? base : base / relative;
}

fs::path ScratchDir(const std::string& name) {
  // ctest runs test cases as parallel processes: each gets its own folder.
  fs::path dir = fs::temp_directory_path() /
                 ("tavis_test_" + name + "_" + std::to_string(CurrentProcessId()));
  std::error_code ec;
  // A folder left by an earlier run under the same process id (Wine reuses them) may hold
  // read-only copies, which Windows will not delete: make them writable first.
  for (const auto& e : fs::recursive_directory_iterator(dir, ec))
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  return dir;
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

bool HaveTools() {
#ifdef _WIN32
  return false;
#else
  return true;
#endif
}

bool HaveTool(const std::string& program) {
  return HaveTools() && Run("command -v " + program + " >/dev/null 2>&1") == 0;
}

int Run(const std::string& command, std::vector<uint8_t>* out) {
#ifdef _WIN32
  (void)command;
  (void)out;
  return -1;
#else
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  std::vector<uint8_t> sink;
  std::vector<uint8_t>& buf = out ? *out : sink;
  buf.clear();
  char chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) buf.insert(buf.end(), chunk, chunk + n);
  int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

namespace {
struct Cursor {
  const std::vector<uint8_t>& d;
  size_t i = 0;
  void SkipSpace() {
    while (i < d.size()) {
      if (d[i] == '#') {
        while (i < d.size() && d[i] != '\n') ++i;
      } else if (d[i] == ' ' || d[i] == '\t' || d[i] == '\n' || d[i] == '\r') {
        ++i;
      } else {
        break;
      }
    }
  }
  bool Number(long& v) {
    SkipSpace();
    if (i >= d.size() || d[i] < '0' || d[i] > '9') return false;
    v = 0;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9') {
      v = v * 10 + (d[i++] - '0');
      if (v > 1000000) return false;
    }
    return true;
  }
  std::string Token() {
    SkipSpace();
    std::string t;
    while (i < d.size() && !isspace(d[i])) t += static_cast<char>(d[i++]);
    return t;
  }
};
}  // namespace

bool ParseNetpbm(const std::vector<uint8_t>& data, RgbImage& img) {
  if (data.size() < 3 || data[0] != 'P') return false;
  char kind = static_cast<char>(data[1]);
  Cursor c{data, 2};
  long w = 0, h = 0, maxval = 1, depth = 0;
  if (kind == '7') {
    for (;;) {
      std::string key = c.Token();
      if (key == "ENDHDR") break;
      if (key.empty()) return false;
      if (key == "WIDTH") c.Number(w);
      else if (key == "HEIGHT") c.Number(h);
      else if (key == "DEPTH") c.Number(depth);
      else if (key == "MAXVAL") c.Number(maxval);
      else if (key == "TUPLTYPE") c.Token();
    }
    if (c.i < data.size()) ++c.i;  // the newline after ENDHDR
  } else {
    if (!c.Number(w) || !c.Number(h)) return false;
    if (kind != '1' && kind != '4' && !c.Number(maxval)) return false;
    depth = (kind == '3' || kind == '6') ? 3 : 1;
    if (kind >= '4') ++c.i;  // one white-space character before raw data
  }
  if (w <= 0 || h <= 0 || maxval < 1 || maxval > 65535 || depth < 1 || depth > 4) return false;
  img.width = static_cast<int>(w);
  img.height = static_cast<int>(h);
  img.channels = static_cast<int>(depth);
  img.maxval = static_cast<int>(maxval);
  size_t count = static_cast<size_t>(w) * h * depth;
  img.samples.assign(count, 0);
  bool plain = kind >= '1' && kind <= '3';
  if (kind == '4') {
    size_t stride = (w + 7) / 8;
    if (c.i + stride * h > data.size()) return false;
    for (long y = 0; y < h; ++y)
      for (long x = 0; x < w; ++x) {
        int bit = (data[c.i + y * stride + x / 8] >> (7 - x % 8)) & 1;
        img.samples[y * w + x] = bit ? 0 : 1;  // PBM 1 = black; maxval 1 means 1 = white
      }
    return true;
  }
  for (size_t k = 0; k < count; ++k) {
    if (plain) {
      long v;
      if (kind == '1') {
        c.SkipSpace();
        if (c.i >= data.size()) return false;
        v = data[c.i++] == '1' ? 0 : 1;
      } else if (!c.Number(v)) {
        return false;
      }
      img.samples[k] = static_cast<uint16_t>(v);
    } else if (maxval < 256) {
      if (c.i >= data.size()) return false;
      img.samples[k] = data[c.i++];
    } else {
      if (c.i + 1 >= data.size()) return false;
      img.samples[k] = static_cast<uint16_t>(data[c.i] << 8 | data[c.i + 1]);
      c.i += 2;
    }
  }
  return true;
}

}  // namespace testsupport
