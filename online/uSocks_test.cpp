#include "online/uSocks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) b.push_back(static_cast<uint8_t>(v));
  return b;
}

// Feeds a reply in pieces of `step` bytes (as the socket may deliver it); returns the outcome
// of the last piece and collects what the negotiator wants sent.
tSocksNegotiator::tOutcome FeedSplit(tSocksNegotiator& s, const Bytes& reply, size_t step,
                                     Bytes& sent) {
  tSocksNegotiator::tOutcome outcome = tSocksNegotiator::kWaiting;
  for (size_t i = 0; i < reply.size(); i += step) {
    Bytes send;
    const size_t n = std::min(step, reply.size() - i);
    outcome = s.Received(reply.data() + i, n, send);
    sent.insert(sent.end(), send.begin(), send.end());
    if (outcome == tSocksNegotiator::kFailed) {
      EXPECT_EQ(i + n, reply.size()) << "failed before the last byte";
      break;
    }
  }
  return outcome;
}

tSocksNegotiator Socks5(const std::string& addr = "host.example", bool auth = false) {
  tSocksNegotiator s;
  s.Level = "5";
  s.Addr = addr;
  s.TargetPort = 80;
  s.AuthenticateUsercode = auth;
  s.Usercode = "user";
  s.Password = "pw";
  s.Start();
  return s;
}

TEST(Socks, LevelNames) {
  std::string level;
  EXPECT_TRUE(NormalizeSocksLevel("4a", level));
  EXPECT_EQ(level, "4A");
  for (const char* ok : {"4", "4A", "5"}) EXPECT_TRUE(NormalizeSocksLevel(ok, level)) << ok;
  for (const char* bad : {"", "6", "4b", "5 ", "socks5"})
    EXPECT_FALSE(NormalizeSocksLevel(bad, level)) << bad;
}

TEST(Socks, Socks5WithoutAuthenticationAtEverySplit) {
  for (size_t step = 1; step <= 12; ++step) {
    tSocksNegotiator s = Socks5("10.0.0.1");
    Bytes greeting;
    ASSERT_EQ(s.Connected(greeting), tSocksNegotiator::kWaiting);
    EXPECT_EQ(greeting, B({5, 1, 0}));
    Bytes sent;
    EXPECT_EQ(FeedSplit(s, B({5, 0}), step, sent), tSocksNegotiator::kWaiting);
    // A dotted address goes as a name: type 3, length 8, its characters.
    EXPECT_EQ(sent, B({5, 1, 0, 3, 8, '1', '0', '.', '0', '.', '0', '.', '1', 0, 80}));
    EXPECT_EQ(s.Phase(), 3);
    sent.clear();
    // Reply with an IPv4 bound address, then two bytes that belong to the user.
    EXPECT_EQ(FeedSplit(s, B({5, 0, 0, 1, 127, 0, 0, 1, 4, 0, 'h', 'i'}), step, sent),
              tSocksNegotiator::kSucceeded);
    EXPECT_EQ(s.Phase(), 0);
    EXPECT_EQ(s.Leftover(), B({'h', 'i'})) << "step " << step;
  }
}

TEST(Socks, Socks5NameReplyAndAuthentication) {
  for (size_t step : {size_t(1), size_t(2), size_t(100)}) {
    tSocksNegotiator s = Socks5("host.example", true);
    std::vector<int> states;
    s.OnAuthState = [&](int state) { states.push_back(state); };
    Bytes send;
    s.Connected(send);
    EXPECT_EQ(send, B({5, 1, 2}));
    Bytes sent;
    FeedSplit(s, B({5, 2}), step, sent);
    EXPECT_EQ(sent, B({1, 4, 'u', 's', 'e', 'r', 2, 'p', 'w'}));
    EXPECT_EQ(s.Phase(), 2);
    sent.clear();
    FeedSplit(s, B({1, 0}), step, sent);
    EXPECT_EQ(s.Phase(), 3);
    EXPECT_EQ(sent.size(), 5u + 12 + 2);
    sent.clear();
    EXPECT_EQ(FeedSplit(s, B({5, 0, 0, 3, 3, 'a', 'b', 'c', 0, 80}), step, sent),
              tSocksNegotiator::kSucceeded);
    EXPECT_TRUE(s.Leftover().empty());
    EXPECT_EQ(states, (std::vector<int>{socksAuthStart, socksAuthSuccess}));
  }
}

