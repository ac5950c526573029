#pragma once
// The logo window: a picture file made into the receipt logo, fitted and
// placed in its 384 columns, tuned with brightness, contrast and a choice of
// dithering, previewed as it will print, and sent to the scale.

#include "gui/page_context.h"
#include "tools/logo_conversion.h"
#include "tools/logo_fitting.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QToolButton;

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    TForm4(PageContext context, QWidget* parent = nullptr);

    void Button1Click(); // "LOAD"
    void Button2Click(); // "SEND TO SCALE"
    void TrackBar1Change();
    void TrackBar2Change();
    void CheckBox1Click();
    void FitModeChange();
    void PlacementChange();
    void DitherModeChange();
    void SavePreviewClick(); // "Save preview…"

    // The picture as it is shown and as it would be sent.
    const LogoBitmap& logo() const { return logo_; }

  private:
    void addOptionsColumn();
    // The column of picture choices beside the form, and the window's width with it.
    void showPictureOptions(bool shown);
    void fitAndShow();
    void convertAndShow();
    void showPrintedSize();

    PageContext context_;
    QLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    // The controls beyond the original form, named by their objectNames.
    QComboBox* fitMode_ = nullptr;
    QComboBox* placement_ = nullptr;
    QComboBox* ditherMode_ = nullptr;
    QLabel* printedSize_ = nullptr;
    QPushButton* savePreview_ = nullptr;
    QToolButton* pictureOptions_ = nullptr; // PictureOptionsButton: shows or hides the column
    std::vector<QWidget*> optionsColumn_;

    SourcePicture picture_; // the loaded file at its own size; fitting starts from it
    GreyImage grey_;        // the fitted picture; every adjustment starts from it
    LogoBitmap logo_;
    // The dithering that unchecking "50% Threshold" goes back to.
    DitherMode lastDithering_ = DitherMode::ErrorDiffusion;
};
