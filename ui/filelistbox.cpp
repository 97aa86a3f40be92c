#include "ui/filelistbox.h"

#include <algorithm>

#include <QItemSelectionModel>

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

// The list widget keeps its selection as ranges of rows and compares the old ranges with the new
// on every change, so entries selected one call at a time cost more with each one already there:
// every bulk change below is one selection of whole ranges, and the readers go by the ranges.

void FileListBox::setRangeSelected(qsizetype from, qsizetype to, bool selected)
{
    setRangesSelected({{std::min(from, to), std::max(from, to)}}, selected);
}

void FileListBox::setRangesSelected(const QList<std::pair<qsizetype, qsizetype>> &ranges, bool selected)
{
    QItemSelection selection;
    const qsizetype n = count();
    for (const auto &[first, last] : ranges) {
        const qsizetype from = std::max<qsizetype>(first, 0), to = std::min(last, n - 1);
        if (from <= to)
            selection.select(model()->index(int(from), 0), model()->index(int(to), 0));
    }
    if (!selection.isEmpty())
        selectionModel()->select(selection, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void FileListBox::setAllSelected(bool selected)
{
    // Cleared first: the list then compares the new range with nothing, however many ranges the
    // clicks before had made.
    if (selected && selectedCount() == count())
        return;
    selectionModel()->clearSelection();
    if (selected)
        setRangeSelected(0, count() - 1, true);
}

std::vector<char> FileListBox::selectedFlags() const
{
    std::vector<char> flags(size_t(count()), 0);
    for (const QItemSelectionRange &r : selectionModel()->selection())
        if (r.isValid())
            std::fill(flags.begin() + r.top(), flags.begin() + r.bottom() + 1, 1);
    return flags;
}

QList<qsizetype> FileListBox::selectedIndices() const
{
    QList<qsizetype> out;
    if (!selectionModel()->hasSelection())
        return out;
    const std::vector<char> flags = selectedFlags();
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i])
            out.append(qsizetype(i));
    return out;
}

qsizetype FileListBox::selectedCount() const
{
    if (!selectionModel()->hasSelection())
        return 0;
    const std::vector<char> flags = selectedFlags();
    return std::count(flags.begin(), flags.end(), 1);
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
