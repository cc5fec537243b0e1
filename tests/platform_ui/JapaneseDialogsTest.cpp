#include <functional>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/Language.h"
#include "platform/ui/QtPrompter.h"

namespace orbet {
namespace {

// Runs `act` on the modal dialog once it is showing.
template <typename Dialog> void onceShown(std::function<void(Dialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->isVisible()) texts << b->text().remove(u'&');
    }
    return texts;
}

bool anyStartsWith(const QStringList& texts, const QString& start) {
    for (const QString& t : texts)
        if (t.startsWith(start)) return true;
    return false;
}

// Asks a three-button question and opens a save dialog through the real
// prompter; returns the question's buttons and the file dialog's labels and
// buttons.
struct DialogTexts {
    QStringList questionButtons, fileLabels, fileButtons;
};
DialogTexts showDialogs() {
    DialogTexts t;
    QtPrompter prompter;
    onceShown<QMessageBox>([&](QMessageBox* box) {
        t.questionButtons = buttonTexts(box);
        box->defaultButton()->click();
    });
    prompter.message(QStringLiteral("コピーしますか？"), QStringLiteral("Orbet"), Buttons::YesNoCancel,
                     Icon::Question, std::nullopt);
    onceShown<QFileDialog>([&](QFileDialog* dialog) {
        for (QLabel* l : dialog->findChildren<QLabel*>())
            t.fileLabels << l->text().remove(u'&');
        t.fileButtons = buttonTexts(dialog);
        dialog->reject();
    });
    FileDialogRequest request;
    request.title = QStringLiteral("名前を付けて保存");
    prompter.saveFile(request);
    return t;
}

// Qt's own buttons and dialogs follow the language the program speaks,
// whatever the desktop's: Japanese, or Qt's English when English is chosen.
TEST(LanguageOfQtsDialogs, FollowsTheProgramsLanguage) {
    ASSERT_FALSE(installLanguage(*qApp, false, QStringLiteral(ORBET_BUILD_DIR "/translations")));
    DialogTexts ja = showDialogs();
    ASSERT_EQ(ja.questionButtons.size(), 3);
    EXPECT_TRUE(anyStartsWith(ja.questionButtons, QStringLiteral("はい")))
        << ja.questionButtons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(ja.questionButtons, QStringLiteral("いいえ")))
        << ja.questionButtons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(ja.questionButtons, QStringLiteral("キャンセル")))
        << ja.questionButtons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(ja.fileLabels, QStringLiteral("ファイル名")))
        << ja.fileLabels.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(ja.fileButtons, QStringLiteral("キャンセル")))
        << ja.fileButtons.join(u' ').toStdString();

    ASSERT_TRUE(installLanguage(*qApp, true, QStringLiteral(ORBET_BUILD_DIR "/translations")));
    DialogTexts en = showDialogs();
    removeInstalledLanguage();
    ASSERT_EQ(en.questionButtons.size(), 3);
    for (const char* b : {"Yes", "No", "Cancel"})
        EXPECT_TRUE(en.questionButtons.contains(QLatin1String(b)))
            << en.questionButtons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(en.fileLabels, QStringLiteral("File name")))
        << en.fileLabels.join(u' ').toStdString();
    EXPECT_TRUE(en.fileButtons.contains(QStringLiteral("Cancel"))) << en.fileButtons.join(u' ').toStdString();
}

// Short texts under long titles: the dialog is wide enough for the whole
// title beside the title bar's icon and buttons.
TEST(DialogTitles, ShortBoxesKeepTheirTitlesWhole) {
    QtPrompter prompter;
    const QString title = QStringLiteral("Orbet - PathDirectInput");
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(title) + 100;
    int boxWidth = 0, promptWidth = 0;
    onceShown<QMessageBox>([&](QMessageBox* box) {
        boxWidth = box->width();
        box->defaultButton()->click();
    });
    prompter.message(QStringLiteral("OK"), title, Buttons::Ok, Icon::None, std::nullopt);
    EXPECT_GE(boxWidth, needed);
    onceShown<QDialog>([&](QDialog* dialog) {
        promptWidth = dialog->width();
        dialog->reject();
    });
    prompter.input(QStringLiteral("パス"), title, QString());
    EXPECT_GE(promptWidth, needed);
}

} // namespace
} // namespace orbet
