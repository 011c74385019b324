// TForm2: the splash window. Frameless, centred on the screen, a 4-pixel bevel
// around one 355 x 236 picture. Its timer starts when it is created and hides
// it when it fires (5 s unless the caller asks otherwise).
#pragma once

#include <QPixmap>
#include <QWidget>
#include <chrono>

class QTimer;

namespace missivo {

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kShowTime{5000};

  // `owner` keeps the splash from counting as a window of its own for the
  // application's end.
  explicit TForm2(QWidget* owner, std::chrono::milliseconds show_time = kShowTime);

  // Shows the splash centred on the screen.
  void ShowSplash();

  QTimer* Timer1 = nullptr;

  // The picture, drawn for the given device pixel ratio.
  static QPixmap Picture(qreal device_pixel_ratio);
  static constexpr int kPictureWidth = 355;
  static constexpr int kPictureHeight = 236;

 private:
  void FormCreate();
  void Timer1Timer();
};

}  // namespace missivo
