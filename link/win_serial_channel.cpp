#include "win_serial_channel.h"

#include "win_error_text.h"

#include <algorithm>
#include <cwctype>
#include <utility>
#include <windows.h>

namespace {

using std::chrono::milliseconds;

// A whole block may take its wire time at the port's speed plus this much
// before writeBlock gives up on a port that stopped draining.
constexpr milliseconds kBlockWriteSlack{1100}; // one read time-out
constexpr std::uint64_t kBitsPerByte = 10;     // start bit, 8 data bits, stop bit
// Where a caller allows no time at all, a write still gets this long: a
// write time-out of zero means "no time-out" to the driver.
constexpr DWORD kShortestWriteMs = 1;
// The device prefix under which every port is named, so that COM10 and above open.
constexpr const char* kDevicePrefix = "\\\\.\\";
// The named lock of a port, e.g. Local\tallivos-serial-COM12.
constexpr const wchar_t* kLockPrefix = L"Local\\tallivos-serial-";

HANDLE handleOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

DWORD clampedMilliseconds(milliseconds duration) {
    const auto count = std::clamp<milliseconds::rep>(duration.count(), 0, MAXDWORD - 1);
    return static_cast<DWORD>(count);
}

// The device path as text of the system's wide calls (port names are ASCII;
// anything else is taken as UTF-8, the encoding typed names come in).
std::wstring widePath(const std::string& path) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
    }
    return wide;
}

// The lock name of a device: the name after \\.\ in capitals (the system
// treats COM12 and com12 as one port), with no backslash left in it.
std::wstring lockName(const std::string& devicePath) {
    std::wstring name = widePath(devicePath.substr(std::string(kDevicePrefix).size()));
    for (wchar_t& c : name) {
        c = c == L'\\' ? L'/' : static_cast<wchar_t>(std::towupper(c));
    }
    return kLockPrefix + name;
}

// The reason for a refused CreateFile, with what the user can do about it.
std::string openErrorReason(DWORD error) {
    const std::string words = windowsErrorText(error);
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return std::string(kPortInUseReason) + ": " + words;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return words + ": the PC has no port of that name; the Device Manager lists its ports under "
                       "\"Ports (COM & LPT)\"";
    default:
        return words;
    }
}

} // namespace

WinSerialChannel::~WinSerialChannel() {
    close();
}

std::string WinSerialChannel::shownName(const std::string& devicePath) {
    const std::string prefix = kDevicePrefix;
    return devicePath.rfind(prefix, 0) == 0 ? devicePath.substr(prefix.size()) : devicePath;
}

std::string WinSerialChannel::devicePath(const PortId& port) {
    if (port.number != 0) {
        if (port.number < 1 || port.number > 255) {
            return {};
        }
        return kDevicePrefix + std::string("COM") + std::to_string(port.number);
    }
    if (port.device.empty()) {
        return {};
    }
    if (port.device.rfind(kDevicePrefix, 0) == 0) {
        return port.device.size() > std::string(kDevicePrefix).size() ? port.device : std::string();
    }
    return kDevicePrefix + port.device;
}

bool WinSerialChannel::fail(std::string device, std::string reason) {
    failure_ = OpenFailure{std::move(device), std::move(reason)};
    return false;
}

bool WinSerialChannel::open(const PortId& port, std::uint32_t baud) {
    close();
    failure_ = {};
    const std::string path = devicePath(port);
    if (path.empty()) {
        return fail(port.number != 0 ? "port " + std::to_string(port.number) : port.device,
                    "no such port: ports are numbered 1 to 255, port n being COMn");
    }
    const std::string shown = shownName(path);
    if (baud == 0) {
        return fail(shown, "0 bit/s is not a speed");
    }

    // The lock first: a port another channel holds is not even opened, as
    // opening a port may change its lines under the program using it.
    HANDLE lock = CreateMutexW(nullptr, FALSE, lockName(path).c_str());
    const DWORD lockError = GetLastError();
    if (lock == nullptr) {
        return fail(shown, "cannot lock the port: " + windowsErrorText(lockError));
    }
    if (lockError == ERROR_ALREADY_EXISTS) {
        CloseHandle(lock);
        fail(shown, kPortInUseReason);
        failure_.inUse = true;
        return false;
    }

    HANDLE device = CreateFileW(widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        CloseHandle(lock);
        fail(shown, openErrorReason(error));
        failure_.inUse = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
        return false;
    }
    port_ = device;
    portLock_ = lock;
    if (!configure(shown, baud)) {
        // Never keep a port held that the link cannot use.
        const OpenFailure kept = failure_;
        close();
        failure_ = kept;
        return false;
    }
    baud_ = baud;
    return true;
}

