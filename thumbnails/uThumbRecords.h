// The stored records of the thumbnail database, laid out byte for byte as the files hold them
// (little-endian, packed). Short strings are a length byte and a fixed capacity; the accessors
// clamp a stored length above the capacity, so a damaged record never reads past its field.
#pragma once
#include <bit>
#include <cstdint>
#include <string>

static_assert(std::endian::native == std::endian::little, "the database files are little-endian");

constexpr int kThumbRecordSize = 347;
constexpr int kGallerySettingsSize = 508;
constexpr int kThumbPathCapacity = 260;
constexpr int kKeywordsCapacity = 52;

#pragma pack(push, 1)

// Record 0 of ".th0".
struct TThumbnailHeader {
  uint8_t Zero;
  uint8_t Signature[9];  // short string, capacity 8: "Tavis"
  uint8_t SizeCode;      // 4..12
  uint32_t Count;
  uint32_t VolumeSerial;  // labels generated so far
  uint16_t ChangeCounter;
  uint8_t Flags;  // bit 4: skip files whose extension is in the non-picture table
  uint8_t Byte22;
  uint32_t Purged;  // records whose status is not 'A'
  uint8_t Reserved[320];
};

// Records 1..n of ".th0".
struct TThumbnailRecord {
  char Status;  // 'A' active, 'p' purged, 'D' marked deleted; 0 empty
  char Path[kThumbPathCapacity + 1];
  uint32_t Volume;  // 0 fixed disk, else a ".th2" label number
  uint32_t DosTime;
  uint32_t FileSize;
  uint16_t Width;
  uint16_t Height;
  uint16_t ColorCode;
  uint8_t FormatId;
  uint32_t ErrorCode;
  char Group;                             // ' ' when none
  uint8_t Keywords[kKeywordsCapacity + 1];  // short string
  uint32_t DataOffset;                    // in ".th1"
  uint16_t DataLength;
  uint8_t ThumbWidth;
  uint8_t ThumbHeight;
};

// The whole of ".th3".
struct TGallerySettings {
  uint8_t Byte0;
  uint8_t Unused1[3];
  uint32_t Word4;
  uint8_t SortKey;  // 0..7
  uint8_t Order;    // 0 forward, 1 backward
  uint8_t StatusFilter[3];    // short string, capacity 2
  uint8_t GroupsFilter[27];   // capacity 26
  uint8_t DrivesFilter[27];   // capacity 26
  uint8_t KeywordsFilter[61];  // capacity 60
  uint8_t Rest[380];
};

// The facts GetStatistics gathers for the options dialog.
struct TThumbnailStats {
  uint8_t HeaderZero;
  uint8_t Signature[9];
  uint8_t SizeCode;
  uint32_t HeaderCount;
  uint16_t ChangeCounter;
  uint8_t Flags;
  uint8_t Byte22;
  uint32_t Purged;
  uint16_t RecordSize;
  uint16_t SettingsSize;
  uint32_t BoxWidth;
  uint32_t BoxHeight;
  uint32_t IndexRecords;  // ".th0" length in records
  uint32_t DataBytes;     // ".th1" length
  uint32_t IndexBytes;    // ".th0" length in bytes
  uint8_t NextLabel[12];  // short string, capacity 11
  uint32_t Active;
  uint32_t Other;
  uint32_t Scanned;
  uint32_t ActiveBytes;
  uint32_t OtherBytes;
  uint32_t AllBytes;
};

#pragma pack(pop)

static_assert(sizeof(TThumbnailHeader) == kThumbRecordSize);
static_assert(sizeof(TThumbnailRecord) == kThumbRecordSize);
static_assert(sizeof(TGallerySettings) == kGallerySettingsSize);
static_assert(sizeof(TThumbnailStats) == 83);

// A short string field of the given capacity (capacity + 1 bytes); a length above the capacity
// reads as the capacity.
std::string ShortString(const uint8_t* field, int capacity);
// Stores text (cut to the capacity) and zeroes the rest of the field.
void SetShortString(uint8_t* field, int capacity, const std::string& text);

// The record's path up to its terminator, at most 260 characters even without one.
std::string RecordPathText(const TThumbnailRecord& record);
// Stores at most 260 characters, zero-terminated and zero-padded.
void SetRecordPathText(TThumbnailRecord& record, const std::string& path);
std::string RecordKeywords(const TThumbnailRecord& record);
void SetRecordKeywords(TThumbnailRecord& record, const std::string& keywords);

// The gallery filters as texts.
std::string StatusFilter(const TGallerySettings& settings);
std::string GroupsFilter(const TGallerySettings& settings);
std::string DrivesFilter(const TGallerySettings& settings);
std::string KeywordsFilter(const TGallerySettings& settings);
void SetStatusFilter(TGallerySettings& settings, const std::string& text);
void SetGroupsFilter(TGallerySettings& settings, const std::string& text);
void SetDrivesFilter(TGallerySettings& settings, const std::string& text);
void SetKeywordsFilter(TGallerySettings& settings, const std::string& text);
