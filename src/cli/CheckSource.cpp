#include "CheckSource.h"

#include "fsutil/SourceInUse.h"

namespace dravena::cli {

TableInspection inspectTableInUse(const QString& folder, const QString& table, bool fullSchema,
                                  bool refuseLocked, const NameLimit& names) {
    const TableLock lock = tableLockOf(folder, table);
    TableInspection inspection;
    for (int read = 1;; ++read) {
        const SourceSnapshot before = snapshotSource(folder, table);
        inspection = inspectTable(folder, table, fullSchema, names);
        if (snapshotSource(folder, table) == before)
            break;
        if (read == MostReadsOfAChangingTable) {
            inspection.findings.push_back(
                {QStringLiteral("changing"),
                 QStringLiteral("the Paradox table changed while it was read (%1 reads); another "
                                "program is writing it, and send would not send it")
                     .arg(read),
                 {},
                 0,
                 true});
            break;
        }
    }
    if (lock.forWriting())
        inspection.findings.insert(
            inspection.findings.begin(),
            {QStringLiteral("in use"),
             lock.text() + (refuseLocked ? QStringLiteral("; with --refuse-locked send would not "
                                                          "read it")
                                         : QString()),
             {},
             0,
             refuseLocked});
    return inspection;
}

} // namespace dravena::cli
