// A server from Debian (or the scripted one) on 127.0.0.1 for the length of a test: started by
// the constructor through loopback-server.sh, stopped by the destructor, also when the test
// fails. Native tests and the Windows test programs under Wine use the same script.
#pragma once
#include <string>

class tLoopbackServer {
 public:
  // kind: "http", "scripted", "nginx", "microsocks" or "dante". root: the folder served (a
  // host path: Unix natively, and under Wine too, where the server runs outside Wine).
  tLoopbackServer(const std::string& kind, const std::string& root, const std::string& user = "",
                  const std::string& password = "");
  ~tLoopbackServer();
  tLoopbackServer(const tLoopbackServer&) = delete;
  tLoopbackServer& operator=(const tLoopbackServer&) = delete;

  bool Ready() const { return port_ != 0; }
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  // The Unix folder of the server's pid, log and port files.
  const std::string& StateFolder() const { return state_; }
  // The request paths the scripted server has logged so far.
  std::string RequestLog() const;

  // The folder of the script (a Unix path).
  static std::string ScriptFolder();

 private:
  std::string kind_, state_;
  int port_ = 0;
};

// Requires the server to be up.
#define REQUIRE_SERVER(server) ASSERT_TRUE((server).Ready())

// A fresh Unix folder for files a server serves or writes; removed when the program ends.
std::string LoopbackScratch(const std::string& name);
// Reads a whole file by its Unix path ('' when missing).
std::string ReadUnixFile(const std::string& path);
void WriteUnixFile(const std::string& path, const std::string& data);
