#pragma once
// The date and time in the head comment of a PLU file, in the user's short
// date and long time forms. The long time form of Qt may end in a time-zone
// name, which the file's head comment has never carried: it is left out.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <string>

struct PluFileStamp {
    std::string date; // bytes, as the file holds them
    std::string time;
};

PluFileStamp pluFileStamp(const QLocale& locale, const QDateTime& now);

// A time format without its time-zone fields (t, tt, ...) and the blank before them.
QString timeFormatWithoutZone(const QString& format);
