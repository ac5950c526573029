// The logo window: loading pictures, fitting, tuning, previewing, and sending to the scale.

#include "link/commands.h"
#include "scripted_link.h"
#include "simulated_link.h"
#include "tools/logo_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path scratchFolder() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("tools_logo_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string savePicture(const QImage& image, const fs::path& path, const char* format) {
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), format)) << format;
    return path.string();
}

std::string saveBitmap(const QImage& image, const fs::path& path) {
    return savePicture(image, path, "BMP");
}

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class LogoWindowTest : public SimulatedLink {
  protected:
    void SetUp() override {
        SimulatedLink::SetUp();
        dir_ = scratchFolder();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void load(const std::string& path) {
        ui.openAnswers.push_back(path);
        form.findChild<QPushButton*>("Button1")->click();
    }
    QSlider* trackBar(const char* name) { return form.findChild<QSlider*>(name); }
    QComboBox* choice(const char* name) { return form.findChild<QComboBox*>(name); }
    void choose(const char* name, const char* item) {
        QComboBox* box = choice(name);
        ASSERT_NE(box->findText(QString::fromUtf8(item)), -1) << item;
        box->setCurrentIndex(box->findText(QString::fromUtf8(item)));
    }
    QImage preview() { return form.findChild<QLabel*>("Image1")->pixmap().toImage(); }

    fs::path dir_;
    TForm4 form{context};
};

TEST_F(LogoWindowTest, NarrowTallBlackPictureBecomesTheFullLogoArea) {
    load(saveBitmap(filled(100, 300, qRgb(0, 0, 0)), dir_ / "black.bmp"));
    ASSERT_EQ(ui.openRequests.size(), 1u);
    EXPECT_EQ(ui.openRequests[0].filterDescription, "BMP");
    EXPECT_EQ(ui.openRequests[0].pattern, "*.BMP");
    EXPECT_EQ(ui.openRequests[0].startFolder, ".");
    const LogoBitmap& logo = form.logo();
    ASSERT_EQ(logo.height, 250);
    for (int y : {0, 249}) {
        const auto row = logo.row(y);
        EXPECT_EQ(Bytes(row.begin(), row.begin() + 12), Bytes(12, 0xFF));
        EXPECT_EQ(row[12], 0xF0); // columns 96..99 black, 100..103 white fill
        EXPECT_EQ(Bytes(row.begin() + 13, row.end()), Bytes(35, 0x00));
    }
    const QImage shown = preview();
    EXPECT_EQ(shown.size(), QSize(384, 250));
    EXPECT_EQ(shown.pixelColor(99, 0), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(100, 249), QColor(Qt::white));
}

TEST_F(LogoWindowTest, PaletteBitmapsTakeTheirPaletteColours) {
    QImage indexed(8, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)});
    indexed.fill(0);
    indexed.setPixel(0, 0, 1); // red: grey 75
    indexed.setPixel(1, 0, 2); // blue: grey 23
    form.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
    trackBar("TrackBar2")->setValue(0);
    trackBar("TrackBar1")->setValue(60); // red 135 white, blue 83 black
    load(saveBitmap(indexed, dir_ / "palette.bmp"));
    ASSERT_EQ(form.logo().height, 2);
    EXPECT_EQ(form.logo().row(0)[0], 0x40);
    EXPECT_EQ(form.logo().row(1)[0], 0x00);
}

TEST_F(LogoWindowTest, FileThatIsNotABitmapLeavesTheLogoAsItWas) {
    load(saveBitmap(filled(10, 5, qRgb(0, 0, 0)), dir_ / "first.bmp"));
    const LogoBitmap before = form.logo();
    const QImage shownBefore = preview();
    const fs::path text = dir_ / "notes.bmp";
    std::ofstream(text) << "not a picture";
    load(text.string());
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].title, "ERROR!");
    EXPECT_NE(ui.errors[0].text.find("notes.bmp"), std::string::npos);
    EXPECT_EQ(form.logo().rows, before.rows);
    EXPECT_EQ(preview(), shownBefore);
    // The stored grey image survived too: a re-conversion gives the old picture.
    trackBar("TrackBar1")->setValue(10);
    trackBar("TrackBar1")->setValue(0);
    EXPECT_EQ(form.logo().rows, before.rows);
    EXPECT_EQ(form.logo().height, 5);
}

