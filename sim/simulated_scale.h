#pragma once
// A simulated counter scale: a real peer on a pseudo-terminal.
//
// It is written from the scale's side of the protocol (its own frame reader
// and writer, its own record layouts), answers every command from a memory of
// its own, and misbehaves on command so that tests can drive the link through
// every failure it must survive. It serves on a thread of its own; the program
// or a test opens device() like any serial port.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace sim {

inline constexpr int kPluCount = 1801;          // PLU numbers 0..1800
inline constexpr int kPluRecordSize = 54;       // reply of command 4
inline constexpr int kGeneralSettingsSize = 52; // command 34 / reply of 5
inline constexpr int kSystemParametersSize = 24;
inline constexpr int kLogoMemorySize = 1 + 250 * 48; // height byte, then 48 bytes a row

// Everything the scale keeps. Texts are bytes as the scale stores them.
struct ScaleMemory {
    std::string identification = "SIM SCALE";
    std::uint8_t status = 0x00; // StatusByte of every reply; 0x04 = calibration mode

    // PLU records in the layout of the command 4 reply (big-endian). A PLU
    // whose price (first four bytes, signed) is negative is absent.
    std::vector<std::array<std::uint8_t, kPluRecordSize>> plu =
        std::vector<std::array<std::uint8_t, kPluRecordSize>>(kPluCount);

    std::array<std::uint8_t, kGeneralSettingsSize> generalSettings{};
    std::array<std::string, 4> clerkNames;                // command 6 / 37, index 0..3
    std::array<std::string, 8> printLines;                // command 10 / 33, line 1..8 at index 0..7
    std::array<std::string, 40> departmentNames;          // command 9 / 38
    std::array<std::int16_t, 8> taxRates{};               // hundredths, A..H
    std::array<std::uint8_t, 6> clock{26, 1, 1, 0, 0, 0}; // year-2000, month, day, h, m, s
    std::array<std::uint8_t, kSystemParametersSize> systemParameters{};
    bool systemParametersWritten = false;

    std::vector<std::uint8_t> reportMemory = std::vector<std::uint8_t>(65536); // command 67 address space
    std::vector<std::uint8_t> logoMemory = std::vector<std::uint8_t>(kLogoMemorySize);

    // Display, as the command 66 reply carries it.
    std::array<std::string, 3> displayLines{"    0.0", "    0.0", "    0.0"}; // 7 bytes each
    std::array<std::uint8_t, 3> displayMarks{0, 0, 0};
    std::uint8_t indicatorsA = 0x03; // STAB | ZERO
    std::uint8_t indicatorsB = 0x00;

    std::vector<std::uint8_t> keysPressed; // every command 64 key code, in order
    int endOfPluUploads = 0;               // command 39 received

    // What the keys work on: the weight on the platter (shown in line 1 with
    // three decimals), the unit price being keyed in (line 2, hundredths) and
    // the price to pay (line 3). A key press redraws the three lines.
    std::int32_t weightGrams = 0;
    std::int32_t keyedPrice = 0;
};

// One request as the scale received it (after de-stuffing, check verified).
struct ReceivedRequest {
    std::uint8_t address = 0;
    std::uint8_t command = 0;
    std::vector<std::uint8_t> payload;
};

// Ways to misbehave. Each applies to the next `times` requests received with a
// good check; the scale still records those requests.
enum class Fault {
    Silent,            // answer nothing at all (the command is not carried out)
    Nak,               // answer 0x15 instead of acknowledging (not carried out)
    CorruptCheck,      // send the reply with a wrong check byte (then the right one after our 0x15)
    CorruptEveryCheck, // send the reply, and every copy asked for with 0x15, with a wrong check
                       // byte, as over a line that spoils every frame
    NoAcknowledgement, // send the reply frame without the 0x06 before it
    OtherAddressFirst, // send a whole reply with address 1 first, then the real one
    NoiseFirst,        // send a few bytes of noise between 0x06 and the reply
    Flood,             // after 0x06, bytes that never form a frame: 10 000 at most, and
                       // none more once the program writes again
    OverlongReply,     // send a reply of 300 data bytes
    RestartFrame,      // start a reply, abandon it with C3 04, then send the real one
    Late,              // wait `delay` before answering
    HangUp,            // close the line as an unplugged adapter does; the scale is gone
};

// What a scale set to one speed makes of a line the program set to another.
enum class WrongSpeed {
    Silent,  // it understands nothing and says nothing
    Garbage, // it understands nothing, and what it sends back arrives garbled
};

class SimulatedScale {
  public:
    // A new scale is blank, as one fresh from the factory: every PLU absent,
    // texts empty, the display drawn for an empty platter.
    SimulatedScale();
    ~SimulatedScale(); // stops serving and closes the pseudo-terminal
    SimulatedScale(const SimulatedScale&) = delete;
    SimulatedScale& operator=(const SimulatedScale&) = delete;

    // Creates the pseudo-terminal (raw) and starts serving. Returns false on
    // failure, with the system's reason in `error` when one is given.
    bool start(std::string* error = nullptr);
    void stop();
    // The device path to open, e.g. /dev/pts/7.
    std::string device() const;

    // Memory access, under the scale's lock.
    template <class F> auto withMemory(F&& f) {
        std::lock_guard lock(mutex_);
        return f(memory_);
    }
    ScaleMemory snapshot() const;

    // Every request received so far, in order; clearRequests() forgets them.
    std::vector<ReceivedRequest> requests() const;
    void clearRequests();
    // Whether requests() keeps them (it does unless told otherwise): a scale
    // serving for hours, as inside the program, keeps none.
    void keepRequests(bool keep);
    // Number of frames received, including those whose check failed.
    int framesReceived() const;

    void injectFault(Fault fault, int times = 1,
                     std::chrono::milliseconds delay = std::chrono::milliseconds{0});
    void clearFaults();

    // Someone at the counter: `action` runs on the memory between two
    // exchanges, once the scale has carried out `afterRequests` more requests
    // and before it carries out the next one (0: before the next one). A
    // person keying in a new price, or a sale, while the PC is not looking.
    void atCounter(int afterRequests, std::function<void(ScaleMemory&)> action);

    // Sends reply bytes no faster than this line speed would carry them (0: as fast as possible).
    void setPacing(std::uint32_t baud);

    // The scale's own "RS Baud rate": it understands the program only while
    // the program's end of the line is set to this speed (0, the default:
    // whatever speed the program chose). At any other speed every byte the
    // program sends is lost to the scale, which then answers as `atWrongSpeed` says.
    void setScaleSpeed(std::uint32_t baud, WrongSpeed atWrongSpeed = WrongSpeed::Silent);

    // Bytes that crossed the line in each direction since start (for wire-time figures).
    std::uint64_t bytesSent() const;
    std::uint64_t bytesReceived() const;
    // True once a HangUp fault closed the line: the scale is gone.
    bool hungUp() const;

    // Seed file: see sim/seed_file.h. load returns false with a message on a bad file.
    bool loadSeed(const std::string& path, std::string* error = nullptr);
    bool dumpMemory(const std::string& path) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    mutable std::mutex mutex_;
    ScaleMemory memory_;
    friend struct Impl;
};

} // namespace sim
