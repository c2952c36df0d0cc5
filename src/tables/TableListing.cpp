#include "TableListing.h"

#include "TableList.h"
#include "app/Ports.h"
#include "connections/ConnectionEntries.h"
#include "connections/ConnectionStrings.h"
#include "connections/DataAccess.h"
#include "fsutil/FileHelpers.h"
#include "fsutil/FileListing.h"
#include "fsutil/SubDirectories.h"
#include "fsutil/TableFiles.h"

#include <algorithm>

namespace dravena {

namespace {

QString textOf(const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return QString::fromStdString(*text);
    return {};
}

} // namespace

void ListOracleTables(TableList& list, const ConnectionEntries& entries) {
    const std::unique_ptr<Connection> connection = dataAccess().createConnection();
    const std::unique_ptr<Recordset> tables = dataAccess().createRecordset();
    connection->setCursorLocation(ClientSideCursor);
    connection->open(oracleConnectionString(entries.oracleSid(), entries.oracleUser(),
                                            entries.oraclePassword()));
    tables->open(QStringLiteral("SELECT table_name FROM user_tables"), *connection);
    list.clear();
    const auto count = static_cast<std::int32_t>(tables->recordCount());
    for (std::int32_t i = 1; i <= count; ++i) {
        yieldToEventLoop();
        list.addEntry(textOf(tables->fieldValue(0)));
        tables->moveNext();
    }
    tables->close();
    if (list.entryCount() > 0)
        list.setCurrentIndex(0);
}

bool listedBefore(const QString& first, const QString& second) {
    const int order = first.compare(second, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : first < second;
}

void sortAsListed(QStringList& names) {
    std::sort(names.begin(), names.end(), listedBefore);
}

void findParadoxTables(const QString& folder, const std::function<void(const QString&)>& found) {
    QStringList folders{folder + u'/'};
    GetSubDirectories2016(folders, true);
    for (QString entry : folders) {
        entry.chop(1);
        for (const QString& name : ListFiles(entry, QStringLiteral("*.db"))) {
            if (name.startsWith(u'~'))
                continue;
            found(tableEntryName(GetFileName(entry + u'/' + name)));
        }
    }
}

void ListParadoxTables(TableList& list, const ConnectionEntries& entries) {
    const QString folder = entries.paradoxFolder();
    if (folder.isEmpty())
        return;
    findParadoxTables(folder, [&list](const QString& entry) { list.addEntry(entry); });
}

} // namespace dravena
