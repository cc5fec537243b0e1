#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include <QFutureWatcher>
#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QString>

#include "navigation/FolderProbe.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace orbet {

class Prompter;

// The folder tree: a lazily opened tree of volumes and folders on a
// QTreeWidget. Each node keeps its key (full path, volume key or
// placeholder key) in Qt::UserRole. Opening lists a folder afresh; closing
// forgets its children. The tree never stays hidden or frozen after a
// failure.
//
// Whether each listed subfolder has subfolders of its own (its "+") is
// learnt on a worker thread: a folder beside the one opened may hold a
// hundred thousand files, and the walk to a folder at start-up opens every
// folder on the way. Until its answer arrives a node shows a "+", which
// goes when the folder turns out to have none.
class FolderTree : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        std::function<void(const QString&)> openFolder;   // make a folder current
        std::function<void(const QString&)> openTreePath; // walk back to a path
        std::function<QString()> fileListPath;            // File1's folder
        std::function<QString()> title;                   // program title for messages
        std::function<int()> hideDirectory;               // 1 lists hidden folders
        std::function<bool()> nodeExpand;
        std::function<bool()> nodeClose;
        // How a click learns whether the folder can be entered; the
        // file system's own answer unless a test stands in for a drive.
        std::function<FolderStatus(const QString&)> probe;
    };

    FolderTree(QTreeWidget& tree, Prompter& prompter, Hooks hooks, QObject* parent = nullptr);

    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;

    // Rebuilds the drive level: one closed node per volume.
    void DriveCheck(const QString& scope);
    void Plus(const QString& path);
    bool Plus2(const QString& path) const;

    // The tree's own events; also called when code opens or closes a node.
    void nodeExpanded(QTreeWidgetItem* node);
    void nodeCollapsed(QTreeWidgetItem* node);
    void nodeClicked(QTreeWidgetItem* node);

    // The walk of a path from outside the tree; returns the key of the node
    // reached (empty when none matched) and opens the nodes on the way.
    QTreeWidgetItem* walkTo(const QString& path);
    // Brings an open node's children in line with the disk: folders gone
    // are dropped (with what was open below them), new ones go in at their
    // place; the others stay as they are, open or not.
    void syncChildren(const QString& key);
    void setHighlight(QTreeWidgetItem* node);
    void setProbe(std::function<FolderStatus(const QString&)> probe) {
        hooks_.probe = probe ? std::move(probe) : probeFolder;
    }
    QTreeWidgetItem* highlighted() const { return highlighted_; }

    // Waits for the outstanding subfolder probes and applies their answers
    // (a probe not yet started then runs on the calling thread).
    void settleProbes();
    bool probesPending() const { return !batches_.empty(); }

    QTreeWidgetItem* findKey(const QString& key) const;
    static QString keyOf(const QTreeWidgetItem* node);
    static int imageOf(const QTreeWidgetItem* node);
    static bool isPlaceholder(const QTreeWidgetItem* node);

  private:
    struct ProbeBatch {
        std::vector<QPersistentModelIndex> nodes;
        std::shared_ptr<std::atomic_bool> cancelled;
        QFutureWatcher<std::vector<char>>* watcher = nullptr;
    };
    // The nodes of a large folder not yet added.
    struct Filling {
        QPersistentModelIndex node;
        std::shared_ptr<const std::vector<Subfolder>> all;
        std::size_t next = 0;
        bool includeHidden = false;
    };
    static constexpr std::size_t kNodesPerTurn = 1000;
    void addChildren(QTreeWidgetItem* node, const std::vector<Subfolder>& all, std::size_t from,
                     bool includeHidden);
    QTreeWidgetItem* fillingNode(const Filling& f) const;
    void fillMore();
    void finishFilling(QTreeWidgetItem* node);
    void dropFilling(QTreeWidgetItem* node);
    void probeLater(const std::vector<QTreeWidgetItem*>& nodes, bool includeHidden);
    void applyProbes(std::list<ProbeBatch>::iterator batch);
    void cancelProbes();

    QTreeWidgetItem* newNode(const QString& key, const QString& text, int image) const;
    bool learnChild(QTreeWidgetItem* node, const QString& name);
    static QHash<QString, std::size_t> listingOrder(const std::vector<Subfolder>& subfolders);
    QTreeWidgetItem* insertChild(QTreeWidgetItem* node, const std::vector<Subfolder>& subfolders,
                                 const QHash<QString, std::size_t>& order, std::size_t which);
    void fillNode(QTreeWidgetItem* node);
    void makeCurrent(QTreeWidgetItem* node);

    QTreeWidget& tree_;
    Prompter& prompter_;
    Hooks hooks_;
    QTreeWidgetItem* highlighted_ = nullptr;
    bool changing_ = false; // our own expand/collapse calls do not re-enter
    std::list<ProbeBatch> batches_;
    std::list<Filling> fillings_;
};

} // namespace orbet
