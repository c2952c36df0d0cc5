#include "TableWriter.h"

#include "WriterBlobFile.h"
#include "WriterCodePage.h"
#include "WriterFile.h"
#include "WriterHeader.h"
#include "WriterLevel.h"
#include "WriterRecord.h"
#include "WriterSchema.h"
#include "WriterValues.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

namespace dravena::paradox {

using namespace writer;

namespace {

// X.DB -> X.MB, x.db -> x.mb: the memo file keeps the letter case of the table file.
std::filesystem::path memoFileFor(const std::filesystem::path& dbFile) {
    std::string name = dbFile.filename().string();
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 >= name.size())
        return dbFile.parent_path() / (name + ".MB");
    char& first = name[dot + 1];
    first = first == 'd' ? 'm' : 'M';
    return dbFile.parent_path() / name;
}

std::string tableNameFor(const std::filesystem::path& dbFile, const CodePageEncoder& encoder) {
    try {
        return encoder.encode(dbFile.filename().string());
    } catch (const ParadoxError&) {
        return {}; // the name in the header is informational only
    }
}

} // namespace

struct TableWriter::Impl {
    Impl(const std::filesystem::path& dbFile, const std::vector<Field>& fields,
         const WriterOptions& options);

    void append(const std::vector<Value>& row);
    void finish();

    void startBlock();
    void writeBlock(bool last);
    [[noreturn]] void rethrow(const std::string& where, const ParadoxError& e) const;

    std::filesystem::path path;
    WriterOptions options;
    const TableLevel& level;
    CodePageEncoder encoder;
    std::vector<FieldLayout> layout;
    RecordEncoder records;
    HeaderBuilder header;
    std::size_t blockSize;
    std::size_t recordsPerBlock;
    WriterFile db;
    std::optional<BlobFileWriter> mb;

    std::vector<std::uint8_t> block;
    std::vector<std::uint8_t> record;
    std::vector<PendingBlob> blobs;
    std::size_t inBlock = 0;
    std::uint32_t blocks = 0;
    std::uint32_t rows = 0;
    bool failed = false;
    bool finished = false;
    int uncaughtAtStart = std::uncaught_exceptions();
};

namespace {

const TableLevel& checkedLevel(const std::filesystem::path& path, const WriterOptions& options) {
    try {
        const TableLevel& level = tableLevel(options.version);
        if (options.blockSizeKiB < 1 || options.blockSizeKiB > level.maxBlockKiB)
            throw ParadoxError("a block size of " + std::to_string(options.blockSizeKiB) +
                               " KiB is not allowed (1 to " + std::to_string(level.maxBlockKiB) +
                               " for this version)");
        return level;
    } catch (const ParadoxError& e) {
        throw ParadoxError(path.string() + ": " + e.what());
    }
}

CodePageEncoder checkedEncoder(const std::filesystem::path& path, const WriterOptions& options,
                               const TableLevel& level) {
    try {
        sortOrderFor(options.codePage, !level.extendedHeader);
        return CodePageEncoder(options.codePage);
    } catch (const ParadoxError& e) {
        throw ParadoxError(path.string() + ": " + e.what());
    }
}

std::vector<FieldLayout> checkedLayout(const std::filesystem::path& path,
                                       const std::vector<Field>& fields, const TableLevel& level,
                                       const CodePageEncoder& encoder, int blockSizeKiB) {
    try {
        auto layout = layOutFields(fields, level, encoder);
        int recordSize = 0;
        for (const auto& field : layout)
            recordSize += field.bytes;
        if (recordSize > blockSizeKiB * 1024 - 6)
            throw ParadoxError("records of " + std::to_string(recordSize) +
                               " bytes do not fit in blocks of " + std::to_string(blockSizeKiB) +
                               " KiB");
        return layout;
    } catch (const ParadoxError& e) {
        throw ParadoxError(path.string() + ": " + e.what());
    }
}

const std::filesystem::path& checkedTarget(const std::filesystem::path& path,
                                           const WriterOptions& options) {
    if (!options.replaceExisting &&
        (std::filesystem::exists(path) || std::filesystem::exists(memoFileFor(path))))
        throw ParadoxError(path.string() + ": the table already exists");
    return path;
}

} // namespace