bool WinSerialChannel::configure(const std::string& device, std::uint32_t baud) {
    if (GetFileType(handleOf(port_)) != FILE_TYPE_CHAR) {
        return fail(device, "not a serial port");
    }
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(handleOf(port_), &settings)) {
        return fail(device, "not a serial port: " + windowsErrorText(GetLastError()));
    }
    settings.BaudRate = baud;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    // Binary is the only mode the system has. Everything else off: no parity
    // check, no CTS/DSR/XON-XOFF flow control, DTR and RTS not driven by the
    // driver (RTS stays low; the link raises DTR itself), no byte replaced or
    // dropped, no read aborted after a line error.
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_DISABLE;
    settings.fDsrSensitivity = FALSE;
    settings.fTXContinueOnXoff = TRUE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fErrorChar = FALSE;
    settings.fNull = FALSE;
    settings.fRtsControl = RTS_CONTROL_DISABLE;
    settings.fAbortOnError = FALSE;
    if (!SetCommState(handleOf(port_), &settings)) {
        // The other settings are the ones every port has: it is the speed.
        fail(device, "the port cannot run at " + std::to_string(baud) + " bit/s: " + windowsErrorText(GetLastError()));
        failure_.speedRefused = true;
        return false;
    }
    const DWORD readTimeoutMs = clampedMilliseconds(kBlockWriteSlack);
    if (!useTimeouts(Timeouts{0, readTimeoutMs, readTimeoutMs})) {
        return fail(device, "cannot set the port's time-outs: " + windowsErrorText(GetLastError()));
    }
    return true;
}

void WinSerialChannel::close() {
    if (port_ != nullptr) {
        CloseHandle(handleOf(port_));
        port_ = nullptr;
    }
    if (portLock_ != nullptr) {
        CloseHandle(handleOf(portLock_));
        portLock_ = nullptr;
    }
    baud_ = 0;
    timeoutsSet_ = false;
    receivedNext_ = 0;
    receivedEnd_ = 0;
}

bool WinSerialChannel::useTimeouts(const Timeouts& wanted) {
    if (timeoutsSet_ && wanted == timeouts_) {
        return true;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = wanted.readInterval;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = wanted.readConstant;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = wanted.writeConstant;
    if (!SetCommTimeouts(handleOf(port_), &timeouts)) {
        return false;
    }
    timeouts_ = wanted;
    timeoutsSet_ = true;
    return true;
}

bool WinSerialChannel::readTimeoutsFor(milliseconds timeout) {
    Timeouts wanted = timeouts_;
    const DWORD ms = clampedMilliseconds(timeout);
    if (ms == 0) {
        // Only what has arrived: a read returns at once, with or without a byte.
        wanted.readInterval = MAXDWORD;
        wanted.readConstant = 0;
    } else {
        // A read of n bytes returns when n have arrived or the time is up.
        wanted.readInterval = 0;
        wanted.readConstant = ms;
    }
    return useTimeouts(wanted);
}

std::optional<std::uint8_t> WinSerialChannel::readByte(milliseconds timeout) {
    if (port_ == nullptr) {
        return std::nullopt;
    }
    if (receivedNext_ == receivedEnd_ && !fill(timeout)) {
        return std::nullopt;
    }
    return received_[receivedNext_++];
}

bool WinSerialChannel::fill(milliseconds timeout) {
    receivedNext_ = 0;
    receivedEnd_ = 0;
    // What the driver holds comes in one read, which returns at once; with
    // nothing held, one byte is waited for, and the rest of a reply that
    // comes with it is taken by the next fill. A driver that cannot say what
    // it holds has lost its device (an adapter unplugged, a line hung up): no
    // byte will ever come, so the read fails at once.
    DWORD lineErrors = 0;
    COMSTAT status{};
    if (!ClearCommError(handleOf(port_), &lineErrors, &status)) {
        return false;
    }
    const DWORD want = std::clamp<DWORD>(status.cbInQue, 1, kReceiveBufferSize);
    if (!readTimeoutsFor(timeout)) {
        return false;
    }
    DWORD got = 0;
    if (!ReadFile(handleOf(port_), received_.data(), want, &got, nullptr) || got == 0) {
        return false; // a failed read (the device is gone) or the time-out
    }
    receivedEnd_ = got;
    return true;
}

bool WinSerialChannel::writeWithin(std::span<const std::uint8_t> bytes, milliseconds limit) {
    Timeouts wanted = timeouts_;
    wanted.writeConstant = std::max(clampedMilliseconds(limit), kShortestWriteMs);
    if (!useTimeouts(wanted)) {
        return false;
    }
    // On a handle without overlapped input/output the driver returns short
    // only when the write time-out ran out.
    DWORD written = 0;
    return WriteFile(handleOf(port_), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool WinSerialChannel::writeByte(std::uint8_t value, milliseconds timeout) {
    if (port_ == nullptr) {
        return false;
    }
    return writeWithin(std::span<const std::uint8_t>(&value, 1), timeout);
}

bool WinSerialChannel::writeBlock(std::span<const std::uint8_t> bytes) {
    if (port_ == nullptr) {
        return false;
    }
    const std::uint64_t wireMilliseconds = baud_ == 0 ? 0 : bytes.size() * kBitsPerByte * 1000 / baud_ + 1;
    return writeWithin(bytes,
                       kBlockWriteSlack + milliseconds(static_cast<milliseconds::rep>(wireMilliseconds)));
}

void WinSerialChannel::purgeReceive() {
    // Bytes already taken from the driver are as stale as those still in it.
    receivedNext_ = 0;
    receivedEnd_ = 0;
    if (port_ != nullptr) {
        PurgeComm(handleOf(port_), PURGE_RXCLEAR);
    }
}

void WinSerialChannel::raiseDtr() {
    if (port_ == nullptr) {
        return;
    }
    // Refused where the port has no DTR line (a pseudo-terminal under Wine):
    // nothing to do then.
    EscapeCommFunction(handleOf(port_), SETDTR);
}
