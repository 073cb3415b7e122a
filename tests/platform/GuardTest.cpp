// What the user is shown when a command or an event handler fails.
#include "platform/Guard.h"

#include "../TestPrinters.h"
#include "platform/Commands.h"
#include "platform/ScriptedDialogs.h"
#include "text/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

const QString shown = u"showException"_s;

TEST(Guard, ShowsTheTextOfTheFailure) {
    ScriptedDialogs dialogs;
    EXPECT_TRUE(guarded([] {}));
    EXPECT_TRUE(dialogs.calls().isEmpty());
    EXPECT_FALSE(guarded([] { throw Error(u"ファイル「メモ.txt」を開けません。"_s); }));
    EXPECT_FALSE(guarded([] { throw std::runtime_error("書き込みに失敗しました"); })); // UTF-8
    EXPECT_EQ(dialogs.texts(shown),
              (QStringList{u"ファイル「メモ.txt」を開けません。"_s, u"書き込みに失敗しました"_s}));

    // Something readable for anything else.
    dialogs.clearCalls();
    EXPECT_FALSE(guarded([] { throw 42; }));
    EXPECT_FALSE(guarded([] { throw std::runtime_error(""); }));
    EXPECT_FALSE(guarded([] { throw std::bad_alloc(); }));
    const QStringList texts = dialogs.texts(shown);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_FALSE(texts[0].trimmed().isEmpty());
    EXPECT_FALSE(texts[1].trimmed().isEmpty());
    EXPECT_TRUE(texts[2].contains(u"メモリ"_s));
}

// A command that fails is reported each time and keeps working.
TEST(Guard, CommandsRunInsideTheGuard) {
    ScriptedDialogs dialogs;
    QObject window;
    CommandTable table(&window);
    CommandSpec spec;
    spec.name = u"FileOpen"_s;
    QAction* action = table.add(spec, [] { throw Error(u"ファイルが見つかりません。"_s); });
    EXPECT_NO_THROW(action->trigger());
    EXPECT_NO_THROW(action->trigger());
    EXPECT_EQ(dialogs.texts(shown),
              (QStringList{u"ファイルが見つかりません。"_s, u"ファイルが見つかりません。"_s}));
}

// A failure while showing the error must not end the program (guarded is noexcept).
TEST(Guard, SurvivesAFailingDialogService) {
    struct BrokenDialogs : ScriptedDialogs {
        void showException(const QString&) override { throw std::runtime_error("no screen"); }
    } dialogs;
    EXPECT_FALSE(guarded([] { throw Error(u"失敗"_s); }));
}

// Counts user events; throws on them while `throwing` is set.
class Target : public QObject {
public:
    int userEvents = 0;
    bool throwing = false;

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++userEvents;
        if (throwing)
            throw Error(u"イベント処理中のエラー"_s);
        return true;
    }
};

class ThrowOnceFilter : public QObject {
    bool thrown_ = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::User && !std::exchange(thrown_, true))
            throw std::runtime_error("フィルターのエラー");
        return QObject::eventFilter(watched, event);
    }
};

TEST(GuardedApplication, ShowsExceptionsFromEventHandlersFiltersAndQueuedSlots) {
    ASSERT_NE(dynamic_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
    ScriptedDialogs dialogs;
    Target target;
    target.throwing = true;
    QEvent event(QEvent::User);
    bool handled = true;
    EXPECT_NO_THROW(handled = QCoreApplication::sendEvent(&target, &event));
    EXPECT_FALSE(handled);

    // The event after the one whose filter threw still gets through.
    target.throwing = false;
    ThrowOnceFilter filter;
    target.installEventFilter(&filter);
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target, QEvent::User);
    EXPECT_EQ(target.userEvents, 2);

    bool after = false;
    QTimer::singleShot(0, &target, [] { throw Error(u"タイマーのエラー"_s); });
    QTimer::singleShot(0, &target, [&] { after = true; });
    for (int i = 0; i < 10 && !after; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(after);
    EXPECT_EQ(dialogs.texts(shown), (QStringList{u"イベント処理中のエラー"_s,
                                                 u"フィルターのエラー"_s, u"タイマーのエラー"_s}));
}

} // namespace
} // namespace qel
