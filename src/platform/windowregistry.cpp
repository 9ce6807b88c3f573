#include "windowregistry.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

namespace kx47
{

namespace
{

// A window is never smaller than its layout asks for its controls at their natural size, nor
// too narrow for its title beside the window manager's icon and buttons, whatever the font.
void keepNaturalSize(QWidget *window)
{
    QSize natural = window->sizeHint();
    const QFontMetrics title(QApplication::font());
    const int buttons = 4 * window->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    natural.setWidth(
        qMax(natural.width(), title.horizontalAdvance(window->windowTitle()) + buttons));
    window->setMinimumSize(window->minimumSize().expandedTo(natural));
}

} // namespace

WindowRegistry::~WindowRegistry()
{
    closeAll();
}

void WindowRegistry::registerWindow(const QString &name, Factory factory, Hook beforeShow)
{
    Entry &entry = m_entries[name];
    entry.factory = std::move(factory);
    entry.beforeShow = std::move(beforeShow);
}

bool WindowRegistry::isRegistered(const QString &name) const
{
    return m_entries.contains(name);
}

QWidget *WindowRegistry::get(const QString &name)
{
    auto it = m_entries.find(name);
    if (it == m_entries.end() || !it->factory)
        return nullptr;
    if (it->window.isNull()) {
        QWidget *window = it->factory();
        window->setObjectName(name);
        window->setAttribute(Qt::WA_DeleteOnClose);
        keepNaturalSize(window);
        // The factory may have used the registry; look the entry up again.
        m_entries[name].window = window;
        return window;
    }
    return it->window;
}

QWidget *WindowRegistry::find(const QString &name) const
{
    auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it->window.data();
}

QWidget *WindowRegistry::show(const QString &name)
{
    QWidget *window = get(name);
    if (!window)
        return nullptr;
    const Hook hook = m_entries.value(name).beforeShow;
    if (hook)
        hook(window);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void WindowRegistry::closeAll()
{
    for (Entry &entry : m_entries) {
        delete entry.window.data();
        entry.window.clear();
    }
}

} // namespace kx47
