#include "Statements.h"

#include "ColumnValues.h"
#include "ObjectNames.h"
#include "ValueText.h"

#include <QRegularExpression>

#include <algorithm>

namespace dravena {

QString quotedName(const QString& name) {
    QString quoted;
    quoted.reserve(name.size() + 2);
    quoted += u'"';
    for (const QChar c : name) {
        if (c == u'"')
            quoted += u'"';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

QString dropTableStatement(const QString& table) {
    return QStringLiteral("DROP TABLE ") + quotedName(table);
}

QString renameTableStatement(const QString& table, const QString& newName) {
    return QStringLiteral("RENAME ") + quotedName(table) + QStringLiteral(" TO ") +
           quotedName(newName);
}

QString alterTableRenameStatement(const QString& table, const QString& newName) {
    return QStringLiteral("ALTER TABLE ") + quotedName(table) + QStringLiteral(" RENAME TO ") +
           quotedName(newName);
}

namespace {
constexpr qsizetype LoadingNameBytes = 30;
} // namespace

QString loadingTableName(const QString& table) {
    constexpr qsizetype MostBytes = LoadingNameBytes;
    const QByteArray utf8 = table.toUtf8();
    const QString name =
        QStringLiteral("DRAVENA_%1_").arg(fnv1a(utf8), 8, 16, QLatin1Char('0')).toUpper();
    return name + utf8Prefix(utf8, MostBytes - name.size());
}

QString tableOfLoadingName(const QString& name) {
    static const QRegularExpression form(QStringLiteral("^DRAVENA_[0-9A-F]{8}_(.+)$"));
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return {};
    const QString start = match.captured(1);
    if (loadingTableName(start) == name)
        return start;
    // A longer name was cut at a character's edge, at most three bytes short of the limit.
    if (name.toUtf8().size() > LoadingNameBytes - 4)
        return start + QStringLiteral("...");
    return {};
}

namespace {

const QString CompleteCopyMark = QStringLiteral("dravena complete copy of ");

QString textLiteral(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

} // namespace

QString markCompleteStatement(const QString& loading, const QString& table) {
    return QStringLiteral("COMMENT ON TABLE ") + quotedName(loading) + QStringLiteral(" IS ") +
           textLiteral(CompleteCopyMark + table);
}

QString clearMarkStatement(const QString& table) {
    return QStringLiteral("COMMENT ON TABLE ") + quotedName(table) + QStringLiteral(" IS ''");
}

QString completeCopiesQuery() {
    return QStringLiteral("SELECT table_name, comments FROM user_tab_comments WHERE comments "
                          "LIKE ") +
           textLiteral(CompleteCopyMark + u'%');
}

QString completeCopyOf(const QString& comment) {
    return comment.startsWith(CompleteCopyMark) ? comment.mid(CompleteCopyMark.size()) : QString();
}

QString tableCommentQuery(const QString& table) {
    return QStringLiteral("SELECT comments FROM user_tab_comments WHERE table_name = ") +
           textLiteral(table);
}

QString tableNamedQuery(const QString& table) {
    return QStringLiteral("SELECT table_name FROM user_tables WHERE table_name = ") +
           textLiteral(table);
}

QString selectAllStatement(const QString& table) {
    return QStringLiteral("SELECT * FROM ") + quotedName(table);
}

QString createTableStatement(const QString& table, const std::vector<ColumnDefinition>& columns) {
    QString text = QStringLiteral("CREATE TABLE ") + quotedName(table) + u'(';
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            text += u',';
        text += quotedName(columns[i].name);
        text += u' ';
        text += columns[i].type;
    }
    text += u')';
    return text;
}

InsertStatementBuilder::InsertStatementBuilder(const QString& table, std::vector<bool> blobColumns,
                                               LongValues longValues)
    : prefix_("INSERT INTO " + quotedName(table).toStdString() + " VALUES("),
      blobColumns_(std::move(blobColumns)), longValues_(longValues) {}

InsertStatementBuilder::InsertStatementBuilder(const QString& table,
                                               const std::vector<ColumnPlan>& columns,
                                               LongValues longValues)
    : InsertStatementBuilder(table, blobColumnsOf(columns), longValues) {
    for (const ColumnPlan& column : columns)
        if (column.typed) {
            typed_ = columns;
            break;
        }
}

void InsertStatementBuilder::begin() {
    text_.clear();
    text_ += prefix_;
    column_ = 0;
    parameters_.clear();
}

bool InsertStatementBuilder::bindsBytes(const Value& value) const {
    const auto* bytes = std::get_if<paradox::Bytes>(&value);
    return longValues_ == LongValues::Bind && bytes != nullptr && column_ < blobColumns_.size() &&
           blobColumns_[column_] && 2 * bytes->size() > MaxLiteralBytes;
}

void InsertStatementBuilder::appendValue(const Value& value) {
    if (column_ > 0)
        text_ += ", ";
    if (bindsBytes(value)) {
        const auto& bytes = std::get<paradox::Bytes>(value);
        parameters_.emplace_back(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
        text_ += '?';
        ++column_;
        return;
    }
    if (column_ < typed_.size() && !writtenAsQuotedText(typed_[column_])) {
        appendTypedLiteral(text_, typed_[column_++], value);
        return;
    }
    ++column_;
    const std::size_t start = text_.size();
    text_ += '\'';
    appendValueText(text_, value);
    const std::size_t valueStart = start + 1;
    if (text_.size() == valueStart) {
        text_.resize(start);
        text_ += "NULL";
        return;
    }
    const auto apostrophes = static_cast<std::size_t>(
        std::count(text_.begin() + static_cast<std::ptrdiff_t>(valueStart), text_.end(), '\''));
    if (longValues_ == LongValues::Bind &&
        text_.size() - valueStart + apostrophes > MaxLiteralBytes) {
        parameters_.emplace_back(QString::fromUtf8(
            text_.data() + valueStart, static_cast<qsizetype>(text_.size() - valueStart)));
        text_.resize(start);
        text_ += '?';
        return;
    }
    if (apostrophes > 0) {
        // Double them in place, moving from the back.
        std::size_t from = text_.size();
        text_.resize(from + apostrophes);
        std::size_t to = text_.size();
        while (from > valueStart) {
            const char c = text_[--from];
            text_[--to] = c;
            if (c == '\'')
                text_[--to] = c;
        }
    }
    text_ += '\'';
}

InsertStatement InsertStatementBuilder::finish() {
    text_ += ')';
    return {QString::fromUtf8(text_.data(), static_cast<qsizetype>(text_.size())),
            std::move(parameters_)};
}

InsertStatement InsertStatementBuilder::statement(std::span<const Value> row) {
    begin();
    for (const Value& value : row)
        appendValue(value);
    return finish();
}

} // namespace dravena
