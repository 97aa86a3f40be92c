#include "ui/folderlistbox.h"

#include <algorithm>

#include <QDir>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "platform/filelisting.h"
#include "platform/paths.h"

namespace orvella {

namespace {
constexpr int PathRole = Qt::UserRole + 1;
constexpr int DepthRole = Qt::UserRole + 2;

// Draws each entry indented by its depth in the chain of folders. The indentation is no part of
// the entry's text, so type-ahead and assistive tools see the bare folder name.
class IndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + indentOf(option, index));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += indentOf(option, index);
        return size;
    }

private:
    static int indentOf(const QStyleOptionViewItem &option, const QModelIndex &index)
    {
        // Half an icon a level, as folder trees step.
        return index.data(DepthRole).toInt() * std::max(6, option.decorationSize.width() / 2);
    }
};

// The chain of folders from the root down to folder, each as a full native path.
QStringList ancestorsOf(const QString &folder)
{
    QStringList chain;
    QDir dir(QDir::fromNativeSeparators(folder));
    chain.prepend(nativeFolder(dir.absolutePath()));
    while (dir.cdUp())
        chain.prepend(nativeFolder(dir.absolutePath()));
    return chain;
}

QString displayName(const QString &path)
{
    const QString name = fileNameOf(path);
    return name.isEmpty() ? path : name;
}
} // namespace

FolderListBox::FolderListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderListBox::openEntry);
}

OpResult FolderListBox::setPath(const QString &folder)
{
    const QString target = nativeFolder(QDir(QDir::fromNativeSeparators(folder)).absolutePath());
    Listing subs = listSubfolders(target);
    if (!subs.result)
        return subs.result;
    const bool changed = target != m_path;
    m_path = target;
    fill(subs.names);
    if (changed)
        emit Change();
    return OpResult::success();
}

OpResult FolderListBox::Refresh()
{
    Listing subs = listSubfolders(m_path);
    if (!subs.result)
        return subs.result;
    fill(subs.names);
    return OpResult::success();
}

QString FolderListBox::entryPath(int i) const
{
    const QListWidgetItem *it = item(i);
    return it ? it->data(PathRole).toString() : QString();
}

void FolderListBox::fill(const QStringList &subfolders)
{
    setUpdatesEnabled(false);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = ancestorsOf(m_path);
    int depth = 0;
    for (const QString &path : chain) {
        auto *it = new QListWidgetItem(open, displayName(path), this);
        it->setData(PathRole, path);
        it->setData(DepthRole, depth);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString &name : subfolders) {
        auto *it = new QListWidgetItem(closed, name, this);
        it->setData(PathRole, joinPath(m_path, name));
        it->setData(DepthRole, depth);
    }
    setUpdatesEnabled(true);
}

void FolderListBox::openEntry(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString path = item->data(PathRole).toString();
    const OpResult r = setPath(path);
    if (!r)
        emit openFailed(path, r.error);
}

bool FolderListBox::event(QEvent *event)
{
    // Return opens the entry here, even in a window where Return is a shortcut for its OK button.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QListWidget::event(event);
}

void FolderListBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openEntry(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace orvella
