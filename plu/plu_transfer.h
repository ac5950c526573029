#pragma once
// Moving a range of PLUs between the scale and the grid, one PLU per command.
//
// PLU 0 and PLU 1800 lie outside every range the user can pick and travel
// first with every transfer. A load fills rows one after the other with the
// PLUs the scale holds; a save sends rows by position (rows 1 and 2, then one
// row per PLU of the range), each under the number in its own "NUM" cell, and
// always closes the upload with command 39.
//
// The loops are plain code: the window passes in how to read and write one
// PLU and how to report progress, so they run without a window in tests.

#include "plu_record.h"

#include <cstdint>
#include <functional>

class ScaleLink;
class UserInterface;
class PluGrid;

inline constexpr int kFirstRangePlu = 1;
inline constexpr int kLastRangePlu = 1799;
inline constexpr std::uint16_t kFixedPluLow = 0;
inline constexpr std::uint16_t kFixedPluHigh = 1800;

struct TransferHooks {
    // The progress window's Working flag: false once "STOP" was clicked.
    std::function<bool()> working;
    // After each PLU of the range: position p - FROM, and p for the label.
    // (A window lets its events run while each exchange waits on the line:
    // ScaleLink::setWhileWaiting.)
    std::function<void(int position, int plu)> progress;
};

using ReadOnePlu = std::function<PluReadResult(std::uint16_t plu, int row)>;
using WriteOneRow = std::function<PluWriteResult(int row)>;
using EndUpload = std::function<void()>;

enum class TransferEnd { Completed, Stopped, LinkFailed, ConversionFailed };

// The load loop. Returns how it ended; rows read so far stay filled.
TransferEnd loadPluRange(int from, int to, const ReadOnePlu& readOne, const TransferHooks& hooks);
// The save loop; endUpload runs once at the end whatever happened before.
TransferEnd savePluRange(int from, int to, const WriteOneRow& writeOne, const EndUpload& endUpload,
                         const TransferHooks& hooks);

// The same loops over the one link and the grid.
TransferEnd loadPluRange(ScaleLink& link, PluGrid& grid, int from, int to, char decimalSeparator,
                         const TransferHooks& hooks);
TransferEnd savePluRange(ScaleLink& link, UserInterface& ui, const PluGrid& grid, int from, int to,
                         char decimalSeparator, const TransferHooks& hooks);

// Command 39, empty request: tells the scale the PLU upload is over.
void endPluUpload(ScaleLink& link);
