#pragma once

#include "schema/SchemaObjects.h"
#include "schema/TablePlan.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace dravena {

class ConnectionEntries;

// Rows per round trip unless asked otherwise: the tables window and dravena-cli send.
constexpr int DefaultRowsPerArray = 1000;

// A step of a transfer that failed: the driver's (or the layer's) message, the step's label, and
// where the run stood: the table, and the row (0-based) when it failed on a row, else -1.
struct TransferFailure {
    QString description;
    int line = 0;
    QString table;
    std::int64_t row = -1;
    // The connection to the server was lost (or gave no answer in time): the run ends, and
    // whether the statement in flight took effect is not known.
    bool connectionLost = false;
};

// How a selected table ended.
enum class TableOutcome {
    Sent,        // loaded to its end and under its own name (see rowSent for each row)
    Skipped,     // the overwrite question was answered No
    NotCreated,  // its SELECT or CREATE TABLE failed, the run was stopped or lost its
                 // connection, or the copy could not take its name: the server's table of that
                 // name was left as it was
    NotReplaced, // the copy did not arrive whole and did not replace the server's table of
                 // that name, which was left as it was (told by notReplaced)
    Unsettled    // the replace ended between its steps: where the rows are was told by
                 // tellReplace
};

// What the transfer asks of the front end that runs it: the tables window, or dravena-cli send.
class TransferFrontEnd {
public:
    virtual ~TransferFrontEnd() = default;

    // The connection settings, read when a connection string is built.
    virtual const ConnectionEntries& entries() const = 0;

    // The list the tables are taken from: its current entry (-1 when none), entries, selection.
    // The run walks it from the last entry to the first.
    virtual int currentTableIndex() const = 0;
    virtual int tableCount() const = 0;
    virtual bool isTableSelected(int index) const = 0;
    virtual QString tableName(int index) const = 0;
    // Where the Paradox connection reads the table: its name, or "sub/NAME" for a table of a
    // sub-folder of the Paradox folder (the server table is named tableName all the same).
    virtual QString tableSource(int index) const { return tableName(index); }

    // The server's table list, kept in step with the tables the run drops and creates.
    virtual bool isInServerList(const QString& name) const = 0;
    virtual void removeFromServerList(const QString& name) = 0;
    virtual void addToServerList(const QString& name) = 0;
    // The server list's own spelling of the table it holds as `name` with letter case ignored.
    virtual QString serverName(const QString& name) const { return name; }

    // Asks whether an existing table is to be replaced: AnswerYes or AnswerNo.
    virtual int askOverwrite(const QString& name) = 0;
    // Asked once the rows of `name` are in when `rows` of them did not arrive whole and the
    // server has a table of that name: true to replace it with the incomplete copy all the same.
    virtual bool replaceWithIncomplete(const QString& /*name*/, std::int64_t /*rows*/) {
        return false;
    }
    // The server's table `name` was left as it was: the copy was not whole. `text` says so and
    // why ("T: not replaced: 1 row refused, ...; the server's T was left as it was").
    virtual void notReplaced(const QString& /*name*/, const QString& /*text*/) {}
    // What became of a replace that ended between its steps (where the rows are), or of a
    // complete copy an earlier run left, put in place now.
    virtual void tellReplace(const QString& /*name*/, const QString& /*text*/) {}
    // Before the table at `source` is read, when the lock files say another program holds it,
    // or may hold it, for writing; `finding` says who and how. True reads it all the same; false
    // leaves it unsent, and the server's table of that name as it was.
    virtual bool readHeldTable(const QString& /*name*/, const QString& /*finding*/) { return true; }
    // Tells that no table is chosen; the run then ends.
    virtual void tellNoTableSelected() = 0;

    virtual void setPointer(int value) = 0;
    // Percentage of the table's rows done.
    virtual void setProgress(double percent) = 0;
    virtual void resetProgress() = 0;
    // Lets the front end do its other work (repaint, clicks); called per field and per row, or
    // once per array when the rows go in arrays.
    virtual void yield() = 0;
    // Rows sent per round trip: 1 sends one INSERT statement per row; more send the rows of a
    // table in arrays of parameters of that many rows.
    virtual int rowsPerArray() const { return 1; }
    // The carried schema of the table `name`, which lies at `source` (tableSource), its names
    // fitted to the server's longest name, for --schema full; nothing for the described columns.
    // Fails as reading the table does.
    virtual std::optional<TablePlan> tablePlan(const QString& /*name*/, const QString& /*source*/,
                                               const NameLimit& /*limit*/) {
        return std::nullopt;
    }

    // Asked after every row (or array) and every table: true ends the run there, as a stop the
    // user asked for.
    virtual bool stopRequested() { return false; }

    // A failed step; the run goes on with the next step unless the server connection is lost.
    virtual void reportFailure(const TransferFailure& failure) = 0;
    // Problems met while reading a table that did not stop it (values that could not be read
    // and went as NULL), told once at the end of the table.
    virtual void reportReadingProblems(const QString& table, const QStringList& problems) = 0;
    // The table's names that were cut to fit the server (nameCutLine), told before its rows.
    virtual void reportNameCuts(const QString& /*table*/, const QStringList& /*cuts*/) {}
    // How the table's rows went when that is not the way asked for (one statement per row, the
    // server could not prepare arrays), told once; it costs the table nothing.
    virtual void tellNote(const QString& /*table*/, const QString& /*note*/) {}
    // The table changed while it was read and is read again from its start: what the read
    // before told of its rows (refused, not read) no longer counts; `note` says why.
    virtual void tableReadAgain(const QString& table, const QString& note) {
        tellNote(table, note);
    }
    // Told before those problems when one of them cost a value (it could not be read and went
    // as NULL); a value read and written in another form costs none.
    virtual void valuesNotRead(const QString& /*table*/) {}

    // The foreign keys of the run's tables, at the run's end (--schema full): false to have the
    // run create them now; true when the front end creates them itself once the tables of other
    // runs are in too (the jobs of one dravena-cli send).
    virtual bool deferForeignKeys(const std::vector<ForeignKeyPlan>& /*keys*/) { return false; }

    // Progress of the tables, for front ends that count.
    virtual void tableStarting(const QString& /*name*/, std::int64_t /*rows*/) {}
    virtual void rowSent(std::int64_t /*row*/, bool /*inserted*/) {}
    virtual void tableFinished(const QString& /*name*/, TableOutcome /*outcome*/) {}
    // What became of the objects of a carried schema: a table's after its rows, the foreign keys
    // at the end of the run; with what could not be used or carried in full (warnings).
    virtual void schemaReported(const QString& /*table*/,
                                const std::vector<ObjectOutcome>& /*outcomes*/,
                                const QStringList& /*warnings*/) {}
};

} // namespace dravena
