#pragma once

#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>
#include <optional>

class QWidget;

// What the program remembers of its windows between sessions, in the user's settings
// (organization and application "KX47"): where each window stood, its size, and choices such
// as the order of a list.
namespace kx47::windowsettings
{

// The window's place and size (frame position, inner size) as last saved, if any.
std::optional<QRect> geometry(const QString &window);
void setGeometry(const QString &window, const QRect &geometry);

// Where a window opens: wholly on a screen, frame and title bar included, so that every button
// can be reached. A window that a screen shows whole stays where it was; otherwise it moves onto
// the screen it overlaps most (or the first one, the primary screen, when it overlaps none), as
// near as it can to where it stood, no larger than that screen. frame is what the window's
// decoration adds around it. availableScreens are the screens' available geometries, primary
// first.
QRect placeOnScreens(const QRect &saved, const QList<QRect> &availableScreens,
                     const QMargins &frame = QMargins());

// The available geometries of the screens, primary first.
QList<QRect> availableScreens();

// Puts the window where it was when last hidden or closed, brought onto a screen, and saves its
// place and size each time it is hidden or closed from now on.
void keepGeometry(QWidget *window, const QString &name);
// Saves the place and size of a window that is shown now (before it is discarded).
void saveGeometry(QWidget *window, const QString &name);

// The choice saved under the window's name and key; empty when there is none.
QString choice(const QString &window, const QString &key);
void setChoice(const QString &window, const QString &key, const QString &value);

} // namespace kx47::windowsettings
