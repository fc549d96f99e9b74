#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

// One program-wide instance of a window: created on first reference (its constructor builds
// the controls from the form and then runs its load handler), destroyed on close, and created
// afresh with its static defaults on the next reference.
template <class Window>
class SingleWindow {
  public:
    // `create` makes a new instance (with whatever the window needs to be given).
    explicit SingleWindow(Window* (*create)()) : create_(create) {}
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;

    // The loaded instance, or nullptr, without loading it.
    Window* loaded() const { return window_; }

    // Modeless, without owner; an open window is only brought to the front, unchanged.
    void show() {
        Window* w = get();
        if (w->isMinimized()) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        w->activateWindow();
    }

    // Hidden first, so that the focus leaves its controls (which may run their handlers) while
    // the window is still whole.
    void unload() {
        if (Window* w = window_) {
            w->hide();
            delete w;
        }
    }

  private:
    Window* get() {
        if (!window_) load();
        return window_;
    }

    // Forgets the window as soon as it is closed, so that a reference made before the deferred
    // deletion has run already loads a fresh one. The window handles the close first: one that
    // refuses to close (the user kept unsaved work) stays the loaded instance.
    class CloseWatcher : public QObject {
      public:
        explicit CloseWatcher(SingleWindow* owner, QObject* parent)
            : QObject(parent), owner_(owner) {}
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() != QEvent::Close || owner_->window_ != watched) return false;
            watched->event(event);
            if (event->isAccepted()) owner_->window_ = nullptr;
            return true;
        }

      private:
        SingleWindow* owner_;
    };

    void load() {
        window_ = create_();
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->installEventFilter(new CloseWatcher(this, window_));
    }

    Window* (*create_)();
    QPointer<Window> window_;
};
