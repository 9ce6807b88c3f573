#pragma once

#include "fixture.h"

namespace kx47::test
{

// The real application on a fresh program folder with one of its windows shown and active.
// Rows written into the folder before open() are there when the window loads.
struct OpenedWindow {
    explicit OpenedWindow(const QString &windowName) : name(windowName) {}

    bool open()
    {
        if (!app.start())
            return false;
        window = app.show(name);
        return window && activate(window);
    }

    QString name;
    ProgramFolder folder;
    TestApp app{folder.path()};
    QWidget *window = nullptr;
};

} // namespace kx47::test
