#include "app/image_list.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

namespace missivo {
namespace {

// Every picture is drawn on a 16 x 16 grid; the engine scales it to the size asked for.
using Drawing = std::function<void(QPainter&)>;

const QColor kInk(0x33, 0x3a, 0x44);
const QColor kBlue(0x2f, 0x6f, 0xc7);
const QColor kPaleBlue(0xe4, 0xee, 0xfb);
const QColor kGreen(0x2e, 0x9b, 0x4a);
const QColor kRed(0xcc, 0x3b, 0x33);
const QColor kAmber(0xe0, 0x9a, 0x1a);
const QColor kPaper(0xfd, 0xfd, 0xf8);
const QColor kGrey(0x8a, 0x92, 0x9c);
const QColor kMetal(0x90, 0x99, 0xa4);

QPen Pen(const QColor& color, qreal width = 1.2) {
  return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Envelope(QPainter& p, const QRectF& r, const QColor& body, const QColor& line) {
  p.setPen(Pen(line));
  p.setBrush(body);
  p.drawRoundedRect(r, 1.2, 1.2);
  QPainterPath flap;
  flap.moveTo(r.left() + 0.6, r.top() + 0.6);
  flap.lineTo(r.center().x(), r.top() + r.height() * 0.58);
  flap.lineTo(r.right() - 0.6, r.top() + 0.6);
  p.setBrush(Qt::NoBrush);
  p.drawPath(flap);
}

// A thick arrow from `from` to `to` with a filled head.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
  p.setPen(QPen(QColor(255, 255, 255, 230), 3.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setPen(Pen(color, 1.8));
  const QLineF shaft(from, to);
  const QLineF unit = shaft.unitVector();
  const QPointF d(unit.dx(), unit.dy());
  const QPointF n(-d.y(), d.x());
  p.drawLine(from, to - d * 1.5);
  QPolygonF head;
  head << to << to - d * 3.4 + n * 2.4 << to - d * 3.4 - n * 2.4;
  p.setPen(Pen(color, 0.8));
  p.setBrush(color);
  p.drawPolygon(head);
}

void Document(QPainter& p, const QColor& accent) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(10, 1.5);
  page.lineTo(13, 4.5);
  page.lineTo(13, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(Pen(kInk));
  p.setBrush(kPaper);
  p.drawPath(page);
  p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
  p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
  p.setPen(Pen(accent, 1.1));
  for (qreal y : {7.0, 9.5, 12.0})
    p.drawLine(QPointF(5.5, y), QPointF(11, y));
}

void Person(QPainter& p, const QColor& color) {
  p.setPen(Pen(color.darker(140)));
  p.setBrush(color);
  p.drawEllipse(QPointF(8, 5), 3, 3);
  QPainterPath body;
  body.moveTo(2.5, 14.5);
  body.cubicTo(2.5, 9.5, 13.5, 9.5, 13.5, 14.5);
  body.closeSubpath();
  p.drawPath(body);
}

void Padlock(QPainter& p) {
  p.setPen(Pen(kMetal, 1.7));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4.5, 1.5, 7, 8), 0, 180 * 16);
  p.drawLine(QPointF(4.5, 5.5), QPointF(4.5, 7.5));
  p.drawLine(QPointF(11.5, 5.5), QPointF(11.5, 7.5));
  p.setPen(Pen(QColor(0x9a, 0x6b, 0x0e)));
  p.setBrush(kAmber);
  p.drawRoundedRect(QRectF(2.5, 7, 11, 7.5), 1.2, 1.2);
  p.setPen(Pen(kInk, 1.4));
  p.drawLine(QPointF(8, 9.6), QPointF(8, 11.8));
}

void Plug(QPainter& p, const QColor& cable) {
  p.setPen(Pen(kInk));
  p.setBrush(kGrey.lighter(130));
  p.drawRoundedRect(QRectF(4, 5, 8, 6), 1.5, 1.5);
  // Free-standing strokes are mid grey so that they read on light and dark skins.
  p.setPen(Pen(kMetal, 1.7));
  p.drawLine(QPointF(6, 1.5), QPointF(6, 5));
  p.drawLine(QPointF(10, 1.5), QPointF(10, 5));
  p.setPen(Pen(cable, 2.0));
  p.drawLine(QPointF(8, 11), QPointF(8, 14.5));
}

void StatusDot(QPainter& p, const QColor& color) {
  QRadialGradient shine(QPointF(6.5, 6), 7.5);
  shine.setColorAt(0, color.lighter(160));
  shine.setColorAt(1, color);
  p.setPen(Pen(color.darker(150)));
  p.setBrush(shine);
  p.drawEllipse(QPointF(8, 8), 6, 6);
}

void Triangle(QPainter& p, bool up) {
  QPolygonF t;
  if (up) {
    t << QPointF(8, 4.5) << QPointF(12.5, 11) << QPointF(3.5, 11);
  } else {
    t << QPointF(3.5, 5) << QPointF(12.5, 5) << QPointF(8, 11.5);
  }
  p.setPen(Pen(kInk, 0.8));
  p.setBrush(kGrey.darker(115));
  p.drawPolygon(t);
}

void Gear(QPainter& p) {
  p.setPen(Pen(kInk));
  p.setBrush(kGrey.lighter(125));
  QPainterPath gear;
  for (int i = 0; i < 8; ++i) {
    QTransform t;
    t.translate(8, 8);
    t.rotate(i * 45.0);
    gear.addPolygon(t.map(QPolygonF(QRectF(-1.4, -7, 2.8, 3))));
  }
  gear.addEllipse(QPointF(8, 8), 5, 5);
  p.drawPath(gear.simplified());
  p.setBrush(kPaper);
  p.drawEllipse(QPointF(8, 8), 1.9, 1.9);
}

void Book(QPainter& p) {
  p.setPen(Pen(kInk));
  p.setBrush(QColor(0x3f, 0x8f, 0x7a));
  p.drawRoundedRect(QRectF(2.5, 1.5, 10.5, 13), 1, 1);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 12, 8.5, 2.5));
  p.setPen(Pen(kPaper, 1.0));
  p.drawLine(QPointF(5, 4.5), QPointF(10.5, 4.5));
  p.drawLine(QPointF(5, 7), QPointF(9, 7));
}

