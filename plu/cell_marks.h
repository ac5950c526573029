#pragma once
// Marks on grid cells: a background colour and a line of tooltip saying why.
//
// Marks come from sources that know nothing of each other: one tells which
// cells will not reach the scale as shown, another may tell which differ from
// what the scale holds. The grid's model asks every source it was given for
// the cell it draws; the first source's colour wins and every reason is shown.

#include <QColor>
#include <QString>
#include <optional>
#include <unordered_map>

struct CellMark {
    QColor background;
    QString reason;
};

class CellMarkSource {
  public:
    virtual ~CellMarkSource() = default;
    // The mark of a cell (data row 1..1801), if it has one. Called for every
    // cell drawn: keep it cheap for the cells without one.
    virtual std::optional<CellMark> markAt(int dataRow, int column) const = 0;
};

// Marks set cell by cell by a feature, e.g. from a comparison it ran. After
// changing them, the feature tells the model which rows to draw again
// (PluTableModel::marksChanged).
class StoredCellMarks : public CellMarkSource {
  public:
    void set(int dataRow, int column, CellMark mark);
    void clear(int dataRow, int column);
    void clearAll() { marks_.clear(); }
    bool empty() const { return marks_.empty(); }
    std::optional<CellMark> markAt(int dataRow, int column) const override;

  private:
    static int key(int dataRow, int column);
    std::unordered_map<int, CellMark> marks_;
};
