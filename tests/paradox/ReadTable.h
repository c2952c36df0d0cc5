#pragma once

#include "paradox/TableReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace dravena::paradox {

// Readable test output for values.
void PrintTo(const Date& d, std::ostream* os);
void PrintTo(const Time& t, std::ostream* os);
void PrintTo(const Timestamp& t, std::ostream* os);
void PrintTo(const Decimal& d, std::ostream* os);

} // namespace dravena::paradox

namespace dravena::paradox::testing {

// Shorthand for expected values.
inline Value null() {
    return Value();
}
inline Value integer(std::int64_t v) {
    return Value(v);
}
inline Value number(double v) {
    return Value(v);
}
inline Value text(const char* s) {
    return Value(std::string(s));
}
inline Value decimal(const char* s) {
    return Value(Decimal{s});
}
inline Value date(int y, int m, int d) {
    return Value(Date{y, m, d});
}
inline Value time(int h, int m, int s, int ms = 0) {
    return Value(Time{h, m, s, ms});
}
inline Value stamp(int y, int mo, int d, int h, int mi, int s) {
    return Value(Timestamp{Date{y, mo, d}, Time{h, mi, s, 0}});
}

// A whole table read into memory (test tables are small).
struct TableContents {
    std::vector<Field> fields;
    TableInfo info;
    std::uint64_t announced = 0; // recordCount() before the first row
    std::vector<std::vector<Value>> rows;
    std::vector<std::string> warnings;
    bool valuesLost = false; // a value could not be read and came as NULL
};

TableContents readTable(const std::filesystem::path& file, const ReaderOptions& options = {});

// The folder of real sample tables: the environment variable DRAVENA_PARADOX_SAMPLES, else the
// build's setting; nothing when it does not exist.
std::optional<std::filesystem::path> sampleFolder();

bool hasWarningContaining(const std::vector<std::string>& warnings, const std::string& part);

// Tests on the real sample tables; skipped, saying why, when the folder is absent.
class SampleTableTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::filesystem::path sample(const std::string& relative) const { return folder_ / relative; }

private:
    std::filesystem::path folder_;
};

} // namespace dravena::paradox::testing
