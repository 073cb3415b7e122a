// Files dropped from the desktop: which paths arrive, when, and what the widget keeps.
#include "platform/FileDrops.h"

#include "../TestPrinters.h"
#include "platform/ScriptedDialogs.h"
#include "text/Error.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

std::unique_ptr<QMimeData> filesData(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

TEST(DroppedFiles, KeepsEveryLocalFileWholeAndInOrder) {
    QString longPath = u"/tmp"_s;
    while (longPath.size() < 320)
        longPath += u"/とても長いフォルダーの名前"_s;
    const QStringList paths{u"/home/user/メモ.txt"_s, u"/home/user/a b#1 100%.txt"_s, longPath,
                            u"/home/user/新しいフォルダー/議事録 (2).log"_s};
    EXPECT_EQ(droppedFiles(filesData(paths).get()), paths);

    QMimeData mixed;
    mixed.setUrls({QUrl(u"https://example.com/a.txt"_s), QUrl::fromLocalFile(u"/tmp/a.txt"_s),
                   QUrl(u"mailto:someone@example.com"_s)});
    EXPECT_EQ(droppedFiles(&mixed), QStringList{u"/tmp/a.txt"_s});
    QMimeData text;
    text.setText(u"/tmp/a.txt"_s);
    EXPECT_TRUE(droppedFiles(&text).isEmpty());
    EXPECT_TRUE(droppedFiles(nullptr).isEmpty());
}

// Sends a drag enter, a move and a drop of `data` to `widget`, as the window system
// does; whether the drop was taken, and the action the enter settled on.
std::pair<bool, Qt::DropAction> dragAndDrop(QWidget* widget, const QMimeData* data) {
    const QPoint at(5, 5);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    QDragMoveEvent move(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
    QDropEvent drop(QPointF(at), offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    return {enter.isAccepted() && drop.isAccepted(), enter.dropAction()};
}

class FileDropTargetTest : public ::testing::Test {
protected:
    QList<QStringList> drops;
    std::function<void(const QStringList&)> record = [this](const QStringList& paths) {
        drops.append(paths);
    };
};

TEST_F(FileDropTargetTest, EditorTakesFilesButKeepsTextDropsAsText) {
    QPlainTextEdit editor;
    editor.resize(300, 200);
    new FileDropTarget(&editor, record);
    QWidget* surface = editor.viewport(); // where a scroll area gets its drags
    QMimeData text;
    text.setText(u"貼り付けた文字"_s);
    dragAndDrop(surface, &text);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor.toPlainText(), u"貼り付けた文字"_s);
    EXPECT_TRUE(drops.isEmpty());

    // Files are taken as a copy (never a move: they stay put) and handed over once the
    // drop event is over.
    const QStringList paths{u"/tmp/メモ.txt"_s, u"/tmp/二.txt"_s};
    EXPECT_EQ(dragAndDrop(surface, filesData(paths).get()), std::pair(true, Qt::CopyAction));
    EXPECT_TRUE(drops.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(drops, QList<QStringList>{paths});
    EXPECT_EQ(editor.toPlainText(), u"貼り付けた文字"_s); // no file name typed in
}

TEST_F(FileDropTargetTest, FailureWhileOpeningIsShownAndNothingArrivesAfterTheWidgetIsGone) {
    ScriptedDialogs dialogs;
    QWidget window;
    new FileDropTarget(&window, [](const QStringList& paths) {
        throw Error(u"「%1」を開けません。"_s.arg(paths.value(0)));
    });
    dragAndDrop(&window, filesData({u"/tmp/壊れた.txt"_s}).get());
    EXPECT_NO_THROW(QCoreApplication::processEvents());
    EXPECT_EQ(dialogs.texts(u"showException"_s),
              QStringList{u"「/tmp/壊れた.txt」を開けません。"_s});
    {
        QWidget gone;
        new FileDropTarget(&gone, record);
        dragAndDrop(&gone, filesData({u"/tmp/a.txt"_s}).get());
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(drops.isEmpty());
}

} // namespace
} // namespace qel
