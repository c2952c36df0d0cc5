#include "ui/QtDialogs.h"
#include "base/ApplicationTitle.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace dravena;

namespace {

// Runs `act` on the modal box as soon as it is open; the box is closed by `act`. A box that does
// not turn up within a few seconds fails the test, and whatever modal window is open is closed so
// that the test cannot hang.
template <class Box> void whenOpen(std::function<void(Box*)> act) {
    auto poll = std::make_shared<std::function<void()>>();
    auto attempts = std::make_shared<int>(0);
    *poll = [act, poll, attempts] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<Box*>(modal)) {
            *poll = nullptr; // the running copy stays alive; this breaks the self-reference
            act(box);
            return;
        }
        if (++*attempts > 1000) {
            ADD_FAILURE() << "the expected box did not open";
            *poll = nullptr;
            if (modal != nullptr)
                modal->close();
            return;
        }
        QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton byDefault = QMessageBox::NoButton; // what Enter presses
    QSize buttonSize; // the size every button of the box has; invalid when they differ
};

QSize commonSize(const QList<QAbstractButton*>& buttons) {
    QSize size = buttons.value(0)->size();
    for (const QAbstractButton* button : buttons)
        if (button->size() != size || !button->icon().isNull())
            size = QSize();
    return size;
}

void seeAndPress(Seen& seen, QMessageBox::StandardButton press) {
    whenOpen<QMessageBox>([&seen, press](QMessageBox* box) {
        seen = {box->windowTitle(),
                box->text(),
                box->icon(),
                box->standardButtons(),
                box->standardButton(box->defaultButton()),
                commonSize(box->buttons())};
        box->button(press)->click();
    });
}

} // namespace

TEST(QtDialogsTest, DisplayTextTurnsCrLfAndLoneCrIntoLineBreaks) {
    EXPECT_EQ(QtDialogs::displayText(QStringLiteral("a\r\nb\r\rc\nd")), "a\nb\n\nc\nd");
    EXPECT_EQ(QtDialogs::displayText(QStringLiteral("\r\n\r")), "\n\n");
}

TEST(QtDialogsTest, PlainMessageHasOkOnlyNoIconAndTheGivenOrApplicationTitle) {
    QtDialogs dialogs;
    Seen seen;
    seeAndPress(seen, QMessageBox::Ok);
    dialogs.message(QStringLiteral("Table <b>A</b>\r\ndone"), QStringLiteral("Own Title"));
    EXPECT_EQ(seen.title, "Own Title");
    EXPECT_EQ(seen.text, "Table <b>A</b>\ndone");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    SetApplicationTitle();
    seeAndPress(seen, QMessageBox::Ok);
    dialogs.message(QStringLiteral("x"), QString());
    EXPECT_EQ(seen.title, "Dravena Conversion");
}

TEST(QtDialogsTest, QuestionAnswersSixForYesAndSevenForNoWithTheDefaultAsked) {
    QtDialogs qtDialogs;
    Dialogs& dialogs = qtDialogs;
    Seen seen;
    seeAndPress(seen, QMessageBox::Yes);
    EXPECT_EQ(dialogs.question(QStringLiteral("Overwrite?"), QStringLiteral("T")), AnswerYes);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.byDefault, QMessageBox::Yes);
    seeAndPress(seen, QMessageBox::No);
    EXPECT_EQ(dialogs.question(QStringLiteral("Delete?"), QStringLiteral("T"), AnswerNo), AnswerNo);
    EXPECT_EQ(seen.byDefault, QMessageBox::No);

    // Every box's buttons at one size, without icons: a question's as a message's.
    const QSize questionButtons = seen.buttonSize;
    EXPECT_TRUE(questionButtons.isValid());
    seeAndPress(seen, QMessageBox::Ok);
    dialogs.message(QStringLiteral("Done."), QString());
    EXPECT_EQ(seen.buttonSize, questionButtons);
}

TEST(QtDialogsTest, ErrorReportIsAWarningTitledApplicationErrorWithOkOnly) {
    QtDialogs dialogs;
    Seen seen;
    seeAndPress(seen, QMessageBox::Ok);
    dialogs.errorReport(QStringLiteral("Path not found\r\nin X at line 100\r\rPlease"));
    EXPECT_EQ(seen.title, "Application Error");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(seen.text, "Path not found\nin X at line 100\n\nPlease");
}

TEST(QtDialogsTest, InputBoxGivesTheAnswerOrEmptyTextOnCancel) {
    QtDialogs dialogs;
    QString preset;
    whenOpen<QInputDialog>([&preset](QInputDialog* box) {
        preset = box->textValue();
        box->setTextValue(QStringLiteral("NEWNAME"));
        box->accept();
    });
    EXPECT_EQ(
        dialogs.input(QStringLiteral("New name?"), QStringLiteral("T"), QStringLiteral("OLD")),
        "NEWNAME");
    EXPECT_EQ(preset, "OLD");

    whenOpen<QInputDialog>([](QInputDialog* box) { box->reject(); });
    EXPECT_EQ(
        dialogs.input(QStringLiteral("New name?"), QStringLiteral("T"), QStringLiteral("OLD")), "");
}

TEST(QtDialogsTest, FolderChooserGivesEmptyTextOnCancel) {
    QtDialogs dialogs;
    QTemporaryDir start;
    QString shown;
    whenOpen<QFileDialog>([&shown](QFileDialog* box) {
        shown = box->directory().absolutePath();
        box->reject();
    });
    EXPECT_EQ(dialogs.chooseFolder(QStringLiteral("Pick"), start.path()), "");
    EXPECT_EQ(shown, QDir(start.path()).absolutePath());
}
