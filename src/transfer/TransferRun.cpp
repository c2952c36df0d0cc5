#include "TransferRun.h"

#include "RowTransport.h"
#include "TableLoad.h"
#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"
#include "base/Dialogs.h"
#include "base/ObjectRef.h"
#include "base/PointerValues.h"
#include "base/RuntimeError.h"
#include "dataaccess/ConnectionEntries.h"
#include "dataaccess/ConnectionStrings.h"
#include "dataaccess/DataAccess.h"
#include "drivers/Drivers.h"
#include "fsutil/SourceInUse.h"
#include "odbc/OdbcDiagnostics.h"
#include "schema/ColumnLayout.h"
#include "schema/ColumnValues.h"
#include "schema/ObjectNames.h"
#include "schema/ServerNaming.h"
#include "schema/Statements.h"
#include "schema/TypeMapping.h"
#include "schema/ValueText.h"

namespace dravena {

namespace {

// The default NullToDefault gives a NULL field: the empty text, which stands as NULL.
const Value NoValueText{std::string()};

// Copies a value read into a row's slot. Most values are texts where the row before had a text
// too: that text's room takes it, without the general copy of a value of any kind.
void copyValue(Value& to, const Value& from) {
    if (const auto* text = std::get_if<std::string>(&from))
        if (auto* room = std::get_if<std::string>(&to)) {
            room->assign(*text);
            return;
        }
    to = from;
}

// What becomes of the loading table once the replace is decided and carried out.
enum class CopyFate {
    Named,     // it took the table's own name
    Drop,      // it goes: the server's table of that name (if any) stays as it was
    Keep,      // it stays under its loading name: the connection is gone (the old table is not)
    Unsettled, // the replace ended between its steps: where the rows are was told
};

// One run: the connections and the record set it creates, and the steps of each table.
class TransferRun {
public:
    explicit TransferRun(TransferFrontEnd& frontEnd) : fe_(frontEnd), run_(frontEnd) {}

    void run();

private:
    bool openConnections();
    void sendTable(int index);
    void finishInterruptedSwaps();
    bool dropLeftover(const QString& name, const QString& loading);
    std::vector<QStringList> query(const QString& sql, int columns);
    bool tableExists(const QString& table);
    bool createTable(const QString& name, const QString& source, const QString& loading);
    TableLoad loadRows(const QString& name, const QString& loading);
    CopyFate takeFinalName(const QString& name, const QString& loading, bool dropOld);
    void dropQuietly(const QString& table, const QString& statement = {});
    void carrySchema(const QString& name);
    void carryForeignKeys();
    void finishTable(const QString& name, TableOutcome outcome, const QString& onServer = {});
    void closeConnections();
    bool sourceExhausted() const;
    std::int64_t lostValueCount() const;

