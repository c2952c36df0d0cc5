// The sample tables written at build time beside the program read back cleanly and fit
// together (every order names a customer; every picture is a whole bitmap).

#include "paradox/TableReader.h"

#include <gtest/gtest.h>
#include <set>

using namespace dravena::paradox;

namespace {

const std::filesystem::path samples = std::filesystem::path(DRAVENA_BINARY_DIR) / "bin/Samples";

std::vector<std::vector<Value>> readAll(const std::string& name) {
    TableReader reader(samples / name);
    EXPECT_EQ(reader.info().version, 70);
    std::vector<std::vector<Value>> rows;
    std::vector<Value> row;
    while (reader.next(row))
        rows.push_back(row);
    EXPECT_TRUE(reader.warnings().empty()) << name << ": " << reader.warnings().front();
    return rows;
}

} // namespace

TEST(WriterSamples, TablesReadBackAndFitTogether) {
    const auto customers = readAll("CUSTOMER.DB");
    const auto orders = readAll("ORDERS.DB");
    const auto parts = readAll("PARTS.DB");
    ASSERT_EQ(customers.size(), 55u);
    ASSERT_EQ(orders.size(), 240u);
    ASSERT_EQ(parts.size(), 30u);

    std::set<std::int64_t> customerNumbers;
    std::size_t longestNote = 0;
    for (const auto& c : customers) {
        customerNumbers.insert(std::get<std::int64_t>(c[0]));
        if (const auto* note = std::get_if<std::string>(&c[10]))
            longestNote = std::max(longestNote, note->size());
    }
    EXPECT_EQ(customerNumbers.size(), customers.size());
    EXPECT_GT(longestNote, 2048u); // some notes need a memo block of their own
    for (const auto& o : orders)
        EXPECT_TRUE(customerNumbers.count(std::get<std::int64_t>(o[1])));

    int pictures = 0;
    for (const auto& p : parts) {
        if (isNull(p[10]))
            continue;
        const auto& image = std::get<Bytes>(p[10]);
        ASSERT_GE(image.size(), 54u);
        EXPECT_EQ(image[0], 'B');
        EXPECT_EQ(image[1], 'M');
        const std::uint32_t declared =
            image[2] | image[3] << 8 | image[4] << 16 | static_cast<std::uint32_t>(image[5]) << 24;
        EXPECT_EQ(declared, image.size());
        ++pictures;
    }
    EXPECT_EQ(pictures, 25);
}
