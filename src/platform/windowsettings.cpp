#include "windowsettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace kx47::windowsettings
{

namespace
{

// A window can be dragged back when a screen shows this much of the strip along its top edge,
// where the title bar is.
constexpr int gripWidth = 64;
constexpr int gripHeight = 16;
constexpr int stripHeight = 32;

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

bool showsGrip(const QRect &screen, const QRect &window)
{
    const QRect strip(window.left(), window.top(), window.width(),
                      std::min(window.height(), stripHeight));
    const QRect shown = strip & screen;
    return !shown.isEmpty() && shown.width() >= std::min(gripWidth, window.width()) &&
           shown.height() >= std::min(gripHeight, strip.height());
}

void store(QWidget *window, const QString &name)
{
    // A minimized, maximized or full-screen window keeps the place saved before.
    if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    setGeometry(name, QRect(window->pos(), window->size()));
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
        if ((event->type() == QEvent::Hide || event->type() == QEvent::Close) &&
            watched == parent())
            store(static_cast<QWidget *>(watched), m_name);
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

QRect placeOnScreens(const QRect &saved, const QList<QRect> &availableScreens)
{
    if (availableScreens.isEmpty() || saved.isEmpty())
        return saved;
    const QRect *home = nullptr;
    for (const QRect &screen : availableScreens) {
        if (showsGrip(screen, saved)) {
            home = &screen;
            break;
        }
    }
    const bool reachable = home != nullptr;
    if (!reachable) {
        home = &availableScreens.first();
        for (const QRect &screen : availableScreens) {
            if (area(screen & saved) > area(*home & saved))
                home = &screen;
        }
    }
    const QSize size = saved.size().boundedTo(home->size());
    if (reachable && size == saved.size())
        return saved;
    // Inside the screen, as near as possible to where it was.
    const int x = std::clamp(saved.left(), home->left(), home->right() - size.width() + 1);
    const int y = std::clamp(saved.top(), home->top(), home->bottom() - size.height() + 1);
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
        // takes.
        if (window->layout())
            window->layout()->activate();
        window->resize(saved->size());
        const QRect place =
            placeOnScreens(QRect(saved->topLeft(), window->size()), availableScreens());
        window->resize(place.size());
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
