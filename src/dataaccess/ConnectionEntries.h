#pragma once

#include <QString>

namespace dravena {

// The four connection entries as the user typed them, read afresh for every connection.
class ConnectionEntries {
public:
    virtual ~ConnectionEntries() = default;
    virtual QString paradoxFolder() const = 0;
    virtual QString oracleSid() const = 0;
    virtual QString oracleUser() const = 0;
    virtual QString oraclePassword() const = 0;
};

// The tables window as the connection window sees it.
class TablesWindow {
public:
    virtual ~TablesWindow() = default;
    // Clears and refills both table lists.
    virtual void runLoadStep() = 0;
    virtual void showWindow() = 0;
};

} // namespace dravena
