#pragma once
// The progress window of the PLU transfers ("WORK..."): a bar, the last PLU
// handled and "STOP". While a transfer runs it is modal to the whole program,
// so nothing but "STOP" can start inside the transfer, while every window
// still repaints. The user cannot close it; the transfer hides it at its end.

#include "gui/page_context.h"

#include <QDialog>
#include <chrono>

class QLabel;
class QProgressBar;
class QPushButton;

class TForm2 : public QDialog {
    Q_OBJECT
  public:
    TForm2(PageContext context, QWidget* parent = nullptr);

    // True while a transfer runs; "STOP" clears it and the transfer notices.
    bool Working = false;

    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;

    // "STOP".
    void Button1Click();

    // Shows the window painted and sets Working: positions 0..span.
    void beginTransfer(int span);
    // After one PLU of the range: the bar to `position`, the label to "N PLUs".
    // Both always hold the latest step; they are painted, together, at most
    // every kRepaintInterval. True when this step is one that is painted.
    bool setProgress(int position, int plu);
    // The same for any long job: the bar to `position`, the label to what is done.
    bool setStep(int position, const QString& label);
    // Hides the window and clears Working.
    void endTransfer();

  protected:
    // Escape and the window system's close request would hide the window
    // under a running transfer; the transfer alone hides it.
    void reject() override {}
    void closeEvent(QCloseEvent* event) override;

  private:
    using Clock = std::chrono::steady_clock;
    // At 115200 bit/s a PLU crosses the line in about 6.5 ms, and painting
    // the label after each one cost more than the exchange's own overhead.
    // 25 paints a second are still more than anyone can read.
    static constexpr std::chrono::milliseconds kRepaintInterval{40};

    // Holds or releases the painting of the bar and the label.
    void holdPaint(bool hold);

    PageContext context_;
    Clock::time_point lastPaint_{};
    int paintedPosition_ = 0;
    int barStep_ = 1;
};
