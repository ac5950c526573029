#include "standard_error_console.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

bool standardErrorIsConsole() {
#if defined(_WIN32)
    // Only a console handle has a console mode.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
#else
    return isatty(STDERR_FILENO) == 1;
#endif
}
