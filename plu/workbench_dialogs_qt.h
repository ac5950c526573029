#pragma once
// The workbench's questions as small modal Qt dialogs over the main window.

#include "workbench_dialogs.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QWidget;

class QtWorkbenchDialogs : public WorkbenchDialogs {
  public:
    explicit QtWorkbenchDialogs(QWidget* parent) : parent_(parent) {}

    std::optional<PriceChange>
    askPriceChange(const QString& scope, char decimalSeparator,
                   const std::function<QString(const PriceChange&)>& preview) override;
    std::optional<std::string>
    askColumnValue(int column, const QString& scope,
                   const std::function<bool(const std::string&)>& accepts) override;
    std::optional<CsvExportOptions> askCsvExport(const CsvExportOptions& proposed,
                                                 char decimalSeparator) override;
    std::optional<std::vector<int>> askCsvColumns(const std::vector<std::string>& headers,
                                                  const std::vector<std::string>& samples,
                                                  const std::vector<int>& proposed) override;

  private:
    QWidget* parent_;
};

// The price dialog on its own, so a test can drive it without exec().
class PriceChangeDialog : public QDialog {
    Q_OBJECT
  public:
    PriceChangeDialog(const QString& scope, char decimalSeparator,
                      std::function<QString(const PriceChange&)> preview, QWidget* parent = nullptr);
    // The change the fields describe; nullopt while the number is not one.
    std::optional<PriceChange> change() const;

  private:
    void update();

    char separator_;
    std::function<QString(const PriceChange&)> preview_;
    QComboBox* kind_ = nullptr;
    QLineEdit* by_ = nullptr;
    QComboBox* step_ = nullptr;
    QLabel* previewLabel_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// Which grid column each column of a CSV file fills.
class CsvColumnsDialog : public QDialog {
    Q_OBJECT
  public:
    CsvColumnsDialog(const std::vector<std::string>& headers, const std::vector<std::string>& samples,
                     const std::vector<int>& proposed, QWidget* parent = nullptr);
    std::vector<int> assignment() const;

  private:
    void update();

    std::vector<QComboBox*> choices_;
    QLabel* status_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
