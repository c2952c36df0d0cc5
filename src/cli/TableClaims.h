#pragma once

#include <QHash>
#include <QStringList>

#include <mutex>
#include <vector>

namespace dravena::cli {

// The tables of one send shared out among its jobs, each on a connection of its own: a job takes
// the next table that no other job has taken, and every table is sent whole by the job that took
// it. Tables of one name (letter case ignored) all go to the job that took the first of them, so
// that they follow one another on one connection as they would in a run of one job.
class TableClaims {
public:
    explicit TableClaims(const QStringList& tables);

    // Whether `job` sends the table at `position` (0 is the first table named): true when the
    // job took it now or before, false when another job has it or has the name.
    bool claim(qsizetype position, int job);

private:
    std::mutex lock_;
    QStringList names_;       // lower-case
    std::vector<int> owners_; // the job of each table, -1 while nobody has it
    QHash<QString, int> nameOwners_;
};

} // namespace dravena::cli
