#include "navigation/ui/FolderTree.h"

#include <QCoreApplication>
#include <QHash>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include "navigation/FolderProbe.h"
#include "navigation/TreePaths.h"
#include "navigation/ui/TreeImages.h"
#include "platform/NativePath.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FolderTree)
};
} // namespace

namespace {

// Keeps the tree from repainting while it changes, and always lets it
// repaint again, whatever path leaves the scope.
class FrozenTree {
  public:
    explicit FrozenTree(QTreeWidget& t) : t_(t), was_(t.updatesEnabled()) { t_.setUpdatesEnabled(false); }
    ~FrozenTree() { t_.setUpdatesEnabled(was_); }

  private:
    QTreeWidget& t_;
    bool was_;
};

int selectedImageFor(int image) {
    if (image == 1) return 3;
    if (image == 6) return 7;
    return image;
}

void deleteChildren(QTreeWidgetItem* node) {
    qDeleteAll(node->takeChildren());
}

} // namespace

FolderTree::FolderTree(QTreeWidget& tree, Prompter& prompter, Hooks hooks, QObject* parent)
    : QObject(parent), tree_(tree), prompter_(prompter), hooks_(std::move(hooks)) {
    if (!hooks_.probe) hooks_.probe = probeFolder;
    connect(&tree_, &QTreeWidget::itemExpanded, this, &FolderTree::nodeExpanded);
    connect(&tree_, &QTreeWidget::itemCollapsed, this, &FolderTree::nodeCollapsed);
    connect(&tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) { nodeClicked(node); });
}

QString FolderTree::keyOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, KeyRole).toString() : QString();
}

int FolderTree::imageOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, ImageRole).toInt() : 0;
}

bool FolderTree::isPlaceholder(const QTreeWidgetItem* node) {
    return keyOf(node).startsWith(QLatin1String("//"));
}

QTreeWidgetItem* FolderTree::newNode(const QString& key, const QString& text, int image) const {
    auto* node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, KeyRole, key);
    node->setData(0, ImageRole, image);
    node->setIcon(0, treeNodeIcon(image, selectedImageFor(image)));
    return node;
}

QTreeWidgetItem* FolderTree::findKey(const QString& key) const {
    QList<QTreeWidgetItem*> pending;
    for (int i = 0; i < tree_.topLevelItemCount(); ++i)
        pending.append(tree_.topLevelItem(i));
    while (!pending.isEmpty()) {
        QTreeWidgetItem* n = pending.takeFirst();
        if (keyOf(n) == key) return n;
        for (int i = 0; i < n->childCount(); ++i)
            pending.append(n->child(i));
    }
    return nullptr;
}

void FolderTree::DriveCheck(const QString& scope) {
    if (scope != QLatin1String("ALL")) return;
    FrozenTree frozen(tree_);
    cancelProbes();
    fillings_.clear();
    highlighted_ = nullptr;
    tree_.clear();
    for (const Volume& v : volumes()) {
        const QString key = DriveKey(v.root);
        tree_.addTopLevelItem(newNode(key, DriveText(volumeEntry(v)), DriveImageNum(int(v.type))));
        Plus(key);
    }
}

bool FolderTree::Plus2(const QString& path) const {
    return hasSubfolder(path, hooks_.hideDirectory() == 1);
}

void FolderTree::Plus(const QString& path) {
    if (!Plus2(path)) return;
    QTreeWidgetItem* node = findKey(path);
    if (!node || node->childCount() > 0) return;
    node->addChild(newNode(PlaceholderKey(path), QStringLiteral(" "), 1));
}

