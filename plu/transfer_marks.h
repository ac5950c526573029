#pragma once
// Why a cell's text will not reach the scale as the grid shows it: a value
// beyond its field, a cell that stops "SAVE TO SCALE", a name the scale cuts
// or cannot show. Only rows in use go to the scale, so only their cells can
// have a reason. The scale's running figures are never sent.

#include "plu_grid.h"

#include <optional>
#include <string>

std::optional<std::string> transferLoss(const PluRow& row, int column, char decimalSeparator);
