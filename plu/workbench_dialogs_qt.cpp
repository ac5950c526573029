#include "workbench_dialogs_qt.h"

#include "csv_columns.h"
#include "gui/qt_text.h"
#include "plu_grid.h"
#include "plu_text_forms.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString columnName(int column) {
    const std::string_view name = kPluHeaders[static_cast<std::size_t>(column)];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

// What a column takes, for the hint beside the value field.
QString valueHint(int column) {
    switch (column) {
    case PluColumn::Dep:
        return QStringLiteral("a whole number up to 40");
    case PluColumn::Tax:
        return QStringLiteral("a whole number up to 8");
    case PluColumn::ValidDate:
        return QStringLiteral("a number up to 999");
    default:
        return QStringLiteral("0 or 1");
    }
}

QDialogButtonBox* okCancel(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void fixedDialog(QDialog& dialog, const QString& title) {
    dialog.setWindowTitle(title);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog.setModal(true);
}

} // namespace

PriceChangeDialog::PriceChangeDialog(const QString& scope, char separator,
                                     std::function<QString(const PriceChange&)> preview, QWidget* parent)
    : QDialog(parent), separator_(separator), preview_(std::move(preview)) {
    fixedDialog(*this, QStringLiteral("Change price"));
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("PriceChangeKind"));
    kind_->addItem(QStringLiteral("by percent (%)"));
    kind_->addItem(QStringLiteral("by amount"));
    by_ = new QLineEdit(this);
    by_->setObjectName(QStringLiteral("PriceChangeBy"));
    by_->setPlaceholderText(QStringLiteral("e.g. 5 or -2") + QLatin1Char(separator) + QStringLiteral("5"));
    step_ = new QComboBox(this);
    step_->setObjectName(QStringLiteral("PriceChangeStep"));
    for (const int step : kPriceRoundingSteps) {
        step_->addItem(bytesToQString(formatMoney(step, separator)), step);
    }
    previewLabel_ = new QLabel(this);
    previewLabel_->setObjectName(QStringLiteral("PriceChangePreview"));
    buttons_ = okCancel(*this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Change"), kind_);
    form->addRow(QStringLiteral("By"), by_);
    form->addRow(QStringLiteral("Round to"), step_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The prices of ") + scope + QLatin1Char('.'), this));
    layout->addLayout(form);
    layout->addWidget(previewLabel_);
    layout->addWidget(buttons_);

    connect(kind_, &QComboBox::currentIndexChanged, this, &PriceChangeDialog::update);
    connect(by_, &QLineEdit::textChanged, this, &PriceChangeDialog::update);
    connect(step_, &QComboBox::currentIndexChanged, this, &PriceChangeDialog::update);
    update();
}

std::optional<PriceChange> PriceChangeDialog::change() const {
    const auto by = parseChangeNumber(qstringToBytesLossy(by_->text()), separator_);
    if (!by) {
        return std::nullopt;
    }
    return PriceChange{kind_->currentIndex() == 0 ? PriceChangeKind::Percent : PriceChangeKind::Amount, *by,
                       step_->currentData().toInt()};
}

void PriceChangeDialog::update() {
    const auto current = change();
    previewLabel_->setText(current ? preview_(*current)
                                   : QStringLiteral("Type the percentage or the amount."));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(current.has_value());
}

CsvColumnsDialog::CsvColumnsDialog(const std::vector<std::string>& headers,
                                   const std::vector<std::string>& samples, const std::vector<int>& proposed,
                                   QWidget* parent)
    : QDialog(parent) {
    fixedDialog(*this, QStringLiteral("Import CSV: columns"));
    auto* fields = new QWidget;
    auto* form = new QFormLayout(fields);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        auto* choice = new QComboBox(fields);
        choice->setObjectName(QStringLiteral("CsvColumn%1").arg(i + 1));
        choice->addItem(QStringLiteral("(not imported)"), kNotImported);
        for (int column = 0; column < kPluColumns; ++column) {
            choice->addItem(columnName(column), column);
        }
        const int chosen = i < proposed.size() ? proposed[i] : kNotImported;
        choice->setCurrentIndex(std::max(0, choice->findData(chosen)));
        QString label =
            headers[i].empty() ? QStringLiteral("column %1").arg(i + 1) : bytesToQString(headers[i]);
        if (i < samples.size() && !samples[i].empty()) {
            label += QStringLiteral("  (e.g. ") + bytesToQString(samples[i].substr(0, 24)) + QLatin1Char(')');
        }
        auto* name = new QLabel(label, fields);
        // The headers the program did not know by name stand out.
        if (!columnNamedBy(headers[i])) {
            QFont bold = name->font();
            bold.setBold(true);
            name->setFont(bold);
        }
        form->addRow(name, choice);
        connect(choice, &QComboBox::currentIndexChanged, this, &CsvColumnsDialog::update);
        choices_.push_back(choice);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(fields);
    scroll->setWidgetResizable(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("CsvColumnsStatus"));
    status_->setWordWrap(true);
    buttons_ = okCancel(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral(
            "Some columns of the file were not recognised. Choose the grid column each one fills;\n"
            "the choice is remembered for the next import."),
        this));
    layout->addWidget(scroll, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons_);
    resize(460, 420);
    update();
}

