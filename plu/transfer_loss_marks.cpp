#include "transfer_loss_marks.h"

#include "gui/qt_text.h"
#include "plu_grid.h"
#include "transfer_marks.h"

std::optional<CellMark> TransferLossMarks::markAt(int dataRow, int column) const {
    const auto loss = transferLoss(grid_.row(dataRow), column, separator_);
    if (!loss) {
        return std::nullopt;
    }
    return CellMark{colour(), QStringLiteral("Not sent as shown: ") + bytesToQString(*loss)};
}
