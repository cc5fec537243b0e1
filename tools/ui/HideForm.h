#pragma once

#include <functional>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTimer;

namespace orbet {

class DriveListBox;
class FolderSearch;
class Prompter;
class SearchModel;
struct ProgramState;
struct SearchBatch;
struct WalkSummary;
enum class SearchSort;

// "フォルダ/ファイル検索ﾂｰﾙ": lists the folders and/or files below a folder,
// sorted three ways, with a find-as-you-type box; sends a listed folder to
// the main window or to the tool itself, opens a listed entry. The walk and
// the sort run on a worker, so the window answers throughout; "中止" stops
// them. Not modal; closing it discards the results.
class HideForm : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        // "反映" to "親フォーム": the main window's folder becomes `folder`.
        std::function<void(const QString& folder)> sendToMain;
    };
    HideForm(Prompter& prompter, const ProgramState& state, Hooks hooks, QWidget* parent = nullptr);
    ~HideForm() override;

    // The folder list's folder; the search root follows it.
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    bool searching() const { return phase_ != Phase::Idle; }

    void Command1_Click(); // "検索開始"
    void Command4_Click(); // "中止"
    void Command2_Click(); // "反映"
    void Command3_Click(); // "開く"
    // The sort buttons: all three sort by the order selected now.
    void sortClicked();

    SearchModel* model() const { return model_; }
    // Runs on the worker before each folder is listed; tests slow the walk
    // with it so a cancel lands mid-walk whatever the machine's speed.
    std::function<void(const QByteArray&)> beforeListing;

    QWidget* Mes = nullptr;
    DriveListBox* Drive1 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option4 = nullptr;
    QRadioButton* Option5 = nullptr;
    QRadioButton* Option6 = nullptr;
    QCheckBox* Check2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Label3 = nullptr;
    QListView* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

  signals:
    // A search or sort ended (finished or stopped) and the controls are back.
    void searchEnded();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    enum class Phase { Idle, Walking, Sorting };
    void createControls();
    void wire();
    void setBusy(Phase phase);
    void batchArrived(const SearchBatch& batch);
    void walkDone(const WalkSummary& summary);
    void startSort();
    void finish(bool cancelled);
    void showProgress();
    void Text1_Change(const QString& text);
    SearchSort selectedSort() const;
    int selectedRow() const;

    Prompter& prompter_;
    const ProgramState& state_;
    Hooks hooks_;
    SearchModel* model_ = nullptr;
    FolderSearch* search_ = nullptr;
    QTimer* progress_ = nullptr;
    QString folder_;
    Phase phase_ = Phase::Idle;
    qint64 currentFolder_ = -1;
    unsigned unreadable_ = 0;
    bool partial_ = false; // the walk was stopped: however sorted, the list is not whole
};

} // namespace orbet
