#pragma once
// The "SETTINGS" page: the scale's own configuration, moved to and from the
// scale as a whole, its factory defaults, the real-time clock group and the
// button that opens the logo window. The controls hold the values; the page
// moves them into ScaleSettings and back and calls the plain operations.

#include "gui/page_context.h"
#include "clock.h"
#include "scale_settings.h"

#include <QDateTime>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class RangeSpinEdit;
class QTableWidget;

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    SettingsPage(PageContext context, QWidget* parent = nullptr);

    // The clock's "From PC" action, run once at start-up.
    void captureClockFromPc();

    // The page's values as plain data, and shown again.
    ScaleSettings settings() const;
    void showSettings(const ScaleSettings& settings);

    const ClockValue& clockValue() const { return clock_; }
    // Where "From PC" reads the PC's local time; tests put a fixed time here.
    void setClockSource(std::function<QDateTime()> source) { clockSource_ = std::move(source); }

    void Button1Click();  // SEND TO SCALE
    void Button9Click();  // LOAD FROM SCALE
    void Button24Click(); // Default Set
    void Button3Click();  // From PC
    void Button13Click(); // TO SCALE (clock)
    void Button4Click();  // FROM SCALE (clock)
    void saveSettingsClicked(); // SAVE SETTINGS…
    void loadSettingsClicked(); // LOAD SETTINGS…

signals:
    // "GRAPHICAL LOGO" was clicked; the main window checks the link and shows the logo window.
    void logoWindowRequested();

private:
    void createControls();
    void layOutControls();
    void connectControls();
    void showClock();

    PageContext context_;
    ClockValue clock_;
    std::function<QDateTime()> clockSource_ = [] { return QDateTime::currentDateTime(); };

    QComboBox* clerkMode_ = nullptr;                  // ComboBox3
    std::array<QCheckBox*, 8> printOptions_{};        // CheckBox1..CheckBox8, bit 0 first
    QLineEdit* singleItemBarcode_ = nullptr;          // Edit1
    QLineEdit* totalBarcode_ = nullptr;               // Edit2
    QComboBox* baudRate_ = nullptr;                   // ComboBox4
    RangeSpinEdit* autoOff_ = nullptr;                // SpinEdit3
    RangeSpinEdit* lanNumber_ = nullptr;              // SpinEdit4
    RangeSpinEdit* discount_ = nullptr;               // SpinEdit5
    RangeSpinEdit* drawerOpenTime_ = nullptr;         // SpinEdit6
    QComboBox* darkness_ = nullptr;                   // ComboBox8
    QLineEdit* currency_ = nullptr;                   // Edit9
    QCheckBox* printAllReports_ = nullptr;            // CheckBox13
    QCheckBox* printTax_ = nullptr;                   // CheckBox15
    std::array<QLineEdit*, kClerkCount> clerks_{};    // Edit3, Edit6, Edit7, Edit8
    QPlainTextEdit* header_ = nullptr;                // Memo1
    QPlainTextEdit* footer_ = nullptr;                // Memo2
    QTableWidget* departments_ = nullptr;             // StringGrid2
    QTableWidget* taxes_ = nullptr;                   // StringGrid3
    QLineEdit* clockBox_ = nullptr;                   // MaskEdit1
    QPushButton* sendButton_ = nullptr;               // Button1
    QPushButton* loadButton_ = nullptr;               // Button9
    QPushButton* defaultButton_ = nullptr;            // Button24
    QPushButton* logoButton_ = nullptr;               // Button14
    QPushButton* clockFromPcButton_ = nullptr;        // Button3
    QPushButton* clockToScaleButton_ = nullptr;       // Button13
    QPushButton* clockFromScaleButton_ = nullptr;     // Button4
    QPushButton* saveSettingsButton_ = nullptr;       // SaveSettingsButton
    QPushButton* loadSettingsButton_ = nullptr;       // LoadSettingsButton
};
