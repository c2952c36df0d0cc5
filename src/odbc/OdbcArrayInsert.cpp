#include "OdbcArrayInsert.h"

#include "OdbcDiagnostics.h"
#include "OdbcSession.h"
#include "ServerTimeLimits.h"

#include <QSqlDriver>
#include <QStringDecoder>

#include <sqlext.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dravena {

namespace {

constexpr SQLULEN DecimalDigits = 32;
constexpr SQLULEN WideColumnCharacters = 2000; // beyond this a text goes as a long text

// Writes a UTF-8 text as wide characters (UTF-16, at most one per byte) into a cell of the
// column's buffer, without a string of its own; returns the characters written. Its ASCII start
// (most often all of it) is widened here; the rest, from a character boundary, is decoded as it
// would be within the whole text (a byte order mark there is a character like any other).
std::size_t writeWide(const std::string& utf8, char* cell) {
    const std::size_t size = utf8.size();
    const auto* const bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    // The cells hold wide characters (two bytes each, at even offsets), as the driver reads them.
    char16_t* const wide = reinterpret_cast<char16_t*>(cell);
    std::size_t ascii = 0;
#if defined(__SSE2__)
    // Sixteen ASCII bytes at a time: each byte with a zero byte after it is its wide character.
    const __m128i zero = _mm_setzero_si128();
    for (; ascii + 16 <= size; ascii += 16) {
        const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + ascii));
        if (_mm_movemask_epi8(sixteen) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + ascii),
                         _mm_unpacklo_epi8(sixteen, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + ascii + 8),
                         _mm_unpackhi_epi8(sixteen, zero));
    }
    // Fewer than sixteen bytes left, when ASCII too, as the last sixteen (some widened twice).
    if (ascii < size && size - ascii < 16 && size >= 16) {
        const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + size - 16));
        if (_mm_movemask_epi8(last) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + size - 16),
                             _mm_unpacklo_epi8(last, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + size - 8),
                             _mm_unpackhi_epi8(last, zero));
            return size;
        }
    }
#endif
    for (std::uint64_t eight = 0; ascii + sizeof eight <= size; ascii += sizeof eight) {
        std::memcpy(&eight, bytes + ascii, sizeof eight);
        if ((eight & 0x8080808080808080) != 0)
            break;
        char16_t widened[sizeof eight];
        for (std::size_t i = 0; i < sizeof eight; ++i)
            widened[i] = bytes[ascii + i];
        std::memcpy(wide + ascii, widened, sizeof widened);
    }
    for (; ascii < size && bytes[ascii] < 0x80; ++ascii)
        wide[ascii] = bytes[ascii];
    if (ascii == size)
        return ascii;
    QStringDecoder decoder(QStringDecoder::Utf8,
                           ascii == 0 ? QStringConverter::Flag::Stateless
                                      : QStringConverter::Flag::Stateless |
                                            QStringConverter::Flag::ConvertInitialBom);
    QChar* const start = reinterpret_cast<QChar*>(wide + ascii);
    const QChar* const end = decoder.appendToBuffer(
        start, QByteArrayView(utf8.data() + ascii, static_cast<qsizetype>(size - ascii)));
    return ascii + static_cast<std::size_t>(end - start);
}

} // namespace

OdbcArrayInsert::OdbcArrayInsert(std::shared_ptr<OdbcSession> session, const QString& sql,
                                 std::vector<ParameterColumn> columns)
    : session_(std::move(session)), columns_(std::move(columns)), buffers_(columns_.size()) {
    // Oracle's driver asks the server to describe the statement: a wait like any other.
    session_->timed([&] { prepare(sql); });
}

