#pragma once

#include "ObjectNames.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace dravena {

// One thing a table's files show that a transfer would meet, with the rows it was seen in.
struct InspectionFinding {
    QString kind; // "unreadable", "not read", "no character", "suspect text", "refused",
                  // "long text", "name", "companion", "schema", "not carried", "object",
                  // "reading"
    QString text;
    std::vector<std::int64_t> rows; // the first rows (1-based, in the table's order)
    std::int64_t count = 0;         // rows (or values) concerned in all; 0 when not counted
    bool loses = false;             // a value would be lost, changed or refused, or an object
};

// A column as a mapping makes it: its Paradox field, its name and type on the server.
struct InspectedColumn {
    QString field;
    QString name;
    QString type;
};

// What a table's files hold and what sending it would meet, found without a server.
struct TableInspection {
    QString table;  // as chosen ("sub/NAME")
    QString server; // the name the server would see
    bool readable = false;
    int level = 0;    // 30, 35, 40, 50 or 70
    int codePage = 0; // as the header names it; 0 for none
    QString encoding; // the character set the text was read in
    bool encrypted = false;
    std::int64_t headerRecords = 0; // as the header counts them
    std::int64_t records = 0;       // as the blocks hold them, all read
    std::vector<InspectedColumn> plainColumns;
    std::vector<InspectedColumn> fullColumns; // with the full mapping only
    std::vector<InspectionFinding> findings;

    // Whether sending the table would lose, change or have refused anything it holds.
    bool losesOrRefuses() const;
};

// How many rows a finding names; the others are only counted.
inline constexpr std::size_t RowsNamedPerFinding = 5;

// Reads the table at tablePath ("sub/NAME" or a bare entry) below the folder whole, with its
// companion files, and finds what the columns of each mapping (plain, and with fullSchema the
// carried schema) would make of it: names cut to fit, values the server would refuse, text that
// looks wrongly decoded and, with fullSchema, rows that would break the carried objects. Names
// are fitted to `names`, the longest name of the server the table is for. Writes nothing. A
// table that cannot be read is not readable, with the reason among its findings.
TableInspection inspectTable(const QString& folder, const QString& tablePath, bool fullSchema,
                             const NameLimit& names);

// "\"Name\" NVARCHAR2(2000), ..." of a mapping's columns, as a report line shows them.
QString columnsText(const std::vector<InspectedColumn>& columns);

} // namespace dravena
