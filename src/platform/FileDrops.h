#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace qel {

// Full local paths of the files in a drag's data, in the order given, of any number
// and any length. Anything that is not a local file is skipped.
QStringList droppedFiles(const QMimeData* data);

// Makes `target` accept files dropped from the desktop and hands their paths to
// `onDrop`, which runs inside the exception guard. Other drops (text) are left to the
// widget. The filter is a child of `target`.
//
// For a scroll area (a text editor) the drag events arrive at the viewport, so the
// viewport is watched as well; install the target after any setViewport().
//
// `onDrop` runs once control is back in the event loop, not inside the drop event:
// the drag source is released first, so questions `onDrop` asks (save the changes?)
// do not keep the file manager waiting.
class FileDropTarget : public QObject {
    Q_OBJECT
public:
    FileDropTarget(QWidget* target, std::function<void(const QStringList&)> onDrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QStringList&)> onDrop_;
};

} // namespace qel
