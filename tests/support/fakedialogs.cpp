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
    messages.clear();
    prompts.clear();
    unanswered = 0;
}

} // namespace kx47::test
