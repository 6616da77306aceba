// What the socket component decides without a socket: the send FIFO's blocks, the dotted
// address test, port and protocol numbers, and the texts of socket error numbers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One block of the send FIFO.
class TBuffer {
 public:
  explicit TBuffer(int size);
  // n <= 0 means 1514; written bytes that are not yet taken out survive.
  void Resize(int n);
  // Copies what fits; the count copied (0 when full).
  int Write(const uint8_t* data, int length);
  // The unread bytes (nullptr and 0 when none).
  const uint8_t* Peek(int& length) const;
  // Takes out up to length bytes; when all is read both counts go back to 0.
  int Remove(int length);
  int Capacity() const { return capacity_; }
  int Written() const { return written_; }
  int TakenOut() const { return takenOut_; }

 private:
  std::unique_ptr<uint8_t[]> data_;
  int capacity_ = 0, written_ = 0, takenOut_ = 0;
};

// The FIFO of blocks: appends fill the last block, then new blocks of blockSize.
class tSendQueue {
 public:
  void Append(const uint8_t* data, int length, int blockSize);
  bool Empty() const;
  void Clear() { blocks_.clear(); }
  std::vector<std::unique_ptr<TBuffer>>& Blocks() { return blocks_; }

 private:
  std::vector<std::unique_ptr<TBuffer>> blocks_;
};

// Blanks around, no leading dot, only digits and exactly three dots, each followed by a
// digit, each part at most 255.
bool IsDottedAddress(const std::string& text);
// A leading decimal number (up to the first non-digit); -1 when the text does not start with a
// digit; throws std::range_error("Range check error") above 65535 when limit is set.
int64_t LeadingNumber(const std::string& text, bool limitToPort);
// The published description of a Windows Sockets error number.
std::string WSocketErrorDesc(int error);
// "Error 10061 in function connect\r\n" + description.
std::string WSocketErrorText(int error, const std::string& function);
std::string TrimBlanks(const std::string& text);
