// The HTTP/1.0 client's decisions that need no socket: splitting addresses, the request text,
// and reading the answer (status line, header fields, relocation, body). THttpCli feeds it what
// its socket receives and acts on what it finds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/uTypes.h"

// Errors of the HTTP client: code 1 busy, 2 nothing to post, else an HTTP status (or one of
// the client's own failure codes below).
class EHttpException : public std::runtime_error {
 public:
  EHttpException(const std::string& message, int code)
      : std::runtime_error(message), ErrorCode(code) {}
  int ErrorCode;
};

// Codes of failures that have no HTTP status of their own.
enum : int {
  kHttpBusy = 1,
  kHttpNothingToPost = 2,
  kHttpLineTooLong = 3,
  kHttpConnectionLost = 4,  // reset, or closed before the announced length
  kHttpTooManyRelocations = 5,
  kHttpTimeout = 6,
  kHttpTerminated = 7,
  kHttpHandlerFailed = 8,
};

// Bytes the receive buffer holds; a line that does not end within them is refused.
constexpr size_t kHttpReceiveBufferSize = 8193;
// Relocations followed by one request; one more is an error (a loop would never end).
constexpr int kHttpMaxRelocations = 10;

struct tUrlParts {
  std::string Protocol, User, Password, Host, Port, Path;
};

// Splits an address into its parts; all parts are empty at first and stay so when missing.
void SplitUrl(const std::string& url, tUrlParts& parts);

// The document name of a request path: the last segment without its query and without a
// final "/", at most 255 characters; "document.htm" for "/".
std::string DocumentNameOfPath(const std::string& path);

// A decimal number of at most 18 digits after optional blanks, with nothing but blanks after
// it; -1 for anything else (too long, a sign, letters).
int64_t ParseHttpNumber(const std::string& text);

std::string Base64Encode(const std::string& bytes);

// "Sun, 06 Nov 1994 08:49:37" of a date-time value (the caller adds " GMT").
std::string Rfc1123DateText(TDateTime value);

// Where one request goes: from URL (and Proxy when set).
struct tHttpTarget {
  std::string Protocol;  // "http" when the address names none
  std::string Host, Port;  // what is connected to (the proxy when there is one)
  std::string HostHeader;  // the host the request is for
  std::string RequestPath;
  std::string DocumentName;
  std::string Username, Password;  // from the address's user part ('' when none)
};
tHttpTarget ResolveHttpTarget(const std::string& url, const std::string& proxy,
                              const std::string& proxyPort);

enum : int { kHttpGet = 1, kHttpPost = 2, kHttpHead = 3 };

// Everything that goes into the request header.
struct tHttpRequest {
  int Kind = kHttpGet;
  std::string Path, Host;
  std::string Sender, Accept, Reference, ContentTypePost, Agent;
  bool NoCache = false;
  int64_t PostSize = 0;
  TDateTime ModifiedSince = 0;
  std::string Username, Password;
  bool Proxy = false;
  std::string ProxyUsername, ProxyPassword;
  std::string Cookie;
  std::string RangeBegin, RangeEnd;
};
// The request lines in the order they are sent, without line ends; the last is empty.
std::vector<std::string> HttpRequestLines(const tHttpRequest& request);
// The lines joined, each ended by CR LF.
std::string HttpRequestText(const std::vector<std::string>& lines);

// An absolute address for a "location" value, from the address of the request it answers:
// a value with "://" is taken as it is; one starting with "/" keeps protocol, host and port;
// anything else is relative to the current path's folder. No protocol gives "http".
std::string RelocatedUrl(const std::string& currentUrl, const std::string& location);

// Reads one answer as it arrives: the status line and header fields, then the body. Lines end
// at LF (a CR before it is dropped). Feed throws EHttpException for a line that does not fit
// the receive buffer; the handlers may throw too, which leaves the parser as it was before
// the line or data that raised.
class tHttpResponseParser {
 public:
  std::function<void()> OnHeaderBegin;
  std::function<void(const std::string& line)> OnHeaderData;
  std::function<void()> OnHeaderEnd;  // not fired for a relocation's header
  std::function<void()> OnDocBegin;
  std::function<void(const uint8_t* data, size_t length)> OnDocData;
  std::function<void(const std::string& value, bool& accept)> OnCookie;
  // A status of 400 or more: the client closes the connection.
  std::function<void()> OnErrorStatus;

  // The address the request was for; relocations are made absolute against it.
  std::string CurrentLocation;

  int ResponseStatus = 0;
  std::string ResponseReason;
  int64_t ContentSize = -1;
  std::string ContentKind, AcceptRanges;
  std::string RangeBegin, RangeEnd;  // of a "content-range" field
  std::vector<std::string> HeaderLines, AuthenticateLines;
  std::string LastLine;
  bool Relocating = false;
  bool HeaderEnded = false;  // the empty line came (or a body without header began)
  bool InBody = false;
  bool DocBegun = false;
  int64_t BytesReceived = 0;

  void Feed(const uint8_t* data, size_t length);
  // Bytes held that are not yet a whole line.
  size_t Buffered() const { return buffer_.size(); }

 private:
  void HeaderLine(const std::string& line);
  void Body(const uint8_t* data, size_t length);
  int lines_ = 0;
  std::vector<uint8_t> buffer_;
};

// Whether a finished transfer got all it was promised: a known length must have arrived whole.
bool HttpBodyComplete(int64_t contentSize, int64_t bytesReceived);
