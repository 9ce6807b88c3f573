#pragma once

#include <QWidget>

class QComboBox;

namespace kx47
{

struct AppContext;
struct AwardRequestKind;

// "Base Award Request Outside Italy Rules" (frmBAR) and "Award Endorsement Outside Italy
// Rules" (frmAE): a mode and a band to choose, "Print" to request the award on them, "Exit".
class AwardRequestWindow : public QWidget
{
    Q_OBJECT
public:
    AwardRequestWindow(AppContext &context, const AwardRequestKind &kind);

private:
    void print();

    AppContext &m_context;
    const AwardRequestKind &m_kind;
    QComboBox *m_mode = nullptr;
    QComboBox *m_band = nullptr;
};

} // namespace kx47
