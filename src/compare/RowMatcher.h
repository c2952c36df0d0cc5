#pragma once

#include "ComparedRow.h"
#include "DescriptorBudget.h"
#include "SpillFile.h"

#include <QCryptographicHash>

#include <array>
#include <cstdint>
#include <vector>

namespace dravena {

// A row that has no equal on the other side.
struct UnmatchedRow {
    std::int64_t paradoxRow =
        -1; // its record number (0-based) in the Paradox table; -1 on the server
    ComparedRow::Fields values;
    // The most alike row of the other side that has no equal either (the most fields equal,
    // the first such, at least half of them); no values when the other side has none.
    std::int64_t closestParadoxRow = -1;
    ComparedRow::Fields closest;
};

// The two sides compared as multisets of rows: every row of one side is paired with an equal
// row of the other, as long as there is one.
struct RowMatch {
    std::int64_t paradoxRows = 0;
    std::int64_t serverRows = 0;
    std::int64_t onlyInParadox = 0;
    std::int64_t onlyOnServer = 0;
    std::vector<UnmatchedRow> paradoxShown; // the first unpaired rows in Paradox order
    std::vector<UnmatchedRow> serverShown;  // the first unpaired rows in the server's order
};

// Compares the rows of a Paradox table with those the server returns, in any order, with memory
// that stays small whatever the tables' size: each row is put aside in a temporary file, and a
// 128-bit digest of it goes into one of several buckets (files too); the buckets are then
// paired one at a time, only the Paradox side of one bucket in memory. The files' descriptors come
// from the process's DescriptorGrant budget.
class RowMatcher {
public:
    // About this many rows of each side go into one bucket (fewer only in tests).
    static constexpr std::int64_t RowsPerBucket = 1 << 18;

    // paradoxRows sets how many buckets the rows are spread over.
    explicit RowMatcher(std::int64_t paradoxRows, std::int64_t rowsPerBucket = RowsPerBucket);

    void addParadoxRow(std::int64_t row, const ComparedRow& values);
    void addServerRow(const ComparedRow& values);

    // Pairs the rows; shows up to `shown` unpaired rows of each side.
    RowMatch finish(std::size_t shown = 5);

private:
    using Digest = std::array<std::uint8_t, 16>;
    struct Entry {
        Digest digest;
        std::int64_t offset; // of the row in its side's row file
    };
    struct Side {
        explicit Side(std::size_t buckets);
        SpillFile rows;
        std::vector<SpillFile> buckets;
        SpillFile unmatched; // offsets of unpaired rows
        std::int64_t count = 0;
        std::int64_t unmatchedCount = 0;
        std::vector<std::int64_t> firstUnmatched; // the smallest offsets, sorted
    };

    void add(Side& side, std::int64_t row, const ComparedRow& values);
    void pairBucket(std::size_t bucket, std::size_t shown);
    static void noteUnmatched(Side& side, std::int64_t offset, std::size_t shown);
    static UnmatchedRow readRow(Side& side, std::int64_t offset);
    // For each shown row, the most alike unpaired row of the other side.
    static void findClosest(std::vector<UnmatchedRow>& rows, Side& other);

    DescriptorGrant descriptors_; // for the files of both sides, taken before they open
    QCryptographicHash hash_{QCryptographicHash::Blake2s_128};
    Side paradox_;
    Side server_;
};

} // namespace dravena
