#include "posix_serial_channel.h"

#include "posix_custom_baud.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A whole block may take its wire time at the port's speed plus this much
// before writeBlock gives up on a port that stopped draining.
constexpr milliseconds kBlockWriteSlack{1100}; // one read time-out
constexpr std::uint64_t kBitsPerByte = 10;     // start bit, 8 data bits, stop bit

// Unix98 pseudo-terminal slaves use these device majors; legacy ones use 3.
constexpr unsigned kFirstPtySlaveMajor = 136;
constexpr unsigned kLastPtySlaveMajor = 143;
constexpr unsigned kLegacyPtySlaveMajor = 3;

std::string systemMessage(int error) { return std::generic_category().message(error); }

// Time left until `deadline`, rounded up to whole milliseconds for poll().
int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<milliseconds::rep>(left.count(), 0));
}

std::optional<speed_t> standardSpeed(std::uint32_t baud) {
    static constexpr std::pair<std::uint32_t, speed_t> kSpeeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
        {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
        {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
        {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
        {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto& [rate, constant] : kSpeeds) {
        if (rate == baud) {
            return constant;
        }
    }
    return std::nullopt;
}

// A pseudo-terminal carries bytes at no speed at all: it need not accept one.
bool isPseudoTerminal(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
        return false;
    }
    const unsigned deviceMajor = major(info.st_rdev);
    return (deviceMajor >= kFirstPtySlaveMajor && deviceMajor <= kLastPtySlaveMajor) ||
           deviceMajor == kLegacyPtySlaveMajor;
}

// Name of a group or user id, or the number when the system has no name for it.
std::string groupName(gid_t id) {
    std::vector<char> scratch(16384);
    struct group entry {};
    struct group* found = nullptr;
    if (getgrgid_r(id, &entry, scratch.data(), scratch.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return std::to_string(id);
}

std::string userName(uid_t id) {
    std::vector<char> scratch(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (getpwuid_r(id, &entry, scratch.data(), scratch.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return std::to_string(id);
}

// The reason for a refused open, with what the user can do about it.
std::string openErrorReason(const std::string& device, int error) {
    if (error == EBUSY || error == EWOULDBLOCK) {
        return kPortInUseReason;
    }
    std::string reason = systemMessage(error);
    struct stat info {};
    if ((error == EACCES || error == EPERM) && stat(device.c_str(), &info) == 0) {
        constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
        if ((info.st_mode & kGroupReadWrite) == kGroupReadWrite) {
            const std::string group = groupName(info.st_gid);
            reason += ": the device belongs to the group '" + group +
                      "', and the user must be a member of it (for example: sudo usermod -aG " + group +
                      " $USER, then log in again)";
        } else {
            reason += ": only the user '" + userName(info.st_uid) + "' may open the device";
        }
    }
    return reason;
}

} // namespace

PosixSerialChannel::~PosixSerialChannel() { close(); }

std::string PosixSerialChannel::devicePath(const PortId& port) {
    if (port.number != 0) {
        if (port.number < 1 || port.number > 255) {
            return {};
        }
        return "/dev/ttyS" + std::to_string(port.number - 1);
    }
    if (port.device.empty()) {
        return {};
    }
    if (port.device.front() == '/') {
        return port.device;
    }
    return "/dev/" + port.device;
}

bool PosixSerialChannel::fail(std::string device, std::string reason) {
    failure_ = OpenFailure{std::move(device), std::move(reason)};
    return false;
}

bool PosixSerialChannel::open(const PortId& port, std::uint32_t baud) {
    close();
    failure_ = {};
    const std::string device = devicePath(port);
    if (device.empty()) {
        return fail(port.number != 0 ? "port " + std::to_string(port.number) : port.device,
                    "no such port: ports are numbered 1 to 255, port n being /dev/ttyS(n-1)");
    }
    if (baud == 0) {
        // Speed 0 would tell the line to hang up.
        return fail(device, "0 bit/s is not a speed");
    }

    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        fail(device, openErrorReason(device, error));
        failure_.inUse = error == EBUSY || error == EWOULDBLOCK;
        return false;
    }
    // TIOCEXCL keeps other openers out, but not root; the lock keeps out
    // everyone who asks for it, root included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        fail(device, error == EWOULDBLOCK ? kPortInUseReason : systemMessage(error));
        failure_.inUse = error == EWOULDBLOCK;
        return false;
    }
    if (!isatty(fd)) {
        ::close(fd);
        return fail(device, "not a serial port");
    }
    ioctl(fd, TIOCEXCL);
    if (!configure(fd, device, baud)) {
        // Never keep a port held that the link cannot use.
        ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    // Linux raises RTS at open; the scale expects it low. A pseudo-terminal
    // has no modem lines and refuses this, which is no reason to fail.
    int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIC, &rts);

    fd_ = fd;
    baud_ = baud;
    return true;
}

bool PosixSerialChannel::configure(int fd, const std::string& device, std::uint32_t baud) {
    struct termios settings {};
    if (tcgetattr(fd, &settings) != 0) {
        const int error = errno;
        return fail(device, "cannot read the port's settings: " + systemMessage(error));
    }
    // Raw bytes: no translation, no echo, no signals, no software flow control.
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                               IXOFF | IXANY | INPCK);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    // 8 data bits, no parity, one stop bit, no hardware flow control; modem
    // status lines do not gate the receiver.
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    // Reads never block in the driver; readByte waits with poll().
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;

    const auto standard = standardSpeed(baud);
    if (standard) {
        cfsetispeed(&settings, *standard);
        cfsetospeed(&settings, *standard);
    }
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        const int error = errno;
        return fail(device, "cannot configure the port: " + systemMessage(error));
    }
    if (!standard && !setCustomBaud(fd, baud) && !isPseudoTerminal(fd)) {
        const int error = errno;
        fail(device, "the port cannot run at " + std::to_string(baud) + " bit/s" +
                         (error != 0 ? ": " + systemMessage(error) : std::string()));
        failure_.speedRefused = true;
        return false;
    }
    return true;
}

void PosixSerialChannel::close() {
    if (fd_ < 0) {
        return;
    }
    // The exclusive flag belongs to the terminal, not to this descriptor: it
    // would outlive the close while another program keeps the device open.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    baud_ = 0;
    receivedNext_ = 0;
    receivedEnd_ = 0;
}

std::optional<std::uint8_t> PosixSerialChannel::readByte(milliseconds timeout) {
    if (fd_ < 0) {
        return std::nullopt;
    }
    if (receivedNext_ == receivedEnd_ && !fill(timeout)) {
        return std::nullopt;
    }
    return received_[receivedNext_++];
}

bool PosixSerialChannel::fill(milliseconds timeout) {
    receivedNext_ = 0;
    receivedEnd_ = 0;
    const auto deadline = Clock::now() + timeout;
    // Bounded by the deadline: every pass either returns or waits in poll().
    for (;;) {
        pollfd watch{fd_, POLLIN, 0};
        const int ready = poll(&watch, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready == 0) {
            return false; // time-out
        }
        if (ready > 0) {
            if ((watch.revents & POLLIN) != 0) {
                const ssize_t got = ::read(fd_, received_.data(), received_.size());
                if (got > 0) {
                    receivedEnd_ = static_cast<std::size_t>(got);
                    return true;
                }
                if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                    return false; // end of file or a failed read: the line is gone
                }
            } else if ((watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
                return false; // hung up: no byte will ever come
            }
        }
        if (Clock::now() >= deadline) {
            return false;
        }
    }
}

namespace {

// Writes all of `bytes` to a non-blocking descriptor, waiting for room with
// poll() until `deadline`. True when every byte went out.
bool writeAll(int fd, std::span<const std::uint8_t> bytes, Clock::time_point deadline) {
    std::size_t written = 0;
    // Bounded by the deadline: every pass writes or waits in poll().
    while (written < bytes.size()) {
        const ssize_t sent = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (sent > 0) {
            written += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        const int left = millisecondsLeft(deadline);
        if (left == 0) {
            return false;
        }
        pollfd watch{fd, POLLOUT, 0};
        const int ready = poll(&watch, 1, left);
        if (ready < 0 && errno != EINTR) {
            return false;
        }
        if (ready > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool PosixSerialChannel::writeByte(std::uint8_t byte, milliseconds timeout) {
    if (fd_ < 0) {
        return false;
    }
    return writeAll(fd_, std::span<const std::uint8_t>(&byte, 1), Clock::now() + timeout);
}

bool PosixSerialChannel::writeBlock(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0) {
        return false;
    }
    const std::uint64_t wireMilliseconds = baud_ == 0 ? 0 : bytes.size() * kBitsPerByte * 1000 / baud_ + 1;
    const auto limit = kBlockWriteSlack + milliseconds(static_cast<milliseconds::rep>(wireMilliseconds));
    return writeAll(fd_, bytes, Clock::now() + limit);
}

void PosixSerialChannel::purgeReceive() {
    // Bytes already taken from the driver are as stale as those still in it.
    receivedNext_ = 0;
    receivedEnd_ = 0;
    if (fd_ >= 0) {
        tcflush(fd_, TCIFLUSH);
    }
}

std::size_t PosixSerialChannel::pendingInput() const {
    std::size_t pending = receivedEnd_ - receivedNext_;
    int inDriver = 0;
    if (fd_ >= 0 && ioctl(fd_, FIONREAD, &inDriver) == 0 && inDriver > 0) {
        pending += static_cast<std::size_t>(inDriver);
    }
    return pending;
}

void PosixSerialChannel::raiseDtr() {
    if (fd_ < 0) {
        return;
    }
    // Refused by a pseudo-terminal, which has no DTR line: nothing to do then.
    int dtr = TIOCM_DTR;
    ioctl(fd_, TIOCMBIS, &dtr);
}
