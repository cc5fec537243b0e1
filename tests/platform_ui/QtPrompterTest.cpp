#include <functional>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "platform/ui/QtPrompter.h"

namespace orbet {
namespace {

// Runs `act` on the modal dialog once it is showing; the dialog's own event
// loop delivers the timer.
template <typename Dialog> void whenShown(std::function<void(Dialog*)> act) {
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

void pressDefault(QMessageBox* box) {
    box->defaultButton()->click();
}

void pressEscape(QMessageBox* box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
}

TEST(QtPrompterMessage, FirstButtonIsTheDefaultUnlessGiven) {
    QtPrompter prompter;
    whenShown<QMessageBox>(pressDefault);
    EXPECT_EQ(prompter.message("終了しますか?", "Orbet", Buttons::YesNo, Icon::Question, std::nullopt),
              Answer::Yes);
    whenShown<QMessageBox>(pressDefault);
    EXPECT_EQ(prompter.message("q", "Orbet", Buttons::YesNoCancel, Icon::Question, Answer::Cancel),
              Answer::Cancel);
    QString text, title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        title = box->windowTitle();
        icon = box->icon();
        pressDefault(box);
    });
    EXPECT_EQ(
        prompter.message("text", "Orbet-Device Error", Buttons::RetryCancel, Icon::Critical, std::nullopt),
        Answer::Retry);
    EXPECT_EQ(text, "text");
    EXPECT_EQ(title, "Orbet-Device Error");
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtPrompterMessage, EscapeGivesTheDismissAnswer) {
    QtPrompter prompter;
    for (Buttons buttons : {Buttons::Ok, Buttons::OkCancel, Buttons::YesNo, Buttons::YesNoCancel}) {
        whenShown<QMessageBox>(pressEscape);
        EXPECT_EQ(prompter.message("q", "Orbet", buttons, Icon::None, std::nullopt), dismissAnswer(buttons));
    }
}

TEST(QtPrompterInput, AcceptedTextOrNothing) {
    QtPrompter prompter;
    whenShown<QInputDialog>([](QInputDialog* dialog) {
        dialog->setTextValue("C:/new");
        dialog->accept();
    });
    EXPECT_EQ(prompter.input("Path", "Orbet", "old"), std::optional<QString>("C:/new"));
    QString shown;
    whenShown<QInputDialog>([&](QInputDialog* dialog) {
        shown = dialog->textValue();
        dialog->reject();
    });
    EXPECT_EQ(prompter.input("Path", "Orbet", "old"), std::nullopt);
    EXPECT_EQ(shown, "old");
}

TEST(QtPrompterInput, APasswordIsMaskedAsItIsTypedAndAPathIsNot) {
    QtPrompter prompter;
    QString onScreen;
    whenShown<QInputDialog>([&](QInputDialog* dialog) {
        QLineEdit* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(QApplication::focusWidget() ? QApplication::focusWidget() : edit,
                         QStringLiteral("kagi"));
        onScreen = edit->displayText();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(prompter.password("パスワードを入力してください", "Orbet"), std::optional<QString>("kagi"));
    EXPECT_EQ(onScreen.size(), 4);
    EXPECT_FALSE(onScreen.contains(QLatin1Char('k')));
    whenShown<QInputDialog>([&](QInputDialog* dialog) {
        QLineEdit* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, QStringLiteral("/tmp"));
        onScreen = edit->displayText();
        dialog->reject();
    });
    EXPECT_EQ(prompter.input("Path", "Orbet", {}), std::nullopt);
    EXPECT_EQ(onScreen, "/tmp");
}

TEST(QtPrompterFiles, SaveDialogFollowsTheRequest) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtPrompter prompter;
    FileDialogRequest request;
    request.title = "リストの保存";
    request.filter = "テキスト|*.txt|プレイリスト|*.m3u";
    request.initialFolder = dir.path();
    request.initialName = "list.txt";
    request.confirmOverwrite = false;

    QStringList filters;
    QString folder, title;
    bool nonNative = false, noConfirm = false;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        folder = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        nonNative = dialog->testOption(QFileDialog::DontUseNativeDialog);
        noConfirm = dialog->testOption(QFileDialog::DontConfirmOverwrite);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its override
    });
    EXPECT_EQ(prompter.saveFile(request), dir.filePath("list.txt"));
    EXPECT_EQ(filters, (QStringList{"テキスト (*.txt)", "プレイリスト (*.m3u)"}));
    EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
    EXPECT_EQ(title, "リストの保存");
    EXPECT_TRUE(nonNative);
    EXPECT_TRUE(noConfirm);
}

// A name picked over an existing file is taken only after a Yes; No
// leaves the dialog open for another name.
TEST(QtPrompterFiles, SavingOverAFileAsksFirstAndNoReturnsToTheDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile precious(dir.filePath("precious.jpg"));
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.close();
    QtPrompter prompter;
    FileDialogRequest request;
    request.title = "コピー作成";
    request.initialFolder = dir.path();
    request.initialName = "precious.jpg";

    QString asked;
    bool openAfterNo = false;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        whenShown<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::No)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
        openAfterNo = dialog->isVisible();
        whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(prompter.saveFile(request), dir.filePath("precious.jpg"));
    EXPECT_TRUE(asked.contains("precious.jpg")) << asked.toStdString();
    EXPECT_TRUE(openAfterNo);
}

} // namespace
} // namespace orbet
