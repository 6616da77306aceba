// TWAIN as the published standard defines it, for the acquisition component: the records that
// cross the source manager's entry point (packed as the platform packs them: 2-byte alignment),
// the program's identity, the state each successful call leads to, and the turning of a native
// transfer (a packed DIB) into a complete BMP file image. No window needed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 2)
struct TW_VERSION {
  uint16_t MajorNum, MinorNum, Language, Country;
  char Info[34];
};
struct TW_IDENTITY {
  uint32_t Id;
  TW_VERSION Version;
  uint16_t ProtocolMajor, ProtocolMinor;
  uint32_t SupportedGroups;
  char Manufacturer[34], ProductFamily[34], ProductName[34];
};
struct TW_USERINTERFACE {
  uint16_t ShowUI, ModalUI;
  void* hParent;
};
struct TW_EVENT {
  void* pEvent;
  uint16_t TWMessage;
};
struct TW_PENDINGXFERS {
  uint16_t Count;
  uint32_t EOJ;
};
struct TW_CAPABILITY {
  uint16_t Cap, ConType;
  void* hContainer;
};
struct TW_ONEVALUE {
  uint16_t ItemType;
  uint32_t Item;
};
#pragma pack(pop)
static_assert(sizeof(TW_IDENTITY) == 156);
static_assert(sizeof(TW_ONEVALUE) == 6);
static_assert(sizeof(TW_PENDINGXFERS) == 6);

// Data groups, data types, messages, return codes and the capability used here.
enum : uint32_t { DG_CONTROL = 1, DG_IMAGE = 2 };
enum : uint16_t {
  DAT_CAPABILITY = 1, DAT_EVENT = 2, DAT_IDENTITY = 3, DAT_PARENT = 4, DAT_PENDINGXFERS = 5,
  DAT_USERINTERFACE = 9, DAT_IMAGENATIVEXFER = 0x0104
};
enum : uint16_t {
  MSG_NULL = 0, MSG_GET = 1, MSG_SET = 6, MSG_RESET = 7, MSG_GETFIRST = 4, MSG_GETNEXT = 5,
  MSG_XFERREADY = 0x0101, MSG_CLOSEDSREQ = 0x0102, MSG_CLOSEDSOK = 0x0103,
  MSG_OPENDSM = 0x0301, MSG_CLOSEDSM = 0x0302, MSG_OPENDS = 0x0401, MSG_CLOSEDS = 0x0402,
  MSG_DISABLEDS = 0x0501, MSG_ENABLEDS = 0x0502, MSG_PROCESSEVENT = 0x0601, MSG_ENDXFER = 0x0701
};
enum : uint16_t {
  TWRC_SUCCESS = 0, TWRC_FAILURE = 1, TWRC_CANCEL = 3, TWRC_DSEVENT = 4, TWRC_NOTDSEVENT = 5,
  TWRC_XFERDONE = 6, TWRC_ENDOFLIST = 7
};
enum : uint16_t { CAP_XFERCOUNT = 1, TWON_ONEVALUE = 5, TWTY_INT16 = 1 };

// The program's identity: version 1.0 "App version 1.0", USA, protocol 1.9, control and image
// groups, "Halvorn Softworks" / "Tavishore" / "Tavishore 32".
TW_IDENTITY ProgramIdentity(const std::string& manufacturer);
// Copies at most 31 characters, zero-filled.
void SetTwainString(char (&field)[34], const std::string& text);
std::string TwainString(const char (&field)[34]);

// The operations of the acquisition and the state a success leads to from the state it needs;
// -1 when the operation is not allowed in that state.
enum TTwainOp {
  toOpenManager, toCloseManager, toOpenSource, toCloseSource, toSetCount, toEnable, toDisable,
  toTransfer, toEndTransferMore, toEndTransferLast, toReset
};
int TwainNextState(TTwainOp op, int state);

// Turns a packed DIB (info header, masks, colour table, rows) into a BMP file image. The header's
// fields are normalised as the acquisition defines (bit counts rounded to 1, 4, 8, 15, 16, 24 or
// 32; the palette size and colours-used made consistent), and the image size is computed from
// them. Safe on any block: false when it is too short for the header, the masks, the palette and
// the rows it declares, or the sizes are out of range; only the computed length is copied.
bool DibToBmpFile(const uint8_t* dib, size_t dibSize, std::vector<uint8_t>& bmp);
