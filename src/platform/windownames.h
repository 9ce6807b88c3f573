#pragma once

#include <QString>

// The object names of the program's windows; each window exists at most once.
namespace kx47::windows
{

inline const QString principale = QStringLiteral("principale");
inline const QString frmInsertQSO = QStringLiteral("frmInsertQSO");
inline const QString frmEditQSO = QStringLiteral("frmEditQSO");
inline const QString frmUtility = QStringLiteral("frmUtility");
inline const QString frmAward = QStringLiteral("frmAward");
inline const QString frmBAR = QStringLiteral("frmBAR");
inline const QString frmAE = QStringLiteral("frmAE");
inline const QString frmAwardMap = QStringLiteral("frmAwardMap");
inline const QString frmUserData = QStringLiteral("frmUserData");
inline const QString frmFindPlaces = QStringLiteral("frmFindPlaces");
inline const QString frmAbout = QStringLiteral("frmAbout");

} // namespace kx47::windows
