#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

class QTimer;
class QWidget;

// Watches for modal widgets while it lives, so a test can drive code that
// opens message boxes without blocking in them. Every few milliseconds it
// looks at the application's active modal widget: a message box is recorded
// and dismissed with its first button (or the one chosen); any other modal
// widget (a file dialog, say) goes to the handler, or is rejected when there is none.
class ModalWatcher : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        bool hasParent = false;
    };

    explicit ModalWatcher(QObject *parent = nullptr);

    const QVector<Box> &boxes() const { return seen; }
    int count() const { return seen.size(); }
    QStringList texts() const;
    void clear() { seen.clear(); }

    // For modal widgets that are no message box; the handler must close them.
    void setHandler(std::function<void(QWidget *)> handler) { other = std::move(handler); }
    // A message box that has this button is answered with it instead of its first.
    void answerWith(QMessageBox::StandardButton button) { answer = button; }

private:
    void look();

    QTimer *timer = nullptr;
    QVector<Box> seen;
    std::function<void(QWidget *)> other;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
};
