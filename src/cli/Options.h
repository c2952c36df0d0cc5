#pragma once

#include "schema/ObjectNames.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <vector>

namespace dravena::cli {

// One option of a command, as its usage line shows it: "--sid SID", "[--overwrite yes|no]".
struct Option {
    const char* name;      // "--sid"
    const char* value;     // what the usage shows for the value; words joined by "|" are the only
                           // values taken ("yes|no"); nullptr for a switch, which takes no value
    bool required = false; // a required option is shown without brackets
    bool repeated = false; // may be given more than once; every value is kept
};

// What a command takes: its options, then its other words.
struct Syntax {
    std::vector<Option> options;
    // The other words as the usage shows them: "" takes none, "TABLE" exactly one, "TABLE..."
    // one or more, "[TABLE]" at most one, "[TABLE...]" any number.
    const char* words = "";
};

// The usage line of a command after its name: "--folder DIR [--batch N] TABLE...".
QString usageOf(const Syntax& syntax);

// A command line as read: the values by option name ("--sid"; "" for a switch) and the other
// words in order.
struct ParsedOptions {
    QMap<QString, QString> values;
    QMap<QString, QStringList> repeatedValues; // every value of an option that may be repeated
    QStringList words;
    bool help = false; // -h or --help: show the command's help and do nothing else
    QString command;   // the command's name and usage line, for refuse
    QString usage;

    bool has(const char* name) const { return values.contains(QLatin1String(name)); }
    QString value(const char* name) const { return values.value(QLatin1String(name)); }
    QStringList valuesOf(const char* name) const {
        return repeatedValues.value(QLatin1String(name));
    }

    // Tells a fault of the command line that the command found itself (a value out of its
    // range) as parseArguments tells its own; returns the exit status for it, 2.
    int refuse(const QString& fault) const;
};

// Reads the arguments after the command's name by its syntax, the same way for every command:
// "--name VALUE" and "--name=VALUE"; -h and --help anywhere ask for help; "--" ends the options
// (what follows is a word even when it starts with "-"). A fault (an unknown option, a missing or
// repeated one, a value not taken, a missing or extra word, a password on the command line) is
// told on standard error, naming what is wrong, with the usage line; the result is then empty.
std::optional<ParsedOptions> parseArguments(const char* command, const Syntax& syntax,
                                            const QStringList& arguments);

// "1 table", "2 tables": the count and the word in the form the count takes.
QString counted(qint64 count, const char* one, const char* many);

// Takes --timeout SECONDS (1 to 86400) when given: each statement waits that long for the server,
// sign-on that long but at most 30 seconds. A value out of range is refused: false.
bool applyTimeoutOption(const ParsedOptions& options);

// Takes --code-page NAME and --code-page TABLE=NAME (any number of them): Paradox text read in
// that character set (an iconv name or CPnnn) instead of the table's own, for every table or for
// the one named. A name iconv does not know is refused: false.
bool applyCodePageOption(const ParsedOptions& options);

// The longest server name of --name-bytes 30|128 for a command that does not sign on (30 when
// it is not given): 30 bytes of UTF-8 as Oracle before 12.2 takes, or 128 as from 12.2 on.
NameLimit nameLimitOfCommandLine(const ParsedOptions& options);

// Writes the text and a line break to the stream in UTF-8, at once; false when it could not (the
// reader of a pipe went away), which outputClosed() tells from then on.
bool printLine(std::FILE* out, const QString& text);
// Writes the bytes to the stream at once; false as printLine.
bool writeOut(std::FILE* out, const QByteArray& bytes);
// True once a write to standard output or standard error failed, or either is a pipe whose
// reader went away: the run then ends after its current row or array.
bool outputClosed();

} // namespace dravena::cli
