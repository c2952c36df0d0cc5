#include "Field.h"

namespace dravena::paradox {

const char* fieldTypeName(FieldType type) {
    switch (type) {
    case FieldType::Alpha:
        return "Alpha";
    case FieldType::Date:
        return "Date";
    case FieldType::Short:
        return "Short";
    case FieldType::Long:
        return "Long";
    case FieldType::Money:
        return "Money";
    case FieldType::Number:
        return "Number";
    case FieldType::Logical:
        return "Logical";
    case FieldType::Memo:
        return "Memo";
    case FieldType::Blob:
        return "BLOB";
    case FieldType::FormattedMemo:
        return "Formatted memo";
    case FieldType::Ole:
        return "OLE";
    case FieldType::Graphic:
        return "Graphic";
    case FieldType::Time:
        return "Time";
    case FieldType::Timestamp:
        return "Timestamp";
    case FieldType::AutoIncrement:
        return "Autoincrement";
    case FieldType::Bcd:
        return "BCD";
    case FieldType::Bytes:
        return "Bytes";
    }
    return "Unknown";
}

} // namespace dravena::paradox
