#include "tax_cell_delegate.h"

#include "gui/qt_text.h"
#include "link/user_interface.h"
#include "tax_rates.h"

#include <QLineEdit>

TaxCellDelegate::TaxCellDelegate(RememberedText& remembered, UserInterface& ui, char decimalSeparator,
                                 QObject* parent)
    : QStyledItemDelegate(parent), remembered_(remembered), ui_(ui), decimalSeparator_(decimalSeparator) {}

QWidget* TaxCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    // Only what the user types is checked; texts set by the program are not.
    connect(editor, &QLineEdit::textEdited, editor, [this, editor](const QString& text) {
        if (!validateTaxCell(qstringToBytesLossy(text), decimalSeparator_)) {
            editor->setText(bytesToQString(remembered_.bytes));
            ui_.beep();
        }
    });
    return editor;
}

void TaxCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    // An editor opened by typing into a cell that kept the focus since another
    // grid's editing must still put back this cell's own text.
    remembered_.bytes = qstringToBytesLossy(text);
    static_cast<QLineEdit*>(editor)->setText(text);
}
