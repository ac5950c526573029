// The "REPORTS" page against the simulated scale: read, clear and save.

#include "simulated_link.h"
#include "region/qt_regional_forms.h"
#include "tools/reports_page.h"

#include <QDate>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void putBigEndian(std::vector<std::uint8_t>& memory, std::size_t at, std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        memory[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
    }
}

class ReportsPageTest : public SimulatedLink {
  protected:
    void SetUp() override {
        SimulatedLink::SetUp();
        scale.withMemory([](sim::ScaleMemory& m) {
            auto& r = m.reportMemory;
            putBigEndian(r, 0x0800 + 0, 17, 4);            // document number
            putBigEndian(r, 0x0800 + 4, 123456, 4);        // grand total
            putBigEndian(r, 0x0800 + 8 + 4, 500, 4);       // tax 2
            putBigEndian(r, 0x0800 + 44 + 4 * 9, 4500, 4); // hour 9 total
            putBigEndian(r, 0x0800 + 140 + 2 * 9, 3, 2);   // hour 9 count
            putBigEndian(r, 0x0900 + 0, 4500, 4);          // clerk 1 total
            putBigEndian(r, 0x0900 + 12, 5, 2);            // clerk 1 clients
            putBigEndian(r, 0x09F0 + 14, 0xFFFFFF9C, 4);   // clerk 4 cash -1.00
            return 0;
        });
        dir_ = fs::temp_directory_path() /
               ("tools_reports_page_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void click(const char* name) { page.findChild<QPushButton*>(name)->click(); }
    QString memo() { return page.findChild<QPlainTextEdit*>("Memo3")->toPlainText(); }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::string text(static_cast<std::size_t>(fs::file_size(path)), '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        return text;
    }

    ReportsPage page{context};
    fs::path dir_;
};

TEST_F(ReportsPageTest, ReportLaysOutTheScalesMemory) {
    click("Button18");
    const QStringList lines = memo().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 10 + 4 * 11); // the last line is the empty one after clerk 4
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("----------------------- REPORT ") + today))
        << lines[0].toStdString();
    const QStringList expectedStart{
        "",
        "DOC NUM\t\t\t17",
        "TOTAL\t\t\t1234.56",
        "----------------------- TOTALS BY TAX",
        "TAX 2\t\t\t5.00",
        "",
        "----------------------- TOTALS BY TIME",
        " 9h\t\t\t3\t45.00",
        "",
        "----------------------- CLERK 1",
        "CLIENTS\t\t\t5",
        "OPERATIONS\t\t0",
        "TOTAL\t\t\t45.00",
    };
    EXPECT_EQ(lines.mid(1, expectedStart.size()), expectedStart);
    EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("CASH \t\t\t-1.00"));
    EXPECT_EQ(lines.back(), QString());
    EXPECT_TRUE(ui.errors.empty());

    // A second report replaces the first.
    click("Button18");
    EXPECT_EQ(memo().split(QLatin1Char('\n')).size(), lines.size());
    EXPECT_EQ(scale.requests().size(), 10u);
}

TEST_F(ReportsPageTest, ClearEmptiesTheMemoAndSendsNothing) {
    click("Button18");
    const auto sent = scale.requests().size();
    click("Button19");
    EXPECT_TRUE(memo().isEmpty());
    EXPECT_EQ(scale.requests().size(), sent);
}

TEST_F(ReportsPageTest, NotConnectedKeepsTheOldReport) {
    click("Button18");
    const QString before = memo();
    link.closeLink();
    click("Button18");
    EXPECT_EQ(memo(), before);
    EXPECT_EQ(ui.errors.back().text, "You are not connected to the scale!");
}

TEST_F(ReportsPageTest, SaveWritesTheMemoWithCrLfAfterEveryLine) {
    click("Button18");
    const fs::path path = dir_ / "report.txt";
    ui.saveAnswers.push_back(path.string());
    click("Button20");
    ASSERT_EQ(ui.saveRequests.size(), 1u);
    EXPECT_EQ(ui.saveRequests[0].filterDescription, "Text files");
    EXPECT_EQ(ui.saveRequests[0].pattern, "*.TXT");
    EXPECT_EQ(ui.saveRequests[0].defaultSuffix, "TXT");
    EXPECT_EQ(ui.saveRequests[0].startFolder, "");
    std::string expected = memo().toStdString();
    std::string withCrLf;
    for (const char c : expected) {
        withCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    withCrLf += "\r\n";
    EXPECT_EQ(contents(path), withCrLf);
    EXPECT_EQ(contents(path).substr(contents(path).size() - 4), "\r\n\r\n");

    // An empty memo saves an empty file over the old one.
    click("Button19");
    ui.saveAnswers.push_back(path.string());
    click("Button20");
    EXPECT_EQ(contents(path), "");
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(ReportsPageTest, FailedSaveSaysIoErrorAndKeepsTheMemo) {
    click("Button18");
    const QString before = memo();
    ui.saveAnswers.push_back((dir_ / "no such folder" / "report.txt").string());
    click("Button20");
    EXPECT_EQ(ui.errors, (std::vector<RecordingUi::Message>{{"I/O Error!", "ERROR!"}}));
    EXPECT_EQ(memo(), before);

    ui.saveAnswers.push_back(std::nullopt); // cancelled: nothing happens
    click("Button20");
    EXPECT_EQ(ui.errors.size(), 1u);
}

TEST(LongTimeFormat, DropsTheTimeZoneName) {
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English),
                                  QLocale(QLocale::Russian, QLocale::Russia), QLocale::system()}) {
        const QString format = timeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
        EXPECT_FALSE(format.contains(QLatin1Char('t'))) << format.toStdString();
        EXPECT_TRUE(format.contains(QLatin1String("ss"))) << format.toStdString();
        EXPECT_EQ(format, format.trimmed());
    }
}

} // namespace
