#include "app/ui/Toolbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>

namespace orbet {

namespace {

struct ButtonSpec {
    ToolButton button;
    const char* key;
    const char* caption;
    const char* tip;
};

const ButtonSpec kButtons[] = {
    {ToolButton::Pic1, "Pic1", QT_TRANSLATE_NOOP("Toolbar", "Kestrelの起動"),
     QT_TRANSLATE_NOOP("Toolbar", "Kestrelを起動します")},
    {ToolButton::dxinput, "dxinput", "", QT_TRANSLATE_NOOP("Toolbar", "パスを直接入力します")},
    {ToolButton::dirform, "dirform", "", QT_TRANSLATE_NOOP("Toolbar", "フォルダーフォームを起動します")},
    {ToolButton::opencom, "opencom", "", QT_TRANSLATE_NOOP("Toolbar", "開くコマンドを使用します")},
    {ToolButton::direx, "direx", "",
     QT_TRANSLATE_NOOP("Toolbar", "フォルダ／ファイル検索ツールを起動します")},
    {ToolButton::exp, "exp", "", QT_TRANSLATE_NOOP("Toolbar", "ｴｸｽﾌﾟﾛｰﾗを起動します")},
    {ToolButton::n, "n", "", QT_TRANSLATE_NOOP("Toolbar", "現在のフォルダを開きます")},
    {ToolButton::web, "web", "", QT_TRANSLATE_NOOP("Toolbar", "ミニマムWebブラウザーを開きます")},
    {ToolButton::copy, "copy", "", QT_TRANSLATE_NOOP("Toolbar", "コピーを作成します。")},
    {ToolButton::del, "del", "", QT_TRANSLATE_NOOP("Toolbar", "削除します")},
    {ToolButton::allwin, "allwin", "", QT_TRANSLATE_NOOP("Toolbar", "全画面表示")},
    {ToolButton::kakutyou, "kakutyou", "", QT_TRANSLATE_NOOP("Toolbar", "拡張子変換ﾂｰﾙ")},
    {ToolButton::help, "help", "", QT_TRANSLATE_NOOP("Toolbar", "りーどみぃ")},
};

// Small pictograms drawn here so the program carries no borrowed artwork.
QIcon drawIcon(ToolButton b) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen ink(QColor(40, 50, 70), 1.4);
    p.setPen(ink);
    switch (b) {
    case ToolButton::Pic1:
        p.setBrush(QColor(120, 180, 240));
        p.drawRect(QRectF(2.5, 4.5, 15, 11));
        p.setBrush(QColor(80, 160, 80));
        p.drawPolygon(
            QPolygonF({QPointF(4, 15), QPointF(9, 8), QPointF(13, 13), QPointF(16, 10), QPointF(17, 15)}));
        break;
    case ToolButton::dxinput:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 6.5, 15, 7));
        p.drawLine(QPointF(5, 8.5), QPointF(5, 11.5));
        break;
    case ToolButton::dirform:
    case ToolButton::opencom:
    case ToolButton::n:
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2.5, 6.5, 15, 10));
        p.drawRect(QRectF(2.5, 4.5, 6, 2));
        if (b == ToolButton::opencom)
            p.drawLine(QPointF(10, 14), QPointF(10, 8)), p.drawLine(QPointF(7, 11), QPointF(10, 8)),
                p.drawLine(QPointF(13, 11), QPointF(10, 8));
        if (b == ToolButton::n) p.drawEllipse(QPointF(10, 11.5), 2, 2);
        break;
    case ToolButton::direx:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 8), 5, 5);
        p.setPen(QPen(QColor(40, 50, 70), 2.5));
        p.drawLine(QPointF(12, 12), QPointF(17.5, 17.5));
        break;
    case ToolButton::exp:
        p.setBrush(QColor(200, 220, 250));
        p.drawRect(QRectF(2.5, 3.5, 15, 13));
        p.drawLine(QPointF(2.5, 7.5), QPointF(17.5, 7.5));
        p.drawLine(QPointF(7.5, 7.5), QPointF(7.5, 16.5));
        break;
    case ToolButton::web:
        p.setBrush(QColor(150, 200, 250));
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
        p.drawEllipse(QPointF(10, 10), 3, 7.5);
        break;
    case ToolButton::copy:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 9, 11));
        p.drawRect(QRectF(7.5, 6.5, 9, 11));
        break;
    case ToolButton::del:
        p.setPen(QPen(QColor(200, 40, 40), 2.5));
        p.drawLine(QPointF(4, 4), QPointF(16, 16));
        p.drawLine(QPointF(16, 4), QPointF(4, 16));
        break;
    case ToolButton::allwin:
        p.setBrush(QColor(40, 40, 40));
        p.drawRect(QRectF(2.5, 3.5, 15, 11));
        p.drawLine(QPointF(7, 17.5), QPointF(13, 17.5));
        break;
    case ToolButton::kakutyou:
        p.setFont(QFont(QStringLiteral("sans"), 7, QFont::Bold));
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral(".ext"));
        break;
    case ToolButton::help:
        p.setBrush(QColor(255, 240, 150));
        p.drawEllipse(QPointF(10, 10), 7.5, 7.5);
        p.setFont(QFont(QStringLiteral("sans"), 10, QFont::Bold));
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    return QIcon(pm);
}

} // namespace

QString toolButtonKey(ToolButton button) {
    return QString::fromLatin1(kButtons[int(button)].key);
}

void buildToolbar(QToolBar& bar, const std::function<void(ToolButton)>& click,
                  const std::function<bool(ToolButton)>& works) {
    bar.setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const ButtonSpec& spec : kButtons) {
        QAction* a =
            bar.addAction(drawIcon(spec.button), QCoreApplication::translate("Toolbar", spec.caption));
        a->setObjectName(QStringLiteral("TB_") + QString::fromLatin1(spec.key));
        a->setData(QString::fromLatin1(spec.key));
        a->setToolTip(QCoreApplication::translate("Toolbar", spec.tip));
        if (spec.caption[0] == 0) a->setIconText(QString());
        const ToolButton b = spec.button;
        QObject::connect(a, &QAction::triggered, &bar, [click, b] { click(b); });
        a->setEnabled(works(b));
    }
}

} // namespace orbet