void Box(QPainter& p) {
  p.setPen(Pen(QColor(0x7a, 0x55, 0x20)));
  p.setBrush(QColor(0xd9, 0xa4, 0x5b));
  p.drawRect(QRectF(2.5, 6, 11, 8.5));
  p.setBrush(QColor(0xe8, 0xbd, 0x7e));
  p.drawRect(QRectF(1.5, 3, 13, 3));
  p.setPen(Pen(QColor(0x7a, 0x55, 0x20), 1.4));
  p.drawLine(QPointF(6, 8.5), QPointF(10, 8.5));
}

void Screen(QPainter& p) {
  p.setPen(Pen(kInk));
  p.setBrush(QColor(0x1e, 0x24, 0x2c));
  p.drawRoundedRect(QRectF(1.5, 2.5, 13, 10), 1.2, 1.2);
  p.setPen(Pen(QColor(0x6e, 0xe0, 0x8a), 1.3));
  p.drawPolyline(QPolygonF() << QPointF(4, 5.5) << QPointF(6.3, 7.5) << QPointF(4, 9.5));
  p.drawLine(QPointF(7.5, 9.8), QPointF(11, 9.8));
  p.setPen(Pen(kMetal, 1.6));
  p.drawLine(QPointF(5, 14.5), QPointF(11, 14.5));
}

void Info(QPainter& p) {
  p.setPen(Pen(kBlue.darker(130)));
  p.setBrush(kBlue);
  p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
  p.setPen(Pen(Qt::white, 1.8));
  p.drawLine(QPointF(8, 7.3), QPointF(8, 11.5));
  p.setBrush(Qt::white);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(8, 4.7), 1.1, 1.1);
}

void Phone(QPainter& p) {
  p.setPen(Pen(kInk));
  p.setBrush(QColor(0x5d, 0x67, 0x75));
  p.drawRoundedRect(QRectF(4, 1, 8, 14), 1.6, 1.6);
  p.setBrush(kPaleBlue);
  p.drawRect(QRectF(5.5, 3, 5, 6));
}

