#include "online/uHttpProtocol.h"

#include <algorithm>
#include <cstring>

#include "foundation/uUtil.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = LowerChar(c);
  return text;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == Lower(prefix);
}

std::string TrimLeft(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return text.substr(i);
}

}  // namespace

void SplitUrl(const std::string& url, tUrlParts& parts) {
  parts = tUrlParts{};
  std::string rest;
  const size_t scheme = url.find("://");
  if (scheme != std::string::npos) {
    parts.Protocol = url.substr(0, scheme);
    rest = url.substr(scheme + 3);
  } else if (!url.empty() && url[0] == '/') {
    parts.Protocol = "http";
    if (url.size() < 2 || url[1] != '/') {
      parts.Path = url;
      return;
    }
    rest = url.substr(2);
  } else if (StartsWithNoCase(url, "http:")) {
    parts.Protocol = "http";
    if (url.size() > 5 && url[5] != '/') {
      // "http:" followed by anything but "/": all from the colon on is the path.
      parts.Path = url.substr(4);
      return;
    }
    rest = url.substr(5);
  } else if (StartsWithNoCase(url, "mailto:")) {
    parts.Protocol = "mailto";
    rest = url.substr(url.find(':') + 1);
  } else {
    rest = url;
  }

  size_t pathStart = rest.find('/');
  const size_t query = rest.find('?');
  if (query != std::string::npos && (pathStart == std::string::npos || query < pathStart))
    pathStart = query;
  std::string authority = rest;
  if (pathStart != std::string::npos) {
    parts.Path = rest.substr(pathStart);
    authority = rest.substr(0, pathStart);
  }

  const size_t colon = authority.rfind(':');
  const size_t at = authority.rfind('@');
  if (colon == std::string::npos && at == std::string::npos) {
    parts.Host = authority;
    return;
  }
  if (at != std::string::npos && (colon == std::string::npos || at > colon)) {
    parts.Host = authority.substr(at + 1);
  } else {
    parts.Port = authority.substr(colon + 1);
    const size_t hostStart = at == std::string::npos ? 0 : at + 1;
    parts.Host = authority.substr(hostStart, colon - hostStart);
  }
  if (at != std::string::npos) {
    const std::string credentials = authority.substr(0, at);
    const size_t split = credentials.find(':');
    parts.User = credentials.substr(0, split);
    if (split != std::string::npos) parts.Password = credentials.substr(split + 1);
  }
}

std::string DocumentNameOfPath(const std::string& path) {
  if (path.empty() || path == "/") return "document.htm";
  std::string p = path;
  const size_t query = p.find('?');
  if (query != std::string::npos) p.erase(query);
  if (!p.empty() && p.back() == '/') p.pop_back();
  const size_t slash = p.rfind('/');
  std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
  if (name.empty()) return "document.htm";
  if (name.size() > 255) name.resize(255);
  return name;
}

int64_t ParseHttpNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  int64_t value = 0;
  int digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (++digits > 18) return -1;
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (digits == 0 || i != text.size()) return -1;
  return value;
}

