// Under Wine the servers still run as Unix programs: Wine starts a Unix program given by its
// Unix path, and the test reads the script's files through drive Z:.
#include <windows.h>

#include <atomic>
#include <vector>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "online/tests/LoopbackServer.h"

namespace {

std::atomic<int> counter{0};

// The scratch folders go when the test program ends.
struct tScratchFolders {
  std::vector<std::string> paths;
  ~tScratchFolders();
} scratch;

std::filesystem::path OnZ(const std::string& unixPath) {
  return std::filesystem::path(std::u8string(u8"Z:") +
                               std::u8string(unixPath.begin(), unixPath.end()));
}

// Starts a Unix command; Wine gives no handle to wait on, so callers poll for its files.
bool RunUnix(const std::string& command) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = command;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  // Wine gives no handles for a Unix program and leaves stale values in the structure: under
  // 32-bit Wine they can name handles of our own (standard output among them), so none is
  // closed.
  return true;
}

bool WaitForFile(const std::string& unixPath, bool present, int ms) {
  for (int waited = 0; waited < ms; waited += 50) {
    std::error_code ec;
    if (std::filesystem::exists(OnZ(unixPath), ec) == present) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

tScratchFolders::~tScratchFolders() {
  for (const std::string& p : paths) {
    std::error_code ec;
    std::filesystem::remove_all(OnZ(p), ec);
  }
}

std::string tLoopbackServer::ScriptFolder() { return TAVIS_ONLINE_TESTS_DIR; }

std::string LoopbackScratch(const std::string& name) {
  const std::string path = "/tmp/tavis-online-w" + std::to_string(GetCurrentProcessId()) + "-" +
                           name + "-" + std::to_string(counter++);
  std::error_code ec;
  std::filesystem::remove_all(OnZ(path), ec);
  std::filesystem::create_directories(OnZ(path), ec);
  scratch.paths.push_back(path);
  return path;
}

std::string ReadUnixFile(const std::string& path) {
  std::ifstream in(OnZ(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteUnixFile(const std::string& path, const std::string& data) {
  std::error_code ec;
  std::filesystem::create_directories(OnZ(path).parent_path(), ec);
  std::ofstream(OnZ(path), std::ios::binary) << data;
}

tLoopbackServer::tLoopbackServer(const std::string& kind, const std::string& root,
                                 const std::string& user, const std::string& password)
    : kind_(kind), state_(LoopbackScratch("state-" + kind)) {
  const std::string command = "/bin/sh " + ScriptFolder() + "/loopback-server.sh start " + kind +
                              " 0 " + state_ + " " + root + " " + user + " " + password;
  if (!RunUnix(command)) return;
  for (int waited = 0; waited < 20000; waited += 50) {
    std::error_code ec;
    if (std::filesystem::exists(OnZ(state_ + "/" + kind + ".ready"), ec)) {
      port_ = std::atoi(ReadUnixFile(state_ + "/" + kind + ".port").c_str());
      return;
    }
    if (std::filesystem::exists(OnZ(state_ + "/" + kind + ".failed"), ec)) return;
    Sleep(50);
  }
}

tLoopbackServer::~tLoopbackServer() {
  // The folder goes only once the script has finished with it: an entry that vanishes while
  // the folder is being removed can leave the removal going round for ever.
  if (RunUnix("/bin/sh " + ScriptFolder() + "/loopback-server.sh stop " + state_ + " " + kind_))
    WaitForFile(state_ + "/" + kind_ + ".stopped", true, 15000);
  std::error_code ec;
  std::filesystem::remove_all(OnZ(state_), ec);
}

std::string tLoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string tLoopbackServer::RequestLog() const { return ReadUnixFile(state_ + "/scripted.requests"); }
