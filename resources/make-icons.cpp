// Writes the program's icon for the desktop from one drawing: the scalable dravena.svg and
// dravena-N.png at the sizes the icon theme holds. The drawing is on a 64 x 64 grid: a blue
// rounded square with a table (white) passing into another (gold).
//
//   make-icons <folder> <size>...

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr double Grid = 64;
const QRectF Back{2, 2, 60, 60};
constexpr double BackRadius = 10;
const QRectF From{12, 16, 19, 33};
const QRectF To{34, 16, 19, 33};
const QPolygonF Arrow{{{31, 29}, {41, 32.5}, {31, 36}}};
const QColor Blue{0x1f, 0x5f, 0xa8};
const QColor White{0xff, 0xff, 0xff};
const QColor Gold{0xf2, 0xc1, 0x4e};

QString rect(const QRectF& r, const QColor& fill, double radius = 0) {
    const QString corners =
        radius > 0 ? QStringLiteral(" rx=\"%1\" ry=\"%1\"").arg(radius) : QString();
    return QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"%5 fill=\"%6\"/>\n")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(corners, fill.name());
}

QString svg() {
    QString points;
    for (const QPointF& p : Arrow)
        points += QStringLiteral("%1,%2 ").arg(p.x()).arg(p.y());
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">\n")
               .arg(Grid) +
           rect(Back, Blue, BackRadius) + rect(From, White) + rect(To, Gold) +
           QStringLiteral("  <polygon points=\"%1\" fill=\"%2\"/>\n</svg>\n")
               .arg(points.trimmed(), White.name());
}

QImage png(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Grid, size / Grid);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Blue);
    painter.drawRoundedRect(Back, BackRadius, BackRadius);
    painter.fillRect(From, White);
    painter.fillRect(To, Gold);
    painter.setBrush(White);
    painter.drawPolygon(Arrow);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: make-icons <folder> <size>...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QFile scalable(folder + QStringLiteral("/dravena.svg"));
    if (!scalable.open(QIODevice::WriteOnly) || scalable.write(svg().toUtf8()) < 0) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(scalable.fileName()));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString path = folder + QStringLiteral("/dravena-%1.png").arg(size);
        if (size <= 0 || !png(size).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