TEST_F(LogoWindowTest, EveryChangeReconvertsFromTheStoredGrey) {
    QImage ramp(384, 4, QImage::Format_RGB32);
    for (int x = 0; x < 384; ++x) {
        for (int y = 0; y < 4; ++y) {
            const int level = x * 255 / 383;
            ramp.setPixel(x, y, qRgb(level, level, level));
        }
    }
    load(saveBitmap(ramp, dir_ / "ramp.bmp"));
    const LogoBitmap original = form.logo();
    trackBar("TrackBar1")->setValue(-128);
    EXPECT_NE(form.logo().rows, original.rows);
    trackBar("TrackBar1")->setValue(128);
    trackBar("TrackBar1")->setValue(0);
    EXPECT_EQ(form.logo().rows, original.rows) << "adjustments never accumulate";

    form.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
    trackBar("TrackBar2")->setValue(0);
    // Threshold only, no curve: black exactly where the ramp's grey is below 128.
    for (int x = 0; x < 384; ++x) {
        const int level = x * 255 / 383;
        const int grey = (63 * level) >> 6;
        EXPECT_EQ(form.logo().isBlack(x, 2), grey < 128) << "x = " << x;
    }
    const QImage shown = preview();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(383, 0), QColor(Qt::white));
}

TEST_F(LogoWindowTest, SendStoresThePreviewByteForByte) {
    QImage picture = filled(384, 20, qRgb(255, 255, 255));
    for (int i = 0; i < 20; ++i) {
        picture.setPixel(i * 19, i, qRgb(0, 0, 0)); // a diagonal
        picture.setPixel(383 - i, i, qRgb(60, 60, 60));
    }
    load(saveBitmap(picture, dir_ / "diagonal.bmp"));
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_TRUE(ui.errors.empty());
    const sim::ScaleMemory memory = scale.snapshot();
    EXPECT_EQ(memory.logoMemory[0], 20);
    const LogoBitmap& logo = form.logo();
    EXPECT_EQ(Bytes(memory.logoMemory.begin() + 1, memory.logoMemory.begin() + 1 + 20 * 48), logo.rows);
    EXPECT_TRUE(logo.isBlack(0, 0));
    EXPECT_TRUE(logo.isBlack(19 * 19, 19));
    EXPECT_EQ(scale.requests().size(), 21u);
    EXPECT_TRUE(form.findChild<QProgressBar*>("ProgressBar1")->isHidden());
}

TEST_F(LogoWindowTest, SendWhenNotConnectedSendsNothing) {
    link.closeLink();
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(ui.errors.back().text, "You are not connected to the scale!");
    EXPECT_TRUE(scale.requests().empty());
}

