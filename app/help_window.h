#pragma once
// The help window: a short read-only text on how to start working with the scale.

#include <QDialog>
#include <QStringList>

class TForm5 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);

    // The help text, one entry a line.
    static QStringList helpLines();
};
