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
    QStringList opened;
};

} // namespace kx47::test
