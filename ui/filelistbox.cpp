#include "ui/filelistbox.h"

#include "platform/filelisting.h"
#include "platform/paths.h"

namespace orvella {

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
    setUniformItemSizes(true);
}

OpResult FileListBox::setPath(const QString &folder)
{
    return reread(nativeFolder(folder));
}

OpResult FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    if (m_path.isEmpty())
        return OpResult::success();
    return reread(m_path);
}

OpResult FileListBox::Refresh()
{
    return reread(m_path);
}

OpResult FileListBox::reread(const QString &folder)
{
    Listing listing = listFiles(folder, m_pattern);
    if (!listing.result)
        return listing.result;
    m_path = folder;
    setUpdatesEnabled(false);
    clear();
    addItems(listing.names);
    setUpdatesEnabled(true);
    return OpResult::success();
}

QString FileListBox::List(qsizetype i) const
{
    if (i < 0 || i >= count())
        return {};
    return item(int(i))->text();
}

bool FileListBox::Selected(qsizetype i) const
{
    if (i < 0 || i >= count())
        return false;
    return item(int(i))->isSelected();
}

void FileListBox::setSelected(qsizetype i, bool selected)
{
    if (i >= 0 && i < count())
        item(int(i))->setSelected(selected);
}

QList<qsizetype> FileListBox::selectedIndices() const
{
    QList<qsizetype> out;
    const qsizetype n = count();
    for (qsizetype i = 0; i < n; ++i)
        if (item(int(i))->isSelected())
            out.append(i);
    return out;
}

QStringList FileListBox::selectedNames() const
{
    QStringList out;
    for (qsizetype i : selectedIndices())
        out.append(List(i));
    return out;
}

QString FileListBox::currentName() const
{
    const QListWidgetItem *it = currentItem();
    return it ? it->text() : QString();
}

void FileListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    emit mouseUp();
}

} // namespace orvella
