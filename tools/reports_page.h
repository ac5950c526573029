#pragma once

#include "app/support/page_context.h"

#include <QWidget>

class ReportsPage : public QWidget {
    Q_OBJECT
  public:
    ReportsPage(PageContext context, QWidget* parent = nullptr);

  private:
    PageContext context_;
};
