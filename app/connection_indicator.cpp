#include "connection_indicator.h"

#include <QPainter>

ConnectionIndicator::ConnectionIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void ConnectionIndicator::setConnected(bool connected) {
    color_ = connected ? kConnected : kDisconnected;
    update();
}

QSize ConnectionIndicator::sizeHint() const {
    return {22, 22};
}

void ConnectionIndicator::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color_);
    painter.drawEllipse(rect().adjusted(1, 1, -2, -2));
}
