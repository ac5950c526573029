#include "app/demo_scale.h"

#include "plu/file_replace.h"
#include "plu/whole_file.h"
#include "sim/demo_shop.h"
#include "sim/seed_file.h"
#include "sim/simulated_scale.h"

#include <limits>
#include <sstream>
#include <system_error>

namespace {

// A fault that lasts until the trainee switches it off.
constexpr int kUntilSwitchedOff = std::numeric_limits<int>::max();

// Where an unreadable memory file is moved, so the next stop does not write over it.
std::filesystem::path asideName(const std::filesystem::path& file) {
    std::filesystem::path aside = file;
    aside += ".unreadable";
    return aside;
}

} // namespace

DemoScale::DemoScale(std::filesystem::path memoryFile) : memoryFile_(std::move(memoryFile)) {}

DemoScale::~DemoScale() {
    stop(nullptr);
}

sim::ScaleMemory DemoScale::loadMemory() {
    std::error_code missing;
    if (memoryFile_.empty() || !std::filesystem::exists(memoryFile_, missing)) {
        return sim::demoShopMemory();
    }
    WholeFileFailure failure = WholeFileFailure::None;
    const std::optional<std::string> text = readWholeFile(memoryFile_, kMaxMemoryFileBytes, &failure);
    std::string why;
    sim::ScaleMemory memory = sim::blankMemory();
    if (!text) {
        why = failure == WholeFileFailure::TooLarge ? "it is far too large" : "it cannot be read";
    } else {
        std::istringstream in(*text);
        if (sim::parseSeed(in, memory, &why)) {
            return memory;
        }
    }
    std::error_code moved;
    std::filesystem::rename(memoryFile_, asideName(memoryFile_), moved);
    memoryFileProblem_ = memoryFile_.string() + ": " + why +
                         (moved ? std::string() : "; it is kept as " + asideName(memoryFile_).string());
    return sim::demoShopMemory();
}

bool DemoScale::save(std::string* error) const {
    if (memoryFile_.empty() || !memory_) {
        return true;
    }
    std::ostringstream text;
    sim::writeSeed(text, *memory_);
    std::error_code folderError;
    std::filesystem::create_directories(memoryFile_.parent_path(), folderError);
    if (replaceFileContents(memoryFile_, text.str())) {
        return true;
    }
    if (error != nullptr) {
        *error = "the demo scale's memory could not be written to " + memoryFile_.string() +
                 (folderError ? " (" + folderError.message() + ")" : std::string());
    }
    return false;
}

bool DemoScale::start(std::uint32_t baud, std::string* error) {
    if (scale_) {
        return true;
    }
    if (!memory_) {
        memory_ = std::make_unique<sim::ScaleMemory>(loadMemory());
    }
    auto scale = std::make_unique<sim::SimulatedScale>();
    // It may serve for hours: no record of every request.
    scale->keepRequests(false);
    scale->withMemory([this](sim::ScaleMemory& m) { m = *memory_; });
    scale->setPacing(baud);
    std::string reason;
    if (!scale->start(&reason)) {
        if (error != nullptr) {
            *error = "no pseudo-terminal for the demo scale: " + reason;
        }
        return false;
    }
    scale_ = std::move(scale);
    fault_ = PracticeFault::None;
    return true;
}

bool DemoScale::stop(std::string* error) {
    if (!scale_) {
        return true;
    }
    scale_->stop();
    *memory_ = scale_->snapshot();
    scale_.reset();
    fault_ = PracticeFault::None;
    return save(error);
}

std::string DemoScale::device() const {
    return scale_ ? scale_->device() : std::string();
}

void DemoScale::setFault(PracticeFault fault) {
    if (!scale_) {
        return;
    }
    using sim::Fault;
    using namespace std::chrono_literals;
    scale_->clearFaults();
    switch (fault) {
    case PracticeFault::None:
        break;
    case PracticeFault::Silent:
        scale_->injectFault(Fault::Silent, kUntilSwitchedOff);
        break;
    case PracticeFault::Nak:
        scale_->injectFault(Fault::Nak, kUntilSwitchedOff);
        break;
    case PracticeFault::BadCheckByte:
        scale_->injectFault(Fault::CorruptEveryCheck, kUntilSwitchedOff);
        break;
    case PracticeFault::Slow:
        scale_->injectFault(Fault::Late, kUntilSwitchedOff, kSlowAnswerDelay);
        break;
    case PracticeFault::SwitchedOff:
        // A late answer without delay is a plain one.
        scale_->injectFault(Fault::Late, kRequestsBeforeSwitchOff, 0ms);
        scale_->injectFault(Fault::Silent, kUntilSwitchedOff);
        break;
    }
    fault_ = fault;
}

void DemoScale::setCalibrationMode(bool on) {
    const auto apply = [on](sim::ScaleMemory& m) {
        m.status = static_cast<std::uint8_t>(on ? m.status | kCalibrationModeBit : m.status & ~kCalibrationModeBit);
    };
    if (scale_) {
        scale_->withMemory(apply);
    } else if (memory_) {
        apply(*memory_);
    }
}

bool DemoScale::calibrationMode() const {
    const std::uint8_t status =
        scale_ ? scale_->withMemory([](sim::ScaleMemory& m) { return m.status; }) : (memory_ ? memory_->status : 0);
    return (status & kCalibrationModeBit) != 0;
}

bool DemoScale::reset(std::string* error) {
    memory_ = std::make_unique<sim::ScaleMemory>(sim::demoShopMemory());
    if (scale_) {
        scale_->withMemory([this](sim::ScaleMemory& m) { m = *memory_; });
    }
    return save(error);
}
