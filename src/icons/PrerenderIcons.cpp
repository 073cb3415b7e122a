// Renders SVG icons as PNG files at the pixel sizes the program shows them at, through
// Qt's own icon engine, so that each file holds exactly what that engine would draw at
// run time:
//
//     prerender_icons OUTDIR SIZES FILE.svg...      (SIZES: "16,20,24")
//
// writes OUTDIR/NAME-SIZE.png for each FILE.svg and size.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QTextStream>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() < 4) {
        err << "usage: prerender_icons OUTDIR SIZES FILE.svg...\n";
        return 2;
    }
    const QDir out(arguments[1]);
    QList<int> sizes;
    for (const QString& s : arguments[2].split(u',')) {
        bool ok = false;
        sizes << s.toInt(&ok);
        if (!ok || sizes.last() <= 0) {
            err << "bad size: " << s << '\n';
            return 2;
        }
    }
    for (const QString& file : arguments.mid(3)) {
        const QIcon icon(file);
        for (const int size : sizes) {
            const QString png = out.filePath(QFileInfo(file).completeBaseName() + u'-' +
                                             QString::number(size) + u".png");
            const QPixmap pixmap = icon.pixmap(QSize(size, size));
            if (pixmap.isNull() || !pixmap.save(png, "PNG")) {
                err << file << ": cannot be rendered at " << size << " px into " << png << '\n';
                return 1;
            }
        }
    }
    return 0;
}