// The rows a 1-bit picture holds, packed as the scale stores them.
Bytes rowsOf(const QImage& picture) {
    Bytes rows(static_cast<std::size_t>(picture.height()) * 48, 0);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y) == QColor(Qt::black)) {
                rows[static_cast<std::size_t>(y) * 48 + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return rows;
}

TEST_F(LogoWindowTest, TransparentPngFitsCentresAndSendsItsPreview) {
    // A logo of 1200 x 400 on a clear background: a solid bar and, right of
    // it, a patch of black at a quarter opacity, which lies on white as a light grey.
    QImage logo(1200, 400, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.fillRect(QRect(300, 100, 600, 200), QColor(0, 0, 0));
    painter.fillRect(QRect(1000, 0, 200, 400), QColor(0, 0, 0, 64));
    painter.end();
    choose("FitMode", "Fit");
    choose("Placement", "Centre");
    load(savePicture(logo, dir_ / "logo.png", "PNG"));
    ASSERT_TRUE(ui.errors.empty());
    EXPECT_FALSE(choice("FitMode")->isHidden()) << "a picture larger than the logo opens the choices";
    ASSERT_EQ(ui.openRequests.size(), 1u);
    EXPECT_EQ(ui.openRequests[0].filterDescription, "BMP");
    EXPECT_EQ(ui.openRequests[0].moreFilters.at(0).pattern, "*.PNG");

    // 1200 x 400 into 384 x 250: 384 x 128, every column used. The bar covers
    // columns 96..287 and rows 32..95; the clear background stays white.
    const LogoBitmap& fitted = form.logo();
    ASSERT_EQ(fitted.height, 128);
    EXPECT_FALSE(choice("Placement")->isEnabled()) << "nothing to place in a full-width picture";
    for (const auto& [x, y, black] : {std::tuple{96, 32, true},
                                      {287, 95, true},
                                      {200, 60, true},
                                      {95, 60, false},
                                      {288, 60, false},
                                      {200, 31, false},
                                      {200, 96, false},
                                      {0, 0, false},
                                      {383, 127, false}}) {
        EXPECT_EQ(fitted.isBlack(x, y), black) << x << ", " << y;
    }
    int patchDots = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 322; x < 384; ++x) {
            patchDots += fitted.isBlack(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(patchDots, 0) << "the light patch is dithered, not lost";
    EXPECT_LT(patchDots, 62 * 128 / 2) << "a quarter-opaque patch is not a black block";

    // The preview is the logo dot for dot, at 1:1, with its printed size.
    const QImage shown = preview();
    EXPECT_EQ(shown.size(), QSize(384, 128));
    EXPECT_EQ(rowsOf(shown), fitted.rows);
    const auto* size = form.findChild<QLabel*>("PrintedSize");
    EXPECT_EQ(size->text(), QStringLiteral("384 × 128 dots\n48.0 × 16.0 mm"));
    EXPECT_GE(size->width(), size->sizeHint().width());

    // The scale stores exactly the rows the preview shows.
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_TRUE(ui.errors.empty());
    const sim::ScaleMemory memory = scale.snapshot();
    EXPECT_EQ(memory.logoMemory[0], 128);
    EXPECT_EQ(Bytes(memory.logoMemory.begin() + 1, memory.logoMemory.begin() + 1 + 128 * 48), rowsOf(shown));

    // A square picture fitted into 250 x 250, then moved across by Placement.
    QImage square(400, 400, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter squarePainter(&square);
    squarePainter.fillRect(QRect(0, 0, 400, 8), Qt::black); // a bar along its top edge
    squarePainter.end();
    load(savePicture(square, dir_ / "square.png", "PNG"));
    ASSERT_EQ(form.logo().height, 250);
    EXPECT_TRUE(choice("Placement")->isEnabled());
    for (const auto& [placement, left] : {std::pair{"Centre", 67}, {"Left", 0}, {"Right", 134}}) {
        choose("Placement", placement);
        for (int x = 0; x < kLogoWidth; ++x) {
            ASSERT_EQ(form.logo().isBlack(x, 0), x >= left && x < left + 250) << placement << ", x = " << x;
        }
    }
}

// A pattern wider and higher than the logo, and a narrow one, as 24-bit bitmaps.
QImage bitmapPattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 7 + y * 3) & 255, (x * y / 5) & 255, (x ^ (2 * y)) & 255));
        }
    }
    return image;
}

std::uint64_t fingerprint(const Bytes& bytes) { // FNV-1a
    std::uint64_t hash = 1469598103934665603u;
    for (const std::uint8_t b : bytes) {
        hash = (hash ^ b) * 1099511628211u;
    }
    return hash;
}

TEST_F(LogoWindowTest, BitmapsWithTheDefaultControlsConvertAsTheyAlwaysDid) {
    // Fingerprints of the rows the window made of these bitmaps before it read
    // other pictures, with the default controls and with "50% Threshold".
    const struct {
        int width, height;
        std::uint64_t diffused, threshold;
    } bitmaps[] = {{450, 260, 0xaa6b2da21fa21a73u, 0x3f62d0f5695d3273u},
                   {200, 100, 0xf2216a716a20c9f3u, 0x719fef63b13eead0u}};
    for (const auto& b : bitmaps) {
        load(saveBitmap(bitmapPattern(b.width, b.height), dir_ / "pattern.bmp"));
        EXPECT_EQ(form.logo().height, std::min(b.height, 250));
        EXPECT_EQ(fingerprint(form.logo().rows), b.diffused) << b.width;
        form.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
        EXPECT_EQ(fingerprint(form.logo().rows), b.threshold) << b.width;
        form.findChild<QCheckBox*>("CheckBox1")->setChecked(false);
    }
}

