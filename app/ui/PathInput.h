#pragma once

#include <QObject>
#include <QString>

namespace orbet {

class MainParts;

// Reaching a folder by its path: the path combo, the typed-path prompt and
// the special-folder commands. Every road ends in the tree walk.
class PathInput : public QObject {
    Q_OBJECT
  public:
    explicit PathInput(MainParts& form);

    // A choice from the path combo's list, or Enter in its text.
    void Combo2_Go(const QString& text);
    // A held path from elsewhere (the search tool), opened as if typed: the
    // path combo shows it and the folder (or the file's folder) opens.
    void openPath(const QString& path);
    void DirectPathInput();
    void ToWin();
    void ToDesk();
    void ToMyDoc();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void goTo(const QString& text);
    QString messageTitle() const;

    MainParts& f_;
};

} // namespace orbet
