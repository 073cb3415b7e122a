#include "platform/FileDrops.h"

#include "platform/Guard.h"
#include "platform/TextView.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace qel {

QStringList droppedFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QString path = url.toLocalFile();
        if (!path.isEmpty())
            paths.append(path);
    }
    return paths;
}

namespace {

void watch(QWidget* widget, QObject* filter) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(filter);
}

// Files are opened, never moved: a file manager offering a move must not delete them.
void acceptAsCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

} // namespace

FileDropTarget::FileDropTarget(QWidget* target, std::function<void(const QStringList&)> onDrop)
    : QObject(target), onDrop_(std::move(onDrop)) {
    watch(target, this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target))
        watch(area->viewport(), this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (droppedFiles(drag->mimeData()).isEmpty())
            break;
        acceptAsCopy(drag);
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList paths = droppedFiles(drop->mimeData());
        if (paths.isEmpty())
            break;
        acceptAsCopy(drop);
        // Typed text an input method is composing goes into the document before the
        // files open (and a save question sees it).
        TextView::commitComposition();
        QMetaObject::invokeMethod(
            this, [this, paths = std::move(paths)] { guarded([&] { onDrop_(paths); }); },
            Qt::QueuedConnection);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qel
