#include "WildcardPattern.h"

namespace dravena {

namespace {

QString toExpression(const QString& pattern) {
    QString expression;
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression::anchoredPattern(expression);
}

} // namespace

WildcardPattern::WildcardPattern(const QString& pattern)
    : expression_(toExpression(pattern), QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::DotMatchesEverythingOption) {}

bool WildcardPattern::matches(const QString& name) const {
    return expression_.match(name).hasMatch();
}

} // namespace dravena
