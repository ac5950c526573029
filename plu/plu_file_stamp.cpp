#include "plu_file_stamp.h"

#include "gui/qt_text.h"

PluFileStamp pluFileStamp(const QLocale& locale, const QDateTime& now) {
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    const QString time =
        locale.toString(now.time(), timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat)));
    return {qstringToBytesLossy(date), qstringToBytesLossy(time)};
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
        // The blank that separated the zone from the time goes with it.
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
