#pragma once
// The result of COMPARE WITH SCALE beside the main window: the summary, every
// finding (a PLU that differs, a row only in the grid, a PLU only on the
// scale, a row without a PLU number of its own) and taking the scale's values.
// It does not block: the user edits the grid with it open, and it follows.

#include "plu_comparison.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class CompareResultPanel : public QDialog {
    Q_OBJECT
  public:
    explicit CompareResultPanel(QWidget* parent = nullptr);

    // `heading` says what was compared; the findings follow the comparison.
    // The entries selected stay selected where they still are findings.
    // `grid` names the PLUs of rows only in the grid; `changedOnScale` are the
    // differing PLUs changed on the scale while the grid kept older values,
    // in PLU order.
    void showComparison(const QString& heading, const PluComparison& comparison, const PluGrid& grid,
                        const std::vector<std::uint16_t>& changedOnScale);

    // The selected findings: the grid's rows, and the PLUs only on the scale.
    std::vector<int> selectedRows() const;
    std::vector<std::uint16_t> selectedScaleOnly() const;

    QLabel* Summary = nullptr;
    QListWidget* Findings = nullptr;
    QPushButton* TakeSelectedButton = nullptr;
    QPushButton* TakeAllButton = nullptr;

  signals:
    void takeSelected();
    void takeAll();
    // A finding in the grid was clicked: show its data row.
    void rowChosen(int dataRow);
};