void OdbcArrayInsert::prepare(const QString& sql) {
    const SQLHANDLE connection = odbcHandle(session_->database().driver()->handle());
    generation_ = session_->generation();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement_)))
        throw RuntimeError(errnum::DataAccess, diagnosticText(SQL_HANDLE_DBC, connection));
    setQueryTimeout(statement_);
    const std::u16string text(reinterpret_cast<const char16_t*>(sql.utf16()),
                              static_cast<std::size_t>(sql.size()));
    const SQLRETURN r =
        SQLPrepareW(statement_, reinterpret_cast<SQLWCHAR*>(const_cast<char16_t*>(text.data())),
                    static_cast<SQLINTEGER>(text.size()));
    if (!SQL_SUCCEEDED(r)) {
        try {
            throwFailure();
        } catch (...) {
            SQLFreeHandle(SQL_HANDLE_STMT, statement_);
            throw;
        }
    }
}

OdbcArrayInsert::~OdbcArrayInsert() {
    // Closing the connection frees its statements; a statement of a connection since closed is
    // not ours to free any more.
    session_->onThread([this] {
        if (session_->isOpen() && session_->generation() == generation_)
            SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    });
}

void OdbcArrayInsert::throwFailure() const {
    const SQLHANDLE connection =
        session_->isOpen() ? odbcHandle(session_->database().driver()->handle()) : nullptr;
    throwOdbcFailure(diagnosticText(SQL_HANDLE_STMT, statement_), statement_, connection);
}

bool OdbcArrayInsert::bindColumn(std::size_t c, std::span<const ArrayRow> rows) {
    const ParameterColumn& column = columns_[c];
    Buffer& buffer = buffers_[c];
    const std::size_t n = rows.size();
    // The one alternative of ArrayValue the column's values may hold besides NULL.
    const std::size_t held = column.kind == ParameterKind::Integer ? 1
                             : column.kind == ParameterKind::Bytes ? 3
                                                                   : 2;
    std::size_t widest = 0;
    for (std::size_t r = 0; r < n; ++r) {
        const ArrayValue& value = rows[r][c];
        const std::size_t index = value.index();
        if (index == 0)
            continue;
        if (index != held)
            return false;
        if (index == 2)
            widest = std::max(widest, std::get_if<2>(&value)->size());
        else if (index == 3)
            widest = std::max(widest, std::get_if<3>(&value)->size());
    }
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN size = std::max<std::size_t>(widest, 1);
    SQLSMALLINT digits = 0;
    switch (column.kind) {
    case ParameterKind::Integer:
        cType = SQL_C_SBIGINT;
        sqlType = SQL_BIGINT;
        buffer.width = sizeof(SQLBIGINT);
        size = 0;
        break;
    case ParameterKind::NumberText:
        buffer.width = static_cast<SQLLEN>(widest + 1);
        break;
    case ParameterKind::Decimal:
        sqlType = SQL_DECIMAL;
        size = DecimalDigits;
        digits = static_cast<SQLSMALLINT>(column.scale);
        buffer.width = static_cast<SQLLEN>(widest + 1);
        break;
    case ParameterKind::WideText:
        // Room for one wide character per byte; the widest in characters is known once written.
        cType = SQL_C_WCHAR;
        buffer.width = static_cast<SQLLEN>((widest + 1) * sizeof(char16_t));
        widest = 0;
        break;
    case ParameterKind::Bytes:
        cType = SQL_C_BINARY;
        sqlType = SQL_LONGVARBINARY;
        buffer.width = static_cast<SQLLEN>(std::max<std::size_t>(widest, 1));
        break;
    }
    // The buffers keep their room from array to array; a cell's bytes beyond its length are not
    // read, so only a NULL's cell is left as it was.
    buffer.data.resize(n * static_cast<std::size_t>(buffer.width));
    buffer.lengths.resize(n);
    const bool wide = column.kind == ParameterKind::WideText;
    char* cell = buffer.data.data();
    for (std::size_t r = 0; r < n; ++r, cell += buffer.width) {
        const ArrayValue& value = rows[r][c];
        SQLLEN& length = buffer.lengths[r];
        if (value.index() == 0) {
            length = SQL_NULL_DATA;
        } else if (const auto* number = std::get_if<1>(&value)) {
            const SQLBIGINT n64 = *number;
            std::memcpy(cell, &n64, sizeof n64);
            length = sizeof n64;
        } else if (const auto* text = std::get_if<2>(&value)) {
            if (wide) {
                const std::size_t characters = writeWide(*text, cell);
                widest = std::max(widest, characters);
                length = static_cast<SQLLEN>(characters * sizeof(char16_t));
            } else {
                std::memcpy(cell, text->data(), text->size());
                length = static_cast<SQLLEN>(text->size());
            }
        } else {
            const paradox::Bytes& bytes = *std::get_if<3>(&value);
            std::memcpy(cell, bytes.data(), bytes.size());
            length = static_cast<SQLLEN>(bytes.size());
        }
    }
    if (wide) {
        size = std::max<std::size_t>(widest, 1);
        sqlType = size > WideColumnCharacters ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
    }
    const SQLRETURN r = SQLBindParameter(statement_, static_cast<SQLUSMALLINT>(c + 1),
                                         SQL_PARAM_INPUT, cType, sqlType, size, digits,
                                         buffer.data.data(), buffer.width, buffer.lengths.data());
    if (!SQL_SUCCEEDED(r))
        throwFailure();
    return true;
}

