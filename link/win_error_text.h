#pragma once
// The system's own words for a Win32 error code, for the details a user or a
// technician reads: in the user's language and the system's 8-bit code page,
// with the code itself so it can be looked up.

#include <string>

// E.g. "Access is denied (error 5)"; "error 1234" when the system has no words.
std::string windowsErrorText(unsigned long error);
