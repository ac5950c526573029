#include "progress_window.h"

TForm2::TForm2(PageContext context, QWidget* parent) : QDialog(parent), context_(context) {}
