// The regional forms as Windows gives them, for locales whose forms differ in
// every part (each system version has its own pictures: the date's order and
// the time's fields are what stays), and the user's own forms.

#include "region/system_regional_forms.h"
#include "region/win_regional_forms.h"

#include <gtest/gtest.h>
#include <regex>

namespace {

const LocalDateTime kMoment{2026, 12, 8, 17, 5, 9};

TEST(WinRegionalForms, DateTimeAndSeparatorOfTheLocale) {
    const WinRegionalForms german(L"de-DE");
    EXPECT_EQ(german.decimalSeparator(), ',');
    EXPECT_TRUE(std::regex_match(german.shortDate(kMoment), std::regex("0?8\\.12\\.(20)?26")))
        << german.shortDate(kMoment);
    EXPECT_EQ(german.longTime(kMoment), "17:05:09");

    const WinRegionalForms american(L"en-US");
    EXPECT_EQ(american.decimalSeparator(), '.');
    EXPECT_TRUE(std::regex_match(american.shortDate(kMoment), std::regex("12/0?8/(20)?26")))
        << american.shortDate(kMoment);
    EXPECT_EQ(american.longTime(kMoment), "5:05:09 PM");
}

TEST(WinRegionalForms, TheUsersFormsAreThere) {
    const auto forms = makeSystemRegionalForms();
    EXPECT_FALSE(forms->shortDate(kMoment).empty());
    EXPECT_NE(forms->longTime(kMoment).find("05"), std::string::npos);
}

} // namespace
