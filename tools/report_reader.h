#pragma once
// Reading the report memory of the scale with command 67 and laying it out.

#include "report_layout.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ScaleLink;
class UserInterface;

// One block of the report memory, exactly `length` bytes. A failed exchange
// has been reported by runCommand; a reply too short to hold the block is
// reported the same way, since its tail would be bytes the scale never sent.
std::optional<std::vector<std::uint8_t>> readReportBlock(ScaleLink& link, UserInterface& ui,
                                                         std::uint16_t address, std::uint8_t length);

// The whole report: the general block, then clerks 1 to 4, each line handed
// to appendLine as soon as its block is read. Stops at the first block that
// fails, keeping what was appended. Returns true when all five were read.
bool readReport(ScaleLink& link, UserInterface& ui, const ReportStamp& stamp, char decimalSeparator,
                const std::function<void(const std::string&)>& appendLine);