std::string Base64Encode(const std::string& bytes) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const uint32_t v = (uint8_t(bytes[i]) << 16) | (uint8_t(bytes[i + 1]) << 8) |
                       uint8_t(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    uint32_t v = uint8_t(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= uint8_t(bytes[i + 1]) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Rfc1123DateText(TDateTime value) {
  static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int year = 0, month = 0, day = 0;
  if (!DecodeDate(value, year, month, day)) return "";
  const int64_t days = TruncInt(value);
  // 1899-12-30 was a Saturday.
  const int weekday = static_cast<int>(((days % 7) + 7 + 6) % 7);
  double fraction = value - static_cast<double>(days);
  if (fraction < 0) fraction = -fraction;
  int64_t seconds = RoundHalfEven(fraction * 86400.0);
  if (seconds >= 86400) seconds = 86399;
  char text[64];
  snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d", kDays[weekday], day,
           kMonths[month - 1], year, static_cast<int>(seconds / 3600),
           static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

tHttpTarget ResolveHttpTarget(const std::string& url, const std::string& proxy,
                              const std::string& proxyPort) {
  tHttpTarget target;
  tUrlParts parts;
  SplitUrl(url, parts);
  target.Protocol = parts.Protocol.empty() ? "http" : parts.Protocol;
  target.Username = parts.User;
  target.Password = parts.Password;
  target.HostHeader = parts.Host;
  const std::string path = parts.Path.empty() ? "/" : parts.Path;
  target.DocumentName = DocumentNameOfPath(path);
  if (!proxy.empty()) {
    // A proxy is asked for the whole address.
    target.RequestPath = (parts.Protocol.empty() ? "http" : parts.Protocol) + "://" + parts.Host +
                         (parts.Port.empty() ? "" : ":" + parts.Port) + path;
    tUrlParts proxyParts;
    SplitUrl(proxy, proxyParts);
    target.Host = proxyParts.Host;
    target.Port = proxyParts.Port.empty() ? proxyPort : proxyParts.Port;
  } else {
    target.RequestPath = path;
    target.Host = parts.Host;
    target.Port = parts.Port.empty() ? "80" : parts.Port;
  }
  return target;
}

std::vector<std::string> HttpRequestLines(const tHttpRequest& r) {
  static const char* kMethods[] = {"GET", "POST", "HEAD"};
  const int kind = r.Kind >= kHttpGet && r.Kind <= kHttpHead ? r.Kind : kHttpGet;
  std::vector<std::string> lines;
  lines.push_back(std::string(kMethods[kind - 1]) + " " + r.Path + " HTTP/1.0");
  if (!r.Sender.empty()) lines.push_back("From: " + r.Sender);
  if (!r.Accept.empty()) lines.push_back("Accept: " + r.Accept);
  if (!r.Reference.empty()) lines.push_back("Referer: " + r.Reference);
  if (kind == kHttpPost && !r.ContentTypePost.empty())
    lines.push_back("Content-Type: " + r.ContentTypePost);
  if (!r.Agent.empty()) lines.push_back("User-Agent: " + r.Agent);
  lines.push_back("Host: " + r.Host);
  if (r.NoCache) lines.push_back("Pragma: no-cache");
  if (kind == kHttpPost) lines.push_back("Content-Length: " + std::to_string(r.PostSize));
  if (r.ModifiedSince != 0)
    lines.push_back("If-Modified-Since: " + Rfc1123DateText(r.ModifiedSince) + " GMT");
  if (!r.Username.empty())
    lines.push_back("Authorization: Basic " + Base64Encode(r.Username + ":" + r.Password));
  if (r.Proxy && !r.ProxyUsername.empty())
    lines.push_back("Proxy-Authorization: Basic " +
                    Base64Encode(r.ProxyUsername + ":" + r.ProxyPassword));
  if (!r.Cookie.empty()) lines.push_back("Cookie: " + r.Cookie);
  if (!r.RangeBegin.empty() || !r.RangeEnd.empty())
    lines.push_back("Range: bytes=" + r.RangeBegin + "-" + r.RangeEnd);
  lines.push_back("");
  return lines;
}

std::string HttpRequestText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string RelocatedUrl(const std::string& currentUrl, const std::string& location) {
  if (location.find("://") != std::string::npos) return location;
  tUrlParts parts;
  SplitUrl(currentUrl, parts);
  const std::string protocol = parts.Protocol.empty() ? "http" : parts.Protocol;
  const std::string origin =
      protocol + "://" + parts.Host + (parts.Port.empty() ? "" : ":" + parts.Port);
  if (!location.empty() && location[0] == '/') return origin + location;
  std::string folder = parts.Path;
  const size_t query = folder.find('?');
  if (query != std::string::npos) folder.erase(query);
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "/" : folder.substr(0, slash + 1);
  return origin + folder + location;
}

void tHttpResponseParser::Feed(const uint8_t* data, size_t length) {
  if (length == 0) return;
  if (InBody) {
    Body(data, length);
    return;
  }
  buffer_.insert(buffer_.end(), data, data + length);
  while (!InBody) {
    const auto lf = std::find(buffer_.begin(), buffer_.end(), uint8_t('\n'));
    if (lf == buffer_.end()) {
      if (buffer_.size() >= kHttpReceiveBufferSize)
        throw EHttpException("HTTP line too long", kHttpLineTooLong);
      return;
    }
    const size_t lineBytes = static_cast<size_t>(lf - buffer_.begin()) + 1;
    if (lineBytes > kHttpReceiveBufferSize)
      throw EHttpException("HTTP line too long", kHttpLineTooLong);
    std::string line(buffer_.begin(), lf);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A body without header takes its first line as it came.
    if (lines_ == 0 && StartsWithNoCase(line, "<HTML>")) {
      if (OnHeaderBegin) OnHeaderBegin();
      lines_ = 1;
      LastLine = line;
      if (ContentKind.empty()) ContentKind = "text/html";
      HeaderEnded = true;
      InBody = true;
      std::vector<uint8_t> rest;
      rest.swap(buffer_);
      Body(rest.data(), rest.size());
      return;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + lineBytes);
    LastLine = line;
    HeaderLine(line);
    if (HeaderEnded) {
      if (Relocating) {
        buffer_.clear();  // the body of a relocation is not wanted
        return;
      }
      InBody = true;
      std::vector<uint8_t> rest;
      rest.swap(buffer_);
      if (!rest.empty()) Body(rest.data(), rest.size());
      return;
    }
  }
}

void tHttpResponseParser::HeaderLine(const std::string& line) {
  if (lines_++ == 0 && OnHeaderBegin) OnHeaderBegin();
  if (line.empty()) {
    HeaderEnded = true;
    if (OnHeaderEnd) OnHeaderEnd();
    return;
  }
  HeaderLines.push_back(line);
  if (line.compare(0, 8, "HTTP/1.0") == 0 || line.compare(0, 8, "HTTP/1.1") == 0) {
    ResponseStatus = static_cast<int>(ParseHttpNumber(line.size() >= 12 ? line.substr(9, 3) : ""));
    ResponseReason = line.size() > 13 ? line.substr(13) : "";
  } else {
    const size_t colon = line.find(':');
    if (colon != std::string::npos) {
      const std::string field = Lower(line.substr(0, colon));
      const std::string value = TrimLeft(line.substr(colon + 1));
      if (field == "location") {
        Relocating = true;
        CurrentLocation = RelocatedUrl(CurrentLocation, value);
      } else if (field == "content-length") {
        ContentSize = ParseHttpNumber(value);
      } else if (field == "content-range") {
        // bytes first-last/length
        const size_t dash = value.find('-');
        const size_t slash = value.find('/');
        if (value.size() > 6 && dash != std::string::npos && slash != std::string::npos &&
            dash > 6 && slash > dash) {
          RangeBegin = std::to_string(ParseHttpNumber(value.substr(6, dash - 6)));
          RangeEnd = std::to_string(ParseHttpNumber(value.substr(dash + 1, slash - dash - 1)));
        } else {
          RangeBegin = RangeEnd = "-1";
        }
      } else if (field == "accept-ranges") {
        AcceptRanges = value;
      } else if (field == "content-type") {
        ContentKind = Lower(value);
      } else if (field == "www-authenticate") {
        AuthenticateLines.push_back(value);
      } else if (field == "set-cookie") {
        bool accept = true;
        if (OnCookie) OnCookie(value, accept);
      }
    }
  }
  if (OnHeaderData) OnHeaderData(line);
  if (ResponseStatus >= 400 && OnErrorStatus) OnErrorStatus();
}

void tHttpResponseParser::Body(const uint8_t* data, size_t length) {
  if (!DocBegun) {
    DocBegun = true;
    if (OnDocBegin) OnDocBegin();
  }
  BytesReceived += static_cast<int64_t>(length);
  if (OnDocData) OnDocData(data, length);
}

bool HttpBodyComplete(int64_t contentSize, int64_t bytesReceived) {
  return contentSize < 0 || bytesReceived >= contentSize;
}
