#include "TableInspection.h"

#include "ColumnValues.h"
#include "ObjectNames.h"
#include "Statements.h"
#include "TablePlan.h"
#include "TableStatements.h"
#include "TypeMapping.h"
#include "ValueText.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"
#include "paradox/TableReader.h"

#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace dravena {

namespace {

using paradox::Date;
using paradox::FieldType;
using paradox::Time;
using paradox::Timestamp;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Findings that gather rows: one per key, the text of its first row kept.
class Findings {
public:
    void note(const QString& key, const QString& kind, const QString& text, bool loses,
              std::int64_t row) {
        auto [at, added] = index_.try_emplace(key, list_.size());
        if (added)
            list_.push_back({kind, text, {}, 0, loses});
        InspectionFinding& finding = list_[at->second];
        if (finding.rows.size() < RowsNamedPerFinding)
            finding.rows.push_back(row);
        ++finding.count;
    }
    void add(const QString& kind, const QString& text, bool loses) {
        list_.push_back({kind, text, {}, 0, loses});
    }
    std::vector<InspectionFinding>& list() { return list_; }

private:
    std::vector<InspectionFinding> list_;
    std::map<QString, std::size_t> index_;
};

// Whether text read from the table holds a byte the code page read has no character for.
bool hasNoCharacter(const std::string& text) {
    return text.find("\xEF\xBF\xBD") != std::string::npos;
}

// What makes a text look decoded in the wrong character set: a control character (tabs and
// line breaks aside), a box-drawing or block character next to a letter, or another symbol
// between two letters ("F№nfter": a Windows "ü" read as DOS Cyrillic); "" for none.
QString suspectText(const std::string& utf8) {
    const QString text = fromUtf8(utf8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || (c >= 0x7F && c <= 0x9F))
            return QStringLiteral("the control character U+") +
                   QString::number(c, 16).toUpper().rightJustified(4, u'0');
        if (c >= 0x2500 && c <= 0x25FF &&
            ((i > 0 && text[i - 1].isLetter()) || (i + 1 < text.size() && text[i + 1].isLetter())))
            return QStringLiteral("'%1' in a word").arg(text[i]);
        if (text[i].category() == QChar::Symbol_Other && i > 0 && text[i - 1].isLetter() &&
            i + 1 < text.size() && text[i + 1].isLetter())
            return QStringLiteral("'%1' in a word").arg(text[i]);
    }
    return {};
}

bool isBlobType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo ||
           type == FieldType::Ole || type == FieldType::Graphic;
}

// A value as rows are matched on it: numbers of any kind alike ("5", "5.0", 5.0 are one), texts
// in capitals when asked; NULL apart from every value.
std::string keyText(const Value& value, bool capitals) {
    if (isNull(value))
        return "\x1e";
    if (const auto* text = std::get_if<std::string>(&value))
        return capitals ? fromUtf8(*text).toUpper().toStdString() : *text;
    std::string digits;
    if (const auto* d = std::get_if<paradox::Decimal>(&value))
        digits = d->text;
    else if (const auto* n = std::get_if<double>(&value))
        digits = valueTextUtf8(*n);
    else
        return valueTextUtf8(value);
    if (digits.find('.') != std::string::npos && digits.find_first_of("eE") == std::string::npos) {
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
    }
    return digits == "-0" ? "0" : digits;
}

std::string rowKey(const std::vector<Value>& row, const std::vector<int>& fields, bool capitals) {
    std::string key;
    for (int f : fields) {
        key += keyText(row[static_cast<std::size_t>(f)], capitals);
        key += '\x1f';
    }
    return key;
}

