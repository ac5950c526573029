#pragma once
// The "SYSTEM" page: the scale's calibration parameters, written with one
// command 65, and six presets of common scale models that only fill the
// page. The main window shows the tab only while the scale is in calibration
// mode.

#include "gui/page_context.h"
#include "system_parameters.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class RangeSpinEdit;

class SystemPage : public QWidget {
    Q_OBJECT
public:
    SystemPage(PageContext context, QWidget* parent = nullptr);

    SystemParameters parameters() const;
    void showParameters(const SystemParameters& parameters);

    void Button2Click(); // SEND
    void presetClicked(const CalibrationPreset& preset);

private:
    void createControls();
    void layOutControls();
    void connectControls();

    PageContext context_;

    QComboBox* capacity_ = nullptr;              // ComboBox5
    QComboBox* scaleInterval_ = nullptr;         // ComboBox6
    RangeSpinEdit* unit_ = nullptr;              // SpinEdit10
    RangeSpinEdit* initialZero_ = nullptr;       // SpinEdit11
    QLineEdit* maxTare_ = nullptr;               // Edit4
    RangeSpinEdit* digits_ = nullptr;            // SpinEdit9
    QComboBox* priceRounding_ = nullptr;         // ComboBox7
    RangeSpinEdit* localGravity_ = nullptr;      // SpinEdit7
    RangeSpinEdit* destinationGravity_ = nullptr; // SpinEdit8
    QComboBox* stableCount_ = nullptr;           // ComboBox9
    std::array<QCheckBox*, 4> modeFlags_{};      // CheckBox9..CheckBox12, bit 0 first
    QCheckBox* minimumSale_ = nullptr;           // CheckBox14
    QPushButton* sendButton_ = nullptr;          // Button2
    std::array<QPushButton*, kCalibrationPresets.size()> presetButtons_{};
};
