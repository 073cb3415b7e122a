#include "forms/MainWindow.h"
#include "forms/WindowSet.h"
#include "icons/Icons.h"
#include "platform/Dialogs.h"
#include "platform/FontSubstitutes.h"
#include "platform/Guard.h"
#include "platform/Translations.h"

#include <QFontDatabase>

#include <thread>

namespace {

const QString kTitle = QStringLiteral("QelEditor130");
// Names the per-user settings folder of an installed copy (~/.config/QelEditor).
const QString kName = QStringLiteral("QelEditor");
// The desktop entry, so the desktop matches the windows to its name and icon.
const QString kDesktopFile = QStringLiteral("org.qeleditor.QelEditor");

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(kName);
    QGuiApplication::setDesktopFileName(kDesktopFile);
    qel::GuardedApplication app(argc, argv);
    // The first window looks fonts up: Qt's list of fonts is made meanwhile, on
    // another processor.
    std::thread fonts([] { QFontDatabase::families(); });
    // The title captions message boxes; it is not the display name, which Qt would
    // append to every window caption.
    qel::setApplicationTitle(kTitle);
    app.setWindowIcon(qel::applicationIcon());
    qel::installJapaneseQtTexts(app);
    qel::useFontSubstitutes();
    qel::guarded([&] {
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        qel::WindowSet windows(arguments);
        qel::MainWindow& mainWindow = windows.mainWindow();
        mainWindow.show();
        QObject::connect(&mainWindow, &qel::MainWindow::closed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        app.exec();
    });
    fonts.join();
    return 0;
}
