#include "WriterSchema.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace dravena::paradox::writer {

namespace {

struct SizeRule {
    int fixed = 0; // non-zero: the only size
    int min = 0;
    int max = 0;
    int byDefault = 0;
};

SizeRule sizeRule(FieldType type) {
    switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
        return {0, 1, 255, 0};
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoIncrement:
        return {4, 4, 4, 4};
    case FieldType::Short:
        return {2, 2, 2, 2};
    case FieldType::Money:
    case FieldType::Number:
    case FieldType::Timestamp:
        return {8, 8, 8, 8};
    case FieldType::Logical:
        return {1, 1, 1, 1};
    case FieldType::Memo:
        return {0, 11, 250, 0};
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
        return {0, 10, 250, 10};
    case FieldType::Bcd:
        return {0, 0, 32, 0};
    }
    throw ParadoxError("unknown field type " + std::to_string(static_cast<int>(type)));
}

std::size_t utf8Characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string folded(const std::string& name) {
    std::string out = name;
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

} // namespace

bool isBlobType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo ||
           type == FieldType::Ole || type == FieldType::Graphic;
}

std::vector<FieldLayout> layOutFields(const std::vector<Field>& fields, const TableLevel& level,
                                      const CodePageEncoder& encoder) {
    if (fields.empty() || fields.size() > 255)
        throw ParadoxError("a table has 1 to 255 fields, not " + std::to_string(fields.size()));
    std::vector<FieldLayout> layout;
    std::set<std::string> names;
    int offset = 0;
    for (const Field& field : fields) {
        const std::string what = "field \"" + field.name + "\": ";
        if (field.name.empty() || field.name.front() == ' ' ||
            field.name.find('\0') != std::string::npos || utf8Characters(field.name) > 25)
            throw ParadoxError(what + "a field name has 1 to 25 characters and no leading blank");
        if (!names.insert(folded(field.name)).second)
            throw ParadoxError(what + "the name is used twice");
        SizeRule rule;
        try {
            rule = sizeRule(field.type);
        } catch (const ParadoxError& e) {
            throw ParadoxError(what + e.what());
        }
        if (!levelKnowsType(level, field.type))
            throw ParadoxError(what + fieldTypeName(field.type) + " fields need version " +
                               std::to_string(firstLevelWithType(field.type) / 10) +
                               ".0 or later, not " + std::to_string(level.version / 10) + "." +
                               std::to_string(level.version % 10));
        FieldLayout item;
        item.field = field;
        if (item.field.size == 0 && rule.byDefault != 0)
            item.field.size = rule.byDefault;
        const int size = item.field.size;
        if (size < rule.min || size > rule.max || (rule.fixed != 0 && size != rule.fixed))
            throw ParadoxError(what + "size " + std::to_string(size) + " is not allowed for " +
                               fieldTypeName(field.type) + " (" + std::to_string(rule.min) +
                               " to " + std::to_string(rule.max) + ")");
        try {
            item.codedName = encoder.encode(field.name);
        } catch (const ParadoxError& e) {
            throw ParadoxError(what + e.what());
        }
        item.bytes = field.type == FieldType::Bcd ? 17 : size;
        item.leader = isBlobType(field.type) ? size - 10 : 0;
        item.offset = offset;
        offset += item.bytes;
        layout.push_back(std::move(item));
    }
    return layout;
}

} // namespace dravena::paradox::writer
