#include "platform/FileDrops.h"

#include "QtPrinters.h"
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

TEST(DroppedFiles, KeepsEveryLocalFileInOrder) {
    const QStringList paths{u"/home/user/メモ.txt"_s, u"/home/user/a b#1 100%.txt"_s,
                            u"/home/user/新しいフォルダー/議事録 (2).log"_s};
    const auto data = filesData(paths);
    EXPECT_EQ(droppedFiles(data.get()), paths);
}

TEST(DroppedFiles, KeepsLongPathsWhole) {
    QString path = u"/tmp"_s;
    while (path.size() < 320)
        path += u"/とても長いフォルダーの名前"_s;
    path += u"/最後のファイル.txt"_s;
    const auto data = filesData({path, u"/tmp/short.txt"_s});
    EXPECT_EQ(droppedFiles(data.get()), (QStringList{path, u"/tmp/short.txt"_s}));
}

TEST(DroppedFiles, SkipsWhatIsNotALocalFile) {
    QMimeData data;
    data.setUrls({QUrl(u"https://example.com/a.txt"_s), QUrl::fromLocalFile(u"/tmp/a.txt"_s),
                  QUrl(u"mailto:someone@example.com"_s)});
    EXPECT_EQ(droppedFiles(&data), QStringList{u"/tmp/a.txt"_s});

    QMimeData text;
    text.setText(u"/tmp/a.txt"_s);
    EXPECT_TRUE(droppedFiles(&text).isEmpty());
    EXPECT_TRUE(droppedFiles(nullptr).isEmpty());
}

// Sends a drag enter and a drop of `data` to `widget`, as the window system does.
struct DragOutcome {
    bool enterAccepted = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool dropAccepted = false;
};

DragOutcome dragAndDrop(QWidget* widget, const QMimeData* data,
                        Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction) {
    const QPoint at(5, 5);
    DragOutcome outcome;
    QDragEnterEvent enter(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    outcome.enterAccepted = enter.isAccepted();
    outcome.enterAction = enter.dropAction();
    QDragMoveEvent move(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
    QDropEvent drop(QPointF(at), offered, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    outcome.dropAccepted = drop.isAccepted();
    return outcome;
}

class FileDropTargetTest : public ::testing::Test {
protected:
    QList<QStringList> drops;
    std::function<void(const QStringList&)> record = [this](const QStringList& paths) {
        drops.append(paths);
    };
};

TEST_F(FileDropTargetTest, HandsDroppedFilesToTheCallbackAsACopy) {
    QWidget window;
    new FileDropTarget(&window, record);
    EXPECT_TRUE(window.acceptDrops());

    const QStringList paths{u"/tmp/一.txt"_s, u"/tmp/二.txt"_s};
    const auto data = filesData(paths);
    const DragOutcome outcome = dragAndDrop(&window, data.get(), Qt::MoveAction | Qt::CopyAction);
    EXPECT_TRUE(outcome.enterAccepted);
    EXPECT_EQ(outcome.enterAction, Qt::CopyAction); // never a move: the files stay put
    EXPECT_TRUE(outcome.dropAccepted);

    // Delivered once the drop event is over.
    EXPECT_TRUE(drops.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(drops, QList<QStringList>{paths});
}

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

    const auto files = filesData({u"/tmp/メモ.txt"_s});
    const DragOutcome outcome = dragAndDrop(surface, files.get());
    QCoreApplication::processEvents();
    EXPECT_TRUE(outcome.dropAccepted);
    EXPECT_EQ(drops, QList<QStringList>{QStringList{u"/tmp/メモ.txt"_s}});
    EXPECT_EQ(editor.toPlainText(), u"貼り付けた文字"_s); // no file name typed in
}

TEST_F(FileDropTargetTest, FailureWhileOpeningIsShown) {
    ScriptedDialogs dialogs;
    QWidget window;
    new FileDropTarget(&window, [](const QStringList& paths) {
        throw Error(u"「%1」を開けません。"_s.arg(paths.value(0)));
    });
    const auto data = filesData({u"/tmp/壊れた.txt"_s});
    dragAndDrop(&window, data.get());
    EXPECT_NO_THROW(QCoreApplication::processEvents());
    EXPECT_EQ(dialogs.texts(u"showException"_s),
              QStringList{u"「/tmp/壊れた.txt」を開けません。"_s});
}

TEST_F(FileDropTargetTest, NothingArrivesAfterTheWidgetIsGone) {
    const auto data = filesData({u"/tmp/a.txt"_s});
    {
        QWidget window;
        new FileDropTarget(&window, record);
        dragAndDrop(&window, data.get());
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(drops.isEmpty());
}

} // namespace
} // namespace qel
