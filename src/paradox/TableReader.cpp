#include "TableReader.h"

#include "BlockChain.h"
#include "ByteOrder.h"
#include "CharacterSet.h"
#include "Cipher.h"
#include "DataFile.h"
#include "MemoFile.h"
#include "RecordDecoder.h"
#include "TableHeader.h"
#include "TextDecoder.h"
#include "Warnings.h"

#include <cstdio>
#include <optional>

namespace dravena::paradox {

namespace {

bool hasBlobFields(const TableHeader& header) {
    for (const RawField& f : header.fields) {
        if (f.type >= static_cast<std::uint8_t>(FieldType::Memo) &&
            f.type <= static_cast<std::uint8_t>(FieldType::Graphic)) {
            return true;
        }
    }
    return false;
}

} // namespace

struct TableReader::Impl {
    Impl(const std::filesystem::path& path, const ReaderOptions& options);

    void openMemoFile(const std::filesystem::path& path);
    bool loadBlock();

    DataFile file;
    Warnings warnings;
    TableHeader header;
    std::optional<Cipher> cipher;
    TableInfo info;
    std::vector<Field> fields;
    BlockChain chain;
    std::optional<TextDecoder> text;
    std::optional<MemoFile> memo;
    std::optional<RecordDecoder> decoder;

    std::vector<std::uint8_t> block;
    std::size_t chainIndex = 0;    // next block of the chain to load
    std::uint32_t recordIndex = 0; // next record within the loaded block
    std::uint32_t recordsInBlock = 0;
    std::uint64_t delivered = 0;
    std::uint64_t replacedReported = 0;
    const std::uint8_t* record = nullptr; // the record moved to, within block
};

TableReader::Impl::Impl(const std::filesystem::path& path, const ReaderOptions& options)
    : file(path) {
    header = readTableHeader(file, warnings.raw());
    if (header.key != 0) {
        cipher.emplace(header.key);
    }
    chain = BlockChain::walk(file, header, cipher ? &*cipher : nullptr, warnings);

    CharacterSetChoice charset = characterSetForFile(path, header.codePage, header.sortOrder,
                                                     header.sortOrderId, header.hasSortOrderId);
    if (options.codePage > 0) {
        charset = {encodingForCodePage(options.codePage), false};
    }
    if (charset.withoutClue) {
        char sortOrder[8];
        std::snprintf(sortOrder, sizeof sortOrder, "0x%02X", header.sortOrder);
        warnings.add(file.name() + ": the table names no code page and its sort order " +
                     sortOrder + " is unknown; text is read as " + charset.encoding +
                     ", which is a guess");
    }
    text.emplace(charset.encoding);
    if (!text->usable()) {
        warnings.add(file.name() + ": the character set " + charset.encoding +
                     " is not available; text is read as " + text->encoding());
    }

    info.version = header.version;
    info.codePage = header.codePage;
    info.encrypted = cipher.has_value();
    info.encoding = text->encoding();
    info.encodingGuessed = charset.guessed;
    info.keyFields = header.primaryKeyFields;
    info.headerRecords = header.numRecords;

    if (hasBlobFields(header)) {
        openMemoFile(path);
    }
    info.hasMemoFile = memo.has_value();

    decoder.emplace(header.fields, *text, memo ? &*memo : nullptr, file.name(), warnings);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const RawField& f = header.fields[i];
        Field field;
        field.name = fieldName(header, i, *text, file.name(), warnings.raw());
        field.type = static_cast<FieldType>(f.type);
        field.size = f.type == static_cast<std::uint8_t>(FieldType::Bcd) ? f.sizeByte : f.width;
        fields.push_back(std::move(field));
    }
}

void TableReader::Impl::openMemoFile(const std::filesystem::path& path) {
    const auto memoPath = MemoFile::locate(path);
    if (!memoPath) {
        warnings.add(file.name() + ": no memo/BLOB file (.MB) beside the table");
        return;
    }
    try {
        memo.emplace(*memoPath, cipher ? &*cipher : nullptr);
    } catch (const ParadoxError& e) {
        warnings.add(e.what());
    }
}

bool TableReader::Impl::loadBlock() {
    const auto& blocks = chain.blocks();
    while (chainIndex < blocks.size()) {
        const ChainBlock entry = blocks[chainIndex++];
        if (entry.count == 0) {
            continue;
        }
        const std::uint64_t offset = BlockChain::blockOffset(header, entry.number);
        const std::size_t size = static_cast<std::size_t>(
            std::min<std::uint64_t>(header.blockSize, file.size() - offset));
        block.resize(header.blockSize);
        const std::size_t got = file.readAt(offset, block.data(), size);
        const std::size_t needed = 6 + std::size_t{entry.count} * header.recordSize;
        if (got < needed) {
            throw ParadoxError(file.name() + ": block " + std::to_string(entry.number) +
                               " was cut off while the table was read");
        }
        if (cipher) {
            cipher->decryptBlock(block.data(), got, entry.number);
        }
        const auto lastOffset = static_cast<std::int16_t>(bytes::le16(&block[4]));
        if (lastOffset != static_cast<int>((entry.count - 1) * header.recordSize)) {
            throw ParadoxError(file.name() + ": block " + std::to_string(entry.number) +
                               " changed while the table was read");
        }
        recordsInBlock = entry.count;
        recordIndex = 0;
        return true;
    }
    return false;
}

TableReader::TableReader(const std::filesystem::path& dbFile)
    : TableReader(dbFile, ReaderOptions{}) {}

TableReader::TableReader(const std::filesystem::path& dbFile, const ReaderOptions& options)
    : impl_(std::make_unique<Impl>(dbFile, options)) {}

TableReader::~TableReader() = default;

const std::vector<Field>& TableReader::fields() const {
    return impl_->fields;
}

const TableInfo& TableReader::info() const {
    return impl_->info;
}

std::uint64_t TableReader::recordCount() const {
    return impl_->chain.recordCount();
}

bool TableReader::next(std::vector<Value>& row) {
    if (!advance())
        return false;
    impl_->decoder->decode(impl_->record, row, impl_->delivered);
    return true;
}

bool TableReader::advance() {
    Impl& d = *impl_;
    d.record = nullptr;
    if (d.recordIndex >= d.recordsInBlock && !d.loadBlock()) {
        const std::uint64_t replaced = d.text->replacedBytes();
        if (replaced != d.replacedReported) {
            d.warnings.add(d.file.name() + ": " + std::to_string(replaced - d.replacedReported) +
                           " bytes of text have no character in " + d.text->encoding() +
                           " and were replaced");
            d.replacedReported = replaced;
        }
        return false;
    }
    d.record = d.block.data() + 6 + std::size_t{d.recordIndex} * d.header.recordSize;
    ++d.recordIndex;
    ++d.delivered;
    return true;
}

void TableReader::read(std::size_t field, Value& value) {
    Impl& d = *impl_;
    if (d.record == nullptr || field >= d.fields.size())
        throw ParadoxError(d.file.name() + ": there is no such value to read");
    d.decoder->decodeOne(d.record, field, value, d.delivered);
}

std::int64_t TableReader::storedLength(std::size_t field) const {
    const Impl& d = *impl_;
    if (d.record == nullptr || field >= d.fields.size())
        return -1;
    return d.decoder->storedLength(d.record, field);
}

const std::vector<std::string>& TableReader::warnings() const {
    return impl_->warnings.list();
}

bool TableReader::valuesLost() const {
    return impl_->warnings.valuesLost();
}

std::int64_t TableReader::lostValueCount() const {
    return impl_->warnings.lostValueCount();
}

} // namespace dravena::paradox
