#include "online/HttpCli.h"

#include <algorithm>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"

namespace {

enum : UINT {
  WM_HTTP_REQUEST_DONE = WM_USER + 1,
  WM_HTTP_SET_READY = WM_USER + 2,
  WM_HTTP_RELOCATE = WM_USER + 3,
};

}  // namespace

THttpCli::THttpCli(TComponent* owner) : TComponent(owner), socket_(std::make_unique<TWSocket>()) {
  handler_ = [this](UINT message, WPARAM wparam, LPARAM lparam) {
    return WndProc(message, wparam, lparam);
  };
  window_ = AllocateHWnd(&handler_);
  socket_->OnDnsLookupDone = [this](TCustomWSocket*, int error) { LookupDone(error); };
  socket_->OnSessionConnected = [this](TCustomWSocket*, int error) { SocketConnected(error); };
  socket_->OnDataAvailable = [this](TCustomWSocket*, int) { DataAvailable(); };
  socket_->OnSessionClosed = [this](TCustomWSocket*, int error) { SessionClosed(error); };
  socket_->OnBgException = [this](TCustomWSocket*, const std::exception& e, bool& canClose) {
    if (!handlerError_) handlerError_ = std::make_exception_ptr(EHttpException(e.what(), kHttpHandlerFailed));
    canClose = true;
  };
}

THttpCli::~THttpCli() {
  socket_->OnSessionClosed = nullptr;
  socket_->OnDataAvailable = nullptr;
  socket_.reset();
  DeallocateHWnd(window_);
}

