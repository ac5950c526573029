// The scale-sim program as the demo runs it: started with options, found by
// the device it prints (or its link), stopped with SIGTERM, memory dumped.
#include "link/commands.h"
#include "link/posix_serial_channel.h"
#include "link/scale_link.h"
#include "tests/support/recording_ui.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Reads the first line the child prints, waiting 5 s at most.
std::string firstLine(int fd) {
    std::string line;
    char c = 0;
    for (int i = 0; i < 256; ++i) {
        pollfd in{fd, POLLIN, 0};
        if (poll(&in, 1, 5000) <= 0 || read(fd, &c, 1) != 1 || c == '\n') {
            break;
        }
        line.push_back(c);
    }
    return line;
}

TEST(ScaleSimProgram, ServesUntilSigtermAndDumpsItsMemory) {
    const fs::path dir = fs::temp_directory_path() / ("scale-sim-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string link = (dir / "scale").string();
    const std::string dump = (dir / "dump.txt").string();
    const std::string logo = (dir / "logo.png").string();

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(SCALE_SIM_PROGRAM, SCALE_SIM_PROGRAM, "--seed", TALLIVOS_DEMO_SEED, "--id", "FROM THE SHELL",
              "--status", "04", "--link", link.c_str(), "--dump", dump.c_str(), "--logo-png", logo.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    const std::string device = firstLine(out[0]);
    close(out[0]);
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
    EXPECT_EQ(fs::read_symlink(link).string(), device);

    {
        RecordingUi ui;
        ScaleLink scale(std::make_unique<PosixSerialChannel>(), ui);
        ASSERT_TRUE(scale.openLink(PortId::named(link), 115200));
        scale.buffer().clear();
        ASSERT_TRUE(scale.runCommand(cmd::kIdentify));
        EXPECT_EQ(scale.buffer().getText(32), "FROM THE SHELL");
        EXPECT_EQ(ui.statusTexts.back(), "STATUS:04");
        scale.buffer().clear();
        scale.buffer().putU8(0);
        scale.buffer().putText("Nadia", 16);
        ASSERT_TRUE(scale.runCommand(cmd::kWriteClerkName));
        scale.buffer().clear();
        scale.buffer().putU16(0); // the logo's height: one row
        scale.buffer().putU8(1);
        ASSERT_TRUE(scale.runCommand(cmd::kWriteLogo));
    }

    ASSERT_EQ(kill(child, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::is_symlink(link)); // removed at exit

    std::ifstream in(dump);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("id \"FROM THE SHELL\""), std::string::npos);
    EXPECT_NE(text.str().find("clerk 1 \"Nadia\""), std::string::npos);
    EXPECT_NE(text.str().find("name=\"Apples Braeburn\""), std::string::npos);
    std::ifstream picture(logo, std::ios::binary);
    std::string signature(8, '\0');
    picture.read(signature.data(), 8);
    EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n") << "the logo the scale holds, as a picture";
    fs::remove_all(dir);
}

} // namespace
