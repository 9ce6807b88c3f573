#include "fakedialogs.h"

namespace kx47::test
{

MessageAnswer FakeDialogs::message(const QString &text, MessageIcon icon, MessageButtons buttons,
                                   const QString &title)
{
    messages.append({text, icon, buttons, title.isEmpty() ? applicationTitle() : title});
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (!answers.isEmpty())
        return answers.dequeue();
    ++unanswered;
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
}

QString FakeDialogs::input(const QString &prompt)
{
    prompts.append(prompt);
    return inputs.isEmpty() ? QString() : inputs.dequeue();
}

QString FakeDialogs::openFileName(const QString &caption, const QString &)
{
    fileCaptions.append(caption);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString FakeDialogs::saveFileName(const QString &caption, const QString &, const QString &)
{
    fileCaptions.append(caption);
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QStringList FakeDialogs::texts() const
{
    QStringList result;
    for (const Message &message : messages)
        result << message.text;
    return result;
}

void FakeDialogs::reset()
{
    answers.clear();
    inputs.clear();
    fileNames.clear();
    fileCaptions.clear();
    messages.clear();
    prompts.clear();
    unanswered = 0;
}

} // namespace kx47::test
