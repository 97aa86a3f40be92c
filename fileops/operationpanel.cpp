#include "fileops/operationpanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include "fileops/movefiles.h"
#include "fileops/movefilewindow.h"
#include "fileops/renamemove.h"

namespace orvella {

OperationPanel::OperationPanel(Widgets widgets, RenameMove &rename, MoveFiles &move)
    : m_ui(widgets)
    , m_rename(rename)
    , m_move(move)
{
}

OperationPanel::~OperationPanel()
{
    delete m_chooser;
}

MoveFileWindow &OperationPanel::chooser()
{
    if (!m_chooser)
        m_chooser = new MoveFileWindow({m_ui.window, m_ui.Dir1, m_ui.Check3, m_ui.Text5});
    return *m_chooser;
}

void OperationPanel::UpdateRenameFields()
{
    if (m_ui.Check1.checkState() == Qt::Checked) {
        m_ui.Text2.show();
        m_ui.Label2.show();
        m_ui.Text3.show();
    }
    if (m_ui.Check1.checkState() == Qt::Unchecked) {
        m_ui.Text2.hide();
        m_ui.Label2.hide();
        m_ui.Text3.hide();
    }
}

void OperationPanel::UpdateMoveField()
{
    if (m_ui.Check3.checkState() == Qt::Checked)
        chooser().open();
    if (m_ui.Check3.checkState() == Qt::Unchecked)
        m_ui.Text5.hide();
    if (m_ui.Check3.checkState() == Qt::Checked)
        m_ui.Text5.show();
}

void OperationPanel::Command3_Click()
{
    const Qt::CheckState move = m_ui.Check3.checkState();
    const Qt::CheckState rename = m_ui.Check1.checkState();
    if (move == Qt::Checked && rename == Qt::Unchecked) {
        m_move.MoveSelectedFiles();
        return;
    }
    if (m_ui.Check1.checkState() == Qt::Checked)
        m_rename.RenameSelectedFiles();
}

} // namespace orvella
