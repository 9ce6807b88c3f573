#pragma once

#include <QWidget>

namespace kx47
{

class Desktop;

// The About window: what the program is, who wrote it and the association's web site.
class AboutWindow : public QWidget
{
    Q_OBJECT
public:
    // logPath: where the log lies, shown so that the user can find it and copy it.
    AboutWindow(Desktop &desktop, const QString &logPath);

    static QString webAddress();
};

} // namespace kx47
