#pragma once
// The questions the PLU workbench asks the user, behind a seam as the
// message boxes are (UserInterface), so tests answer them without a modal
// dialog. Every answer is plain data; nullopt means the user cancelled.

#include "plu_csv.h"
#include "price_change.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class WorkbenchDialogs {
  public:
    virtual ~WorkbenchDialogs() = default;

    // How to change the prices of `scope` ("12 rows selected"). `preview`
    // tells, for a change the user is composing, how many rows it changes.
    virtual std::optional<PriceChange>
    askPriceChange(const QString& scope, char decimalSeparator,
                   const std::function<QString(const PriceChange&)>& preview) = 0;
    // One value (bytes) for `column` in every row of `scope`; `accepts` says
    // whether a text would pass, so the dialog takes only one that does.
    virtual std::optional<std::string>
    askColumnValue(int column, const QString& scope,
                   const std::function<bool(const std::string&)>& accepts) = 0;
    virtual std::optional<CsvExportOptions> askCsvExport(const CsvExportOptions& proposed,
                                                         char decimalSeparator) = 0;
    // For each column of the file (its header and a sample value, bytes) the
    // grid column it fills or kNotImported, starting from `proposed`.
    virtual std::optional<std::vector<int>> askCsvColumns(const std::vector<std::string>& headers,
                                                          const std::vector<std::string>& samples,
                                                          const std::vector<int>& proposed) = 0;
};
