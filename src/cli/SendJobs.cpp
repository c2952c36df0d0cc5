#include "SendJobs.h"

#include "fsutil/TableFiles.h"
#include "schema/ObjectNames.h"
#include "transfer/TransferRun.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace dravena::cli {

SendOutcome sendInJobs(const CliTransfer::Settings& settings, int jobs, std::FILE* out,
                       bool terminal, const std::shared_ptr<Clock>& clock) {
    jobs = std::max(1, std::min<int>(jobs, static_cast<int>(settings.tables.size())));
    if (jobs == 1) {
        CliTransfer transfer(settings, out, terminal, clock);
        SendTablesToOracle(transfer);
        return {transfer.summary(), transfer.allWhole(), transfer.stopped()};
    }
    // Tables go to the server under their names without a sub-folder ("sub/NAME" is NAME).
    QStringList serverNames;
    for (const QString& table : settings.tables)
        serverNames.append(fittedName(splitTablePath(table).entry, settings.names));
    CliTransfer::SharedRun shared(serverNames);
    std::vector<std::unique_ptr<CliTransfer>> transfers;
    for (int job = 0; job < jobs; ++job) {
        transfers.push_back(std::make_unique<CliTransfer>(settings, out, false, clock));
        transfers.back()->shareRun(shared, job);
    }
    {
        std::vector<std::jthread> threads;
        for (const auto& transfer : transfers)
            threads.emplace_back([&transfer = *transfer] { SendTablesToOracle(transfer); });
    }
    // Every job has ended here: each table of the run has arrived or failed. The foreign keys
    // go now, whose master tables may have come over another job's connection.
    if (!shared.foreignKeys.empty())
        transfers.front()->carryForeignKeys(shared.foreignKeys, [&](const QString& master) {
            return std::any_of(transfers.begin(), transfers.end(),
                               [&](const auto& job) { return job->isInServerList(master); });
        });
    for (int job = 1; job < jobs; ++job)
        transfers.front()->addCounts(*transfers[static_cast<std::size_t>(job)]);
    return {transfers.front()->summary(), transfers.front()->allWhole(),
            transfers.front()->stopped()};
}

} // namespace dravena::cli
