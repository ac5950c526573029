#pragma once

#include "app/support/page_context.h"

#include <QWidget>

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    SettingsPage(PageContext context, QWidget* parent = nullptr);
    // The clock's "From PC" action, run once at start-up.
    void captureClockFromPc() {}
signals:
    // "GRAPHICAL LOGO" was clicked; the main window checks the link and shows the logo window.
    void logoWindowRequested();
private:
    PageContext context_;
};
