#pragma once
// SEND CHANGES: only the rows whose PLU differs from what the program knows
// the scale holds are written, then command 39 closes the upload.
//
// Rows are matched by "NUM", not by position, within PLU 0, PLU 1800 and the
// range FROM..TO, as a load reads them. A PLU someone changed at the counter
// since the program learnt it, and that the grid did not change, is not among
// the rows sent, so it is not overwritten with the grid's older text. PLUs the
// scale holds and no row does are left alone: SEND CHANGES never removes one.
//
// Before the first byte goes out, every row in use must have a PLU number of
// its own (one message names the rows that do not) and every row the send may
// write must convert; the rows are taken as they are at that moment. PLUs the
// program does not know are then read (with progress and STOP), each changed
// row is written with command 35 exactly as SAVE TO SCALE writes it, and read
// back with command 4 when verification is asked for. Command 39 follows once
// anything was written, whatever stopped the upload, as it follows every save.

#include "grid_plu_index.h"
#include "plu_comparison.h"
#include "scale_knowledge.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class SendPhase {
    ReadingUnknown, // PLUs the program did not know are read: positions p - FROM, as a load
    Writing,        // the changed rows: position n after the n-th row
};

struct SendChangesHooks {
    TransferHooks transfer;
    // A phase starts; its progress positions run from 0 to `steps`.
    std::function<void(SendPhase phase, int steps)> phaseBegins;
};

struct SendChangesOptions {
    int from = kFirstRangePlu;
    int to = kLastRangePlu;
    char decimalSeparator = '.';
    bool verifyWrites = false; // each written PLU read back and compared
};

enum class SendChangesEnd {
    Completed,        // every changed row written (and read back the same)
    NothingToSend,    // no row differs: nothing was sent
    Refused,          // rows without a PLU number of their own: nothing was sent
    ConversionFailed, // a changed row has a cell that does not convert: nothing was sent
    Stopped,          // STOP: the rows written so far stay written and known
    LinkFailed,       // an exchange failed: the knowledge is dropped
    VerifyFailed,     // a PLU read back differs from what was written: the send stopped there
};

struct SendChangesOutcome {
    SendChangesEnd end = SendChangesEnd::Completed;
    int plusRead = 0;                   // read first, as the program did not know them
    std::vector<std::uint16_t> written; // acknowledged by the scale, in the order sent
    std::uint16_t mismatchedPlu = 0;    // VerifyFailed: the PLU and its differing columns
    PluColumnSet mismatchedColumns = 0;
};

// True when `plu` is among those a transfer of FROM..TO reaches.
bool inTransferScope(int plu, int from, int to);

// The PLUs SEND CHANGES would read first: in the range, held by a row in
// use, not known. The caller tells the user when there are any.
std::vector<std::uint16_t> plusToReadFirst(const PluGrid& grid, const ScaleKnowledge& knowledge, int from,
                                           int to);

// The whole SEND CHANGES, once the caller has checked the connection. Messages
// go through `ui`: the refused rows, a cell that does not convert, a PLU that
// reads back different; runCommand shows its own on a failed exchange.
SendChangesOutcome sendChangedRows(ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                                   ScaleKnowledge& knowledge, const SendChangesOptions& options,
                                   const SendChangesHooks& hooks);

// "PLU 17 reads back from the scale with other values than were written (PRICE, NAME). The send stopped
// there."
std::string verifyMismatchText(std::uint16_t plu, PluColumnSet columns);

// The PLUs in the range whose grid row still holds what the program knew of
// them before a compare found them changed on the scale (`before`, from
// CompareOutcome::changedOnScale), and that differ from what it knows now:
// SEND CHANGES would put the grid's older values back over the change.
std::vector<std::uint16_t> plusOverwritingScaleChanges(const PluGrid& grid, const ScaleKnowledge& before,
                                                       const ScaleKnowledge& now, int from, int to,
                                                       char decimalSeparator);
// Asked before such a send: keep the scale's values, write the grid's, or stop.
std::string overwriteQuestion(const std::vector<std::uint16_t>& plus);

// The closing note of a send: how many PLUs were written and how it ended,
// e.g. "10 PLUs written." The boxes the send showed are not repeated.
std::string sendChangesNote(const SendChangesOutcome& outcome, bool verified);

// Asked before writing what a compare has just found different, when the
// program knew nothing of those PLUs before: a difference may then be a change
// made at the counter, which the write would overwrite.
std::string writeAfterCompareQuestion(const PluComparison& comparison, const PluGrid& grid);
// The rows such a write would send, as the question counts them.
int rowsToWrite(const PluComparison& comparison);
