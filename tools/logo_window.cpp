#include "logo_window.h"

TForm4::TForm4(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {}
