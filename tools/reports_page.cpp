#include "reports_page.h"

#include "gui/control_helpers.h"
#include "gui/qt_text.h"
#include "link/scale_link.h"
#include "link/user_interface.h"
#include "region/qt_regional_forms.h"
#include "tools/report_file.h"
#include "tools/report_reader.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTabStopCharacters = 8;

// The memo's lines as they would be saved; an empty memo has none.
std::vector<std::string> memoLines(const QPlainTextEdit& memo) {
    std::vector<std::string> lines;
    const QString text = memo.toPlainText();
    if (text.isEmpty()) {
        return lines;
    }
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        lines.push_back(qstringToBytesLossy(line));
    }
    return lines;
}

} // namespace

ReportsPage::ReportsPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("ReportsPage"));

    Memo3 = new QPlainTextEdit(this);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->setReadOnly(true);
    Memo3->setFont(fixedPitchFont());
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo3->setTabStopDistance(QFontMetricsF(Memo3->font()).horizontalAdvance(QLatin1Char(' ')) *
                              kTabStopCharacters);

    Button18 = new QPushButton(QStringLiteral("REPORT"), this);
    Button18->setObjectName(QStringLiteral("Button18"));
    Button19 = new QPushButton(QStringLiteral("CLEAR"), this);
    Button19->setObjectName(QStringLiteral("Button19"));
    Button20 = new QPushButton(QStringLiteral("SAVE TO FILE"), this);
    Button20->setObjectName(QStringLiteral("Button20"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button18);
    buttons->addWidget(Button19);
    buttons->addWidget(Button20);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo3);
    layout->addLayout(buttons);

    // Button18 "REPORT": read the report memory and lay it out.
    connect(Button18, &QPushButton::clicked, this, &ReportsPage::Button18Click);
    // Button19 "CLEAR": empty the memo; nothing goes to the scale.
    connect(Button19, &QPushButton::clicked, this, &ReportsPage::Button19Click);
    // Button20 "SAVE TO FILE": the memo's text into a text file.
    connect(Button20, &QPushButton::clicked, this, &ReportsPage::Button20Click);
}

void ReportsPage::Button18Click() {
    if (!context_.link.checkConnected()) {
        return;
    }
    Memo3->clear();
    // Lines are shown as their blocks arrive, so a failed clerk leaves the
    // sections before it in view.
    std::vector<std::string> lines;
    readReport(context_.link, context_.ui, reportStamp(QtRegionalForms(), localNow()), context_.decimalSeparator,
               [this, &lines](const std::string& line) {
                   lines.push_back(line);
                   QString text;
                   for (std::size_t i = 0; i < lines.size(); ++i) {
                       text += (i == 0 ? QString() : QStringLiteral("\n")) + bytesToQString(lines[i]);
                   }
                   Memo3->setPlainText(text);
               });
}

void ReportsPage::Button19Click() {
    Memo3->clear();
}

void ReportsPage::Button20Click() {
    const auto fileName = context_.ui.askSaveFileName({"Text files", "*.TXT", "TXT", ""});
    if (!fileName) {
        return;
    }
    if (!writeReportFile(*fileName, memoLines(*Memo3))) {
        context_.ui.showError("I/O Error!", "ERROR!");
    }
}
