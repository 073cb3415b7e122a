#include "platform/Commands.h"

#include "QtPrinters.h"
#include "platform/ScriptedDialogs.h"
#include "text/Error.h"

#include <QMenu>
#include <QToolBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace qel {
namespace {

CommandSpec command(const QString& name, const QString& caption = {}) {
    CommandSpec spec;
    spec.name = name;
    spec.category = u"File"_s;
    spec.caption = caption.isEmpty() ? name : caption;
    return spec;
}

QStringList layout(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions)
        names.append(action->isSeparator() ? u"-"_s : action->objectName());
    return names;
}

class CommandTableTest : public ::testing::Test {
protected:
    QWidget window;
    CommandTable table{&window};
};

TEST_F(CommandTableTest, BuildsTheActionAsDescribed) {
    CommandSpec spec;
    spec.name = u"FileSave"_s;
    spec.category = u"ファイル"_s;
    spec.caption = u"上書き保存(&S)"_s;
    spec.hint = u"文書を上書き保存します"_s;
    spec.shortcut = QKeySequence(Qt::CTRL | Qt::Key_S);
    QAction* action = table.add(spec, [] {});

    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->objectName(), u"FileSave"_s);
    EXPECT_EQ(action->text(), u"上書き保存(&S)"_s);
    EXPECT_EQ(action->toolTip(), u"文書を上書き保存します"_s);
    EXPECT_EQ(action->statusTip(), u"文書を上書き保存します"_s);
    EXPECT_EQ(action->shortcut(), QKeySequence(u"Ctrl+S"_s));
    EXPECT_FALSE(action->isCheckable());
    EXPECT_EQ(commandCategory(action), u"ファイル"_s);
    EXPECT_EQ(action->parent(), &window);
    EXPECT_EQ(table.action(u"FileSave"_s), action);
}

TEST_F(CommandTableTest, TriggeringRunsTheHandlerEachTime) {
    int runs = 0;
    QAction* action = table.add(command(u"FileNew"_s), [&] { ++runs; });
    action->trigger();
    action->trigger();
    EXPECT_EQ(runs, 2);
}

TEST_F(CommandTableTest, CheckableCommandStartsAsDescribedAndToggles) {
    CommandSpec spec = command(u"ViewStatusBar"_s);
    spec.checkable = true;
    spec.checked = true;
    QAction* action = nullptr;
    QList<bool> seen;
    action = table.add(spec, [&] { seen.append(action->isChecked()); });

    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());
    action->trigger();
    action->trigger();
    EXPECT_EQ(seen, (QList<bool>{false, true}));
}

TEST_F(CommandTableTest, ThrowingHandlerIsShownAndTheCommandStillWorks) {
    ScriptedDialogs dialogs;
    int runs = 0;
    QAction* action = table.add(command(u"FileOpen"_s), [&] {
        ++runs;
        throw Error(u"ファイルが見つかりません。"_s);
    });
    EXPECT_NO_THROW(action->trigger());
    EXPECT_NO_THROW(action->trigger());
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(dialogs.texts(u"showException"_s),
              (QStringList{u"ファイルが見つかりません。"_s, u"ファイルが見つかりません。"_s}));
}

TEST_F(CommandTableTest, IconComesFromAResourceOrIsLeftOut) {
    CommandSpec withResource = command(u"FileNew"_s);
    withResource.icon = u":/qt-project.org/styles/commonstyle/images/filenew-16.png"_s;
    CommandSpec withUnknownName = command(u"FileOpen"_s);
    withUnknownName.icon = u"no-such-icon-anywhere"_s;

    EXPECT_FALSE(table.add(withResource, [] {})->icon().isNull());
    EXPECT_TRUE(table.add(withUnknownName, [] {})->icon().isNull());
    EXPECT_TRUE(table.add(command(u"FileClose"_s), [] {})->icon().isNull());
}

TEST_F(CommandTableTest, KnowsItsCommandsInTheOrderAdded) {
    table.add(command(u"EditUndo"_s), [] {});
    table.add(command(u"EditCut"_s), [] {});
    ASSERT_EQ(table.actions().size(), 2u);
    EXPECT_EQ(table.actions()[0]->objectName(), u"EditUndo"_s);
    EXPECT_EQ(table.actions()[1]->objectName(), u"EditCut"_s);
    EXPECT_EQ(table.action(u"EditPaste"_s), nullptr);
}

TEST_F(CommandTableTest, RefusesACommandAddedTwice) {
    table.add(command(u"EditCopy"_s), [] {});
    EXPECT_THROW(table.add(command(u"EditCopy"_s), [] {}), std::logic_error);
    EXPECT_EQ(table.actions().size(), 1u);
}

class FillTest : public CommandTableTest {
protected:
    void SetUp() override {
        for (const QString& name : {u"FileNew"_s, u"FileOpen"_s, u"FileSave"_s, u"FileExit"_s})
            table.add(command(name), [] {});
    }
};

TEST_F(FillTest, MenuGetsTheCommandsAndSeparatorsInOrder) {
    QMenu menu(u"ファイル(&F)"_s);
    table.fill(&menu, {u"FileNew"_s, u"FileOpen"_s, u"FileSave"_s, u"-"_s, u"FileExit"_s});
    EXPECT_EQ(layout(menu.actions()),
              (QStringList{u"FileNew"_s, u"FileOpen"_s, u"FileSave"_s, u"-"_s, u"FileExit"_s}));
    EXPECT_EQ(menu.actions()[0], table.action(u"FileNew"_s));
}

TEST_F(FillTest, ToolBarGetsTheCommandsAndSeparatorsInOrder) {
    QToolBar toolBar;
    table.fill(&toolBar, {u"FileNew"_s, u"-"_s, u"FileOpen"_s, u"FileSave"_s});
    EXPECT_EQ(layout(toolBar.actions()),
              (QStringList{u"FileNew"_s, u"-"_s, u"FileOpen"_s, u"FileSave"_s}));
}

TEST_F(FillTest, MisspelledNameIsAProgrammingErrorAndAddsNothing) {
    QMenu menu;
    QToolBar toolBar;
    EXPECT_THROW(table.fill(&menu, {u"FileNew"_s, u"FileSaveAs"_s}), std::logic_error);
    EXPECT_THROW(table.fill(&toolBar, {u"FileNew"_s, u"-"_s, u"Filenew"_s}), std::logic_error);
    EXPECT_TRUE(menu.actions().isEmpty());
    EXPECT_TRUE(toolBar.actions().isEmpty());
}

} // namespace
} // namespace qel
