#pragma once

#include "OdbcValues.h"
#include "dataaccess/DataAccess.h"

#include <vector>

namespace dravena {

// What both kinds of ODBC cursor share: the column layout and the checks on field access.
class OdbcCursor : public Cursor {
public:
    int fieldCount() const override { return static_cast<int>(columns_.size()); }
    QString fieldName(int index) const override { return column(index).name; }
    int fieldType(int index) const override { return column(index).adoType; }
    int numericScale(int index) const override { return column(index).scale; }
    const Value& fieldValue(int index) const override;

protected:
    explicit OdbcCursor(std::vector<OdbcColumn> columns) : columns_(std::move(columns)) {}
    const std::vector<OdbcColumn>& columns() const { return columns_; }
    const OdbcColumn& column(int index) const;
    // The values of the current row; called only when not at the end.
    virtual const std::vector<Value>& currentRow() const = 0;
    // Fails as moving past the last row or reading there does.
    [[noreturn]] static void throwNoCurrentRecord();

private:
    std::vector<OdbcColumn> columns_;
};

} // namespace dravena
