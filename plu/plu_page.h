#pragma once

#include "app/support/page_context.h"

#include <QWidget>

class PluPage : public QWidget {
    Q_OBJECT
public:
    PluPage(PageContext context, QWidget* parent = nullptr);
    // The "ALL" action: FROM = 1, TO = 1799.
    void allClicked() {}
private:
    PageContext context_;
};
