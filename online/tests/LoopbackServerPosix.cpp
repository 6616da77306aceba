#include <unistd.h>

#include <atomic>
#include <vector>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "online/tests/LoopbackServer.h"
#include "tests/TestSupport.h"

namespace {
std::atomic<int> counter{0};

// The scratch folders go when the test program ends.
struct tScratchFolders {
  std::vector<std::string> paths;
  ~tScratchFolders();
} scratch;
}

tScratchFolders::~tScratchFolders() {
  for (const std::string& p : paths) {
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
  }
}

std::string tLoopbackServer::ScriptFolder() { return TAVIS_ONLINE_TESTS_DIR; }

std::string LoopbackScratch(const std::string& name) {
  const std::string path = "/tmp/tavis-online-" + std::to_string(getpid()) + "-" + name + "-" +
                           std::to_string(counter++);
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  scratch.paths.push_back(path);
  return path;
}

std::string ReadUnixFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteUnixFile(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

tLoopbackServer::tLoopbackServer(const std::string& kind, const std::string& root,
                                 const std::string& user, const std::string& password)
    : kind_(kind), state_(LoopbackScratch("state-" + kind)) {
  const std::string command = "/bin/sh '" + ScriptFolder() + "/loopback-server.sh' start " + kind +
                              " 0 '" + state_ + "' '" + root + "' '" + user + "' '" + password +
                              "' >/dev/null 2>&1";
  if (testsupport::Run(command) != 0) return;
  port_ = std::atoi(ReadUnixFile(state_ + "/" + kind + ".port").c_str());
}

tLoopbackServer::~tLoopbackServer() {
  testsupport::Run("/bin/sh '" + ScriptFolder() + "/loopback-server.sh' stop '" + state_ + "' " +
                   kind_ + " >/dev/null 2>&1");
  std::error_code ec;
  std::filesystem::remove_all(state_, ec);
}

std::string tLoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::string tLoopbackServer::RequestLog() const { return ReadUnixFile(state_ + "/scripted.requests"); }
