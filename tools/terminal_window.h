#pragma once

#include "app/support/page_context.h"

#include <QDialog>

class TForm3 : public QDialog {
    Q_OBJECT
  public:
    TForm3(PageContext context, QWidget* parent = nullptr);

  private:
    PageContext context_;
};
