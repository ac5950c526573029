#pragma once
// Single-byte texts travel unchanged between the scale, the grids and the
// files. These tables say which character each byte shows as: Windows-1252 for
// edit boxes and grids, Windows-1251 for the terminal's display. Both are
// lossless both ways: the five bytes that Windows-1252 leaves undefined map to
// the C1 control characters of the same value, and back.

#include <cstdint>
#include <optional>

enum class CodePage { Windows1252, Windows1251 };

char16_t byteToChar(CodePage page, std::uint8_t byte);
// The byte that shows as `ch`, or nullopt when the code page has none.
std::optional<std::uint8_t> charToByte(CodePage page, char16_t ch);
