// scale-sim: a simulated counter scale on a pseudo-terminal.
//
// Prints the device to open on its first line of output and serves until it
// gets SIGINT or SIGTERM (or, with --stdin, until its standard input closes).

#include "sim/demo_shop.h"
#include "sim/logo_picture.h"
#include "sim/simulated_scale.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kUsage = "usage: scale-sim [options]\n"
                               "\n"
                               "A simulated counter scale on a pseudo-terminal. Prints the device to open\n"
                               "(e.g. /dev/pts/7) on the first line of its output, then answers the\n"
                               "utility's requests until it receives SIGINT (Ctrl+C) or SIGTERM.\n"
                               "\n"
                               "options:\n"
                               "  --seed FILE     start from the memory this seed file describes\n"
                               "                  (format: see the comment at the top of sim/seed_file.h)\n"
                               "  --demo          start from the demo shop built in (a greengrocer's\n"
                               "                  PLUs, settings and a day's sales)\n"
                               "  --dump FILE     write the memory to FILE as a seed file at exit\n"
                               "  --logo-png FILE write the logo the scale holds to FILE as a PNG at exit\n"
                               "                  (what its receipts print; nothing when it holds none)\n"
                               "  --id TEXT       identification text (up to 32 bytes)\n"
                               "  --status HEX    status byte of every reply (04: calibration mode)\n"
                               "  --link PATH     also make PATH a symbolic link to the device\n"
                               "                  (replaces an older symbolic link there; removed at exit)\n"
                               "  --baud N        send reply bytes no faster than N bit/s would carry them\n"
                               "  --rs-baud N     the scale's own speed: understand the utility only when\n"
                               "                  it opens the port at N bit/s (default: at any speed)\n"
                               "  --wrong-speed silent|garbage\n"
                               "                  what a utility at another speed hears back (default: silent)\n"
                               "  --silent        take every request and answer none, as a scale that has\n"
                               "                  stopped answering does\n"
                               "  --hang-up       close the line at the first request, as an adapter pulled\n"
                               "                  out does, and end\n"
                               "  --stdin         also stop when standard input closes\n"
                               "  --help          this text\n";

// How often the main thread looks at the signals and standard input.
constexpr int kWatchIntervalMs = 200;

bool parseHexByte(const char* text, std::uint8_t& out) {
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 16);
    if (errno != 0 || end == text || *end != '\0' || v > 0xFF) {
        return false;
    }
    out = static_cast<std::uint8_t>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string seed, dump, logoPicture, link, id;
    bool haveId = false, haveStatus = false, watchStdin = false, silent = false, hangUp = false, demo = false;
    std::uint8_t status = 0;
    unsigned long baud = 0;
    unsigned long scaleBaud = 0;
    sim::WrongSpeed wrongSpeed = sim::WrongSpeed::Silent;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "scale-sim: %s needs a value\n", name);
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--seed") {
            seed = value("--seed");
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "--dump") {
            dump = value("--dump");
        } else if (arg == "--logo-png") {
            logoPicture = value("--logo-png");
        } else if (arg == "--link") {
            link = value("--link");
        } else if (arg == "--id") {
            id = value("--id");
            haveId = true;
        } else if (arg == "--status") {
            if (!parseHexByte(value("--status"), status)) {
                std::fprintf(stderr, "scale-sim: --status takes a hex byte such as 04\n");
                return 2;
            }
            haveStatus = true;
        } else if (arg == "--baud") {
            baud = std::strtoul(value("--baud"), nullptr, 10);
        } else if (arg == "--rs-baud") {
            scaleBaud = std::strtoul(value("--rs-baud"), nullptr, 10);
        } else if (arg == "--wrong-speed") {
            const std::string answer = value("--wrong-speed");
            if (answer != "silent" && answer != "garbage") {
                std::fprintf(stderr, "scale-sim: --wrong-speed takes silent or garbage\n");
                return 2;
            }
            wrongSpeed = answer == "garbage" ? sim::WrongSpeed::Garbage : sim::WrongSpeed::Silent;
        } else if (arg == "--silent") {
            silent = true;
        } else if (arg == "--hang-up") {
            hangUp = true;
        } else if (arg == "--stdin") {
            watchStdin = true;
        } else {
            std::fprintf(stderr, "scale-sim: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (demo && !seed.empty()) {
        std::fprintf(stderr, "scale-sim: --demo and --seed each give the whole memory: choose one\n");
        return 2;
    }
    if (haveId && id.size() > 32) {
        std::fprintf(stderr, "scale-sim: --id takes at most 32 bytes\n");
        return 2;
    }

    // Signals are taken by sigtimedwait below, never by a handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    sim::SimulatedScale scale;
    if (demo) {
        scale.withMemory([](sim::ScaleMemory& m) {
            m = sim::demoShopMemory();
            return 0;
        });
    }
    if (!seed.empty()) {
        std::string error;
        if (!scale.loadSeed(seed, &error)) {
            std::fprintf(stderr, "scale-sim: %s: %s\n", seed.c_str(), error.c_str());
            return 1;
        }
    }
    scale.withMemory([&](sim::ScaleMemory& m) {
        if (haveId) {
            m.identification = id;
        }
        if (haveStatus) {
            m.status = status;
        }
        return 0;
    });
    scale.setPacing(static_cast<std::uint32_t>(baud));
    scale.setScaleSpeed(static_cast<std::uint32_t>(scaleBaud), wrongSpeed);
    if (silent) {
        scale.injectFault(sim::Fault::Silent, std::numeric_limits<int>::max());
    }
    if (hangUp) {
        scale.injectFault(sim::Fault::HangUp);
    }
    if (!scale.start()) {
        std::fprintf(stderr, "scale-sim: cannot create a pseudo-terminal\n");
        return 1;
    }
    if (!link.empty()) {
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            unlink(link.c_str());
        }
        if (symlink(scale.device().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "scale-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
            scale.stop();
            return 1;
        }
    }
    std::printf("%s\n", scale.device().c_str());
    std::fflush(stdout);

    while (!scale.hungUp()) {
        timespec slice{0, kWatchIntervalMs * 1'000'000L};
        if (sigtimedwait(&stopSignals, nullptr, &slice) > 0) {
            break;
        }
        if (watchStdin) {
            pollfd in{STDIN_FILENO, POLLIN, 0};
            char sink[256];
            if (poll(&in, 1, 0) > 0 && read(STDIN_FILENO, sink, sizeof sink) <= 0) {
                break;
            }
        }
    }

    scale.stop();
    if (!link.empty()) {
        unlink(link.c_str());
    }
    int exitStatus = 0;
    if (!dump.empty() && !scale.dumpMemory(dump)) {
        std::fprintf(stderr, "scale-sim: cannot write %s\n", dump.c_str());
        exitStatus = 1;
    }
    if (!logoPicture.empty()) {
        std::string error;
        const bool noLogo = scale.withMemory([](sim::ScaleMemory& m) { return m.logoMemory[0] == 0; });
        if (noLogo) {
            std::fprintf(stderr, "scale-sim: no logo stored, %s not written\n", logoPicture.c_str());
        } else if (!scale.withMemory(
                       [&](sim::ScaleMemory& m) { return sim::writeLogoPicture(logoPicture, m, &error); })) {
            std::fprintf(stderr, "scale-sim: cannot write %s: %s\n", logoPicture.c_str(), error.c_str());
            exitStatus = 1;
        }
    }
    return exitStatus;
}
