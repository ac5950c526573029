#include "logo_window.h"

#include "link/scale_link.h"
#include "link/user_interface.h"
#include "tools/logo_picture_file.h"
#include "tools/logo_upload.h"

#include <QBuffer>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

namespace {

constexpr QPoint kImagePosition{8, 8};
// The form as it always was, 401 x 323. A column of the fitting and
// dithering choices, the printed size and the preview's saving opens on its
// right when asked for, or when a picture does not fit the logo as it is.
constexpr QSize kFormSize{401, 323};
// The column's switch sits where the send's progress bar shows, which is
// hidden whenever no send runs.
constexpr QRect kPictureOptionsButton{8, 272, 96, 16};
constexpr int kOptionsLeft = kFormSize.width() + 2;
constexpr int kOptionsWidth = 110;
constexpr int kOptionsRightMargin = 8;
constexpr QSize kClientSize{kOptionsLeft + kOptionsWidth + kOptionsRightMargin, kFormSize.height()};
constexpr int kOptionsTop = kImagePosition.y() - 2; // level with the preview's bevel
constexpr int kCaptionHeight = 14;
constexpr int kChoiceHeight = 22;
constexpr int kChoiceStep = 44; // from one caption to the next
constexpr int kPrintedSizeTop = kOptionsTop + 3 * kChoiceStep;
constexpr int kPrintedSizeHeight = 2 * kCaptionHeight;
constexpr QRect kSavePreviewButton{kOptionsLeft, 296, kOptionsWidth, 25}; // on the buttons' row
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

// A caption and its choice, one under the other in the options column.
QComboBox* makeChoice(QWidget* parent, const char* name, const QString& caption, int top,
                      std::initializer_list<std::pair<QString, int>> items) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
    label->setGeometry(kOptionsLeft, top, kOptionsWidth, kCaptionHeight);
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(kOptionsLeft, top + kCaptionHeight, kOptionsWidth, kChoiceHeight);
    for (const auto& [text, value] : items) {
        combo->addItem(text, value);
    }
    label->setBuddy(combo);
    return combo;
}

template <class Enum> Enum chosen(const QComboBox& combo) {
    return static_cast<Enum>(combo.currentData().toInt());
}

template <class Enum> void choose(QComboBox& combo, Enum value) {
    combo.setCurrentIndex(combo.findData(static_cast<int>(value)));
}

// "BMP" stays the first filter and the one the dialog opens with.
FileDialogRequest pictureFileDialog() {
    return {"BMP",
            "*.BMP",
            "",
            ".",
            {{"PNG", "*.PNG"},
             {"JPEG", "*.JPG *.JPEG"},
             {"GIF", "*.GIF"},
             {"All pictures", "*.BMP *.PNG *.JPG *.JPEG *.GIF"}}};
}

} // namespace

TForm4::TForm4(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("LOAD LOGO"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
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
    const int overhang = CheckBox1->geometry().right() + 1 - (kFormSize.width() - kEdgeMargin);
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
    addOptionsColumn();
    showPictureOptions(false);

    // Button1 "LOAD": choose a picture, fit it and convert it.
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    // Button2 "SEND TO SCALE": the preview into the scale's logo memory.
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    // TrackBar1: brightness added to every grey value; follows the drag.
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm4::TrackBar1Change);
    // TrackBar2: strength of the contrast curve; follows the drag.
    connect(TrackBar2, &QSlider::valueChanged, this, &TForm4::TrackBar2Change);
    // CheckBox1 "50% Threshold": plain cut instead of error diffusion.
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm4::CheckBox1Click);
    // FitMode: cut, or scaled to the logo's width or into its whole area.
    connect(fitMode_, &QComboBox::currentIndexChanged, this, &TForm4::FitModeChange);
    // Placement: where a picture narrower than the logo goes.
    connect(placement_, &QComboBox::currentIndexChanged, this, &TForm4::PlacementChange);
    // DitherMode: how grey becomes dots; "50% Threshold" is CheckBox1's setting.
    connect(ditherMode_, &QComboBox::currentIndexChanged, this, &TForm4::DitherModeChange);
    // SavePreview "Save preview…": the black-and-white logo into a PNG file.
    connect(savePreview_, &QPushButton::clicked, this, &TForm4::SavePreviewClick);
    // PictureOptionsButton: opens and closes the column of picture choices.
    connect(pictureOptions_, &QToolButton::toggled, this, &TForm4::showPictureOptions);
}

