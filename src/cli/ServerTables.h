#pragma once

#include <QStringList>

namespace dravena::cli {

// The tables the user owns on the server, in the order the server sends them. Failures are
// RuntimeErrors carrying the driver's message.
QStringList readServerTables(const QString& sid, const QString& user, const QString& password);

} // namespace dravena::cli
