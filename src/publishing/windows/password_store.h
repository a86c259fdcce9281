#pragma once
// Where the desktop program keeps the broker password: in the desktop's
// secret store (GNOME Keyring, KWallet, ... through QtKeychain) when one
// runs, else in a file beside SysSet.ini that only the user can read
// (password_file.h). Both ways answer asynchronously, so the user interface
// never waits for the store.

#include <QObject>
#include <QString>

#include <functional>

class PasswordStore : public QObject {
    Q_OBJECT

public:
    // trySecretStore false: the file only (no session bus, tests).
    PasswordStore(const QString& fallbackPath, bool trySecretStore, QObject* parent = nullptr);

    // done(password, error): error names a password file that is there but
    // cannot be read (the password is then empty); no file is no error.
    void read(std::function<void(const QString& password, const QString& error)> done);
    // done(where, error): where it went, for the user; error empty when it did.
    void write(const QString& password, std::function<void(const QString& where, const QString& error)> done);

    // "the desktop's secret store" or "the file ... (only you can read it)",
    // as far as known.
    QString where() const;

private:
    void readFile(const std::function<void(const QString&, const QString&)>& done) const;
    void writeFile(const QString& password, const std::function<void(const QString&, const QString&)>& done);

    QString fallbackPath_;
    bool trySecretStore_;
    bool secretStoreWorks_ = false;
};
