#pragma once

#include <QString>
#include <QStringList>

namespace dravena {

// How the driver manager is set up for a driver name: its section in odbcinst.ini, and whether
// the library that section names loads.
struct OdbcDriverSetup {
    QString driver;  // the name looked up ("Microsoft ODBC for Oracle")
    QString iniFile; // the odbcinst.ini looked in (odbcinstIniFile)
    bool registered = false;
    QString library;       // the section's Driver= value; empty when there is none
    bool loads = false;    // the library loads with everything it needs
    QString loadError;     // why it does not (the dynamic loader's words)
    QString oracleLibrary; // an Oracle ODBC library found on this machine; empty when none

    bool ready() const { return registered && loads; }
    // What is wrong, as a failed sign-on words it (driverNotRegisteredText, driverNotLoadedText)
    // and, for a library that does not load, why; empty when ready.
    QString problem() const;
    // The section that registers the driver in iniFile, one line each; its Driver= is
    // oracleLibrary, else a placeholder path that names itself one. Empty when ready.
    QStringList sectionToAdd() const;
};

// The placeholder sectionToAdd gives when no Oracle ODBC library was found.
inline constexpr char OracleLibraryPlaceholder[] = "/PATH/TO/instantclient/libsqora.so.VERSION";

// Asks the driver manager (SQLDrivers) for the driver's section and tries to load its library.
OdbcDriverSetup inspectOdbcDriver(const QString& driver);

// The Oracle Instant Client's ODBC library (libsqora.so.*) of the highest version found in the
// usual places: $ORACLE_HOME/lib, the folders of LD_LIBRARY_PATH, /usr/lib/oracle/*/client*/lib,
// /opt/oracle/instantclient*, /opt/oracle/*/lib, /usr/local/lib and the system's library
// folders. Empty when there is none.
QString findOracleOdbcLibrary();

} // namespace dravena
