#include "base/ApplicationTitle.h"
#include "base/RuntimeError.h"

#include <gtest/gtest.h>

using namespace dravena;

namespace {

int errorNumberOf(const QString& productName) {
    try {
        (void)shortenedTitle(productName);
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ApplicationTitleTest, ProductNameGivesItsTitle) {
    SetApplicationTitle();
    EXPECT_EQ(applicationTitle(), "Dravena Conversion");
}

TEST(ApplicationTitleTest, CutsAtTheLastBlankAtLeastOnceThenUntilFortyOrShorter) {
    EXPECT_EQ(shortenedTitle(QStringLiteral("Short Name")), "Short");
    EXPECT_EQ(shortenedTitle(QStringLiteral("A B C")), "A B");
    // 40 characters after the first cut: no second cut.
    const QString forty = QString(19, u'x') + " " + QString(20, u'y');
    EXPECT_EQ(shortenedTitle(forty + " tail"), forty);
    // 41 characters after the first cut: cut again.
    const QString fortyOne = QString(20, u'x') + " " + QString(20, u'y');
    EXPECT_EQ(shortenedTitle(fortyOne + " tail"), QString(20, u'x'));
    // Double blanks and a trailing blank are cut exactly where they stand.
    EXPECT_EQ(shortenedTitle(QStringLiteral("Two  Blanks")), "Two ");
    EXPECT_EQ(shortenedTitle(QStringLiteral("Trailing ")), "Trailing");
    EXPECT_EQ(shortenedTitle(QStringLiteral(" Lead")), "");
    // A tab is not a blank.
    EXPECT_EQ(shortenedTitle(QStringLiteral("a\tb c")), "a\tb");
}

TEST(ApplicationTitleTest, NameThatRunsOutOfBlanksRaisesError5) {
    EXPECT_EQ(errorNumberOf(QStringLiteral("Dravena")), errnum::InvalidCall);
    EXPECT_EQ(errorNumberOf(QString()), errnum::InvalidCall);
    // One blank, but the word before it is still longer than 40 characters.
    EXPECT_EQ(errorNumberOf(QString(45, u'w') + " end"), errnum::InvalidCall);
}
