#include "app/splash.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace missivo {

TForm2::TForm2(QWidget* owner, std::chrono::milliseconds show_time)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::SplashScreen) {
  setObjectName(QStringLiteral("Form2"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("bsSkinPanel1"));
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setLineWidth(4);
  auto* panel_layout = new QVBoxLayout(panel);
  panel_layout->setContentsMargins(0, 0, 0, 0);
  auto* image = new QLabel(panel);
  image->setObjectName(QStringLiteral("Image1"));
  image->setFixedSize(kPictureWidth, kPictureHeight);
  image->setPixmap(Picture(devicePixelRatioF()));
  panel_layout->addWidget(image);
  layout->addWidget(panel);
  setFixedSize(sizeHint());

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(static_cast<int>(show_time.count()));
  connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);
  FormCreate();
}

void TForm2::FormCreate() {
  Timer1->start();
}

void TForm2::Timer1Timer() {
  Timer1->stop();
  hide();
}

void TForm2::ShowSplash() {
  if (const QScreen* screen = this->screen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  raise();
}

QPixmap TForm2::Picture(qreal device_pixel_ratio) {
  const QSizeF size(kPictureWidth, kPictureHeight);
  QPixmap pixmap((size * device_pixel_ratio).toSize());
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(0x1d, 0x4e, 0x89));
  sky.setColorAt(1, QColor(0x0f, 0x2a, 0x4a));
  p.fillRect(QRectF(QPointF(0, 0), size), sky);

  // Soft rings behind the phone, like a signal spreading out.
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 4; ++i) {
    p.setPen(QPen(QColor(255, 255, 255, 38 - i * 7), 2));
    p.drawEllipse(QPointF(272, 112), 42.0 + i * 26, 42.0 + i * 26);
  }

  // The phone.
  p.setPen(QPen(QColor(0x0b, 0x16, 0x24), 2));
  p.setBrush(QColor(0x2b, 0x33, 0x40));
  p.drawRoundedRect(QRectF(244, 52, 58, 112), 9, 9);
  QLinearGradient glass(0, 62, 0, 138);
  glass.setColorAt(0, QColor(0xd9, 0xea, 0xfb));
  glass.setColorAt(1, QColor(0x9d, 0xc3, 0xee));
  p.setBrush(glass);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(251, 64, 44, 70), 3, 3);
  p.setBrush(QColor(0x55, 0x5f, 0x6e));
  p.drawEllipse(QPointF(273, 150), 6, 6);

  // A message leaving the phone.
  const QRectF envelope(196, 96, 52, 34);
  p.setPen(QPen(QColor(0x7a, 0x4f, 0x0c), 1.6));
  p.setBrush(QColor(0xff, 0xe3, 0xa6));
  p.drawRoundedRect(envelope, 3, 3);
  QPainterPath flap;
  flap.moveTo(envelope.topLeft() + QPointF(2, 2));
  flap.lineTo(envelope.center().x(), envelope.top() + 20);
  flap.lineTo(envelope.topRight() + QPointF(-2, 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);

  // The name and what the program is for.
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(40);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(22, 40, 200, 52), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Missivo"));
  QFont version(title);
  version.setPixelSize(18);
  version.setBold(false);
  p.setFont(version);
  p.setPen(QColor(0xff, 0xd2, 0x7a));
  p.drawText(QRectF(24, 92, 160, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("version 3.3"));
  QFont line(title);
  line.setPixelSize(12);
  line.setBold(false);
  p.setFont(line);
  p.setPen(QColor(0xd6, 0xe4, 0xf5));
  p.drawText(
      QRectF(24, 176, 310, 40), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
      QStringLiteral("Сообщения и справочник телефона\nMessages and phonebook of your phone"));
  return pixmap;
}

}  // namespace missivo
