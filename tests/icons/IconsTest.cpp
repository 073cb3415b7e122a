// The tool-bar icons and the application icon: that they load from the resources, show
// on light and dark desktops, and that the desktop's icon theme is preferred where it has
// the standard icon.

#include "icons/Icons.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace qel;

namespace {

int countPixels(const QImage& image, const std::function<bool(QRgb)>& counts) {
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            count += counts(pixels.pixel(x, y)) ? 1 : 0;
    return count;
}

int visiblePixels(const QImage& image) {
    return countPixels(image, [](QRgb p) { return qAlpha(p) > 32; });
}

int luma(QRgb rgb) {
    return (qRed(rgb) * 299 + qGreen(rgb) * 587 + qBlue(rgb) * 114) / 1000;
}

// The pixels that stand out from the desktop colour once the icon is drawn on it.
int contrastingPixels(const QImage& icon, QColor desktop) {
    QImage shown(icon.size(), QImage::Format_ARGB32);
    shown.fill(desktop);
    QPainter(&shown).drawImage(0, 0, icon);
    const int background = luma(desktop.rgb());
    return countPixels(shown, [&](QRgb p) { return std::abs(luma(p) - background) >= 64; });
}

QImage renderSvg(const QString& resource, int size) {
    QImageReader reader(resource);
    reader.setScaledSize(QSize(size, size));
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QImage iconImage(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// An icon theme of one folder whose icons are plain squares of one colour.
bool useTheme(const QString& root, const QStringList& iconNames, QColor colour) {
    QDir dir(root);
    QFile index(dir.filePath(u"index.theme"_s));
    if (!dir.mkpath(u"16x16/actions"_s) || !index.open(QIODevice::WriteOnly))
        return false;
    index.write("[Icon Theme]\nName=Test\nDirectories=16x16/actions\n\n"
                "[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
    index.close();
    QImage square(16, 16, QImage::Format_ARGB32);
    square.fill(colour);
    for (const QString& name : iconNames)
        if (!square.save(dir.filePath(u"16x16/actions/"_s + name + u".png"_s)))
            return false;
    QIcon::setThemeSearchPaths({QFileInfo(root).absolutePath()});
    QIcon::setFallbackThemeName(u"qel-no-fallback"_s);
    QIcon::setThemeName(QFileInfo(root).fileName());
    return true;
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ownDrawingShowsOnLightAndDarkDesktops_data() {
        QTest::addColumn<QString>("resource");
        for (const QString& name : iconCommandNames())
            QTest::newRow(qPrintable(name)) << commandIconResource(name);
        QTest::newRow("application") << applicationIconResource();
    }

    // An icon drawn only in black vanishes on a dark desktop, one drawn only in white
    // on a light one.
    void ownDrawingShowsOnLightAndDarkDesktops() {
        QFETCH(QString, resource);
        QVERIFY2(QFile::exists(resource), qPrintable(resource));
        for (int size : {16, 48}) {
            const QImage image = renderSvg(resource, size);
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY2(visiblePixels(image) > size * size / 8, qPrintable(u"%1 px"_s.arg(size)));
        }
        const QImage icon = renderSvg(resource, 16);
        const int light = contrastingPixels(icon, QColor(0xf2, 0xf2, 0xf2));
        const int dark = contrastingPixels(icon, QColor(0x26, 0x27, 0x2a));
        QVERIFY2(light >= 40 && dark >= 40,
                 qPrintable(u"light %1, dark %2"_s.arg(light).arg(dark)));
    }

    void subWindowIconsCanBeToldApart() {
        const QStringList names{u"OpenSubWindow"_s, u"OpenSubWindow2"_s, u"OpenSubWindow3"_s};
        for (qsizetype i = 0; i < names.size(); ++i) {
            const QImage a = renderSvg(commandIconResource(names[i]), 16);
            const QImage b = renderSvg(commandIconResource(names[(i + 1) % 3]), 16);
            int differing = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
            // The number alone differs in several pixels, the title bar's colour in many.
            QVERIFY2(differing >= 24, qPrintable(names[i]));
        }
    }

    void themeIconIsPreferredWhereTheThemeHasTheStandardOne() {
        QVERIFY(commandIcon(u"NoSuchCommand"_s).isNull());
        QVERIFY(commandIcon(u"filenew"_s).isNull()); // names are case-sensitive
        const QIcon application = applicationIcon();
        QVERIFY(visiblePixels(iconImage(application, 32)) > 32 * 32 / 4);

        // Without a theme every command shows the program's own drawing.
        QTemporaryDir empty;
        QVERIFY(useTheme(empty.filePath(u"qel-empty"_s), {}, Qt::black));
        for (const QString& name : iconCommandNames()) {
            const QIcon own(commandIconResource(name));
            QVERIFY2(iconImage(commandIcon(name), 16) == iconImage(own, 16), qPrintable(name));
            QVERIFY2(iconImage(commandIcon(name), 32) == iconImage(own, 32), qPrintable(name));
        }

        // The freedesktop names of the standard actions, as themes install them.
        QHash<QString, QString> standard;
        for (const QString& pair :
             u"FileNew=document-new FileOpenA=document-open FileSave=document-save "
             u"FileSaveAs=document-save-as EditCut1=edit-cut EditCopy1=edit-copy "
             u"EditPaste1=edit-paste EditDelete1=edit-delete EditSelectAll1=edit-select-all "
             u"EditUndo1=edit-undo OpenProperty=preferences-system"_s.split(u' '))
            standard.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const QColor themeColour(0xc0, 0x10, 0xa0);
        QTemporaryDir root;
        QVERIFY(useTheme(root.filePath(u"qel-test-theme"_s), standard.values(), themeColour));
        for (const QString& name : standard.keys())
            QVERIFY2(iconCommandNames().contains(name), qPrintable(name));
        for (const QString& name : iconCommandNames()) {
            const QImage shown = iconImage(commandIcon(name), 16);
            if (standard.contains(name))
                QVERIFY2(shown.pixel(8, 8) == themeColour.rgb(), qPrintable(name));
            else
                QVERIFY2(shown == iconImage(QIcon(commandIconResource(name)), 16),
                         qPrintable(name));
        }

        // A theme without some of them: those fall back to the program's own drawing.
        QTemporaryDir partial;
        QVERIFY(useTheme(partial.filePath(u"qel-partial"_s), {u"edit-cut"_s}, themeColour));
        QCOMPARE(iconImage(commandIcon(u"EditCut1"_s), 16).pixel(8, 8), themeColour.rgb());
        QCOMPARE(iconImage(commandIcon(u"EditCopy1"_s), 16),
                 iconImage(QIcon(commandIconResource(u"EditCopy1"_s)), 16));

        // A desktop that names no theme of its own has only the fallback theme, which
        // holds applications' icons: it is not searched for commands.
        QIcon::setFallbackThemeName(QIcon::themeName());
        QCOMPARE(iconImage(commandIcon(u"EditCut1"_s), 16),
                 iconImage(QIcon(commandIconResource(u"EditCut1"_s)), 16));
    }

    // The pictures rendered when the program is built look exactly as the drawings do
    // when Qt renders them, enabled and disabled, at the sizes rendered and at others.
    void picturesLookAsTheDrawings() {
        QIcon::setThemeName(QIcon::fallbackThemeName());
        const auto same = [](const QIcon& shown, const QString& drawing, int size,
                             QIcon::Mode mode) {
            const auto image = [&](const QIcon& icon) {
                return icon.pixmap(QSize(size, size), 1.0, mode)
                    .toImage()
                    .convertToFormat(QImage::Format_ARGB32);
            };
            return image(shown) == image(QIcon(drawing));
        };
        for (const QString& name : iconCommandNames())
            for (const int size : {15, 16, 19, 20, 23, 24, 26, 28, 30, 32, 38, 40, 45, 48, 18, 64})
                for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
                    QVERIFY2(same(commandIcon(name), commandIconResource(name), size, mode),
                             qPrintable(u"%1 at %2 px, mode %3"_s.arg(name).arg(size).arg(mode)));
        for (const int size : {16, 32, 64, 128, 48})
            QVERIFY2(same(applicationIcon(), applicationIconResource(), size, QIcon::Normal),
                     qPrintable(u"application icon at %1 px"_s.arg(size)));
    }
};

QTEST_MAIN(IconsTest)
#include "IconsTest.moc"