TableWriter::Impl::Impl(const std::filesystem::path& dbFile, const std::vector<Field>& fields,
                        const WriterOptions& opts)
    : path(dbFile), options(opts), level(checkedLevel(dbFile, opts)),
      encoder(checkedEncoder(dbFile, opts, level)),
      layout(checkedLayout(dbFile, fields, level, encoder, opts.blockSizeKiB)),
      records(layout, encoder),
      header(level, layout, tableNameFor(dbFile, encoder), opts.codePage, opts.blockSizeKiB),
      blockSize(static_cast<std::size_t>(opts.blockSizeKiB) * 1024),
      recordsPerBlock((blockSize - 6) / static_cast<std::size_t>(records.recordSize())),
      db(checkedTarget(dbFile, opts)), block(blockSize),
      record(static_cast<std::size_t>(records.recordSize())) {
    if (std::any_of(layout.begin(), layout.end(),
                    [](const FieldLayout& f) { return isBlobType(f.field.type); }))
        mb.emplace(memoFileFor(dbFile));
    const std::vector<std::uint8_t> placeholder(header.size());
    db.append(placeholder.data(), placeholder.size());
}

void TableWriter::Impl::rethrow(const std::string& where, const ParadoxError& e) const {
    throw ParadoxError(path.string() + ": " + where + e.what());
}

void TableWriter::Impl::startBlock() {
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    inBlock = 0;
    ++blocks;
}

void TableWriter::Impl::writeBlock(bool last) {
    putLittle16(&block[0], last ? 0 : static_cast<std::uint16_t>(blocks + 1));
    putLittle16(&block[2], static_cast<std::uint16_t>(blocks - 1));
    putLittle16(&block[4],
                static_cast<std::uint16_t>((static_cast<int>(inBlock) - 1) * records.recordSize()));
    db.append(block.data(), block.size());
}

void TableWriter::Impl::append(const std::vector<Value>& row) {
    if (finished || failed)
        throw ParadoxError(path.string() + ": no more rows can be written (" +
                           (failed ? "an earlier write failed)" : "the table is finished)"));
    const std::string where = "row " + std::to_string(rows + 1) + ": ";
    const bool newBlock = blocks == 0 || inBlock == recordsPerBlock;
    if (newBlock && blocks == 0xFFFF)
        throw ParadoxError(path.string() + ": " + where +
                           "the table is full (65535 blocks); use a larger block size");
    if (rows == 0xFFFFFFFFu)
        throw ParadoxError(path.string() + ": " + where + "the table is full");
    blobs.clear();
    try {
        records.encode(row, record.data(), blobs);
    } catch (const ParadoxError& e) {
        rethrow(where, e);
    }
    // From here on a failure leaves the files inconsistent: the writer refuses to go on.
    failed = true;
    for (const PendingBlob& blob : blobs) {
        const std::uint32_t reference = mb->store(blob.bytes);
        putBlobTail(record.data() + blob.tailOffset, reference,
                    static_cast<std::uint32_t>(blob.bytes.size()), BlobFileWriter::modification);
    }
    if (newBlock) {
        if (blocks > 0)
            writeBlock(false);
        startBlock();
    }
    std::memcpy(&block[6 + inBlock * record.size()], record.data(), record.size());
    ++inBlock;
    ++rows;
    failed = false;
}

void TableWriter::Impl::finish() {
    if (finished)
        return;
    if (failed)
        throw ParadoxError(path.string() + ": the table was not written because a write failed");
    failed = true;
    if (blocks > 0)
        writeBlock(true);
    HeaderCounts counts;
    counts.records = rows;
    counts.blocks = static_cast<std::uint16_t>(blocks);
    counts.autoIncrement = static_cast<std::uint32_t>(records.highestAutoIncrement());
    const auto bytes = header.build(counts);
    db.writeAt(0, bytes.data(), bytes.size());
    if (mb)
        mb->commit(options.replaceExisting);
    db.commit(options.replaceExisting);
    if (!mb && options.replaceExisting) {
        // The memo file of the table this one replaces does not belong to the new table.
        std::error_code ignored;
        std::filesystem::remove(memoFileFor(path), ignored);
    }
    failed = false;
    finished = true;
}

TableWriter::TableWriter(const std::filesystem::path& dbFile, std::vector<Field> fields,
                         WriterOptions options)
    : impl_(std::make_unique<Impl>(dbFile, fields, options)) {}

TableWriter::~TableWriter() {
    // Left because of an exception, the rows written so far are not the whole table: nothing
    // is committed (and a table it would replace stays as it was).
    if (std::uncaught_exceptions() > impl_->uncaughtAtStart)
        return;
    try {
        impl_->finish();
    } catch (const ParadoxError&) {
        // A destructor cannot report; callers who care call finish() themselves. The
        // temporary files are removed, so no broken table is left behind.
    }
}

void TableWriter::append(const std::vector<Value>& row) {
    impl_->append(row);
}

void TableWriter::finish() {
    impl_->finish();
}

} // namespace dravena::paradox
