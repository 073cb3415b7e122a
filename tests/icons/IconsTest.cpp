// The tool-bar icons and the application icon: that they load from the resources, show
// on light and dark desktops, and that the desktop's icon theme is preferred where it has
// the standard icon.

#include "icons/Icons.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;
using namespace qel;

namespace {

const QColor kLightDesktop(0xf2, 0xf2, 0xf2);
const QColor kDarkDesktop(0x26, 0x27, 0x2a);

QImage argb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

int visiblePixels(const QImage& image) {
    const QImage pixels = argb(image);
    int count = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            if (qAlpha(pixels.pixel(x, y)) > 32)
                ++count;
        }
    }
    return count;
}

QImage renderSvg(const QString& resource, int size) {
    QImageReader reader(resource);
    reader.setScaledSize(QSize(size, size));
    return reader.read();
}

QImage iconImage(const QIcon& icon, int size) {
    return argb(icon.pixmap(QSize(size, size)).toImage());
}

int luma(QRgb rgb) {
    return (qRed(rgb) * 299 + qGreen(rgb) * 587 + qBlue(rgb) * 114) / 1000;
}

// The pixels that stand out from the desktop colour once the icon is drawn on it.
int contrastingPixels(const QImage& icon, QColor desktop) {
    QImage shown(icon.size(), QImage::Format_ARGB32);
    shown.fill(desktop);
    {
        QPainter painter(&shown);
        painter.drawImage(0, 0, icon);
    }
    const int background = luma(desktop.rgb());
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (std::abs(luma(shown.pixel(x, y)) - background) >= 64)
                ++count;
        }
    }
    return count;
}

int differingPixels(const QImage& a, const QImage& b) {
    const QImage left = argb(a);
    const QImage right = argb(b);
    int count = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            if (left.pixel(x, y) != right.pixel(x, y))
                ++count;
        }
    }
    return count;
}

// An icon theme of one folder whose icons are plain squares of one colour.
bool writeTheme(const QString& root, const QString& themeName, const QStringList& iconNames,
                QColor colour) {
    QDir dir(root);
    const QString folder = themeName + u"/16x16/actions"_s;
    if (!dir.mkpath(folder))
        return false;
    QFile index(dir.filePath(themeName + u"/index.theme"_s));
    if (!index.open(QIODevice::WriteOnly))
        return false;
    index.write("[Icon Theme]\nName=Test\nDirectories=16x16/actions\n\n"
                "[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
    index.close();
    QImage square(16, 16, QImage::Format_ARGB32);
    square.fill(colour);
    for (const QString& name : iconNames) {
        if (!square.save(dir.filePath(folder + u'/' + name + u".png"_s)))
            return false;
    }
    return true;
}

void useNoIconTheme(const QString& emptyFolder) {
    QIcon::setThemeSearchPaths({emptyFolder});
    QIcon::setFallbackThemeName(u"qel-no-fallback"_s);
    QIcon::setThemeName(u"qel-no-theme"_s);
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCommandHasAVisibleIcon_data();
    void everyCommandHasAVisibleIcon();
    void ownDrawingRendersAt16And48_data();
    void ownDrawingRendersAt16And48();
    void ownDrawingStandsOutOnLightAndDarkDesktops_data();
    void ownDrawingStandsOutOnLightAndDarkDesktops();
    void subWindowIconsCanBeToldApart();
    void everySvgFileIsInTheResources();
    void unknownCommandHasNoIcon();
    void withoutIconThemeTheOwnDrawingIsShown();
    void themeIconIsPreferredWhereTheThemeHasTheStandardOne();
    void applicationIconIsVisible();
};

void IconsTest::everyCommandHasAVisibleIcon_data() {
    QTest::addColumn<QString>("command");
    for (const QString& name : iconCommandNames())
        QTest::newRow(qPrintable(name)) << name;
}

void IconsTest::everyCommandHasAVisibleIcon() {
    QFETCH(QString, command);
    const QIcon icon = commandIcon(command);
    QVERIFY(!icon.isNull());
    for (int size : {16, 32}) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        QVERIFY2(!pixmap.isNull(), qPrintable(u"%1 px"_s.arg(size)));
        QVERIFY2(visiblePixels(pixmap.toImage()) > size * size / 8,
                 qPrintable(u"%1 px"_s.arg(size)));
    }
}

void IconsTest::ownDrawingRendersAt16And48_data() {
    QTest::addColumn<QString>("resource");
    for (const QString& name : iconCommandNames())
        QTest::newRow(qPrintable(name)) << commandIconResource(name);
    QTest::newRow("application") << applicationIconResource();
}

void IconsTest::ownDrawingRendersAt16And48() {
    QFETCH(QString, resource);
    QVERIFY2(QFile::exists(resource), qPrintable(resource));
    for (int size : {16, 48}) {
        const QImage image = renderSvg(resource, size);
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY2(visiblePixels(image) > size * size / 8, qPrintable(u"%1 px"_s.arg(size)));
    }
}

void IconsTest::ownDrawingStandsOutOnLightAndDarkDesktops_data() {
    ownDrawingRendersAt16And48_data();
}

// An icon drawn only in black vanishes on a dark desktop, one drawn only in white on a
// light one.
void IconsTest::ownDrawingStandsOutOnLightAndDarkDesktops() {
    QFETCH(QString, resource);
    const QImage icon = renderSvg(resource, 16);
    QVERIFY(!icon.isNull());
    QVERIFY2(contrastingPixels(icon, kLightDesktop) >= 40,
             qPrintable(u"light: %1"_s.arg(contrastingPixels(icon, kLightDesktop))));
    QVERIFY2(contrastingPixels(icon, kDarkDesktop) >= 40,
             qPrintable(u"dark: %1"_s.arg(contrastingPixels(icon, kDarkDesktop))));
}

