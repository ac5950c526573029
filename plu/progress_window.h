#pragma once

#include "app/support/page_context.h"

#include <QDialog>

class TForm2 : public QDialog {
    Q_OBJECT
public:
    TForm2(PageContext context, QWidget* parent = nullptr);

private:
    PageContext context_;
};
