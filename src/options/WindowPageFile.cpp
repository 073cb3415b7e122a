#include "WindowPageFile.h"

#include "datetime/DateTimeFormatSettings.h"
#include "settings/IniFile.h"
#include "settings/SettingValues.h"
#include "text/Error.h"

namespace qel {

namespace {

const QString kForm = QStringLiteral("Form");

// A place text as a number, or the error the user sees.
int placeNumber(const QString& text) {
    if (const std::optional<int> n = integerFromText(text))
        return *n;
    throw Error(QStringLiteral("「%1」は有効な整数値ではありません。").arg(text));
}

EditorLook pageDefaults() {
    QFont font(QStringLiteral("ＭＳ　ゴシック"));
    font.setPointSize(10);
    applyFontStyleName(font, u"Normal");
    return {font, QColor(Qt::black), QColor(Qt::white)};
}

} // namespace

QString defaultWindowName(int window) {
    return isSubWindow(window) ? QStringLiteral("SubWindow%1").arg(window)
                               : QStringLiteral("QelEditor");
}

QString windowSizeText(const WindowPage& page) {
    return u"：幅　" + page.width + u"，高さ　" + page.height;
}

QString windowPositionText(const WindowPage& page) {
    return u"：x　" + page.left + u"，y　" + page.top;
}

void writeWindowPage(IniFile& file, int window, const WindowPage& page,
                     const DateTimeFormatSettings& dateTime) {
    // Each text is converted just before its key is written.
    file.writeInteger(kForm, u"Top", placeNumber(page.top));
    file.writeInteger(kForm, u"Left", placeNumber(page.left));
    file.writeInteger(kForm, u"Height", placeNumber(page.height));
    file.writeInteger(kForm, u"Width", placeNumber(page.width));
    file.writeString(kForm, u"WindowName", page.name);
    if (isSubWindow(window)) {
        file.writeInteger(kForm, u"StayOnTop", windowStyleNumber(page.onTop));
        file.writeBool(kForm, u"Visible", page.shown);
    }
    writeEditorLook(file, page.look);
    if (!isSubWindow(window))
        writeDateTimeFormat(file, dateTime);
}

void readWindowPage(const IniFile& file, int window, WindowPage& page) {
    page.name = file.readString(kForm, u"WindowName", defaultWindowName(window));
    if (isSubWindow(window)) {
        page.shown = file.readBool(kForm, u"Visible", true);
        page.onTop = isOnTopStyle(file.readInteger(kForm, u"StayOnTop", kOrdinaryWindowStyle));
    }
    readEditorLook(file, page.look, pageDefaults());
    page.width = file.readString(kForm, u"Width", page.width);
    page.height = file.readString(kForm, u"Height", page.height);
    page.left = file.readString(kForm, u"Left", page.left);
    page.top = file.readString(kForm, u"Top", page.top);
}

} // namespace qel
