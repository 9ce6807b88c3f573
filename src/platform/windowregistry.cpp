#include "windowregistry.h"

#include "windowsettings.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>
#include <utility>

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
        windowsettings::keepGeometry(window, name);
        // The factory may have used the registry; look the entry up again.
        Entry &entry = m_entries[name];
        entry.window = window;
        ++entry.made;
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

bool WindowRegistry::madeBefore(const QString &name) const
{
    return m_entries.value(name).made > 0;
}

void WindowRegistry::keepChoice(const QString &window, const QString &key,
                                const QList<QRadioButton *> &options, QRadioButton *fallback)
{
    const QString saved = madeBefore(window) ? QString() : windowsettings::choice(window, key);
    const auto found = std::find_if(options.begin(), options.end(), [&saved](QRadioButton *option) {
        return !saved.isEmpty() && option->objectName() == saved;
    });
    QRadioButton *chosen = found != options.end() ? *found : fallback;
    chosen->setChecked(true);
    windowsettings::setChoice(window, key, chosen->objectName());
    for (QRadioButton *option : options) {
        QObject::connect(option, &QRadioButton::toggled, option, [window, key, option](bool on) {
            if (on)
                windowsettings::setChoice(window, key, option->objectName());
        });
    }
}

void WindowRegistry::keepChoice(const QString &window, const QString &key, QComboBox *combo)
{
    if (!madeBefore(window)) {
        const int saved = combo->findText(windowsettings::choice(window, key));
        if (saved >= 0)
            combo->setCurrentIndex(saved);
    }
    windowsettings::setChoice(window, key, combo->currentText());
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [window, key, combo] {
        windowsettings::setChoice(window, key, combo->currentText());
    });
}

void WindowRegistry::closeAll()
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        Entry &entry = it.value();
        if (entry.window)
            windowsettings::saveGeometry(entry.window, it.key());
        delete entry.window.data();
        entry.window.clear();
    }
}

void WindowRegistry::hideAll()
{
    // A hidden window keeps its place by itself (windowsettings::keepGeometry).
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.window)
            entry.window->hide();
    }
}

} // namespace kx47