void TForm4::showPictureOptions(bool shown) {
    for (QWidget* control : optionsColumn_) {
        control->setVisible(shown);
    }
    pictureOptions_->setText(shown ? QStringLiteral("PICTURE \u25C2") : QStringLiteral("PICTURE \u25B8"));
    if (pictureOptions_->isChecked() != shown) {
        const QSignalBlocker quiet(pictureOptions_);
        pictureOptions_->setChecked(shown);
    }
    setFixedSize(shown ? kClientSize : kFormSize);
}

void TForm4::addOptionsColumn() {
    fitMode_ = makeChoice(this, "FitMode", QStringLiteral("Fit:"), kOptionsTop,
                          {{QStringLiteral("Crop"), static_cast<int>(FitMode::Crop)},
                           {QStringLiteral("Fit width"), static_cast<int>(FitMode::FitWidth)},
                           {QStringLiteral("Fit"), static_cast<int>(FitMode::Fit)}});
    placement_ = makeChoice(this, "Placement", QStringLiteral("Place:"), kOptionsTop + kChoiceStep,
                            {{QStringLiteral("Left"), static_cast<int>(Placement::Left)},
                             {QStringLiteral("Centre"), static_cast<int>(Placement::Centre)},
                             {QStringLiteral("Right"), static_cast<int>(Placement::Right)}});
    placement_->setToolTip(QStringLiteral("Where a picture narrower than the receipt goes"));
    ditherMode_ =
        makeChoice(this, "DitherMode", QStringLiteral("Dither:"), kOptionsTop + 2 * kChoiceStep,
                   {{QStringLiteral("Error diffusion"), static_cast<int>(DitherMode::ErrorDiffusion)},
                    {QStringLiteral("50% Threshold"), static_cast<int>(DitherMode::Threshold)},
                    {QStringLiteral("Atkinson"), static_cast<int>(DitherMode::Atkinson)},
                    {QStringLiteral("Bayer 8×8"), static_cast<int>(DitherMode::Bayer)}});

    auto* printedCaption = new QLabel(QStringLiteral("Prints:"), this);
    printedCaption->setObjectName(QStringLiteral("PrintedSizeCaption"));
    printedCaption->setGeometry(kOptionsLeft, kPrintedSizeTop, kOptionsWidth, kCaptionHeight);
    printedSize_ = new QLabel(this);
    printedSize_->setObjectName(QStringLiteral("PrintedSize"));
    printedSize_->setGeometry(kOptionsLeft, kPrintedSizeTop + kCaptionHeight, kOptionsWidth,
                              kPrintedSizeHeight);
    printedSize_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    savePreview_ = new QPushButton(QStringLiteral("Save preview…"), this);
    savePreview_->setObjectName(QStringLiteral("SavePreview"));
    savePreview_->setGeometry(kSavePreviewButton);
    savePreview_->setAutoDefault(false);
    showPrintedSize();

    for (const char* name : {"FitMode", "Placement", "DitherMode", "PrintedSize", "SavePreview"}) {
        optionsColumn_.push_back(findChild<QWidget*>(QString::fromLatin1(name)));
        optionsColumn_.push_back(findChild<QWidget*>(QString::fromLatin1(name) + QStringLiteral("Caption")));
    }
    std::erase(optionsColumn_, nullptr);

    pictureOptions_ = new QToolButton(this);
    pictureOptions_->setObjectName(QStringLiteral("PictureOptionsButton"));
    pictureOptions_->setGeometry(kPictureOptionsButton);
    pictureOptions_->setCheckable(true);
    pictureOptions_->setAutoRaise(true);
    pictureOptions_->setToolTip(QStringLiteral("Fitting, placement, dithering and the printed size"));
    pictureOptions_->setAccessibleName(pictureOptions_->toolTip());
}

void TForm4::Button1Click() {
    const auto fileName = context_.ui.askOpenFileName(pictureFileDialog());
    if (!fileName) {
        return;
    }
    // Read into a picture of its own first: a file that cannot be read must
    // leave the current logo as it was.
    std::string reason;
    std::optional<SourcePicture> picture;
    {
        const BusyCursor busy(context_.ui); // a large photo takes a moment to decode
        picture = readLogoPicture(*fileName, reason);
    }
    if (!picture) {
        context_.ui.showErrorWithDetails("'" + *fileName + "' is not a picture that can be read.", "ERROR!",
                                         reason);
        return;
    }
    picture_ = std::move(*picture);
    // A picture larger than the logo is cut unless fitted: show the choice.
    if (picture_.width > kLogoWidth || picture_.height > kLogoMaxHeight) {
        showPictureOptions(true);
    }
    fitAndShow();
}

