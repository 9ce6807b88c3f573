#pragma once

#include <QWidget>

class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QTimer;

namespace kx47
{

struct AppContext;

// "Restore a backup...": the backups beside the log, newest first, with the date, the time
// and the number of QSOs of each, followed while the window is open; "Restore" puts the chosen
// one in place of the log and the applicant record after backing up the log as it is.
class RestoreWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString name; // frmRestore

    explicit RestoreWindow(AppContext &context);

    // Lists the backups afresh.
    void relist();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void restoreChosen();

    AppContext &m_context;
    QListWidget *m_list;
    QLabel *m_folder;
    QFileSystemWatcher *m_watcher;
    QTimer *m_relisting;
};

// The backup commands of the Database menu and the restore window.
void registerBackupWindows(AppContext &context);
// "Back up the log now".
void backUpNow(AppContext &context);

} // namespace kx47