void Palette(QPainter& p) {
  QPainterPath board;
  board.addEllipse(QRectF(1.5, 2.5, 13, 11));
  board.addEllipse(QPointF(10.5, 10), 1.6, 1.6);
  p.setPen(Pen(QColor(0x8a, 0x63, 0x2a)));
  p.setBrush(QColor(0xf1, 0xd9, 0xa8));
  p.drawPath(board);
  p.setPen(Qt::NoPen);
  const QColor dots[] = {kRed, kGreen, kBlue, kAmber};
  const QPointF at[] = {{5, 6}, {8.3, 4.8}, {11.4, 6.4}, {4.6, 9.6}};
  for (int i = 0; i < 4; ++i) {
    p.setBrush(dots[i]);
    p.drawEllipse(at[i], 1.5, 1.5);
  }
}

void Cross(QPainter& p, const QColor& color, QPointF c, qreal r) {
  p.setPen(Pen(color, 2.0));
  p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
  p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

void Disk(QPainter& p) {
  p.setPen(Pen(kBlue.darker(140)));
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(2, 2, 12, 12), 1.5, 1.5);
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 2, 7, 4.5));
  p.setBrush(kPaleBlue);
  p.drawRect(QRectF(4.5, 9, 7, 5));
}

const std::map<int, Drawing>& Drawings() {
  static const std::map<int, Drawing> drawings = {
      {kImageRowImported, [](QPainter& p) { Document(p, kGrey); }},
      {kImageRowDraft,
       [](QPainter& p) {
         Envelope(p, QRectF(1.5, 3.5, 13, 9), kPaper, kGrey.darker(120));
         p.setPen(Pen(kAmber.darker(130), 2.2));
         p.drawLine(QPointF(8, 13), QPointF(14, 7));
         p.setPen(Pen(kMetal, 1.2));
         p.drawLine(QPointF(7.2, 14.2), QPointF(8, 13));
       }},
      {kImageRowIncoming,
       [](QPainter& p) {
         Envelope(p, QRectF(1.5, 4.5, 13, 9), kPaleBlue, kBlue.darker(120));
         Arrow(p, QPointF(14, 0.8), QPointF(9.2, 6.4), kGreen);
       }},
      {kImageRowOutgoing,
       [](QPainter& p) {
         Envelope(p, QRectF(1.5, 4.5, 13, 9), QColor(0xfb, 0xef, 0xdc), kAmber.darker(140));
         Arrow(p, QPointF(8.6, 7.2), QPointF(14.6, 1.2), kAmber.darker(115));
       }},
      {kImageRowContact, [](QPainter& p) { Person(p, QColor(0x5b, 0x8d, 0xd6)); }},
      {kImageConnect,
       [](QPainter& p) {
         Plug(p, kGreen);
         p.setPen(Pen(kGreen, 1.6));
         p.drawLine(QPointF(12.5, 13), QPointF(15, 13));
       }},
      {kImageDisconnect,
       [](QPainter& p) {
         Plug(p, kGrey);
         Cross(p, kRed, QPointF(12.5, 12.5), 2.2);
       }},
      {kImageRead,
       [](QPainter& p) {
         Phone(p);
         Arrow(p, QPointF(8, 5), QPointF(13.5, 13.5), kGreen);
       }},
      {kImageExit,
       [](QPainter& p) {
         p.setPen(Pen(kInk));
         p.setBrush(QColor(0xb8, 0x7a, 0x45));
         p.drawRect(QRectF(2.5, 1.5, 7.5, 13));
         Arrow(p, QPointF(7, 8), QPointF(15, 8), kRed);
       }},
      {kImageProtect, Padlock},
      {kImageTabMessages,
       [](QPainter& p) { Envelope(p, QRectF(1.5, 3.5, 13, 9), kPaleBlue, kBlue.darker(120)); }},
      {kImageTabArchive, Box},
      {kImageTabPhonebook, Book},
      {kImageTabTerminal, Screen},
      {kImageTabSettings, Gear},
      {kImageTabAbout, Info},
      {kImageSave, Disk},
      {kImageSaveAll,
       [](QPainter& p) {
         p.translate(1.5, -1);
         p.scale(0.85, 0.85);
         Disk(p);
         p.resetTransform();
         p.translate(-1, 2.4);
         p.scale(0.85, 0.85);
         Disk(p);
       }},
      {kImageDelete, [](QPainter& p) { Cross(p, kRed, QPointF(8, 8), 4.5); }},
      {kImageDeleteAll,
       [](QPainter& p) {
         Document(p, kGrey);
         Cross(p, kRed, QPointF(10.5, 10.5), 3.2);
       }},
      {kImageLanguage,
       [](QPainter& p) {
         p.setPen(Pen(kBlue.darker(120)));
         p.setBrush(kPaleBlue);
         p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QPointF(8, 8), 2.8, 6.5);
         p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
       }},
      {kImageConvert,
       [](QPainter& p) {
         Arrow(p, QPointF(2, 5), QPointF(13, 5), kBlue);
         Arrow(p, QPointF(14, 11), QPointF(3, 11), kGreen);
       }},
      {kImageReadPhonebook,
       [](QPainter& p) {
         Book(p);
         Arrow(p, QPointF(9, 6), QPointF(14, 13.5), kGreen);
       }},
      {kImageSkinItem, Palette},
      {kImageStatusDisconnected,
       [](QPainter& p) {
         StatusDot(p, kRed);
         p.setPen(Pen(Qt::white, 1.8));
         p.drawLine(QPointF(5, 8), QPointF(11, 8));
       }},
      {kImageStatusConnected,
       [](QPainter& p) {
         StatusDot(p, kGreen);
         p.setPen(Pen(Qt::white, 1.8));
         p.drawPolyline(QPolygonF() << QPointF(5, 8.2) << QPointF(7.2, 10.4) << QPointF(11, 5.6));
       }},
      {kImageStatusBusy,
       [](QPainter& p) {
         StatusDot(p, kAmber);
         p.setPen(Pen(Qt::white, 1.6));
         p.drawLine(QPointF(8, 4.5), QPointF(8, 8.3));
         p.drawLine(QPointF(8, 8.3), QPointF(10.6, 10));
       }},
      {kImageSortDescending, [](QPainter& p) { Triangle(p, false); }},
      {kImageSortAscending, [](QPainter& p) { Triangle(p, true); }},
  };
  return drawings;
}

