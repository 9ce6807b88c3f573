#pragma once

#include <QString>
#include <QStringList>

namespace kx47
{

enum class MessageIcon { None, Critical, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Modal message and input boxes. Windows never call QMessageBox or QInputDialog themselves,
// so that tests can script the answers.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Modal message box; an empty title means the application title "KX47".
    virtual MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                                  const QString &title = QString()) = 0;
    // Modal input box with the application title; the empty text on Cancel.
    virtual QString input(const QString &prompt) = 0;
    // The desktop's file choosers; `filter` as in "ADIF files (*.adi *.adx)". The empty text
    // when the user cancelled.
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    // The chooser of several files; by default the chooser of one.
    virtual QStringList openFileNames(const QString &caption, const QString &filter)
    {
        const QString one = openFileName(caption, filter);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    virtual QString saveFileName(const QString &caption, const QString &suggestedName,
                                 const QString &filter) = 0;
};

// The title every message box without a title of its own carries.
inline QString applicationTitle()
{
    return QStringLiteral("KX47");
}

} // namespace kx47
