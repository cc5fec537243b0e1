#include "app/ui/MediaPanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "app/ui/MainParts.h"
#include "app/ui/ShowDispatch.h"
#include "display/ui/MediaControl.h"
#include "platform/Prompter.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MediaPanel)
};
} // namespace

MediaPanel::MediaPanel(MainParts& form) : QObject(&form.window()), f_(form) {
    connect(f_.Command4, &QPushButton::clicked, this, &MediaPanel::Command4_Click);
    connect(f_.Command5, &QPushButton::clicked, this, &MediaPanel::Command5_Click);
    connect(f_.Command8, &QPushButton::clicked, this, &MediaPanel::Command8_Click);
    connect(f_.MMC, &MediaControl::completed, this, &MediaPanel::completed);
    connect(f_.MMC, &MediaControl::failed, this, &MediaPanel::cannotPlay);
}

void MediaPanel::Command4_Click() {
    f_.Command4->setEnabled(false);
    f_.Command5->setEnabled(true);
    if (!f_.MMC->command(QStringLiteral("play"))) {
        cannotPlay(f_.MMC->error());
        return;
    }
    f_.NoeP->setText(Texts::tr("再生中"));
}

void MediaPanel::cannotPlay(const QString& reason) {
    // The user pressed Play and nothing sounds: the status says why.
    f_.NoeP->setText(Texts::tr("再生できません: %1")
                         .arg(reason.isEmpty() ? Texts::tr("メディアを開けませんでした") : reason));
    f_.Command4->setEnabled(true);
}

void MediaPanel::Command5_Click() {
    f_.MMC->command(QStringLiteral("stop"));
    f_.Command4->setEnabled(true);
    f_.Command5->setEnabled(true);
    f_.Check1->setChecked(false);
    f_.NoeP->setText(Texts::tr("停止"));
}

void MediaPanel::Command8_Click() {
    f_.Check1->setEnabled(true);
    for (const char* word : {"close", "open", "stop"})
        f_.MMC->command(QString::fromLatin1(word));
    f_.Command4->setEnabled(true);
    f_.Command5->setEnabled(true);
    f_.NoeP->setText(Texts::tr("停止"));
    f_.display().ShowFile(f_.state().currentFilePath);
}

void MediaPanel::completed() {
    MediaControl& mmc = *f_.MMC;
    if (f_.Check1->isChecked()) {
        if (f_.isChecked(Command::SetRepD)) {
            const Answer a = f_.prompter().message(Texts::tr("リピートしますか？\r\n") + mmc.fileName(),
                                                   f_.state().title, Buttons::YesNo, Icon::Question);
            if (a != Answer::Yes) {
                f_.Check1->setChecked(false);
                mmc.command(QStringLiteral("close"));
                return;
            }
        }
        for (const char* word : {"close", "open", "play"})
            mmc.command(QString::fromLatin1(word));
        return;
    }
    f_.Check1->setEnabled(true);
    for (const char* word : {"close", "open", "stop"})
        mmc.command(QString::fromLatin1(word));
    f_.Command4->setEnabled(true);
    f_.Command5->setEnabled(true);
    f_.NoeP->setText(Texts::tr("停止"));
}

} // namespace orbet
