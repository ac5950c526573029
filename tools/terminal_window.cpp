#include "terminal_window.h"

TForm3::TForm3(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {}
