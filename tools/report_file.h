#pragma once
// The report text file: every line followed by CR LF, the last one included,
// bytes written as they are.

#include <string>
#include <vector>

// The file's bytes: each line and CR LF.
std::string reportFileBytes(const std::vector<std::string>& lines);

// Writes the lines to a fresh file beside `path` and only then puts it in
// place of any file of that name, so a failed save never leaves a cut-off
// report where a whole one was. Returns false when the file could not be
// created, written or put in place; the old file is then unchanged.
bool writeReportFile(const std::string& path, const std::vector<std::string>& lines);
