#include "LetterCaseTwins.h"

#include "Options.h"
#include "fsutil/FileHelpers.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"

#include <cstdio>

namespace dravena::cli {

void tellLetterCaseTwins(const char* command, const QString& folder, const QStringList& tables) {
    QStringList told;
    for (const QString& table : tables) {
        if (told.contains(table))
            continue;
        told.append(table);
        try {
            const TablePlace place = splitTablePath(table);
            const QString where =
                place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder);
            const QStringList files = tableFileNamesOf(where, place.entry);
            const std::optional<QString> read = findTableFile(where, place.entry);
            if (files.size() < 2 || !read)
                continue;
            printLine(stderr, QStringLiteral("dravena-cli %1: %2: the folder holds %3, whose names "
                                             "differ only in letter case; %4 is read")
                                  .arg(QLatin1String(command), table,
                                       files.join(QStringLiteral(" and ")), GetFileName(*read)));
        } catch (...) {
            // a folder that cannot be read is told when the table is
        }
    }
}

} // namespace dravena::cli
