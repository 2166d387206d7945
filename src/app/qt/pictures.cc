#include "app/qt/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace zc::qt {
namespace {

QPixmap Transparent(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

QPen Stroke(const QColor& colour, qreal width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

QPixmap CheckMarkPicture() {
  QPixmap pixmap = Transparent(44, 36);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF stroke[] = {{6, 19}, {17, 30}, {38, 6}};
  painter.setPen(Stroke(QColor(0, 96, 0), 8));  // a dark rim keeps it legible on green
  painter.drawPolyline(stroke, 3);
  painter.setPen(Stroke(QColor(0, 192, 0), 5));
  painter.drawPolyline(stroke, 3);
  return pixmap;
}

QPixmap CrossPicture() {
  QPixmap pixmap = Transparent(37, 39);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Stroke(QColor(208, 0, 0), 7));
  painter.drawLine(QPointF(6, 6), QPointF(31, 33));
  painter.drawLine(QPointF(31, 6), QPointF(6, 33));
  return pixmap;
}

QPixmap QuestionMarkPicture() {
  QPixmap pixmap = Transparent(41, 45);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Stroke(Qt::black, 4));
  QPainterPath hook;
  hook.moveTo(21, 11);
  hook.arcTo(QRectF(21, 3, 14, 14), 180, -270);
  hook.lineTo(28, 23);
  painter.drawPath(hook);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawEllipse(QPointF(28, 29.5), 2.5, 2.5);
  // The arrow points from the question mark down to what it explains.
  painter.setPen(Stroke(Qt::black, 2.5));
  painter.drawLine(QPointF(20, 30), QPointF(8, 40));
  painter.setPen(Qt::NoPen);
  const QPointF head[] = {{3, 43}, {6, 33}, {13, 41}};
  painter.drawPolygon(head, 3);
  return pixmap;
}

QPixmap PictureFor(texts::Picture picture) {
  switch (picture) {
    case texts::Picture::kCheckMark:
      return CheckMarkPicture();
    case texts::Picture::kCross:
      return CrossPicture();
    case texts::Picture::kQuestionMark:
      return QuestionMarkPicture();
    case texts::Picture::kNone:
      break;
  }
  return QPixmap();
}

}  // namespace zc::qt
