// The HTTP/1.0 client over one TWSocket: resolves the host, connects, sends one request, reads
// the status and header (uHttpProtocol), streams the body into the caller's stream, follows
// relocations and reports completion through messages to its own hidden window. Get, Post and
// Head wait for the end while messages run, and raise EHttpException for a failure.
#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uTypes.h"
#include "framework/Component.h"
#include "online/WSocket.h"
#include "online/uHttpProtocol.h"

class TStream;
class THttpCli;

using THttpRequestDone = std::function<void(THttpCli* sender, int requestKind, int error)>;
using TDocDataEvent = std::function<void(THttpCli* sender, const uint8_t* buffer, int length)>;
using THttpNotify = std::function<void(THttpCli* sender)>;

class THttpCli : public TComponent {
 public:
  explicit THttpCli(TComponent* owner = nullptr);
  ~THttpCli() override;

  // Published values.
  std::string URL, Proxy, ProxyPort = "80", Sender;
  std::string Agent = "Mozilla/3.0 (compatible)";
  std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  std::string Reference, Username, Password, ProxyUsername, ProxyPassword;
  bool NoCache = false;
  TDateTime ModifiedSince = 0;
  std::string Cookie;
  std::string ContentTypePost = "application/x-www-form-urlencoded";
  std::string ContentRangeBegin, ContentRangeEnd, AcceptRanges;
  bool MultiThreaded = false;
  // The longest a synchronous request may take, in milliseconds (a silent server ends there).
  uint32_t Timeout = 60000;

  TStream* PostStream = nullptr;
  TStream* ReceiveStream = nullptr;

  // Events.
  std::function<void(THttpCli* sender, const std::string& line)> OnCommand, OnHeaderData;
  THttpNotify OnHeaderBegin, OnHeaderEnd, OnRequestHeaderBegin, OnRequestHeaderEnd, OnDocBegin,
      OnDocEnd, OnSendBegin, OnSendEnd, OnStateChange, OnLocationChange, OnSessionConnected;
  TDocDataEvent OnDocData, OnSendData;
  THttpRequestDone OnRequestDone;
  std::function<void(THttpCli* sender, const std::string& data, bool& accept)> OnCookie;

  // Synchronous requests.
  void Get();
  void Post();
  void Head();
  // Asynchronous ones: completion comes as OnRequestDone.
  void GetASync();
  void PostASync();
  void HeadASync();
  void Abort();

  // Results.
  int RequestState() const { return requestState_; }
  int ResponseStatus() const { return status_; }
  const std::string& ResponseReason() const { return reason_; }
  int64_t ContentLength() const { return parser_ ? parser_->ContentSize : -1; }
  const std::string& ContentType() const { return contentKind_; }
  int64_t RcvdCount() const { return bytesReceived_; }
  int64_t BytesSent() const { return bytesSent_; }
  const std::string& DocName() const { return documentName_; }
  const std::string& Location() const { return location_; }
  const std::vector<std::string>& RcvdHeader() const { return headerLines_; }
  const std::string& LastResponse() const { return lastLine_; }
  int RelocationCount() const { return relocations_; }
  TWSocket& CtrlSocket() { return *socket_; }

 private:
  void Start(int kind);
  void DoRequestSync(int kind);
  void SetState(int state);
  void BeginTarget();
  void LookupDone(int error);
  void SocketConnected(int error);
  void SendRequest();
  void DataAvailable();
  void HeaderEnded();
  void SessionClosed(int error);
  void RequestDone();
  void Relocate();
  void Fail(const std::string& message, int code);
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);

  std::unique_ptr<TWSocket> socket_;
  HWND window_ = nullptr;
  std::function<LRESULT(UINT, WPARAM, LPARAM)> handler_;
  std::unique_ptr<tHttpResponseParser> parser_;
  tHttpTarget target_;
  std::string location_, documentName_, reason_, contentKind_, lastLine_;
  std::vector<std::string> headerLines_;
  int requestState_ = 0, requestKind_ = 0, status_ = 0, relocations_ = 0;
  int64_t bytesReceived_ = 0, bytesSent_ = 0;
  bool connected_ = false, closeWanted_ = false, done_ = false;
  // A failure the synchronous call raises (a transfer cut short, a handler's exception).
  bool failed_ = false;
  std::string failMessage_;
  int failCode_ = 0;
  std::exception_ptr handlerError_;
};
