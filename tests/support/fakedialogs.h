#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

namespace kx47::test
{

// Message and input boxes that record what they were asked and answer from queues.
class FakeDialogs : public Dialogs
{
public:
    struct Message {
        QString text;
        MessageIcon icon;
        MessageButtons buttons;
        QString title; // the title as the user sees it: "KX47" when none was given
    };

    MessageAnswer message(const QString &text, MessageIcon icon, MessageButtons buttons,
                          const QString &title = QString()) override;
    QString input(const QString &prompt) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &suggestedName,
                         const QString &filter) override;

    // Answers for the next questions (OK/Cancel and Yes/No boxes), in order. A box with only OK
    // takes no answer from the queue. A question without a queued answer is answered Cancel or
    // No and counted in unanswered.
    QQueue<MessageAnswer> answers;
    // Answers for the next input boxes; an empty queue answers as Cancel (empty text).
    QQueue<QString> inputs;

    // Answers for the next file choosers; an empty queue answers as Cancel (empty text).
    QQueue<QString> fileNames;

    QList<Message> messages;
    // The captions of the file choosers asked, in order.
    QStringList fileCaptions;
    QStringList prompts;
    int unanswered = 0;

    QStringList texts() const;
    void reset();
};

} // namespace kx47::test
