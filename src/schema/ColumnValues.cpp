#include "ColumnValues.h"

#include "ValueText.h"

#include <cmath>

namespace dravena {

namespace {

using paradox::Date;
using paradox::Time;
using paradox::Timestamp;

// The largest magnitude an Oracle NUMBER holds is below 1e126.
constexpr double NumberLimit = 1e126;

bool yearFits(const Date& date) {
    return date.year >= 1 && date.year <= 9999;
}

void appendTimeOfDay(std::string& out, const Time& time) {
    appendValueText(out, Time{time.hour, time.minute, time.second, 0});
    const int ms = time.millisecond;
    out += '.';
    out += static_cast<char>('0' + ms / 100);
    out += static_cast<char>('0' + ms / 10 % 10);
    out += static_cast<char>('0' + ms % 10);
}

bool isEmpty(const Value& value) {
    const auto* text = std::get_if<std::string>(&value);
    return isNull(value) || (text != nullptr && text->empty());
}

} // namespace

std::optional<QString> typedValueRefusal(const ColumnPlan& plan, const Value& value) {
    const Date* date = nullptr;
    if (const auto* d = std::get_if<Date>(&value))
        date = d;
    else if (const auto* t = std::get_if<Timestamp>(&value))
        date = &t->date;
    if (date != nullptr && !yearFits(*date))
        return QStringLiteral("a %1 column cannot hold the year %2")
            .arg(columnTypeText(plan))
            .arg(date->year);
    if (const auto* number = std::get_if<double>(&value);
        number != nullptr && plan.kind == PlanKind::Number && !(std::fabs(*number) < NumberLimit))
        return QStringLiteral("a NUMBER column cannot hold %1")
            .arg(QString::fromStdString(valueTextUtf8(value)));
    return std::nullopt;
}

std::string typedValueText(const ColumnPlan& plan, const Value& value) {
    std::string text;
    appendTypedValueText(text, plan, value);
    return text;
}

void appendTypedValueText(std::string& out, const ColumnPlan& plan, const Value& value) {
    if (isEmpty(value))
        return;
    if (const auto* flag = std::get_if<bool>(&value)) {
        out += *flag ? '1' : '0';
    } else if (const auto* number = std::get_if<double>(&value);
               number != nullptr && plan.kind == PlanKind::BinaryDouble &&
               !std::isfinite(*number)) {
        out += std::isnan(*number) ? "NaN" : (*number < 0 ? "-Inf" : "Inf");
    } else if (const auto* time = std::get_if<Time>(&value)) {
        out += "0 ";
        appendTimeOfDay(out, *time);
    } else if (const auto* stamp = std::get_if<Timestamp>(&value)) {
        appendValueText(out, stamp->date);
        out += ' ';
        appendTimeOfDay(out, stamp->time);
    } else {
        appendValueText(out, value);
    }
}

bool writtenAsQuotedText(const ColumnPlan& plan) {
    return !plan.typed || plan.kind == PlanKind::Text || plan.kind == PlanKind::LongText ||
           plan.kind == PlanKind::Bytes;
}

void appendTypedLiteral(std::string& sql, const ColumnPlan& plan, const Value& value) {
    const std::string text = typedValueText(plan, value);
    if (text.empty()) {
        sql += "NULL";
        return;
    }
    const char* before = "";
    const char* after = "";
    switch (plan.kind) {
    case PlanKind::BinaryDouble:
        before = "TO_BINARY_DOUBLE('";
        after = "')";
        break;
    case PlanKind::Date:
        before = "DATE '";
        after = "'";
        break;
    case PlanKind::Time:
        before = "INTERVAL '";
        after = "' DAY TO SECOND(3)";
        break;
    case PlanKind::Timestamp:
        before = "TIMESTAMP '";
        after = "'";
        break;
    default:
        break;
    }
    sql += before;
    sql += text;
    sql += after;
}

QString typedLiteral(const ColumnPlan& plan, const Value& value) {
    std::string sql;
    if (!writtenAsQuotedText(plan)) {
        appendTypedLiteral(sql, plan, value);
    } else if (const std::string text =
                   plan.typed ? typedValueText(plan, value) : valueTextUtf8(value);
               text.empty()) {
        sql = "NULL";
    } else {
        sql += '\'';
        for (const char c : text) {
            sql += c;
            if (c == '\'')
                sql += c;
        }
        sql += '\'';
    }
    return QString::fromUtf8(sql.data(), static_cast<qsizetype>(sql.size()));
}

void bindTypedValue(ArrayValue& slot, const ColumnPlan& plan, const Value& value) {
    const auto* bytes = std::get_if<paradox::Bytes>(&value);
    const auto* number = std::get_if<std::int64_t>(&value);
    const auto* flag = std::get_if<bool>(&value);
    if (isEmpty(value) || (bytes != nullptr && bytes->empty()))
        slot = std::monostate{};
    else if (number != nullptr && plan.kind == PlanKind::Integer)
        slot = *number;
    else if (flag != nullptr && plan.kind == PlanKind::Logical)
        slot = std::int64_t{*flag ? 1 : 0};
    else if (bytes != nullptr && plan.kind == PlanKind::Bytes)
        boundRoom<paradox::Bytes>(slot).assign(bytes->begin(), bytes->end());
    else
        appendTypedValueText(boundRoom<std::string>(slot), plan, value);
}

} // namespace dravena
