#include "aboutwindow.h"

#include "platform/desktop.h"
#include "platform/windownames.h"
#include "widgets/clickablelabel.h"

#include <QDir>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx47
{

QString AboutWindow::webAddress()
{
    return QStringLiteral("https://kx47.example.org/");
}

AboutWindow::AboutWindow(Desktop &desktop, const QString &logPath)
{
    setObjectName(windows::frmAbout);
    setWindowTitle(QStringLiteral("about KX47"));

    auto *layout = new QHBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture2"));
    picture->setPixmap(QIcon(QStringLiteral(":/kx47/images/about.png"))
                           .pixmap(QSize(120, 120), devicePixelRatioF()));
    layout->addWidget(picture, 0, Qt::AlignTop);

    auto *column = new QVBoxLayout;
    auto *description = new QLabel(QStringLiteral("KX47 Logbook v1.0 Outside Italy\n"
                                                  "The logbook for the award DIPLOMA KX47.\n"
                                                  "Written by the KX47 Logbook developers."),
                                   this);
    description->setObjectName(QStringLiteral("lblDescription"));
    column->addWidget(description);

    auto *site = new ClickableLabel(webAddress(), this);
    site->setObjectName(QStringLiteral("Label2"));
    site->setCursor(Qt::PointingHandCursor);
    site->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    column->addWidget(site);
    connect(site, &ClickableLabel::clicked, this, [&desktop, site] { desktop.open(site->text()); });

    auto *logFile =
        new QLabel(QStringLiteral("The log is %1").arg(QDir::toNativeSeparators(logPath)), this);
    logFile->setObjectName(QStringLiteral("lblLogFile"));
    logFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(logFile);

    column->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    column->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
    layout->addLayout(column);
}

} // namespace kx47

#include "moc_aboutwindow.cpp"
