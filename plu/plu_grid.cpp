#include "plu_grid.h"

void PluGrid::clear() {
    for (auto& r : rows_) {
        for (auto& text : r) {
            text.clear();
        }
    }
}
