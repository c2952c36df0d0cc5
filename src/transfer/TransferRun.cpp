#include "TransferRun.h"

#include "ColumnLayout.h"
#include "ColumnValues.h"
#include "RowTransport.h"
#include "Statements.h"
#include "TransferFrontEnd.h"
#include "TransferLines.h"
#include "TransferSteps.h"
#include "TypeMapping.h"
#include "ValueText.h"
#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ObjectRef.h"
#include "app/RuntimeError.h"
#include "connections/ConnectionEntries.h"
#include "connections/ConnectionStrings.h"
#include "connections/DataAccess.h"

namespace dravena {

namespace {

// The default NullToDefault gives a NULL field: the empty text, which stands as NULL.
const Value NoValueText{std::string()};

// One run: the connections and the record set it creates, and the steps of each table.
class TransferRun {
public:
    explicit TransferRun(TransferFrontEnd& frontEnd) : fe_(frontEnd), run_(frontEnd) {}

    void run();

private:
    bool openConnections();
    void sendTable(int index);
    bool createTable(const QString& name, const QString& source);
    void insertRows(const QString& name);
    void carrySchema(const QString& name);
    void carryForeignKeys();
    void finishTable(const QString& name, bool created);
    void closeConnections();
    bool sourceExhausted() const;

    TransferFrontEnd& fe_;
    TransferSteps run_;
    ObjectRef<Connection> oracle_;
    ObjectRef<Connection> paradox_;
    ObjectRef<Recordset> source_;
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
        run_.line(120);
        for (int index = fe_.tableCount() - 1; index >= 0 && !run_.ended(); --index) {
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
    });
}

void TransferRun::sendTable(int index) {
    QString name;
    QString source;
    int answer = 0;
    run_.step(124, [&] { name = fe_.tableName(index); });
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
    if (run_.test(134, [&] { return answer == AnswerYes; })) {
        run_.step(transferline::DropTable, [&] { oracle_->execute(dropTableStatement(name)); });
        run_.step(138, [&] { fe_.removeFromServerList(name); });
    }
    // A table that cannot be read or created is skipped: no INSERT goes to a table the run did
    // not create.
    bool created = false;
    if (run_.step(transferline::OpenSource,
                  [&] { source_->open(selectAllStatement(source), *paradox_); })) {
        created = createTable(name, source);
        if (created)
            insertRows(name);
        if (created && plan_)
            carrySchema(name);
    }
    finishTable(name, created);
}

bool TransferRun::createTable(const QString& name, const QString& source) {
    std::vector<bool> longText;
    QString text;
    plan_.reset();
    if (!run_.step(transferline::ReadLayout, [&] { plan_ = fe_.tablePlan(name, source); }))
        return false;
    if (!plan_)
        run_.step(transferline::ReadLayout, [&] {
            longText = fieldsHoldingLongText(*source_, *paradox_, selectAllStatement(source),
                                             [this] { fe_.yield(); });
        });
    run_.step(142, [&] { text = QStringLiteral("CREATE TABLE ") + quotedName(name) + u'('; });
    int fieldCount = 0;
    run_.step(144, [&] { fieldCount = source_->fieldCount(); });
    if (plan_ && !run_.step(144, [&] {
            if (static_cast<std::size_t>(fieldCount) != plan_->columns.size())
                throw RuntimeError(errnum::InvalidCall,
                                   QStringLiteral("the table delivers %1 fields, its file has %2")
                                       .arg(fieldCount)
                                       .arg(plan_->columns.size()));
        }))
        return false;
    longText.resize(static_cast<std::size_t>(fieldCount), false);
    columns_.assign(static_cast<std::size_t>(fieldCount), {});
    for (int i = 0; i < fieldCount; ++i) {
        QString fieldName;
        QString columnType;
        run_.step(146, [&] { fe_.yield(); });
        run_.step(148, [&] { fieldName = source_->fieldName(i); });
        ColumnPlan& column = columns_[static_cast<std::size_t>(i)];
        run_.step(150, [&] {
            column =
                plan_ ? plan_->columns[static_cast<std::size_t>(i)]
                      : plainColumnPlan(fieldName, source_->fieldType(i), source_->numericScale(i),
                                        longText[static_cast<std::size_t>(i)]);
            column.name = fieldName;
            columnType = columnDefinition(column).type;
        });
        run_.step(152, [&] { text += quotedName(fieldName) + u' ' + columnType + u','; });
        run_.line(194);
    }
    run_.step(196, [&] { text.chop(1); });
    run_.step(198, [&] { text += u')'; });
    return run_.step(transferline::CreateTable, [&] { oracle_->execute(text); });
}

void TransferRun::insertRows(const QString& name) {
    std::int64_t lastRow = -1;
    run_.step(210, [&] { lastRow = source_->recordCount() - 1; });
    fe_.tableStarting(name, lastRow + 1);
    int fieldCount = 0;
    run_.step(220, [&] { fieldCount = source_->fieldCount(); });
    const auto transport = makeRowTransport({run_, fe_, *oracle_, name, columns_});
    run_.line(212);
    for (std::int64_t row = 0; row <= lastRow && !run_.ended(); ++row) {
        // A table whose rows end early (a damaged record) stops here instead of failing on
        // every field of every row it no longer has.
        if (sourceExhausted())
            break;
        run_.setRow(row);
        run_.step(214, [&] { fe_.yield(); });
        run_.step(216, [&] {
            fe_.setProgress(static_cast<double>(row + 1) / static_cast<double>(lastRow + 1) * 100);
        });
        std::vector<Value> values(static_cast<std::size_t>(fieldCount));
        bool read = true;
        for (int i = 0; i < fieldCount; ++i) {
            run_.step(222, [&] { fe_.yield(); });
            Value& value = values[static_cast<std::size_t>(i)];
            const bool valueRead = run_.step(transferline::ReadValue, [&] {
                value = NullToDefault(source_->fieldValue(i), NoValueText);
            });
            // A value its typed column cannot hold costs the row; it is never changed.
            read = valueRead && run_.step(transferline::CarryValue, [&] {
                const ColumnPlan& column = columns_[static_cast<std::size_t>(i)];
                if (const auto refusal = valueRefusal(column, value))
                    throw RuntimeError(
                        errnum::InvalidCall,
                        QStringLiteral("field \"%1\": %2").arg(column.name, *refusal));
            }) && read;
            run_.line(236);
        }
        // A row with a value that could not be read is not sent with a gap in its place.
        if (!read)
            fe_.rowSent(row, false);
        else
            transport->add(row, std::move(values));
        run_.step(transferline::NextRow, [&] { source_->moveNext(); });
        run_.line(248);
    }
    if (!run_.ended())
        transport->finish();
    run_.setRow(-1);
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
    if (foreignKeys_.empty() || run_.ended())
        return;
    std::vector<ObjectOutcome> outcomes;
    run_.step(transferline::ForeignKeys, [&] {
        outcomes = createForeignKeys(*oracle_, foreignKeys_, [&](const QString& master) {
            return fe_.isInServerList(master);
        });
    });
    fe_.schemaReported({}, outcomes, {});
}

bool TransferRun::sourceExhausted() const {
    try {
        return source_->atEnd();
    } catch (...) {
        return false; // the step that reads the row tells what is wrong
    }
}

void TransferRun::finishTable(const QString& name, bool created) {
    // After a lost connection only what the window shows is put right.
    if (run_.ended()) {
        fe_.setPointer(PointerDefault);
        fe_.resetProgress();
        if (created)
            fe_.addToServerList(name);
        fe_.tableFinished(name, created ? TableOutcome::Sent : TableOutcome::NotCreated);
        return;
    }
    run_.step(248, [&] { fe_.setPointer(PointerDefault); });
    run_.step(250, [&] { fe_.resetProgress(); });
    if (source_.isSet() && source_->isOpen()) {
        QStringList problems;
        run_.step(transferline::ReadingProblems, [&] { problems = source_->warnings(); });
        if (!problems.isEmpty())
            fe_.reportReadingProblems(name, problems);
        run_.step(transferline::ReadingProblems, [&] { source_->close(); });
    }
    // The name joins the server list only when the table was created.
    if (created)
        run_.step(254, [&] { fe_.addToServerList(name); });
    fe_.tableFinished(name, created ? TableOutcome::Sent : TableOutcome::NotCreated);
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
