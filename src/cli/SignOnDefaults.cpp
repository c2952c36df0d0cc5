#include "SignOnDefaults.h"

#include "PasswordInput.h"

#include <QFile>

#include <cstdio>
#include <sys/stat.h>

namespace dravena::cli {

const Option sidOption{"--sid", "SID"};
const Option userOption{"--user", "USER"};
const Option passwordFileOption{"--password-file", "FILE"};

namespace {

// The option's value, else the environment variable's; empty when neither gives one.
QString optionOrEnvironment(const ParsedOptions& options, const char* name, const char* variable) {
    if (options.has(name))
        return options.value(name);
    return qEnvironmentVariable(variable);
}

} // namespace

std::optional<SignOn> signOnOfCommandLine(const ParsedOptions& options) {
    SignOn signOn;
    signOn.sid = optionOrEnvironment(options, "--sid", "DRAVENA_SID");
    signOn.user = optionOrEnvironment(options, "--user", "DRAVENA_USER");
    if (signOn.sid.isEmpty()) {
        options.refuse(QStringLiteral("option --sid SID is missing (or set DRAVENA_SID)"));
        return std::nullopt;
    }
    if (signOn.user.isEmpty()) {
        options.refuse(QStringLiteral("option --user USER is missing (or set DRAVENA_USER)"));
        return std::nullopt;
    }
    if (options.has("--password-file")) {
        const QByteArray path = QFile::encodeName(options.value("--password-file"));
        struct stat status {};
        if (::stat(path.constData(), &status) != 0) {
            options.refuse(QStringLiteral("%1: the password file cannot be read")
                               .arg(options.value("--password-file")));
            return std::nullopt;
        }
        if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            options.refuse(QStringLiteral("%1: others may read the password file; make it "
                                          "readable by its owner only (chmod 600)")
                               .arg(options.value("--password-file")));
            return std::nullopt;
        }
    }
    return signOn;
}

std::optional<QString> passwordOfCommandLine(const ParsedOptions& options,
                                             bool standardInputTaken) {
    const QString prefix = QStringLiteral("dravena-cli %1: ").arg(options.command);
    if (options.has("--password-file")) {
        QFile file(options.value("--password-file"));
        if (!file.open(QIODevice::ReadOnly)) {
            printLine(stderr, prefix + QStringLiteral("%1: the password file cannot be read: %2")
                                           .arg(file.fileName(), file.errorString()));
            return std::nullopt;
        }
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        return QString::fromUtf8(line);
    }
    if (qEnvironmentVariableIsSet("DRAVENA_PASSWORD"))
        return qEnvironmentVariable("DRAVENA_PASSWORD");
    if (std::FILE* terminal = std::fopen("/dev/tty", "r+")) {
        const QString password = readPassword(terminal);
        std::fclose(terminal);
        return password;
    }
    if (standardInputTaken) {
        printLine(stderr, prefix + QStringLiteral("no password: standard input holds the table "
                                                  "names and there is no terminal to type it on; "
                                                  "set DRAVENA_PASSWORD or give --password-file"));
        return std::nullopt;
    }
    return readPassword(stdin);
}

} // namespace dravena::cli
