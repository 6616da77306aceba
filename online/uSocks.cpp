#include "online/uSocks.h"

#include <algorithm>
#include <exception>
#include <typeinfo>

namespace {

void PutPort(std::vector<uint8_t>& out, uint16_t port) {
  out.push_back(static_cast<uint8_t>(port >> 8));
  out.push_back(static_cast<uint8_t>(port & 0xFF));
}

}  // namespace

void Socks5ReplyFailure(int replyCode, int& code, std::string& text) {
  static const char* kTexts[] = {"general SOCKS server failure",
                                 "connection not allowed by ruleset",
                                 "network unreachable",
                                 "host unreachable",
                                 "connection refused",
                                 "time to live expired",
                                 "command not supported",
                                 "address type not supported"};
  if (replyCode >= 1 && replyCode <= 8) {
    code = kSocksGeneralFailure + replyCode - 1;
    text = kTexts[replyCode - 1];
  } else {
    code = kSocksUnassignedError;
    text = "unassigned error #" + std::to_string(replyCode);
  }
}

void Socks4ReplyFailure(int replyCode, int& code, std::string& text) {
  switch (replyCode) {
    case 91:
      code = kSocksRequestRejected;
      text = "request rejected or failed";
      break;
    case 92:
      code = kSocksConnectionRefused;
      text = "connection refused";
      break;
    case 93:
      code = kSocksAuthenticationFailed;
      text = "authentification failed";
      break;
    default:
      code = kSocksUnassignedError;
      text = "unassigned error #" + std::to_string(replyCode);
  }
}

bool NormalizeSocksLevel(const std::string& text, std::string& level) {
  if (text == "4" || text == "5" || text == "4A") {
    level = text;
    return true;
  }
  if (text == "4a") {
    level = "4A";
    return true;
  }
  return false;
}

void tSocksNegotiator::Reset() {
  phase_ = 0;
  reply_.clear();
  leftover_.clear();
  ErrorCode = 0;
  ErrorText.clear();
}

void tSocksNegotiator::Start() {
  Reset();
  phase_ = 1;
}

tSocksNegotiator::tOutcome tSocksNegotiator::Fail(int code, const std::string& text) {
  phase_ = 0;
  ErrorCode = code;
  ErrorText = text;
  reply_.clear();
  return kFailed;
}

tSocksNegotiator::tOutcome tSocksNegotiator::Connected(std::vector<uint8_t>& send) {
  send.clear();
  if (Is4()) return Request4(send);
  offeredMethod_ = AuthenticateUsercode ? 2 : 0;
  send = {5, 1, offeredMethod_};
  return kWaiting;
}

tSocksNegotiator::tOutcome tSocksNegotiator::Request4(std::vector<uint8_t>& send) {
  phase_ = 3;
  const bool is4A = Level == "4A";
  // Usercode, host name and their zeros must fit behind the 8-byte head.
  const size_t tail = Usercode.size() + 1 + (is4A ? Addr.size() + 1 : 0);
  if (tail > kSocksBufferSize - 8) return Fail(kSocksRequestTooLong, "socks request too long");
  uint32_t address = 0x01000000;  // 0.0.0.1 in network byte order, read as little-endian
  if (!is4A) {
    try {
      address = ResolveHost ? ResolveHost(Addr) : 0;
    } catch (const std::exception& e) {
      return Fail(kSocksResolveFailed, std::string(typeid(e).name()) + " " + e.what());
    }
  }
  send = {4, 1};
  PutPort(send, TargetPort);
  const uint8_t* a = reinterpret_cast<const uint8_t*>(&address);
  send.insert(send.end(), a, a + 4);
  send.insert(send.end(), Usercode.begin(), Usercode.end());
  send.push_back(0);
  if (is4A) {
    send.insert(send.end(), Addr.begin(), Addr.end());
    send.push_back(0);
  }
  return kWaiting;
}

tSocksNegotiator::tOutcome tSocksNegotiator::Request5(std::vector<uint8_t>& send) {
  phase_ = 3;
  if (Addr.size() > kSocksBufferSize - 7)
    return Fail(kSocksRequestTooLong, "socks request too long");
  // The target always goes as a name, also a dotted address.
  send = {5, 1, 0, 3, static_cast<uint8_t>(Addr.size())};
  send.insert(send.end(), Addr.begin(), Addr.end());
  PutPort(send, TargetPort);
  return kWaiting;
}

tSocksNegotiator::tOutcome tSocksNegotiator::UsercodeRequest(std::vector<uint8_t>& send) {
  phase_ = 2;
  if (OnAuthState) OnAuthState(socksAuthStart);
  if (Usercode.size() + Password.size() > kSocksBufferSize - 3)
    return Fail(kSocksRequestTooLong, "socks request too long");
  send = {1, static_cast<uint8_t>(Usercode.size())};
  send.insert(send.end(), Usercode.begin(), Usercode.end());
  send.push_back(static_cast<uint8_t>(Password.size()));
  send.insert(send.end(), Password.begin(), Password.end());
  return kWaiting;
}

size_t tSocksNegotiator::WantBytes() const {
  const size_t limit = (phase_ == 3 && Is4()) ? 8 : kSocksBufferSize - 1;
  return reply_.size() < limit ? limit - reply_.size() : 0;
}

