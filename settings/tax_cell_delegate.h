#pragma once
// The editor of the tax grid's rate cells. Every keystroke is checked with
// validateTaxCell; a refused text puts back the remembered text (the cell's
// text when it was selected or its editor opened) and beeps.

#include "gui/page_context.h"

#include <QStyledItemDelegate>

class UserInterface;

class TaxCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TaxCellDelegate(RememberedText& remembered, UserInterface& ui, char decimalSeparator, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

private:
    RememberedText& remembered_;
    UserInterface& ui_;
    char decimalSeparator_;
};
