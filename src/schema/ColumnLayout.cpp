#include "ColumnLayout.h"

#include "TypeMapping.h"
#include "drivers/Drivers.h"

namespace dravena {

qsizetype serverCharacters(const std::string& utf8) {
    qsizetype units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            ++units; // a character starts here
        if (byte >= 0xF0)
            ++units; // outside the basic plane: a surrogate pair
    }
    return units;
}

std::vector<bool> fieldsHoldingLongText(const Recordset& recordset, Connection& connection,
                                        const QString& selectSql,
                                        const std::function<void()>& perRow) {
    const int fieldCount = recordset.fieldCount();
    std::vector<bool> holds(static_cast<std::size_t>(fieldCount), false);
    std::vector<int> candidates;
    for (int i = 0; i < fieldCount; ++i)
        if (isLongTextType(recordset.fieldType(i)))
            candidates.push_back(i);
    if (candidates.empty())
        return holds;

    const std::unique_ptr<Recordset> pass = dataAccess().createRecordset();
    pass->open(selectSql, connection);
    for (; !pass->atEnd() && !candidates.empty(); pass->moveNext()) {
        if (perRow)
            perRow();
        for (auto it = candidates.begin(); it != candidates.end();) {
            // A text of no more bytes than the limit has no more characters either (every code
            // page gives at most one UTF-16 unit per byte): such a memo is not read.
            if (const std::int64_t stored = pass->storedLength(*it);
                stored >= 0 && stored <= TextColumnCharacters) {
                ++it;
                continue;
            }
            const Value& value = pass->fieldValue(*it);
            const auto* text = std::get_if<std::string>(&value);
            // Fewer bytes than the limit are fewer characters too.
            if (text && static_cast<qsizetype>(text->size()) > TextColumnCharacters &&
                serverCharacters(*text) > TextColumnCharacters) {
                holds[static_cast<std::size_t>(*it)] = true;
                it = candidates.erase(it); // settled
            } else {
                ++it;
            }
        }
    }
    pass->close();
    return holds;
}

ColumnPlan columnOfField(const Recordset& recordset, int field, bool holdsLongText) {
    return plainColumnPlan(recordset.fieldName(field), recordset.fieldType(field),
                           recordset.numericScale(field), holdsLongText);
}

} // namespace dravena
