#include "app/main_window.h"

namespace missivo {

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(QStringLiteral("Missivo 3.3"));
  resize(758, 600);
}

}  // namespace missivo
