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
    explicit AboutWindow(Desktop &desktop);

    static QString webAddress();
};

} // namespace kx47