// Paints one drawing scaled into whatever rectangle the icon is asked for.
class PaintedIconEngine : public QIconEngine {
 public:
  explicit PaintedIconEngine(Drawing drawing) : drawing_(std::move(drawing)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    // Square pictures: a rectangle that is not square gets the picture centred.
    const int side = std::min(rect.width(), rect.height());
    painter->translate(rect.x() + (rect.width() - side) / 2.0,
                       rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / 16.0, side / 16.0);
    drawing_(*painter);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    const auto key = std::make_tuple(size.width(), size.height(), static_cast<int>(mode));
    if (const auto found = cache_.find(key); found != cache_.end()) return found->second;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter painter(&image);
      paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    }
    return cache_[key] = QPixmap::fromImage(image);
  }

  QIconEngine* clone() const override { return new PaintedIconEngine(drawing_); }
  QString key() const override { return QStringLiteral("MissivoPainted"); }

 private:
  Drawing drawing_;
  std::map<std::tuple<int, int, int>, QPixmap> cache_;
};

}  // namespace

QIcon ImageList::Icon(int index) {
  // Made once per index and kept for the whole run, so every view shares one
  // icon and its rendered pixmaps.
  static auto* const icons = new std::map<int, QIcon>;
  if (const auto found = icons->find(index); found != icons->end()) return found->second;
  const auto& drawings = Drawings();
  const auto drawing = drawings.find(index);
  if (drawing == drawings.end()) return QIcon();
  return (*icons)[index] = QIcon(new PaintedIconEngine(drawing->second));
}

bool ImageList::Has(int index) {
  return Drawings().contains(index);
}

}  // namespace missivo
