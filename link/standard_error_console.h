#pragma once
// Whether standard error goes to a terminal a person watches, for a front end
// that draws progress only there: a tty on POSIX systems; a console on Windows,
// where a pipe, a file or NUL is not one (_isatty takes NUL for a terminal).

bool standardErrorIsConsole();
