// The code tables of T.4 and T.6, in the forms the fax decoder and encoder look them up.
#pragma once
#include <cstdint>

namespace fax {

constexpr int kWhite = 0, kBlack = 1;

// Run-length codes, looked up by the next 13 bits of the input.
enum tRunKind : uint8_t { runTerminating, runMakeup, runEol, runZeros, runInvalid };
struct tRunEntry {
  uint16_t Run;
  uint8_t Length;  // bits of the code
  tRunKind Kind;
};
constexpr int kRunPeekBits = 13;
// 8192 entries. runZeros: the 12 leading bits are zero (fill before an EOL).
const tRunEntry* RunTable(int color);

// Two-dimensional mode codes, looked up by the next 7 bits of the input; a code starting with
// seven zero bits is an extension code or an EOL, told apart by the caller.
enum tMode : uint8_t { modePass, modeHorizontal, modeVertical, modeLonger, modeInvalid };
struct tModeEntry {
  tMode Mode;
  int8_t Offset;  // vertical modes: a1 - b1
  uint8_t Length;
};
constexpr int kModePeekBits = 7;
const tModeEntry* ModeTable();  // 128 entries

// Encoding: the code of a terminating run (0..63) or a make-up run (64..2560, multiples of 64).
struct tCode {
  uint16_t Bits;
  uint8_t Length;
};
tCode TerminatingCode(int color, int run);
tCode MakeupCode(int color, int run);
// The code of a vertical mode offset -3..3, pass and horizontal.
tCode VerticalCode(int offset);
constexpr tCode kPassCode{0x1, 4};
constexpr tCode kHorizontalCode{0x1, 3};
constexpr tCode kEolCode{0x1, 12};

// Bits reversed within a byte, for fill order 2.
const uint8_t* ReversedBits();

}  // namespace fax
