// qlor-screenshots OUT_DIR: writes a picture of the main window on each of its pages, named
// "NN-<page>.png". Run it on a real display server (e.g. under xvfb-run).
#include "shell/main_form.h"

#include <QApplication>
#include <QDir>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(qlor::kApplicationTitle));
    if (argc != 2) {
        std::fprintf(stderr, "usage: qlor-screenshots OUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "qlor-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    qlor::TMainForm form;
    form.show();
    for (int i = 0; i < form.PageControl1->count(); ++i) {
        form.PageControl1->setCurrentIndex(i);
        for (int k = 0; k < 10; ++k) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        const QString name =
            QStringLiteral("%1-%2.png").arg(i + 1, 2, 10, QChar(u'0')).arg(form.PageControl1->widget(i)->objectName());
        if (!form.grab().save(out.filePath(name))) {
            std::fprintf(stderr, "qlor-screenshots: cannot write %s\n", qPrintable(out.filePath(name)));
            return 1;
        }
        std::printf("%s\n", qPrintable(out.filePath(name)));
    }
    return 0;
}
