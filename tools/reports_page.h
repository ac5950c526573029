#pragma once
// The "REPORTS" page: the scale's sales report as text, cleared or saved.

#include "gui/page_context.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class ReportsPage : public QWidget {
    Q_OBJECT
  public:
    ReportsPage(PageContext context, QWidget* parent = nullptr);

    void Button18Click(); // "REPORT"
    void Button19Click(); // "CLEAR"
    void Button20Click(); // "SAVE TO FILE"

  private:
    PageContext context_;
    QPlainTextEdit* Memo3 = nullptr;
    QPushButton* Button18 = nullptr;
    QPushButton* Button19 = nullptr;
    QPushButton* Button20 = nullptr;
};

