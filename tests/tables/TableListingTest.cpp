#include "tables/TableListing.h"
#include "dataaccess/ConnectionEntries.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/ParadoxConnection.h"
#include "paradoxwriter/TableWriter.h"
#include "schema/Statements.h"
#include "tables/TableList.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace dravena;

namespace {

class FolderEntry final : public ConnectionEntries {
public:
    explicit FolderEntry(QString folder) : folder_(std::move(folder)) {}
    QString paradoxFolder() const override { return folder_; }
    QString oracleSid() const override { return {}; }
    QString oracleUser() const override { return {}; }
    QString oraclePassword() const override { return {}; }

private:
    QString folder_;
};

void writeTable(const QTemporaryDir& dir, const QString& name, std::int64_t rows) {
    paradox::TableWriter writer(QFile::encodeName(dir.filePath(name)).toStdString(),
                                {{"Id", paradox::FieldType::Long, 4}});
    for (std::int64_t i = 1; i <= rows; ++i)
        writer.append({paradox::Value(i)});
    writer.finish();
}

// Whatever a table file is called, the entry it is listed under reads that very table.
TEST(ParadoxTableNames, EveryListedTableCanBeRead) {
    const QStringList names = {
        QStringLiteral("straße.db"), QStringLiteral("kırmızı.db"), QStringLiteral("İzmir.DB"),
        QStringLiteral("ilçe.db"),   QStringLiteral("οδός.db"),    QStringLiteral("ΟΔΟΣ2.db"),
        QStringLiteral("a.db.db"),   QStringLiteral("Orders.Db"),
    };
    QTemporaryDir dir;
    for (qsizetype i = 0; i < names.size(); ++i)
        writeTable(dir, names[i], i + 1);

    TableList list;
    ListParadoxTables(list, FolderEntry(dir.path()));
    // Capitals letter by letter: one character stays one character (ß has no capital of its own).
    QStringList entries;
    for (int i = 0; i < list.entryCount(); ++i)
        entries.append(list.entry(i));
    entries.sort();
    EXPECT_EQ(entries,
              (QStringList{"A", "ILÇE", "KIRMIZI", "ORDERS", "STRAßE", "İZMIR", "ΟΔΌΣ", "ΟΔΟΣ2"}));

    const auto connection = makeParadoxConnection();
    connection->open(paradoxConnectionString(dir.path()));
    QList<std::int64_t> counts;
    for (int i = 0; i < list.entryCount(); ++i) {
        const QString entry = list.entry(i);
        try {
            counts.append(connection->query(selectAllStatement(entry))->recordCount());
        } catch (const std::exception& e) {
            ADD_FAILURE() << entry.toStdString() << ": " << e.what();
        }
    }
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (QList<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
