#pragma once

#include <array>
#include <functional>

#include <QDialog>

#include "options/OptionValues.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

namespace orbet {

class Prompter;
class DriveListBox;
class FileListBox;
class FolderBrowser;

// What the dialog asks of the program it belongs to.
struct OptionHooks {
    // OK's steps after the checks: applies every value in one step. False
    // (after telling the user why) keeps the dialog open with nothing applied.
    std::function<bool(const OptionValues&)> apply;
    // "すべて標準にする" sets the stored background to black at once, so it
    // holds even when the dialog is then cancelled.
    std::function<void()> storeBlackBackground;
    // Where the folder browser starts when no plug-in folder is stored.
    QString browserStart;
};

// "Orbet-Option": every option in one modal window. It shows `current` when
// it opens, keeps no state of its own, and hands the values back only on OK.
class OptionForm : public QDialog {
    Q_OBJECT
  public:
    OptionForm(Prompter& prompter, const QString& title, const OptionValues& current, OptionHooks hooks,
               QWidget* parent = nullptr);

    // The values the controls hold now, before OK's checks (the typed
    // interval and size as far as they read).
    OptionValues controlValues() const;

    void Command1_Click(); // "すべて表示"
    void Command2_Click(); // "標準に戻す"
    void Command3_Click(); // "すべて標準にする"
    void Command4_Click(); // OK
    void Command5_Click(); // キャンセル
    void Drive1_Change();
    void Dir1_Change();

    QTabWidget* SSTab1 = nullptr;
    // ピクチャー
    QLabel* Label3 = nullptr;
    QSlider* R = nullptr;
    QSlider* G = nullptr;
    QSlider* B = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QFrame* Picture1 = nullptr;
    QGroupBox* Frame7 = nullptr;
    DriveListBox* Drive1 = nullptr;
    FolderBrowser* Dir1 = nullptr;
    FileListBox* File1 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    // オーディオ＆テキスト
    QCheckBox* Check11 = nullptr;
    QCheckBox* Check12 = nullptr;
    QCheckBox* Check13 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    // ファイル表示
    QGroupBox* Frame4 = nullptr;
    QCheckBox* Check3 = nullptr;
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QCheckBox* Check14 = nullptr;
    QCheckBox* Check15 = nullptr; // stored orientation followed
    QGroupBox* Frame8 = nullptr;  // 表示言語
    QComboBox* Combo3 = nullptr;  // automatic, Japanese, English: LanguageChoice's order
    QCheckBox* Check7 = nullptr;
    QCheckBox* Check8 = nullptr;
    // 全体表示＆ﾐﾆﾏﾑｳｨﾝﾄﾞｳ
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr;
    QCheckBox* Check6 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    std::array<QRadioButton*, 2> Option4{}; // index 0 横に合わせる, 1 縦に合わせる
    // Below the tabs
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command3 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void createPictureTab();
    void createAudioTextTab();
    void createFileTab();
    void createViewerTab();
    void showValues(const OptionValues& v);
    void selectDrive(const QString& folder);
    void paintPreview();
    void centre();

    Prompter& prompter_;
    QString title_;
    OptionHooks hooks_;
    // The plug-in folder as stored when the dialog opened; it is replaced only
    // by a folder the browser actually holds.
    QString storedFolder_;
    bool folderChosen_ = false;
};

} // namespace orbet
