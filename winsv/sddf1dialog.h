#pragma once
// The open-file dialog for WinSV's data file, shared by the reconciliation and the final-exam window.
#include <QString>

class QWidget;

namespace winsv {

// Preset name "sd.df1", extension ".df1", the Omnis filter, with alleDateien a second filter for any
// file. Returns the chosen name, "" when cancelled.
QString sddf1Dialog(QWidget *parent, bool alleDateien);

} // namespace winsv
