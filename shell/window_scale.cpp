#include "shell/window_scale.h"

#include <QtGlobal>

namespace qlor {

QByteArray ApplyWindowScale(SettingsStore& store) {
    constexpr char kVariable[] = "QT_SCALE_FACTOR";
    if (qEnvironmentVariableIsSet(kVariable))
        return {};
    const std::string factor = WindowScaleFactorText(LoadWindowScale(store));
    if (factor.empty())
        return {};
    const QByteArray value = QByteArray::fromStdString(factor);
    qputenv(kVariable, value);
    return value;
}

} // namespace qlor
