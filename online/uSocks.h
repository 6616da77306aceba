// The SOCKS 4, 4A and 5 exchange of a connection routed through a SOCKS server, as bytes in and
// bytes out: the socket layer hands over what it receives and sends what this asks for; the
// outcome is success (with any bytes that followed the last reply) or a numbered failure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Failure codes passed to OnSocksError and then as the error of the session events.
enum : int {
  kSocksLogicError = 20001,  // also "too much data availaible"
  kSocksVersionError = 20002,
  kSocksMethodNotAcceptable = 20003,
  kSocksGeneralFailure = 20004,  // reply codes 1 to 8 give 20004 to 20011
  kSocksConnectionRefused = 20008,
  kSocksAddressTypeNotSupported = 20011,
  kSocksUnassignedError = 20012,
  kSocksRequestTooLong = 20013,  // a request that does not fit the request buffer
  kSocksAuthenticationFailed = 20015,
  kSocksRequestRejected = 20016,
  kSocksResolveFailed = 20017,
};

// Size of the buffers in which requests are built and replies gathered.
constexpr size_t kSocksBufferSize = 128;

// Values passed to OnSocksAuthState.
enum : int {
  socksAuthStart = 0,
  socksAuthSuccess = 1,
  socksAuthClosed = 2,
  socksAuthNotRequired = 3,
};

// The text of a SOCKS 5 reply code as a failure (code 0 is no failure).
void Socks5ReplyFailure(int replyCode, int& code, std::string& text);
// The same for a SOCKS 4 reply code other than 90.
void Socks4ReplyFailure(int replyCode, int& code, std::string& text);

// "4", "4A" and "5" ("4a" becomes "4A"); false for anything else.
bool NormalizeSocksLevel(const std::string& text, std::string& level);

class tSocksNegotiator {
 public:
  // The exchange's settings, set before Start.
  std::string Level = "5";  // "4", "4A" or "5"
  bool AuthenticateUsercode = false;
  std::string Usercode, Password;
  std::string Addr;         // the target as the user gave it (a name or a dotted address)
  uint16_t TargetPort = 0;  // host byte order
  // SOCKS 4 needs the target's address (network byte order); it throws when it cannot.
  std::function<uint32_t(const std::string& host)> ResolveHost;

  std::function<void(int state)> OnAuthState;

  enum tOutcome { kWaiting, kSucceeded, kFailed };

  // 0 idle, 1 negotiating, 2 authenticating, 3 requesting.
  int Phase() const { return phase_; }
  // The connection to the SOCKS server is being made.
  void Start();
  // The connection to the SOCKS server is up: the first request. Out: the bytes to send.
  tOutcome Connected(std::vector<uint8_t>& send);
  // How many bytes the next read may take: the reply buffer's room for this reply.
  size_t WantBytes() const;
  // Bytes received (at most WantBytes). Out: bytes to send next, when any.
  tOutcome Received(const uint8_t* data, size_t length, std::vector<uint8_t>& send);
  // After success: the bytes that came behind the last reply, for the user.
  const std::vector<uint8_t>& Leftover() const { return leftover_; }
  void Reset();

  int ErrorCode = 0;
  std::string ErrorText;

 private:
  tOutcome Fail(int code, const std::string& text);
  tOutcome Request4(std::vector<uint8_t>& send);
  tOutcome Request5(std::vector<uint8_t>& send);
  tOutcome UsercodeRequest(std::vector<uint8_t>& send);
  bool Is4() const { return !Level.empty() && Level[0] == '4'; }

  int phase_ = 0;
  uint8_t offeredMethod_ = 0;
  std::vector<uint8_t> reply_;
  std::vector<uint8_t> leftover_;
};

// The line-mode layer's editing: received bytes become lines ending at LineEnd.
class tLineAssembler {
 public:
  std::string LineEnd = "\r\n";
  bool LineEdit = false;  // backspace removes the last character, tab becomes a blank
  bool LineEcho = false;  // every other character is sent back
  size_t LineLimit = 65536;
  // A line grew past LineLimit; set clear to discard what is held.
  std::function<void(size_t received, bool& clear)> OnLineLimitExceeded;

  // Takes bytes in; echo gets the bytes to send back. Complete lines (with their end) queue up.
  void Add(const uint8_t* data, size_t length, std::string* echo = nullptr);
  bool HasLine() const { return !lines_.empty(); }
  // The oldest complete line.
  std::string TakeLine();
  // Everything held (complete lines first, then the partial one), emptied.
  std::string TakeAll();
  size_t Held() const;

 private:
  std::vector<std::string> lines_;
  std::string partial_;
};

// Waits until ready() is true, calling pump() between looks. Returns 0 when ready, 12001 when
// the time-out (milliseconds, 0 = none) passed or terminated() said so. now() gives
// milliseconds.
int WaitUntilReady(const std::function<bool()>& ready, uint32_t timeoutMs,
                   const std::function<uint64_t()>& now, const std::function<void()>& pump,
                   const std::function<bool()>& terminated);
