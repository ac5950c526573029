#pragma once
// What the program knows the scale holds, PLU by PLU, in this connection.
//
// A PLU is known only from an exchange that succeeded: as the scale sent it
// in reply to command 4 (a load, a compare, a read-back), or as written by a
// command 35 the scale acknowledged. Whatever puts the scale's content in
// doubt drops everything: a failed exchange (a write may or may not have been
// carried out; the scale may have been switched off or swapped) and the end
// of the connection. So a PLU is either known exactly or not known at all.
//
// The page owns one. LOAD FROM SCALE and SAVE TO SCALE feed it through the
// drop-in operations at the end of this file, which send exactly the bytes
// of the plain ones; COMPARE WITH SCALE and SEND CHANGES feed it themselves.

#include "plu_record.h"
#include "plu_transfer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kPluNumbers = kFixedPluHigh + 1; // PLUs 0..1800

// True when a PLU with this price is one the scale does not hold: a negative
// price, except for PLU 0, which the scale always shows.
inline bool pluIsAbsent(std::uint16_t plu, std::int32_t price) {
    return price < 0 && plu != 0;
}

class ScaleKnowledge {
  public:
    enum class State : std::uint8_t { Unknown, Absent, Present };

    static bool isPluNumber(int plu) { return plu >= 0 && plu < kPluNumbers; }

    // Numbers beyond the table are never known.
    State state(int plu) const;
    bool knows(int plu) const { return state(plu) != State::Unknown; }
    // The PLU as the scale holds it; nullptr unless it is Present.
    const PluRecord* record(int plu) const;
    int knownCount() const { return known_; }
    bool empty() const { return known_ == 0; }

    // The scale's reply to command 4 for `plu`.
    void learnRead(std::uint16_t plu, const PluRecord& record);
    // The scale acknowledged command 35 for `plu` carrying `written`. The
    // running figures are not sent: the scale keeps its own, so what was
    // known of them stays.
    void learnWritten(std::uint16_t plu, const PluRecord& written);
    // What `other` knows replaces what this knowledge held for those PLUs.
    void learnFrom(const ScaleKnowledge& other);
    // Each PLU this knows takes what `other` knows of it now; one that
    // `other` does not know is no longer known here either. Keeps a part of
    // the table (what one compare read) in step with the whole knowledge.
    void followFor(const ScaleKnowledge& other);
    // DISCONNECT, a new connection, a failed exchange.
    void forget();

  private:
    struct Entry {
        State state = State::Unknown;
        PluRecord record;
    };
    void learn(std::uint16_t plu, const PluRecord& record, bool keepRunningFigures);
    void set(std::uint16_t plu, State state, PluRecord record);

    std::vector<Entry> entries_ = std::vector<Entry>(kPluNumbers);
    int known_ = 0;
};

// The name as the scale gives it back: up to its first zero byte, at most 30 bytes.
std::string nameAsReadBack(std::string_view name);

// Command 4 for one PLU, without a grid: the record, or why there is none.
// The same request readPlu sends.
struct PluRecordRead {
    PluReadResult result = PluReadResult::LinkFailed;
    PluRecord record;
};
PluRecordRead readPluRecord(ScaleLink& link, std::uint16_t plu);

// Drop-in for readPlu: the same exchange and the same row, and the knowledge
// learns the reply (or forgets everything when the exchange failed).
PluReadResult readPlu(ScaleKnowledge& knowledge, ScaleLink& link, PluGrid& grid, std::uint16_t plu, int row,
                      char decimalSeparator);
// Drop-in for writePluRow: the same exchange; an acknowledged write is learnt.
PluWriteResult writePluRow(ScaleKnowledge& knowledge, ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                           int row, char decimalSeparator);
// Drop-in for endPluUpload: a failed command 39 is a failed exchange too.
void endPluUpload(ScaleKnowledge& knowledge, ScaleLink& link);

// LOAD FROM SCALE and SAVE TO SCALE over the link, feeding the knowledge.
TransferEnd loadPluRange(ScaleKnowledge& knowledge, ScaleLink& link, PluGrid& grid, int from, int to,
                         char decimalSeparator, const TransferHooks& hooks);
TransferEnd savePluRange(ScaleKnowledge& knowledge, ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                         int from, int to, char decimalSeparator, const TransferHooks& hooks);
