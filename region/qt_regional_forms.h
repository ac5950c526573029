#pragma once
// The regional forms as Qt reads them from the system (QLocale::system()),
// or from a given locale for tests. QtCore only: the window program and the
// companion share it.

#include "regional_forms.h"

#include <QLocale>
#include <QString>

class QtRegionalForms final : public RegionalForms {
  public:
    explicit QtRegionalForms(QLocale locale = QLocale::system()) : locale_(std::move(locale)) {}

    char decimalSeparator() const override;
    std::string shortDate(const LocalDateTime& moment) const override;
    std::string longTime(const LocalDateTime& moment) const override;

  private:
    QLocale locale_;
};

// A time format without its time-zone fields (t, tt, ...), the brackets they
// stood in and the blank before them: "h:mm:ss AP t" gives "h:mm:ss AP".
QString timeFormatWithoutZone(const QString& format);
