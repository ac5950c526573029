#include "system_page.h"

SystemPage::SystemPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {}
