#include "app/KeyPreview.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QWidget>

#include <utility>

namespace kavlon {

KeyPreview::KeyPreview(QWidget *window, QList<QKeySequence> menuShortcuts, KeyHandler onKey)
    : window_(window), menuShortcuts_(std::move(menuShortcuts)), onKey_(std::move(onKey))
{
}

void KeyPreview::Start() { QCoreApplication::instance()->installEventFilter(this); }

void KeyPreview::Stop() { QCoreApplication::instance()->removeEventFilter(this); }

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    // Keys for the menu bar in keyboard mode (after Alt) belong to the menu:
    // Escape there leaves the menu and must not reset the run.
    if (widget->window() != window_ || qobject_cast<QMenuBar *>(widget))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);

    if (type == QEvent::ShortcutOverride) {
        // The menu's shortcuts win over a focused read-out's own copy key.
        const QKeySequence pressed(key->keyCombination());
        return menuShortcuts_.contains(pressed);
    }
    if (type == QEvent::KeyRelease) {
        lastKeyPress_ = nullptr;
        return false;
    }

    // A key press that its receiver ignores travels on to the receiver's
    // parents as the same event: take it once, where it starts. A new press
    // may reuse the address of the last one (a key held down, such as Shift,
    // sends no release in between), so the same address alone does not make
    // it the same press: it must carry the same key and have moved upwards.
    const bool travelling = event == lastKeyPress_ && key->key() == lastKey_ && lastKeyReceiver_
                            && widget != lastKeyReceiver_ && widget->isAncestorOf(lastKeyReceiver_);
    if (!travelling) {
        lastKeyPress_ = event;
        lastKey_ = key->key();
        lastKeyReceiver_ = widget;
        const QString text = key->text();
        if (text.size() == 1)
            onKey_(text.at(0));
        else if (text.isEmpty() && key->key() == Qt::Key_Escape)
            onKey_(QChar(27));
    }
    // Never consumed: the focused control sees the key as well.
    return false;
}

} // namespace kavlon
