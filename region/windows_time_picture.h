#pragma once
// The long time as the window program shows it on Windows. Qt reads the
// user's time picture (LOCALE_STIMEFORMAT, e.g. "h:mm:ss tt") and formats it
// with its own rules, which differ from Windows' in places: "t" and "tt" both
// give the whole AM/PM text, in capitals; "h" counts to 12 only where the
// picture has an AM/PM text, and to 23 otherwise. The companion, which has no
// Qt on Windows, formats the same picture here by those rules, so both write
// the same bytes. Plain code: it is tested on every platform.

#include <string>
#include <string_view>

struct ClockTime {
    int hour = 0; // 0..23
    int minute = 0;
    int second = 0;
};

// `amText` and `pmText` as they are to appear (Qt shows them in capitals).
// Text in single quotes is copied ('' inside is one quote); letters other
// than h, H, m, s and t are copied as they stand.
std::u16string formatWindowsTimePicture(std::u16string_view picture, const ClockTime& time,
                                        std::u16string_view amText, std::u16string_view pmText);
