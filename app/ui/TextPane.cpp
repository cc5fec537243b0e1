#include "app/ui/TextPane.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include "app/ui/MainParts.h"
#include "display/FileKinds.h"
#include "display/text/TextDecoding.h"
#include "display/ui/PictureBox.h"
#include "platform/Prompter.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TextPane)
};
} // namespace

TextPane::TextPane(MainParts& form) : QObject(&form.window()), f_(form) {
    f_.RT->viewport()->installEventFilter(this);
    f_.RT->setContextMenuPolicy(Qt::NoContextMenu);
    connect(f_.RT, &QTextEdit::textChanged, this, &TextPane::RT_Change);
    printDialog = [this](QPrinter& printer, bool hasSelection) {
        QPrintDialog dialog(&printer, &f_.window());
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
        if (hasSelection) dialog.setPrintRange(QAbstractPrintDialog::Selection);
        return dialog.exec() == QDialog::Accepted;
    };
}

bool TextPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == f_.RT->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            f_.menu("rtfmenu")->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return false;
}

void TextPane::rtfsa_Click() {
    FileDialogRequest request;
    request.title = QStringLiteral("RTF Menu Save txt file");
    request.hideReadOnly = true;
    const QString path = f_.prompter().saveFile(request);
    if (path.isEmpty()) return;
    // The text goes out plain, whatever formatting the pane shows.
    // A failed write leaves the old file whole; say so rather than pretend.
    if (!savePlainText(path, f_.RT->toPlainText()))
        f_.prompter().message(path + Texts::tr(" に保存できませんでした。"), f_.state().title);
}

void TextPane::pri_Click() {
    // Video plays inside the picture frame, so the frame being visible does
    // not mean a picture is shown: the web, media and program displays refuse
    // by their filter, whatever pane happens to be on screen.
    const ShowRoute route =
        RouteForEntry(f_.Combo1->currentIndex(), f_.Combo1->currentText(), f_.userFilters());
    const bool printable =
        route != ShowRoute::Web && route != ShowRoute::Media && route != ShowRoute::Program;
    QPrinter printer(QPrinter::HighResolution);
    if (printable && f_.BP->isVisible()) {
        printer.setCopyCount(1);
        if (!printDialog(printer, false)) return;
        if (!f_.MP->isVisible() || f_.MP->width() <= 0 || f_.MP->height() <= 0) return;
        // Natural size: the picture's screen pixels at the printer's resolution.
        QPainter painter(&printer);
        const double scale = double(printer.resolution()) / double(f_.window().logicalDpiX());
        painter.scale(scale, scale);
        painter.drawImage(QPoint(0, 0), f_.MP->picture());
        return;
    }
    if (!printable || !f_.RT->isVisible()) {
        f_.prompter().message(Texts::tr("error そのタイプは、印刷コマンドの実行はできません"),
                              f_.state().title, Buttons::Ok);
        return;
    }
    const bool selection = f_.RT->textCursor().hasSelection();
    if (!printDialog(printer, selection)) return;
    if (selection) {
        QTextDocument part;
        part.setDefaultFont(f_.RT->document()->defaultFont());
        QTextCursor(&part).insertFragment(f_.RT->textCursor().selection());
        part.print(&printer);
    } else {
        f_.RT->document()->print(&printer);
    }
}

void TextPane::RT_Change() {
    // The pane stays where the display layout puts it. A place of its own
    // near the window's top, taken on every edit or emptied list, would
    // cover the folder tree and the file list the user needs next.
    f_.layoutDisplay();
}

} // namespace orbet
