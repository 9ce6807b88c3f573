#include "windowsettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace kx47::windowsettings
{

namespace
{

// What a window manager's decoration is taken to add before the window is shown and the real
// frame is known: a title bar and thin borders.
const QMargins assumedFrame(4, 32, 4, 4);

QSettings settings()
{
    return QSettings(QStringLiteral("KX47"), QStringLiteral("KX47"));
}

QString keyOf(const QString &window, const QString &key)
{
    return QStringLiteral("windows/%1/%2").arg(window, key);
}

long long area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : static_cast<long long>(rect.width()) * rect.height();
}

void store(QWidget *window, const QString &name)
{
    // A minimized, maximized or full-screen window keeps the place saved before.
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    setGeometry(name, QRect(window->pos(), window->size()));
}

void bringOntoScreen(QWidget *window)
{
    if (!window->isVisible() ||
        (window->windowState() &
         (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect frame = window->frameGeometry();
    const QRect inside = window->geometry();
    const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                           frame.right() - inside.right(), frame.bottom() - inside.bottom());
    const QRect now(window->pos(), window->size());
    const QRect place = placeOnScreens(now, availableScreens(), margins);
    if (place.size() != now.size())
        window->resize(place.size());
    if (place.topLeft() != now.topLeft())
        window->move(place.topLeft());
}

// Saves the window's place and size each time it is hidden or closed.
class GeometryKeeper : public QObject
{
public:
    GeometryKeeper(QWidget *window, const QString &name) : QObject(window), m_name(name)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != parent())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Hide || event->type() == QEvent::Close)
            store(window, m_name);
        // Once shown, the window manager's real frame is known: the window is brought wholly
        // onto the screen by it.
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [window] { bringOntoScreen(window); });
        return false;
    }

private:
    QString m_name;
};

} // namespace

std::optional<QRect> geometry(const QString &window)
{
    const QVariant value = settings().value(keyOf(window, QStringLiteral("geometry")));
    const QRect rect = value.toRect();
    if (!value.isValid() || rect.isEmpty())
        return std::nullopt;
    return rect;
}

QString choice(const QString &window, const QString &key)
{
    return settings().value(keyOf(window, key)).toString();
}

void setChoice(const QString &window, const QString &key, const QString &value)
{
    settings().setValue(keyOf(window, key), value);
}

void setGeometry(const QString &window, const QRect &geometry)
{
    settings().setValue(keyOf(window, QStringLiteral("geometry")), geometry);
}

QRect placeOnScreens(const QRect &saved, const QList<QRect> &availableScreens,
                     const QMargins &frame)
{
    if (availableScreens.isEmpty() || saved.isEmpty())
        return saved;
    // The place is the frame's corner, the size the inside's.
    const QSize decoration(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QRect outer(saved.topLeft(), saved.size() + decoration);
    const QRect *home = &availableScreens.first();
    for (const QRect &screen : availableScreens) {
        if (screen.contains(outer))
            return saved;
        if (area(screen & outer) > area(*home & outer))
            home = &screen;
    }
    // Inside the screen, as near as possible to where it was; a window larger than the screen
    // keeps its title bar and its left edge on it.
    const QSize size = saved.size().boundedTo((home->size() - decoration).expandedTo(QSize(1, 1)));
    const QSize whole = size + decoration;
    const int x = std::max(home->left(), std::min(saved.left(), home->right() - whole.width() + 1));
    const int y = std::max(home->top(), std::min(saved.top(), home->bottom() - whole.height() + 1));
    return QRect(QPoint(x, y), size);
}

QList<QRect> availableScreens()
{
    QList<QRect> screens;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens.append(screen->availableGeometry());
    }
    return screens;
}

void keepGeometry(QWidget *window, const QString &name)
{
    if (const std::optional<QRect> saved = geometry(name)) {
        // A window whose size is fixed or bounded by its layout keeps its own; place what it
        // takes. Where even its natural size is larger than the screen, it gives way as far as
        // its layout lets it.
        if (window->layout())
            window->layout()->activate();
        const QList<QRect> screens = availableScreens();
        const QRect fitted =
            placeOnScreens(QRect(QPoint(), window->minimumSize()), screens, assumedFrame);
        window->setMinimumSize(window->minimumSize().boundedTo(fitted.size()));
        window->resize(saved->size());
        const QRect size =
            placeOnScreens(QRect(saved->topLeft(), window->size()), screens, assumedFrame);
        window->resize(size.size());
        // Placed by the size the window took.
        const QRect place =
            placeOnScreens(QRect(saved->topLeft(), window->size()), screens, assumedFrame);
        window->move(place.topLeft());
    }
    new GeometryKeeper(window, name);
}

void saveGeometry(QWidget *window, const QString &name)
{
    if (window->isVisible())
        store(window, name);
}

} // namespace kx47::windowsettings
