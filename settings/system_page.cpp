#include "system_page.h"

#include "gui/range_spin_edit.h"
#include "page_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

namespace {

const char* const kModeFlagNames[] = {"CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12"};
const char* const kModeFlagCaptions[] = {"lb", "dual interval", "comma", "One Time Tare"};

// "Initial Zero, %" takes any whole number.
constexpr SpinRange kAnyWholeNumber{INT_MIN, INT_MAX};

} // namespace

SystemPage::SystemPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {
    createControls();
    layOutControls();
    connectControls();
}

void SystemPage::createControls() {
    const SystemParameters start = SystemParameters::startValues(context_.decimalSeparator);

    capacity_ = makeEditableCombo("ComboBox5",
                                  {QStringLiteral("6"), QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("60")},
                                  1, this);
    scaleInterval_ = makeEditableCombo("ComboBox6",
                                       {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"),
                                        QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("50")},
                                       1, this);
    unit_ = makeSpinField("SpinEdit10", kUnitRange, start.unit, this);
    initialZero_ = makeSpinField("SpinEdit11", kAnyWholeNumber, start.initialZeroPercent, this);
    maxTare_ = makeEdit("Edit4", start.maxTare, 0, this);
    digits_ = makeSpinField("SpinEdit9", kDigitsRange, start.digits, this);
    priceRounding_ = makeEditableCombo(
        "ComboBox7",
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20"),
         QStringLiteral("50"), QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("500"),
         QStringLiteral("1000")},
        0, this);
    localGravity_ = makeSpinField("SpinEdit7", kGravityRange, start.localGravity, this);
    destinationGravity_ = makeSpinField("SpinEdit8", kGravityRange, start.destinationGravity, this);
    stableCount_ =
        makeEditableCombo("ComboBox9", {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}, 2, this);
    for (std::size_t bit = 0; bit < modeFlags_.size(); ++bit) {
        modeFlags_[bit] = makeCheckBox(kModeFlagNames[bit], QString::fromLatin1(kModeFlagCaptions[bit]),
                                       (start.modeFlags >> bit) & 1, this);
    }
    minimumSale_ = makeCheckBox("CheckBox14", QStringLiteral("Minimum Sale"), start.minimumSale, this);

    sendButton_ = makeButton("Button2", QStringLiteral("SEND"), this);
    for (std::size_t i = 0; i < kCalibrationPresets.size(); ++i) {
        const auto& preset = kCalibrationPresets[i];
        presetButtons_[i] = makeButton(std::string(preset.buttonName).c_str(),
                                       QString::fromLatin1(preset.caption.data(),
                                                           static_cast<qsizetype>(preset.caption.size())),
                                       this);
    }
}

void SystemPage::layOutControls() {
    auto* page = new QHBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(12);

    auto* parameters = new QGroupBox(QStringLiteral("Calibration"), this);
    auto* form = new QGridLayout(parameters);
    form->setVerticalSpacing(4);
    int row = 0;
    auto addRow = [&](const QString& caption, QWidget* control) {
        form->addWidget(makeLabel(caption, control, parameters), row, 0);
        form->addWidget(control, row, 1);
        ++row;
    };
    addRow(QStringLiteral("Capacity"), capacity_);
    addRow(QStringLiteral("e=d="), scaleInterval_);
    addRow(QStringLiteral("Unit"), unit_);
    addRow(QStringLiteral("Initial Zero, %"), initialZero_);
    addRow(QStringLiteral("Max Tare"), maxTare_);
    addRow(QStringLiteral("Digits (Weight,Price)"), digits_);
    addRow(QStringLiteral("price round"), priceRounding_);
    addRow(QStringLiteral("Local g"), localGravity_);
    addRow(QStringLiteral("Destination g"), destinationGravity_);
    addRow(QStringLiteral("Stbale Count"), stableCount_);
    form->setRowStretch(row, 1);
    page->addWidget(parameters, 2);

    auto* right = new QVBoxLayout;
    auto* modes = new QGroupBox(QStringLiteral("Mode"), this);
    auto* modeList = new QVBoxLayout(modes);
    for (QCheckBox* box : modeFlags_) {
        modeList->addWidget(box);
    }
    modeList->addWidget(minimumSale_);
    right->addWidget(modes);

    auto* presets = new QGroupBox(QStringLiteral("Presets"), this);
    auto* presetGrid = new QGridLayout(presets);
    for (std::size_t i = 0; i < presetButtons_.size(); ++i) {
        // Single models in the first column, dual models in the second.
        presetGrid->addWidget(presetButtons_[i], static_cast<int>(i % 3), static_cast<int>(i / 3));
    }
    right->addWidget(presets);
    right->addStretch(1);
    auto* sendRow = new QHBoxLayout;
    sendRow->addStretch(1);
    sendRow->addWidget(sendButton_, 1);
    right->addLayout(sendRow);
    page->addLayout(right, 3);
}

void SystemPage::connectControls() {
    // SEND: every parameter to the scale in one command 65.
    connect(sendButton_, &QPushButton::clicked, this, &SystemPage::Button2Click);
    // Each preset fills the page with one scale model's values; nothing is sent.
    for (std::size_t i = 0; i < presetButtons_.size(); ++i) {
        connect(presetButtons_[i], &QPushButton::clicked, this,
                [this, i] { presetClicked(kCalibrationPresets[i]); });
    }
}

SystemParameters SystemPage::parameters() const {
    SystemParameters p;
    p.capacity = controlBytes(*capacity_);
    p.scaleInterval = controlBytes(*scaleInterval_);
    p.unit = spinFieldValue(*unit_);
    p.initialZeroPercent = spinFieldValue(*initialZero_);
    p.maxTare = controlBytes(*maxTare_);
    p.digits = spinFieldValue(*digits_);
    p.priceRounding = controlBytes(*priceRounding_);
    p.localGravity = spinFieldValue(*localGravity_);
    p.destinationGravity = spinFieldValue(*destinationGravity_);
    p.stableCount = controlBytes(*stableCount_);
    p.modeFlags = 0;
    for (std::size_t bit = 0; bit < modeFlags_.size(); ++bit) {
        if (modeFlags_[bit]->isChecked()) {
            p.modeFlags = static_cast<std::uint8_t>(p.modeFlags | (1u << bit));
        }
    }
    p.minimumSale = minimumSale_->isChecked();
    return p;
}

void SystemPage::showParameters(const SystemParameters& p) {
    setControlBytes(*capacity_, p.capacity);
    setControlBytes(*scaleInterval_, p.scaleInterval);
    setSpinFieldValue(*unit_, p.unit);
    setSpinFieldValue(*initialZero_, p.initialZeroPercent);
    setControlBytes(*maxTare_, p.maxTare);
    setSpinFieldValue(*digits_, p.digits);
    setControlBytes(*priceRounding_, p.priceRounding);
    setSpinFieldValue(*localGravity_, p.localGravity);
    setSpinFieldValue(*destinationGravity_, p.destinationGravity);
    setControlBytes(*stableCount_, p.stableCount);
    for (std::size_t bit = 0; bit < modeFlags_.size(); ++bit) {
        modeFlags_[bit]->setChecked((p.modeFlags >> bit) & 1);
    }
    minimumSale_->setChecked(p.minimumSale);
}

void SystemPage::Button2Click() {
    sendSystemParameters(context_.link, context_.ui, parameters(), context_.decimalSeparator);
}

void SystemPage::presetClicked(const CalibrationPreset& preset) {
    SystemParameters p = parameters();
    applyCalibrationPreset(preset, p);
    showParameters(p);
}
