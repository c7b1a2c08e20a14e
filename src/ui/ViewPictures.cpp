#include "ui/ViewPictures.h"

#include <array>
#include <cmath>

#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidget>

namespace quorvane::ui {

namespace {

constexpr int kSize = 15;

QPixmap Blank() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap Folder(const QColor& body, bool open) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(body.darker(160));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 4.5, 12, 8), 1, 1);
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    if (open) {
        p.setBrush(body.lighter(125));
        QPainterPath flap;
        flap.moveTo(3.5, 6.5);
        flap.lineTo(14.5, 6.5);
        flap.lineTo(12.5, 12.5);
        flap.lineTo(1.5, 12.5);
        flap.closeSubpath();
        p.drawPath(flap);
    }
    return pixmap;
}

QPixmap Drive(const QColor& body, const QColor& light) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(body.darker(170));
    p.setBrush(body);
    p.drawRect(QRectF(1.5, 5.5, 12, 5));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawRect(QRectF(10, 7, 2, 2));
    return pixmap;
}

QPixmap Disc() {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(90, 90, 110));
    p.setBrush(QColor(210, 215, 235));
    p.drawEllipse(QRectF(1.5, 1.5, 12, 12));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(5.5, 5.5, 4, 4));
    return pixmap;
}

QPixmap Network() {
    QPixmap pixmap = Drive(QColor(150, 150, 160), QColor(0, 200, 0));
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 60));
    p.drawLine(7, 10, 7, 13);
    p.drawLine(3, 13, 11, 13);
    return pixmap;
}

QPixmap Floppy() {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(QColor(30, 30, 60));
    p.setBrush(QColor(70, 70, 130));
    p.drawRect(QRectF(2.5, 2.5, 10, 10));
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(4.5, 2.5, 6, 4));
    return pixmap;
}

// A keyboard-like preset picture: three white keys with two black ones, framed in the kind's colour.
QPixmap Preset(const QColor& frame, bool selected) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(frame.darker(150));
    p.setBrush(selected ? frame.lighter(140) : frame);
    p.drawRect(QRectF(0.5, 1.5, 14, 12));
    p.setBrush(Qt::white);
    p.setPen(QColor(40, 40, 40));
    for (int k = 0; k < 3; ++k)
        p.drawRect(QRectF(2.5 + 3.5 * k, 3.5, 3, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(5, 3.5, 2, 5));
    p.drawRect(QRectF(8.5, 3.5, 2, 5));
    return pixmap;
}

QPixmap Square(const QColor& fill, const QColor& edge, int inset) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(edge);
    p.setBrush(fill);
    p.drawRect(QRectF(inset + 0.5, inset + 0.5, kSize - 1 - 2 * inset, kSize - 1 - 2 * inset));
    return pixmap;
}

// A waveform on a small card: one line for a mono sample, two for a stereo one.
QPixmap Sample(bool stereo, bool selected) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(selected ? QColor(255, 255, 160) : Qt::white);
    p.drawRect(QRectF(0.5, 1.5, 14, 12));
    auto wave = [&](double middle, double height, const QColor& colour) {
        QPainterPath path;
        for (int x = 0; x <= 12; ++x) {
            const double y = middle - height * std::sin(x * 0.9);
            if (x == 0)
                path.moveTo(1.5 + x, y);
            else
                path.lineTo(1.5 + x, y);
        }
        p.setPen(QPen(colour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    if (stereo) {
        wave(5, 2, QColor(0, 90, 200));
        wave(10, 2, QColor(200, 30, 30));
    } else {
        wave(7.5, 3.5, QColor(0, 110, 0));
    }
    return pixmap;
}

QPixmap Group(bool open) {
    return Folder(open ? QColor(255, 200, 90) : QColor(230, 170, 60), open);
}

} // namespace

QIcon FolderPicture(int number) {
    static const std::array<QIcon, 10> pictures = [] {
        std::array<QIcon, 10> icons;
        icons[0] = QIcon(Floppy());
        icons[1] = QIcon(Floppy());
        icons[2] = QIcon(Drive(QColor(170, 170, 180), QColor(0, 220, 0)));
        icons[3] = icons[2];
        icons[4] = QIcon(Disc());
        icons[5] = QIcon(Folder(QColor(240, 200, 80), false));
        icons[6] = QIcon(Folder(QColor(240, 200, 80), true));
        icons[7] = QIcon(Network());
        icons[8] = QIcon(Folder(QColor(200, 200, 200), false));
        icons[9] = QIcon(Folder(QColor(200, 200, 200), true));
        return icons;
    }();
    return pictures[static_cast<size_t>(number) < pictures.size() ? static_cast<size_t>(number) : 5];
}

QIcon ViewPicture(int number) {
    static const std::array<QIcon, 13> pictures = [] {
        std::array<QIcon, 13> icons;
        icons[0] = QIcon(Sample(false, false));
        icons[1] = QIcon(Sample(true, false));
        icons[2] = QIcon(Group(false));
        icons[3] = QIcon(Group(true));
        icons[4] = QIcon(Sample(false, true));
        icons[5] = QIcon(Sample(true, true));
        icons[6] = QIcon(Preset(QColor(60, 120, 220), false));
        icons[7] = QIcon(Preset(QColor(60, 120, 220), true));
        icons[8] = QIcon(Square(QColor(120, 200, 120), QColor(40, 100, 40), 3));
        icons[9] = QIcon(Square(QColor(255, 220, 120), QColor(140, 100, 20), 4));
        icons[10] = QIcon(Square(QColor(200, 200, 200), QColor(90, 90, 90), 3));
        icons[11] = QIcon(Preset(QColor(200, 60, 60), false));
        icons[12] = QIcon(Preset(QColor(200, 60, 60), true));
        return icons;
    }();
    return pictures[static_cast<size_t>(number) < pictures.size() ? static_cast<size_t>(number) : 0];
}

void ScrollSideways(QTreeWidget* tree) {
    tree->setIndentation(12);
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree->header()->setStretchLastSection(false);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

QIcon NodeIcon(QIcon normal, const QIcon& selected) {
    for (const QSize& size : selected.availableSizes())
        normal.addPixmap(selected.pixmap(size), QIcon::Selected);
    return normal;
}

} // namespace quorvane::ui
