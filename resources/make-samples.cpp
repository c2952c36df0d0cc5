// Writes the sample tables that ship beside the program (Samples/), so that it can be tried
// without data of one's own: customers, their orders and the parts sold, with memos and small
// pictures. The content is the same on every run.
//
//   make-samples <folder>

#include "paradoxwriter/TableWriter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace dravena::paradox;

namespace {

// A small fixed-seed generator, so every build writes the same tables.
class Sequence {
public:
    std::uint32_t next() { return static_cast<std::uint32_t>(engine_()); }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    template <std::size_t N> const char* pick(const std::array<const char*, N>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    std::mt19937 engine_{20240611u}; // the standard fixes its output on every platform
};

constexpr std::array<const char*, 12> companyWords{
    "Kauai",   "Unisco",     "Sight", "Cayman",  "Tom Sawyer", "Blue Jack",
    "Frank's", "Davy Jones", "Océan", "Nordsee", "Marmot",     "Coral"};
constexpr std::array<const char*, 8> companyKinds{"Dive Shoppe",   "Diving Centre", "Aqua Sports",
                                                  "Divers Supply", "Tauchsport",    "Scuba Ltd.",
                                                  "Boat Rentals",  "Sub-Aqua Club"};
constexpr std::array<const char*, 10> cities{
    "Kapaa Kauai", "Freeport", "Kato Paphos", "Grand Cayman", "Christiansted",
    "Bergen",      "Kiel",     "Marseille",   "Giribaldi",    "St. Thomas"};
constexpr std::array<const char*, 10> countries{
    "US",      "Bahamas", "Cyprus", "British West Indies", "US Virgin Islands", "Norway",
    "Germany", "France",  "Greece", "US Virgin Islands"};
constexpr std::array<const char*, 8> contacts{"Erica Norman",  "George Weathers", "Phyllis Spooner",
                                              "Joe Bailey",    "Chris Thomas",    "Åse Lindqvist",
                                              "Jürgen Brandt", "Élodie Marchand"};
constexpr std::array<const char*, 4> shipVia{"UPS", "DHL", "FedEx", "Emery"};
constexpr std::array<const char*, 3> terms{"Net 30", "COD", "FOB"};
constexpr std::array<const char*, 10> partNames{"Dive kayak",
                                                "Underwater diver vehicle",
                                                "Regulator System",
                                                "Second Stage Regulator",
                                                "Depth/Pressure Gauge",
                                                "Compass Console Mount",
                                                "Welded Seam Stockings",
                                                "Nylon Ankle Strap",
                                                "Diving Mask",
                                                "Wet Suit"};

Date dateFromDay(int day) {
    // Days after 2019-12-31, over years of 365 days and months of up to 28 days: always valid.
    return Date{2020 + day / 336, 1 + day % 336 / 28, 1 + day % 28};
}

std::string customerNotes(int i, Sequence& seq) {
    std::string notes = "Customer since the first catalogue. Prefers delivery by " +
                        std::string(seq.pick(shipVia)) + ".";
    if (i % 3 == 0)
        notes += "\r\nAsks for the new season's price list every spring.";
    if (i % 7 == 0) {
        // A long history, as kept by a busy sales office.
        for (int year = 2008; year < 2024; ++year)
            notes += "\r\n" + std::to_string(year) +
                     ": visited the trade fair, ordered demonstration equipment for the club's "
                     "training week and recommended us to two other shops on the coast. "
                     "Payment on time; send the invoice to the office, not the shop.";
    }
    return notes;
}

// A small 24-bit Windows bitmap: a sea-blue gradient with a diagonal stripe.
Bytes bitmap(int width, int height, int tint) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const int imageBytes = rowBytes * height;
    Bytes out(54 + static_cast<std::size_t>(imageBytes));
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<std::uint32_t>(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    out[26] = 1;
    out[28] = 24;
    put32(34, static_cast<std::uint32_t>(imageBytes));
    put32(38, 2835);
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &out[54 + static_cast<std::size_t>(y * rowBytes + x * 3)];
            const bool stripe = std::abs(x - y - tint % 8) < 3;
            p[0] = static_cast<std::uint8_t>(stripe ? 255 : 120 + y * 100 / height); // blue
            p[1] = static_cast<std::uint8_t>(stripe ? 230 : 60 + x * 120 / width);   // green
            p[2] = static_cast<std::uint8_t>(stripe ? 80 : (tint * 37) % 90);        // red
        }
    }
    return out;
}

WriterOptions sampleOptions() {
    WriterOptions options;
    options.version = 70;
    options.codePage = 1252;
    options.blockSizeKiB = 4;
    options.replaceExisting = true;
    return options;
}

