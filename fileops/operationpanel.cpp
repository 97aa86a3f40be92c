#include "fileops/operationpanel.h"

#include "app/mainwindow.h"
#include "fileops/movefilewindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace orvella {

OperationPanel::OperationPanel(MainWindow &w)
    : m_w(w)
{
}

OperationPanel::~OperationPanel()
{
    delete m_chooser;
}

MoveFileWindow &OperationPanel::chooser()
{
    if (!m_chooser)
        m_chooser = new MoveFileWindow(m_w);
    return *m_chooser;
}

void OperationPanel::UpdateRenameFields()
{
    if (m_w.Check1->checkState() == Qt::Checked) {
        m_w.Text2->show();
        m_w.Label2->show();
        m_w.Text3->show();
    }
    if (m_w.Check1->checkState() == Qt::Unchecked) {
        m_w.Text2->hide();
        m_w.Label2->hide();
        m_w.Text3->hide();
    }
}

void OperationPanel::UpdateMoveField()
{
    if (m_w.Check3->checkState() == Qt::Checked)
        chooser().open();
    if (m_w.Check3->checkState() == Qt::Unchecked)
        m_w.Text5->hide();
    if (m_w.Check3->checkState() == Qt::Checked)
        m_w.Text5->show();
}

void OperationPanel::Command3_Click()
{
    const Qt::CheckState move = m_w.Check3->checkState();
    const Qt::CheckState rename = m_w.Check1->checkState();
    if (move == Qt::Checked && rename == Qt::Unchecked) {
        m_w.MoveSelectedFiles();
        return;
    }
    if (m_w.Check1->checkState() == Qt::Checked)
        m_w.RenameSelectedFiles();
}

} // namespace orvella
