#pragma once

#include "dataaccess/DataAccess.h"
#include "paradox/Field.h"
#include "paradox/TableReader.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace dravena {

// The ADO type number under which a Paradox field type is reported.
int adoTypeOfField(paradox::FieldType type);

// The rows of one Paradox table, read record by record from the file as the cursor moves, each
// value when it is first asked for (a memo that is not asked for is not read); the record count
// comes from the table header. Engine failures become RuntimeErrors carrying the
// engine's message.
class ParadoxCursor final : public Cursor {
public:
    explicit ParadoxCursor(const std::filesystem::path& tableFile);
    ~ParadoxCursor() override;

    int fieldCount() const override;
    QString fieldName(int index) const override;
    int fieldType(int index) const override;
    int numericScale(int index) const override;
    const Value& fieldValue(int index) const override;
    std::int64_t storedLength(int index) const override;
    std::int64_t recordCount() const override;
    bool atEnd() const override;
    void moveNext() override;
    QStringList warnings() const override;
    bool valuesLost() const override { return reader_->valuesLost(); }
    std::int64_t lostValueCount() const override { return reader_->lostValueCount(); }

private:
    // Asked for every value read, hence here, with the failure out of line.
    std::size_t checkedIndex(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= names_.size()) [[unlikely]]
            throwNoSuchField(index);
        return static_cast<std::size_t>(index);
    }
    [[noreturn]] void throwNoSuchField(int index) const;
    void readRow();

    std::unique_ptr<paradox::TableReader> reader_;
    std::vector<QString> names_;
    std::vector<int> types_;
    std::vector<int> scales_;
    mutable std::vector<Value> row_;
    mutable std::vector<char> read_; // which values of row_ are read (bytes: read at each value)
    bool atEnd_ = true;
};

} // namespace dravena
