// qlor-screenshots OUT_DIR [LANGUAGE]: writes a picture of the main window on each of its pages,
// named "NN-<page>.png" ("NN-<page>-<LANGUAGE>.png" when a language of the current directory's
// "*.lng" files is chosen). Run it on a real display server (e.g. under xvfb-run).
#include "shell/main_form.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromLatin1(qlor::kApplicationTitle));
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: qlor-screenshots OUT_DIR [LANGUAGE]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "qlor-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    qlor::TMainForm form;
    QString suffix;
    if (argc == 3) {
        auto* lng = form.findChild<QComboBox*>(QStringLiteral("LngComboBox"));
        const int item = lng->findText(QString::fromLocal8Bit(argv[2]));
        if (item < 1) {
            std::fprintf(stderr, "qlor-screenshots: no language file %s.lng in the current directory\n", argv[2]);
            return 1;
        }
        lng->setCurrentIndex(item);
        form.LngComboBoxChange(item); // as when the operator picks the item
        suffix = QLatin1Char('-') + QString::fromLocal8Bit(argv[2]);
    }
    form.show();
    for (int i = 0; i < form.PageControl1->count(); ++i) {
        form.PageControl1->setCurrentIndex(i);
        for (int k = 0; k < 10; ++k) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        const QString name = QStringLiteral("%1-%2%3.png")
                                 .arg(i + 1, 2, 10, QChar(u'0'))
                                 .arg(form.PageControl1->widget(i)->objectName(), suffix);
        if (!form.grab().save(out.filePath(name))) {
            std::fprintf(stderr, "qlor-screenshots: cannot write %s\n", qPrintable(out.filePath(name)));
            return 1;
        }
        std::printf("%s\n", qPrintable(out.filePath(name)));
    }
    return 0;
}
