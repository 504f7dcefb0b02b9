#include "shell/store/qsettings_store.h"

#include <QSettings>
#include <QVariant>

#include <limits>

namespace qlor {
namespace {

constexpr const char* kOrganisation = "Tavel";
constexpr const char* kApplication = "QLOR";

QString Key(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

bool IsIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

std::string Describe(QSettings::Status status) {
    switch (status) {
    case QSettings::AccessError:
        return "it could not be written (access denied, or the disk is full)";
    case QSettings::FormatError:
        return "its contents are damaged";
    case QSettings::NoError:
        break;
    }
    return "unknown error";
}

} // namespace

QSettingsStore::QSettingsStore() = default;

QSettingsStore::QSettingsStore(QString iniPath) : iniPath_(std::move(iniPath)) {}

QSettingsStore::~QSettingsStore() = default;

std::unique_ptr<QSettings> QSettingsStore::MakeSettings() const {
    std::unique_ptr<QSettings> settings =
        iniPath_.isEmpty()
            ? std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication)
            : std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
    // Never fall back to rewriting the file in place: a failed save must leave the old one whole.
    settings->setAtomicSyncRequired(true);
    settings->setFallbacksEnabled(false);
    return settings;
}

QString QSettingsStore::Location() const {
    return MakeSettings()->fileName();
}

bool QSettingsStore::OpenKey(bool create) {
    settings_ = MakeSettings();
    writing_ = create;
    error_.clear();
    if (create) {
        if (!settings_->isWritable()) {
            error_ = "The settings file " + settings_->fileName().toStdString() + " is not writable";
        }
        return true; // a refused store shows up at the first write, which names the value
    }
    if (settings_->status() != QSettings::NoError) {
        error_ = "The settings file " + settings_->fileName().toStdString() +
                 " cannot be read: " + Describe(settings_->status());
        settings_.reset();
        return false;
    }
    if (settings_->allKeys().isEmpty()) {
        settings_.reset(); // no key yet: every read fails, nothing is created
        return false;
    }
    return true;
}

bool QSettingsStore::ReadInteger(std::string_view name, std::int32_t& value) {
    if (!settings_) {
        return false;
    }
    const QVariant v = settings_->value(Key(name));
    if (!v.isValid()) {
        return false;
    }
    const int type = v.metaType().id();
    bool ok = false;
    if (IsIntegerType(type)) {
        const qlonglong n = v.toLongLong(&ok);
        if (type == QMetaType::UInt && ok) {
            value = static_cast<std::int32_t>(static_cast<std::uint32_t>(n)); // a 32-bit word
            return true;
        }
        ok = ok && n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max();
        if (ok) {
            value = static_cast<std::int32_t>(n);
        }
        return ok;
    }
    if (type == QMetaType::QString) {
        const int n = v.toString().toInt(&ok, 10);
        if (ok) {
            value = n;
        }
        return ok;
    }
    return false;
}

bool QSettingsStore::ReadString(std::string_view name, std::string& value) {
    if (!settings_) {
        return false;
    }
    const QVariant v = settings_->value(Key(name));
    if (!v.isValid()) {
        value.clear();
        return true;
    }
    if (v.metaType().id() != QMetaType::QString) {
        return false;
    }
    QString text = v.toString();
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    if (zero >= 0) {
        text.truncate(zero);
    }
    value = text.toStdString(); // UTF-8, as the store interface carries strings
    return true;
}

bool QSettingsStore::Refuse(std::string_view name) {
    if (settings_ && writing_ && settings_->isWritable()) {
        return false;
    }
    if (error_.empty()) {
        error_ = "Failed to set data for '" + std::string(name) + "'";
    }
    return true;
}

bool QSettingsStore::WriteInteger(std::string_view name, std::int32_t value) {
    if (Refuse(name)) {
        return false;
    }
    settings_->setValue(Key(name), static_cast<int>(value));
    return true;
}

bool QSettingsStore::WriteString(std::string_view name, std::string_view value) {
    if (Refuse(name)) {
        return false;
    }
    settings_->setValue(Key(name), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    return true;
}

bool QSettingsStore::CloseKey() {
    if (!settings_) {
        return true;
    }
    bool ok = true;
    if (writing_) {
        settings_->sync();
        if (settings_->status() != QSettings::NoError) {
            error_ = "The settings could not be saved to " + settings_->fileName().toStdString() + ": " +
                     Describe(settings_->status());
            ok = false;
        }
    }
    settings_.reset();
    writing_ = false;
    return ok;
}

} // namespace qlor