tSocksNegotiator::tOutcome tSocksNegotiator::Received(const uint8_t* data, size_t length,
                                                      std::vector<uint8_t>& send) {
  send.clear();
  while (length > 0) {
    if (phase_ == 0) {
      // Done: whatever else came belongs to the user.
      leftover_.insert(leftover_.end(), data, data + length);
      return kSucceeded;
    }
    const size_t want = WantBytes();
    if (want == 0)
      return Fail(kSocksAddressTypeNotSupported, "address type not supported");
    const size_t take = std::min(want, length);
    reply_.insert(reply_.end(), data, data + take);
    data += take;
    length -= take;

    const size_t count = reply_.size();
    if (phase_ == 1) {
      if (Is4()) return Fail(kSocksLogicError, "TWSocket logic error");
      if (count < 2) continue;
      const uint8_t version = reply_[0], method = reply_[1];
      reply_.clear();
      if (version != 5) return Fail(kSocksVersionError, "socks version error");
      if (method == 0) {
        if (offeredMethod_ == 2 && OnAuthState) OnAuthState(socksAuthNotRequired);
        if (Request5(send) == kFailed) return kFailed;
      } else if (method == 2) {
        if (UsercodeRequest(send) == kFailed) return kFailed;
      } else {
        return Fail(kSocksMethodNotAcceptable, "authentification method not acceptable");
      }
      // Anything after the method reply is not for this phase: the server answers requests.
      return kWaiting;
    }
    if (phase_ == 2) {
      if (reply_[0] != 1) return Fail(kSocksVersionError, "socks version error");
      if (count < 2) continue;
      if (count > 2) return Fail(kSocksLogicError, "too much data availaible");
      if (reply_[1] != 0) return Fail(kSocksAuthenticationFailed, "socks authentication failed");
      reply_.clear();
      if (OnAuthState) OnAuthState(socksAuthSuccess);
      if (Request5(send) == kFailed) return kFailed;
      return kWaiting;
    }
    // Phase 3: the reply to the connect request.
    if (Is4()) {
      if (count < 8) continue;
      const uint8_t version = reply_[0], code = reply_[1];
      reply_.clear();
      if (version != 0) return Fail(kSocksVersionError, "socks version error");
      if (code != 90) {
        int failure = 0;
        std::string text;
        Socks4ReplyFailure(code, failure, text);
        return Fail(failure, text);
      }
      phase_ = 0;
      continue;  // success; what follows is the user's
    }
    if (reply_[0] != 5) return Fail(kSocksVersionError, "socks version error");
    if (count >= 2 && reply_[1] != 0) {
      int failure = 0;
      std::string text;
      Socks5ReplyFailure(reply_[1], failure, text);
      return Fail(failure, text);
    }
    if (count < 5) continue;
    const uint8_t type = reply_[3];
    const size_t replyLength = type == 1 ? 10 : type == 3 ? 7 + size_t(reply_[4]) : 5;
    if (count < replyLength) {
      // A bound name longer than the reply buffer can never be gathered.
      if (replyLength > kSocksBufferSize - 1)
        return Fail(kSocksAddressTypeNotSupported, "address type not supported");
      continue;
    }
    if (type != 1 && type != 3)
      return Fail(kSocksAddressTypeNotSupported, "address type not supported");
    leftover_.assign(reply_.begin() + replyLength, reply_.end());
    reply_.clear();
    phase_ = 0;
  }
  return phase_ == 0 ? kSucceeded : kWaiting;
}

void tLineAssembler::Add(const uint8_t* data, size_t length, std::string* echo) {
  for (size_t i = 0; i < length; ++i) {
    const char c = static_cast<char>(data[i]);
    if (LineEdit && c == 8) {
      if (!partial_.empty()) partial_.pop_back();
      if (LineEcho && echo) *echo += "\b \b";
      continue;
    }
    if (LineEcho && echo) *echo += c;
    partial_ += (LineEdit && c == 9) ? ' ' : c;
    if (!LineEnd.empty() && partial_.size() >= LineEnd.size() &&
        partial_.compare(partial_.size() - LineEnd.size(), LineEnd.size(), LineEnd) == 0) {
      lines_.push_back(std::move(partial_));
      partial_.clear();
      continue;
    }
    if (partial_.size() > LineLimit) {
      bool clear = false;
      if (OnLineLimitExceeded) OnLineLimitExceeded(partial_.size(), clear);
      if (clear) partial_.clear();
    }
  }
}

std::string tLineAssembler::TakeLine() {
  if (lines_.empty()) return "";
  std::string line = std::move(lines_.front());
  lines_.erase(lines_.begin());
  return line;
}

std::string tLineAssembler::TakeAll() {
  std::string all;
  for (std::string& line : lines_) all += line;
  all += partial_;
  lines_.clear();
  partial_.clear();
  return all;
}

size_t tLineAssembler::Held() const {
  size_t n = partial_.size();
  for (const std::string& line : lines_) n += line.size();
  return n;
}

int WaitUntilReady(const std::function<bool()>& ready, uint32_t timeoutMs,
                   const std::function<uint64_t()>& now, const std::function<void()>& pump,
                   const std::function<bool()>& terminated) {
  const uint64_t deadline = now() + timeoutMs;
  while (!ready()) {
    if (timeoutMs != 0 && now() > deadline) return 12001;
    if (terminated && terminated()) return 12001;
    pump();
  }
  return 0;
}
