#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;
class QToolBar;

namespace qel {

// One user command as the program describes it.
struct CommandSpec {
    QString name;     // objectName, e.g. "FileNew"
    QString category; // e.g. "File"
    QString caption;  // with the "&" access letter
    QString hint;     // tool tip and status tip
    QKeySequence shortcut;
    bool checkable = false;
    bool checked = false;
    QString icon; // theme icon name or resource path; empty: none
};

// The commands of one window, built from a table. Triggering a command runs its
// handler inside the exception guard. Menus and tool bars are filled from lists of
// command names, "-" standing for a separator.
//
// The actions are children of `owner`. Mistakes in the tables (a name added twice, a
// name in a menu list that was never added) throw std::logic_error; fill() checks the
// whole list before it adds anything.
class CommandTable {
public:
    explicit CommandTable(QObject* owner) : owner_(owner) {}

    QAction* add(const CommandSpec& spec, std::function<void()> handler);
    QAction* action(const QString& name) const; // nullptr when unknown
    const std::vector<QAction*>& actions() const { return actions_; }

    // A menu item or tool button of its own (`itemName`) that runs the command and
    // follows its check mark, enabled state and icon, but keeps its own caption (the
    // command's when `caption` is empty) and its own hint. fill() takes item names too.
    QAction* addItem(const QString& itemName, const QString& commandName,
                     const QString& caption = QString());
    QAction* item(const QString& itemName) const; // nullptr when unknown

    void fill(QMenu* menu, const QStringList& names) const;
    void fill(QToolBar* toolBar, const QStringList& names) const;

private:
    QObject* owner_;
    std::vector<QAction*> actions_;
    std::vector<QAction*> items_;
};

// The category a command was given.
QString commandCategory(const QAction* action);

} // namespace qel
