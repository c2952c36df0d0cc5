#include "CheckReport.h"

#include "Options.h"

#include <algorithm>
#include <optional>

namespace dravena::cli {

namespace {

constexpr qsizetype ShownCharacters = 40;

constexpr qsizetype ShownBeforeParting = 10;

// The value as a report shows it: its first ShownCharacters characters (bytes: hexadecimal
// digits), or as many from the character (byte) `from` on.
QString shownValue(const std::optional<std::string>& value, ColumnKind kind, qsizetype from = 0) {
    if (!value)
        return QStringLiteral("NULL");
    QString text = QString::fromStdString(*value);
    const QString before = from > 0 ? QString(QChar(0x2026)) : QString();
    if (kind == ColumnKind::Bytes) {
        const QString bytes = QStringLiteral(" (%1 bytes)").arg(text.size() / 2);
        text = text.mid(2 * from);
        return QStringLiteral("0x") + before +
               (text.size() > ShownCharacters ? text.left(ShownCharacters) + QChar(0x2026) : text) +
               bytes;
    }
    text = before + text.mid(from);
    if (text.size() > ShownCharacters)
        text = text.left(ShownCharacters) + QChar(0x2026);
    if (kind == ColumnKind::Text)
        return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
    return text;
}

// Two long texts or byte strings that differ: where they part (0-based, in characters or bytes)
// and both lengths; nothing when either is missing or both are short enough to be shown whole.
struct Parting {
    qsizetype at = 0;
    qsizetype here = 0;
    qsizetype there = 0;
};
std::optional<Parting> parting(const std::optional<std::string>& here,
                               const std::optional<std::string>& there, ColumnKind kind) {
    if (!here || !there || (kind != ColumnKind::Text && kind != ColumnKind::Bytes))
        return std::nullopt;
    const QString a = QString::fromStdString(*here);
    const QString b = QString::fromStdString(*there);
    const qsizetype unit = kind == ColumnKind::Bytes ? 2 : 1;
    if (a.size() <= ShownCharacters && b.size() <= ShownCharacters)
        return std::nullopt;
    qsizetype at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return Parting{at / unit, a.size() / unit, b.size() / unit};
}

std::optional<std::string> fieldOf(const ComparedRow::Fields& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::nullopt;
}

// "Name": 'abc' here, 'abd' there; ... for the fields that differ, or every field when there is
// no row to set it against.
QString rowFields(const TableCheck& check, const UnmatchedRow& row, const char* here,
                  const char* there) {
    QStringList fields;
    for (std::size_t i = 0; i < check.columns.size(); ++i) {
        const ColumnPlan& column = check.columns[i];
        const ColumnKind kind = columnKindOf(column);
        const auto value = fieldOf(row.values, i);
        const QString name = u'"' + column.name + u'"';
        if (row.closest.empty()) {
            fields.append(name + u' ' + shownValue(value, kind));
            continue;
        }
        const auto other = fieldOf(row.closest, i);
        if (value == other)
            continue;
        const auto part = parting(value, other, kind);
        const qsizetype from = part ? std::max<qsizetype>(part->at - ShownBeforeParting, 0) : 0;
        QString field = QStringLiteral("%1: %2 %3, %4 %5")
                            .arg(name, QLatin1String(here), shownValue(value, kind, from),
                                 QLatin1String(there), shownValue(other, kind, from));
        if (part)
            field += QStringLiteral(" (they part at %1 %2; %3 %4, %5 %6)")
                         .arg(kind == ColumnKind::Bytes ? QStringLiteral("byte")
                                                        : QStringLiteral("character"))
                         .arg(part->at + 1)
                         .arg(QLatin1String(here))
                         .arg(part->here)
                         .arg(QLatin1String(there))
                         .arg(part->there);
        fields.append(field);
    }
    return fields.join(QStringLiteral("; "));
}

QString paradoxRowLine(const TableCheck& check, const UnmatchedRow& row) {
    const QString head =
        QStringLiteral("  row %1 only in the Paradox table").arg(row.paradoxRow + 1);
    if (row.closest.empty())
        return head + QStringLiteral(": ") + rowFields(check, row, "", "");
    return head + QStringLiteral("; the most alike server row differs in ") +
           rowFields(check, row, "Paradox", "server");
}

QString serverRowLine(const TableCheck& check, const UnmatchedRow& row) {
    if (row.closest.empty())
        return QStringLiteral("  a row only on the server: ") + rowFields(check, row, "", "");
    return QStringLiteral("  a row only on the server; it differs from Paradox row %1 in ")
               .arg(row.closestParadoxRow + 1) +
           rowFields(check, row, "server", "Paradox");
}

QString columnLine(const ColumnDifference& column) {
    const QString name = u'"' + column.name + u'"';
    if (column.serverType.isEmpty())
        return QStringLiteral("  column %1 is not on the server (send creates %2)")
            .arg(name, column.sendType);
    if (column.sendType.isEmpty())
        return QStringLiteral("  column %1 (%2) is only on the server")
            .arg(name, column.serverType);
    return QStringLiteral("  column %1: send creates %2, the server's is %3")
        .arg(name, column.sendType, column.serverType);
}

} // namespace

QStringList checkReport(const QString& table, const TableCheck& check) {
    if (!check.failure.isEmpty())
        return {table + QStringLiteral(": not compared: ") + check.failure};
    const RowMatch& rows = check.rows;
    QStringList lines;
    if (check.identical())
        lines.append(QStringLiteral("%1: identical, %2 on each side")
                         .arg(table, counted(rows.paradoxRows, "row", "rows")));
    else if (check.sidesMatch())
        lines.append(QStringLiteral("%1: not every value of %1 could be read; the values read "
                                    "are identical, %2 on each side")
                         .arg(table, counted(rows.paradoxRows, "row", "rows")));
    else
        lines.append(QStringLiteral("%1: differs: %2 in the Paradox table, %3 on the server; %4 "
                                    "only in the Paradox table, %5 only on the server")
                         .arg(table, counted(rows.paradoxRows, "row", "rows"))
                         .arg(rows.serverRows)
                         .arg(rows.onlyInParadox)
                         .arg(rows.onlyOnServer));
    for (const QString& problem : check.readingProblems)
        lines.append(QStringLiteral("  warning: %1").arg(problem));
    for (const ColumnDifference& column : check.columnDifferences)
        lines.append(columnLine(column));
    for (const QString& object : check.objectDifferences)
        lines.append(QStringLiteral("  ") + object);
    for (const QString& note : check.objectNotes)
        lines.append(QStringLiteral("  note: ") + note);
    for (const UnmatchedRow& row : rows.paradoxShown)
        lines.append(paradoxRowLine(check, row));
    for (const UnmatchedRow& row : rows.serverShown)
        lines.append(serverRowLine(check, row));
    return lines;
}

} // namespace dravena::cli
