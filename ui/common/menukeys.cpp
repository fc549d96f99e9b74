#include "common/menukeys.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QObject>
#include <QWidget>

namespace {

class MenuKeysFilter : public QObject {
  public:
    explicit MenuKeysFilter(QWidget* window) : QObject(window), window_(window) {}

    // A text box that accepts the shortcut-override event keeps the key; refusing it here lets
    // the action's shortcut run.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : window_->findChildren<QAction*>()) {
            if (action->isEnabled() && !action->shortcut().isEmpty() &&
                action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
        return false;
    }

  private:
    QWidget* window_;
};

}  // namespace

void giveMenuKeysPriority(QWidget* window) {
    auto* filter = new MenuKeysFilter(window);
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) edit->installEventFilter(filter);
}
