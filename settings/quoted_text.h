#pragma once
// Single-byte texts in files a person reads and edits: a text stands in double
// quotes, each byte written as the character it shows as in the program's
// character set (Windows-1252) in UTF-8, so a name reads in any editor as it
// does in the window. A quote, a backslash and the bytes that show as control
// characters are written as \" \\ and \xHH, so every byte survives.
//
// A file that is not valid UTF-8 (one saved by an editor in the Windows
// character set) is read with each byte standing for itself.

#include <optional>
#include <string>
#include <string_view>

// The text in quotes, with its escapes.
std::string quotedText(std::string_view bytes);

enum class TextFileEncoding { Utf8, SingleByte };
TextFileEncoding detectTextFileEncoding(std::string_view file);

// The bytes of a value that must be exactly one quoted text; nullopt with the
// reason when it is not one.
std::optional<std::string> unquotedText(std::string_view value, TextFileEncoding encoding, std::string& reason);
