// Zip archives written by the tests byte by byte, so that hostile variants are easy to make.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One entry and the bytes its method stores.
struct tRawEntry {
  std::string name, data, packed;  // packed: the data as the method stores it
  uint16_t method = 0, flags = 0;
  uint8_t attributes = 0;  // DOS attribute byte (the entries are made on MS-DOS)
};

inline std::vector<uint8_t> MakeZip(const std::vector<tRawEntry>& entries, uint32_t crcOverride = 0) {
  auto put16 = [](std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
  };
  auto put32 = [&](std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
  };
  auto crcOf = [](const std::string& s) {
    uint32_t c = 0xFFFFFFFF;
    for (unsigned char ch : s) {
      c ^= ch;
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
  };
  std::vector<uint8_t> file, dir;
  for (const auto& e : entries) {
    const std::string& name = e.name;
    const uint32_t offset = static_cast<uint32_t>(file.size());
    const uint32_t crc = crcOverride ? crcOverride : crcOf(e.data);
    put32(file, 0x04034B50);
    put16(file, 10);
    put16(file, e.flags);
    put16(file, e.method);
    put32(file, 0x21000000);
    put32(file, crc);
    put32(file, static_cast<uint32_t>(e.packed.size()));
    put32(file, static_cast<uint32_t>(e.data.size()));
    put16(file, static_cast<uint32_t>(name.size()));
    put16(file, 0);
    file.insert(file.end(), name.begin(), name.end());
    file.insert(file.end(), e.packed.begin(), e.packed.end());
    put32(dir, 0x02014B50);
    put16(dir, 20);
    put16(dir, 10);
    put16(dir, e.flags);
    put16(dir, e.method);
    put32(dir, 0x21000000);
    put32(dir, crc);
    put32(dir, static_cast<uint32_t>(e.packed.size()));
    put32(dir, static_cast<uint32_t>(e.data.size()));
    put16(dir, static_cast<uint32_t>(name.size()));
    put16(dir, 0);
    put16(dir, 0);
    put16(dir, 0);
    put16(dir, 0);
    put32(dir, e.attributes);
    put32(dir, offset);
    dir.insert(dir.end(), name.begin(), name.end());
  }
  const uint32_t dirOffset = static_cast<uint32_t>(file.size());
  file.insert(file.end(), dir.begin(), dir.end());
  put32(file, 0x06054B50);
  put16(file, 0);
  put16(file, 0);
  put16(file, static_cast<uint32_t>(entries.size()));
  put16(file, static_cast<uint32_t>(entries.size()));
  put32(file, static_cast<uint32_t>(dir.size()));
  put32(file, dirOffset);
  put16(file, 0);
  return file;
}

