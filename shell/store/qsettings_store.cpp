#include "shell/store/qsettings_store.h"

#include "base/safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        return "it cannot be opened";
    case QSettings::FormatError:
        return "its contents are damaged";
    case QSettings::NoError:
        break;
    }
    return "unknown error";
}

bool IsHexDigit(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
}

// A key as QSettings' INI format writes it: letters, digits, "_", "-" and "." as they are, every
// other Latin-1 character as %XX (the names of the store are ASCII).
QByteArray IniKey(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray key;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' ||
            u == '.') {
            key += c;
        } else {
            key += '%';
            key += kHex[u >> 4];
            key += kHex[u & 15];
        }
    }
    return key;
}

// A string value as QSettings' INI format reads it back unchanged: quoted (so commas, ";" and
// spaces at either end stay part of the one text), backslash and quote escaped, control
// characters as \xHH (and a hex digit right after one escaped too, or it would join it), a
// leading "@" doubled (it marks the format's own types), everything else as UTF-8.
QByteArray IniString(const QString& text) {
    QByteArray out = "\"";
    if (text.startsWith(QLatin1Char('@')))
        out += '@';
    bool afterHexEscape = false;
    qsizetype plainFrom = 0;
    auto flushPlain = [&](qsizetype to) { out += text.mid(plainFrom, to - plainFrom).toUtf8(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        const bool control = ch < 0x20 || ch == 0x7F;
        if (ch != u'\\' && ch != u'"' && !control && !(afterHexEscape && IsHexDigit(ch))) {
            afterHexEscape = false;
            continue;
        }
        flushPlain(i);
        plainFrom = i + 1;
        if (ch == u'\\' || ch == u'"') {
            out += '\\';
            out += static_cast<char>(ch);
            afterHexEscape = false;
        } else {
            out += "\\x" + QByteArray::number(static_cast<int>(ch), 16);
            afterHexEscape = true;
        }
    }
    flushPlain(text.size());
    out += '"';
    return out;
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
    settings_.reset();
    writing_ = create;
    error_.clear();
    pending_.clear();
    if (create) {
        // The values collect here and are written by CloseKey as one file through the file helper
        // (QSaveFile can report success after a failed flush, which would empty the settings).
        target_ = Location();
        const QString folder = QFileInfo(target_).absolutePath();
        writable_ = QDir().mkpath(folder) && QFileInfo(folder).isWritable();
        if (!writable_) {
            error_ = "The settings file " + target_.toStdString() + " is not writable";
        }
        return true; // a refused store shows up at the first write, which names the value
    }
    settings_ = MakeSettings();
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
    if (writing_ && writable_) {
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
    pending_.push_back(IniKey(name) + '=' + QByteArray::number(value));
    return true;
}

bool QSettingsStore::WriteString(std::string_view name, std::string_view value) {
    if (Refuse(name)) {
        return false;
    }
    pending_.push_back(IniKey(name) + '=' +
                       IniString(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))));
    return true;
}

bool QSettingsStore::CloseKey() {
    bool ok = true;
    if (writing_ && writable_) {
        QByteArray bytes = "[General]\n";
        for (const QByteArray& line : pending_)
            bytes += line + '\n';
        const std::string error =
            WriteFileAtomically(QFile::encodeName(target_).toStdString(),
                                std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        if (!error.empty()) {
            error_ = "The settings could not be saved: " + error;
            ok = false;
        }
    }
    settings_.reset();
    pending_.clear();
    writing_ = false;
    return ok;
}

} // namespace qlor
