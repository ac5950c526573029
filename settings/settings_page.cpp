#include "settings_page.h"

SettingsPage::SettingsPage(PageContext context, QWidget* parent) : QWidget(parent), context_(context) {}
