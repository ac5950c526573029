#pragma once
// The demo scale inside the program: the simulated scale serving on a
// pseudo-terminal of its own making, on a thread of its own, with a memory
// that outlives the program. It starts as the demo shop; what the program
// writes to it is kept in its memory file (a seed file, written whole at
// every stop) and read back at the next start. It opens no device but the
// pseudo-terminal it made, so no real port is ever touched.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace sim {
class SimulatedScale;
struct ScaleMemory;
} // namespace sim

// The misbehaviours a trainee can switch the demo scale to, one at a time.
enum class PracticeFault {
    None,        // answers every request
    Silent,      // answers nothing: every attempt of the program times out
    Nak,         // refuses every request with 0x15
    BadCheckByte, // every reply, and every copy the program asks for again, has a wrong check byte
    Slow,        // answers every request late, though within the program's time-out
    SwitchedOff, // switched off in the middle of the next transfer: silent after a few more requests
};

// Late, yet inside the 1100 ms the program waits for a byte: every exchange
// succeeds, a long transfer crawls.
inline constexpr std::chrono::milliseconds kSlowAnswerDelay{700};
// Requests a switched-off scale still answers: the next PLU or settings
// transfer breaks off part-way.
inline constexpr int kRequestsBeforeSwitchOff = 20;
// A full scale's memory file is well under 1 MB; a larger file is not one.
inline constexpr std::uintmax_t kMaxMemoryFileBytes = 8u << 20;
// StatusByte bit 2: the scale's calibration switch.
inline constexpr std::uint8_t kCalibrationModeBit = 0x04;

class DemoScale {
public:
    // `memoryFile` keeps the memory between runs; with none it lasts for this run.
    explicit DemoScale(std::filesystem::path memoryFile = {});
    ~DemoScale(); // stops serving, and writes the memory file as stop() does
    DemoScale(const DemoScale&) = delete;
    DemoScale& operator=(const DemoScale&) = delete;

    // Starts serving with the memory of its last stop (the memory file's at
    // the first start, the demo shop's when there is none), its replies
    // paced as a line at `baud` bit/s carries them. False with the system's
    // reason when no pseudo-terminal could be made.
    bool start(std::uint32_t baud, std::string* error);
    // Stops serving (practice faults end with it) and writes the memory file.
    // False with the reason when the file could not be written; the memory is
    // still kept for the next start and written again at the next stop.
    bool stop(std::string* error);
    bool running() const { return scale_ != nullptr; }
    // The device to open while running, e.g. /dev/pts/4.
    std::string device() const;

    void setFault(PracticeFault fault);
    PracticeFault fault() const { return fault_; }
    void setCalibrationMode(bool on);
    bool calibrationMode() const;

    // The demo shop again, in place of everything written to the scale; the
    // memory file is written at once. False with the reason when it could not be.
    bool reset(std::string* error);

    const std::filesystem::path& memoryFile() const { return memoryFile_; }
    // Set when the memory file found at the first start was not a demo
    // scale's memory: why, and where it was moved so nothing is lost. The
    // demo shop stood in for it.
    const std::string& memoryFileProblem() const { return memoryFileProblem_; }

private:
    sim::ScaleMemory loadMemory();
    bool save(std::string* error) const;

    std::filesystem::path memoryFile_;
    std::unique_ptr<sim::ScaleMemory> memory_; // while stopped; loaded at the first start
    std::unique_ptr<sim::SimulatedScale> scale_;
    PracticeFault fault_ = PracticeFault::None;
    std::string memoryFileProblem_;
};
