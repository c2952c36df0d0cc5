#include "ReadTable.h"

#include <cstdlib>
#include <ostream>

namespace dravena::paradox {

void PrintTo(const Date& d, std::ostream* os) {
    *os << d.year << '-' << d.month << '-' << d.day;
}

void PrintTo(const Time& t, std::ostream* os) {
    *os << t.hour << ':' << t.minute << ':' << t.second << '.' << t.millisecond;
}

void PrintTo(const Timestamp& t, std::ostream* os) {
    PrintTo(t.date, os);
    *os << ' ';
    PrintTo(t.time, os);
}

void PrintTo(const Decimal& d, std::ostream* os) {
    *os << "decimal " << d.text;
}

} // namespace dravena::paradox

namespace dravena::paradox::testing {

TableContents readTable(const std::filesystem::path& file, const ReaderOptions& options) {
    TableReader reader(file, options);
    TableContents t;
    t.fields = reader.fields();
    t.info = reader.info();
    t.announced = reader.recordCount();
    std::vector<Value> row;
    while (reader.next(row)) {
        t.rows.push_back(row);
    }
    t.warnings = reader.warnings();
    t.valuesLost = reader.valuesLost();
    return t;
}

std::optional<std::filesystem::path> sampleFolder() {
    const char* env = std::getenv("DRAVENA_PARADOX_SAMPLES");
    const std::filesystem::path folder = (env != nullptr && *env != 0)
                                             ? std::filesystem::path(env)
                                             : std::filesystem::path(DRAVENA_PARADOX_SAMPLES);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        return std::nullopt;
    }
    return folder;
}

bool hasWarningContaining(const std::vector<std::string>& warnings, const std::string& part) {
    for (const auto& w : warnings) {
        if (w.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void SampleTableTest::SetUp() {
    const auto folder = sampleFolder();
    if (!folder) {
        GTEST_SKIP() << "Paradox sample tables not found (set DRAVENA_PARADOX_SAMPLES to the "
                        "folder, or the CMake option of the same name); looked in "
                     << DRAVENA_PARADOX_SAMPLES;
    }
    folder_ = *folder;
}

} // namespace dravena::paradox::testing
