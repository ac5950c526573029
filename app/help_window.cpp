#include "help_window.h"

#include "gui/control_helpers.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

QStringList TForm5::helpLines() {
    return {
        QStringLiteral("           ZEB TALLIVOS UTILITY PROGRAM"),
        QStringLiteral("---------------------------------------------------"),
        QString(),
        QStringLiteral("You can use this program to set scale settings like"),
        QStringLiteral("RS baud rate, header/footer texts, autooff time,"),
        QStringLiteral("set real time clock and many others..."),
        QStringLiteral("You can use this program to create PLUs data base,"),
        QStringLiteral("save it to disk and load/store it to the scale."),
        QStringLiteral("You can also make calibration settings (only if you"),
        QStringLiteral("are in calibration mode)."),
        QStringLiteral("You can use the TERMINAL to direct communicate with"),
        QStringLiteral("the scale."),
        QString(),
        QStringLiteral("The first think that you must make is to connect"),
        QStringLiteral("the scale to some comport of the PC. The next you"),
        QStringLiteral("must choice the correct comport and baud rate from"),
        QStringLiteral("appropriated buttons, and press the button CONNECT."),
        QStringLiteral("If everything is correct the caption of the button"),
        QStringLiteral("CONNECT will be stay DISCONNECT and the green"),
        QStringLiteral("circle right from it will be stay light-green."),
        QStringLiteral("In this case you can use all other properties"),
        QStringLiteral("of program."),
        QString(),
        QStringLiteral("                   GOOD LUCK"),
        QString(),
    };
}

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("HELP"));
    setFixedSize(445, 285);

    auto* memo = new QPlainTextEdit(this);
    // Not "Memo1": the main window's header box has that name and this
    // window is the main window's child.
    memo->setObjectName(QStringLiteral("HelpMemo"));
    memo->setReadOnly(true);
    memo->setFont(fixedPitchFont());
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(helpLines().join(QLatin1Char('\n')));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo);
}
