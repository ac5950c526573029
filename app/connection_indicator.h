#pragma once
// The round connection indicator of the top row: dark green while
// disconnected, light green while connected.

#include <QColor>
#include <QWidget>

class ConnectionIndicator : public QWidget {
    Q_OBJECT
  public:
    static inline const QColor kDisconnected{0, 128, 0};
    static inline const QColor kConnected{0, 255, 0};

    explicit ConnectionIndicator(QWidget* parent = nullptr);

    void setConnected(bool connected);
    QColor brushColor() const { return color_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_ = kDisconnected;
};
