#pragma once
#include <QAction>
#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <utility>

namespace app {

// One entry of the window's context menu, with its key: the window's own controls, their
// texts and their places stay as they are.
template <typename Slot>
QAction *addWindowAction(QWidget &window, const QString &text, const QKeySequence &key, Slot &&slot)
{
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *action = new QAction(text, &window);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    // The menu names the key beside the entry, whatever the desktop's default.
    action->setShortcutVisibleInContextMenu(true);
    QObject::connect(action, &QAction::triggered, &window, std::forward<Slot>(slot));
    window.addAction(action);
    return action;
}

} // namespace app
