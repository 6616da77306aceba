#include "online/uSocketRules.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

TBuffer::TBuffer(int size) { Resize(size); }

void TBuffer::Resize(int n) {
  if (n <= 0) n = 1514;
  if (n == capacity_ && data_) return;
  std::unique_ptr<uint8_t[]> block(new uint8_t[static_cast<size_t>(n)]);
  if (written_ > takenOut_) {
    const int keep = std::min(written_, n);
    std::memcpy(block.get(), data_.get(), static_cast<size_t>(keep));
    written_ = keep;
    takenOut_ = std::min(takenOut_, keep);
  } else {
    written_ = takenOut_ = 0;
  }
  data_ = std::move(block);
  capacity_ = n;
}

int TBuffer::Write(const uint8_t* data, int length) {
  const int n = std::max(0, std::min(length, capacity_ - written_));
  if (n > 0) std::memcpy(data_.get() + written_, data, static_cast<size_t>(n));
  written_ += n;
  return n;
}

const uint8_t* TBuffer::Peek(int& length) const {
  length = written_ - takenOut_;
  if (length <= 0) {
    length = 0;
    return nullptr;
  }
  return data_.get() + takenOut_;
}

int TBuffer::Remove(int length) {
  const int n = std::max(0, std::min(length, written_ - takenOut_));
  takenOut_ += n;
  if (takenOut_ >= written_) written_ = takenOut_ = 0;
  return n;
}

void tSendQueue::Append(const uint8_t* data, int length, int blockSize) {
  while (length > 0) {
    if (blocks_.empty() || blocks_.back()->Written() >= blocks_.back()->Capacity())
      blocks_.push_back(std::make_unique<TBuffer>(blockSize));
    const int n = blocks_.back()->Write(data, length);
    data += n;
    length -= n;
  }
}

bool tSendQueue::Empty() const {
  for (const auto& b : blocks_)
    if (b->Written() > b->TakenOut()) return false;
  return true;
}

std::string TrimBlanks(const std::string& text) {
  size_t a = 0, b = text.size();
  while (a < b && static_cast<unsigned char>(text[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(text[b - 1]) <= ' ') --b;
  return text.substr(a, b - a);
}

bool IsDottedAddress(const std::string& text) {
  const std::string t = TrimBlanks(text);
  if (t.empty() || t[0] == '.') return false;
  int dots = 0, part = 0;
  bool digitSeen = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (c == '.') {
      if (!digitSeen || ++dots > 3) return false;
      if (i + 1 >= t.size() || t[i + 1] < '0' || t[i + 1] > '9') return false;
      part = 0;
      digitSeen = false;
    } else if (c >= '0' && c <= '9') {
      part = part * 10 + (c - '0');
      if (part > 255) return false;
      digitSeen = true;
    } else {
      return false;
    }
  }
  return dots == 3 && digitSeen;
}

int64_t LeadingNumber(const std::string& text, bool limitToPort) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return -1;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 65535 && limitToPort) throw std::range_error("Range check error");
    if (value > 0x7FFFFFFF) throw std::range_error("Range check error");
  }
  return value;
}

std::string WSocketErrorDesc(int error) {
  struct tEntry {
    int number;
    const char* text;
  };
  static const tEntry kTable[] = {
      {0, "No Error"},
      {10004, "Interrupted system call"},
      {10009, "Bad file number"},
      {10013, "Permission denied"},
      {10014, "Bad address"},
      {10022, "Invalid argument"},
      {10024, "Too many open files"},
      {10035, "Operation would block"},
      {10036, "Operation now in progress"},
      {10037, "Operation already in progress"},
      {10038, "Socket operation on non-socket"},
      {10039, "Destination address required"},
      {10040, "Message too long"},
      {10041, "Protocol wrong type for socket"},
      {10042, "Protocol not available"},
      {10043, "Protocol not supported"},
      {10044, "Socket type not supported"},
      {10045, "Operation not supported on socket"},
      {10046, "Protocol family not supported"},
      {10047, "Address family not supported by protocol family"},
      {10048, "Address already in use"},
      {10049, "Address not available"},
      {10050, "Network is down"},
      {10051, "Network is unreachable"},
      {10052, "Network dropped connection on reset"},
      {10053, "Connection aborted"},
      {10054, "Connection reset by peer"},
      {10055, "No buffer space available"},
      {10056, "Socket is already connected"},
      {10057, "Socket is not connected"},
      {10058, "Can't send after socket shutdown"},
      {10059, "Too many references: can't splice"},
      {10060, "Connection timed out"},
      {10061, "Connection refused"},
      {10062, "Too many levels of symbolic links"},
      {10063, "File name too long"},
      {10064, "Host is down"},
      {10065, "No route to host"},
      {10066, "Directory not empty"},
      {10067, "Too many processes"},
      {10068, "Too many users"},
      {10069, "Disc quota exceeded"},
      {10070, "Stale NFS file handle"},
      {10071, "Too many levels of remote in path"},
      {10091, "Network subsystem is unusable"},
      {10092, "Winsock DLL cannot support this application"},
      {10093, "Winsock not initialized"},
      {10101, "Disconnect"},
      {11001, "Host not found"},
      {11002, "Non authoritative - host not found"},
      {11003, "Non recoverable error"},
      {11004, "Valid name, no data record of requested type"},
  };
  for (const tEntry& e : kTable)
    if (e.number == error) return e.text;
  return "Not a Windows Socket error";
}

std::string WSocketErrorText(int error, const std::string& function) {
  return "Error " + std::to_string(error) + " in function " + function + "\r\n" +
         WSocketErrorDesc(error);
}
