#include "ParadoxConnection.h"

#include "ParadoxCursor.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionString.h"
#include "fsutil/FileListing.h"
#include "fsutil/TableFiles.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace dravena {

namespace {

namespace fs = std::filesystem;

fs::path toPath(const QString& name) {
    return fs::path(QFile::encodeName(name).toStdString());
}

class ParadoxConnection final : public Connection {
public:
    void setCursorLocation(int location) override { cursorLocation_ = location; }
    int cursorLocation() const override { return cursorLocation_; }

    void open(const QString& connectionString) override {
        if (open_)
            throwObjectOpen();
        QString folder = connectionStringValue(connectionString, QStringLiteral("DefaultDir"));
        if (folder.isEmpty())
            folder = connectionStringValue(connectionString, QStringLiteral("Dbq"));
        if (folder.isEmpty())
            throw RuntimeError(errnum::PathNotFound,
                               QStringLiteral("The connection string names no Paradox folder "
                                              "(DefaultDir or Dbq)."));
        const fs::path path = toPath(folder);
        std::error_code error;
        if (!fs::is_directory(path, error))
            throw RuntimeError(errnum::PathNotFound,
                               QStringLiteral("The Paradox folder %1 does not exist or is not a "
                                              "folder.")
                                   .arg(folder));
        folder_ = path;
        open_ = true;
    }

    void execute(const QString& sql) override {
        requireOpen();
        throw RuntimeError(errnum::DataAccess,
                           QStringLiteral("The Paradox connection only reads tables (SELECT * FROM "
                                          "\"name\"); it cannot run: %1")
                               .arg(sql));
    }
    void execute(const QString& sql, std::span<const BoundValue>) override { execute(sql); }

    std::unique_ptr<Cursor> query(const QString& sql) override {
        requireOpen();
        const std::optional<QString> name = selectAllTableName(sql);
        if (!name)
            throw RuntimeError(errnum::DataAccess,
                               QStringLiteral("The Paradox connection only runs SELECT * FROM "
                                              "\"name\"; it cannot run: %1")
                                   .arg(sql));
        // A table of a sub-folder is named by its path below the folder: "sub/NAME".
        const QString folder = QFile::decodeName(folder_.c_str());
        const TablePlace place = splitTablePath(*name);
        const std::optional<QString> file = findTableFile(
            place.subFolder.isEmpty() ? folder : pathInFolder(folder, place.subFolder),
            place.entry);
        if (!file)
            throw RuntimeError(
                errnum::DataAccess,
                QStringLiteral("The Paradox table %1 was not found in %2.").arg(*name, folder));
        return std::make_unique<ParadoxCursor>(toPath(*file));
    }

    void close() override {
        requireOpen();
        open_ = false;
        folder_.clear();
    }

    bool isOpen() const override { return open_; }

private:
    void requireOpen() const {
        if (!open_)
            throwObjectClosed();
    }

    int cursorLocation_ = ServerSideCursor;
    bool open_ = false;
    fs::path folder_;
};

} // namespace

std::optional<QString> selectAllTableName(const QString& sql) {
    static const QString prefix = QStringLiteral("SELECT * FROM \"");
    if (!sql.startsWith(prefix) || !sql.endsWith(u'"') || sql.size() < prefix.size() + 2)
        return std::nullopt;
    const QStringView quoted = QStringView(sql).mid(prefix.size(), sql.size() - prefix.size() - 1);
    QString name;
    name.reserve(quoted.size());
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == u'"') {
            // Inside the quotes a double quote only stands doubled.
            if (i + 1 >= quoted.size() || quoted[i + 1] != u'"')
                return std::nullopt;
            ++i;
        }
        name += quoted[i];
    }
    return name;
}

std::unique_ptr<Connection> makeParadoxConnection() {
    return std::make_unique<ParadoxConnection>();
}

} // namespace dravena