void FolderTree::fillNode(QTreeWidgetItem* node) {
    const QString key = keyOf(node);
    const bool includeHidden = hooks_.hideDirectory() == 1;
    FolderStatus status = FolderStatus::Ok;
    const std::vector<Subfolder> subfolders = listSubfolders(key, includeHidden, &status);
    if (status == FolderStatus::NotFound) {
        // The node itself goes with the rebuild, so it happens after this event.
        QMetaObject::invokeMethod(
            this, [this] { DriveCheck(QStringLiteral("ALL")); }, Qt::QueuedConnection);
        return;
    }
    FrozenTree frozen(tree_);
    deleteChildren(node);
    dropFilling(node);
    auto all = std::make_shared<const std::vector<Subfolder>>(std::move(subfolders));
    addChildren(node, *all, 0, includeHidden);
    if (all->size() > kNodesPerTurn) {
        // A folder of a hundred thousand subfolders gets its nodes a slice
        // per turn of the event loop, so the window answers meanwhile.
        fillings_.push_back(
            {QPersistentModelIndex(tree_.indexFromItem(node)), all, kNodesPerTurn, includeHidden});
        if (fillings_.size() == 1)
            QMetaObject::invokeMethod(this, &FolderTree::fillMore, Qt::QueuedConnection);
    }
}

void FolderTree::addChildren(QTreeWidgetItem* node, const std::vector<Subfolder>& all, std::size_t from,
                             bool includeHidden) {
    const std::size_t to = std::min(all.size(), from + kNodesPerTurn);
    QList<QTreeWidgetItem*> children;
    children.reserve(qsizetype(to - from));
    for (std::size_t i = from; i < to; ++i)
        children.append(newNode(all[i].path, displayName(DirName(all[i].path)), all[i].hidden ? 6 : 1));
    node->addChildren(children);
    std::vector<QTreeWidgetItem*> unknown;
    unknown.reserve(std::size_t(children.size()));
    for (QTreeWidgetItem* child : children) {
        child->addChild(newNode(PlaceholderKey(keyOf(child)), QStringLiteral(" "), 1));
        unknown.push_back(child);
    }
    probeLater(unknown, includeHidden);
}

QTreeWidgetItem* FolderTree::fillingNode(const Filling& f) const {
    if (!f.node.isValid()) return nullptr;
    QTreeWidgetItem* node = tree_.itemFromIndex(f.node);
    // A node closed meanwhile forgot its children; it is listed afresh when opened.
    return node && node->isExpanded() ? node : nullptr;
}

void FolderTree::fillMore() {
    if (fillings_.empty()) return;
    Filling& f = fillings_.front();
    QTreeWidgetItem* node = fillingNode(f);
    if (node) {
        FrozenTree frozen(tree_);
        addChildren(node, *f.all, f.next, f.includeHidden);
        f.next += kNodesPerTurn;
    }
    if (!node || f.next >= f.all->size()) fillings_.pop_front();
    if (!fillings_.empty()) QMetaObject::invokeMethod(this, &FolderTree::fillMore, Qt::QueuedConnection);
}

void FolderTree::finishFilling(QTreeWidgetItem* node) {
    for (auto f = fillings_.begin(); f != fillings_.end(); ++f) {
        if (fillingNode(*f) != node) continue;
        FrozenTree frozen(tree_);
        for (; f->next < f->all->size(); f->next += kNodesPerTurn)
            addChildren(node, *f->all, f->next, f->includeHidden);
        fillings_.erase(f);
        return;
    }
}

void FolderTree::dropFilling(QTreeWidgetItem* node) {
    fillings_.remove_if(
        [&](const Filling& f) { return !f.node.isValid() || tree_.itemFromIndex(f.node) == node; });
}

