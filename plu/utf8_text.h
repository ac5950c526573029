#pragma once
// Single-byte texts (Windows-1252, as the grid shows them) to and from UTF-8,
// the form spreadsheets and the clipboard use. The same lossless table as the
// windows: every byte 0x00..0xFF goes to one character and comes back.

#include <optional>
#include <string>
#include <string_view>

std::string windows1252ToUtf8(std::string_view bytes);
// nullopt when the text is not valid UTF-8 or holds a character that has no
// Windows-1252 byte.
std::optional<std::string> utf8ToWindows1252(std::string_view utf8);
// The same with '?' for what cannot be kept: for messages only.
std::string utf8ToWindows1252Lossy(std::string_view utf8);

bool isValidUtf8(std::string_view text);
// UTF-16 (little- or big-endian, no byte-order mark) to UTF-8; unpaired
// surrogates become U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);
