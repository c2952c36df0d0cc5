#include "SecretServiceKeyring.h"

#include "base/Product.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

namespace dravena {

namespace {

QString service() {
    return QString::fromLatin1(ProductName);
}

// Starts the job and waits for it at most `limitMs`. The job deletes itself when it ends, also
// after it has been given up on.
Keyring::Answer awaited(QKeychain::Job* job, int limitMs) {
    auto answer = std::make_shared<Keyring::Answer>();
    auto ended = std::make_shared<bool>(false);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, job, [answer, ended](QKeychain::Job* done) {
        *ended = true;
        if (done->error() == QKeychain::NoError || done->error() == QKeychain::EntryNotFound) {
            answer->answered = true;
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
                answer->password = read->textData();
        } else {
            answer->failure = done->errorString();
        }
    });
    QObject::connect(job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!*ended)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!*ended)
        answer->failure = QStringLiteral("no answer within %1 seconds").arg((limitMs + 999) / 1000);
    else if (!answer->answered && answer->failure.isEmpty())
        answer->failure = QStringLiteral("refused without a reason");
    return *answer;
}

} // namespace

Keyring::Answer SecretServiceKeyring::read(const QString& key) {
    auto* job = new QKeychain::ReadPasswordJob(service());
    job->setKey(key);
    return awaited(job, limitMs_);
}

Keyring::Answer SecretServiceKeyring::write(const QString& key, const QString& password) {
    auto* job = new QKeychain::WritePasswordJob(service());
    job->setKey(key);
    job->setTextData(password);
    return awaited(job, limitMs_);
}

Keyring::Answer SecretServiceKeyring::remove(const QString& key) {
    auto* job = new QKeychain::DeletePasswordJob(service());
    job->setKey(key);
    return awaited(job, limitMs_);
}

} // namespace dravena
