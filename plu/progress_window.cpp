#include "progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Room for the longest label, "1799 PLUs", with plenty to spare.
constexpr int kLabelWidth = 200;
constexpr int kLabelHeight = 23;

} // namespace

TForm2::TForm2(PageContext context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), context_(context) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("WORK..."));
    setFixedSize(410, 80);
    setWindowModality(Qt::ApplicationModal);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The label changes after every PLU: plain text is not examined for
    // markup, and a label of fixed size does not send the window's layout
    // round again each time.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFixedSize(kLabelWidth, kLabelHeight);
    Button1 = new QPushButton(QStringLiteral("STOP"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addStretch(1);
    row->addWidget(Button1);
    layout->addLayout(row);

    // STOP: ends the running transfer after the PLU it is exchanging.
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::Button1Click() {
    Working = false;
}

void TForm2::beginTransfer(int span) {
    Label1->setUpdatesEnabled(true);
    show();
    ProgressBar1->setRange(0, std::max(span, 0));
    ProgressBar1->setValue(0);
    Working = true;
    // The first command blocks the program: let the window appear and paint
    // before it, but take no input yet.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    lastPaint_ = Clock::now();
}

void TForm2::setProgress(int position, int plu) {
    setStep(position, QString::number(plu) + QStringLiteral(" PLUs"));
}

void TForm2::setStep(int position, const QString& label) {
    // With its updates disabled the label takes the new text without painting
    // it; enabling them again paints the latest text at the next pending
    // events. The bar paints itself only when its filled width changes.
    const auto now = Clock::now();
    const bool paint = now - lastPaint_ >= kRepaintInterval;
    Label1->setUpdatesEnabled(paint);
    if (paint) {
        lastPaint_ = now;
    }
    ProgressBar1->setValue(position);
    Label1->setText(label);
}

void TForm2::endTransfer() {
    Label1->setUpdatesEnabled(true);
    ProgressBar1->setValue(0);
    hide();
    Working = false;
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
}
