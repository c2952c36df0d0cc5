#include "OdbcCursor.h"

#include "base/RuntimeError.h"

namespace dravena {

const OdbcColumn& OdbcCursor::column(int index) const {
    if (index < 0 || index >= fieldCount())
        throw RuntimeError(adoerror::ItemNotFound,
                           QStringLiteral("Item cannot be found in the collection "
                                          "corresponding to the requested name or "
                                          "ordinal."));
    return columns_[static_cast<std::size_t>(index)];
}

const Value& OdbcCursor::fieldValue(int index) const {
    column(index);
    if (atEnd())
        throwNoCurrentRecord();
    return currentRow()[static_cast<std::size_t>(index)];
}

void OdbcCursor::throwNoCurrentRecord() {
    throw RuntimeError(adoerror::NoCurrentRecord,
                       QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                      "deleted. Requested operation requires a current record."));
}

} // namespace dravena
