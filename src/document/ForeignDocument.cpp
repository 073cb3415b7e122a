#include "ForeignDocument.h"

#include "settings/FileContent.h"

namespace qel {

std::optional<ForeignDocument> examineDocumentFile(const QString& path) {
    bool wholeFile = false;
    const QByteArray start = readRegularFileStart(path, encoding::kRecognitionBytes, &wholeFile);
    const encoding::Recognition found = encoding::recognise(start, wholeFile);
    if (found.encoding == encoding::Encoding::Cp932)
        return std::nullopt;
    ForeignDocument document;
    document.recognition = found;
    document.converted =
        encoding::convertToCp932(wholeFile ? start : readRegularFile(path), found.encoding);
    return document;
}

QStringList foreignDocumentButtons() {
    return {QStringLiteral("変換して開く(&C)"), QStringLiteral("そのまま開く(&O)"),
            QStringLiteral("キャンセル")};
}

QString foreignDocumentQuestion(const QString& path, const ForeignDocument& document) {
    const encoding::Converted& converted = document.converted;
    QString loss;
    if (converted.lost == 0) {
        loss = QStringLiteral("変換しても失われる文字はありません。");
    } else {
        QString shown;
        for (const QString& c : converted.firstLost)
            shown += u'「' + c + u'」';
        if (converted.lost > converted.firstLost.size())
            shown += QStringLiteral(" など");
        loss = QStringLiteral("変換すると、シフトJIS にない %1 文字が「?」になります: %2")
                   .arg(QString::number(converted.lost), shown);
    }
    return QStringLiteral("%1 は %2 で書かれているようです。\nシフトJIS に変換して開きますか？\n\n"
                          "%3\n変換して開いても、保存するまで元のファイルは変わりません。\n"
                          "そのまま開くと、変換せずに読み込みます (文字化けして表示されます)。")
        .arg(path, encoding::displayName(document.recognition.encoding), loss);
}

} // namespace qel
