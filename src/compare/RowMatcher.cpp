#include "RowMatcher.h"

#include <algorithm>
#include <cstring>

namespace dravena {

namespace {

// Each bucket is a file, open while the rows are read.
constexpr std::int64_t MostBuckets = 256;
// Besides its buckets, each side holds its rows and its unpaired rows in a file each.
constexpr std::size_t FilesPerSide = 2;

// A bucket's Paradox digests in memory take about 28 bytes a row: some 7 MB for the usual
// RowsPerBucket. Fewer descriptors than that wants make the buckets larger, never the check fail.
std::size_t bucketsFor(std::int64_t rows, std::int64_t rowsPerBucket) {
    return static_cast<std::size_t>(
        std::clamp<std::int64_t>((rows + rowsPerBucket - 1) / rowsPerBucket, 1, MostBuckets));
}

std::size_t bucketsOf(const DescriptorGrant& grant) {
    return std::max<std::size_t>(grant.count() / 2, FilesPerSide + 1) - FilesPerSide;
}

struct RowHeader {
    std::int64_t row;
    std::uint32_t length;
};

// How many fields two rows have in common, field by field.
std::size_t equalFields(const ComparedRow::Fields& a, const ComparedRow::Fields& b) {
    std::size_t equal = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] == b[i])
            ++equal;
    return equal;
}

} // namespace

RowMatcher::Side::Side(std::size_t buckets) : buckets(buckets) {}

RowMatcher::RowMatcher(std::int64_t paradoxRows, std::int64_t rowsPerBucket)
    : descriptors_(2 * (FilesPerSide + 1),
                   2 * (FilesPerSide + bucketsFor(paradoxRows, rowsPerBucket))),
      paradox_(bucketsOf(descriptors_)), server_(bucketsOf(descriptors_)) {}

void RowMatcher::addParadoxRow(std::int64_t row, const ComparedRow& values) {
    add(paradox_, row, values);
}

void RowMatcher::addServerRow(const ComparedRow& values) {
    add(server_, -1, values);
}

void RowMatcher::add(Side& side, std::int64_t row, const ComparedRow& values) {
    const std::string_view encoded = values.encoded();
    const RowHeader header{row, static_cast<std::uint32_t>(encoded.size())};
    Entry entry{};
    entry.offset = side.rows.write(&header, sizeof header);
    side.rows.write(encoded.data(), encoded.size());
    hash_.reset();
    hash_.addData(QByteArrayView(encoded.data(), static_cast<qsizetype>(encoded.size())));
    const QByteArrayView digest = hash_.resultView();
    std::memcpy(entry.digest.data(), digest.data(), entry.digest.size());
    std::uint64_t spread = 0;
    std::memcpy(&spread, entry.digest.data(), sizeof spread);
    side.buckets[spread % side.buckets.size()].write(&entry, sizeof entry);
    ++side.count;
}

RowMatch RowMatcher::finish(std::size_t shown) {
    for (std::size_t bucket = 0; bucket < paradox_.buckets.size(); ++bucket)
        pairBucket(bucket, shown);
    RowMatch match;
    match.paradoxRows = paradox_.count;
    match.serverRows = server_.count;
    match.onlyInParadox = paradox_.unmatchedCount;
    match.onlyOnServer = server_.unmatchedCount;
    for (const std::int64_t offset : paradox_.firstUnmatched)
        match.paradoxShown.push_back(readRow(paradox_, offset));
    for (const std::int64_t offset : server_.firstUnmatched)
        match.serverShown.push_back(readRow(server_, offset));
    findClosest(match.paradoxShown, server_);
    findClosest(match.serverShown, paradox_);
    return match;
}

void RowMatcher::pairBucket(std::size_t bucket, std::size_t shown) {
    std::vector<Entry> rows;
    rows.reserve(static_cast<std::size_t>(paradox_.buckets[bucket].size()) / sizeof(Entry));
    SpillFile& ours = paradox_.buckets[bucket];
    ours.rewind();
    for (Entry entry{}; ours.read(&entry, sizeof entry);)
        rows.push_back(entry);
    ours.discard();
    const auto byDigest = [](const Entry& a, const Entry& b) {
        return a.digest != b.digest ? a.digest < b.digest : a.offset < b.offset;
    };
    std::sort(rows.begin(), rows.end(), byDigest);
    // Rows of equal digest stand together; taken[first of them] counts those already paired.
    std::vector<std::uint32_t> taken(rows.size(), 0);
    SpillFile& theirs = server_.buckets[bucket];
    theirs.rewind();
    for (Entry entry{}; theirs.read(&entry, sizeof entry);) {
        const auto first = std::lower_bound(
            rows.begin(), rows.end(), entry.digest,
            [](const Entry& e, const Digest& digest) { return e.digest < digest; });
        const auto index = static_cast<std::size_t>(first - rows.begin());
        const std::size_t next = index + (index < taken.size() ? taken[index] : 0);
        if (next < rows.size() && rows[next].digest == entry.digest)
            ++taken[index];
        else
            noteUnmatched(server_, entry.offset, shown);
    }
    theirs.discard();
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i + 1;
        while (end < rows.size() && rows[end].digest == rows[i].digest)
            ++end;
        for (std::size_t j = i + taken[i]; j < end; ++j)
            noteUnmatched(paradox_, rows[j].offset, shown);
        i = end;
    }
}

void RowMatcher::noteUnmatched(Side& side, std::int64_t offset, std::size_t shown) {
    side.unmatched.write(&offset, sizeof offset);
    ++side.unmatchedCount;
    auto& first = side.firstUnmatched;
    if (first.size() == shown && (shown == 0 || offset > first.back()))
        return;
    first.insert(std::upper_bound(first.begin(), first.end(), offset), offset);
    if (first.size() > shown)
        first.pop_back();
}

UnmatchedRow RowMatcher::readRow(Side& side, std::int64_t offset) {
    RowHeader header{};
    side.rows.readAt(offset, &header, sizeof header);
    std::string encoded(header.length, '\0');
    side.rows.readAt(offset + static_cast<std::int64_t>(sizeof header), encoded.data(),
                     encoded.size());
    UnmatchedRow row;
    row.paradoxRow = header.row;
    row.values = ComparedRow::fields(encoded);
    return row;
}

void RowMatcher::findClosest(std::vector<UnmatchedRow>& rows, Side& other) {
    if (rows.empty() || other.unmatchedCount == 0)
        return;
    std::vector<std::size_t> best(rows.size(), 0);
    other.unmatched.rewind();
    for (std::int64_t offset = 0; other.unmatched.read(&offset, sizeof offset);) {
        const UnmatchedRow candidate = readRow(other, offset);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            // A row alike in fewer than half its fields tells less than the row itself.
            const std::size_t equal = equalFields(rows[r].values, candidate.values);
            if (2 * equal >= rows[r].values.size() &&
                (rows[r].closest.empty() || equal > best[r])) {
                best[r] = equal;
                rows[r].closest = candidate.values;
                rows[r].closestParadoxRow = candidate.paradoxRow;
            }
        }
    }
}

} // namespace dravena
