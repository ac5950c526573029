#pragma once
// The grid's Qt face: a table model over the plain PluGrid. Cells are bytes in
// the grid and Windows-1252 characters on screen; nothing is copied, so the
// model stays fast with all 1801 rows filled.

#include "plu_grid.h"

#include <QAbstractTableModel>
#include <string>
#include <vector>

class CellMarkSource;

class PluTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    PluTableModel(PluGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Refuses a text with a character that has no byte in the grid's code page.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Data row (1..1801) of a model index, and back.
    static int dataRow(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex cellIndex(int dataRow, int column) const { return index(dataRow - 1, column); }

    void setCell(int dataRow, int column, std::string bytes);
    // Tell the views that the plain code changed rows behind the model.
    void rowsChanged(int firstDataRow, int lastDataRow);
    void allRowsChanged() { rowsChanged(1, kPluDataRows); }

    // Marks drawn on the cells: each source is asked, in the order added,
    // for the background (the first mark's) and the tooltip (every reason).
    // A source outlives the model or is removed before it goes.
    void addMarkSource(const CellMarkSource& source);
    void removeMarkSource(const CellMarkSource& source);
    // Tell the views that a source's marks changed on these rows.
    void marksChanged(int firstDataRow, int lastDataRow);

  private:
    QVariant markData(int dataRow, int column, int role) const;

    PluGrid& grid_;
    std::vector<const CellMarkSource*> markSources_;
};
