#pragma once
// Counts the paint events a widget receives, for tests that check a window
// repaints only what changed.

#include <QEvent>
#include <QObject>
#include <QWidget>

class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};
