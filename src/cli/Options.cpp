#include "Options.h"

#include "base/Sigpipe.h"
#include "drivers/Drivers.h"
#include "odbc/ServerTimeLimits.h"

#include <algorithm>
#include <atomic>

#include <poll.h>
#include <unistd.h>

namespace dravena::cli {

namespace {

bool isHelp(const QString& argument) {
    return argument == QLatin1String("-h") || argument == QLatin1String("--help");
}

const Option* findOption(const Syntax& syntax, const QString& name) {
    const auto found =
        std::find_if(syntax.options.begin(), syntax.options.end(),
                     [&name](const Option& o) { return name == QLatin1String(o.name); });
    return found == syntax.options.end() ? nullptr : &*found;
}

QString shown(const Option& option) {
    return option.value == nullptr
               ? QLatin1String(option.name)
               : QLatin1String(option.name) + u' ' + QLatin1String(option.value);
}

// Reads a command line; the first fault it meets is kept in `fault`.
class ArgumentReader {
public:
    ArgumentReader(const Syntax& syntax, const QStringList& arguments)
        : syntax_(syntax), arguments_(arguments) {}

    ParsedOptions read() {
        bool optionsEnded = false;
        for (next_ = 0; next_ < arguments_.size() && fault.isEmpty();) {
            const QString& argument = arguments_[next_++];
            if (optionsEnded || argument == QLatin1String("-") || !argument.startsWith(u'-'))
                parsed_.words.append(argument);
            else if (argument == QLatin1String("--"))
                optionsEnded = true;
            else
                readOption(argument);
        }
        if (fault.isEmpty())
            checkRequired();
        if (fault.isEmpty())
            checkWords();
        return parsed_;
    }

    QString fault;

private:
    void readOption(const QString& argument) {
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = argument.left(equals);
        if (name == QLatin1String("--password") || name == QLatin1String("--pwd")) {
            fault = QStringLiteral("the password is never taken from the command line; set "
                                   "DRAVENA_PASSWORD or give it on standard input");
            return;
        }
        const Option* option = findOption(syntax_, name);
        if (option == nullptr) {
            fault = QStringLiteral("unknown option '%1'").arg(argument);
            return;
        }
        if (parsed_.values.contains(name) && !option->repeated) {
            fault = QStringLiteral("option %1 is given more than once").arg(name);
            return;
        }
        if (option->value == nullptr) {
            if (equals >= 0)
                fault = QStringLiteral("option %1 takes no value").arg(name);
            parsed_.values.insert(name, QString());
            return;
        }
        QString value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (next_ < arguments_.size() && !arguments_[next_].startsWith(QLatin1String("--")))
            value = arguments_[next_++];
        else {
            fault = QStringLiteral("option %1 needs a value (%2)").arg(name, shown(*option));
            return;
        }
        const QStringList choices = QString::fromLatin1(option->value).split(u'|');
        if (choices.size() > 1 && !choices.contains(value)) {
            fault = QStringLiteral("option %1 takes %2, not '%3'")
                        .arg(name, choices.join(QLatin1String(" or ")), value);
            return;
        }
        parsed_.values.insert(name, value);
        if (option->repeated)
            parsed_.repeatedValues[name].append(value);
    }

    void checkRequired() {
        for (const Option& option : syntax_.options)
            if (option.required && !parsed_.values.contains(QLatin1String(option.name))) {
                fault = QStringLiteral("option %1 is missing").arg(shown(option));
                return;
            }
    }

    void checkWords() {
        QString words = QString::fromLatin1(syntax_.words);
        const bool optional = words.startsWith(u'[');
        words.remove(u'[').remove(u']');
        const bool many = words.endsWith(QLatin1String("..."));
        const qsizetype count = parsed_.words.size();
        if (words.isEmpty() && count > 0)
            fault = QStringLiteral("unexpected argument '%1'").arg(parsed_.words.front());
        else if (!words.isEmpty() && !optional && count == 0)
            fault = QStringLiteral("no %1 given").arg(words.chopped(many ? 3 : 0));
        else if (!words.isEmpty() && !many && count > 1)
            fault = QStringLiteral("unexpected argument '%1'").arg(parsed_.words[1]);
    }