std::vector<int> CsvColumnsDialog::assignment() const {
    std::vector<int> columns;
    columns.reserve(choices_.size());
    for (const QComboBox* choice : choices_) {
        columns.push_back(choice->currentData().toInt());
    }
    return columns;
}

void CsvColumnsDialog::update() {
    const std::vector<int> columns = assignment();
    QStringList problems;
    for (int column = 0; column < kPluColumns; ++column) {
        if (std::count(columns.begin(), columns.end(), column) > 1) {
            problems.append(columnName(column) + QStringLiteral(" is chosen for two columns"));
        }
    }
    QStringList missing;
    for (const int column : missingImportColumns(columns)) {
        missing.append(columnName(column));
    }
    if (!missing.isEmpty()) {
        problems.append(QStringLiteral("Still needed: ") + missing.join(QStringLiteral(", ")));
    }
    status_->setText(problems.isEmpty() ? QStringLiteral("Every column the grid needs is there.")
                                        : problems.join(QStringLiteral("; ")) + QLatin1Char('.'));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty());
}

std::optional<PriceChange>
QtWorkbenchDialogs::askPriceChange(const QString& scope, char separator,
                                   const std::function<QString(const PriceChange&)>& preview) {
    PriceChangeDialog dialog(scope, separator, preview, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.change();
}

std::optional<std::string>
QtWorkbenchDialogs::askColumnValue(int column, const QString& scope,
                                   const std::function<bool(const std::string&)>& accepts) {
    QDialog dialog(parent_);
    fixedDialog(dialog, QStringLiteral("Set ") + columnName(column));
    auto* value = new QLineEdit(&dialog);
    value->setObjectName(QStringLiteral("ColumnValue"));
    auto* hint = new QLabel(valueHint(column), &dialog);
    QDialogButtonBox* buttons = okCancel(dialog);
    const auto bytes = [value] { return qstringToBytes(value->text()); };
    const auto check = [&] {
        const auto text = bytes();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(text && !text->empty() && accepts(*text));
    };
    QObject::connect(value, &QLineEdit::textChanged, &dialog, check);
    check();
    auto* form = new QFormLayout;
    form->addRow(columnName(column), value);
    form->addRow(QString(), hint);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("One value for ") + scope + QLatin1Char('.'), &dialog));
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return bytes();
}

std::optional<CsvExportOptions> QtWorkbenchDialogs::askCsvExport(const CsvExportOptions& proposed,
                                                                 char separator) {
    QDialog dialog(parent_);
    fixedDialog(dialog, QStringLiteral("Export CSV"));
    auto* delimiter = new QComboBox(&dialog);
    delimiter->setObjectName(QStringLiteral("CsvDelimiter"));
    delimiter->addItem(QStringLiteral("; semicolon"), QChar(';'));
    delimiter->addItem(QStringLiteral(", comma"), QChar(','));
    delimiter->setCurrentIndex(proposed.delimiter == ',' ? 1 : 0);
    auto* encoding = new QComboBox(&dialog);
    encoding->setObjectName(QStringLiteral("CsvEncoding"));
    encoding->addItem(QStringLiteral("UTF-8 (with byte-order mark)"));
    encoding->addItem(QStringLiteral("Windows-1252"));
    encoding->setCurrentIndex(proposed.encoding == CsvEncoding::Utf8 ? 0 : 1);
    auto* decimal = new QComboBox(&dialog);
    decimal->setObjectName(QStringLiteral("CsvDecimal"));
    decimal->addItem(QStringLiteral("as this computer writes it (%1)").arg(QLatin1Char(separator)));
    decimal->addItem(QStringLiteral("point (.)"));
    decimal->setCurrentIndex(proposed.pointDecimal ? 1 : 0);
    decimal->setEnabled(separator != '.');
    QDialogButtonBox* buttons = okCancel(dialog);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Field separator"), delimiter);
    form->addRow(QStringLiteral("Encoding"), encoding);
    form->addRow(QStringLiteral("Decimal separator"), decimal);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(
        QStringLiteral("Every row with a price, under a header of the 13 column names."), &dialog));
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return CsvExportOptions{delimiter->currentIndex() == 1 ? ',' : ';',
                            encoding->currentIndex() == 0 ? CsvEncoding::Utf8 : CsvEncoding::Windows1252,
                            decimal->currentIndex() == 1};
}

std::optional<std::vector<int>> QtWorkbenchDialogs::askCsvColumns(const std::vector<std::string>& headers,
                                                                  const std::vector<std::string>& samples,
                                                                  const std::vector<int>& proposed) {
    CsvColumnsDialog dialog(headers, samples, proposed, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.assignment();
}
