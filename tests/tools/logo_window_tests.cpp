// The logo window: loading bitmaps, tuning, and sending to the scale.

#include "link/commands.h"
#include "scripted_link.h"
#include "simulated_link.h"
#include "tools/logo_window.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <filesystem>
#include <fstream>

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

std::string saveBitmap(const QImage& image, const fs::path& path) {
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "BMP"));
    return path.string();
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
    EXPECT_EQ(form.size(), QSize(401, 323));
    const QRect client = form.rect();
    const std::vector<QWidget*> controls = {form.findChild<QWidget*>("Button1"),
                                            form.findChild<QWidget*>("Button2"),
                                            form.findChild<QWidget*>("CheckBox1"),
                                            form.findChild<QWidget*>("ProgressBar1"),
                                            trackBar("TrackBar1"),
                                            trackBar("TrackBar2")};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        ASSERT_NE(controls[i], nullptr) << i;
        const QRect area = controls[i]->geometry();
        EXPECT_TRUE(client.contains(area)) << controls[i]->objectName().toStdString();
        EXPECT_LT(area.right(), client.right()) << controls[i]->objectName().toStdString() << " on the edge";
        // A caption that needs more room than it has is cut.
        if (const auto* button = qobject_cast<const QPushButton*>(controls[i])) {
            const int margins = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + margins, area.width())
                << button->text().toStdString();
        } else {
            EXPECT_GE(area.width(), controls[i]->minimumSizeHint().width())
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
