#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace kx47
{

namespace
{

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

MessageAnswer QtDialogs::message(const QString &text, MessageIcon icon, MessageButtons buttons,
                                 const QString &title)
{
    QMessageBox box(toQt(icon), title.isEmpty() ? applicationTitle() : title, text, toQt(buttons),
                    QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        // Closing an OK/Cancel or Yes/No box with Escape means the negative answer.
        if (buttons == MessageButtons::OkCancel && box.clickedButton() == nullptr)
            return MessageAnswer::Cancel;
        if (buttons == MessageButtons::YesNo)
            return MessageAnswer::No;
        return MessageAnswer::Ok;
    }
}

QString QtDialogs::input(const QString &prompt)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), applicationTitle(),
                                                 prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? answer : QString();
}

QString QtDialogs::openFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

QStringList QtDialogs::openFileNames(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileNames(QApplication::activeWindow(), caption, QString(), filter);
}

QString QtDialogs::saveFileName(const QString &caption, const QString &suggestedName,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggestedName,
                                        filter);
}

} // namespace kx47
