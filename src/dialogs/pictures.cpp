#include "pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kinaru {

namespace {

const QColor kPanelBlue(71, 79, 218);  // the colour of the dialog's panel buttons

QFont pictureFont(int pixelSize, int weight, bool italic = false) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic"), QStringLiteral("Sans Serif")});
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    return font;
}

// A parcel squeezed by a clamp: what the program does to files.
void drawParcel(QPainter& p, const QRectF& box) {
    const qreal lid = box.height() * 0.28;
    QRectF front(box.left(), box.top() + lid, box.width() * 0.72, box.height() - lid);
    const qreal depth = box.width() - front.width();

    QPolygonF top{front.topLeft(), QPointF(front.left() + depth, box.top()), QPointF(box.right(), box.top()),
                  front.topRight()};
    QPolygonF side{front.topRight(), QPointF(box.right(), box.top()), QPointF(box.right(), front.bottom() - lid),
                   front.bottomRight()};
    p.setPen(QPen(QColor(60, 40, 10), 1.5));
    p.setBrush(QColor(236, 196, 120));
    p.drawPolygon(top);
    p.setBrush(QColor(196, 150, 80));
    p.drawPolygon(side);
    QLinearGradient shade(front.topLeft(), front.bottomLeft());
    shade.setColorAt(0, QColor(226, 178, 100));
    shade.setColorAt(1, QColor(206, 158, 84));
    p.setBrush(shade);
    p.drawRect(front);

    // Packing tape across the lid and down the front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 210, 200));
    const qreal tape = front.width() * 0.16;
    QRectF tapeFront(front.center().x() - tape / 2, front.top(), tape, front.height());
    p.drawRect(tapeFront);
    p.drawPolygon(QPolygonF{tapeFront.topLeft(), tapeFront.topRight(), QPointF(tapeFront.right() + depth, box.top()),
                            QPointF(tapeFront.left() + depth, box.top())});

    // The label: the archive format.
    QRectF label(front.left() + front.width() * 0.12, front.top() + front.height() * 0.45, front.width() * 0.76,
                 front.height() * 0.36);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(60, 40, 10), 1));
    p.drawRoundedRect(label, 3, 3);
    p.setPen(kPanelBlue.darker(130));
    p.setFont(pictureFont(int(label.height() * 0.62), QFont::Black));
    p.drawText(label, Qt::AlignCenter, QStringLiteral("LZH"));
}

// Arrows pressing in from both sides.
void drawSqueeze(QPainter& p, const QRectF& box) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 64));
    const qreal mid = box.center().y();
    const qreal h = box.height() * 0.18;
    auto arrow = [&](qreal tip, qreal tail) {
        QPainterPath path;
        qreal neck = tip + (tail - tip) * 0.45;
        path.moveTo(tip, mid);
        path.lineTo(neck, mid - h);
        path.lineTo(neck, mid - h / 2);
        path.lineTo(tail, mid - h / 2);
        path.lineTo(tail, mid + h / 2);
        path.lineTo(neck, mid + h / 2);
        path.lineTo(neck, mid + h);
        path.closeSubpath();
        p.drawPath(path);
    };
    arrow(box.left() - 4, box.left() - 30);
    arrow(box.right() + 4, box.right() + 30);
}

}  // namespace

QPixmap titlePicture() {
    QPixmap picture(199, 199);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 199);
    sky.setColorAt(0, QColor(24, 30, 110));
    sky.setColorAt(0.6, kPanelBlue);
    sky.setColorAt(1, QColor(150, 170, 245));
    p.fillRect(picture.rect(), sky);
    QRadialGradient glow(QPointF(100, 92), 80);
    glow.setColorAt(0, QColor(255, 255, 255, 90));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(picture.rect(), glow);

    p.setPen(Qt::white);
    p.setFont(pictureFont(34, QFont::Black, true));
    p.drawText(QRectF(0, 8, 199, 44), Qt::AlignCenter, QStringLiteral("Kinaru"));
    p.setFont(pictureFont(11, QFont::Bold));
    p.drawText(QRectF(0, 48, 199, 16), Qt::AlignCenter, QStringLiteral("LZH ARCHIVER"));

    QRectF parcel(62, 72, 76, 70);
    drawSqueeze(p, parcel);
    drawParcel(p, parcel);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 30, 110));
    p.drawRoundedRect(QRectF(36, 158, 127, 28), 6, 6);
    p.setPen(Qt::white);
    p.setFont(pictureFont(15, QFont::Bold));
    p.drawText(QRectF(36, 158, 127, 28), Qt::AlignCenter, QStringLiteral("Version 2.5"));
    return picture;
}

QPixmap logoPicture() {
    QPixmap picture(199, 99);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(picture.rect(), Qt::white);

    // The mark: three rising bars in a ring.
    const QPointF centre(40, 49);
    p.setPen(QPen(kPanelBlue, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 30, 30);
    p.setPen(Qt::NoPen);
    const QColor bars[] = {QColor(120, 128, 236), kPanelBlue, QColor(24, 30, 110)};
    for (int i = 0; i < 3; ++i) {
        qreal height = 16 + 10 * i;
        p.setBrush(bars[i]);
        p.drawRoundedRect(QRectF(centre.x() - 19 + 13 * i, centre.y() + 15 - height, 10, height), 2, 2);
    }

    p.setPen(QColor(24, 30, 110));
    p.setFont(pictureFont(25, QFont::Black));
    p.drawText(QRectF(78, 18, 121, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mobrek"));
    p.setPen(kPanelBlue);
    p.setFont(pictureFont(10, QFont::Bold));
    p.drawText(QRectF(78, 58, 121, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("S O F T W A R E"));
    p.setPen(QPen(kPanelBlue, 2));
    p.drawLine(QPointF(78, 78), QPointF(188, 78));
    return picture;
}

QIcon programIcon() {
    QPixmap icon(64, 64);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kPanelBlue);
    p.drawRoundedRect(QRectF(8, 18, 48, 38), 4, 4);
    p.setBrush(QColor(0x6b, 0x72, 0xe6));
    p.drawPolygon(QPolygonF{QPointF(8, 22), QPointF(20, 8), QPointF(44, 8), QPointF(56, 22)});
    p.setBrush(QColor(0xff, 0xd2, 0x4a));
    p.drawRect(QRectF(28, 8, 8, 48));
    p.drawRect(QRectF(8, 32, 48, 7));
    p.setPen(Qt::white);
    p.setFont(pictureFont(11, QFont::Bold));
    p.drawText(QRectF(8, 40, 48, 14), Qt::AlignCenter, QStringLiteral("LZH"));
    p.end();
    return QIcon(icon);
}

}  // namespace kinaru
