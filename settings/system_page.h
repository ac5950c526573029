#pragma once

#include "app/support/page_context.h"

#include <QWidget>

class SystemPage : public QWidget {
    Q_OBJECT
public:
    SystemPage(PageContext context, QWidget* parent = nullptr);

private:
    PageContext context_;
};
