#include "TableNames.h"

#include "Drivers.h"
#include "base/Ports.h"
#include "dataaccess/ConnectionStrings.h"
#include "fsutil/FileHelpers.h"
#include "fsutil/FileListing.h"
#include "fsutil/SubDirectories.h"
#include "fsutil/TableFiles.h"

#include <algorithm>

namespace dravena {

QStringList oracleTableNames(const QString& sid, const QString& user, const QString& password) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    const std::unique_ptr<Recordset> tables = dataAccess().createRecordset();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(oracleConnectionString(sid, user, password));
    tables->open(QStringLiteral("SELECT table_name FROM user_tables"), *connection);
    QStringList names;
    for (; !tables->atEnd(); tables->moveNext()) {
        yieldToEventLoop();
        const auto* name = std::get_if<std::string>(&tables->fieldValue(0));
        names.append(name ? QString::fromStdString(*name) : QString());
    }
    tables->close();
    return names;
}

bool listedBefore(const QString& first, const QString& second) {
    return nameBefore(first, second);
}

void sortAsListed(QStringList& names) {
    std::sort(names.begin(), names.end(), listedBefore);
}

void findParadoxTables(
    const QString& folder,
    const std::function<void(const QString& entry, const QString& subFolder)>& found) {
    const QString top = folder + u'/';
    QStringList folders{top};
    GetSubDirectories2016(folders, true);
    for (QString entry : folders) {
        entry.chop(1);
        // The scan names every sub-folder by its parent's entry and its own name.
        const QString subFolder = entry.mid(top.size());
        for (const QString& name : ListFiles(entry, QStringLiteral("*.db"))) {
            if (name.startsWith(u'~'))
                continue;
            found(tableEntryName(GetFileName(entry + u'/' + name)), subFolder);
        }
    }
}

} // namespace dravena
