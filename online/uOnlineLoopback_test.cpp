// The portable protocol code against real servers on 127.0.0.1, through the host's own
// sockets: SOCKS exchanges with microsocks and Dante, HTTP answers of Python's and nginx's
// servers, and the guide brought up to date from the scripted server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "online/tests/LoopbackServer.h"
#include "online/uGuide.h"
#include "online/uHttpProtocol.h"
#include "online/uSocks.h"
#include "tests/TestSupport.h"

namespace {

int ConnectLoopback(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = htons(static_cast<uint16_t>(port));
  sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin) != 0) {
    close(fd);
    return -1;
  }
  timeval tv{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  return fd;
}

void SendAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) throw std::runtime_error("send failed");
    done += static_cast<size_t>(n);
  }
}

// Runs the SOCKS exchange on a connected socket; returns the outcome.
tSocksNegotiator::tOutcome Negotiate(int fd, tSocksNegotiator& s) {
  std::vector<uint8_t> send;
  tSocksNegotiator::tOutcome outcome = s.Connected(send);
  if (outcome != tSocksNegotiator::kWaiting) return outcome;
  SendAll(fd, send);
  while (outcome == tSocksNegotiator::kWaiting) {
    uint8_t buffer[kSocksBufferSize];
    const ssize_t n = recv(fd, buffer, std::max<size_t>(1, s.WantBytes()), 0);
    if (n <= 0) return tSocksNegotiator::kFailed;
    outcome = s.Received(buffer, static_cast<size_t>(n), send);
    if (!send.empty()) SendAll(fd, send);
  }
  return outcome;
}

// Sends a GET on a connected socket and reads the answer to its end.
std::string HttpGetOn(int fd, const std::string& path, const std::vector<uint8_t>& already,
                      tHttpResponseParser& p) {
  tHttpRequest r;
  r.Path = path;
  r.Host = "127.0.0.1";
  r.NoCache = true;
  const std::string text = HttpRequestText(HttpRequestLines(r));
  SendAll(fd, std::vector<uint8_t>(text.begin(), text.end()));
  std::string body;
  p.OnDocData = [&body](const uint8_t* data, size_t length) {
    body.append(reinterpret_cast<const char*>(data), length);
  };
  if (!already.empty()) p.Feed(already.data(), already.size());
  uint8_t buffer[8192];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    p.Feed(buffer, static_cast<size_t>(n));
  }
  return body;
}

class OnlineLoopback : public testing::Test {
 protected:
  void SetUp() override {
    root_ = LoopbackScratch("root");
    WriteUnixFile(root_ + "/doc.htm", "<html>hello from loopback</html>\r\n");
  }
  std::string root_;
};

TEST_F(OnlineLoopback, Socks5ThroughMicrosocks) {
  tLoopbackServer web("http", root_);
  tLoopbackServer socks("microsocks", root_);
  ASSERT_TRUE(web.Ready() && socks.Ready());
  for (const char* addr : {"127.0.0.1", "localhost"}) {
    const int fd = ConnectLoopback(socks.Port());
    ASSERT_GE(fd, 0);
    tSocksNegotiator s;
    s.Level = "5";
    s.Addr = addr;
    s.TargetPort = static_cast<uint16_t>(web.Port());
    s.Start();
    ASSERT_EQ(Negotiate(fd, s), tSocksNegotiator::kSucceeded) << s.ErrorText;
    tHttpResponseParser p;
    EXPECT_EQ(HttpGetOn(fd, "/doc.htm", s.Leftover(), p), "<html>hello from loopback</html>\r\n");
    EXPECT_EQ(p.ResponseStatus, 200);
    close(fd);
  }
}

TEST_F(OnlineLoopback, Socks5UsercodeThroughMicrosocks) {
  tLoopbackServer web("nginx", root_);
  tLoopbackServer socks("microsocks", root_, "user", "secret");
  ASSERT_TRUE(web.Ready() && socks.Ready());
  for (const char* password : {"secret", "wrong"}) {
    const int fd = ConnectLoopback(socks.Port());
    ASSERT_GE(fd, 0);
    tSocksNegotiator s;
    s.Addr = "127.0.0.1";
    s.TargetPort = static_cast<uint16_t>(web.Port());
    s.AuthenticateUsercode = true;
    s.Usercode = "user";
    s.Password = password;
    std::vector<int> states;
    s.OnAuthState = [&](int state) { states.push_back(state); };
    s.Start();
    const tSocksNegotiator::tOutcome outcome = Negotiate(fd, s);
    if (std::string(password) == "secret") {
      ASSERT_EQ(outcome, tSocksNegotiator::kSucceeded) << s.ErrorText;
      EXPECT_EQ(states, (std::vector<int>{socksAuthStart, socksAuthSuccess}));
      tHttpResponseParser p;
      EXPECT_EQ(HttpGetOn(fd, "/doc.htm", s.Leftover(), p), "<html>hello from loopback</html>\r\n");
    } else {
      EXPECT_EQ(outcome, tSocksNegotiator::kFailed);
      EXPECT_EQ(s.ErrorCode, kSocksAuthenticationFailed);
    }
    close(fd);
  }
}

