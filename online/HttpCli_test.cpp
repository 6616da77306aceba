// The socket and HTTP client under Wine against real servers on 127.0.0.1 (nginx, Python's
// http.server, the scripted server for hostile answers, microsocks and Dante), each started and
// stopped by the test.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>
#include <string>

#include "foundation/uBuffStream.h"
#include "framework/Application.h"
#include "online/HttpCli.h"
#include "online/WSocket.h"
#include "online/tests/LoopbackServer.h"

namespace {

class HttpCliTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = LoopbackScratch("root");
    WriteUnixFile(root_ + "/doc.htm", kDoc);
  }
  // Gets the address into memory; the document, or the exception's text and code.
  std::string Get(const std::string& url, int* code = nullptr, uint32_t timeout = 60000) {
    THttpCli http;
    http.URL = url;
    http.NoCache = true;
    http.Timeout = timeout;
    TMemoryStream body;
    http.ReceiveStream = &body;
    try {
      http.Get();
      relocations_ = http.RelocationCount();
      status_ = http.ResponseStatus();
      return std::string(body.Data().begin(), body.Data().end());
    } catch (const EHttpException& e) {
      relocations_ = http.RelocationCount();
      if (code) *code = e.ErrorCode;
      return std::string("error: ") + e.what();
    }
  }
  static constexpr const char* kDoc = "<html>hello from loopback</html>\r\n";
  std::string root_;
  int relocations_ = 0, status_ = 0;
};

TEST_F(HttpCliTest, GetsADocumentFromNginxAndPython) {
  for (const char* kind : {"nginx", "http"}) {
    tLoopbackServer web(kind, root_);
    REQUIRE_SERVER(web);
    EXPECT_EQ(Get(web.Url("/doc.htm")), kDoc) << kind;
    EXPECT_EQ(status_, 200);
  }
}

TEST_F(HttpCliTest, FollowsARelocationAndStopsALoop) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  EXPECT_EQ(Get(web.Url("/moved.htm")), kDoc);
  EXPECT_EQ(relocations_, 1);
  int code = 0;
  EXPECT_EQ(Get(web.Url("/loop.htm"), &code), "error: Too many relocations");
  EXPECT_EQ(code, kHttpTooManyRelocations);
  EXPECT_EQ(relocations_, kHttpMaxRelocations + 1);
}

TEST_F(HttpCliTest, NotFoundRaisesWithTheReason) {
  tLoopbackServer web("nginx", root_);
  REQUIRE_SERVER(web);
  int code = 0;
  EXPECT_EQ(Get(web.Url("/missing.htm"), &code), "error: Not Found");
  EXPECT_EQ(code, 404);
}

TEST_F(HttpCliTest, CutShortAnswersRaise) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  for (const char* path : {"/cut.bin", "/short.htm"}) {
    int code = 0;
    const std::string result = Get(web.Url(path), &code);
    EXPECT_EQ(result.rfind("error: ", 0), 0u) << path << ": " << result.substr(0, 80);
    EXPECT_EQ(code, kHttpConnectionLost) << path;
  }
  int code = 0;
  EXPECT_EQ(Get(web.Url("/long.htm"), &code), "error: HTTP line too long");
  EXPECT_EQ(code, kHttpLineTooLong);
  // Without a header the whole text is the body.
  EXPECT_EQ(Get(web.Url("/noheader.htm")), "<HTML>\r\n<body>No header</body>\r\n</HTML>\r\n");
}

TEST_F(HttpCliTest, SilentServerTimesOut) {
  tLoopbackServer web("scripted", root_);
  REQUIRE_SERVER(web);
  int code = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Get(web.Url("/silent.htm"), &code, 1500), "error: Request timed out");
  EXPECT_EQ(code, kHttpTimeout);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(HttpCliTest, NoServerAndNoHostGive404) {
  int code = 0;
  // Port 1 on loopback: nobody listens.
  const std::string refused = Get("http://127.0.0.1:1/x.htm", &code);
  EXPECT_EQ(code, 404);
  EXPECT_NE(refused.find("(Error #10061)"), std::string::npos) << refused;
  EXPECT_EQ(Get("http://no-such-host.invalid/x.htm", &code),
            "error: can't resolve hostname to IP address");
}

TEST_F(HttpCliTest, HandlerExceptionRaisesFromGet) {
  tLoopbackServer web("nginx", root_);
  REQUIRE_SERVER(web);
  THttpCli http;
  http.URL = web.Url("/doc.htm");
  http.OnDocData = [](THttpCli*, const uint8_t*, int) { throw std::runtime_error("handler broke"); };
  EXPECT_THROW(http.Get(), std::runtime_error);
  EXPECT_EQ(http.RequestState(), 0);
}

