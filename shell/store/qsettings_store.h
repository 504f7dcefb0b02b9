#pragma once
// The settings store on QSettings: organisation "Tavel", application "QLOR", per user, in the
// platform's native format (the registry key Software\Tavel\QLOR on Windows, the INI file
// ~/.config/Tavel/QLOR.conf here). Writes collect in memory and reach the file when the key is
// closed, in QSettings' INI form, through the program's atomic file write (synced temporary file
// renamed over the old one), so a crash or a full disk during the write leaves the previous
// settings whole and the message gives the system's reason.
#include "control/settings_store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class QSettings;

namespace qlor {

class QSettingsStore : public SettingsStore {
public:
    // The per-user store of the program.
    QSettingsStore();
    // An INI file at `iniPath` instead (tests, a portable installation).
    explicit QSettingsStore(QString iniPath);
    ~QSettingsStore() override;

    bool OpenKey(bool create) override;
    bool ReadInteger(std::string_view name, std::int32_t& value) override;
    bool ReadString(std::string_view name, std::string& value) override;
    bool WriteInteger(std::string_view name, std::int32_t value) override;
    bool WriteString(std::string_view name, std::string_view value) override;
    bool CloseKey() override;
    std::string ErrorText() const override { return error_; }

    // Where the values live (a file path, or a registry path on Windows).
    QString Location() const;

private:
    std::unique_ptr<QSettings> MakeSettings() const;
    bool Refuse(std::string_view name);

    QString iniPath_;
    std::unique_ptr<QSettings> settings_; // while reading
    bool writing_ = false;
    // While writing: the file, whether its folder takes it, and its lines in QSettings' INI form.
    QString target_;
    bool writable_ = false;
    QList<QByteArray> pending_;
    std::string error_;
};

} // namespace qlor
