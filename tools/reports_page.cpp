#include "reports_page.h"

ReportsPage::ReportsPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {}
