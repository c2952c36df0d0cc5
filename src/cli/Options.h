#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace dravena::cli {

// The options and the other words of a command's arguments.
struct ParsedOptions {
    QMap<QString, QString> values; // by option name ("--sid")
    QStringList words;             // what is not an option, in order
};

// Reads "--name VALUE" and "--name=VALUE" for the named options, and the named flags ("--name",
// kept with an empty value); every other word is kept in order. A password option, an unknown
// option, an option without its value or a flag with one is told on standard error (for the
// command named) and gives nothing.
std::optional<ParsedOptions> parseOptions(const char* command, const QStringList& arguments,
                                          const QStringList& valueOptions,
                                          const QStringList& flags = {});

// Writes the text and a line break to the stream in UTF-8.
void printLine(std::FILE* out, const QString& text);

} // namespace dravena::cli