void FolderTree::probeLater(const std::vector<QTreeWidgetItem*>& nodes, bool includeHidden) {
    if (nodes.empty()) return;
    ProbeBatch& batch = batches_.emplace_back();
    QStringList keys;
    for (QTreeWidgetItem* n : nodes) {
        batch.nodes.emplace_back(tree_.indexFromItem(n));
        keys.append(keyOf(n));
    }
    batch.cancelled = std::make_shared<std::atomic_bool>(false);
    batch.watcher = new QFutureWatcher<std::vector<char>>(this);
    connect(batch.watcher, &QFutureWatcherBase::finished, this, [this, watcher = batch.watcher] {
        for (auto b = batches_.begin(); b != batches_.end(); ++b)
            if (b->watcher == watcher) return applyProbes(b);
    });
    batch.watcher->setFuture(QtConcurrent::run([keys, includeHidden, cancelled = batch.cancelled] {
        // The probes run only on a core the window and the picture leave
        // free: on a busy start they would otherwise delay the first show.
        QThread* thread = QThread::currentThread();
        const QThread::Priority was = thread->priority();
        thread->setPriority(QThread::IdlePriority);
        const auto restore = qScopeGuard(
            [&] { thread->setPriority(was == QThread::InheritPriority ? QThread::NormalPriority : was); });
        std::vector<char> answers;
        answers.reserve(std::size_t(keys.size()));
        for (const QString& key : keys) {
            if (*cancelled) break;
            answers.push_back(hasSubfolder(key, includeHidden) ? 1 : 0);
        }
        return answers;
    }));
}

void FolderTree::applyProbes(std::list<ProbeBatch>::iterator batch) {
    const std::vector<char> answers = batch->watcher->future().result();
    std::vector<QPersistentModelIndex> nodes = std::move(batch->nodes);
    batch->watcher->deleteLater();
    batches_.erase(batch);
    // The nodes are found first and their persistent indexes dropped: the
    // model keeps every live one up to date at each row it removes, which
    // for a folder of hundreds of subfolders costs more than the rest.
    std::vector<QTreeWidgetItem*> items;
    items.reserve(answers.size());
    for (std::size_t i = 0; i < answers.size() && i < nodes.size(); ++i)
        items.push_back(answers[i] || !nodes[i].isValid() ? nullptr : tree_.itemFromIndex(nodes[i]));
    nodes.clear();
    FrozenTree frozen(tree_);
    for (QTreeWidgetItem* node : items) {
        // Only the provisional "+" goes: a node opened meanwhile was listed.
        if (!node || node->isExpanded() || node->childCount() != 1 || !isPlaceholder(node->child(0)))
            continue;
        delete node->takeChild(0);
    }
}

void FolderTree::settleProbes() {
    while (!batches_.empty()) {
        batches_.front().watcher->waitForFinished();
        applyProbes(batches_.begin());
    }
}

void FolderTree::cancelProbes() {
    for (ProbeBatch& b : batches_) {
        *b.cancelled = true;
        b.watcher->disconnect(this);
        b.watcher->deleteLater();
    }
    batches_.clear();
}

void FolderTree::nodeExpanded(QTreeWidgetItem* node) {
    if (!node || isPlaceholder(node)) return;
    fillNode(node);
    if (tree_.isVisible()) tree_.setFocus();
    if (hooks_.nodeExpand()) makeCurrent(node);
}

void FolderTree::nodeCollapsed(QTreeWidgetItem* node) {
    if (!node || isPlaceholder(node)) return;
    const QString key = keyOf(node);
    if (probeFolder(key) == FolderStatus::NotFound) {
        QMetaObject::invokeMethod(
            this, [this] { DriveCheck(QStringLiteral("ALL")); }, Qt::QueuedConnection);
        return;
    }
    {
        FrozenTree frozen(tree_);
        if (highlighted_ && keyOf(highlighted_).startsWith(PlusEn(key))) highlighted_ = nullptr;
        deleteChildren(node);
        if (Plus2(key)) node->addChild(newNode(PlaceholderKey(key), QStringLiteral(" "), 1));
    }
    if (hooks_.nodeClose()) makeCurrent(node);
}

