#include "ui/ProgramImages.h"
#include "base/RuntimeError.h"
#include "ui/Skin.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dravena;

namespace {

const QString shippedPointer = QStringLiteral(DRAVENA_SOURCE_DIR "/resources/HAND-M.CUR");

TEST(PointerFileTest, ShippedCursorKeepsItsImageAndHotSpot) {
    const QCursor cursor = loadPointerFile(shippedPointer);
    EXPECT_EQ(cursor.hotSpot(), QPoint(11, 1));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

TEST(PointerFileTest, MissingOrForeignFilesFailWithError75) {
    QTemporaryDir folder;
    QFile icon(folder.filePath("not-a-cursor.CUR"));
    ASSERT_TRUE(icon.open(QIODevice::WriteOnly));
    icon.write(QByteArray("\0\0\1\0\1\0", 6) + QByteArray(40, '\0')); // an icon directory
    icon.close();
    for (const QString& path : {folder.filePath("missing.CUR"), icon.fileName()}) {
        try {
            loadPointerFile(path);
            ADD_FAILURE() << "no failure for " << path.toStdString();
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), errnum::PathFileAccess);
        }
    }
}

TEST(FormColorsTest, FramesAndLabelsTakeTheButtonFaceEntryFieldsDoNot) {
    QWidget window;
    auto* frame = new QGroupBox(&window);
    auto* label = new QLabel(frame);
    auto* entry = new QLineEdit(frame);
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Button, QColor(0xd4, 0xd0, 0xc8));
    window.setPalette(white);
    SetFormColors(window);
    for (const QWidget* w : {static_cast<QWidget*>(&window), static_cast<QWidget*>(frame),
                             static_cast<QWidget*>(label)}) {
        EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0xd4, 0xd0, 0xc8));
        EXPECT_TRUE(w->autoFillBackground());
    }
    EXPECT_FALSE(entry->autoFillBackground());
}

} // namespace
