#include "buttonroles.h"

#include <QKeyEvent>
#include <QWidget>

#include "orielbutton.h"

namespace corvane {

ButtonRoles::ButtonRoles(QWidget* window) : QObject(window) {
    setObjectName(QStringLiteral("OrielButtonRoles"));
    window->installEventFilter(this);
}

void ButtonRoles::attachTo(QWidget* window) {
    if (window != nullptr &&
        window->findChild<ButtonRoles*>(QString(), Qt::FindDirectChildrenOnly) == nullptr) {
        new ButtonRoles(window);
    }
}

bool ButtonRoles::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool escape = key->key() == Qt::Key_Escape;
    if (!enter && !escape) {
        return false;
    }
    auto* window = static_cast<QWidget*>(watched);
    for (OrielButton* button : window->findChildren<OrielButton*>()) {
        const bool hasRole = enter ? button->isDefaultButton() : button->isCancelButton();
        if (hasRole && button->window() == window && button->isVisibleTo(window) &&
            button->isEnabled()) {
            button->m_lastButton = OrielButton::kLeftButton;
            button->clickFromSurface();
            return true;
        }
    }
    return false;
}

}  // namespace corvane
