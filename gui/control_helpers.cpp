#include "control_helpers.h"

#include <QComboBox>
#include <QFontDatabase>

QFont fixedPitchFont() {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

int shownComboPosition(const QComboBox& combo) {
    const QString text = combo.currentText();
    const int current = combo.currentIndex();
    if (current >= 0 && combo.itemText(current) == text) {
        return current;
    }
    return combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void setComboText(QComboBox& combo, const QString& text) {
    const int match = combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!combo.isEditable()) {
        if (match >= 0) {
            combo.setCurrentIndex(match);
        }
        return;
    }
    combo.setCurrentIndex(match);
    if (match < 0) {
        combo.setEditText(text);
    }
}
