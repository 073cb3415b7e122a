#include "LoadProgress.h"

#include "Dialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

namespace qel {

LoadTuning& loadTuning() {
    static LoadTuning tuning;
    return tuning;
}

void waitForLoad(textmodel::TextLoader& loader, const QString& fileName) {
    if (loader.wait(loadTuning().progressAfter))
        return;
    constexpr int kSteps = 1000;
    QProgressDialog dialog(fileName + u"を読み込んでいます…", QStringLiteral("キャンセル"), 0,
                           kSteps, QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("LoadProgress"));
    dialog.setWindowTitle(applicationTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(0);
    dialog.setValue(int(loader.progress() * kSteps));

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (loader.wait(std::chrono::milliseconds(0)))
            loop.quit();
        else
            dialog.setValue(int(loader.progress() * kSteps));
    });
    // The Cancel button, Escape and closing the dialog all cancel.
    const auto cancel = [&] {
        loader.cancel();
        loop.quit();
    };
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, cancel);
    QObject::connect(&dialog, &QDialog::rejected, &loop, cancel);
    poll.start(50);
    dialog.show();
    loop.exec();
}

} // namespace qel
