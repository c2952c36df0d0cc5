#include "ParadoxConnection.h"

#include "ConnectionString.h"
#include "ParadoxCursor.h"
#include "app/RuntimeError.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace dravena {

namespace {

namespace fs = std::filesystem;

fs::path toPath(const QString& name) {
    return fs::path(QFile::encodeName(name).toStdString());
}

// The table file of a name in the folder: <name>.db in any letter case. When several files
// differ only in letter case, the one whose name sorts first (byte by byte) is taken, so the
// choice does not depend on the order of the directory.
std::optional<fs::path> findTableFile(const fs::path& folder, const QString& name) {
    const QString wanted = name + QStringLiteral(".db");
    std::optional<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path fileName = it->path().filename();
        if (QFile::decodeName(fileName.c_str()).compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        std::error_code statError;
        if (!it->is_regular_file(statError))
            continue;
        if (!found || fileName < found->filename())
            found = it->path();
    }
    if (error)
        throw RuntimeError(errnum::PathFileAccess,
                           QStringLiteral("Cannot read the Paradox folder %1: %2")
                               .arg(QFile::decodeName(folder.c_str()),
                                    QString::fromLocal8Bit(error.message().c_str())));
    return found;
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
        const std::optional<fs::path> file = findTableFile(folder_, *name);
        if (!file)
            throw RuntimeError(errnum::DataAccess,
                               QStringLiteral("The Paradox table %1 was not found in %2.")
                                   .arg(*name, QFile::decodeName(folder_.c_str())));
        return std::make_unique<ParadoxCursor>(*file);
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
