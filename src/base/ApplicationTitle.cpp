#include "ApplicationTitle.h"

#include "Product.h"
#include "RuntimeError.h"

namespace dravena {

namespace {

constexpr qsizetype MaximumTitleLength = 40;

QString& storedTitle() {
    static QString title;
    return title;
}

} // namespace

QString shortenedTitle(const QString& productName) {
    QString title = productName;
    do {
        const qsizetype blank = title.lastIndexOf(u' ');
        if (blank < 0)
            throw RuntimeError(errnum::InvalidCall,
                               QStringLiteral("Invalid procedure call or argument"));
        title.truncate(blank);
    } while (title.size() > MaximumTitleLength);
    return title;
}

void SetApplicationTitle() {
    storedTitle() = shortenedTitle(QString::fromUtf8(ProductName));
}

const QString& applicationTitle() {
    return storedTitle();
}

} // namespace dravena
