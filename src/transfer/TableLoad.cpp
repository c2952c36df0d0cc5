#include "TableLoad.h"

#include <QStringList>

namespace dravena {

namespace {

QString counted(std::int64_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

bool wholeCopy(const TableLoad& load) {
    return rowsNotWhole(load) == 0 && load.valuesNotRead == 0 && load.valuesLost == 0 &&
           !load.endedEarly && !load.stopped && !load.connectionLost && !load.sourceChanged;
}

std::int64_t rowsNotWhole(const TableLoad& load) {
    const std::int64_t notRead = load.rowsTaken - load.rowsRead;
    const std::int64_t notGiven = load.endedEarly && load.rowsExpected > load.rowsTaken
                                      ? load.rowsExpected - load.rowsTaken
                                      : 0;
    return load.rowsRefused + notRead + load.rowsWithLostValues + notGiven;
}

QString whyNotWhole(const TableLoad& load) {
    QStringList why;
    if (load.rowsRefused > 0)
        why.append(counted(load.rowsRefused, "row refused", "rows refused"));
    if (const std::int64_t values = load.valuesNotRead + load.valuesLost; values > 0)
        why.append(counted(values, "value could not be read", "values could not be read"));
    if (load.endedEarly)
        why.append(QStringLiteral("the table ended after %1 of %2 rows")
                       .arg(load.rowsTaken)
                       .arg(load.rowsExpected));
    if (load.stopped)
        why.append(QStringLiteral("stopped after %1 of %2 rows")
                       .arg(load.rowsTaken)
                       .arg(load.rowsExpected));
    if (load.connectionLost)
        why.append(QStringLiteral("the connection was lost"));
    if (load.sourceChanged)
        why.append(QStringLiteral("the Paradox table changed while it was read (%1 reads); "
                                  "another program is writing it")
                       .arg(load.reads));
    return why.join(QStringLiteral(", "));
}

ReplaceDecision decideReplace(const TableLoad& load, bool replacing, bool acceptIncomplete) {
    ReplaceDecision decision;
    // Without a connection the loading table can be neither named nor dropped: the next load of
    // the table removes it.
    if (load.connectionLost)
        return decision;
    // A stop keeps what the server holds; a new table keeps what arrived (nothing is lost).
    const bool acceptable = !load.sourceChanged &&
                            (!replacing || wholeCopy(load) || (acceptIncomplete && !load.stopped));
    decision.takeName = acceptable;
    decision.dropOld = acceptable && replacing;
    decision.dropCopy = !acceptable;
    return decision;
}

} // namespace dravena