TEST_F(LogoWindowTest, ThresholdSwitchAndDitherChoiceShowOneSetting) {
    auto* threshold = form.findChild<QCheckBox*>("CheckBox1");
    EXPECT_EQ(choice("DitherMode")->currentText(), "Error diffusion");
    choose("DitherMode", "Atkinson");
    threshold->setChecked(true);
    EXPECT_EQ(choice("DitherMode")->currentText(), "50% Threshold");
    threshold->setChecked(false);
    EXPECT_EQ(choice("DitherMode")->currentText(), "Atkinson") << "back to the dithering chosen before";
    choose("DitherMode", "50% Threshold");
    EXPECT_TRUE(threshold->isChecked());
    choose("DitherMode", "Bayer 8×8");
    EXPECT_FALSE(threshold->isChecked());

    // Each choice converts with its own mode.
    QImage grey = filled(384, 16, qRgb(128, 128, 128));
    load(saveBitmap(grey, dir_ / "grey.bmp"));
    const GreyImage stored{16, std::vector<std::uint8_t>(384 * 16, 126)}; // (63 x 128) >> 6
    for (const auto& [item, mode] : {std::pair{"Error diffusion", DitherMode::ErrorDiffusion},
                                     {"50% Threshold", DitherMode::Threshold},
                                     {"Atkinson", DitherMode::Atkinson},
                                     {"Bayer 8×8", DitherMode::Bayer}}) {
        choose("DitherMode", item);
        EXPECT_EQ(form.logo().rows, convertLogo(stored, {0, 128, mode}).rows) << item;
    }
}

TEST_F(LogoWindowTest, OtherFormatsLoadAndGifGivesItsFirstFrame) {
    load(savePicture(filled(40, 20, qRgb(0, 0, 0)), dir_ / "black.jpg", "JPEG"));
    ASSERT_EQ(form.logo().height, 20);
    EXPECT_EQ(form.logo().row(0)[4], 0xFF);
    EXPECT_EQ(form.logo().row(19)[5], 0x00);

    // Two frames of one pixel each, black then white, from a palette of white and black.
    const Bytes gif{
        'G',  'I',  'F',  '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,             // screen 1 x 1, 2 colours
        0xFF, 0xFF, 0xFF, 0,   0,   0,                                       // white, black
        0x2C, 0,    0,    0,   0,   1,   0, 1, 0, 0, 2,    2, 0x4C, 0x01, 0, // frame: pixel 1 (black)
        0x2C, 0,    0,    0,   0,   1,   0, 1, 0, 0, 2,    2, 0x44, 0x01, 0, // frame: pixel 0 (white)
        0x3B};
    const fs::path path = dir_ / "frames.gif";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
    load(path.string());
    ASSERT_TRUE(ui.errors.empty()) << ui.errorDetails.at(0);
    ASSERT_EQ(form.logo().height, 1);
    EXPECT_EQ(form.logo().row(0)[0], 0x80);
}

TEST_F(LogoWindowTest, SavePreviewWritesTheOneBitPicture) {
    auto* save = form.findChild<QPushButton*>("SavePreview");
    EXPECT_FALSE(save->isEnabled()) << "nothing to save yet";
    QImage picture = filled(384, 30, qRgb(255, 255, 255));
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(383, 29, qRgb(0, 0, 0));
    load(saveBitmap(picture, dir_ / "corners.bmp"));
    ASSERT_TRUE(save->isEnabled());

    const fs::path target = dir_ / "preview.png";
    std::ofstream(target) << "an older file";
    ui.saveAnswers.push_back(target.string());
    save->click();
    ASSERT_TRUE(ui.errors.empty());
    EXPECT_EQ(ui.saveRequests.at(0).pattern, "*.PNG");
    QImage written(QString::fromStdString(target.string()), "PNG");
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.depth(), 1);
    EXPECT_EQ(rowsOf(written), form.logo().rows);
}

