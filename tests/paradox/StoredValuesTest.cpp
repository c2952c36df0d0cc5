// Value encodings and the cipher against the published example bytes.
#include "ReadTable.h"
#include "paradox/Cipher.h"
#include "paradox/ValueDecoding.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace dravena::paradox::testing {
namespace {

using Raw = std::vector<std::uint8_t>;
namespace dec = decoding;

TEST(StoredValues, SignFlippedBigEndianIntegersAndDoubles) {
    EXPECT_EQ(dec::shortValue(Raw{0x80, 0x01}.data()), 1);
    EXPECT_EQ(dec::shortValue(Raw{0x81, 0x00}.data()), 256);
    EXPECT_EQ(dec::shortValue(Raw{0x7F, 0xFF}.data()), -1);
    EXPECT_EQ(dec::shortValue(Raw{0x7F, 0xD8}.data()), -40);
    EXPECT_EQ(dec::shortValue(Raw{0x80, 0x00}.data()), 0);
    EXPECT_EQ(dec::shortValue(Raw{0x00, 0x00}.data()), std::nullopt);
    EXPECT_EQ(dec::longValue(Raw{0x80, 0x0B, 0x3D, 0xB7}.data()), 736695);
    EXPECT_EQ(dec::longValue(Raw{0x7F, 0xFF, 0xFF, 0xD8}.data()), -40);
    EXPECT_EQ(dec::longValue(Raw{0, 0, 0, 0}.data()), std::nullopt);

    EXPECT_EQ(dec::doubleValue(Raw{0xC0, 0x44, 0, 0, 0, 0, 0, 0}.data()), 40.0);
    EXPECT_EQ(dec::doubleValue(Raw{0x3F, 0xBB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}.data()), -40.0);
    const auto zero = dec::doubleValue(Raw{0x80, 0, 0, 0, 0, 0, 0, 0}.data());
    ASSERT_TRUE(zero.has_value());
    EXPECT_EQ(*zero, 0.0);
    EXPECT_FALSE(std::signbit(*zero));
    EXPECT_EQ(dec::doubleValue(Raw(8, 0).data()), std::nullopt);
}

TEST(StoredValues, DayNumbersCountFromTheFirstOfJanuaryOfYearOne) {
    const std::vector<std::pair<std::int64_t, Date>> cases = {
        {1, {1, 1, 1}},         {36160, {100, 1, 1}},      {693596, {1900, 1, 1}},
        {719163, {1970, 1, 1}}, {728783, {1996, 5, 4}},    {730120, {2000, 1, 1}},
        {736695, {2018, 1, 1}}, {3652059, {9999, 12, 31}}, {0, {0, 12, 31}},
        {-365, {0, 1, 1}},      {-366, {-1, 12, 31}},      {60, {1, 3, 1}},
    };
    for (const auto& [day, expected] : cases) {
        EXPECT_EQ(dec::dateFromDayNumber(day), expected) << day;
    }
    EXPECT_TRUE(dec::dayNumberInRange(1));
    EXPECT_TRUE(dec::dayNumberInRange(3652059));
    EXPECT_FALSE(dec::dayNumberInRange(0));
    EXPECT_FALSE(dec::dayNumberInRange(3652060));
}

TEST(StoredValues, TimesAndTimestampsInMilliseconds) {
    EXPECT_EQ(dec::longValue(Raw{0x80, 0x36, 0xF2, 0x68}.data()), 3601000);
    EXPECT_EQ(dec::timeFromMilliseconds(3601000), (Time{1, 0, 1, 0}));
    EXPECT_EQ(dec::timeFromMilliseconds(0), (Time{0, 0, 0, 0}));
    EXPECT_EQ(dec::timeFromMilliseconds(86399999), (Time{23, 59, 59, 999}));
    EXPECT_EQ(dec::timeFromMilliseconds(86400000), std::nullopt);
    EXPECT_EQ(dec::timeFromMilliseconds(-1), std::nullopt);

    const auto ms = dec::doubleValue(Raw{0xC2, 0xCC, 0xF9, 0x8A, 0xCB, 0x19, 0x34, 0x00}.data());
    ASSERT_TRUE(ms.has_value());
    EXPECT_EQ(*ms, 63716202001000.0);
    EXPECT_EQ(dec::timestampFromMilliseconds(*ms), (Timestamp{{2020, 2, 1}, {1, 0, 1, 0}}));
    EXPECT_EQ(dec::timestampFromMilliseconds(62135722800000.0),
              (Timestamp{{1970, 1, 1}, {11, 0, 0, 0}}));
    // Negative values split with floor division: day -366, one hour in.
    EXPECT_EQ(dec::timestampFromMilliseconds(-366.0 * 86400000 + 3600000),
              (Timestamp{{-1, 12, 31}, {1, 0, 0, 0}}));
    EXPECT_EQ(dec::timestampFromMilliseconds(std::nan("")), std::nullopt);
    EXPECT_EQ(dec::timestampFromMilliseconds(1e300), std::nullopt);
}

Raw bcd(std::uint8_t head, std::uint8_t fill, Raw tail) {
    Raw r(17, fill);
    r[0] = head;
    std::copy(tail.begin(), tail.end(), r.end() - static_cast<std::ptrdiff_t>(tail.size()));
    return r;
}

TEST(StoredValues, BcdSignScaleBlankAndJunk) {
    std::string text;
    EXPECT_EQ(dec::bcdText(bcd(0xC2, 0, {0x01, 0x23}).data(), 2, text), dec::BcdResult::Value);
    EXPECT_EQ(text, "1.23");
    EXPECT_EQ(dec::bcdText(bcd(0x42, 0xFF, {0xFE, 0xDC}).data(), 2, text), dec::BcdResult::Value);
    EXPECT_EQ(text, "-1.23");
    EXPECT_EQ(dec::bcdText(bcd(0xC2, 0, {}).data(), 2, text), dec::BcdResult::Value);
    EXPECT_EQ(text, "0.00");
    EXPECT_EQ(dec::bcdText(bcd(0xC0, 0, {0x12, 0x34}).data(), 0, text), dec::BcdResult::Value);
    EXPECT_EQ(text, "1234");
    // Negative zero reads as plain zero.
    EXPECT_EQ(dec::bcdText(bcd(0x42, 0xFF, {}).data(), 2, text), dec::BcdResult::Value);
    EXPECT_EQ(text, "0.00");
    // All 32 digits are integer digits at scale 0.
    EXPECT_EQ(dec::bcdText(bcd(0xC0, 0x99, {}).data(), 0, text), dec::BcdResult::Value);
    EXPECT_EQ(text, std::string(32, '9'));

    // Blank: byte 0 zero, or byte 0 equal to the scale (bits 6 and 7 clear).
    EXPECT_EQ(dec::bcdText(bcd(0x00, 0, {}).data(), 2, text), dec::BcdResult::Blank);
    EXPECT_EQ(dec::bcdText(bcd(0x06, 0, {}).data(), 6, text), dec::BcdResult::Blank);

    // Digits from the first non-decimal nibble on are zeros.
    EXPECT_EQ(dec::bcdText(bcd(0xC4, 0, {0x12, 0x3A, 0x45}).data(), 4, text),
              dec::BcdResult::ValueWithJunk);
    EXPECT_EQ(text, "12.3000");
}

TEST(Cipher, KeysOfPasswords) {
    EXPECT_EQ(Cipher::keyForPassword("123"), 0x0A25E09Au);
    EXPECT_EQ(Cipher::keyForPassword("test"), 0x20E26198u);
    EXPECT_EQ(Cipher::keyForPassword("secret"), 0x6E25449Au);
    EXPECT_EQ(Cipher::keyForPassword(""), 0u);
}

TEST(Cipher, EncryptionIsUndoneByDecryptionForEveryBlockAndChunk) {
    const Cipher cipher(Cipher::keyForPassword("secret"));
    std::array<std::uint8_t, 256> original{};
    for (unsigned i = 0; i < 256; ++i) {
        original[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    for (std::uint32_t block : {1u, 2u, 255u, 256u, 300u}) {
        for (std::uint32_t chunk : {0u, 1u, 7u, 127u}) {
            auto data = original;
            cipher.encryptBlockChunk(data.data(), block, chunk);
            EXPECT_NE(data, original);
            cipher.decryptBlockChunk(data.data(), block, chunk);
            EXPECT_EQ(data, original) << block << "/" << chunk;
        }
    }
    auto data = original;
    cipher.encryptMemoChunk(data.data());
    cipher.decryptMemoChunk(data.data());
    EXPECT_EQ(data, original);
}

} // namespace
} // namespace dravena::paradox::testing
