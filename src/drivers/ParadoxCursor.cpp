#include "ParadoxCursor.h"

#include "base/RuntimeError.h"

namespace dravena {

namespace {

RuntimeError engineError(const paradox::ParadoxError& error) {
    return RuntimeError(errnum::DataAccess, QString::fromUtf8(error.what()));
}

// A read of a field the table does not have, or past its last row: thrown from functions of
// their own, out of the way of every read.
[[noreturn, gnu::cold, gnu::noinline]] void throwNoSuchField(int index, std::size_t fields) {
    throw RuntimeError(
        adoerror::ItemNotFound,
        QStringLiteral("There is no field %1: the table has %2.").arg(index).arg(fields));
}

[[noreturn, gnu::cold, gnu::noinline]] void throwNoCurrentRow() {
    throw RuntimeError(adoerror::NoCurrentRecord,
                       QStringLiteral("There is no current row: the table has no more rows."));
}

} // namespace

int adoTypeOfField(paradox::FieldType type) {
    using paradox::FieldType;
    switch (type) {
    case FieldType::Alpha:
        return adotype::VarWChar;
    case FieldType::Date:
        return adotype::DBDate;
    case FieldType::Short:
        return adotype::SmallInt;
    case FieldType::Long:
    case FieldType::AutoIncrement:
        return adotype::Integer;
    case FieldType::Money:
        return adotype::Currency;
    case FieldType::Number:
        return adotype::Double;
    case FieldType::Logical:
        return adotype::Boolean;
    case FieldType::Memo:
        return adotype::LongVarWChar;
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return adotype::LongVarBinary;
    case FieldType::Time:
        return adotype::DBTime;
    case FieldType::Timestamp:
        return adotype::DBTimeStamp;
    case FieldType::Bcd:
        return adotype::Numeric;
    case FieldType::Bytes:
        return adotype::Binary;
    }
    return adotype::VarWChar;
}

ParadoxCursor::ParadoxCursor(const std::filesystem::path& tableFile) {
    try {
        reader_ = std::make_unique<paradox::TableReader>(tableFile);
    } catch (const paradox::ParadoxError& error) {
        throw engineError(error);
    }
    const auto& fields = reader_->fields();
    names_.reserve(fields.size());
    types_.reserve(fields.size());
    scales_.reserve(fields.size());
    for (const paradox::Field& field : fields) {
        names_.push_back(QString::fromStdString(field.name));
        types_.push_back(adoTypeOfField(field.type));
        // A BCD field's descriptor holds its decimal places.
        scales_.push_back(field.type == paradox::FieldType::Bcd ? field.size : -1);
    }
    readRow();
}

ParadoxCursor::~ParadoxCursor() = default;

int ParadoxCursor::fieldCount() const {
    return static_cast<int>(names_.size());
}

void ParadoxCursor::throwNoSuchField(int index) const {
    dravena::throwNoSuchField(index, names_.size());
}

QString ParadoxCursor::fieldName(int index) const {
    return names_[checkedIndex(index)];
}

int ParadoxCursor::fieldType(int index) const {
    return types_[checkedIndex(index)];
}

int ParadoxCursor::numericScale(int index) const {
    return scales_[checkedIndex(index)];
}

const Value& ParadoxCursor::fieldValue(int index) const {
    const std::size_t i = checkedIndex(index);
    if (atEnd_) [[unlikely]]
        throwNoCurrentRow();
    if (!read_[i]) {
        try {
            reader_->read(i, row_[i]);
        } catch (const paradox::ParadoxError& error) {
            throw engineError(error);
        }
        read_[i] = 1;
    }
    return row_[i];
}

std::int64_t ParadoxCursor::storedLength(int index) const {
    const std::size_t i = checkedIndex(index);
    return atEnd_ ? -1 : reader_->storedLength(i);
}

std::int64_t ParadoxCursor::recordCount() const {
    return static_cast<std::int64_t>(reader_->recordCount());
}

bool ParadoxCursor::atEnd() const {
    return atEnd_;
}

void ParadoxCursor::moveNext() {
    if (atEnd_)
        throw RuntimeError(adoerror::NoCurrentRecord,
                           QStringLiteral("There is no next row: the table has no more rows."));
    readRow();
}

QStringList ParadoxCursor::warnings() const {
    QStringList list;
    for (const std::string& warning : reader_->warnings())
        list.append(QString::fromStdString(warning));
    return list;
}

void ParadoxCursor::readRow() {
    // A record that cannot be read ends the rows, so that a caller carrying on after the
    // failure does not meet it again and again.
    atEnd_ = true;
    try {
        atEnd_ = !reader_->advance();
    } catch (const paradox::ParadoxError& error) {
        row_.clear();
        throw engineError(error);
    }
    if (atEnd_) {
        row_.clear();
        return;
    }
    row_.resize(names_.size());
    read_.assign(names_.size(), 0);
}

} // namespace dravena