void IconsTest::subWindowIconsCanBeToldApart() {
    const QStringList names{u"OpenSubWindow"_s, u"OpenSubWindow2"_s, u"OpenSubWindow3"_s};
    for (qsizetype i = 0; i < names.size(); ++i) {
        for (qsizetype j = i + 1; j < names.size(); ++j) {
            const QImage a = renderSvg(commandIconResource(names[i]), 16);
            const QImage b = renderSvg(commandIconResource(names[j]), 16);
            QVERIFY(!a.isNull() && !b.isNull());
            // The number alone differs in several pixels, the title bar's colour in many.
            QVERIFY2(differingPixels(a, b) >= 24, qPrintable(names[i] + u" / "_s + names[j]));
        }
    }
}

void IconsTest::everySvgFileIsInTheResources() {
    const QDir sources(QString::fromUtf8(QEL_ICONS_SOURCE_DIR));
    const QStringList files = sources.entryList({u"*.svg"_s}, QDir::Files);
    QVERIFY(!files.isEmpty());
    const QStringList inResources = QDir(u":/icons"_s).entryList(QDir::Files);
    for (const QString& file : files)
        QVERIFY2(inResources.contains(file), qPrintable(file + u" is not in the resources"_s));
    QCOMPARE(QSet<QString>(inResources.begin(), inResources.end()),
             QSet<QString>(files.begin(), files.end()));
}

void IconsTest::unknownCommandHasNoIcon() {
    QVERIFY(commandIcon(u"NoSuchCommand"_s).isNull());
    QVERIFY(commandIcon(QString()).isNull());
    QVERIFY(commandIcon(u"filenew"_s).isNull()); // names are case-sensitive like objectNames
    QVERIFY(commandIconResource(u"NoSuchCommand"_s).isEmpty());
    QVERIFY(!iconCommandNames().contains(u"NoSuchCommand"_s));
}

void IconsTest::withoutIconThemeTheOwnDrawingIsShown() {
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    useNoIconTheme(empty.path());
    for (const QString& name : iconCommandNames()) {
        const QIcon own(commandIconResource(name));
        QVERIFY2(iconImage(commandIcon(name), 16) == iconImage(own, 16), qPrintable(name));
        QVERIFY2(iconImage(commandIcon(name), 32) == iconImage(own, 32), qPrintable(name));
    }
}

void IconsTest::themeIconIsPreferredWhereTheThemeHasTheStandardOne() {
    // The freedesktop names of the standard actions, as themes install them.
    const QHash<QString, QString> standard{
        {u"FileNew"_s, u"document-new"_s},
        {u"FileOpenA"_s, u"document-open"_s},
        {u"FileSave"_s, u"document-save"_s},
        {u"FileSaveAs"_s, u"document-save-as"_s},
        {u"EditCut1"_s, u"edit-cut"_s},
        {u"EditCopy1"_s, u"edit-copy"_s},
        {u"EditPaste1"_s, u"edit-paste"_s},
        {u"EditDelete1"_s, u"edit-delete"_s},
        {u"EditSelectAll1"_s, u"edit-select-all"_s},
        {u"EditUndo1"_s, u"edit-undo"_s},
        {u"OpenProperty"_s, u"preferences-system"_s},
    };
    const QColor themeColour(0xc0, 0x10, 0xa0);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(writeTheme(root.path(), u"qel-test-theme"_s, standard.values(), themeColour));
    QIcon::setThemeSearchPaths({root.path()});
    QIcon::setThemeName(u"qel-test-theme"_s);
    QVERIFY(QIcon::hasThemeIcon(u"document-new"_s));

    for (const QString& name : iconCommandNames()) {
        const QImage shown = iconImage(commandIcon(name), 16);
        if (standard.contains(name)) {
            QVERIFY2(shown.pixel(8, 8) == themeColour.rgb(), qPrintable(name));
        } else {
            const QImage own = iconImage(QIcon(commandIconResource(name)), 16);
            QVERIFY2(shown == own, qPrintable(name));
        }
    }
    for (const QString& name : standard.keys())
        QVERIFY2(iconCommandNames().contains(name), qPrintable(name));

    // A theme without some of them: those fall back to the program's own drawing.
    QTemporaryDir partial;
    QVERIFY(partial.isValid());
    QVERIFY(writeTheme(partial.path(), u"qel-partial"_s, {u"edit-cut"_s}, themeColour));
    QIcon::setThemeSearchPaths({partial.path()});
    QIcon::setThemeName(u"qel-partial"_s);
    QCOMPARE(iconImage(commandIcon(u"EditCut1"_s), 16).pixel(8, 8), themeColour.rgb());
    QCOMPARE(iconImage(commandIcon(u"EditCopy1"_s), 16),
             iconImage(QIcon(commandIconResource(u"EditCopy1"_s)), 16));
}

void IconsTest::applicationIconIsVisible() {
    const QIcon icon = applicationIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48}) {
        const QImage image = iconImage(icon, size);
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY2(visiblePixels(image) > size * size / 4, qPrintable(u"%1 px"_s.arg(size)));
    }
}

QTEST_MAIN(IconsTest)
#include "IconsTest.moc"
