#include "qt_text.h"

QString bytesToQString(std::string_view bytes, CodePage page) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        text.append(QChar(byteToChar(page, static_cast<std::uint8_t>(c))));
    }
    return text;
}

std::optional<std::string> qstringToBytes(const QString& text, CodePage page) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const auto byte = charToByte(page, ch.unicode());
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return bytes;
}

std::string qstringToBytesLossy(const QString& text, CodePage page) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        bytes.push_back(static_cast<char>(charToByte(page, ch.unicode()).value_or('?')));
    }
    return bytes;
}
