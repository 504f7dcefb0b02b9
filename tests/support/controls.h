#pragma once
// A window's control by its component name (objectName), for the window tests and benchmarks.
#include <QObject>
#include <QString>
#include <QtGlobal>

namespace qlor::test {

// The child of `window` named `objectName` of class T. A missing control, or one of another
// class, ends the program with the name, so that a renamed control cannot pass unnoticed.
template <class T> T& Control(const QObject& window, const char* objectName) {
    T* control = window.findChild<T*>(QLatin1String(objectName));
    if (!control)
        qFatal("no control %s of class %s", objectName, T::staticMetaObject.className());
    return *control;
}

} // namespace qlor::test
