#include "progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

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
    holdPaint(false);
    show();
    ProgressBar1->setRange(0, std::max(span, 0));
    ProgressBar1->setValue(0);
    paintedPosition_ = 0;
    // Left to itself the bar repaints when its filled part has grown by one
    // chunk of the style: every barStep_ positions.
    const long long chunk = std::max(
        1, ProgressBar1->style()->pixelMetric(QStyle::PM_ProgressBarChunkWidth, nullptr, ProgressBar1));
    barStep_ =
        static_cast<int>(std::max(1LL, ProgressBar1->maximum() * chunk / std::max(1, ProgressBar1->width())));
    Working = true;
    // The first command blocks the program: let the window appear and paint
    // before it, but take no input yet.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    lastPaint_ = Clock::now();
}

bool TForm2::setProgress(int position, int plu) {
    return setStep(position, QString::number(plu) + QStringLiteral(" PLUs"));
}

bool TForm2::setStep(int position, const QString& label) {
    // Both take the new values with their updates disabled, so neither paints
    // now: the bar would otherwise repaint itself at once, flushing the window
    // to the screen in the middle of the step, each time it has grown by a
    // chunk. At a paint moment they are enabled again once they hold the
    // values, and are painted together with the next pending events.
    holdPaint(true);
    ProgressBar1->setValue(position);
    Label1->setText(label);
    const auto now = Clock::now();
    if (now - lastPaint_ < kRepaintInterval) {
        return false;
    }
    lastPaint_ = now;
    Label1->setUpdatesEnabled(true);
    // Painting the bar costs many times the label: it is painted no more
    // often than it would paint itself.
    if (std::abs(position - paintedPosition_) >= barStep_) {
        paintedPosition_ = position;
        ProgressBar1->setUpdatesEnabled(true);
    }
    return true;
}

void TForm2::endTransfer() {
    holdPaint(false);
    ProgressBar1->setValue(0);
    hide();
    Working = false;
}

void TForm2::holdPaint(bool hold) {
    ProgressBar1->setUpdatesEnabled(!hold);
    Label1->setUpdatesEnabled(!hold);
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
}
