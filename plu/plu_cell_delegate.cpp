#include "plu_cell_delegate.h"

#include <QLineEdit>

QWidget* PluCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QPersistentModelIndex cell(index);
    connect(editor, &QLineEdit::textEdited, editor, [this, cell, editor](const QString& text) {
        if (textEdited && cell.isValid()) {
            textEdited(cell, text, *editor);
        }
    });
    if (editorOpened) {
        editorOpened(index);
    }
    return editor;
}

void PluCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    // Each keystroke stores the text in the cell, which comes back here: only
    // a different text is put in, so the caret stays where the user typed.
    if (line->text() != text) {
        line->setText(text);
    }
}

void PluCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void PluCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editorClosed) {
        editorClosed(index);
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}
