#include "win_error_text.h"

#include <windows.h>

std::string windowsErrorText(unsigned long error) {
    char* words = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<char*>(&words), 0, nullptr);
    std::string text(words != nullptr ? words : "", length);
    LocalFree(words);
    // The system ends its sentences with a full stop and a line break; the
    // words go inside a longer sentence here.
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    const std::string code = "error " + std::to_string(error);
    return text.empty() ? code : text + " (" + code + ")";
}