void TForm4::TrackBar1Change() {
    convertAndShow();
}

void TForm4::TrackBar2Change() {
    convertAndShow();
}

// The switch and the dithering choice show one setting: checking the switch
// chooses "50% Threshold", unchecking it goes back to the dithering chosen
// before, and choosing in the list sets the switch to match.
void TForm4::CheckBox1Click() {
    const QSignalBlocker quiet(ditherMode_);
    choose(*ditherMode_, CheckBox1->isChecked() ? DitherMode::Threshold : lastDithering_);
    convertAndShow();
}

void TForm4::DitherModeChange() {
    const auto dither = chosen<DitherMode>(*ditherMode_);
    if (dither != DitherMode::Threshold) {
        lastDithering_ = dither;
    }
    const QSignalBlocker quiet(CheckBox1);
    CheckBox1->setChecked(dither == DitherMode::Threshold);
    convertAndShow();
}

void TForm4::FitModeChange() {
    fitAndShow();
}

void TForm4::PlacementChange() {
    fitAndShow();
}

void TForm4::fitAndShow() {
    grey_ = fitLogo(picture_, chosen<FitMode>(*fitMode_), chosen<Placement>(*placement_));
    // Placing matters only to a picture that leaves columns free.
    placement_->setEnabled(picture_.width == 0 ||
                           fittedSize(picture_.width, picture_.height, chosen<FitMode>(*fitMode_)).width <
                               kLogoWidth);
    convertAndShow();
}

void TForm4::convertAndShow() {
    logo_ = convertLogo(grey_, {TrackBar1->value(), TrackBar2->value(), chosen<DitherMode>(*ditherMode_)});
    showPrintedSize();
    if (logo_.height == 0) {
        Image1->clear();
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(previewImage(logo_)));
}

void TForm4::showPrintedSize() {
    savePreview_->setEnabled(logo_.height > 0);
    if (logo_.height == 0) {
        printedSize_->setText(QStringLiteral("No picture"));
        return;
    }
    const auto millimetres = [this](int dots) {
        return QString::number(static_cast<double>(dots) / kDotsPerMillimetre, 'f', 1)
            .replace(QLatin1Char('.'), QLatin1Char(context_.decimalSeparator));
    };
    printedSize_->setText(QStringLiteral("%1 × %2 dots\n%3 × %4 mm")
                              .arg(kLogoWidth)
                              .arg(logo_.height)
                              .arg(millimetres(kLogoWidth), millimetres(logo_.height)));
}

void TForm4::SavePreviewClick() {
    if (logo_.height == 0) {
        return; // nothing loaded: the button is disabled
    }
    const auto fileName = context_.ui.askSaveFileName({"PNG", "*.PNG", "png", ""});
    if (!fileName) {
        return;
    }
    QByteArray png;
    QBuffer encoder(&png);
    encoder.open(QIODevice::WriteOnly);
    const bool encoded = previewImage(logo_).save(&encoder, "PNG");
    // Written beside the target and renamed over it only once whole. commit()
    // renames even when the buffer's last flush fails (a full disk), so the
    // flush comes first, where a failure can still cancel the rename.
    QSaveFile file(QString::fromLocal8Bit(fileName->c_str()));
    const bool written =
        encoded && file.open(QIODevice::WriteOnly) && file.write(png) == png.size() && file.flush();
    if (!written) {
        file.cancelWriting();
    }
    if (!written || !file.commit()) {
        context_.ui.showErrorWithDetails("I/O Error!", "ERROR!", file.errorString().toStdString());
    }
}

void TForm4::Button2Click() {
    if (!context_.link.checkConnected()) {
        return;
    }
    ProgressBar1->setMaximum(logo_.height);
    ProgressBar1->setValue(0);
    pictureOptions_->hide();
    ProgressBar1->show();
    // The bar shows a send in progress only: a failed send has said so in its
    // message, and a bar left standing would look like a send still running.
    sendLogo(context_.link, logo_, [this](int row) { ProgressBar1->setValue(row); });
    ProgressBar1->hide();
    pictureOptions_->show();
}
