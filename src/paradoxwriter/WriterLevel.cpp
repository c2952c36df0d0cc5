#include "WriterLevel.h"

#include <array>
#include <string>

namespace dravena::paradox {

namespace {

constexpr std::array<TableLevel, 5> levels{{
    {30, 0x03, false, 79, true, 4},
    {35, 0x04, false, 79, false, 4},
    {40, 0x09, true, 79, false, 32},
    {50, 0x0B, true, 79, false, 32},
    {70, 0x0C, true, 261, false, 32},
}};

} // namespace

const TableLevel& tableLevel(int version) {
    for (const TableLevel& level : levels) {
        if (level.version == version)
            return level;
    }
    throw ParadoxError("unsupported table version " + std::to_string(version) +
                       " (use 30, 35, 40, 50 or 70)");
}

int firstLevelWithType(FieldType type) {
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Number:
    case FieldType::Money:
    case FieldType::Date:
    case FieldType::Short:
        return 30;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return 40;
    case FieldType::Long:
    case FieldType::Logical:
    case FieldType::Time:
    case FieldType::Timestamp:
    case FieldType::AutoIncrement:
    case FieldType::Bcd:
    case FieldType::Bytes:
        return 50;
    }
    return 50;
}

bool levelKnowsType(const TableLevel& level, FieldType type) {
    return level.version >= firstLevelWithType(type);
}

} // namespace dravena::paradox