TEST(LogoWindowSend, AFailedSendHidesTheProgressBarAsAGoodOneDoes) {
    ScriptedLink scale;
    RememberedText remembered;
    TForm4 form(PageContext{scale.link(), scale.ui, remembered, '.'});
    const fs::path dir = scratchFolder();
    scale.ui.openAnswers.push_back(saveBitmap(filled(384, 5, qRgb(0, 0, 0)), dir / "five.bmp"));
    form.findChild<QPushButton*>("Button1")->click();
    const auto* bar = form.findChild<QProgressBar*>("ProgressBar1");

    scale.replyWith(); // header
    scale.replyWith(); // row 0
    scale.replyWith(); // row 1; row 2 gets no answer
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(scale.ui.errorCount("Comunication Error!"), 1);
    EXPECT_EQ(scale.requests().size(), 3u + 3) << "three attempts at row 2, then no more rows";
    EXPECT_EQ(bar->maximum(), 5);
    EXPECT_EQ(bar->value(), 1) << "the bar followed the rows sent";
    EXPECT_TRUE(bar->isHidden());

    // The header itself fails: no row goes, and the bar is gone again.
    form.findChild<QPushButton*>("Button2")->click();
    EXPECT_EQ(scale.ui.errorCount("Comunication Error!"), 2);
    EXPECT_EQ(scale.requests().size(), 6u + 3);
    EXPECT_TRUE(bar->isHidden());
    fs::remove_all(dir);
}

} // namespace

TEST_F(LogoWindowTest, EveryControlIsWholeAndInsideTheWindow) {
    // The form keeps its 401 x 323 layout; the new choices open in a column
    // to its right, and the window keeps one fixed size either way.
    EXPECT_EQ(form.size(), QSize(401, 323));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(choice("FitMode")->isHidden());
    auto* options = form.findChild<QToolButton*>("PictureOptionsButton");
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(QRect(0, 0, 401, 323).contains(options->geometry()));
    options->click();
    EXPECT_FALSE(choice("FitMode")->isHidden());
    EXPECT_EQ(form.height(), 323);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    const QRect client = form.rect();
    const QRect originalForm(0, 0, 401, 323);
    const std::vector<QWidget*> controls = {form.findChild<QWidget*>("Button1"),
                                            form.findChild<QWidget*>("Button2"),
                                            form.findChild<QWidget*>("CheckBox1"),
                                            form.findChild<QWidget*>("ProgressBar1"),
                                            trackBar("TrackBar1"),
                                            trackBar("TrackBar2"),
                                            choice("FitMode"),
                                            choice("Placement"),
                                            choice("DitherMode"),
                                            form.findChild<QWidget*>("PrintedSize"),
                                            form.findChild<QWidget*>("SavePreview")};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        ASSERT_NE(controls[i], nullptr) << i;
        const QRect area = controls[i]->geometry();
        EXPECT_TRUE(client.contains(area)) << controls[i]->objectName().toStdString();
        EXPECT_EQ(i < 6, originalForm.contains(area)) << controls[i]->objectName().toStdString();
        EXPECT_LT(area.right(), client.right()) << controls[i]->objectName().toStdString() << " on the edge";
        // A caption that needs more room than it has is cut.
        if (const auto* button = qobject_cast<const QPushButton*>(controls[i])) {
            const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + margins, area.width())
                << button->text().toStdString();
        } else {
            // A choice shows its longest item whole.
            const bool isChoice = qobject_cast<const QComboBox*>(controls[i]) != nullptr;
            EXPECT_GE(area.width(),
                      isChoice ? controls[i]->sizeHint().width() : controls[i]->minimumSizeHint().width())
                << controls[i]->objectName().toStdString();
        }
        EXPECT_GE(area.height(), controls[i]->minimumSizeHint().height())
            << controls[i]->objectName().toStdString();
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            EXPECT_FALSE(area.intersects(controls[j]->geometry()))
                << controls[i]->objectName().toStdString() << " on "
                << controls[j]->objectName().toStdString();
        }
    }
    const auto* threshold = form.findChild<QCheckBox*>("CheckBox1");
    EXPECT_GE(threshold->width(), threshold->sizeHint().width()) << "\"50% Threshold\" whole";
    EXPECT_EQ(trackBar("TrackBar1")->toolTip(), "Brightness");
    EXPECT_EQ(trackBar("TrackBar2")->toolTip(), "Contrast");
}
