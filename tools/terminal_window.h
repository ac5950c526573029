#pragma once
// The remote terminal: the scale's display and indicators, polled ten times a
// second while the window is active, and its keypad, worked by mouse or PC
// keyboard.

#include "gui/page_context.h"
#include "tools/terminal_display.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

class TForm3 : public QDialog {
    Q_OBJECT
  public:
    TForm3(PageContext context, QWidget* parent = nullptr);

    // A keypad button: sends its key code.
    void ButtonXClick(std::uint8_t keyCode);
    // A PC key, as a virtual-key code: sends the scale key it stands for.
    void FormKeyDown(std::uint16_t virtualKey);
    // One poll of the display.
    void Timer1Timer();
    void FormActivate();
    void FormDeactivate();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildDisplay();
    void buildKeypad();
    void placeMarks();
    void showDisplay(const TerminalDisplayState& state);

    PageContext context_;
    QFrame* Panel1 = nullptr;
    std::array<QLabel*, kDisplayLines> lineLabels_{}; // Label1..Label3
    std::array<QLabel*, kDisplayLines> markLabels_{}; // Label10..Label12
    // Label4 STAB, Label5 ZERO, Label6 NET, Label8 BATT, Label7 MODE,
    // Label9 SHIFT, Label13 SBT, Label14 PAPER, Label15 CHARG.
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QTimer* Timer1 = nullptr;
    bool centred_ = false;
};
