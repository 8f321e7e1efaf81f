// SPDX-License-Identifier: MIT
// The roles of the window and the play area, and the words for the game's state.
#include "shell/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>

#include "game/state.h"
#include "render/words.h"
#include "shell/graphic_control.h"
#include "shell/main_window.h"

namespace shell {

namespace {

// ---- Internal helpers -----------------------------------------------------------

QString Words(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Neither widget class has a meta-object of its own, so Qt would take both for plain
// widgets: role "filler", which screen readers pass over.
QAccessibleInterface* RoleFor(const QString&, QObject* object) {
    if (auto* window = dynamic_cast<MainWindowWidget*>(object); window != nullptr) {
        return new QAccessibleWidget(window, QAccessible::Window);
    }
    if (auto* play = dynamic_cast<GraphicControl*>(object); play != nullptr) {
        return new QAccessibleWidget(play, QAccessible::Canvas);
    }
    return nullptr;
}

}  // namespace

// ---- Public functions -----------------------------------------------------------

void InstallAccessibleRoles() {
    QAccessible::installFactory(&RoleFor);
}

void TellEnabledChanged(QAction* item) {
    if (!QAccessible::isActive()) {
        return;
    }
    QAccessible::State changed;
    changed.disabled = true;
    for (QObject* holder : item->associatedObjects()) {
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(holder);
        for (int index = 0; menu != nullptr && index < menu->childCount(); ++index) {
            QAccessibleInterface* entry = menu->child(index);
            if (entry != nullptr && entry->object() == item) {
                QAccessibleStateChangeEvent event(entry, changed);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
}

GameSpoken ReadGameSpoken() {
    const std::shared_ptr<game::Game> current = game::CurrentGame();
    if (current == nullptr) {
        return {};
    }
    const game::EndShown shown = current->State.ShownEnd.load();
    if (shown.End != game::GameEnd::None) {
        return {shown.Blocks, shown.End};
    }
    return {current->State.BlocksDestroyed.load(), game::GameEnd::None};
}

QString DescribeGame(GameSpoken spoken) {
    if (spoken.Blocks < 0) {
        return {};
    }
    QString text = Words(render::ScoreLabel) + QStringLiteral(" %1").arg(spoken.Blocks);
    if (spoken.End != game::GameEnd::None) {
        text += QStringLiteral(". ") +
                Words(spoken.End == game::GameEnd::Lost ? render::LostText : render::WonText);
    }
    return text;
}

}  // namespace shell
