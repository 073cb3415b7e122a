// Draws every icon of the program, as the program's own drawing, at 16, 24 and 32 px
// and the 16 px one magnified, on a light and on a dark background: icons-light.png and
// icons-dark.png in the folder given (the temporary folder by default).

#include "icons/Icons.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage render(const QString& resource, int size) {
    QImageReader reader(resource);
    reader.setScaledSize(QSize(size, size));
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage sheet(const QStringList& names, QColor background, QColor ink) {
    constexpr int kMagnify = 5;
    constexpr int kColumns = 6;
    constexpr int kCellWidth = 16 * kMagnify + 24;
    constexpr int kCellHeight = 20 + 36 + 16 * kMagnify + 16;
    const int rows = (int(names.size()) + kColumns - 1) / kColumns;
    QImage image(kCellWidth * kColumns, kCellHeight * rows, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setPen(ink);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (int i = 0; i < int(names.size()); ++i) {
        const QString& name = names[i];
        const QString resource = name == u"(application)"_s ? qel::applicationIconResource()
                                                            : qel::commandIconResource(name);
        const int left = (i % kColumns) * kCellWidth + 8;
        const int top = (i / kColumns) * kCellHeight;
        painter.drawText(QRect(left, top, kCellWidth - 8, 20), Qt::AlignVCenter, name);
        int x = left;
        for (int size : {16, 24, 32}) {
            painter.drawImage(x, top + 20 + (32 - size) / 2, render(resource, size));
            x += size + 8;
        }
        painter.drawImage(QRect(left, top + 60, 16 * kMagnify, 16 * kMagnify),
                          render(resource, 16));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QStringList names = qel::iconCommandNames();
    names.append(u"(application)"_s);

    QTextStream out(stdout);
    const struct {
        QString file;
        QColor background;
        QColor ink;
    } sheets[] = {
        {u"icons-light.png"_s, QColor(0xf2, 0xf2, 0xf2), QColor(0x20, 0x20, 0x20)},
        {u"icons-dark.png"_s, QColor(0x2a, 0x2b, 0x2e), QColor(0xe0, 0xe0, 0xe0)},
    };
    for (const auto& each : sheets) {
        const QString path = QDir(folder).filePath(each.file);
        if (!sheet(names, each.background, each.ink).save(path)) {
            out << "cannot write " << path << '\n';
            return 1;
        }
        out << path << '\n';
    }
    return 0;
}
