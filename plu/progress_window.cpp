#include "progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

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
    Button1 = new QPushButton(QStringLiteral("STOP"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ProgressBar1);
    auto* row = new QHBoxLayout;
    row->addWidget(Label1, 1);
    row->addWidget(Button1);
    layout->addLayout(row);

    // STOP: ends the running transfer after the PLU it is exchanging.
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::Button1Click() {
    Working = false;
}

void TForm2::beginTransfer(int span) {
    show();
    ProgressBar1->setRange(0, std::max(span, 0));
    ProgressBar1->setValue(0);
    Working = true;
    // The first command blocks the program: let the window appear and paint
    // before it, but take no input yet.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}

void TForm2::setProgress(int position, int plu) {
    ProgressBar1->setValue(position);
    Label1->setText(QString::number(plu) + QStringLiteral(" PLUs"));
}

void TForm2::endTransfer() {
    ProgressBar1->setValue(0);
    hide();
    Working = false;
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
}
