#pragma once
// The logo window: a bitmap file made into the receipt logo, tuned with
// brightness, contrast and a threshold switch, and sent to the scale.

#include "gui/page_context.h"
#include "tools/logo_conversion.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    TForm4(PageContext context, QWidget* parent = nullptr);

    void Button1Click(); // "LOAD"
    void Button2Click(); // "SEND TO SCALE"
    void TrackBar1Change();
    void TrackBar2Change();
    void CheckBox1Click();

    // The picture as it is shown and as it would be sent.
    const LogoBitmap& logo() const { return logo_; }

  private:
    void convertAndShow();

    PageContext context_;
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    GreyImage grey_; // made once per loaded file; every adjustment starts from it
    LogoBitmap logo_;
};
