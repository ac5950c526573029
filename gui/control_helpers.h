#pragma once
// Small rules that several windows share for their controls.

#include <QFont>

class QComboBox;
class QString;

// The system's fixed-pitch font, for status texts, memos and displays.
QFont fixedPitchFont();

// The position of the item the combo box shows: its text decides, since an
// editable combo box keeps its old current item while the user types another
// text. -1 when the text is not one of the items.
int shownComboPosition(const QComboBox& combo);

// Sets a combo box's text: a text that is one of the items selects that item,
// any other text leaves no item selected (a box that cannot be edited then
// keeps its selection).
void setComboText(QComboBox& combo, const QString& text);
