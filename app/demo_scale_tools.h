#pragma once
// The main window's DEMO SCALE: the last item of the port selector starts the
// demo scale inside the program at CONNECT, and the program then reaches it
// through the ordinary link, byte for byte as a real scale. While it is
// connected, the window's caption and the identification line say so, and
// PRACTICE FAULTS on the tool strip switches it to the misbehaviours of a
// real scale. Where the platform has no pseudo-terminals there is no demo
// scale: available() is false and the port selector has no such item.

#include "link/serial_channel.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class LinkLog;
class UserInterface;
class QLabel;
class QToolButton;
class QWidget;

class DemoScaleTools : public QObject {
    Q_OBJECT
  public:
    static bool available();

    // The practice menu goes on `menuButton`, hidden until a connection to the
    // demo scale; the caption of `mainWindow` and the `identification` line
    // carry the sign of the demo scale while connected.
    DemoScaleTools(UserInterface& ui, LinkLog& log, QWidget& mainWindow, QLabel& identification,
                   QToolButton& menuButton);
    ~DemoScaleTools() override; // stops the demo scale, keeping its memory

    // Where its memory lives between runs (none: for this run only).
    void setMemoryFile(const QString& path);

    // CONNECT on DEMO SCALE: starts it paced at `baud` and gives the port to
    // open, or nothing after telling the user why it could not start.
    std::optional<PortId> start(std::uint32_t baud);
    // The identify succeeded: the signs of the demo scale and its menu show.
    void connected();
    // DISCONNECT, a failed CONNECT or the end of the program: stops it and
    // writes its memory; the caption and the tool strip are as before.
    void stop();
    bool running() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
