#pragma once
// A moment as the window writes it into the check list, the protocol and the trainer's records:
// the system's short date and long time formats.
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace qlor {

inline QString SystemDateTimeText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), QLocale::LongFormat);
}

} // namespace qlor
