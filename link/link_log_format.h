#pragma once
// The communication log's lines: one for every frame and every event,
//
//   2026-12-09T10:15:02.123456 PC>SCALE C3 04 00 04 00 07 00 36 35 C3 02 | read PLU 7 (attempt 1)
//
// the local time to the microsecond; who sent the bytes (PC>SCALE, SCALE>PC,
// or LINK for an event of the link that carries no bytes); the bytes as they
// crossed the line, in hex; and after " | " what they mean: the command's name,
// its main field (a PLU number, a line number, a text), a reply's status byte,
// or the event. Texts from the scale are quoted with every byte outside
// printable ASCII written as \xNN, so a line is plain ASCII whatever it carries.

#include "link_observer.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>

// At most this many stray bytes are written out in hex; the line gives the count.
inline constexpr std::size_t kMaxStrayBytesShown = 64;

// "read PLU", "identify", or "command 7F" for a code the catalogue lacks.
std::string commandName(std::uint8_t command);

// A request by its command and main field: "read PLU 7", "write receipt line 3 "Hello"".
std::string describeRequest(std::uint8_t command, std::span<const std::uint8_t> payload);

// What an event means: the text after " | ".
std::string describeLinkEvent(const LinkEvent& event);

// PC>SCALE, SCALE>PC or LINK.
std::string_view eventDirection(LinkEventKind kind);

// Events that tell of something going wrong: what "errors only" shows.
bool isTroubleEvent(LinkEventKind kind);

// The whole line, without its line break.
std::string formatLogLine(std::string_view timestamp, const LinkEvent& event);

// 2026-12-09T10:15:02.123456, in local time.
std::string logTimestamp(std::chrono::system_clock::time_point when);
// The local calendar time of a moment, on every platform.
std::tm localCalendarTime(std::time_t seconds);

// "C3 04 00" for those three bytes.
std::string hexText(std::span<const std::uint8_t> bytes);
