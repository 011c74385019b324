// The program's main window.
#pragma once

#include <QMainWindow>

namespace missivo {

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
};

}  // namespace missivo