    TransferFrontEnd& fe_;
    TransferSteps run_;
    ObjectRef<Connection> oracle_;
    ObjectRef<Connection> paradox_;
    ObjectRef<Recordset> source_;
    QString listedName_; // the table as the front end lists it, before it is fitted
    NameLimit names_;    // the server's longest name, asked once signed on
    std::vector<ColumnPlan> columns_;
    std::optional<TablePlan> plan_;           // the table's carried schema (--schema full)
    std::vector<ForeignKeyPlan> foreignKeys_; // of every table of the run, added at its end
};

void TransferRun::run() {
    run_.step(100, [&] { oracle_ = dataAccess().createConnection(); });
    run_.step(102, [&] { paradox_ = dataAccess().createConnection(); });
    run_.step(104, [&] { source_ = dataAccess().createRecordset(); });
    if (!run_.test(108, [&] { return fe_.currentTableIndex() != -1; })) {
        run_.step(270, [&] { fe_.tellNoTableSelected(); });
        return;
    }
    run_.step(110, [&] { fe_.setPointer(PointerBusy); });
    if (openConnections()) {
        finishInterruptedSwaps();
        run_.line(120);
        for (int index = fe_.tableCount() - 1; index >= 0 && !run_.ended() && !fe_.stopRequested();
             --index) {
            if (run_.test(122, [&] { return fe_.isTableSelected(index); }))
                sendTable(index);
            run_.line(256);
        }
        carryForeignKeys();
    }
    closeConnections();
}

// A connection that cannot be opened is reported once and ends the run: every statement on it
// would only fail in turn.
bool TransferRun::openConnections() {
    run_.step(112, [&] { paradox_->setCursorLocation(ClientSideCursor); });
    if (!run_.step(transferline::OpenParadox,
                   [&] { paradox_->open(paradoxConnectionString(fe_.entries().paradoxFolder())); }))
        return false;
    run_.step(116, [&] { oracle_->setCursorLocation(ServerSideCursor); });
    const ConnectionEntries& entries = fe_.entries();
    return run_.step(transferline::OpenServer, [&] {
        oracle_->open(oracleConnectionString(entries.oracleSid(), entries.oracleUser(),
                                             entries.oraclePassword()));
        names_ = readServerNaming(*oracle_).limit;
    });
}

// The table is loaded under a name of our own and takes its own name only when the load ran to
// its end (the old table is dropped then); until that moment the server's table stays as it was.
void TransferRun::sendTable(int index) {
    QString name;
    QString source;
    int answer = 0;
    // The server's name of the table: as listed, cut when it is longer than the server takes.
    run_.step(124, [&] {
        listedName_ = fe_.tableName(index);
        name = fittedName(listedName_, names_);
    });
    run_.step(124, [&] { source = fe_.tableSource(index); });
    run_.setTable(name);
    if (run_.test(126, [&] { return fe_.isInServerList(name); }))
        run_.step(128, [&] { answer = fe_.askOverwrite(name); });
    else
        run_.step(130, [&] { answer = 0; });
    if (run_.test(132, [&] { return answer == AnswerNo; })) {
        fe_.tableFinished(name, TableOutcome::Skipped);
        return;
    }
    const bool replacing = run_.test(134, [&] { return answer == AnswerYes; });
    // The server's table, found with letter case ignored, is dropped and its name taken as the
    // server spells it.
    const QString onServer = replacing ? fe_.serverName(name) : name;
    const QString loading = loadingTableName(name);
    const QString folder = fe_.entries().paradoxFolder();
    // Another program may be writing the table: the front end warns, or leaves it.
    if (const TableLock lock = tableLockOf(folder, source);
        lock.forWriting() && !fe_.readHeldTable(name, lock.text())) {
        finishTable(name, TableOutcome::NotCreated);
        return;
    }
    // The table's files before and after each read: a table written meanwhile is read again, a
    // new load, and after the last read it is told as changing and its copy goes.
    TableLoad load;
    for (int read = 1;; ++read) {
        const SourceSnapshot before = snapshotSource(folder, source);
        if (source_->isOpen())
            run_.step(transferline::OpenSource, [&] { source_->close(); });
        // A table that cannot be read or created is skipped: no INSERT goes to a table the run
        // did not create.
        if (!run_.step(transferline::OpenSource,
                       [&] { source_->open(selectAllStatement(source), *paradox_); })) {
            finishTable(name, TableOutcome::NotCreated);
            return;
        }
        if (!dropLeftover(name, loading)) {
            finishTable(name, TableOutcome::Unsettled);
            return;
        }
        if (!createTable(name, source, loading)) {
            finishTable(name, TableOutcome::NotCreated);
            return;
        }
        load = loadRows(name, loading);
        load.reads = read;
        if (load.stopped || load.connectionLost || run_.ended() ||
            snapshotSource(folder, source) == before)
            break;
        if (read == MostReadsOfAChangingTable) {
            load.sourceChanged = true;
            break;
        }
        fe_.tableReadAgain(name, QStringLiteral("the Paradox table changed while it was read: "
                                                "reading it again"));
    }
    // A copy that is not whole replaces the server's table only when the user accepts it so.
    const bool acceptable = replacing && !wholeCopy(load) && !load.stopped &&
                            !load.connectionLost && !load.sourceChanged && !run_.ended() &&
                            fe_.replaceWithIncomplete(name, rowsNotWhole(load));
    const ReplaceDecision decision = decideReplace(load, replacing, acceptable);
    const CopyFate copy = decision.takeName   ? takeFinalName(onServer, loading, decision.dropOld)
                          : decision.dropCopy ? CopyFate::Drop
                                              : CopyFate::Keep;
    if (copy == CopyFate::Drop)
        dropQuietly(loading);
    // The key, indexes and checks go on the table under its own name: their names must not
    // meet those of the table it replaces.
    if (copy == CopyFate::Named && plan_)
        carrySchema(onServer);
    TableOutcome outcome = copy == CopyFate::Named       ? TableOutcome::Sent
                           : copy == CopyFate::Unsettled ? TableOutcome::Unsettled
                                                         : TableOutcome::NotCreated;
    if (!decision.takeName && decision.dropCopy && !load.stopped) {
        fe_.notReplaced(name, replacing ? QStringLiteral("%1: not replaced: %2; the server's %3 "
                                                         "was left as it was")
                                              .arg(name, whyNotWhole(load), onServer)
                                        : QStringLiteral("%1: not sent: %2; no table %1 was "
                                                         "left on the server")
                                              .arg(name, whyNotWhole(load)));
        outcome = TableOutcome::NotReplaced;
    }
    finishTable(name, outcome, onServer);
}

// A replace an earlier run left between its DROP and its RENAME: a loading table marked as a
// complete copy whose table's name is free takes the name, before the run does anything else.
void TransferRun::finishInterruptedSwaps() {
    std::vector<QStringList> marked;
    run_.step(transferline::FinishSwap, [&] {
        try {
            marked = query(completeCopiesQuery(), 2);
        } catch (const ConnectionLostError&) {
            throw;
        } catch (const RuntimeError&) {
            // a server without the catalogue view of comments holds no copy marked by us
        }
    });
    for (const QStringList& copy : marked) {
        const QString& loading = copy[0];
        const QString name = completeCopyOf(copy[1]);
        bool free = false;
        if (name.isEmpty() || run_.ended() ||
            !run_.step(transferline::FinishSwap, [&] { free = !tableExists(name); }) || !free)
            continue;
        bool renamed = false;
        run_.step(transferline::FinishSwap, [&] {
            try {
                oracle_->execute(alterTableRenameStatement(loading, name));
                renamed = true;
            } catch (const ConnectionLostError&) {
                throw;
            } catch (const RuntimeError&) {
                if (!tableExists(name))
                    throw; // else another connection of the run put it in place
            }
        });
        if (!renamed)
            continue;
        dropQuietly(QString(), clearMarkStatement(name));
        fe_.tellReplace(name, QStringLiteral("%1: put in place the complete copy an earlier run "
                                             "left in the server's table %2")
                                  .arg(name, loading));
        if (!fe_.isInServerList(name))
            fe_.addToServerList(name);
    }
}

// A table of ours that an earlier run left (it was killed in the middle of a load) goes first,
// unless it is the complete copy of a table whose name is missing: then it is the only copy.
bool TransferRun::dropLeftover(const QString& name, const QString& loading) {
    QString copyOf;
    // When the mark cannot be read, a leftover stays (CREATE TABLE then fails on it).
    bool known = run_.step(transferline::DropLeftover, [&] {
        const auto comment = query(tableCommentQuery(loading), 1);
        if (!comment.empty())
            copyOf = completeCopyOf(comment.front().front());
    });
    bool onlyCopy = false;
    if (known && !copyOf.isEmpty())
        known = run_.step(transferline::DropLeftover, [&] { onlyCopy = !tableExists(copyOf); });
    if (!known)
        return true;
    if (onlyCopy) {
        fe_.tellReplace(name, QStringLiteral("%1: not sent: the server's table %2 holds the only "
                                             "complete copy of %3 and was kept")
                                  .arg(name, loading, copyOf));
        return false;
    }
    run_.step(transferline::DropLeftover, [&] {
        try {
            oracle_->execute(dropTableStatement(loading));
        } catch (const ConnectionLostError&) {
            throw;
        } catch (const RuntimeError&) {
            // there was none
        }
    });
    return true;
}

// The rows of a query on the server, each with its first `columns` values as texts.
std::vector<QStringList> TransferRun::query(const QString& sql, int columns) {
    const auto rows = dataAccess().createRecordset();
    rows->open(sql, *oracle_);
    std::vector<QStringList> found;
    for (; !rows->atEnd(); rows->moveNext()) {
        QStringList row;
        for (int i = 0; i < columns; ++i) {
            const auto* text = std::get_if<std::string>(&rows->fieldValue(i));
            row.append(text ? QString::fromStdString(*text) : QString());
        }
        found.push_back(row);
    }
    rows->close();
    return found;
}

bool TransferRun::tableExists(const QString& table) {
    return !query(tableNamedQuery(table), 1).empty();
}

// The loaded table, marked as a complete copy first, takes the name: the old table goes and the
// loaded one is renamed. Until the DROP the old table stays; from then on the marked copy is the
// one any later run puts in place. What the run cannot know (the connection lost while a DROP or
// RENAME was answered) is told as not known.
CopyFate TransferRun::takeFinalName(const QString& name, const QString& loading, bool dropOld) {
    if (dropOld) {
        if (!run_.step(transferline::MarkComplete,
                       [&] { oracle_->execute(markCompleteStatement(loading, name)); }))
            return run_.ended() ? CopyFate::Keep : CopyFate::Drop;
        if (!run_.step(transferline::DropTable,
                       [&] { oracle_->execute(dropTableStatement(name)); })) {
            if (!run_.ended())
                return CopyFate::Drop;
            fe_.tellReplace(name, QStringLiteral("%1: the connection was lost while the server "
                                                 "answered its DROP: the server's %1 may or may "
                                                 "not have been dropped; the new rows are in the "
                                                 "server's table %2, marked complete, which the "
                                                 "next run puts in place if %1 is gone")
                                      .arg(name, loading));
            return CopyFate::Unsettled;
        }
        run_.step(138, [&] { fe_.removeFromServerList(name); });
    }
    if (run_.step(transferline::RenameTable,
                  [&] { oracle_->execute(alterTableRenameStatement(loading, name)); })) {
        if (dropOld)
            dropQuietly(QString(), clearMarkStatement(name));
        return CopyFate::Named;
    }
    if (run_.ended()) {
        fe_.tellReplace(name, QStringLiteral("%1: the connection was lost while the server "
                                             "answered its RENAME: the rows are in the server's "
                                             "%1 or, if the RENAME did not take effect, in its "
                                             "table %2%3")
                                  .arg(name, loading,
                                       dropOld ? QStringLiteral(" (marked complete), which the "
                                                                "next run puts in place")
                                               : QString()));
        return CopyFate::Unsettled;
    }
    if (!dropOld)
        return CopyFate::Drop;
    fe_.tellReplace(name, QStringLiteral("%1: the old table was dropped and the new one could "
                                         "not take its name: its rows are in the server's table "
                                         "%2 (marked complete), which the next run puts in place")
                              .arg(name, loading));
    return CopyFate::Unsettled;
}

// Removes the table of ours that did not take its name (or runs `statement` instead); nothing is
// told when that cannot be done (the next load of the table removes it).
void TransferRun::dropQuietly(const QString& table, const QString& statement) {
    if (run_.ended())
        return;
    try {
        oracle_->execute(statement.isEmpty() ? dropTableStatement(table) : statement);
    } catch (...) {
    }
}

bool TransferRun::createTable(const QString& name, const QString& source, const QString& loading) {
    std::vector<bool> longText;
    QString text;
    plan_.reset();
    if (!run_.step(transferline::ReadLayout, [&] { plan_ = fe_.tablePlan(name, source, names_); }))
        return false;
    if (!plan_)
        run_.step(transferline::ReadLayout, [&] {
            longText = fieldsHoldingLongText(*source_, *paradox_, selectAllStatement(source),
                                             [this] { fe_.yield(); });
        });
    run_.step(142, [&] { text = QStringLiteral("CREATE TABLE ") + quotedName(loading) + u'('; });
    int fieldCount = 0;
    run_.step(144, [&] { fieldCount = source_->fieldCount(); });
    if (plan_ && !run_.step(144, [&] { checkPlannedFieldCount(fieldCount, *plan_); }))
        return false;
    longText.resize(static_cast<std::size_t>(fieldCount), false);
    columns_.assign(static_cast<std::size_t>(fieldCount), {});
    // The column names as the server takes them: the fields' names, cut to fit.
    QStringList cuts;
    if (!run_.step(148, [&] {
            for (int i = 0; i < fieldCount; ++i)
                columns_[static_cast<std::size_t>(i)].name = source_->fieldName(i);
            cuts = fitColumnNames(columns_, names_);
        }))
        return false;
    if (listedName_ != name)
        cuts.prepend(nameCutLine(QStringLiteral("table"), listedName_, name, names_));
    if (!cuts.isEmpty())
        fe_.reportNameCuts(name, cuts);
    for (int i = 0; i < fieldCount; ++i) {
        QString columnType;
        run_.step(146, [&] { fe_.yield(); });
        ColumnPlan& column = columns_[static_cast<std::size_t>(i)];
        run_.step(150, [&] {
            const QString serverName = column.name;
            column =
                plan_ ? plan_->columns[static_cast<std::size_t>(i)]
                      : plainColumnPlan(serverName, source_->fieldType(i), source_->numericScale(i),
                                        longText[static_cast<std::size_t>(i)]);
            column.name = serverName;
            columnType = columnDefinition(column).type;
        });
        run_.step(152, [&] { text += quotedName(column.name) + u' ' + columnType + u','; });
        run_.line(194);
    }
    run_.step(196, [&] { text.chop(1); });
    run_.step(198, [&] { text += u')'; });
    return run_.step(transferline::CreateTable, [&] { oracle_->execute(text); });
}

// Loads the rows into the table of ours and tells what came of it (rows the server or a typed
// column refused one by one are told and counted, and do not stop the load).
TableLoad TransferRun::loadRows(const QString& name, const QString& loading) {
    TableLoad load;
    std::int64_t lastRow = -1;
    if (!run_.step(210, [&] { lastRow = source_->recordCount() - 1; }))
        load.endedEarly = true;
    load.rowsExpected = lastRow + 1;
    fe_.tableStarting(name, lastRow + 1);
    int fieldCount = 0;
    if (!run_.step(220, [&] { fieldCount = source_->fieldCount(); }))
        load.endedEarly = true;
    const RowDestination destination{run_, fe_, *oracle_, loading, columns_, load};
    const auto transport = makeRowTransport(destination);
    // One statement per row yields per row and per value and moves the progress per row; arrays
    // do both once per array, after it went, so that the window repaints between round trips.
    const bool perRow = !transport->sendsArrays();
    const auto showProgress = [&](std::int64_t done) {
        run_.step(216, [&] {
            fe_.setProgress(static_cast<double>(done) / static_cast<double>(lastRow + 1) * 100);
        });
    };
    run_.line(212);
    std::int64_t row = 0;
    std::int64_t lostBefore = 0; // values lost before the current row was read
    // The row's values, read into the room of an earlier row's values that the transport gave
    // back (each value is read again, or emptied when it cannot be).
    std::vector<Value> values;
    for (; row <= lastRow && !run_.ended(); ++row) {
        // A table whose rows end early (a damaged record) stops here instead of failing on
        // every field of every row it no longer has; a stop asked for ends the load here.
        if (sourceExhausted()) {
            load.endedEarly = true;
            break;
        }
        if (fe_.stopRequested()) {
            load.stopped = true;
            break;
        }
        run_.setRow(row);
        if (perRow) {
            run_.step(214, [&] { fe_.yield(); });
            showProgress(row + 1);
        }
        ++load.rowsTaken;
        values.resize(static_cast<std::size_t>(fieldCount));
        bool read = true;    // every value of the row was read
        bool carried = true; // and its column holds it
        for (int i = 0; i < fieldCount; ++i) {
            if (perRow)
                run_.step(222, [&] { fe_.yield(); });
            Value& value = values[static_cast<std::size_t>(i)];
            const bool valueRead = run_.step(transferline::ReadValue, [&] {
                copyValue(value, NullToDefault(source_->fieldValue(i), NoValueText));
            });
            if (!valueRead) {
                value = Value{};
                ++load.valuesNotRead;
            }
            read = valueRead && read;
            // A value its typed column cannot hold costs the row; it is never changed.
            carried = valueRead && run_.step(transferline::CarryValue, [&] {
                const ColumnPlan& column = columns_[static_cast<std::size_t>(i)];
                if (const auto refusal = valueRefusal(column, value))
                    throw RuntimeError(
                        errnum::InvalidCall,
                        QStringLiteral("field \"%1\": %2").arg(column.name, *refusal));
            }) && carried;
            run_.line(236);
        }
        // A row with a value that could not be read is not sent with a gap in its place (and the
        // table is not complete without it); a row a typed column refuses is refused like a row
        // the server refuses.
        if (read)
            ++load.rowsRead;
        // Values the source gave as NULL because it could not read them (it reads a row when it
        // moves to it): the row goes without them.
        const std::int64_t lostNow = lostValueCount();
        if (lostNow > lostBefore) {
            load.valuesLost += lostNow - lostBefore;
            ++load.rowsWithLostValues;
        }
        lostBefore = lostNow;
        if (!read) {
            fe_.rowSent(row, false); // counted among the values not read, not as refused
        } else if (!carried) {
            tellRow(destination, row, false);
        } else if (transport->add(row, values) && !perRow && !run_.ended()) {
            // An array of the rows before this one went.
            showProgress(row);
            run_.step(214, [&] { fe_.yield(); });
        }
        if (!run_.step(transferline::NextRow, [&] { source_->moveNext(); }))
            load.endedEarly = true;
        run_.line(248);
    }
    if (!run_.ended() && !load.stopped) {
        transport->finish();
        if (!perRow && row > 0 && !run_.ended())
            showProgress(row);
    }
    run_.setRow(-1);
    // A stop asked for while the last rows went left some of them unsent.
    load.stopped = load.stopped || fe_.stopRequested();
    load.connectionLost = run_.ended();
    return load;
}

// After the rows: the key, the indexes, the checks and comments, each after its data check.
void TransferRun::carrySchema(const QString& name) {
    std::vector<ObjectOutcome> outcomes;
    for (const ColumnPlan& column : plan_->columns)
        if (column.identityStart)
            outcomes.push_back({name,
                                QStringLiteral("identity %1 starting at %2")
                                    .arg(quotedName(column.name))
                                    .arg(*column.identityStart),
                                true,
                                {}});
    for (const SchemaObject& object : plan_->objects) {
        if (run_.ended())
            return;
        run_.step(transferline::CarryObject,
                  [&] { outcomes.push_back(createSchemaObject(*oracle_, name, object)); });
    }
    for (const QString& missing : plan_->notCarried)
        outcomes.push_back({name, missing, false, {}});
    fe_.schemaReported(name, outcomes, plan_->warnings);
    foreignKeys_.insert(foreignKeys_.end(), plan_->foreignKeys.begin(), plan_->foreignKeys.end());
}

// Once every table of the run is in: the foreign keys whose master is in the run or on the
// server.
void TransferRun::carryForeignKeys() {
    if (foreignKeys_.empty() || run_.ended() || fe_.deferForeignKeys(foreignKeys_))
        return;
    std::vector<ObjectOutcome> outcomes;
    run_.step(transferline::ForeignKeys, [&] {
        outcomes = createForeignKeys(*oracle_, foreignKeys_, [&](const QString& master) {
            return fe_.isInServerList(master);
        });
    });
    fe_.schemaReported({}, outcomes, {});
}

std::int64_t TransferRun::lostValueCount() const {
    try {
        return source_->lostValueCount();
    } catch (...) {
        return 0; // the step that closes the table tells what is wrong
    }
}

bool TransferRun::sourceExhausted() const {
    try {
        return source_->atEnd();
    } catch (...) {
        return false; // the step that reads the row tells what is wrong
    }
}

// `onServer`: the name the table took on the server when the server spells it otherwise.
void TransferRun::finishTable(const QString& name, TableOutcome outcome, const QString& onServer) {
    const bool sent = outcome == TableOutcome::Sent;
    // After a lost connection only what the window shows is put right.
    if (run_.ended()) {
        fe_.setPointer(PointerDefault);
        fe_.resetProgress();
        fe_.tableFinished(name, outcome);
        return;
    }
    run_.step(248, [&] { fe_.setPointer(PointerDefault); });
    run_.step(250, [&] { fe_.resetProgress(); });
    if (source_.isSet() && source_->isOpen()) {
        QStringList problems;
        bool lost = false;
        run_.step(transferline::ReadingProblems, [&] {
            problems = source_->warnings();
            lost = source_->valuesLost();
        });
        if (lost)
            fe_.valuesNotRead(name);
        if (!problems.isEmpty())
            fe_.reportReadingProblems(name, problems);
        run_.step(transferline::ReadingProblems, [&] { source_->close(); });
    }
    // The name joins the server list only when the table took it.
    if (sent)
        run_.step(254, [&] { fe_.addToServerList(onServer.isEmpty() ? name : onServer); });
    fe_.tableFinished(name, outcome);
}

void TransferRun::closeConnections() {
    const bool lost = run_.ended();
    if (lost) {
        // The lost connection was reported once; closing what is left tells nothing more.
        fe_.setPointer(PointerDefault);
        return; // destroying the connections closes them
    }
    run_.step(264, [&] { fe_.setPointer(PointerDefault); });
    if (oracle_.isSet() && oracle_->isOpen())
        run_.step(266, [&] { oracle_->close(); });
    if (paradox_.isSet() && paradox_->isOpen())
        run_.step(268, [&] { paradox_->close(); });
}

} // namespace

void SendTablesToOracle(TransferFrontEnd& frontEnd) {
    TransferRun(frontEnd).run();
}

} // namespace dravena
