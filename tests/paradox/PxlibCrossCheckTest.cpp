// Every value of tables without memo fields compared with pxlib, an independent reader.
// pxlib reports blank Long, Autoincrement, Date and Time values as the smallest int, and blank
// Timestamps as 0; both count as NULL here. It reads blank Number and Money values as 0.
#include "ReadTable.h"
#include "TableImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iconv.h>

extern "C" {
#include <paradox.h>
}

namespace dravena::paradox::testing {
namespace {

std::string toUtf8(const std::string& encoding, const char* text, std::size_t size) {
    iconv_t cd = iconv_open("UTF-8", encoding.c_str());
    std::string out(size * 4 + 4, '\0');
    char* in = const_cast<char*>(text);
    char* dst = out.data();
    std::size_t inLeft = size;
    std::size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::int64_t dayNumber(const Date& d) {
    using namespace std::chrono;
    const sys_days days{year{d.year} / month{static_cast<unsigned>(d.month)} /
                        day{static_cast<unsigned>(d.day)}};
    return days.time_since_epoch().count() + 719163;
}

std::int64_t milliseconds(const Time& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 1000LL + t.millisecond;
}

class PxDocument {
public:
    // Opened for reading only: the sample tables may lie in a folder the tests cannot write to,
    // and pxlib's own file opening asks for write access.
    explicit PxDocument(const std::filesystem::path& file) {
        PX_boot();
        doc_ = PX_new();
        stream_ = std::fopen(file.c_str(), "rb");
        opened_ = stream_ != nullptr && PX_open_fp(doc_, stream_) >= 0;
    }
    ~PxDocument() {
        if (opened_) {
            PX_close(doc_);
        }
        PX_delete(doc_);
        if (stream_ != nullptr)
            std::fclose(stream_);
    }
    PxDocument(const PxDocument&) = delete;
    PxDocument& operator=(const PxDocument&) = delete;
    bool opened() const { return opened_; }
    pxdoc_t* get() const { return doc_; }

private:
    pxdoc_t* doc_ = nullptr;
    std::FILE* stream_ = nullptr;
    bool opened_ = false;
};

void expectSameValue(const pxval_t& px, const Value& ours, FieldType type,
                     const std::string& encoding) {
    const bool pxBlank = px.isnull != 0 ||
                         ((type == FieldType::Long || type == FieldType::AutoIncrement ||
                           type == FieldType::Date || type == FieldType::Time) &&
                          px.value.lval == INT_MIN) ||
                         (type == FieldType::Timestamp && px.value.dval == 0.0);
    if (pxBlank) {
        EXPECT_TRUE(isNull(ours));
        return;
    }
    // pxlib reads a blank Number or Money as 0.
    if ((type == FieldType::Number || type == FieldType::Money) && px.value.dval == 0.0 &&
        isNull(ours)) {
        return;
    }
    ASSERT_FALSE(isNull(ours));
    switch (type) {
    case FieldType::Alpha:
        EXPECT_EQ(std::get<std::string>(ours),
                  toUtf8(encoding, px.value.str.val, std::strlen(px.value.str.val)));
        break;
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoIncrement:
        EXPECT_EQ(std::get<std::int64_t>(ours), px.value.lval);
        break;
    case FieldType::Number:
    case FieldType::Money:
        EXPECT_EQ(std::get<double>(ours), px.value.dval);
        break;
    case FieldType::Logical:
        EXPECT_EQ(std::get<bool>(ours), px.value.lval != 0);
        break;
    case FieldType::Date:
        EXPECT_EQ(dayNumber(std::get<Date>(ours)), px.value.lval);
        break;
    case FieldType::Time:
        EXPECT_EQ(milliseconds(std::get<Time>(ours)), px.value.lval);
        break;
    case FieldType::Timestamp: {
        const auto& ts = std::get<Timestamp>(ours);
        EXPECT_EQ(static_cast<double>(dayNumber(ts.date) * 86400000LL + milliseconds(ts.time)),
                  px.value.dval);
        break;
    }
    default:
        ADD_FAILURE() << "no comparison for " << fieldTypeName(type);
    }
}

void compareWithPxlib(const std::filesystem::path& file) {
    SCOPED_TRACE(file.string());
    const TableContents ours = readTable(file);
    PxDocument px(file);
    ASSERT_TRUE(px.opened());
    ASSERT_EQ(static_cast<std::uint64_t>(PX_get_num_records(px.get())), ours.rows.size());
    ASSERT_EQ(static_cast<std::size_t>(PX_get_num_fields(px.get())), ours.fields.size());
    pxfield_t* pxFields = PX_get_fields(px.get());
    for (std::size_t f = 0; f < ours.fields.size(); ++f) {
        EXPECT_EQ(
            toUtf8(ours.info.encoding, pxFields[f].px_fname, std::strlen(pxFields[f].px_fname)),
            ours.fields[f].name);
    }
    for (std::size_t r = 0; r < ours.rows.size(); ++r) {
        pxval_t** values = PX_retrieve_record(px.get(), static_cast<int>(r));
        ASSERT_NE(values, nullptr) << "row " << r;
        for (std::size_t f = 0; f < ours.fields.size(); ++f) {
            SCOPED_TRACE("row " + std::to_string(r) + " field " + ours.fields[f].name);
            expectSameValue(*values[f], ours.rows[r][f], ours.fields[f].type, ours.info.encoding);
            if (values[f]->type == pxfAlpha && values[f]->isnull == 0) {
                px.get()->free(px.get(), values[f]->value.str.val);
            }
            px.get()->free(px.get(), values[f]);
        }
        px.get()->free(px.get(), values);
    }
}

TEST_F(SampleTableTest, AgreesWithPxlibOnTablesWithoutMemoFields) {
    for (const char* name :
         {"extdata/country.db", "extdata/of.db", "fields/date35.db", "fields/date4.db",
          "fields/date5.db", "fields/date7.db", "fields/time.db", "fields/timestamp.db",
          "fields/logical.db", "fields/long.db"}) {
        compareWithPxlib(sample(name));
    }
}

TEST(PxlibCrossCheck, AgreesOnBuiltTablesOfEveryLevel) {
    for (const std::uint8_t versionByte : {0x03, 0x04, 0x09, 0x0B, 0x0C}) {
        TableLayout layout;
        layout.versionByte = versionByte;
        layout.blockKiB = versionByte < 5 ? 1 : 4;
        layout.codePage = 850;
        layout.sortOrderId = "intl850";
        layout.fields = {{0x01, 16, "Name"},
                         {0x06, 8, "Amount"},
                         {0x03, 2, "Small"},
                         {0x02, 4, "Day"},
                         {0x05, 8, "Price"}};
        TableImage image(layout);
        for (int i = 0; i < 700; ++i) {
            ByteVector r = image.blankRecord();
            if (i % 7 != 0) {
                putText(&r[0], "Gr\x81n " + std::to_string(i));
                putDouble(&r[16], (i - 350) * 1.5);
                putShort(&r[24], i * 40 - 14000);
                putLong(&r[26], 700000 + i * 37);
                putDouble(&r[30], i / 3.0);
            }
            image.addRecord(r);
        }
        TempDir dir;
        writeFile(dir / "LEVEL.DB", image.build());
        compareWithPxlib(dir / "LEVEL.DB");
    }
}

} // namespace
} // namespace dravena::paradox::testing
