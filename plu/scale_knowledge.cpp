#include "scale_knowledge.h"

#include "link/commands.h"
#include "link/scale_link.h"
#include "plu_grid.h"

ScaleKnowledge::State ScaleKnowledge::state(int plu) const {
    return isPluNumber(plu) ? entries_[static_cast<std::size_t>(plu)].state : State::Unknown;
}

const PluRecord* ScaleKnowledge::record(int plu) const {
    if (state(plu) != State::Present) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(plu)].record;
}

// Only ever called with Absent or Present.
void ScaleKnowledge::set(std::uint16_t plu, State state, PluRecord record) {
    Entry& entry = entries_[plu];
    if (entry.state == State::Unknown) {
        ++known_;
    }
    entry.state = state;
    entry.record = std::move(record);
}

void ScaleKnowledge::learn(std::uint16_t plu, const PluRecord& record, bool keepRunningFigures) {
    // A number beyond the table names no PLU the scale keeps.
    if (!isPluNumber(plu)) {
        return;
    }
    if (pluIsAbsent(plu, record.price)) {
        set(plu, State::Absent, {});
        return;
    }
    PluRecord held = record;
    held.name = nameAsReadBack(record.name);
    if (keepRunningFigures) {
        const PluRecord* before = this->record(plu);
        held.quantity = before != nullptr ? before->quantity : 0;
        held.total = before != nullptr ? before->total : 0;
        held.count = before != nullptr ? before->count : std::int16_t{0};
    }
    set(plu, State::Present, std::move(held));
}

void ScaleKnowledge::learnRead(std::uint16_t plu, const PluRecord& record) {
    learn(plu, record, false);
}

void ScaleKnowledge::learnWritten(std::uint16_t plu, const PluRecord& written) {
    learn(plu, written, true);
}

void ScaleKnowledge::learnFrom(const ScaleKnowledge& other) {
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        const Entry& entry = other.entries_[static_cast<std::size_t>(plu)];
        if (entry.state != State::Unknown) {
            set(static_cast<std::uint16_t>(plu), entry.state, entry.record);
        }
    }
}

void ScaleKnowledge::followFor(const ScaleKnowledge& other) {
    for (int plu = 0; plu < kPluNumbers; ++plu) {
        Entry& entry = entries_[static_cast<std::size_t>(plu)];
        if (entry.state == State::Unknown) {
            continue;
        }
        const Entry& now = other.entries_[static_cast<std::size_t>(plu)];
        if (now.state == State::Unknown) {
            entry = Entry{};
            --known_;
        } else {
            entry = now;
        }
    }
}

void ScaleKnowledge::forget() {
    if (known_ == 0) {
        return;
    }
    for (Entry& entry : entries_) {
        entry = Entry{};
    }
    known_ = 0;
}

std::string nameAsReadBack(std::string_view name) {
    const std::string_view upToZero = name.substr(0, name.find('\0'));
    return std::string(upToZero.substr(0, kPluNameWidth));
}

PluRecordRead readPluRecord(ScaleLink& link, std::uint16_t plu) {
    encodePluReadRequest(link.buffer(), plu);
    if (!link.runCommand(cmd::kReadPlu)) {
        return {};
    }
    PluRecordRead read{PluReadResult::Ok, decodePluRecord(link.buffer())};
    if (pluIsAbsent(plu, read.record.price)) {
        read.result = PluReadResult::Absent;
    }
    return read;
}

PluReadResult readPlu(ScaleKnowledge& knowledge, ScaleLink& link, PluGrid& grid, std::uint16_t plu, int row,
                      char separator) {
    const PluRecordRead read = readPluRecord(link, plu);
    if (read.result == PluReadResult::LinkFailed) {
        knowledge.forget();
        return read.result;
    }
    knowledge.learnRead(plu, read.record);
    if (read.result == PluReadResult::Ok) {
        grid.row(row) = pluRowFromRecord(read.record, plu, separator);
    }
    return read.result;
}

PluWriteResult writePluRow(ScaleKnowledge& knowledge, ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                           int row, char separator) {
    const PluWriteResult result = writePluRow(link, ui, grid, row, separator);
    if (result == PluWriteResult::LinkFailed) {
        knowledge.forget();
    } else if (result == PluWriteResult::Ok && grid.inUse(row)) {
        // The row converted, or nothing would have been sent: this is what went out.
        const auto sent = std::get<PluWriteRequest>(pluWriteRequestFromRow(grid.row(row), separator));
        knowledge.learnWritten(sent.plu, sent.record);
    }
    return result;
}

void endPluUpload(ScaleKnowledge& knowledge, ScaleLink& link) {
    endPluUpload(link);
    if (link.linkError()) {
        knowledge.forget();
    }
}

TransferEnd loadPluRange(ScaleKnowledge& knowledge, ScaleLink& link, PluGrid& grid, int from, int to,
                         char separator, const TransferHooks& hooks) {
    return loadPluRange(
        from, to,
        [&](std::uint16_t plu, int row) {
            // Cannot happen with a range within 1..1799; guards the grid all the same.
            if (!PluGrid::isDataRow(row)) {
                return PluReadResult::Absent;
            }
            return readPlu(knowledge, link, grid, plu, row, separator);
        },
        hooks);
}

TransferEnd savePluRange(ScaleKnowledge& knowledge, ScaleLink& link, UserInterface& ui, const PluGrid& grid,
                         int from, int to, char separator, const TransferHooks& hooks) {
    return savePluRange(
        from, to, [&](int row) { return writePluRow(knowledge, link, ui, grid, row, separator); },
        [&] { endPluUpload(knowledge, link); }, hooks);
}
