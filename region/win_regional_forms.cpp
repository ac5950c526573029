#include "win_regional_forms.h"

#include "link/codepage.h"
#include "system_regional_forms.h"
#include "windows_time_picture.h"

#include <windows.h>

namespace {

// Longer than any date, time or picture a locale has (Qt reads them into as much).
constexpr int kTextCapacity = 256;

// Bytes in the program's character set; what it has no byte for is '?'.
std::string bytesOf(std::u16string_view text) {
    std::string bytes;
    for (const char16_t ch : text) {
        bytes.push_back(static_cast<char>(charToByte(CodePage::Windows1252, ch).value_or('?')));
    }
    return bytes;
}

// wchar_t is UTF-16 on Windows.
std::u16string fromWide(const wchar_t* text, int length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

std::u16string upperCase(const std::u16string& text) {
    std::wstring wide(text.begin(), text.end());
    std::wstring upper(wide.size() * 2 + 1, L'\0');
    const int length =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), static_cast<int>(wide.size()),
                      upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return length > 0 ? fromWide(upper.c_str(), length) : text;
}

} // namespace

const wchar_t* WinRegionalForms::locale() const {
    return localeName_.empty() ? LOCALE_NAME_USER_DEFAULT : localeName_.c_str();
}

unsigned long WinRegionalForms::localeFlags() const {
    return localeName_.empty() ? 0 : LOCALE_NOUSEROVERRIDE;
}

std::u16string WinRegionalForms::info(unsigned long type) const {
    wchar_t text[kTextCapacity];
    const int length = GetLocaleInfoEx(locale(), type | localeFlags(), text, kTextCapacity);
    // The length counts the closing null.
    return length > 1 ? fromWide(text, length - 1) : std::u16string();
}

char WinRegionalForms::decimalSeparator() const {
    const std::u16string point = info(LOCALE_SDECIMAL);
    return point.size() == 1 && point[0] < 0x80 ? static_cast<char>(point[0]) : '.';
}

std::string WinRegionalForms::shortDate(const LocalDateTime& moment) const {
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(moment.year);
    day.wMonth = static_cast<WORD>(moment.month);
    day.wDay = static_cast<WORD>(moment.day);
    wchar_t text[kTextCapacity];
    const int length = GetDateFormatEx(locale(), DATE_SHORTDATE | localeFlags(), &day, nullptr, text,
                                       kTextCapacity, nullptr);
    return length > 1 ? bytesOf(fromWide(text, length - 1)) : std::string();
}

std::string WinRegionalForms::longTime(const LocalDateTime& moment) const {
    return bytesOf(formatWindowsTimePicture(info(LOCALE_STIMEFORMAT),
                                            {moment.hour, moment.minute, moment.second},
                                            upperCase(info(LOCALE_S1159)), upperCase(info(LOCALE_S2359))));
}

std::unique_ptr<RegionalForms> makeSystemRegionalForms() {
    return std::make_unique<WinRegionalForms>();
}
