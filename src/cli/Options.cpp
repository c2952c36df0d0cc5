#include "Options.h"

#include <cstdio>

namespace dravena::cli {

void printLine(std::FILE* out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), out);
    std::fputc('\n', out);
}

std::optional<ParsedOptions> parseOptions(const char* command, const QStringList& arguments,
                                          const QStringList& valueOptions,
                                          const QStringList& flags) {
    ParsedOptions parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1String("--"))) {
            parsed.words.append(argument);
            continue;
        }
        const QString name = argument.section(u'=', 0, 0);
        if (name == QLatin1String("--password") || name == QLatin1String("--pwd")) {
            std::fputs("dravena-cli: the password is never taken from the command line; set "
                       "DRAVENA_PASSWORD or give it on standard input\n",
                       stderr);
            return std::nullopt;
        }
        if (flags.contains(name) && argument == name) {
            parsed.values[name] = QString();
            continue;
        }
        if (!valueOptions.contains(name)) {
            printLine(stderr, QStringLiteral("dravena-cli %1: unknown option '%2'")
                                  .arg(QLatin1String(command), argument));
            return std::nullopt;
        }
        if (argument.contains(u'=')) {
            parsed.values[name] = argument.section(u'=', 1);
        } else if (i + 1 < arguments.size()) {
            parsed.values[name] = arguments[++i];
        } else {
            printLine(stderr, QStringLiteral("dravena-cli %1: %2 needs a value")
                                  .arg(QLatin1String(command), name));
            return std::nullopt;
        }
    }
    return parsed;
}

} // namespace dravena::cli