// A plain GET over TWSocket, optionally through a SOCKS server.
std::string SocketGet(int port, const std::string& socksLevel, int socksPort,
                      const std::string& user = "", const std::string& password = "",
                      int* socksError = nullptr) {
  TWSocket s;
  std::string received;
  bool done = false;
  s.OnSessionConnected = [&](TCustomWSocket* sock, int error) {
    if (error != 0) {
      done = true;
      return;
    }
    sock->SendStr("GET /doc.htm HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
  };
  s.OnDataAvailable = [&](TCustomWSocket* sock, int) {
    char buffer[4096];
    const int n = sock->Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<size_t>(n));
  };
  s.OnSessionClosed = [&](TCustomWSocket*, int) { done = true; };
  s.OnSocksError = [&](TCustomWSocket*, int error, const std::string&) {
    if (socksError) *socksError = error;
  };
  s.SetProto("tcp");
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(port));
  if (!socksLevel.empty()) {
    s.SetSocksServer("127.0.0.1");
    s.SetSocksPort(std::to_string(socksPort));
    s.SetSocksLevel(socksLevel);
    if (!user.empty()) {
      s.SocksAuthentication = socksAuthenticateUsercode;
      s.SocksUsercode = user;
      s.SocksPassword = password;
    }
  }
  s.Timeout = 20000;
  s.Connect();
  s.WaitUntilReady(done);
  const size_t body = received.find("\r\n\r\n");
  return body == std::string::npos ? "" : received.substr(body + 4);
}

TEST_F(HttpCliTest, SocketThroughSocksServers) {
  tLoopbackServer web("nginx", root_);
  tLoopbackServer micro("microsocks", root_);
  tLoopbackServer locked("microsocks", root_, "user", "secret");
  tLoopbackServer dante("dante", root_);
  REQUIRE_SERVER(web);
  REQUIRE_SERVER(micro);
  REQUIRE_SERVER(locked);
  REQUIRE_SERVER(dante);
  EXPECT_EQ(SocketGet(web.Port(), "", 0), kDoc);
  EXPECT_EQ(SocketGet(web.Port(), "5", micro.Port()), kDoc);
  EXPECT_EQ(SocketGet(web.Port(), "5", locked.Port(), "user", "secret"), kDoc);
  int error = 0;
  EXPECT_EQ(SocketGet(web.Port(), "5", locked.Port(), "user", "wrong", &error), "");
  EXPECT_EQ(error, kSocksAuthenticationFailed);
  EXPECT_EQ(SocketGet(web.Port(), "4", dante.Port()), kDoc);
}

TEST_F(HttpCliTest, LineModeHandsOutTheHeaderLineByLine) {
  tLoopbackServer web("nginx", root_);
  REQUIRE_SERVER(web);
  TWSocket s;
  std::vector<std::string> lines;
  bool done = false;
  s.SetLineMode(true);
  s.OnSessionConnected = [&](TCustomWSocket* sock, int error) {
    if (error == 0) sock->SendStr("GET /doc.htm HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
  };
  s.OnDataAvailable = [&](TCustomWSocket* sock, int) {
    char buffer[1024];
    const int n = sock->Receive(buffer, sizeof buffer);
    if (n > 0) lines.emplace_back(buffer, static_cast<size_t>(n));
  };
  s.OnSessionClosed = [&](TCustomWSocket*, int) { done = true; };
  s.SetAddr("127.0.0.1");
  s.SetPort(std::to_string(web.Port()));
  s.Timeout = 20000;
  s.Connect();
  EXPECT_EQ(s.WaitUntilReady(done), 0);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "HTTP/1.1 200 OK\r\n");
  for (const std::string& line : lines) EXPECT_EQ(line.substr(line.size() - 2), "\r\n") << line;
  EXPECT_EQ(lines.back(), kDoc);
}

TEST(WSocket, StateRulesAndLibraryLifetime) {
  {
    TWSocket s;
    std::string message;
    s.OnError = [&](TCustomWSocket*) { message = "reported"; };
    // Sending without a connection reports 10057 and gives -1.
    EXPECT_EQ(s.SendStr("x"), -1);
    EXPECT_EQ(s.LastError, 10057);
    EXPECT_TRUE(TCustomWSocket::LibraryLoaded());
    int lookups = 0;
    s.OnDnsLookupDone = [&](TCustomWSocket*, int error) {
      ++lookups;
      EXPECT_EQ(error, 0);
    };
    s.DnsLookup("127.0.0.1");
    EXPECT_EQ(lookups, 1);  // at once, without a message
    EXPECT_EQ(s.DnsResult, "127.0.0.1");
    EXPECT_EQ(TCustomWSocket::WSocketResolvePort("http", "tcp"), 80);
    EXPECT_THROW(TCustomWSocket::WSocketResolvePort(std::string(32, '1'), "tcp"), ESocketException);
    EXPECT_EQ(TCustomWSocket::WSocketResolveHost(" 127.0.0.1 "), 0x0100007Fu);
  }
  EXPECT_FALSE(TCustomWSocket::LibraryLoaded());
  TWSocket again;
  EXPECT_THROW(again.Connect(), ESocketException);  // no port yet
  try {
    again.Connect();
  } catch (const ESocketException& e) {
    EXPECT_STREQ(e.what(), "Connect: No Port Specified");
  }
  EXPECT_THROW(again.SetSocksLevel("6"), ESocketException);
  again.SetSocksLevel("4a");
  EXPECT_EQ(again.SocksLevel(), "4A");
}

}  // namespace
