#include "ui/GuardedApplication.h"
#include "base/RuntimeError.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <gtest/gtest.h>

using namespace dravena;
using dravena::testing::ScopedDialogs;

namespace {

// A control whose event handler fails.
class FailingWidget final : public QWidget {
public:
    static constexpr auto Runtime = static_cast<QEvent::Type>(QEvent::User + 1);
    static constexpr auto Other = static_cast<QEvent::Type>(QEvent::User + 2);

    bool event(QEvent* e) override {
        if (e->type() == Runtime)
            throw RuntimeError(errnum::PermissionDenied, QStringLiteral("Permission denied: /x"));
        if (e->type() == Other)
            throw 42;
        return QWidget::event(e);
    }
};

TEST(GuardedApplicationTest, AFailureThatReachesTheEventLoopIsReportedAndTheProgramGoesOn) {
    ASSERT_NE(dynamic_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
    ScopedDialogs dialogs;
    FailingWidget widget;
    QEvent sent(FailingWidget::Runtime);
    EXPECT_FALSE(QCoreApplication::sendEvent(&widget, &sent));
    QCoreApplication::postEvent(&widget, new QEvent(FailingWidget::Other));
    QCoreApplication::processEvents();

    const auto reports = dialogs->reports();
    ASSERT_EQ(reports.size(), 2u);
    const QString where = QStringLiteral(
        "\r\ncaught by the event loop, outside any trapped procedure\r\rPlease email screenshot");
    EXPECT_TRUE(reports[0].text.startsWith("Permission denied: /x" + where))
        << reports[0].text.toStdString();
    EXPECT_TRUE(reports[1].text.startsWith("Unexpected error" + where));
}

} // namespace
