#include "app/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>

namespace kt9 {

namespace {

const QColor kBodyLight(0x4a, 0x50, 0x58);
const QColor kBodyDark(0x1e, 0x21, 0x26);
const QColor kAccent(0xe0, 0x6c, 0x1a);
const QColor kLedRed(0xff, 0x3b, 0x30);
const QColor kLedGreen(0x4c, 0xd9, 0x64);

void DrawBody(QPainter& painter, const QRectF& body, qreal radius) {
  QLinearGradient metal(body.topLeft(), body.bottomRight());
  metal.setColorAt(0, kBodyLight);
  metal.setColorAt(1, kBodyDark);
  painter.setPen(QPen(QColor(0x10, 0x10, 0x12), std::max<qreal>(1.0, body.width() / 90)));
  painter.setBrush(metal);
  painter.drawRoundedRect(body, radius, radius);
}

void DrawFootswitch(QPainter& painter, const QPointF& centre, qreal radius) {
  QRadialGradient chrome(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
  chrome.setColorAt(0, QColor(0xf4, 0xf6, 0xf8));
  chrome.setColorAt(0.6, QColor(0x9a, 0xa0, 0xa8));
  chrome.setColorAt(1, QColor(0x50, 0x55, 0x5c));
  painter.setPen(QPen(QColor(0x20, 0x22, 0x26), radius / 6));
  painter.setBrush(chrome);
  painter.drawEllipse(centre, radius, radius);
}

void DrawLed(QPainter& painter, const QPointF& centre, qreal radius, const QColor& colour) {
  QRadialGradient glow(centre, radius * 2.2);
  glow.setColorAt(0, colour.lighter(150));
  glow.setColorAt(0.45, colour);
  glow.setColorAt(1, Qt::transparent);
  painter.setPen(Qt::NoPen);
  painter.setBrush(glow);
  painter.drawEllipse(centre, radius * 2.2, radius * 2.2);
}

QPixmap DrawIcon(int side) {
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = side;
  DrawBody(painter, QRectF(s * 0.08, s * 0.04, s * 0.84, s * 0.92), s * 0.12);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kAccent);
  painter.drawRoundedRect(QRectF(s * 0.2, s * 0.14, s * 0.6, s * 0.16), s * 0.04, s * 0.04);
  DrawLed(painter, QPointF(s * 0.33, s * 0.44), s * 0.045, kLedRed);
  DrawLed(painter, QPointF(s * 0.67, s * 0.44), s * 0.045, kLedGreen);
  DrawFootswitch(painter, QPointF(s * 0.33, s * 0.7), s * 0.13);
  DrawFootswitch(painter, QPointF(s * 0.67, s * 0.7), s * 0.13);
  return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawIcon(side));
  return icon;
}

QPixmap PedalPicture(QSize size, qreal devicePixelRatio) {
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  const qreal w = size.width(), h = size.height();

  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient backdrop(0, 0, 0, h);
  backdrop.setColorAt(0, QColor(0x2b, 0x34, 0x40));
  backdrop.setColorAt(1, QColor(0x0d, 0x10, 0x14));
  painter.fillRect(QRectF(0, 0, w, h), backdrop);

  // The pedal stands upright, its foot switches in two columns of four.
  const QRectF body(w * 0.1, h * 0.05, w * 0.8, h * 0.9);
  DrawBody(painter, body, w * 0.08);

  QFont nameFont(QStringLiteral("Sans Serif"));
  nameFont.setBold(true);
  nameFont.setPixelSize(std::max(8, static_cast<int>(w * 0.17)));
  painter.setFont(nameFont);
  painter.setPen(kAccent);
  painter.drawText(QRectF(body.left(), body.top() + h * 0.03, body.width(), h * 0.09), Qt::AlignCenter,
                   QStringLiteral("KT-9"));

  // The display.
  const QRectF display(body.left() + body.width() * 0.2, body.top() + h * 0.13, body.width() * 0.6, h * 0.08);
  painter.setPen(QPen(QColor(0x08, 0x08, 0x08), 2));
  painter.setBrush(QColor(0x12, 0x3a, 0x2a));
  painter.drawRoundedRect(display, 4, 4);
  QFont displayFont(QStringLiteral("Monospace"));
  displayFont.setPixelSize(std::max(6, static_cast<int>(display.height() * 0.6)));
  painter.setFont(displayFont);
  painter.setPen(kLedGreen);
  painter.drawText(display, Qt::AlignCenter, QStringLiteral("P01"));

  static constexpr std::array<const char*, 8> kSwitchNames{"A", "B", "C", "D", "E", "F", "G", "H"};
  QFont labelFont(QStringLiteral("Sans Serif"));
  labelFont.setPixelSize(std::max(6, static_cast<int>(w * 0.06)));
  const qreal radius = w * 0.085;
  for (int i = 0; i < 8; ++i) {
    const int row = i / 2, column = i % 2;
    const QPointF centre(body.left() + body.width() * (column == 0 ? 0.3 : 0.7), body.top() + h * (0.33 + row * 0.15));
    DrawLed(painter, centre + QPointF(-radius * 1.55, -radius * 0.75), w * 0.014,
            row == 0 && column == 0 ? kLedRed : kLedGreen);
    DrawFootswitch(painter, centre, radius);
    painter.setFont(labelFont);
    painter.setPen(QColor(0xd8, 0xdc, 0xe0));
    painter.drawText(QRectF(centre.x() + radius * 1.2, centre.y() - radius, radius * 1.2, radius * 2),
                     Qt::AlignVCenter | Qt::AlignLeft, QString::fromLatin1(kSwitchNames[i]));
  }
  return pixmap;
}

}  // namespace kt9
