#include "viewer/start_page_form.h"

namespace pravel {

TForm1::TForm1(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("Form1")); }

}  // namespace pravel
