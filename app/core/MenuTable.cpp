#include "app/core/MenuTable.h"

#include <QCoreApplication>

namespace orbet {

namespace {
MenuEntry item(int depth, const char* name, const char* caption, const char* shortcut = nullptr) {
    return {depth, name, QString::fromUtf8(caption), shortcut, false, false};
}
MenuEntry toggle(int depth, const char* name, const char* caption, bool checked) {
    return {depth, name, QString::fromUtf8(caption), nullptr, checked, true};
}
MenuEntry sep(int depth, const char* name) {
    return {depth, name, QStringLiteral("-"), nullptr, false, false};
}
} // namespace

const std::vector<MenuEntry>& menuTable() {
    static const std::vector<MenuEntry> table = {
        item(0, "nmenu", QT_TRANSLATE_NOOP("MenuTable", "ファイル(&F)")),
        item(1, "HexwellterOpen", QT_TRANSLATE_NOOP("MenuTable", "Hexwellで開く")),
        item(1, "Pic1", QT_TRANSLATE_NOOP("MenuTable", "Kestrelの起動(&P)"), "F7"),
        sep(1, "ll5"),
        item(1, "AngF", QT_TRANSLATE_NOOP("MenuTable", "暗号化ファイルの操作")),
        item(2, "PasAng", QT_TRANSLATE_NOOP("MenuTable", "パスワード付き暗号化")),
        item(2, "PassHuku", QT_TRANSLATE_NOOP("MenuTable", "パスワード付き復号")),
        item(2, "Ang", QT_TRANSLATE_NOOP("MenuTable", "暗号化")),
        item(2, "Huk", QT_TRANSLATE_NOOP("MenuTable", "復号")),
        item(1, "Kaku", QT_TRANSLATE_NOOP("MenuTable", "拡張子変換ﾂｰﾙ"), "Ctrl+F9"),
        sep(1, "ll8"),
        item(1, "Finfomaintion", QT_TRANSLATE_NOOP("MenuTable", "ファイル情報")),
        item(1, "FlistMake", QT_TRANSLATE_NOOP("MenuTable", "ファイルリスト作成(&F)")),
        item(2, "DirFL", QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダのすべてのファイルで作成")),
        item(2, "NowFlistToFL", QT_TRANSLATE_NOOP("MenuTable", "現在のファイルリストから作成")),
        sep(1, "A"),
        item(1, "OPPR", QT_TRANSLATE_NOOP("MenuTable", "拡張子、関連づけのプログラムで開く(&O)"), "F9"),
        sep(1, "l"),
        item(1, "Openfile", QT_TRANSLATE_NOOP("MenuTable", "開く(&O)")),
        sep(1, "ll7"),
        item(1, "FiltSet", QT_TRANSLATE_NOOP("MenuTable", "フィルターの追加"), "Ctrl+A"),
        item(1, "FiltEdi", QT_TRANSLATE_NOOP("MenuTable", "追加フィルターの整理"), "Ctrl+F"),
        sep(1, "l2"),
        item(1, "pri", QT_TRANSLATE_NOOP("MenuTable", "印刷(&P)"), "Ctrl+P"),
        sep(1, "l3"),
        item(1, "Cop", QT_TRANSLATE_NOOP("MenuTable", "コピー作成(&C)"), "Ctrl+C"),
        item(1, "del", QT_TRANSLATE_NOOP("MenuTable", "削除(&D)"), "Ctrl+D"),
        sep(1, "l4"),
        item(1, "exi", QT_TRANSLATE_NOOP("MenuTable", "Orbetの終了(&X)"), "Ctrl+X"),

        item(0, "MPath", QT_TRANSLATE_NOOP("MenuTable", "フォルダ(&P)")),
        item(1, "FoInfo", QT_TRANSLATE_NOOP("MenuTable", "フォルダ情報")),
        item(1, "DriveInfo", QT_TRANSLATE_NOOP("MenuTable", "ドライブ情報")),
        sep(1, "l9"),
        item(1, "directdir", QT_TRANSLATE_NOOP("MenuTable", "パスﾀﾞｲﾚｸﾄ入力(&D)"), "F4"),
        sep(1, "l8"),
        item(1, "makedir", QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダに新しいフォルダを作成(&N)")),
        item(1, "XCopy", QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダをコピー(&C)")),
        item(1, "MoveFolder", QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダを削除")),
        sep(1, "np"),
        item(1, "ToWin", QT_TRANSLATE_NOOP("MenuTable", "Windowsフォルダへ")),
        item(1, "ToDesk", QT_TRANSLATE_NOOP("MenuTable", "デスクトップへ")),
        item(1, "ToMyDoc", QT_TRANSLATE_NOOP("MenuTable", "マイドキュメントへ")),
        sep(1, "lll5"),
        item(1, "Fmoju", QT_TRANSLATE_NOOP("MenuTable", "フォルダ/ファイル検索ﾂｰﾙ"), "Ctrl+S"),
        sep(1, "lll6"),
        item(1, "ExpNow", QT_TRANSLATE_NOOP("MenuTable", "現在のディレクトリ"), "F12"),
        item(1, "Expl", QT_TRANSLATE_NOOP("MenuTable", "ｴｸｽﾌﾟﾛｰﾗ通常起動"), "F11"),
        sep(1, "l7"),
        item(1, "AddO", QT_TRANSLATE_NOOP("MenuTable", "お気に入りへの追加(&A)"), "F1"),
        item(1, "CallO", QT_TRANSLATE_NOOP("MenuTable", "お気に入りの呼び出し(&C)"), "F2"),
        item(1, "chekO", QT_TRANSLATE_NOOP("MenuTable", "お気に入りのチェック(&C)"), "F3"),

        item(0, "MVisu", QT_TRANSLATE_NOOP("MenuTable", "表示(&V)")),
        item(1, "taskTin", QT_TRANSLATE_NOOP("MenuTable", "タスクトレイに入れる")),
        item(1, "ZenBit", QT_TRANSLATE_NOOP("MenuTable", "全画面表示(&L)"), "F8"),
        toggle(1, "FitPane", QT_TRANSLATE_NOOP("MenuTable", "画面に合わせて表示"), false),
        item(1, "minwindow", QT_TRANSLATE_NOOP("MenuTable", "ミニマムウィンドウ(&M)")),
        item(1, "MiniWebGo", QT_TRANSLATE_NOOP("MenuTable", "ミニマムWebブラウザ(Powered By IE)")),
        sep(1, "lll9"),
        item(1, "Dexit", QT_TRANSLATE_NOOP("MenuTable", "即座に画面排除後、強制終了"), "Shift+Del"),
        item(1, "OutF", QT_TRANSLATE_NOOP("MenuTable", "画面外強制移動(&O)"), "Alt+Backspace"),
        sep(1, "lll10"),
        item(1, "SPlug", QT_TRANSLATE_NOOP("MenuTable", "SusiePlugin情報(&S)")),
        sep(1, "lll11"),
        item(1, "ReViewS", QT_TRANSLATE_NOOP("MenuTable", "最新の情報に更新"), "F5"),
        item(1, "OptionS", QT_TRANSLATE_NOOP("MenuTable", "オプション(&O)"), "Ctrl+O"),

        item(0, "MenuPro", QT_TRANSLATE_NOOP("MenuTable", "プログラム(&P)")),
        item(1, "OPRT", QT_TRANSLATE_NOOP("MenuTable", "ゼファンプロジェクト　リッチテキストエディター(&R)")),
        sep(1, "ll"),
        sep(1, "ll6"),
        sep(1, "ll4"),
        sep(1, "ll2"),

        item(0, "SetD", QT_TRANSLATE_NOOP("MenuTable", "設定(&S)")),
        item(1, "PsetD", QT_TRANSLATE_NOOP("MenuTable", "ピクチャー(&P)")),
        toggle(2, "SetAutoPD", QT_TRANSLATE_NOOP("MenuTable", "全画面表示の自動サイズ調整"), true),
        toggle(2, "ZenHi", QT_TRANSLATE_NOOP("MenuTable", "全画面表示時比率を変えずにサイズ調整"), false),
        item(1, "SetTD", QT_TRANSLATE_NOOP("MenuTable", "テキスト(&T)")),
        toggle(2, "InBaNotD", QT_TRANSLATE_NOOP("MenuTable", "INI,BATファイルのコピー禁止"), true),
        toggle(2, "EdiOK", QT_TRANSLATE_NOOP("MenuTable", "テキストを編集可能にする"), false),
        item(2, "NomSizeSet", QT_TRANSLATE_NOOP("MenuTable", "全画面時の標準文字サイズ")),
        item(1, "SetAD", QT_TRANSLATE_NOOP("MenuTable", "オーディオファイル(&A)")),
        toggle(2, "SetAuD", QT_TRANSLATE_NOOP("MenuTable", "ファイルを選択したら再生する"), false),
        toggle(2, "SetAuRepD", QT_TRANSLATE_NOOP("MenuTable", "ファイルを選択したらリピートをオンにする"),
               false),
        toggle(2, "SetRepD", QT_TRANSLATE_NOOP("MenuTable", "リピート時、確認をとる"), false),
        item(1, "MenuVFilelist", QT_TRANSLATE_NOOP("MenuTable", "ファイルリスト(&F)")),
        toggle(2, "MunuASet", QT_TRANSLATE_NOOP("MenuTable", "アーカイブファイルの表示(&A)"), true),
        toggle(2, "Hiddemset", QT_TRANSLATE_NOOP("MenuTable", "隠しファイルの表示(&H)"), false),
        toggle(2, "SYSSet", QT_TRANSLATE_NOOP("MenuTable", "ｼｽﾃﾑファイルの表示"), false),
        item(1, "JU", QT_TRANSLATE_NOOP("MenuTable", "常駐(&T)")),
        toggle(2, "STopJ", QT_TRANSLATE_NOOP("MenuTable", "起動時に常駐開始"), false),

        item(0, "Hel", QT_TRANSLATE_NOOP("MenuTable", "ヘルプ(&H)")),
        item(1, "ver", QT_TRANSLATE_NOOP("MenuTable", "ヴァージョン情報(&I)"), "F6"),
        sep(1, "ll3"),
        item(1, "HLPPic", QT_TRANSLATE_NOOP("MenuTable", "ヘルプ")),
        item(1, "HLP", QT_TRANSLATE_NOOP("MenuTable", "ゼファンユキプロジェクト公式ＨＰへ")),

        item(0, "rtfmenu", "RTF"),
        item(1, "rtfsa", "Save"),

        item(0, "HideMenu", "HideMenu"),
        item(1, "Re", QT_TRANSLATE_NOOP("MenuTable", "元の大きさに戻す(&R)")),
        sep(1, "llll"),
        item(1, "minws", QT_TRANSLATE_NOOP("MenuTable", "ミニマムウィンドウ(&M)")),
        item(1, "minwebs", QT_TRANSLATE_NOOP("MenuTable", "ミニマムWebブラウザー(&W)")),
        sep(1, "lll1"),
        item(1, "exit", QT_TRANSLATE_NOOP("MenuTable", "終了(&X)")),
        sep(1, "lll2"),
        item(1, "VrIOnfo", QT_TRANSLATE_NOOP("MenuTable", "ヴァージョン情報(&I)")),
        item(1, "IHelp", QT_TRANSLATE_NOOP("MenuTable", "ヘルプ(&H)")),
        sep(1, "lll3"),
        item(1, "InView", QT_TRANSLATE_NOOP("MenuTable", "内容のみ表示")),
    };
    return table;
}

QString menuCaption(const MenuEntry& entry) {
    return QCoreApplication::translate("MenuTable", entry.caption.toUtf8().constData());
}

} // namespace orbet
