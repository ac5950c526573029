#pragma once
// The widget edge of single-byte texts: bytes in the plain data, QString in
// the controls, converted through a lossless 256-entry table.

#include "link/codepage.h"

#include <QString>
#include <optional>
#include <string>
#include <string_view>

QString bytesToQString(std::string_view bytes, CodePage page = CodePage::Windows1252);
// nullopt when a character has no byte in the code page.
std::optional<std::string> qstringToBytes(const QString& text, CodePage page = CodePage::Windows1252);
// Characters without a byte become '?': for texts that must go somewhere anyway.
std::string qstringToBytesLossy(const QString& text, CodePage page = CodePage::Windows1252);