LRESULT THttpCli::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  try {
    switch (message) {
      case WM_HTTP_REQUEST_DONE:
        if (OnRequestDone) OnRequestDone(this, requestKind_, socket_->LastError);
        return 0;
      case WM_HTTP_SET_READY:
        if (requestState_ != 0) SetState(0);
        return 0;
      case WM_HTTP_RELOCATE:
        if (requestState_ == 0) return 0;
        location_ = parser_->CurrentLocation;
        BeginTarget();
        return 0;
    }
  } catch (...) {
    if (!handlerError_) handlerError_ = std::current_exception();
    if (message == WM_HTTP_RELOCATE) RequestDone();
    return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void THttpCli::SetState(int state) {
  requestState_ = state;
  if (OnStateChange) OnStateChange(this);
  if (state == 0) PostMessageW(window_, WM_HTTP_REQUEST_DONE, 0, 0);
}

void THttpCli::Fail(const std::string& message, int code) {
  if (failed_) return;
  failed_ = true;
  failMessage_ = message;
  failCode_ = code;
}

void THttpCli::Start(int kind) {
  if (requestState_ != 0) throw EHttpException("HTTP component is busy", kHttpBusy);
  if (kind == kHttpPost && !PostStream)
    throw EHttpException("HTTP component has nothing to post", kHttpNothingToPost);
  headerLines_.clear();
  requestKind_ = kind;
  socket_->LastError = 0;
  socket_->MultiThreaded = MultiThreaded;
  failed_ = false;
  failMessage_.clear();
  failCode_ = 0;
  handlerError_ = nullptr;
  relocations_ = 0;
  SetState(1);
  documentName_.clear();
  status_ = 0;
  reason_.clear();
  bytesReceived_ = bytesSent_ = 0;
  contentKind_.clear();
  location_ = URL;
  BeginTarget();
}

void THttpCli::BeginTarget() {
  done_ = false;
  closeWanted_ = false;
  connected_ = false;
  target_ = ResolveHttpTarget(location_, Proxy, ProxyPort);
  documentName_ = target_.DocumentName;
  parser_ = std::make_unique<tHttpResponseParser>();
  tHttpResponseParser& p = *parser_;
  p.CurrentLocation = location_;
  p.OnHeaderBegin = [this] {
    if (OnHeaderBegin) OnHeaderBegin(this);
  };
  p.OnHeaderData = [this](const std::string& line) {
    headerLines_.push_back(line);
    lastLine_ = line;
    status_ = parser_->ResponseStatus;
    reason_ = parser_->ResponseReason;
    if (OnHeaderData) OnHeaderData(this, line);
  };
  p.OnErrorStatus = [this] { closeWanted_ = true; };
  p.OnCookie = [this](const std::string& value, bool& accept) {
    if (OnCookie) OnCookie(this, value, accept);
  };
  p.OnDocBegin = [this] {
    if (OnDocBegin) OnDocBegin(this);
  };
  p.OnDocData = [this](const uint8_t* data, size_t length) {
    bytesReceived_ = parser_->BytesReceived;
    if (ReceiveStream &&
        ReceiveStream->Write(data, static_cast<int32_t>(length)) != static_cast<int32_t>(length)) {
      Fail("Cannot write the received document", kHttpHandlerFailed);
      closeWanted_ = true;
    }
    if (OnDocData) OnDocData(this, data, static_cast<int>(length));
  };
  SetState(3);
  try {
    socket_->DnsLookup(target_.Host);
  } catch (const std::exception&) {
    status_ = 404;
    reason_ = "can't resolve hostname to IP address";
    RequestDone();
  }
}

void THttpCli::LookupDone(int error) {
  if (requestState_ != 3) return;
  if (error != 0 || socket_->DnsResult.empty()) {
    status_ = 404;
    reason_ = "can't resolve hostname to IP address";
    RequestDone();
    return;
  }
  SetState(4);
  try {
    socket_->SetAddr(socket_->DnsResult);
    socket_->SetPort(target_.Port);
    socket_->SetProto("tcp");
    socket_->Connect();
  } catch (const std::exception& e) {
    status_ = 404;
    reason_ = e.what();
    RequestDone();
  }
}

void THttpCli::SocketConnected(int error) {
  if (requestState_ != 4) return;
  if (error != 0) {
    status_ = 404;
    reason_ = WSocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")";
    RequestDone();
    return;
  }
  connected_ = true;
  SetState(2);
  if (OnSessionConnected) OnSessionConnected(this);
  SetState(5);
  SendRequest();
}

void THttpCli::SendRequest() {
  tHttpRequest r;
  r.Kind = requestKind_;
  r.Path = target_.RequestPath;
  r.Host = target_.HostHeader;
  r.Sender = Sender;
  r.Accept = Accept;
  r.Reference = Reference;
  r.ContentTypePost = ContentTypePost;
  r.Agent = Agent;
  r.NoCache = NoCache;
  r.ModifiedSince = ModifiedSince;
  r.Username = target_.Username.empty() ? Username : target_.Username;
  r.Password = target_.Username.empty() ? Password : target_.Password;
  r.Proxy = !Proxy.empty();
  r.ProxyUsername = ProxyUsername;
  r.ProxyPassword = ProxyPassword;
  r.Cookie = Cookie;
  r.RangeBegin = ContentRangeBegin;
  r.RangeEnd = ContentRangeEnd;
  ContentRangeBegin.clear();
  ContentRangeEnd.clear();
  if (requestKind_ == kHttpPost) {
    const int64_t here = PostStream->Position();
    r.PostSize = PostStream->Size() - here;
  }
  const std::vector<std::string> lines = HttpRequestLines(r);
  if (OnRequestHeaderBegin) OnRequestHeaderBegin(this);
  if (OnCommand)
    for (const std::string& line : lines) OnCommand(this, line);
  if (OnRequestHeaderEnd) OnRequestHeaderEnd(this);
  socket_->SendStr(HttpRequestText(lines));
  if (requestKind_ == kHttpPost) {
    if (OnSendBegin) OnSendBegin(this);
    std::vector<uint8_t> piece(kHttpReceiveBufferSize);
    for (;;) {
      const int32_t n = PostStream->Read(piece.data(), static_cast<int32_t>(piece.size()));
      if (n <= 0) break;
      socket_->Send(piece.data(), n);
      bytesSent_ += n;
      if (OnSendData) OnSendData(this, piece.data(), n);
    }
    if (OnSendEnd) OnSendEnd(this);
  }
}

void THttpCli::DataAvailable() {
  if (!parser_) return;
  uint8_t buffer[kHttpReceiveBufferSize];
  const int n = socket_->Receive(buffer, sizeof buffer);
  if (n < 0) {
    if (socket_->LastError != 0 && socket_->LastError != 10035) {
      Fail(WSocketErrorText(socket_->LastError, "recv"), kHttpConnectionLost);
      socket_->Close();
    }
    return;
  }
  if (n == 0) return;
  const bool wasEnded = parser_->HeaderEnded;
  try {
    parser_->Feed(buffer, static_cast<size_t>(n));
  } catch (const EHttpException& e) {
    Fail(e.what(), e.ErrorCode);
    closeWanted_ = true;
  } catch (...) {
    if (!handlerError_) handlerError_ = std::current_exception();
    closeWanted_ = true;
  }
  status_ = parser_->ResponseStatus;
  reason_ = parser_->ResponseReason;
  bytesReceived_ = parser_->BytesReceived;
  if (!wasEnded && parser_->HeaderEnded && !closeWanted_) HeaderEnded();
  if (closeWanted_ && socket_->State() != wsClosed) socket_->Close();
}

void THttpCli::HeaderEnded() {
  tHttpResponseParser& p = *parser_;
  contentKind_ = p.ContentKind;
  AcceptRanges = p.AcceptRanges;
  if (p.Relocating) {
    if (OnHeaderEnd) OnHeaderEnd(this);
    if (++relocations_ > kHttpMaxRelocations) {
      Fail("Too many relocations", kHttpTooManyRelocations);
      closeWanted_ = true;
      return;
    }
    location_ = p.CurrentLocation;
    bytesReceived_ = 0;
    // The relocation runs once this connection is closed.
    socket_->OnSessionClosed = [this](TCustomWSocket*, int) { Relocate(); };
    socket_->Close();
    return;
  }
  std::string ext = ExtractFileExt(documentName_);
  for (char& c : ext) c = LowerChar(c);
  if (ext == ".exe" && contentKind_ == "text/html")
    documentName_ = documentName_.substr(0, documentName_.size() - 3) + "htm";
  SetState(6);
  if (OnHeaderEnd) OnHeaderEnd(this);
}

void THttpCli::Relocate() {
  socket_->OnSessionClosed = [this](TCustomWSocket*, int error) { SessionClosed(error); };
  if (OnLocationChange) OnLocationChange(this);
  PostMessageW(window_, WM_HTTP_RELOCATE, 0, 0);
}

void THttpCli::SessionClosed(int error) {
  if (done_ || requestState_ == 0) return;
  if (parser_ && !failed_ && status_ < 400) {
    if (error != 0) {
      Fail(WSocketErrorText(error, "recv"), kHttpConnectionLost);
    } else if (requestState_ == 6 || parser_->InBody) {
      if (requestKind_ != kHttpHead && !HttpBodyComplete(parser_->ContentSize, parser_->BytesReceived))
        Fail("Connection closed before the whole document arrived", kHttpConnectionLost);
    } else if (requestState_ == 5) {
      Fail("Connection closed before the answer arrived", kHttpConnectionLost);
    }
  }
  RequestDone();
}

void THttpCli::RequestDone() {
  if (done_) return;
  done_ = true;
  connected_ = false;
  if (parser_ && parser_->DocBegun && OnDocEnd) {
    try {
      OnDocEnd(this);
    } catch (...) {
      if (!handlerError_) handlerError_ = std::current_exception();
    }
  }
  PostMessageW(window_, WM_HTTP_SET_READY, 0, 0);
}

void THttpCli::Abort() {
  done_ = true;
  socket_->OnSessionClosed = nullptr;
  try {
    socket_->Abort();
  } catch (...) {
  }
  socket_->OnSessionClosed = [this](TCustomWSocket*, int error) { SessionClosed(error); };
  requestState_ = 0;
}

void THttpCli::DoRequestSync(int kind) {
  Start(kind);
  const ULONGLONG deadline = GetTickCount64() + Timeout;
  while (requestState_ != 0) {
    if (Application.Terminated || socket_->Terminated()) {
      Abort();
      throw EHttpException("Request stopped: the program is ending", kHttpTerminated);
    }
    if (Timeout != 0 && GetTickCount64() > deadline) {
      Abort();
      throw EHttpException("Request timed out", kHttpTimeout);
    }
    if (MultiThreaded)
      socket_->ProcessMessages();
    else
      Application.ProcessMessages();
    // Waits for the next message (or a moment) instead of spinning.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (handlerError_) std::rethrow_exception(handlerError_);
  if (failed_) throw EHttpException(failMessage_, failCode_);
  if (status_ >= 400) throw EHttpException(reason_, status_);
}

void THttpCli::Get() { DoRequestSync(kHttpGet); }
void THttpCli::Post() { DoRequestSync(kHttpPost); }
void THttpCli::Head() { DoRequestSync(kHttpHead); }
void THttpCli::GetASync() { Start(kHttpGet); }
void THttpCli::PostASync() { Start(kHttpPost); }
void THttpCli::HeadASync() { Start(kHttpHead); }
