#include "memo_lines.h"

#include "qt_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

std::vector<std::string> splitMemoLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) {
        return lines;
    }
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty() || lines.empty()) {
        lines.push_back(std::move(current));
    }
    return lines;
}

std::string joinMemoLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text.push_back('\n');
        }
        text += lines[i];
    }
    return text;
}

std::vector<std::string> memoLines(const QPlainTextEdit& memo) {
    // The raw text keeps the no-break space; only the block and line breaks
    // need mapping.
    QString text = memo.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return splitMemoLines(qstringToBytesLossy(text));
}

void setMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines) {
    memo.setPlainText(bytesToQString(joinMemoLines(lines)));
}

void restoreMemoLines(QPlainTextEdit& memo, const std::vector<std::string>& lines) {
    std::string text = joinMemoLines(lines);
    if (!lines.empty() && lines.back().empty()) {
        text.push_back('\n');
    }
    memo.setPlainText(bytesToQString(text));
}
