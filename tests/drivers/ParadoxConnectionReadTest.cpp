#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/ParadoxConnection.h"

#include "base/RuntimeError.h"

#include <gtest/gtest.h>

#include <QFile>

namespace dravena {
namespace {

QString samplesFolder(const char* sub) {
    return QStringLiteral(DRAVENA_PARADOX_SAMPLES "/") + QLatin1String(sub);
}

// The sample tables read through the Paradox connection and a record set, as the transfer does.
class SampleTables : public ::testing::Test {
protected:
    void openFolder(const char* sub) {
        const QString folder = samplesFolder(sub);
        if (!QFile::exists(folder))
            GTEST_SKIP() << "Paradox sample tables not found at " DRAVENA_PARADOX_SAMPLES;
        connection_ = makeParadoxConnection();
        connection_->setCursorLocation(ClientSideCursor);
        connection_->open(paradoxConnectionString(folder));
    }
    void select(const char* table) {
        recordset_.open(QStringLiteral("SELECT * FROM \"%1\"").arg(QLatin1String(table)),
                        *connection_);
    }
    std::vector<int> types() const {
        std::vector<int> out;
        for (int i = 0; i < recordset_.fieldCount(); ++i)
            out.push_back(recordset_.fieldType(i));
        return out;
    }
    QStringList names() const {
        QStringList out;
        for (int i = 0; i < recordset_.fieldCount(); ++i)
            out.append(recordset_.fieldName(i));
        return out;
    }
    std::vector<std::vector<Value>> rows() {
        std::vector<std::vector<Value>> out;
        for (; !recordset_.atEnd(); recordset_.moveNext()) {
            out.emplace_back();
            for (int i = 0; i < recordset_.fieldCount(); ++i)
                out.back().push_back(recordset_.fieldValue(i));
        }
        return out;
    }

    std::unique_ptr<Connection> connection_;
    Recordset recordset_;
};

TEST_F(SampleTables, CountryHasItsFieldsCountAndRows) {
    openFolder("extdata");
    if (IsSkipped())
        return;
    select("COUNTRY");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Name"), QStringLiteral("Capital"),
                                    QStringLiteral("Continent"), QStringLiteral("Area"),
                                    QStringLiteral("Population")}));
    EXPECT_EQ(types(), (std::vector<int>{202, 202, 202, 5, 5}));
    EXPECT_EQ(recordset_.recordCount(), 18);
    const auto all = rows();
    ASSERT_EQ(all.size(), 18u);
    EXPECT_EQ(all[0], (std::vector<Value>{std::string("Argentina"), std::string("Buenos Aires"),
                                          std::string("South America"), 2777815.0, 32300003.0}));
    EXPECT_EQ(all[2][0], Value{std::string("Brazil")});
    EXPECT_TRUE(recordset_.atEnd());
    EXPECT_THROW(recordset_.fieldValue(0), RuntimeError);
    EXPECT_THROW(recordset_.moveNext(), RuntimeError);
    EXPECT_THROW(recordset_.fieldName(5), RuntimeError);
    EXPECT_THROW(recordset_.fieldType(-1), RuntimeError);
    recordset_.close();
    // The same table can be opened again on the same connection.
    select("country");
    EXPECT_EQ(recordset_.fieldValue(0), Value{std::string("Argentina")});
}

TEST_F(SampleTables, EmptyTableKnowsItHasNoRows) {
    openFolder("extdata");
    if (IsSkipped())
        return;
    select("EMPTY");
    EXPECT_EQ(recordset_.recordCount(), 0);
    EXPECT_TRUE(recordset_.atEnd());
    EXPECT_GT(recordset_.fieldCount(), 0);
}

TEST_F(SampleTables, FieldTypesAndValuesOfEveryKind) {
    openFolder("fields");
    if (IsSkipped())
        return;
    select("LONG");
    EXPECT_EQ(types(), (std::vector<int>{3, 3}));
    EXPECT_EQ(rows(), (std::vector<std::vector<Value>>{{std::int64_t{1}, std::int64_t{1}},
                                                       {std::int64_t{2}, std::int64_t{2}},
                                                       {std::int64_t{3}, Value{}}}));
    recordset_.close();

    select("DATE7");
    EXPECT_EQ(types(), (std::vector<int>{133, 134}));
    const auto dates = rows();
    ASSERT_GE(dates.size(), 4u);
    EXPECT_EQ(dates[0][0], Value(paradox::Date{2018, 1, 1}));
    EXPECT_EQ(dates[0][1], Value(paradox::Time{10, 0, 0, 0}));
    EXPECT_EQ(dates[3][0], Value{});
    recordset_.close();

    select("TIMESTAMP");
    EXPECT_EQ(types(), std::vector<int>{135});
    const auto stamps = rows();
    ASSERT_EQ(stamps.size(), 2u);
    EXPECT_EQ(stamps[0][0], Value{});
    EXPECT_EQ(stamps[1][0], Value(paradox::Timestamp{{2020, 2, 1}, {1, 0, 1, 0}}));
    recordset_.close();

    const std::pair<const char*, int> kinds[] = {
        {"LOGICAL", 11}, {"BCD", 131}, {"BYTES", 128},      {"MEMO", 203},
        {"FMEMO", 205},  {"OLE", 205}, {"GRAPHIC240", 205}, {"TIME", 134}};
    for (const auto& [table, type] : kinds) {
        select(table);
        EXPECT_EQ(recordset_.fieldType(recordset_.fieldCount() - 1), type) << table;
        EXPECT_EQ(static_cast<std::int64_t>(rows().size()), recordset_.recordCount()) << table;
        recordset_.close();
    }
}

} // namespace
} // namespace dravena
