#include "platform/ui/QtPrompter.h"

#include <vector>

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include "platform/FileDialogFilter.h"
#include "platform/ui/QtProgress.h"

namespace orbet {

namespace {

// Room for a title bar's icon and its three buttons, with the gaps.
constexpr int kTitleBarAllowance = 140;

std::vector<Answer> answersOf(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return {Answer::Ok};
    case Buttons::OkCancel:
        return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel:
        return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

QMessageBox::StandardButton standardButton(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    case Answer::Retry:
        return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The window manager draws the title in a bar that also holds its icon and
// buttons; a dialog narrower than that cuts the title short. The width is
// measured in the bold application font, as title bars commonly draw.
int titleRoom(const QString& title) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleBarAllowance;
}

QString firstSelection(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

void prepare(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!request.initialFolder.isEmpty()) dialog.setDirectory(request.initialFolder);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
}

} // namespace

Answer QtPrompter::message(const QString& text, const QString& title, Buttons buttons, Icon icon,
                           std::optional<Answer> defaultAnswer) {
    QMessageBox box(messageIcon(icon), title, text, QMessageBox::NoButton, parent_);
    const std::vector<Answer> answers = answersOf(buttons);
    std::vector<std::pair<QAbstractButton*, Answer>> made;
    for (Answer a : answers)
        made.emplace_back(box.addButton(standardButton(a)), a);

    // The box fixes its own size from its layout's minimum, so the title's
    // room goes in as a spacer across the layout.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleRoom(title), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());

    const Answer preferred = defaultAnswer.value_or(answers.front());
    const Answer dismissed = dismissAnswer(buttons);
    for (const auto& [button, answer] : made) {
        if (answer == preferred) box.setDefaultButton(static_cast<QPushButton*>(button));
        if (answer == dismissed) box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, answer] : made) {
        if (box.clickedButton() == button) return answer;
    }
    return dismissed;
}

std::optional<QString> QtPrompter::input(const QString& prompt, const QString& title,
                                         const QString& defaultText) {
    return ask(prompt, title, defaultText, false);
}

std::optional<QString> QtPrompter::password(const QString& prompt, const QString& title) {
    return ask(prompt, title, {}, true);
}

std::optional<QString> QtPrompter::ask(const QString& prompt, const QString& title,
                                       const QString& defaultText, bool masked) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setTextValue(defaultText);
    // The dialog's layout sets its minimum size from the controls, so the
    // title's room goes to the edit line.
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        const QMargins m = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        edit->setMinimumWidth(titleRoom(title) - m.left() - m.right());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue();
}

QString QtPrompter::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, request);
    return firstSelection(dialog);
}

QString QtPrompter::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(parent_, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    prepare(dialog, request);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    return firstSelection(dialog);
}

QString QtPrompter::chooseFolder(const QString& title, const QString& initialFolder) {
    return QFileDialog::getExistingDirectory(parent_, title, initialFolder,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

void QtPrompter::runLongWork(Work work, std::function<void()> finished) {
    QtProgress::start(parent_, std::move(work), std::move(finished));
}

} // namespace orbet
