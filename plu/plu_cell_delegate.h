#pragma once
// The grid's cell editor: a line edit whose every change by the user (typed,
// pasted or deleted) goes to the page's check. textEdited, not textChanged:
// the check's own revert must not be checked again.

#include <QStyledItemDelegate>
#include <functional>

class QLineEdit;

class PluCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Called when an editor opens on a cell, before the user's first key reaches it.
    std::function<void(const QModelIndex& index)> editorOpened;
    // Called with the editor's new text after each change by the user.
    std::function<void(const QModelIndex& index, const QString& text, QLineEdit& editor)> textEdited;
    // Called when the editor goes, after its text was committed.
    std::function<void(const QModelIndex& index)> editorClosed;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
};