void FolderTree::nodeClicked(QTreeWidgetItem* node) {
    if (!node || isPlaceholder(node)) return;
    const QString key = keyOf(node);
    for (;;) {
        setHighlight(node);
        if (node->childCount() == 0 && Plus2(key))
            node->addChild(newNode(PlaceholderKey(key), QStringLiteral(" "), 1));
        const FolderStatus status = hooks_.probe(key);
        if (status == FolderStatus::Ok || status == FolderStatus::OtherFailure) {
            hooks_.openFolder(key);
            return;
        }
        if (status == FolderStatus::DeviceNotReady) {
            const Answer a = prompter_.message(Texts::tr("デバイスの準備ができていません。"),
                                               hooks_.title() + QStringLiteral("-Device Error"),
                                               Buttons::RetryCancel, Icon::Warning);
            if (a == Answer::Retry) continue;
            hooks_.openTreePath(hooks_.fileListPath());
            return;
        }
        // A folder deleted behind the tree's back: its node goes, and its
        // parent, while that is still there, becomes current.
        if (QTreeWidgetItem* parent = node->parent();
            parent && hooks_.probe(keyOf(parent)) == FolderStatus::Ok) {
            const QString parentKey = keyOf(parent);
            syncChildren(parentKey);
            if (QTreeWidgetItem* again = findKey(parentKey)) makeCurrent(again);
            return;
        }
        DriveCheck(QStringLiteral("ALL"));
        return;
    }
}

void FolderTree::makeCurrent(QTreeWidgetItem* node) {
    const QString key = keyOf(node);
    hooks_.openFolder(key);
    if (QTreeWidgetItem* again = findKey(key)) setHighlight(again);
}

void FolderTree::setHighlight(QTreeWidgetItem* node) {
    if (highlighted_) {
        highlighted_->setBackground(0, QBrush());
        QFont f = highlighted_->font(0);
        f.setBold(false);
        highlighted_->setFont(0, f);
    }
    highlighted_ = node;
    if (!node) return;
    node->setBackground(0, tree_.palette().color(QPalette::Highlight).lighter(170));
    QFont f = node->font(0);
    f.setBold(true);
    node->setFont(0, f);
}

bool FolderTree::learnChild(QTreeWidgetItem* node, const QString& name) {
    const QString key = keyOf(node);
    const bool includeHidden = hooks_.hideDirectory() == 1;
    const std::vector<Subfolder> subfolders = listSubfolders(key, includeHidden);
    std::size_t found = subfolders.size();
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (std::size_t k = 0; k < subfolders.size() && found == subfolders.size(); ++k)
            if (DirName(subfolders[k].path).compare(name, cs) == 0) found = k;
        if (found < subfolders.size()) break;
    }
    if (found == subfolders.size()) return false;
    if (!node->isExpanded()) {
        // A closed node is listed afresh as it opens.
        if (node->childCount() == 0) node->addChild(newNode(PlaceholderKey(key), QStringLiteral(" "), 1));
        node->setExpanded(true);
        return true;
    }
    FrozenTree frozen(tree_);
    probeLater({insertChild(node, subfolders, listingOrder(subfolders), found)}, includeHidden);
    return true;
}

QHash<QString, std::size_t> FolderTree::listingOrder(const std::vector<Subfolder>& subfolders) {
    QHash<QString, std::size_t> order;
    order.reserve(qsizetype(subfolders.size()));
    for (std::size_t k = 0; k < subfolders.size(); ++k)
        order.insert(subfolders[k].path, k);
    return order;
}

QTreeWidgetItem* FolderTree::insertChild(QTreeWidgetItem* node, const std::vector<Subfolder>& subfolders,
                                         const QHash<QString, std::size_t>& order, std::size_t which) {
    // An open node keeps its other children (and what is open below them):
    // the new one goes in at its place in the listing's order.
    int at = node->childCount();
    for (int i = 0; i < node->childCount(); ++i) {
        const auto other = order.constFind(keyOf(node->child(i)));
        if (other == order.constEnd() || *other < which) continue;
        at = i;
        break;
    }
    const Subfolder& s = subfolders[which];
    QTreeWidgetItem* child = newNode(s.path, displayName(DirName(s.path)), s.hidden ? 6 : 1);
    node->insertChild(at, child);
    child->addChild(newNode(PlaceholderKey(s.path), QStringLiteral(" "), 1));
    return child;
}