TEST_F(OnlineLoopback, Socks4ThroughDante) {
  tLoopbackServer web("http", root_);
  tLoopbackServer socks("dante", root_);
  ASSERT_TRUE(web.Ready() && socks.Ready());
  const int fd = ConnectLoopback(socks.Port());
  ASSERT_GE(fd, 0);
  tSocksNegotiator s;
  s.Level = "4";
  s.Addr = "127.0.0.1";
  s.TargetPort = static_cast<uint16_t>(web.Port());
  s.ResolveHost = [](const std::string& host) { return uint32_t(inet_addr(host.c_str())); };
  s.Start();
  ASSERT_EQ(Negotiate(fd, s), tSocksNegotiator::kSucceeded) << s.ErrorText;
  tHttpResponseParser p;
  EXPECT_EQ(HttpGetOn(fd, "/doc.htm", s.Leftover(), p), "<html>hello from loopback</html>\r\n");
  close(fd);

  // A port nobody listens on: Dante answers with a refusal.
  const int fd2 = ConnectLoopback(socks.Port());
  tSocksNegotiator r;
  r.Level = "4";
  r.Addr = "127.0.0.1";
  r.TargetPort = 1;
  r.ResolveHost = s.ResolveHost;
  r.Start();
  EXPECT_EQ(Negotiate(fd2, r), tSocksNegotiator::kFailed);
  EXPECT_EQ(r.ErrorCode, kSocksRequestRejected);
  close(fd2);
}

TEST_F(OnlineLoopback, NginxAnswersParse) {
  tLoopbackServer web("nginx", root_);
  ASSERT_TRUE(web.Ready());
  const std::tuple<const char*, int, const char*> cases[] = {
      {"/doc.htm", 200, "OK"}, {"/missing.htm", 404, "Not Found"}, {"/moved.htm", 302, "Moved Temporarily"}};
  for (const auto& [path, status, reason] : cases) {
    const int fd = ConnectLoopback(web.Port());
    tHttpResponseParser p;
    p.CurrentLocation = web.Url(path);
    const std::string body = HttpGetOn(fd, path, {}, p);
    close(fd);
    EXPECT_EQ(p.ResponseStatus, status) << path;
    EXPECT_EQ(p.ResponseReason, reason) << path;
    if (status == 200) {
      EXPECT_EQ(p.ContentSize, static_cast<int64_t>(body.size()));
      EXPECT_EQ(p.ContentKind, "text/html");
    }
    if (status == 302) {
      EXPECT_TRUE(p.Relocating);
      EXPECT_EQ(p.CurrentLocation, web.Url("/doc.htm"));
    }
  }
}

// The guide downloader's fetch routine over the host's sockets.
TGuide2::tFetch PosixFetch() {
  return [](const std::string& url, TStream& target,
            const std::function<void(int64_t, int64_t)>& progress) -> int64_t {
    const tHttpTarget t = ResolveHttpTarget(url, "", "80");
    const int fd = ConnectLoopback(std::atoi(t.Port.c_str()));
    if (fd < 0) throw EHttpException("Connection refused", 404);
    tHttpResponseParser p;
    p.OnDocData = [&](const uint8_t* data, size_t length) {
      target.Write(data, static_cast<int32_t>(length));
      progress(p.ContentSize, p.BytesReceived);
    };
    tHttpRequest r;
    r.Path = t.RequestPath;
    r.Host = t.HostHeader;
    const std::string text = HttpRequestText(HttpRequestLines(r));
    SendAll(fd, std::vector<uint8_t>(text.begin(), text.end()));
    uint8_t buffer[8192];
    for (;;) {
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      p.Feed(buffer, static_cast<size_t>(n));
    }
    close(fd);
    if (p.ResponseStatus >= 400) throw EHttpException(p.ResponseReason, p.ResponseStatus);
    if (!HttpBodyComplete(p.ContentSize, p.BytesReceived))
      throw EHttpException("Connection closed before the whole document arrived",
                           kHttpConnectionLost);
    return p.BytesReceived;
  };
}

TEST_F(OnlineLoopback, GuideUpToDateThenNothingFetched) {
  tLoopbackServer web("scripted", root_);
  ASSERT_TRUE(web.Ready());
  const uint32_t date = (46u << 25 | 3u << 21 | 4u << 16) | (10u << 11 | 20u << 5 | 15u);
  WriteUnixFile(root_ + "/doc/t32guide.htm", "<html>guide</html>");
  WriteUnixFile(root_ + "/doc/page2.htm", std::string(20000, 'p'));
  WriteUnixFile(root_ + "/t51g.htm",
                "<html>\nFiles=2\nVsn=5.10a\nurl=" + web.Url("/doc/") +
                    "\nname000=t32guide.htm\nsize000=18\ndate000=" + std::to_string(date) +
                    "\nname001=page2.htm\nsize001=20000\ndate001=" + std::to_string(date) +
                    "\n</html>\n");
  const std::string program = LoopbackScratch("program");
  TGuide2 guide;
  guide.ProgramFolder = program + "/";
  guide.LocalGuideName = "t32guide.htm";
  guide.IndexURL = web.Url("/t51g.htm");
  guide.Fetch = PosixFetch();
  ASSERT_EQ(guide.GetIndex(), 2);
  EXPECT_EQ(guide.CountFilesToGet(), 2);
  guide.UpdateGuide();
  EXPECT_EQ(guide.FilesGot, 2);
  EXPECT_EQ(ReadUnixFile(program + "/Doc/page2.htm"), std::string(20000, 'p'));
  EXPECT_EQ(FileAge(program + "/Doc/page2.htm"), date);
  EXPECT_EQ(web.RequestLog(), "/t51g.htm\n/doc/t32guide.htm\n/doc/page2.htm\n");

  ASSERT_EQ(guide.GetIndex(), 2);
  EXPECT_EQ(guide.CountFilesToGet(), 0);
  guide.UpdateGuide();
  EXPECT_EQ(web.RequestLog(), "/t51g.htm\n/doc/t32guide.htm\n/doc/page2.htm\n/t51g.htm\n");
}

}  // namespace
