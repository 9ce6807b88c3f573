#include "benchapp.h"

#include <QSettings>

namespace kx47::bench
{

class BenchApp::QueuedDialogs : public Dialogs
{
public:
    explicit QueuedDialogs(BenchApp &owner) : m_owner(owner) {}
    MessageAnswer message(const QString &, MessageIcon, MessageButtons buttons,
                          const QString &) override
    {
        if (!m_owner.answers.isEmpty())
            return m_owner.answers.dequeue();
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QString input(const QString &) override
    {
        return m_owner.inputs.isEmpty() ? QString() : m_owner.inputs.dequeue();
    }
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }

private:
    BenchApp &m_owner;
};

class BenchApp::SilentPrintService : public PrintService
{
    class SilentPrinter : public Printer
    {
    public:
        void setFontName(const QString &) override {}
        void setFontSize(double) override {}
        void setBold(bool) override {}
        void printLine(const QString &) override {}
        void endDocument() override {}
    };

public:
    std::unique_ptr<Printer> startDocument(const QString &) override
    {
        return std::make_unique<SilentPrinter>();
    }
};

class BenchApp::SilentDesktop : public Desktop
{
public:
    void open(const QString &) override {}
};

BenchApp::BenchApp(const QString &programFolder)
    : m_dialogs(std::make_unique<QueuedDialogs>(*this)),
      m_printService(std::make_unique<SilentPrintService>()),
      m_desktop(std::make_unique<SilentDesktop>()),
      m_app(std::make_unique<Application>(programFolder, *m_dialogs, *m_printService, *m_desktop))
{
    // Measured with the first choices of every window, never the user's remembered ones.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, programFolder + "/settings");
}

BenchApp::~BenchApp() = default;

bool BenchApp::start()
{
    return m_app->start();
}

} // namespace kx47::bench
