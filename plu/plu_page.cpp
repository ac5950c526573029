#include "plu_page.h"

PluPage::PluPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {}
