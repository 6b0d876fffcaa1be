#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace kavlon {

// Sees every key press meant for one window before the focused control does
// and reports it once as the character it types (Escape as character 27),
// never consuming it: the focused control gets the key as well. Keys for the
// menu bar in keyboard mode (after Alt) stay with the menu. The menu's
// shortcuts win over a focused control's own use of the same keys.
class KeyPreview : public QObject {
public:
    using KeyHandler = std::function<void(QChar key)>;

    KeyPreview(QWidget *window, QList<QKeySequence> menuShortcuts, KeyHandler onKey);

    // Previews the application's key events from now on, and no longer.
    void Start();
    void Stop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window_;
    QList<QKeySequence> menuShortcuts_;
    KeyHandler onKey_;
    // The key press last reported and where it arrived first.
    const QEvent *lastKeyPress_ = nullptr;
    int lastKey_ = 0;
    QPointer<QWidget> lastKeyReceiver_;
};

} // namespace kavlon
