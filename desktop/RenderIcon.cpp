// Renders an SVG drawing as a square PNG: render_icon SOURCE.svg SIZE OUT.png. Builds the
// hicolor sizes of the application icon for installing.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv); // loads the SVG image plugin
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    bool sizeOk = false;
    const int size = arguments.value(2).toInt(&sizeOk);
    if (arguments.size() != 4 || !sizeOk || size <= 0) {
        err << "usage: render_icon SOURCE.svg SIZE OUT.png\n";
        return 2;
    }
    QImageReader reader(arguments[1]);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull()) {
        err << arguments[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    if (!image.save(arguments[3], "PNG")) {
        err << arguments[3] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
