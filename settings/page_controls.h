#pragma once
// Control factories shared by the settings and system pages: every control
// carries its name as objectName, spin fields clamp, texts are single bytes.

#include "spin_range.h"

#include <QString>
#include <QStringList>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RangeSpinEdit;

class QWidget;

// A typed number outside the range becomes the nearer bound when the field is left.
RangeSpinEdit* makeSpinField(const char* name, SpinRange range, int start, QWidget* parent);
// The field's whole number, clamped into the range (the field may not have
// been left yet); a text that is none counts as the lower bound.
int spinFieldValue(const RangeSpinEdit& spin);
// Clamped into the range, as a value from a reply must be.
void setSpinFieldValue(RangeSpinEdit& spin, long long value);

QComboBox* makeEditableCombo(const char* name, const QStringList& items, int start, QWidget* parent);
QLineEdit* makeEdit(const char* name, const std::string& text, int maxLength, QWidget* parent);
QCheckBox* makeCheckBox(const char* name, const QString& caption, bool checked, QWidget* parent);
QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent);
// A label that names `buddy`, so its mnemonic and screen readers find the control.
QLabel* makeLabel(const QString& caption, QWidget* buddy, QWidget* parent);

// Single-byte texts of edit boxes and combo boxes.
std::string controlBytes(const QLineEdit& edit);
std::string controlBytes(const QComboBox& combo);
void setControlBytes(QLineEdit& edit, const std::string& bytes);
void setControlBytes(QComboBox& combo, const std::string& bytes);
