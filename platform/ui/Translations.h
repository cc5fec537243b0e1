#pragma once

class QCoreApplication;

namespace orbet {

// The program speaks Japanese whatever the locale: Qt's own Japanese
// catalogue is installed into the application, so standard buttons and
// dialogs read はい, いいえ, キャンセル, 開く. Returns false when the
// catalogue is not installed; the dialogs then keep Qt's English.
bool installQtJapanese(QCoreApplication& app);

}  // namespace orbet
