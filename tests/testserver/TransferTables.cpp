#include "TransferTables.h"

#include "paradoxwriter/TableWriter.h"

#include <QDir>
#include <QFile>

namespace dravena::testing {

namespace {

using paradox::FieldType;
using paradox::Value;

std::filesystem::path pathOf(const QString& file) {
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// A text of `length` characters with apostrophes and characters outside ASCII.
std::string longText(int length) {
    static const char16_t pattern[] = u"it's €uro, “Grüße” — ok; ";
    QString text;
    while (text.size() < length)
        text += QString::fromUtf16(pattern);
    return text.left(length).toStdString();
}

paradox::Bytes bytes(std::size_t count) {
    paradox::Bytes b(count);
    for (std::size_t i = 0; i < count; ++i)
        b[i] = static_cast<std::uint8_t>(i * 7);
    return b;
}

} // namespace

void writeKinds(const QString& file) {
    paradox::TableWriter table(pathOf(file), {{"Id", FieldType::AutoIncrement, 4},
                                              {"Name", FieldType::Alpha, 40},
                                              {"Notes", FieldType::Memo, 20},
                                              {"Picture", FieldType::Blob, 10},
                                              {"Amount", FieldType::Bcd, 6},
                                              {"Whole", FieldType::Bcd, 0},
                                              {"Ratio", FieldType::Number, 8},
                                              {"Price", FieldType::Money, 8},
                                              {"Count", FieldType::Short, 2},
                                              {"Big", FieldType::Long, 4},
                                              {"Flag", FieldType::Logical, 1},
                                              {"Day", FieldType::Date, 4},
                                              {"At", FieldType::Time, 4},
                                              {"Stamp", FieldType::Timestamp, 8},
                                              {"Code", FieldType::Bytes, 4}});
    table.append({Value{}, std::string("O'Brien “Grüße”"), longText(5000), bytes(3000),
                  paradox::Decimal{"13.123457"}, paradox::Decimal{"-40"}, 0.1, 13.002,
                  std::int64_t{-32767}, std::int64_t{2147483647}, true, paradox::Date{2024, 2, 29},
                  paradox::Time{23, 59, 59, 999},
                  paradox::Timestamp{{1999, 12, 31}, {23, 59, 59, 500}},
                  paradox::Bytes{0x27, 0x00, 0xFF, 0x01}});
    table.append({Value{}, Value{}, Value{}, Value{}, Value{}, Value{}, Value{}, Value{}, Value{},
                  Value{}, Value{}, Value{}, Value{}, Value{}, Value{}});
    table.append({Value{}, std::string("''"), std::string("short"), bytes(10),
                  paradox::Decimal{"-0.000001"}, paradox::Decimal{"12345678901234567890123456"},
                  -1e-300, -0.5, std::int64_t{0}, std::int64_t{-1}, false, paradox::Date{1, 1, 1},
                  paradox::Time{0, 0, 0, 0}, paradox::Timestamp{{9999, 12, 31}, {0, 0, 0, 1}},
                  paradox::Bytes{0, 0, 0, 0}});
    table.finish();
}

void writeNumbers(const QString& file, int rows, const std::map<int, double>& special) {
    paradox::TableWriter table(pathOf(file), {{"N", FieldType::Number, 8}});
    for (int i = 0; i < rows; ++i)
        table.append({special.contains(i) ? special.at(i) : static_cast<double>(i) + 0.5});
    table.finish();
}

QStringList tableNamesIn(const QString& folder) {
    QStringList names;
    for (const QString& file : QDir(folder).entryList({"*.db"}, QDir::Files))
        names.append(file.left(file.size() - 3).toUpper());
    return names;
}

} // namespace dravena::testing