bool OdbcArrayInsert::bind(std::span<const ArrayRow> rows) {
    for (const ArrayRow& row : rows)
        if (row.size() != columns_.size())
            return false;
    const std::size_t n = rows.size();
    status_.assign(n, SQL_PARAM_UNUSED);
    processed_ = 0;
    SQLSetStmtAttr(statement_, SQL_ATTR_PARAM_BIND_TYPE,
                   reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0);
    SQLSetStmtAttr(statement_, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(n), 0);
    SQLSetStmtAttr(statement_, SQL_ATTR_PARAM_STATUS_PTR, status_.data(), 0);
    SQLSetStmtAttr(statement_, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed_, 0);
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (!bindColumn(c, rows))
            return false;
    return true;
}

// Runs the bound array and reads what the driver reports of each row. A driver may fail the
// whole statement and still tell the rows it ran before the failure (psqlODBC runs an array in
// parts of 100 rows and stops at the part that failed): those statuses are read too. Without
// them every row counts as refused.
std::vector<ArrayRowStatus> OdbcArrayInsert::execute(std::size_t rows) {
    const SQLRETURN r = SQLExecute(statement_);
    std::vector<ArrayRowStatus> statuses(rows, ArrayRowStatus::Refused);
    if (!SQL_SUCCEEDED(r)) {
        const SQLHANDLE connection = odbcHandle(session_->database().driver()->handle());
        if (connectionLost(statement_, connection))
            throw ConnectionLostError(errnum::DataAccess,
                                      diagnosticText(SQL_HANDLE_STMT, statement_));
        if (processed_ == 0 || processed_ > rows)
            return statuses;
    }
    for (std::size_t i = 0; i < rows; ++i) {
        if (i >= processed_)
            statuses[i] = ArrayRowStatus::NotRun;
        else if (status_[i] == SQL_PARAM_SUCCESS || status_[i] == SQL_PARAM_SUCCESS_WITH_INFO)
            statuses[i] = ArrayRowStatus::Done;
        else if (status_[i] != SQL_PARAM_ERROR)
            statuses[i] = ArrayRowStatus::NotRun;
    }
    // A failed statement never counts as every row done, whatever its statuses say.
    if (!SQL_SUCCEEDED(r) && std::all_of(statuses.begin(), statuses.end(), [](ArrayRowStatus s) {
            return s == ArrayRowStatus::Done;
        }))
        statuses.assign(rows, ArrayRowStatus::Refused);
    return statuses;
}

std::vector<ArrayRowStatus> OdbcArrayInsert::send(std::span<const ArrayRow> rows) {
    if (rows.empty())
        return {};
    std::vector<ArrayRowStatus> statuses;
    session_->timed([&] {
        if (bind(rows))
            statuses = execute(rows.size());
        else
            statuses.assign(rows.size(), ArrayRowStatus::Refused);
    });
    return statuses;
}

} // namespace dravena
