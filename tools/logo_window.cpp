#include "logo_window.h"

#include "link/scale_link.h"
#include "link/user_interface.h"
#include "tools/logo_fitting.h"
#include "tools/logo_upload.h"

#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr QSize kClientSize{401, 323};
constexpr QPoint kImagePosition{8, 8};
constexpr int kEdgeMargin = 4; // pixels kept free along the window's right edge
constexpr int kTrackBarPageStep = 16;
constexpr int kTrackBarTickStep = 32;
// The controls' text in a small face, so "50% Threshold" and "SEND TO SCALE"
// fit the narrow places the window has for them.
constexpr int kControlFontPixels = 10;
// The bars share the bottom row with the buttons: as tall as they are, so the
// ticks stay inside the window, and narrower than the room they are given,
// so the two keep apart and off the right edge.
constexpr QRect kBrightnessBar{176, 296, 105, 25};
constexpr QRect kContrastBar{288, 296, 105, 25};

QSlider* makeTrackBar(QWidget* parent, const char* name, const QString& meaning, QRect geometry, int minimum,
                      int maximum, int value) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setToolTip(meaning); // the bars have no caption of their own
    slider->setAccessibleName(meaning);
    slider->setGeometry(geometry);
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    slider->setPageStep(kTrackBarPageStep);
    slider->setTickInterval(kTrackBarTickStep);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

// The logo's rows are already one bit per pixel, leftmost in the high bit,
// rows 48 bytes long: exactly the layout of a monochrome image.
QImage previewImage(const LogoBitmap& logo) {
    QImage image(logo.rows.data(), kLogoWidth, logo.height, kLogoRowBytes, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)}); // a set bit is a black dot
    return image.copy();
}

} // namespace

TForm4::TForm4(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("LOAD LOGO"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientSize);
    QFont controlFont = font();
    controlFont.setPixelSize(kControlFontPixels);
    setFont(controlFont);

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(QRect(kImagePosition - QPoint(2, 2), QSize(kLogoWidth + 4, kLogoMaxHeight + 4)));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(kImagePosition, QSize(kLogoWidth, kLogoMaxHeight)));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop); // drawn from its corner, never stretched

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 272, 273, 16);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    CheckBox1 = new QCheckBox(QStringLiteral("50% Threshold"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->move(296, 272);
    CheckBox1->adjustSize();
    // Where a system's font is wider still, the box moves left rather than
    // lose its last letters at the window's edge.
    const int overhang = CheckBox1->geometry().right() + 1 - (kClientSize.width() - kEdgeMargin);
    if (overhang > 0) {
        CheckBox1->move(CheckBox1->x() - overhang, CheckBox1->y());
    }

    Button1 = new QPushButton(QStringLiteral("LOAD"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 296, 57, 25);
    Button1->setAutoDefault(false);

    Button2 = new QPushButton(QStringLiteral("SEND TO SCALE"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(72, 296, 97, 25);
    Button2->setAutoDefault(false);

    TrackBar1 = makeTrackBar(this, "TrackBar1", QStringLiteral("Brightness"), kBrightnessBar, -128, 128, 0);
    TrackBar2 = makeTrackBar(this, "TrackBar2", QStringLiteral("Contrast"), kContrastBar, 0, 255, 128);

    // Button1 "LOAD": choose a bitmap and convert it.
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    // Button2 "SEND TO SCALE": the preview into the scale's logo memory.
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    // TrackBar1: brightness added to every grey value; follows the drag.
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm4::TrackBar1Change);
    // TrackBar2: strength of the contrast curve; follows the drag.
    connect(TrackBar2, &QSlider::valueChanged, this, &TForm4::TrackBar2Change);
    // CheckBox1 "50% Threshold": plain cut instead of error diffusion.
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm4::CheckBox1Click);
}

void TForm4::Button1Click() {
    const auto fileName = context_.ui.askOpenFileName({"BMP", "*.BMP", "", "."});
    if (!fileName) {
        return;
    }
    // Read into a picture of its own first: a file that is not a bitmap must
    // leave the current logo as it was.
    QImage picture;
    if (!picture.load(QString::fromLocal8Bit(fileName->c_str()), "BMP")) {
        context_.ui.showError("'" + *fileName + "' is not a bitmap file that can be read.", "ERROR!");
        return;
    }
    const QImage colours = picture.convertToFormat(QImage::Format_RGB32);
    grey_ = makeGreyImage(colours.width(), colours.height(), [&colours](int x, int y) {
        const QRgb pixel = reinterpret_cast<const QRgb*>(colours.constScanLine(y))[x];
        return Rgb{static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
                   static_cast<std::uint8_t>(qBlue(pixel))};
    });
    convertAndShow();
}

void TForm4::TrackBar1Change() {
    convertAndShow();
}

void TForm4::TrackBar2Change() {
    convertAndShow();
}

void TForm4::CheckBox1Click() {
    convertAndShow();
}

void TForm4::convertAndShow() {
    logo_ = convertLogo(grey_, {TrackBar1->value(), TrackBar2->value(),
                                 CheckBox1->isChecked() ? DitherMode::Threshold : DitherMode::ErrorDiffusion});
    if (logo_.height == 0) {
        Image1->clear();
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(previewImage(logo_)));
}

void TForm4::Button2Click() {
    if (!context_.link.checkConnected()) {
        return;
    }
    ProgressBar1->setMaximum(logo_.height);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    // On a failure the bar stays where the send stopped.
    if (sendLogo(context_.link, logo_, [this](int row) { ProgressBar1->setValue(row); })) {
        ProgressBar1->hide();
    }
}
