#include "page_controls.h"

#include "gui/control_helpers.h"
#include "gui/qt_text.h"
#include "gui/range_spin_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

RangeSpinEdit* makeSpinField(const char* name, SpinRange range, int start, QWidget* parent) {
    auto* spin = new RangeSpinEdit(range.minimum, range.maximum, parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setValue(range.clamp(start));
    return spin;
}

int spinFieldValue(const RangeSpinEdit& spin) {
    const auto value = spin.value();
    if (!value) {
        return spin.minimum();
    }
    return SpinRange{spin.minimum(), spin.maximum()}.clamp(*value);
}

void setSpinFieldValue(RangeSpinEdit& spin, long long value) {
    spin.setValue(SpinRange{spin.minimum(), spin.maximum()}.clamp(value));
}

QComboBox* makeEditableCombo(const char* name, const QStringList& items, int start, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    // Enter must not grow the list: the items are the scale's fixed choices.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(start);
    return combo;
}

QLineEdit* makeEdit(const char* name, const std::string& text, int maxLength, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) {
        edit->setMaxLength(maxLength);
    }
    setControlBytes(*edit, text);
    return edit;
}

QCheckBox* makeCheckBox(const char* name, const QString& caption, bool checked, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

std::string controlBytes(const QLineEdit& edit) { return qstringToBytesLossy(edit.text()); }
std::string controlBytes(const QComboBox& combo) { return qstringToBytesLossy(combo.currentText()); }
void setControlBytes(QLineEdit& edit, const std::string& bytes) { edit.setText(bytesToQString(bytes)); }
void setControlBytes(QComboBox& combo, const std::string& bytes) { setComboText(combo, bytesToQString(bytes)); }
