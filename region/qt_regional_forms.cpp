#include "qt_regional_forms.h"

#include "gui/qt_text.h"
#include "system_regional_forms.h"

#include <QDate>
#include <QTime>

char QtRegionalForms::decimalSeparator() const {
    const QString point = locale_.decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) {
        return static_cast<char>(point.at(0).unicode());
    }
    return '.';
}

std::string QtRegionalForms::shortDate(const LocalDateTime& moment) const {
    return qstringToBytesLossy(
        locale_.toString(QDate(moment.year, moment.month, moment.day), QLocale::ShortFormat));
}

std::string QtRegionalForms::longTime(const LocalDateTime& moment) const {
    return qstringToBytesLossy(locale_.toString(QTime(moment.hour, moment.minute, moment.second),
                                                timeFormatWithoutZone(locale_.timeFormat(QLocale::LongFormat))));
}

QString timeFormatWithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (ch == u'\'') {
            quoted = !quoted;
            result += ch;
            continue;
        }
        if (quoted || ch != u't') {
            result += ch;
            continue;
        }
        while (i + 1 < format.size() && format[i + 1] == u't') {
            ++i;
        }
        // Brackets the zone stood in go with it.
        if (i + 1 < format.size() && ((format[i + 1] == u')' && result.endsWith(u'(')) ||
                                      (format[i + 1] == u']' && result.endsWith(u'[')))) {
            result.chop(1);
            ++i;
        }
        // So does the blank that separated it from the time.
        while (result.endsWith(u' ')) {
            result.chop(1);
        }
        if (result.isEmpty()) {
            while (i + 1 < format.size() && format[i + 1] == u' ') {
                ++i;
            }
        }
    }
    return result.trimmed();
}

std::unique_ptr<RegionalForms> makeSystemRegionalForms() {
    return std::make_unique<QtRegionalForms>();
}
