#include "app/startup.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QPointer>
#include <QWidget>
#include <QStyleFactory>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// Waits on a native window for its first exposure, then goes.
class exposeWatcher : public QObject
{
public:
    exposeWatcher(QWindow *window, QObject *context, const std::function<void()> &call)
        : QObject(window), context(context), call(call)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            // Queued: the window paints in answer to this very event.
            if (context)
                QTimer::singleShot(0, context, call);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QObject> context;
    std::function<void()> call;
};

} // namespace

void applyTrainerStyle()
{
    QStyle *style = QStyleFactory::create(QStringLiteral("Cleanlooks"));
    if (!style) {
        std::fputs("skarvel: the Cleanlooks style is not installed, using Fusion instead\n", stderr);
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    }
    // The application takes ownership of the style.
    QApplication::setStyle(style);
}

QIcon trainerIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addFile(QStringLiteral(":/icons/skarvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

void whenShown(QWidget &window, QObject *context, const std::function<void()> &call)
{
    // A zero timer runs once the event loop does, which main starts only
    // after showing the window; its native window exists from then on.
    QTimer::singleShot(0, context, [&window, context, call] {
        QWindow *native = window.windowHandle();
        if (native && !native->isExposed())
            new exposeWatcher(native, context, call);
        else
            call();
    });
}
