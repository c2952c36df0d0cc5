// The pointer over the controls of both windows, and captions that fit their controls.

#include "base/ProgramFiles.h"
#include "connections/Form1.h"
#include "support/FakeDataAccess.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedPorts.h"
#include "tables/Form2.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace dravena;

namespace {

// Where the pointer goes: over a named control (its middle), or over a spot of the window.
struct Spot {
    const char* control; // nullptr: the window at `at`
    QPoint at;           // within the control's container when `inFrame` names one
    const char* inFrame = nullptr;
};

class WindowLookTest : public ::testing::Test {
protected:
    WindowLookTest() : form1([this] { return std::make_unique<Form2>(form1); }) {}

    static void moveTo(MainWindow& window, const Spot& spot) {
        QPoint point = spot.at;
        if (spot.control) {
            const auto* control = window.findChild<QWidget*>(spot.control);
            EXPECT_NE(control, nullptr) << spot.control;
            if (control)
                point = control->mapTo(&window, control->rect().center());
        } else if (spot.inFrame) {
            point = window.findChild<QWidget*>(spot.inFrame)->mapTo(&window, spot.at);
        }
        QTest::mouseMove(window.windowHandle(), point);
        QCoreApplication::processEvents();
    }

    // Moves the pointer over each spot in turn and expects the window's pointer value after each.
    static void expectPointers(MainWindow& window, const std::vector<std::pair<Spot, int>>& moves) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (const auto& [spot, value] : moves) {
            moveTo(window, spot);
            const std::string where = spot.control   ? spot.control
                                      : spot.inFrame ? spot.inFrame
                                                     : "the window";
            EXPECT_EQ(window.mousePointer(), value) << where;
        }
        // While an operation runs the busy pointer stays, wherever the pointer goes.
        window.setMousePointer(PointerBusy);
        for (const auto& [spot, value] : moves) {
            moveTo(window, spot);
            EXPECT_EQ(window.mousePointer(), PointerBusy);
        }
        window.setMousePointer(PointerDefault);
    }

    // The font a control shows its caption in: Arial or its metric twin, bold, at the design's
    // size.
    static void expectDesignFont(const QWidget& control, int pixels) {
        const QFontInfo shown(control.font());
        const std::string name = control.objectName().toStdString();
        EXPECT_TRUE(shown.family() == QLatin1String("Arial") ||
                    shown.family() == QLatin1String("Liberation Sans"))
            << name << " shows " << shown.family().toStdString()
            << " (scripts/install-deps installs fonts-liberation2)";
        EXPECT_TRUE(shown.bold()) << name;
        EXPECT_EQ(shown.pixelSize(), pixels) << name;
    }

    // Every label's and push button's caption fits the room its control gives text, in the font
    // of the design.
    static void expectCaptionsFit(QWidget& window, const char* look) {
        window.show();
        QCoreApplication::processEvents();
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            expectDesignFont(*label, TextPixels);
            const QSize need = label->fontMetrics().size(Qt::TextSingleLine, label->text());
            const QRect room = label->contentsRect();
            EXPECT_LE(need.width(), room.width()) << look << " " << label->text().toStdString();
            EXPECT_LE(need.height(), room.height()) << look << " " << label->text().toStdString();
        }
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            expectDesignFont(*button, ButtonPixels);
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect room =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const QSize need = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
            EXPECT_LE(need.width(), room.width()) << look << " " << button->text().toStdString();
            EXPECT_LE(need.height(), room.height()) << look << " " << button->text().toStdString();
        }
    }

    dravena::testing::ScopedDialogs dialogs;
    dravena::testing::ScopedPorts outside;
    dravena::testing::ScopedDataAccess data;
    Form1 form1;
};

TEST_F(WindowLookTest, TablesWindowPointerFollowsTheControlUnderIt) {
    Form2 window(form1);
    std::vector<std::pair<Spot, int>> moves = {
        {{"PushButton4", {}}, PointerCustom},
        {{"List1", {}}, PointerCustom}, // no handler: the last value stays
        {{"List2", {}}, PointerDefault},
        {{"PushButton3", {}}, PointerDefault}, // no handler
        {{"PushButton12", {}}, PointerCustom},
        {{"ProgressBar1", {}}, PointerCustom}, // no handler
        {{nullptr, {4, 12}, "Frame1"}, PointerDefault},
        {{"PushButton1", {}}, PointerCustom},
        {{nullptr, {4, 12}, "Frame2"}, PointerDefault},
    };
    for (const char* button :
         {"PushButton1", "PushButton2", "PushButton4", "PushButton5", "PushButton6", "PushButton7",
          "PushButton8", "PushButton9", "PushButton10", "PushButton11", "PushButton12"}) {
        moves.push_back({{nullptr, {3, 150}}, PointerDefault}); // the window's own background
        moves.push_back({{button, {}}, PointerCustom});
    }
    expectPointers(window, moves);
}

TEST_F(WindowLookTest, ConnectionWindowPointerFollowsTheControlUnderIt) {
    std::vector<std::pair<Spot, int>> moves = {
        {{"PushButton2", {}}, PointerCustom},
        {{"Label2", {}}, PointerCustom}, // labels have no handler
        {{"Text1", {}}, PointerDefault},
        {{"PushButton6", {}}, PointerCustom},
        {{nullptr, {4, 40}, "Frame1"}, PointerDefault},
        {{"PushButton1", {}}, PointerCustom},
        {{nullptr, {4, 40}, "Frame2"}, PointerDefault},
    };
    for (const char* button : {"PushButton1", "PushButton2", "PushButton3", "PushButton4",
                               "PushButton5", "PushButton6"}) {
        moves.push_back({{nullptr, {3, 100}}, PointerDefault});
        moves.push_back({{button, {}}, PointerCustom});
    }
    for (const char* entry : {"Text1", "Text2", "Text3", "Text4"}) {
        moves.push_back({{"PushButton4", {}}, PointerCustom});
        moves.push_back({{entry, {}}, PointerDefault});
    }
    expectPointers(form1, moves);
}

TEST_F(WindowLookTest, EveryCaptionFitsItsControlWithAndWithoutTheSkin) {
    QFile skin(QStringLiteral(DRAVENA_SOURCE_DIR "/resources/x/o.cjs"));
    ASSERT_TRUE(skin.open(QIODevice::ReadOnly));
    const QString styleSheet = QString::fromUtf8(skin.readAll());
    Form2 form2(form1);
    for (MainWindow* window :
         {static_cast<MainWindow*>(&form1), static_cast<MainWindow*>(&form2)}) {
        window->setStyleSheet({});
        expectCaptionsFit(*window, "plain");
        window->setStyleSheet(styleSheet);
        expectCaptionsFit(*window, "skinned");
    }
}

// With the skin beside the program, the tables window takes it as the connection window does.
TEST_F(WindowLookTest, TablesWindowTakesTheSkinOfTheConnectionWindow) {
    QFile skin(skinFilePath());
    if (!skin.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no skin beside the test program at " << skinFilePath().toStdString();
    const QString styleSheet = QString::fromUtf8(skin.readAll());
    Form2 window(form1);
    window.Form_Load();
    form1.Form_Load();
    EXPECT_EQ(window.styleSheet(), styleSheet);
    EXPECT_EQ(form1.styleSheet(), styleSheet);
}

} // namespace
