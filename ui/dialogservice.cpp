#include "ui/dialogservice.h"

#include <QApplication>
#include <QMessageBox>

namespace orvella {

namespace {
DialogService *g_service = nullptr;
} // namespace

QString applicationTitle()
{
    return QStringLiteral("Orvella");
}

int QtDialogService::messageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    // Texts name files, and a file name may look like markup: show it as it is.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (style) {
    case MsgCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgOkCancelQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (style == MsgOkCancelQuestion) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        return box.exec() == QMessageBox::Ok ? AnswerOk : AnswerCancel;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

DialogService &dialogs()
{
    static QtDialogService real;
    return g_service ? *g_service : real;
}

void setDialogService(DialogService *service)
{
    g_service = service;
}

} // namespace orvella
