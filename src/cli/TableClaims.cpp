#include "TableClaims.h"

namespace dravena::cli {

TableClaims::TableClaims(const QStringList& tables)
    : owners_(static_cast<std::size_t>(tables.size()), -1) {
    for (const QString& table : tables)
        names_.append(table.toLower());
}

bool TableClaims::claim(qsizetype position, int job) {
    const std::lock_guard<std::mutex> guard(lock_);
    int& owner = owners_.at(static_cast<std::size_t>(position));
    if (owner != -1)
        return owner == job;
    const QString& name = names_[position];
    const auto named = nameOwners_.constFind(name);
    if (named != nameOwners_.constEnd() && *named != job)
        return false;
    owner = job;
    nameOwners_.insert(name, job);
    return true;
}

} // namespace dravena::cli
