#include "platform/Commands.h"

#include "platform/Guard.h"

#include <QIcon>
#include <QMenu>
#include <QToolBar>

#include <stdexcept>

namespace qel {

namespace {

const char* const categoryProperty = "category";

QIcon iconFor(const QString& name) {
    if (name.isEmpty())
        return {};
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    if (name.startsWith(u':'))
        return QIcon(name);
    return {};
}

// The actions for `names`, nullptr standing for a separator. All names are resolved
// before anything is added, so a bad list leaves the menu or tool bar as it was.
std::vector<QAction*> resolve(const CommandTable& table, const QStringList& names) {
    std::vector<QAction*> result;
    result.reserve(names.size());
    for (const QString& name : names) {
        if (name == u"-") {
            result.push_back(nullptr);
            continue;
        }
        QAction* action = table.action(name);
        if (!action)
            action = table.item(name);
        if (!action)
            throw std::logic_error("unknown command: " + name.toStdString());
        result.push_back(action);
    }
    return result;
}

} // namespace

QAction* CommandTable::add(const CommandSpec& spec, std::function<void()> handler) {
    if (spec.name.isEmpty() || spec.name == u"-")
        throw std::logic_error("a command needs a name");
    if (action(spec.name))
        throw std::logic_error("command added twice: " + spec.name.toStdString());

    auto* action = new QAction(owner_);
    action->setObjectName(spec.name);
    action->setText(spec.caption);
    action->setToolTip(spec.hint);
    action->setStatusTip(spec.hint);
    action->setShortcut(spec.shortcut);
    action->setCheckable(spec.checkable);
    action->setChecked(spec.checkable && spec.checked);
    action->setIcon(iconFor(spec.icon));
    action->setProperty(categoryProperty, spec.category);
    QObject::connect(action, &QAction::triggered, action,
                     [handler = std::move(handler)] { guarded(handler); });
    actions_.push_back(action);
    return action;
}

QAction* CommandTable::action(const QString& name) const {
    for (QAction* action : actions_) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

QAction* CommandTable::addItem(const QString& itemName, const QString& commandName,
                               const QString& caption) {
    QAction* command = action(commandName);
    if (!command)
        throw std::logic_error("unknown command: " + commandName.toStdString());
    if (itemName.isEmpty() || action(itemName) || item(itemName))
        throw std::logic_error("item name taken: " + itemName.toStdString());

    auto* item = new QAction(owner_);
    item->setObjectName(itemName);
    item->setText(caption.isEmpty() ? command->text() : caption);
    item->setToolTip(command->toolTip());
    item->setStatusTip(command->statusTip());
    item->setShortcut(command->shortcut());
    item->setShortcutContext(Qt::WidgetShortcut); // the command itself owns the key
    item->setProperty(categoryProperty, command->property(categoryProperty));
    const auto follow = [item, command] {
        item->setCheckable(command->isCheckable());
        item->setChecked(command->isChecked());
        item->setEnabled(command->isEnabled());
        item->setIcon(command->icon());
    };
    follow();
    QObject::connect(command, &QAction::changed, item, follow);
    // Triggering the item runs the command; the command then sets the check mark.
    QObject::connect(item, &QAction::triggered, command, [item, command] {
        item->setChecked(command->isChecked());
        command->trigger();
    });
    items_.push_back(item);
    return item;
}

QAction* CommandTable::item(const QString& itemName) const {
    for (QAction* item : items_) {
        if (item->objectName() == itemName)
            return item;
    }
    return nullptr;
}

void CommandTable::fill(QMenu* menu, const QStringList& names) const {
    for (QAction* action : resolve(*this, names)) {
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
    }
}

void CommandTable::fill(QToolBar* toolBar, const QStringList& names) const {
    for (QAction* action : resolve(*this, names)) {
        if (action)
            toolBar->addAction(action);
        else
            toolBar->addSeparator();
    }
}

QString commandCategory(const QAction* action) {
    return action ? action->property(categoryProperty).toString() : QString();
}

} // namespace qel
