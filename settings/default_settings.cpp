#include "default_settings.h"

#include <string>

void applyDefaultSettings(ScaleSettings& settings) {
    using namespace PrintOptionFlags;
    // 0xDD: all but "Print Duplicate" and "Obligatory Paid".
    settings.printOptions = kPrintReceipt | kPrintGraphicsLogo | kPrintSingleBar | kPrintTotalBar | kDiscount |
                            kPrintPluCode;
    settings.singleItemBarcode = "a44W5U5";
    settings.totalBarcode = "a44W5P5";
    settings.baudRate = "115200";
    settings.lanNumber = 0;
    settings.autoOffMinutes = 0;
    settings.discountPercent = 0;
    settings.drawerOpenTime = 50;
    settings.printerDarkness = "3";
    settings.currency = kEuroText;
    settings.printAllReports = false;
    settings.printTax = true;
    settings.clerkNames = {"Tobrin", "Kelda", "Roan", "Pirra"};
    // Line 2 of each box is a ruler as wide as a printed line (32 characters);
    // "~" and a digit select the printer's character size.
    settings.headerLines = {"~7 HEADER MESSAGE",           "12345678901234567890123456789012",
                            "~0ZEB TALLIVO ~1ZEB TALLIVO", "~2TALLIVO ~3TALLIVO",
                            "~4ZEB TALLIVO ~5ZEB TALLIVO", "~6TALLIVO ~7TALLIVO"};
    settings.footerLines = {"~7 FOOTER MESSAGE", "12345678901234567890123456789012"};
    for (int k = 0; k < kDepartmentCount; ++k) {
        settings.departmentNames[static_cast<std::size_t>(k)] = "GROUP " + std::to_string(k);
    }
}
