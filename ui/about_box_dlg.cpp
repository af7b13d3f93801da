#include "ui/about_box_dlg.h"

#include "res/resource_ids.h"

CAboutBoxDlg::CAboutBoxDlg(dlg::CDialog* parent) : dlg::CDialog(res::IDD_ABOUTBOX, parent) {}
