#include "app/core/MenuTable.h"

namespace orbet {

namespace {
MenuEntry item(int depth, const char* name, const char* caption, const char* shortcut = nullptr) {
    return {depth, name, QString::fromUtf8(caption), shortcut, false, false};
}
MenuEntry toggle(int depth, const char* name, const char* caption, bool checked) {
    return {depth, name, QString::fromUtf8(caption), nullptr, checked, true};
}
MenuEntry sep(int depth, const char* name) { return {depth, name, QStringLiteral("-"), nullptr, false, false}; }
}  // namespace

const std::vector<MenuEntry>& menuTable() {
    static const std::vector<MenuEntry> table = {
        item(0, "nmenu", "ファイル(&F)"),
        item(1, "HexwellterOpen", "Hexwellで開く"),
        item(1, "Pic1", "Kestrelの起動(&P)", "F7"),
        sep(1, "ll5"),
        item(1, "AngF", "暗号化ファイルの操作"),
        item(2, "PasAng", "パスワード付き暗号化"),
        item(2, "PassHuku", "パスワード付き復号"),
        item(2, "Ang", "暗号化"),
        item(2, "Huk", "復号"),
        item(1, "Kaku", "拡張子変換ﾂｰﾙ", "Ctrl+F9"),
        sep(1, "ll8"),
        item(1, "Finfomaintion", "ファイル情報"),
        item(1, "FlistMake", "ファイルリスト作成(&F)"),
        item(2, "DirFL", "現在のフォルダのすべてのファイルで作成"),
        item(2, "NowFlistToFL", "現在のファイルリストから作成"),
        sep(1, "A"),
        item(1, "OPPR", "拡張子、関連づけのプログラムで開く(&O)", "F9"),
        sep(1, "l"),
        item(1, "Openfile", "開く(&O)"),
        sep(1, "ll7"),
        item(1, "FiltSet", "フィルターの追加", "Ctrl+A"),
        item(1, "FiltEdi", "追加フィルターの整理", "Ctrl+F"),
        sep(1, "l2"),
        item(1, "pri", "印刷(&P)", "Ctrl+P"),
        sep(1, "l3"),
        item(1, "Cop", "コピー作成(&C)", "Ctrl+C"),
        item(1, "del", "削除(&D)", "Ctrl+D"),
        sep(1, "l4"),
        item(1, "exi", "Orbetの終了(&X)", "Ctrl+X"),

        item(0, "MPath", "フォルダ(&P)"),
        item(1, "FoInfo", "フォルダ情報"),
        item(1, "DriveInfo", "ドライブ情報"),
        sep(1, "l9"),
        item(1, "directdir", "パスﾀﾞｲﾚｸﾄ入力(&D)", "F4"),
        sep(1, "l8"),
        item(1, "makedir", "現在のフォルダに新しいフォルダを作成(&N)"),
        item(1, "XCopy", "現在のフォルダをコピー(&C)"),
        item(1, "MoveFolder", "現在のフォルダを削除"),
        sep(1, "np"),
        item(1, "ToWin", "Windowsフォルダへ"),
        item(1, "ToDesk", "デスクトップへ"),
        item(1, "ToMyDoc", "マイドキュメントへ"),
        sep(1, "lll5"),
        item(1, "Fmoju", "フォルダ/ファイル検索ﾂｰﾙ", "Ctrl+S"),
        sep(1, "lll6"),
        item(1, "ExpNow", "現在のディレクトリ", "F12"),
        item(1, "Expl", "ｴｸｽﾌﾟﾛｰﾗ通常起動", "F11"),
        sep(1, "l7"),
        item(1, "AddO", "お気に入りへの追加(&A)", "F1"),
        item(1, "CallO", "お気に入りの呼び出し(&C)", "F2"),
        item(1, "chekO", "お気に入りのチェック(&C)", "F3"),

        item(0, "MVisu", "表示(&V)"),
        item(1, "taskTin", "タスクトレイに入れる"),
        item(1, "ZenBit", "全画面表示(&L)", "F8"),
        item(1, "minwindow", "ミニマムウィンドウ(&M)"),
        item(1, "MiniWebGo", "ミニマムWebブラウザ(Powered By IE)"),
        sep(1, "lll9"),
        item(1, "Dexit", "即座に画面排除後、強制終了", "Shift+Del"),
        item(1, "OutF", "画面外強制移動(&O)", "Alt+Backspace"),
        sep(1, "lll10"),
        item(1, "SPlug", "SusiePlugin情報(&S)"),
        sep(1, "lll11"),
        item(1, "ReViewS", "最新の情報に更新", "F5"),
        item(1, "OptionS", "オプション(&O)", "Ctrl+O"),

        item(0, "MenuPro", "プログラム(&P)"),
        item(1, "OPRT", "ゼファンプロジェクト　リッチテキストエディター(&R)"),
        sep(1, "ll"),
        sep(1, "ll6"),
        sep(1, "ll4"),
        sep(1, "ll2"),

        item(0, "SetD", "設定(&S)"),
        item(1, "PsetD", "ピクチャー(&P)"),
        toggle(2, "SetAutoPD", "全画面表示の自動サイズ調整", true),
        toggle(2, "ZenHi", "全画面表示時比率を変えずにサイズ調整", false),
        item(1, "SetTD", "テキスト(&T)"),
        toggle(2, "InBaNotD", "INI,BATファイルのコピー禁止", true),
        toggle(2, "EdiOK", "テキストを編集可能にする", false),
        item(2, "NomSizeSet", "全画面時の標準文字サイズ"),
        item(1, "SetAD", "オーディオファイル(&A)"),
        toggle(2, "SetAuD", "ファイルを選択したら再生する", false),
        toggle(2, "SetAuRepD", "ファイルを選択したらリピートをオンにする", false),
        toggle(2, "SetRepD", "リピート時、確認をとる", false),
        item(1, "MenuVFilelist", "ファイルリスト(&F)"),
        toggle(2, "MunuASet", "アーカイブファイルの表示(&A)", true),
        toggle(2, "Hiddemset", "隠しファイルの表示(&H)", false),
        toggle(2, "SYSSet", "ｼｽﾃﾑファイルの表示", false),
        item(1, "JU", "常駐(&T)"),
        toggle(2, "STopJ", "起動時に常駐開始", false),

        item(0, "Hel", "ヘルプ(&H)"),
        item(1, "ver", "ヴァージョン情報(&I)", "F6"),
        sep(1, "ll3"),
        item(1, "HLPPic", "ヘルプ"),
        item(1, "HLP", "ゼファンユキプロジェクト公式ＨＰへ"),

        item(0, "rtfmenu", "RTF"),
        item(1, "rtfsa", "Save"),

        item(0, "HideMenu", "HideMenu"),
        item(1, "Re", "元の大きさに戻す(&R)"),
        sep(1, "llll"),
        item(1, "minws", "ミニマムウィンドウ(&M)"),
        item(1, "minwebs", "ミニマムWebブラウザー(&W)"),
        sep(1, "lll1"),
        item(1, "exit", "終了(&X)"),
        sep(1, "lll2"),
        item(1, "VrIOnfo", "ヴァージョン情報(&I)"),
        item(1, "IHelp", "ヘルプ(&H)"),
        sep(1, "lll3"),
        item(1, "InView", "内容のみ表示"),
    };
    return table;
}

}  // namespace orbet