    const Syntax& syntax_;
    const QStringList& arguments_;
    qsizetype next_ = 0;
    ParsedOptions parsed_;
};

} // namespace

QString usageOf(const Syntax& syntax) {
    QStringList parts;
    for (const Option& option : syntax.options)
        parts.append(option.required ? shown(option) : u'[' + shown(option) + u']');
    if (*syntax.words != '\0')
        parts.append(QLatin1String(syntax.words));
    return parts.join(u' ');
}

std::optional<ParsedOptions> parseArguments(const char* command, const Syntax& syntax,
                                            const QStringList& arguments) {
    const auto end = std::find(arguments.begin(), arguments.end(), QLatin1String("--"));
    if (std::any_of(arguments.begin(), end, isHelp)) {
        ParsedOptions help;
        help.help = true;
        return help;
    }
    ArgumentReader reader(syntax, arguments);
    ParsedOptions parsed = reader.read();
    parsed.command = QLatin1String(command);
    parsed.usage = usageOf(syntax);
    if (reader.fault.isEmpty())
        return parsed;
    parsed.refuse(reader.fault);
    return std::nullopt;
}

int ParsedOptions::refuse(const QString& fault) const {
    printLine(stderr, QStringLiteral("dravena-cli %1: %2").arg(command, fault));
    printLine(stderr, QStringLiteral("Usage: dravena-cli %1 %2").arg(command, usage).trimmed());
    return 2;
}

NameLimit nameLimitOfCommandLine(const ParsedOptions& options) {
    NameLimit limit;
    if (options.value("--name-bytes") == QLatin1String("128"))
        limit.bytes = LongObjectNameBytes;
    return limit;
}

bool applyCodePageOption(const ParsedOptions& options) {
    QString all;
    QMap<QString, QString> byTable;
    for (const QString& given : options.valuesOf("--code-page")) {
        const qsizetype equals = given.indexOf(u'=');
        // A table of a sub-folder ("sub/NAME") is known by its file name.
        const QString table = equals < 0 ? QString() : given.left(equals).section(u'/', -1);
        const QString name = given.mid(equals + 1);
        if (name.isEmpty() || (equals >= 0 ? byTable.contains(table) : !all.isEmpty())) {
            options.refuse(QStringLiteral("--code-page takes NAME once and TABLE=NAME once per "
                                          "table, not '%1'")
                               .arg(given));
            return false;
        }
        if (equals < 0)
            all = name;
        else
            byTable.insert(table, name);
    }
    if (const QString unknown = chooseParadoxCodePages(all, byTable); !unknown.isEmpty()) {
        options.refuse(QStringLiteral("--code-page: no character set '%1' is known").arg(unknown));
        return false;
    }
    return true;
}

bool applyTimeoutOption(const ParsedOptions& options) {
    constexpr int MostSeconds = 86400;
    if (!options.has("--timeout"))
        return true;
    bool number = false;
    const int seconds = options.value("--timeout").toInt(&number);
    if (!number || seconds < 1 || seconds > MostSeconds) {
        options.refuse(
            QStringLiteral("--timeout takes a number of seconds from 1 to %1").arg(MostSeconds));
        return false;
    }
    ServerTimeLimits limits;
    limits.statementSeconds = seconds;
    limits.signOnSeconds = std::min(limits.signOnSeconds, seconds);
    setServerTimeLimits(limits);
    return true;
}

QString counted(qint64 count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

namespace {

std::atomic<bool> writeFailed{false};

// A pipe whose reader has gone: writing to it can only fail.
bool readerGone(int fd) {
    pollfd polled{fd, 0, 0};
    return ::poll(&polled, 1, 0) == 1 && (polled.revents & POLLERR) != 0;
}

} // namespace

bool writeOut(std::FILE* out, const QByteArray& bytes) {
    // SIGPIPE would end the process before the run could remove its loading table.
    const SigpipeHeld held;
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()),
                                     out) == static_cast<std::size_t>(bytes.size()) &&
                         std::fflush(out) == 0;
    if (!written) {
        std::clearerr(out);
        writeFailed = true;
    }
    return written;
}

bool printLine(std::FILE* out, const QString& text) {
    return writeOut(out, text.toUtf8() + '\n');
}

bool outputClosed() {
    return writeFailed || readerGone(STDOUT_FILENO) || readerGone(STDERR_FILENO);
}

} // namespace dravena::cli
