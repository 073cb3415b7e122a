#include "platform/Guard.h"

#include "QtPrinters.h"
#include "platform/ScriptedDialogs.h"
#include "text/Error.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

const QString shown = u"showException"_s;

TEST(Guard, HandlerThatFinishesShowsNothing) {
    ScriptedDialogs dialogs;
    bool ran = false;
    EXPECT_TRUE(guarded([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(dialogs.calls().isEmpty());
}

TEST(Guard, ShowsTheTextOfTheProgramsOwnError) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(guarded([] { throw Error(u"ファイル「メモ.txt」を開けません。"_s); }));
    EXPECT_EQ(dialogs.texts(shown), QStringList{u"ファイル「メモ.txt」を開けません。"_s});
}

TEST(Guard, ReadsStandardExceptionTextAsUtf8) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(guarded([] { throw std::runtime_error("書き込みに失敗しました"); }));
    EXPECT_EQ(dialogs.texts(shown), QStringList{u"書き込みに失敗しました"_s});
}

TEST(Guard, ShowsSomethingReadableForAnyOtherException) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(guarded([] { throw 42; }));
    EXPECT_FALSE(guarded([] { throw std::runtime_error(""); }));
    const QStringList texts = dialogs.texts(shown);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_FALSE(texts[0].trimmed().isEmpty());
    EXPECT_FALSE(texts[1].trimmed().isEmpty());
}

TEST(Guard, TellsTheUserWhenMemoryRunsOut) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(guarded([] { throw std::bad_alloc(); }));
    ASSERT_EQ(dialogs.texts(shown).size(), 1);
    EXPECT_TRUE(dialogs.texts(shown)[0].contains(u"メモリ"_s));
}

// A failure while showing the error must not end the program (guarded is noexcept).
TEST(Guard, SurvivesAFailingDialogService) {
    struct BrokenDialogs : ScriptedDialogs {
        void showException(const QString&) override { throw std::runtime_error("no screen"); }
    } dialogs;
    EXPECT_FALSE(guarded([] { throw Error(u"失敗"_s); }));
}

class ThrowingObject : public QObject {
public:
    int userEvents = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++userEvents;
            throw Error(u"イベント処理中のエラー"_s);
        }
        return QObject::event(event);
    }
};

class ThrowOnceFilter : public QObject {
public:
    bool thrown = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::User && !thrown) {
            thrown = true;
            throw std::runtime_error("フィルターのエラー");
        }
        return QObject::eventFilter(watched, event);
    }
};

class CountingObject : public QObject {
public:
    int userEvents = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++userEvents;
            return true;
        }
        return QObject::event(event);
    }
};

TEST(GuardedApplication, IsTheApplicationTheseTestsRunIn) {
    EXPECT_NE(dynamic_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
}

TEST(GuardedApplication, ShowsAnExceptionThrownByAnEventHandler) {
    ScriptedDialogs dialogs;
    ThrowingObject target;
    QEvent event(QEvent::User);
    bool handled = true;
    EXPECT_NO_THROW(handled = QCoreApplication::sendEvent(&target, &event));
    EXPECT_FALSE(handled);
    EXPECT_EQ(target.userEvents, 1);
    EXPECT_EQ(dialogs.texts(shown), QStringList{u"イベント処理中のエラー"_s});
}

TEST(GuardedApplication, ShowsAnExceptionFromAnEventFilterAndDeliversLaterEvents) {
    ScriptedDialogs dialogs;
    CountingObject target;
    ThrowOnceFilter filter;
    target.installEventFilter(&filter);
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target, QEvent::User);

    EXPECT_EQ(dialogs.texts(shown), QStringList{u"フィルターのエラー"_s});
    EXPECT_EQ(target.userEvents, 1); // the second event got through
}

TEST(GuardedApplication, ShowsAnExceptionFromAQueuedSlot) {
    ScriptedDialogs dialogs;
    QObject context;
    bool after = false;
    QTimer::singleShot(0, &context, [] { throw Error(u"タイマーのエラー"_s); });
    QTimer::singleShot(0, &context, [&] { after = true; });
    for (int i = 0; i < 10 && !after; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(after);
    EXPECT_EQ(dialogs.texts(shown), QStringList{u"タイマーのエラー"_s});
}

} // namespace
} // namespace qel
