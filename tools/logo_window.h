#pragma once

#include "app/support/page_context.h"

#include <QDialog>

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    TForm4(PageContext context, QWidget* parent = nullptr);

  private:
    PageContext context_;
};
