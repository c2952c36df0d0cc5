#include "ui/MainWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace dravena;

namespace {

// Pointer value 0 gives every control its own default back: entry fields keep their text cursor
// however often an operation has shown the busy or the hand pointer over them.
TEST(MainWindowTest, DefaultPointerIsEachControlsOwnPointer) {
    MainWindow window;
    auto* entry = new QLineEdit(&window);
    auto* button = new QPushButton(&window);
    auto* marked = new QLabel(&window);
    marked->setCursor(Qt::CrossCursor);
    window.setCustomPointer(QCursor(Qt::OpenHandCursor));

    struct Step {
        int value;
        Qt::CursorShape window, entry, button, marked;
    };
    const Step steps[] = {
        {PointerBusy, Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor},
        {PointerDefault, Qt::ArrowCursor, Qt::IBeamCursor, Qt::ArrowCursor, Qt::CrossCursor},
        {PointerCustom, Qt::OpenHandCursor, Qt::OpenHandCursor, Qt::OpenHandCursor,
         Qt::OpenHandCursor},
        {PointerBusy, Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor, Qt::WaitCursor},
        {PointerDefault, Qt::ArrowCursor, Qt::IBeamCursor, Qt::ArrowCursor, Qt::CrossCursor},
        {PointerDefault, Qt::ArrowCursor, Qt::IBeamCursor, Qt::ArrowCursor, Qt::CrossCursor},
    };
    for (const Step& step : steps) {
        window.setMousePointer(step.value);
        EXPECT_EQ(window.mousePointer(), step.value);
        EXPECT_EQ(window.cursor().shape(), step.window) << step.value;
        EXPECT_EQ(entry->cursor().shape(), step.entry) << step.value;
        EXPECT_EQ(button->cursor().shape(), step.button) << step.value;
        EXPECT_EQ(marked->cursor().shape(), step.marked) << step.value;
    }

    // A control created while the window is busy keeps its own pointer too.
    window.setMousePointer(PointerBusy);
    auto* late = new QLineEdit(&window);
    window.setMousePointer(PointerCustom);
    window.setMousePointer(PointerDefault);
    EXPECT_EQ(late->cursor().shape(), Qt::IBeamCursor);
}

} // namespace
