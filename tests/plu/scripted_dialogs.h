#pragma once
// The workbench's questions answered from a script, with what was asked kept.

#include "plu/workbench_dialogs.h"

#include <QString>

struct ScriptedDialogs : WorkbenchDialogs {
    std::optional<PriceChange> priceAnswer;
    std::optional<std::string> valueAnswer;
    std::optional<CsvExportOptions> exportAnswer;
    std::optional<std::vector<int>> columnsAnswer;

    QString scope;   // of the last operation asked
    QString preview; // what the price dialog showed for the answer
    int columnQuestions = 0;
    std::vector<std::string> askedHeaders;

    std::optional<PriceChange>
    askPriceChange(const QString& scopeText, char,
                   const std::function<QString(const PriceChange&)>& show) override {
        scope = scopeText;
        if (priceAnswer) {
            preview = show(*priceAnswer);
        }
        return priceAnswer;
    }
    std::optional<std::string>
    askColumnValue(int, const QString& scopeText,
                   const std::function<bool(const std::string&)>& accepts) override {
        scope = scopeText;
        return valueAnswer && accepts(*valueAnswer) ? valueAnswer : std::nullopt;
    }
    std::optional<CsvExportOptions> askCsvExport(const CsvExportOptions&, char) override {
        return exportAnswer;
    }
    std::optional<std::vector<int>> askCsvColumns(const std::vector<std::string>& headers,
                                                  const std::vector<std::string>&,
                                                  const std::vector<int>&) override {
        ++columnQuestions;
        askedHeaders = headers;
        return columnsAnswer;
    }
};
