#pragma once

#include "TablePlan.h"
#include "dataaccess/DataAccess.h"

#include <functional>
#include <vector>

namespace dravena {

// What became of one object of a carried schema.
struct ObjectOutcome {
    QString table;
    QString description;
    bool created = false;
    QString reason; // why it was not created
};

// Creates the object on the server unless its data check finds rows that break it: then it is
// not created and the reason names the first few of them. A statement the server refuses is
// not created either, with the server's message.
ObjectOutcome createSchemaObject(Connection& server, const QString& table,
                                 const SchemaObject& object);

// The foreign-key step at the end of a run, once every table of the run is in: each foreign key
// whose master table the run created or the server already had (masterPresent) is created as
// createSchemaObject does; the others are reported, not created.
std::vector<ObjectOutcome>
createForeignKeys(Connection& server, const std::vector<ForeignKeyPlan>& keys,
                  const std::function<bool(const QString&)>& masterPresent);

} // namespace dravena