TEST(Socks, AuthenticationOfferedButNotRequired) {
  tSocksNegotiator s = Socks5("h", true);
  std::vector<int> states;
  s.OnAuthState = [&](int state) { states.push_back(state); };
  Bytes send, sent;
  s.Connected(send);
  FeedSplit(s, B({5, 0}), 1, sent);
  EXPECT_EQ(states, std::vector<int>{socksAuthNotRequired});
  EXPECT_EQ(s.Phase(), 3);
}

struct FailCase {
  const char* name;
  std::string level;
  bool auth;
  std::vector<Bytes> replies;  // before the last, each must leave the exchange waiting
  int code;
  const char* text;
  bool wholeOnly = false;  // only when the reply arrives in one read
};

TEST(Socks, EveryFailure) {
  const FailCase cases[] = {
      {"method 255", "5", false, {B({5, 255})}, 20003, "authentification method not acceptable"},
      {"method version", "5", false, {B({4, 0})}, 20002, "socks version error"},
      {"user version", "5", true, {B({5, 2}), B({2})}, 20002, "socks version error"},
      {"user refused", "5", true, {B({5, 2}), B({1, 1})}, 20015, "socks authentication failed"},
      {"user too much", "5", true, {B({5, 2}), B({1, 0, 0})}, 20001, "too much data availaible", true},
      {"reply version", "5", false, {B({5, 0}), B({4})}, 20002, "socks version error"},
      {"code 1", "5", false, {B({5, 0}), B({5, 1})}, 20004, "general SOCKS server failure"},
      {"code 2", "5", false, {B({5, 0}), B({5, 2})}, 20005, "connection not allowed by ruleset"},
      {"code 3", "5", false, {B({5, 0}), B({5, 3})}, 20006, "network unreachable"},
      {"code 4", "5", false, {B({5, 0}), B({5, 4})}, 20007, "host unreachable"},
      {"code 5", "5", false, {B({5, 0}), B({5, 5})}, 20008, "connection refused"},
      {"code 6", "5", false, {B({5, 0}), B({5, 6})}, 20009, "time to live expired"},
      {"code 7", "5", false, {B({5, 0}), B({5, 7})}, 20010, "command not supported"},
      {"code 8", "5", false, {B({5, 0}), B({5, 8})}, 20011, "address type not supported"},
      {"code 9", "5", false, {B({5, 0}), B({5, 9})}, 20012, "unassigned error #9"},
      {"type 4", "5", false, {B({5, 0}), B({5, 0, 0, 4, 0})}, 20011, "address type not supported"},
      {"4 version", "4", false, {B({1, 90, 0, 0, 0, 0, 0, 0})}, 20002, "socks version error"},
      {"4 code 91", "4", false, {B({0, 91, 0, 0, 0, 0, 0, 0})}, 20016, "request rejected or failed"},
      {"4 code 92", "4", false, {B({0, 92, 0, 0, 0, 0, 0, 0})}, 20008, "connection refused"},
      {"4 code 93", "4A", false, {B({0, 93, 0, 0, 0, 0, 0, 0})}, 20015, "authentification failed"},
      {"4 code 17", "4", false, {B({0, 17, 0, 0, 0, 0, 0, 0})}, 20012, "unassigned error #17"},
  };
  for (const FailCase& c : cases) {
    for (size_t step : {size_t(1), size_t(64)}) {
      if (c.wholeOnly && step == 1) continue;
      tSocksNegotiator s;
      s.Level = c.level;
      s.AuthenticateUsercode = c.auth;
      s.Addr = "127.0.0.1";
      s.TargetPort = 80;
      s.ResolveHost = [](const std::string&) { return uint32_t(0x0100007F); };
      s.Start();
      Bytes send;
      s.Connected(send);
      tSocksNegotiator::tOutcome outcome = tSocksNegotiator::kWaiting;
      for (size_t r = 0; r < c.replies.size(); ++r) {
        Bytes sent;
        outcome = FeedSplit(s, c.replies[r], step, sent);
        if (r + 1 < c.replies.size()) {
          ASSERT_EQ(outcome, tSocksNegotiator::kWaiting) << c.name;
        }
      }
      EXPECT_EQ(outcome, tSocksNegotiator::kFailed) << c.name;
      EXPECT_EQ(s.ErrorCode, c.code) << c.name;
      EXPECT_EQ(s.ErrorText, c.text) << c.name;
      EXPECT_EQ(s.Phase(), 0) << c.name;
    }
  }
}

