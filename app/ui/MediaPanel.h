#pragma once

#include <QObject>
#include <QString>

namespace orbet {

class MainParts;

// The media panel's buttons and the repeat logic that runs when playback
// reaches its end.
class MediaPanel : public QObject {
    Q_OBJECT
  public:
    explicit MediaPanel(MainParts& form);

    void Command4_Click();
    void Command5_Click();
    void Command8_Click();
    void completed();
    // The status names the media engine's reason.
    void cannotPlay(const QString& reason);

  private:
    MainParts& f_;
};

} // namespace orbet
