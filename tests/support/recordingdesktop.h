#pragma once

#include "platform/desktop.h"

#include <QStringList>

namespace kx47::test
{

// Records every document or address the program asks the desktop to open.
class RecordingDesktop : public Desktop
{
public:
    void open(const QString &documentOrUrl) override { opened.append(documentOrUrl); }
    // Records the document too; viewerOpens says whether a viewer takes it.
    bool openDocument(const QString &path) override
    {
        opened.append(path);
        return viewerOpens;
    }
    QStringList opened;
    bool viewerOpens = true;
};

} // namespace kx47::test
