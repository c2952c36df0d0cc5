#include "RejectFile.h"

#include "base/RuntimeError.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"
#include "schema/Statements.h"
#include "schema/ValueText.h"

#include <QFile>
#include <QSaveFile>

#include <map>

namespace dravena::cli {

QString csvField(const QString& text) {
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString writeRejectFile(const QString& path, const QString& paradoxFolder, const QString& table,
                        const std::vector<RefusedRow>& refused) {
    std::map<std::int64_t, QString> wanted; // by 0-based row
    for (const RefusedRow& row : refused) { // a row refused for several fields: every message
        QString& message = wanted[row.row - 1];
        message += (message.isEmpty() ? QString() : QStringLiteral("; ")) + row.message;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const auto writeLine = [&file](const QStringList& fields) {
        file.write(fields.join(u',').toUtf8());
        file.write("\r\n");
    };
    try {
        const TablePlace place = splitTablePath(table);
        const QString folder = place.subFolder.isEmpty()
                                   ? paradoxFolder
                                   : pathInFolder(paradoxFolder, place.subFolder);
        const auto connection = dataAccess().createConnection();
        const auto recordset = dataAccess().createRecordset();
        connection->setCursorLocation(ClientSideCursor);
        connection->open(paradoxConnectionString(folder));
        recordset->open(selectAllStatement(place.entry), *connection);
        QStringList header{csvField(QStringLiteral("source row")),
                           csvField(QStringLiteral("message"))};
        for (int i = 0; i < recordset->fieldCount(); ++i)
            header.append(csvField(recordset->fieldName(i)));
        writeLine(header);
        for (std::int64_t row = 0; !recordset->atEnd() && !wanted.empty();
             recordset->moveNext(), ++row) {
            const auto found = wanted.find(row);
            if (found == wanted.end())
                continue;
            QStringList line{csvField(QString::number(row + 1)), csvField(found->second)};
            for (int i = 0; i < recordset->fieldCount(); ++i)
                line.append(csvField(valueText(recordset->fieldValue(i))));
            writeLine(line);
            wanted.erase(found);
        }
        recordset->close();
        connection->close();
    } catch (const RuntimeError& error) {
        file.cancelWriting();
        return error.description();
    }
    return file.commit() ? QString() : file.errorString();
}

} // namespace dravena::cli
