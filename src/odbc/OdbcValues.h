#pragma once

#include "dataaccess/DataAccess.h"

#include <QMetaType>
#include <QString>

#include <vector>

class QSqlError;
class QSqlRecord;
class QVariant;

namespace dravena {

// One column of an ODBC result: its name, the driver's SQL type code and the ADO type number.
struct OdbcColumn {
    QString name;
    int sqlType = 0;
    int adoType = 0;
    int scale = -1; // digits after the decimal point of an exact numeric column
};

// The ADO type number for an ODBC SQL type code; types the code does not settle (a driver's own
// codes) are judged by the Qt type their values arrive in.
int adoTypeOf(int sqlType, QMetaType valueType);

std::vector<OdbcColumn> odbcColumns(const QSqlRecord& record);

// A value as the ODBC driver delivered it, turned into the layer's Value for a column.
Value odbcValue(const QVariant& value, const OdbcColumn& column);

// The driver's own message in a Qt SQL error, and the RuntimeError that carries it.
QString odbcMessage(const QSqlError& error);
[[noreturn]] void throwOdbcError(const QSqlError& error);

} // namespace dravena
