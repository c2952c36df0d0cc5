#pragma once

#include "RunReport.h"

#include <QString>

#include <vector>

namespace dravena::cli {

// Writes the refused rows of a Paradox table (named as listed, "sub/NAME") to `path` as CSV
// (RFC 4180, UTF-8, CRLF): a header line "source row", "message" and the table's field names,
// then one line per refused row: its number, the server's message and every field as the
// statements carry it (bytes as hexadecimal, NULL empty). The rows are read again from the
// folder. Returns the failure, empty when the file was written.
QString writeRejectFile(const QString& path, const QString& paradoxFolder, const QString& table,
                        const std::vector<RefusedRow>& refused);

// One CSV field, quoted, its quotes doubled.
QString csvField(const QString& text);

} // namespace dravena::cli
