#include "password_store.h"

#include "publishing/password_file.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString kService = QStringLiteral("QZR6100");
const QString kKey = QStringLiteral("mqtt-broker-password");

} // namespace

PasswordStore::PasswordStore(const QString& fallbackPath, bool trySecretStore, QObject* parent)
    : QObject(parent), fallbackPath_(fallbackPath), trySecretStore_(trySecretStore)
{
}

QString PasswordStore::where() const
{
    return secretStoreWorks_ ? tr("the desktop's secret store")
                             : tr("the file %1 (only you can read it)").arg(fallbackPath_);
}

void PasswordStore::readFile(const std::function<void(const QString&, const QString&)>& done) const
{
    QString password, error;
    if (QFileInfo::exists(fallbackPath_)) ReadPasswordFile(fallbackPath_, &password, &error);
    done(password, error);
}

void PasswordStore::read(std::function<void(const QString&, const QString&)> done)
{
    if (!trySecretStore_) {
        readFile(done);
        return;
    }
    auto* job = new QKeychain::ReadPasswordJob(kService, this);
    job->setKey(kKey);
    connect(job, &QKeychain::Job::finished, this, [this, job, done = std::move(done)](QKeychain::Job*) {
        if (job->error() == QKeychain::NoError) {
            secretStoreWorks_ = true;
            done(job->textData(), QString());
            return;
        }
        // Nothing stored there yet, or no store at all: the file, if any.
        secretStoreWorks_ = job->error() == QKeychain::EntryNotFound;
        readFile(done);
    });
    job->start();
}

void PasswordStore::write(const QString& password,
                          std::function<void(const QString& where, const QString& error)> done)
{
    if (!trySecretStore_) {
        writeFile(password, done);
        return;
    }
    QKeychain::Job* job = nullptr;
    if (password.isEmpty()) {
        auto* remove = new QKeychain::DeletePasswordJob(kService, this);
        remove->setKey(kKey);
        job = remove;
    } else {
        auto* store = new QKeychain::WritePasswordJob(kService, this);
        store->setKey(kKey);
        store->setTextData(password);
        job = store;
    }
    connect(job, &QKeychain::Job::finished, this, [this, job, password, done = std::move(done)](QKeychain::Job*) {
        const bool stored = job->error() == QKeychain::NoError ||
                            (password.isEmpty() && job->error() == QKeychain::EntryNotFound);
        if (!stored) {
            secretStoreWorks_ = false;
            writeFile(password, done);
            return;
        }
        secretStoreWorks_ = true;
        // The password lives in one place only: a file from before goes.
        QString ignored;
        WritePasswordFile(fallbackPath_, QString(), &ignored);
        done(where(), QString());
    });
    job->start();
}

void PasswordStore::writeFile(const QString& password,
                              const std::function<void(const QString&, const QString&)>& done)
{
    QString error;
    if (!WritePasswordFile(fallbackPath_, password, &error)) {
        done(where(), tr("The password cannot be stored in %1: %2").arg(fallbackPath_, error));
        return;
    }
    done(where(), QString());
}
