#pragma once

#include "app/application.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/printer.h"

#include <QQueue>
#include <QString>
#include <memory>

namespace kx47::bench
{

// The real program on a program folder, with message and input boxes answered from queues,
// a printer that prints nothing and a desktop that opens nothing.
class BenchApp
{
public:
    explicit BenchApp(const QString &programFolder);
    ~BenchApp();

    bool start();
    Application &app() { return *m_app; }
    AppContext &context() { return m_app->context(); }

    // Answers for the next input boxes (empty text when none is left) and questions (OK or
    // Yes when none is left).
    QQueue<QString> inputs;
    QQueue<MessageAnswer> answers;

private:
    class QueuedDialogs;
    class SilentPrintService;
    class SilentDesktop;
    std::unique_ptr<QueuedDialogs> m_dialogs;
    std::unique_ptr<SilentPrintService> m_printService;
    std::unique_ptr<SilentDesktop> m_desktop;
    std::unique_ptr<Application> m_app;
};

} // namespace kx47::bench