void writeCustomers(const std::filesystem::path& folder, Sequence& seq) {
    TableWriter table(folder / "CUSTOMER.DB",
                      {{"CustNo", FieldType::AutoIncrement, 4},
                       {"Company", FieldType::Alpha, 30},
                       {"Addr1", FieldType::Alpha, 30},
                       {"City", FieldType::Alpha, 15},
                       {"Country", FieldType::Alpha, 20},
                       {"Phone", FieldType::Alpha, 15},
                       {"Contact", FieldType::Alpha, 20},
                       {"Since", FieldType::Date, 4},
                       {"CreditLimit", FieldType::Money, 8},
                       {"Active", FieldType::Logical, 1},
                       {"Notes", FieldType::Memo, 50}},
                      sampleOptions());
    for (int i = 0; i < 55; ++i) {
        const int place = seq.below(static_cast<int>(cities.size()));
        // One draw per statement: the order of operands of + is not fixed by the language.
        std::string company = seq.pick(companyWords);
        company += std::string(" ") + seq.pick(companyKinds);
        std::string street = std::to_string(1 + seq.below(900));
        street += std::string(" ") + seq.pick(companyWords) + " Road";
        std::string phone = std::to_string(100 + seq.below(900));
        phone += '-';
        phone += std::to_string(1000 + seq.below(9000));
        table.append({Value{}, company, street,
                      std::string(cities[static_cast<std::size_t>(place)]),
                      std::string(countries[static_cast<std::size_t>(place)]), phone,
                      std::string(seq.pick(contacts)), dateFromDay(seq.below(1500)),
                      (5 + seq.below(96)) * 500.0, i % 9 != 4,
                      i % 5 == 2 ? Value{} : Value{customerNotes(i, seq)}});
    }
    table.finish();
}

void writeParts(const std::filesystem::path& folder, Sequence& seq) {
    TableWriter table(folder / "PARTS.DB",
                      {{"PartNo", FieldType::Long, 4},
                       {"Description", FieldType::Alpha, 30},
                       {"VendorNo", FieldType::Short, 2},
                       {"OnHand", FieldType::Long, 4},
                       {"OnOrder", FieldType::Short, 2},
                       {"Cost", FieldType::Money, 8},
                       {"ListPrice", FieldType::Money, 8},
                       {"Weight", FieldType::Number, 8},
                       {"Barcode", FieldType::Bytes, 8},
                       {"Spec", FieldType::Memo, 30},
                       {"Picture", FieldType::Graphic, 10}},
                      sampleOptions());
    for (int i = 0; i < 30; ++i) {
        const std::string name =
            std::string(partNames[static_cast<std::size_t>(i) % partNames.size()]) +
            (i < 10 ? "" : " Mk " + std::to_string(1 + i / 10));
        const double cost = (200 + seq.below(40000)) / 100.0;
        Bytes code(8);
        for (auto& b : code)
            b = static_cast<std::uint8_t>(seq.below(256));
        const int size = 12 + (i % 4) * 12; // 12 to 48 pixels square
        table.append({std::int64_t{900 + i * 12}, name, std::int64_t{2000 + seq.below(700)},
                      std::int64_t{seq.below(500)},
                      i % 4 == 0 ? Value{} : Value{std::int64_t{seq.below(50)}}, cost,
                      std::round(cost * 185) / 100, seq.below(20000) / 100.0, code,
                      "Part " + std::to_string(900 + i * 12) + ": " + name +
                          ". Rated for depths to " + std::to_string(10 + seq.below(90)) + " m.",
                      i % 6 == 5 ? Value{} : Value{bitmap(size, size, i)}});
    }
    table.finish();
}

void writeOrders(const std::filesystem::path& folder, Sequence& seq) {
    TableWriter table(folder / "ORDERS.DB",
                      {{"OrderNo", FieldType::Long, 4},
                       {"CustNo", FieldType::Long, 4},
                       {"SaleDate", FieldType::Date, 4},
                       {"ShipDate", FieldType::Timestamp, 8},
                       {"ShipTime", FieldType::Time, 4},
                       {"ShipVia", FieldType::Alpha, 7},
                       {"Terms", FieldType::Alpha, 6},
                       {"Items", FieldType::Short, 2},
                       {"ItemsTotal", FieldType::Money, 8},
                       {"TaxRate", FieldType::Number, 8},
                       {"AmountPaid", FieldType::Bcd, 2},
                       {"Paid", FieldType::Logical, 1}},
                      sampleOptions());
    for (int i = 0; i < 240; ++i) {
        const int day = seq.below(1400);
        const bool shipped = i % 11 != 3;
        const Time time{8 + seq.below(10), seq.below(60), seq.below(60), 0};
        const int cents = 1000 + seq.below(2000000);
        const bool paid = i % 4 != 1;
        table.append(
            {std::int64_t{1003 + i}, std::int64_t{1 + seq.below(55)}, dateFromDay(day),
             shipped ? Value{Timestamp{dateFromDay(day + 2 + seq.below(5)), time}} : Value{},
             shipped ? Value{time} : Value{}, std::string(seq.pick(shipVia)),
             std::string(seq.pick(terms)), std::int64_t{1 + seq.below(12)}, cents / 100.0,
             i % 3 == 0 ? 0.0 : 7.25,
             paid ? Value{Decimal{std::to_string(cents / 100) + "." +
                                  std::to_string(cents % 100 / 10) + std::to_string(cents % 10)}}
                  : Value{},
             paid});
    }
    table.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples <folder>\n");
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        Sequence seq;
        writeCustomers(folder, seq);
        writeParts(folder, seq);
        writeOrders(folder, seq);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
