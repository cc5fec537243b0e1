#include <functional>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/ui/QtPrompter.h"
#include "platform/ui/Translations.h"

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

TEST(JapaneseDialogs, QuestionsAndFileDialogsSpeakJapanese) {
    ASSERT_TRUE(installQtJapanese(*qApp)) << "Qt's Japanese catalogue (qt6-translations-l10n) is missing";
    QtPrompter prompter;
    QStringList buttons;
    onceShown<QMessageBox>([&](QMessageBox* box) {
        buttons = buttonTexts(box);
        box->defaultButton()->click();
    });
    prompter.message(QStringLiteral("コピーしますか？"), QStringLiteral("Orbet"), Buttons::YesNoCancel, Icon::Question,
                     std::nullopt);
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_TRUE(anyStartsWith(buttons, QStringLiteral("はい"))) << buttons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(buttons, QStringLiteral("いいえ"))) << buttons.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(buttons, QStringLiteral("キャンセル"))) << buttons.join(u' ').toStdString();

    QStringList labels;
    onceShown<QFileDialog>([&](QFileDialog* dialog) {
        for (QLabel* l : dialog->findChildren<QLabel*>()) labels << l->text().remove(u'&');
        buttons = buttonTexts(dialog);
        dialog->reject();
    });
    FileDialogRequest request;
    request.title = QStringLiteral("名前を付けて保存");
    prompter.saveFile(request);
    EXPECT_TRUE(anyStartsWith(labels, QStringLiteral("ファイル名"))) << labels.join(u' ').toStdString();
    EXPECT_TRUE(anyStartsWith(buttons, QStringLiteral("キャンセル"))) << buttons.join(u' ').toStdString();
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

}  // namespace
}  // namespace orbet
