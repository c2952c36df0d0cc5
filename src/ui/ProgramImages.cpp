#include "ProgramImages.h"

#include "base/RuntimeError.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace dravena {

QIcon applicationIcon() {
    return QIcon(QStringLiteral(":/dravena/icon.png"));
}

QCursor loadPointerFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(errnum::PathFileAccess,
                           QStringLiteral("Path/File access error: ") + path);
    QByteArray data = file.readAll();
    // A cursor file is an icon file whose directory entries hold the hot spot where an icon keeps
    // its planes and bit count. Read the hot spot, then let the icon reader decode the image.
    constexpr int dirSize = 6;
    constexpr int entrySize = 16;
    const auto u16 = [&](int offset) {
        return qFromLittleEndian<quint16>(data.constData() + offset);
    };
    if (data.size() < dirSize + entrySize || u16(0) != 0 || u16(2) != 2 || u16(4) < 1)
        throw RuntimeError(errnum::PathFileAccess, QStringLiteral("Not a cursor file: ") + path);
    const int hotX = u16(dirSize + 4);
    const int hotY = u16(dirSize + 6);
    data[2] = 1; // icon type
    for (int i = 0; i < u16(4) && dirSize + (i + 1) * entrySize <= data.size(); ++i) {
        char* entry = data.data() + dirSize + i * entrySize;
        qToLittleEndian<quint16>(1, entry + 4);  // planes
        qToLittleEndian<quint16>(32, entry + 6); // bits per pixel, corrected by the image header
    }
    QImage image;
    if (!image.loadFromData(data, "ICO"))
        throw RuntimeError(errnum::PathFileAccess,
                           QStringLiteral("Unreadable cursor file: ") + path);
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

} // namespace dravena
