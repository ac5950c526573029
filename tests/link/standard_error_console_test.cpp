// Standard error as a front end sees it: a pipe is never a console, so no
// progress is drawn into a log or another program's input.

#include "link/standard_error_console.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pty.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)

TEST(StandardErrorConsole, PipeIsNotAConsoleNorIsNul) {
    const HANDLE saved = GetStdHandle(STD_ERROR_HANDLE);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    SetStdHandle(STD_ERROR_HANDLE, writeEnd);
    EXPECT_FALSE(standardErrorIsConsole());
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetStdHandle(STD_ERROR_HANDLE, nul);
    EXPECT_FALSE(standardErrorIsConsole());
    SetStdHandle(STD_ERROR_HANDLE, saved);
    CloseHandle(nul);
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
}

#else

TEST(StandardErrorConsole, PipeIsNotAConsoleATerminalIs) {
    const int saved = dup(STDERR_FILENO);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    dup2(pipeEnds[1], STDERR_FILENO);
    EXPECT_FALSE(standardErrorIsConsole());
    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    dup2(slave, STDERR_FILENO);
    EXPECT_TRUE(standardErrorIsConsole());
    dup2(saved, STDERR_FILENO);
    for (const int fd : {saved, pipeEnds[0], pipeEnds[1], master, slave}) {
        close(fd);
    }
}

#endif

} // namespace
