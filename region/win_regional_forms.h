#pragma once
// The regional forms on Windows, read from the system as Qt's system locale
// reads them, so that the companion (no Qt there) and the window program
// write the same bytes: the short date as GetDateFormatEx gives it, the long
// time from the user's time picture by Qt's rules (windows_time_picture.h),
// the decimal separator as the user set it.

#include "regional_forms.h"

#include <string>

class WinRegionalForms final : public RegionalForms {
  public:
    // The forms of the locale of that name ("de-DE") as the locale has them;
    // the user's own, with whatever the user changed in them, when no name
    // is given.
    explicit WinRegionalForms(std::wstring localeName = {}) : localeName_(std::move(localeName)) {}

    char decimalSeparator() const override;
    std::string shortDate(const LocalDateTime& moment) const override;
    std::string longTime(const LocalDateTime& moment) const override;

  private:
    const wchar_t* locale() const;
    // LOCALE_NOUSEROVERRIDE for a named locale: the user's changes are the
    // user's locale's, even when it is the same locale.
    unsigned long localeFlags() const;
    std::u16string info(unsigned long type) const;

    std::wstring localeName_;
};
