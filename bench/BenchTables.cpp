#include "BenchTables.h"

#include "paradoxwriter/TableWriter.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace dravena::bench {

using namespace paradox;

namespace {

const std::filesystem::path folder =
    std::filesystem::temp_directory_path() / "dravena-bench-paradox-1";

void writeTable(const std::filesystem::path& file, std::uint64_t rows) {
    WriterOptions options;
    options.replaceExisting = true;
    TableWriter writer(file,
                       {{"CustNo", FieldType::Long, 4},
                        {"Name", FieldType::Alpha, 30},
                        {"City", FieldType::Alpha, 20},
                        {"Amount", FieldType::Money, 8},
                        {"Ratio", FieldType::Number, 8},
                        {"Qty", FieldType::Short, 2},
                        {"SaleDate", FieldType::Date, 4},
                        {"SaleTime", FieldType::Time, 4},
                        {"Shipped", FieldType::Timestamp, 8},
                        {"Paid", FieldType::Logical, 1},
                        {"Total", FieldType::Bcd, 2},
                        {"Notes", FieldType::Memo, 30}},
                       options);
    const char* cities[] = {"Kapaa Kauai", "Freeport", "Kato Paphos", "Bergen", "Kiel", "Lyon"};
    std::vector<Value> row(12);
    for (std::uint64_t i = 0; i < rows; ++i) {
        const auto n = static_cast<std::int64_t>(i);
        row[0] = n;
        row[1] = "Customer " + std::to_string(i) + " Müller";
        row[2] = std::string(cities[i % 6]);
        row[3] = static_cast<double>(n % 100000) / 100.0;
        row[4] = static_cast<double>(n) / 7.0;
        row[5] = std::int64_t{n % 30000 - 15000};
        row[6] = Date{1990 + static_cast<int>(i % 30), 1 + static_cast<int>(i % 12),
                      1 + static_cast<int>(i % 28)};
        row[7] = Time{static_cast<int>(i % 24), static_cast<int>(i % 60), static_cast<int>(i % 59),
                      static_cast<int>(i % 1000)};
        row[8] = i % 5 == 0 ? Value{}
                            : Value{Timestamp{{2000 + static_cast<int>(i % 20), 6, 15},
                                              {12, static_cast<int>(i % 60), 0, 0}}};
        row[9] = i % 3 == 0;
        row[10] = Decimal{std::to_string(n % 1000000) + "." + std::to_string(10 + n % 90)};
        const std::size_t memo = i % 1000 == 0 ? 3000 : i % 10 == 0 ? 200 : 12;
        row[11] = std::string(memo, static_cast<char>('a' + i % 26));
        writer.append(row);
    }
    writer.finish();
}

} // namespace

BenchTable benchTable(const char* name, std::uint64_t rows) {
    const std::string base = std::string(name) + "-" + std::to_string(rows);
    BenchTable table;
    table.withMemoFile = folder / (base + ".DB");
    table.withoutMemoFile = folder / "db-only" / (base + ".DB");
    table.rows = rows;
    const auto complete = folder / (base + ".complete");
    if (std::filesystem::exists(complete))
        return table;
    std::fprintf(stderr, "Writing %llu rows to %s (once; later runs reuse it)\n",
                 static_cast<unsigned long long>(rows), table.withMemoFile.c_str());
    std::filesystem::create_directories(table.withoutMemoFile.parent_path());
    writeTable(table.withMemoFile, rows);
    std::filesystem::copy_file(table.withMemoFile, table.withoutMemoFile,
                               std::filesystem::copy_options::overwrite_existing);
    std::ofstream(complete) << rows << "\n";
    return table;
}

} // namespace dravena::bench