void FolderTree::syncChildren(const QString& key) {
    QTreeWidgetItem* node = findKey(key);
    if (!node) return;
    // A closed node is listed afresh as it opens; it only needs its "+".
    if (!node->isExpanded()) {
        if (node->childCount() == 0) Plus(key);
        return;
    }
    finishFilling(node);
    const bool includeHidden = hooks_.hideDirectory() == 1;
    FolderStatus status = FolderStatus::Ok;
    const std::vector<Subfolder> subfolders = listSubfolders(key, includeHidden, &status);
    if (status != FolderStatus::Ok) return;
    const QHash<QString, std::size_t> order = listingOrder(subfolders);
    FrozenTree frozen(tree_);
    QSet<QString> shown;
    for (int i = node->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = node->child(i);
        const QString childKey = keyOf(child);
        if (isPlaceholder(child) || order.contains(childKey)) {
            shown.insert(childKey);
            continue;
        }
        if (highlighted_ && (highlighted_ == child || keyOf(highlighted_).startsWith(PlusEn(childKey))))
            highlighted_ = nullptr;
        delete node->takeChild(i);
    }
    std::vector<QTreeWidgetItem*> added;
    for (std::size_t k = 0; k < subfolders.size(); ++k)
        if (!shown.contains(subfolders[k].path)) added.push_back(insertChild(node, subfolders, order, k));
    probeLater(added, includeHidden);
}

QTreeWidgetItem* FolderTree::walkTo(const QString& path) {
    QStringList roots;
    for (int i = 0; i < tree_.topLevelItemCount(); ++i)
        roots.append(keyOf(tree_.topLevelItem(i)));
    const QStringList parts = treePathComponents(path, roots);
    QTreeWidgetItem* matched = nullptr;
    int learnt = -1;
    for (int c = 0; c < parts.size(); ++c) {
        QList<QTreeWidgetItem*> candidates;
        if (!matched && c > 0) break; // no volume holds the path
        if (!matched) {
            for (int i = 0; i < tree_.topLevelItemCount(); ++i)
                candidates.append(tree_.topLevelItem(i));
        } else {
            for (int i = 0; i < matched->childCount(); ++i)
                candidates.append(matched->child(i));
        }
        // The exact spelling wins over a match that only ignores case, since
        // folder names here may differ by case alone.
        QTreeWidgetItem* hit = nullptr;
        for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            for (QTreeWidgetItem* n : candidates) {
                if (isPlaceholder(n)) continue;
                if (keyOf(n).compare(parts[c], cs) == 0 ||
                    (matched && DirName(keyOf(n)).compare(parts[c], cs) == 0)) {
                    hit = n;
                    break;
                }
            }
            if (hit) break;
        }
        // A folder made after its parent was listed is learnt when a path
        // asks for it, and the component is looked for once more.
        if (!hit && matched && learnt != c && learnChild(matched, parts[c])) {
            learnt = c--;
            continue;
        }
        // A component that matches nothing is passed over and the next one
        // is looked for among the same candidates.
        if (!hit) continue;
        matched = hit;
        if (c + 1 >= parts.size()) break;
        if (!matched->isExpanded() && matched->childCount() == 1) {
            const QString key = keyOf(matched);
            matched->setExpanded(true);
            matched = findKey(key); // an event on the way may have rebuilt the tree
            if (!matched) return nullptr;
        }
        finishFilling(matched); // the next component may be among the nodes not yet added
    }
    // A walk that ends on a node open from before (the parent of a folder
    // just deleted, say) shows its folders as they are now.
    if (matched && matched->isExpanded()) {
        const QString key = keyOf(matched);
        syncChildren(key);
        matched = findKey(key);
    }
    return matched;
}

} // namespace orbet