TEST(Socks, Socks4DataInMethodPhaseIsALogicError) {
  tSocksNegotiator s;
  s.Level = "4";
  s.Start();
  Bytes send;
  EXPECT_EQ(s.Received(B({0}).data(), 1, send), tSocksNegotiator::kFailed);
  EXPECT_EQ(s.ErrorCode, 20001);
  EXPECT_EQ(s.ErrorText, "TWSocket logic error");
}

TEST(Socks, Socks4And4ARequests) {
  tSocksNegotiator s;
  s.Level = "4";
  s.Addr = "192.168.1.2";
  s.TargetPort = 0x1F90;
  s.Usercode = "bob";
  s.ResolveHost = [](const std::string&) { return uint32_t(0x0201A8C0); };  // network order
  s.Start();
  Bytes send;
  EXPECT_EQ(s.Connected(send), tSocksNegotiator::kWaiting);
  EXPECT_EQ(send, B({4, 1, 0x1F, 0x90, 192, 168, 1, 2, 'b', 'o', 'b', 0}));
  EXPECT_EQ(s.WantBytes(), 8u);
  Bytes sent;
  EXPECT_EQ(FeedSplit(s, B({0, 90, 0, 0, 0, 0, 0, 0}), 1, sent), tSocksNegotiator::kSucceeded);

  tSocksNegotiator a;
  a.Level = "4A";
  a.Addr = "h.example";
  a.TargetPort = 80;
  a.Start();
  a.Connected(send);
  EXPECT_EQ(send, B({4, 1, 0, 80, 0, 0, 0, 1, 0, 'h', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e', 0}));
}

TEST(Socks, Socks4UnresolvableTarget) {
  tSocksNegotiator s;
  s.Level = "4";
  s.Addr = "nowhere.invalid";
  s.ResolveHost = [](const std::string&) -> uint32_t {
    throw std::runtime_error("WSocketResolveHost: Cannot convert host address");
  };
  s.Start();
  Bytes send;
  EXPECT_EQ(s.Connected(send), tSocksNegotiator::kFailed);
  EXPECT_TRUE(send.empty());
  EXPECT_EQ(s.ErrorCode, 20017);
  EXPECT_NE(s.ErrorText.find("Cannot convert host address"), std::string::npos);
}

TEST(Socks, RequestsLongerThanTheBufferFailBeforeSending) {
  // 121 characters fit a SOCKS 5 request, 122 do not.
  tSocksNegotiator fits = Socks5(std::string(121, 'a'));
  Bytes send, sent;
  fits.Connected(send);
  EXPECT_EQ(FeedSplit(fits, B({5, 0}), 2, sent), tSocksNegotiator::kWaiting);
  EXPECT_EQ(sent.size(), 128u);

  tSocksNegotiator s = Socks5(std::string(122, 'a'));
  s.Connected(send);
  sent.clear();
  EXPECT_EQ(FeedSplit(s, B({5, 0}), 2, sent), tSocksNegotiator::kFailed);
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(s.ErrorCode, kSocksRequestTooLong);

  tSocksNegotiator u = Socks5("h", true);
  u.Usercode = std::string(100, 'u');
  u.Password = std::string(26, 'p');
  u.Connected(send);
  sent.clear();
  EXPECT_EQ(FeedSplit(u, B({5, 2}), 2, sent), tSocksNegotiator::kFailed);
  EXPECT_TRUE(sent.empty());

  tSocksNegotiator f;
  f.Level = "4A";
  f.Addr = std::string(60, 'h');
  f.Usercode = std::string(59, 'u');  // 59 + 1 + 60 + 1 = 121 > 120
  f.Start();
  EXPECT_EQ(f.Connected(send), tSocksNegotiator::kFailed);
  EXPECT_TRUE(send.empty());
}

TEST(Socks, BoundNameLongerThanTheReplyBufferFails) {
  tSocksNegotiator s = Socks5();
  Bytes send, sent;
  s.Connected(send);
  FeedSplit(s, B({5, 0}), 2, sent);
  Bytes reply = B({5, 0, 0, 3, 200});
  reply.resize(5 + 200 + 2, 'x');
  tSocksNegotiator::tOutcome outcome = tSocksNegotiator::kWaiting;
  size_t fed = 0;
  // However it arrives, the exchange ends once the buffer is full instead of waiting forever.
  while (fed < reply.size() && outcome == tSocksNegotiator::kWaiting) {
    const size_t n = std::min<size_t>(7, reply.size() - fed);
    outcome = s.Received(reply.data() + fed, n, send);
    fed += n;
  }
  EXPECT_EQ(outcome, tSocksNegotiator::kFailed);
  EXPECT_LE(fed, kSocksBufferSize);
  EXPECT_EQ(s.ErrorCode, kSocksAddressTypeNotSupported);
}

TEST(LineMode, LinesEditsAndLimit) {
  tLineAssembler a;
  const std::string in = "ab\r\ncd";
  a.Add(reinterpret_cast<const uint8_t*>(in.data()), in.size());
  ASSERT_TRUE(a.HasLine());
  EXPECT_EQ(a.TakeLine(), "ab\r\n");
  EXPECT_FALSE(a.HasLine());
  EXPECT_EQ(a.Held(), 2u);
  // Line mode switched off: the partial line is handed out as it is.
  EXPECT_EQ(a.TakeAll(), "cd");

  tLineAssembler e;
  e.LineEdit = true;
  e.LineEcho = true;
  e.LineEnd = "\n";
  std::string echo;
  const std::string typed = "ax\b\tb\n";
  e.Add(reinterpret_cast<const uint8_t*>(typed.data()), typed.size(), &echo);
  EXPECT_EQ(e.TakeLine(), "a b\n");
  EXPECT_EQ(echo, "ax\b \b\tb\n");

  tLineAssembler l;
  l.LineLimit = 4;
  size_t reported = 0;
  l.OnLineLimitExceeded = [&](size_t n, bool& clear) {
    reported = n;
    clear = true;
  };
  const std::string longLine = "abcdefg\r\n";
  l.Add(reinterpret_cast<const uint8_t*>(longLine.data()), longLine.size());
  EXPECT_EQ(reported, 5u);
  EXPECT_EQ(l.TakeLine(), "fg\r\n");
}

TEST(SyncWait, ReadyTimeoutAndTermination) {
  uint64_t clock = 1000;
  int pumps = 0;
  auto now = [&] { return clock; };
  auto pump = [&] {
    ++pumps;
    clock += 10;
  };
  bool flag = false;
  EXPECT_EQ(WaitUntilReady([&] { return flag || pumps == 3; }, 0, now, pump, nullptr), 0);
  EXPECT_EQ(pumps, 3);
  pumps = 0;
  EXPECT_EQ(WaitUntilReady([&] { return false; }, 100, now, pump, nullptr), 12001);
  EXPECT_EQ(pumps, 11);
  EXPECT_EQ(WaitUntilReady([&] { return false; }, 0, now, pump, [] { return true; }), 12001);
}

}  // namespace