std::optional<double> numberOf(const Value& value) {
    if (const auto* n = std::get_if<std::int64_t>(&value))
        return static_cast<double>(*n);
    if (const auto* n = std::get_if<double>(&value))
        return *n;
    if (const auto* d = std::get_if<paradox::Decimal>(&value))
        return std::strtod(d->text.c_str(), nullptr);
    if (const auto* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    return std::nullopt;
}

using Moment = std::tuple<int, int, int, int, int, int, int>;
std::optional<Moment> momentOf(const Value& value) {
    const auto of = [](const Date& d, const Time& t) {
        return Moment{d.year, d.month, d.day, t.hour, t.minute, t.second, t.millisecond};
    };
    if (const auto* d = std::get_if<Date>(&value))
        return of(*d, Time{});
    if (const auto* t = std::get_if<Time>(&value))
        return of(Date{}, *t);
    if (const auto* s = std::get_if<Timestamp>(&value))
        return of(s->date, s->time);
    return std::nullopt;
}

// -1, 0 or 1 as a is below, equal to or above b; nothing when they cannot be compared.
std::optional<int> compareValues(const Value& a, const Value& b) {
    const auto order = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (const auto x = numberOf(a), y = numberOf(b); x && y)
        return order(*x, *y);
    if (const auto x = momentOf(a), y = momentOf(b); x && y)
        return order(*x, *y);
    const auto* x = std::get_if<std::string>(&a);
    const auto* y = std::get_if<std::string>(&b);
    if (x != nullptr && y != nullptr)
        return order(*x, *y);
    return std::nullopt;
}

// The rows that break one object of the carried schema, found as the rows go by.
class RuleCheck {
public:
    explicit RuleCheck(const SchemaObject& object) : object_(object) {
        const DataRule& rule = object.rule;
        if (rule.kind != DataRule::Kind::Reference)
            return;
        try {
            paradox::TableReader master(rule.masterFile);
            std::vector<Value> row;
            while (master.next(row))
                masterKeys_.insert(rowKey(row, rule.masterFields, false));
            masterRead_ = true;
        } catch (const std::exception&) {
            // The plan tells a master that cannot be read; its rows are not checked here.
        }
    }

    void check(const std::vector<Value>& row, std::int64_t number, Findings& findings) {
        const DataRule& rule = object_.rule;
        const auto blank = [&](int f) { return isNull(row[static_cast<std::size_t>(f)]); };
        const bool anyBlank = std::any_of(rule.fields.begin(), rule.fields.end(), blank);
        const bool allBlank = std::all_of(rule.fields.begin(), rule.fields.end(), blank);
        switch (rule.kind) {
        case DataRule::Kind::None:
            return;
        case DataRule::Kind::Key:
            if (anyBlank)
                return note(findings, "blank", "rows with a blank key field", number);
            return repeated(row, number, findings);
        case DataRule::Kind::Unique:
            if (!allBlank)
                repeated(row, number, findings);
            return;
        case DataRule::Kind::Required:
            if (anyBlank)
                note(findings, "blank", "rows with the field blank", number);
            return;
        case DataRule::Kind::Range: {
            if (anyBlank)
                return;
            const Value& value = row[static_cast<std::size_t>(rule.fields.front())];
            const auto below = compareValues(value, rule.minimum);
            const auto above = compareValues(value, rule.maximum);
            if ((below && *below < 0) || (above && *above > 0))
                note(findings, "range", "rows with a value outside the range", number);
            return;
        }
        case DataRule::Kind::Reference:
            if (masterRead_ && !anyBlank && !masterKeys_.contains(rowKey(row, rule.fields, false)))
                note(findings, "orphan", "rows whose key the master table does not hold", number);
            return;
        }
    }

private:
    void repeated(const std::vector<Value>& row, std::int64_t number, Findings& findings) {
        if (!seen_.insert(rowKey(row, object_.rule.fields, object_.rule.caseInsensitive)).second)
            note(findings, "duplicate", "rows repeating the key of an earlier row", number);
    }
    void note(Findings& findings, const char* key, const char* what, std::int64_t row) {
        findings.note(object_.description + QLatin1String(key), QStringLiteral("object"),
                      object_.description + QStringLiteral(": ") + QLatin1String(what), true, row);
    }

    const SchemaObject& object_;
    std::unordered_set<std::string> seen_;
    std::unordered_set<std::string> masterKeys_;
    bool masterRead_ = false;
};

// The plain mapping's columns as send creates them from the Paradox driver's record set; the
// names cut to fit go to `cuts`.
std::vector<ColumnPlan> plainColumns(const QString& folder, const QString& entry,
                                     const NameLimit& names, QStringList& cuts) {
    const auto connection = dataAccess().createConnection();
    const auto recordset = dataAccess().createRecordset();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(paradoxConnectionString(folder));
    const QString select = selectAllStatement(entry);
    recordset->open(select, *connection);
    std::vector<ColumnPlan> columns =
        recordsetColumns(*recordset, *connection, select, names, &cuts);
    recordset->close();
    connection->close();
    return columns;
}

std::vector<InspectedColumn> inspected(const std::vector<ColumnPlan>& plans,
                                       const std::vector<paradox::Field>& fields) {
    std::vector<InspectedColumn> columns;
    for (std::size_t i = 0; i < plans.size(); ++i)
        columns.push_back({i < fields.size() ? fromUtf8(fields[i].name) : plans[i].name,
                           plans[i].name, columnTypeText(plans[i])});
    return columns;
}

class Inspector {
public:
    Inspector(TableInspection& out, const QString& folder, const QString& tablePath, bool full,
              const NameLimit& names)
        : out_(out), full_(full), names_(names) {
        const TablePlace place = splitTablePath(tablePath);
        folder_ = place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder);
        entry_ = place.entry;
        out_.table = tablePath;
        out_.server = fittedName(entry_, names_);
    }

    // A table that cannot be read, from its file to its last row, is unreadable with the reason.
    void run() {
        try {
            const std::optional<QString> file = findTableFileOfPath(folder_, entry_);
            if (!file)
                throw RuntimeError(errnum::FileNotFound, QStringLiteral("no table file"));
            dbFile_ = file->toStdString();
            read();
        } catch (const std::exception& e) {
            out_.readable = false;
            findings_.add(QStringLiteral("unreadable"), QString::fromUtf8(e.what()), true);
        }
    }

    std::vector<InspectionFinding> findings() { return std::move(findings_.list()); }

private:
    void read() {
        paradox::TableReader reader(dbFile_);
        const paradox::TableInfo& info = reader.info();
        out_.level = info.version;
        out_.codePage = info.codePage;
        out_.encoding = fromUtf8(info.encoding);
        out_.encrypted = info.encrypted;
        out_.headerRecords = static_cast<std::int64_t>(info.headerRecords);
        const std::vector<paradox::Field>& fields = reader.fields();
        if (out_.server != entry_)
            findings_.add(QStringLiteral("name"),
                          nameCutLine(QStringLiteral("table"), entry_, out_.server, names_), false);
        planColumns(fields);
        companions(fields, info, reader.recordCount());
        std::vector<RuleCheck> rules;
        if (full_) {
            for (const SchemaObject& object : plan_.objects)
                rules.emplace_back(object);
            for (const ForeignKeyPlan& key : plan_.foreignKeys)
                rules.emplace_back(key.object);
        }
        std::vector<Value> row;
        std::int64_t number = 0;
        while (reader.next(row)) {
            ++number;
            values(row, number, fields);
            for (RuleCheck& rule : rules)
                rule.check(row, number, findings_);
        }
        out_.records = number;
        out_.readable = true;
        readingWarnings(reader);
    }

    // The columns of each mapping, the names they cut and what the full plan leaves out.
    void planColumns(const std::vector<paradox::Field>& fields) {
        QStringList cuts;
        try {
            plain_ = plainColumns(folder_, entry_, names_, cuts);
            out_.plainColumns = inspected(plain_, fields);
        } catch (const RuntimeError& error) {
            findings_.add(QStringLiteral("reading"),
                          QStringLiteral("the plain columns could not be planned: ") +
                              error.description(),
                          true);
        }
        try {
            plan_ = planTable(out_.server, dbFile_, names_);
        } catch (const RuntimeError& error) {
            findings_.add(QStringLiteral("reading"),
                          QStringLiteral("the carried schema could not be planned: ") +
                              error.description(),
                          full_);
            for (const paradox::Field& field : fields)
                plan_.columns.push_back(typedColumnPlan(field));
        }
        if (full_)
            out_.fullColumns = inspected(plan_.columns, fields);
        for (const QString& cut : plan_.nameCuts)
            if (!cuts.contains(cut))
                cuts.append(cut);
        for (const QString& cut : cuts)
            findings_.add(QStringLiteral("name"), cut, false);
        // What the carried schema leaves out costs objects only when it is carried.
        const auto kind = [&](const QString& line) {
            return plan_.companionFaults.contains(line) ? QStringLiteral("companion")
                                                        : QStringLiteral("schema");
        };
        for (const QString& warning : plan_.warnings)
            findings_.add(kind(warning),
                          full_ || kind(warning) == QLatin1String("companion")
                              ? warning
                              : QStringLiteral("with --schema full: ") + warning,
                          false);
        for (const QString& missing : plan_.notCarried)
            findings_.add(full_ ? QStringLiteral("not carried") : kind(missing),
                          full_ ? missing
                                : QStringLiteral("with --schema full, not carried: ") + missing,
                          full_);
    }

    void companions(const std::vector<paradox::Field>& fields, const paradox::TableInfo& info,
                    std::uint64_t records) {
        QStringList blobFields;
        for (const paradox::Field& field : fields)
            if (isBlobType(field.type))
                blobFields.append(u'"' + fromUtf8(field.name) + u'"');
        if (!blobFields.isEmpty() && !info.hasMemoFile)
            findings_.add(QStringLiteral("companion"),
                          QStringLiteral("no readable .MB file beside the table, which has "
                                         "memo/BLOB fields (%1): their values outside the record "
                                         "are lost")
                              .arg(blobFields.join(QStringLiteral(", "))),
                          records > 0);
    }

    void values(const std::vector<Value>& row, std::int64_t number,
                const std::vector<paradox::Field>& fields) {
        for (std::size_t i = 0; i < row.size() && i < fields.size(); ++i) {
            const Value& value = row[i];
            const QString field = u'"' + fromUtf8(fields[i].name) + u'"';
            if (const auto* text = std::get_if<std::string>(&value)) {
                if (hasNoCharacter(*text)) {
                    ++noCharacterValues_;
                    findings_.note(QStringLiteral("no character ") + field,
                                   QStringLiteral("no character"),
                                   QStringLiteral("field %1: bytes with no character in %2 (the "
                                                  "value is not carried exactly)")
                                       .arg(field, out_.encoding),
                                   true, number);
                } else if (const QString why = suspectText(*text); !why.isEmpty()) {
                    findings_.note(QStringLiteral("suspect ") + field,
                                   QStringLiteral("suspect text"),
                                   QStringLiteral("field %1: text that looks read in the wrong "
                                                  "character set (the first holds %2)")
                                       .arg(field, why),
                                   false, number);
                }
                if (i < plain_.size() && plain_[i].kind == PlanKind::LongText &&
                    fromUtf8(*text).size() > TextColumnCharacters)
                    findings_.note(QStringLiteral("long ") + field, QStringLiteral("long text"),
                                   QStringLiteral("field %1: texts longer than %2 characters "
                                                  "make its plain column an NCLOB")
                                       .arg(field)
                                       .arg(TextColumnCharacters),
                                   false, number);
            }
            // The mapping in use decides: a plain column takes a date of any year as text.
            const std::vector<ColumnPlan>& mapped = full_ ? plan_.columns : plain_;
            if (i < mapped.size())
                if (const auto refusal = valueRefusal(mapped[i], value))
                    findings_.note(QStringLiteral("refused ") + field, QStringLiteral("refused"),
                                   QStringLiteral("field %1: values the server refuses (the "
                                                  "first: %2)")
                                       .arg(field, *refusal),
                                   true, number);
        }
    }

    // What the reading met: values it could not read (delivered as NULL) and oddities of the
    // file; bytes without a character are told by field above.
    void readingWarnings(const paradox::TableReader& reader) {
        for (const std::string& warning : reader.warnings()) {
            if (warning.find("no character in") != std::string::npos)
                continue;
            findings_.add(QStringLiteral("reading"), fromUtf8(warning), false);
        }
        const std::int64_t lost = reader.lostValueCount() - noCharacterValues_;
        if (lost > 0) {
            findings_.add(QStringLiteral("not read"),
                          QStringLiteral("%1 values could not be read (send would carry NULL "
                                         "in their place)")
                              .arg(lost),
                          true);
            findings_.list().back().count = lost;
        }
    }

    TableInspection& out_;
    bool full_;
    NameLimit names_;
    QString folder_;
    QString entry_;
    std::filesystem::path dbFile_;
    std::vector<ColumnPlan> plain_;
    TablePlan plan_;
    Findings findings_;
    std::int64_t noCharacterValues_ = 0;
};

} // namespace

bool TableInspection::losesOrRefuses() const {
    return std::any_of(findings.begin(), findings.end(),
                       [](const InspectionFinding& f) { return f.loses; });
}

TableInspection inspectTable(const QString& folder, const QString& tablePath, bool fullSchema,
                             const NameLimit& names) {
    TableInspection inspection;
    Inspector inspector(inspection, folder, tablePath, fullSchema, names);
    inspector.run();
    inspection.findings = inspector.findings();
    return inspection;
}

QString columnsText(const std::vector<InspectedColumn>& columns) {
    QStringList parts;
    for (const InspectedColumn& column : columns)
        parts.append(QStringLiteral("\"%1\" %2").arg(column.name, column.type));
    return parts.join(QStringLiteral(", "));
}

} // namespace dravena
