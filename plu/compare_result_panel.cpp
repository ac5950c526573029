#include "compare_result_panel.h"

#include "gui/qt_text.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// What a finding stands for, kept on its item.
constexpr int kRowRole = Qt::UserRole;     // data row, 0 for a PLU only on the scale
constexpr int kPluRole = Qt::UserRole + 1; // PLU number, -1 for a row without one

QString columnList(const DifferingPlu& differing) {
    QStringList names;
    for (int column = 0; column < kPluColumns; ++column) {
        if (differing.differs(column)) {
            names.append(QString::fromLatin1(kPluHeaders[static_cast<std::size_t>(column)].data()));
        }
    }
    return names.join(QStringLiteral(", "));
}

QString findingKey(int row, int plu) {
    return QString::number(row) + QLatin1Char('/') + QString::number(plu);
}

} // namespace

CompareResultPanel::CompareResultPanel(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("CompareResult"));
    setWindowTitle(QStringLiteral("COMPARE WITH SCALE"));
    setModal(false);
    resize(330, 300);

    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("CompareSummary"));
    Summary->setTextFormat(Qt::PlainText);
    Summary->setWordWrap(true);
    Findings = new QListWidget(this);
    Findings->setObjectName(QStringLiteral("CompareFindings"));
    Findings->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Findings->setUniformItemSizes(true);

    TakeSelectedButton = new QPushButton(QStringLiteral("TAKE SELECTED"), this);
    TakeSelectedButton->setObjectName(QStringLiteral("TakeSelectedButton"));
    TakeSelectedButton->setToolTip(
        QStringLiteral("The grid takes the scale's values for the findings selected here:\n"
                       "a differing row all the scale's cells, a PLU only on the scale an empty row"));
    TakeAllButton = new QPushButton(QStringLiteral("TAKE ALL"), this);
    TakeAllButton->setObjectName(QStringLiteral("TakeAllButton"));
    TakeAllButton->setToolTip(QStringLiteral("The grid takes the scale's values for every finding;\n"
                                             "rows only in the grid stay. One step to undo"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(TakeSelectedButton, QDialogButtonBox::ActionRole);
    buttons->addButton(TakeAllButton, QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("CLOSE"), QDialogButtonBox::RejectRole);
    for (QAbstractButton* button : buttons->buttons()) {
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            push->setAutoDefault(false);
        }
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Summary);
    layout->addWidget(Findings, 1);
    layout->addWidget(buttons);

    // TAKE SELECTED / TAKE ALL: the scale's values into the grid, one undo step.
    connect(TakeSelectedButton, &QPushButton::clicked, this, &CompareResultPanel::takeSelected);
    connect(TakeAllButton, &QPushButton::clicked, this, &CompareResultPanel::takeAll);
    // CLOSE: hides the panel; the marks stay in the grid.
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    // A click on a finding shows its row in the grid.
    connect(Findings, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (const int row = item->data(kRowRole).toInt(); row > 0) {
            emit rowChosen(row);
        }
    });
    connect(Findings, &QListWidget::itemSelectionChanged, this, [this] {
        TakeSelectedButton->setEnabled(!selectedRows().empty() || !selectedScaleOnly().empty());
    });
}

void CompareResultPanel::showComparison(const QString& heading, const PluComparison& comparison, const PluGrid& grid,
                                        const std::vector<std::uint16_t>& changedOnScale) {
    QSet<QString> selected;
    for (const QListWidgetItem* item : Findings->selectedItems()) {
        selected.insert(findingKey(item->data(kRowRole).toInt(), item->data(kPluRole).toInt()));
    }
    Summary->setText(heading.isEmpty() ? bytesToQString(comparison.summary())
                                       : heading + QLatin1Char('\n') + bytesToQString(comparison.summary()));

    // The list follows every edit: items are reused, and one whose text and
    // finding stay is not touched, so an edit costs a few items, not 1801.
    Findings->setUpdatesEnabled(false);
    int next = 0;
    const auto add = [&](const QString& text, int row, int plu) {
        QListWidgetItem* item = Findings->item(next++);
        if (item == nullptr) {
            item = new QListWidgetItem(Findings);
        }
        item->setText(text);
        item->setData(kRowRole, row);
        item->setData(kPluRole, plu);
        if (const bool chosen = !selected.isEmpty() && selected.contains(findingKey(row, plu));
            chosen != item->isSelected()) {
            item->setSelected(chosen);
        }
    };
    for (const DifferingPlu& differing : comparison.differing) {
        const bool changed = std::binary_search(changedOnScale.begin(), changedOnScale.end(), differing.plu);
        add(QStringLiteral("PLU ") + QString::number(differing.plu) + QStringLiteral(", row ") +
                QString::number(differing.row) +
                (changed ? QStringLiteral(", changed on the scale in ") : QStringLiteral(", differs in ")) +
                columnList(differing),
            differing.row, differing.plu);
    }
    for (const int row : comparison.gridOnlyRows) {
        add(QStringLiteral("PLU %1, row %2, only in the grid")
                .arg(bytesToQString(grid.cell(row, PluColumn::Num)))
                .arg(row),
            row, -1);
    }
    for (const ScaleOnlyPlu& only : comparison.scaleOnly) {
        add(QStringLiteral("PLU %1, only on the scale: %2 %3")
                .arg(only.plu)
                .arg(bytesToQString(only.scaleRow[PluColumn::Price]),
                     bytesToQString(only.scaleRow[PluColumn::Name])),
            0, only.plu);
    }
    for (const int row : comparison.unmatchedRows) {
        add(QStringLiteral("row %1: no PLU number of its own").arg(row), row, -1);
    }
    while (Findings->count() > next) {
        delete Findings->takeItem(Findings->count() - 1);
    }
    Findings->setUpdatesEnabled(true);
    TakeAllButton->setEnabled(!comparison.differing.empty() || !comparison.scaleOnly.empty());
    TakeSelectedButton->setEnabled(!selectedRows().empty() || !selectedScaleOnly().empty());
}

std::vector<int> CompareResultPanel::selectedRows() const {
    std::vector<int> rows;
    for (const QListWidgetItem* item : Findings->selectedItems()) {
        if (const int row = item->data(kRowRole).toInt(); row > 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<std::uint16_t> CompareResultPanel::selectedScaleOnly() const {
    std::vector<std::uint16_t> plus;
    for (const QListWidgetItem* item : Findings->selectedItems()) {
        if (item->data(kRowRole).toInt() == 0) {
            plus.push_back(static_cast<std::uint16_t>(item->data(kPluRole).toInt()));
        }
    }
    return plus;
}
