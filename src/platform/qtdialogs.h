#pragma once

#include "dialogs.h"

namespace kx47
{

// Message and input boxes of the real desktop.
class QtDialogs : public Dialogs
{
public:
    MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                          const QString &title = QString()) override;
    QString input(const QString &prompt) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QStringList openFileNames(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &suggestedName,
                         const QString &filter) override;
};

} // namespace kx47
