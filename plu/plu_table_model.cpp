#include "plu_table_model.h"

#include "cell_marks.h"
#include "gui/qt_text.h"

#include <algorithm>

PluTableModel::PluTableModel(PluGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

int PluTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPluDataRows;
}

int PluTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPluColumns;
}

QVariant PluTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::BackgroundRole || role == Qt::ToolTipRole) {
        return markData(dataRow(index), index.column(), role);
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    return bytesToQString(grid_.cell(dataRow(index), index.column()));
}

QVariant PluTableModel::markData(int row, int column, int role) const {
    QStringList reasons;
    for (const CellMarkSource* source : markSources_) {
        if (auto mark = source->markAt(row, column)) {
            if (role == Qt::BackgroundRole) {
                return mark->background;
            }
            reasons.append(mark->reason);
        }
    }
    return reasons.isEmpty() ? QVariant() : QVariant(reasons.join(QLatin1Char('\n')));
}

void PluTableModel::addMarkSource(const CellMarkSource& source) {
    markSources_.push_back(&source);
    allRowsChanged();
}

void PluTableModel::removeMarkSource(const CellMarkSource& source) {
    markSources_.erase(std::remove(markSources_.begin(), markSources_.end(), &source), markSources_.end());
    allRowsChanged();
}

void PluTableModel::marksChanged(int firstDataRow, int lastDataRow) {
    emit dataChanged(cellIndex(firstDataRow, 0), cellIndex(lastDataRow, kPluColumns - 1),
                     {Qt::BackgroundRole, Qt::ToolTipRole});
}

QVariant PluTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Horizontal && section >= 0 && section < kPluColumns) {
        return QString::fromLatin1(
            kPluHeaders[static_cast<std::size_t>(section)].data(),
            static_cast<qsizetype>(kPluHeaders[static_cast<std::size_t>(section)].size()));
    }
    return section + 1;
}

Qt::ItemFlags PluTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // The scale's running figures open an editor too: the typing check then
    // refuses every change with a beep, as the user expects from a grid cell.
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool PluTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) {
        return false;
    }
    auto bytes = qstringToBytes(value.toString());
    if (!bytes) {
        return false;
    }
    setCell(dataRow(index), index.column(), std::move(*bytes));
    return true;
}

void PluTableModel::setCell(int row, int column, std::string bytes) {
    if (grid_.cell(row, column) == bytes) {
        return;
    }
    grid_.setCell(row, column, std::move(bytes));
    const QModelIndex changed = cellIndex(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

void PluTableModel::rowsChanged(int firstDataRow, int lastDataRow) {
    emit dataChanged(cellIndex(firstDataRow, 0), cellIndex(lastDataRow, kPluColumns - 1),
                     {Qt::DisplayRole, Qt::EditRole});
}
