#include "app/core/MenuTable.h"

#include <QCoreApplication>

namespace orbet {

const char* commandName(Command command) {
    static const char* const names[] = {
#define ORBET_COMMAND_NAME(name) #name,
        ORBET_COMMANDS(ORBET_COMMAND_NAME)
#undef ORBET_COMMAND_NAME
    };
    return names[int(command)];
}

namespace {
// A menu or a sub-menu.
MenuEntry item(int depth, const char* name, const char* caption) {
    return {depth, name, QString::fromUtf8(caption), nullptr, false, false, std::nullopt};
}
MenuEntry command(int depth, Command c, const char* caption, const char* shortcut = nullptr) {
    return {depth, commandName(c), QString::fromUtf8(caption), shortcut, false, false, c};
}
MenuEntry unbuilt(int depth, Command c, const char* caption) {
    MenuEntry e = command(depth, c, caption);
    e.built = false;
    return e;
}
MenuEntry toggle(int depth, Command c, const char* caption, bool checked) {
    return {depth, commandName(c), QString::fromUtf8(caption), nullptr, checked, true, c};
}
MenuEntry sep(int depth, const char* name) {
    return {depth, name, QStringLiteral("-"), nullptr, false, false, std::nullopt};
}
} // namespace

const std::vector<MenuEntry>& menuTable() {
    static const std::vector<MenuEntry> table = {
        item(0, "nmenu", QT_TRANSLATE_NOOP("MenuTable", "ファイル(&F)")),
        command(1, Command::HexwellterOpen, QT_TRANSLATE_NOOP("MenuTable", "Hexwellで開く")),
        command(1, Command::Pic1, QT_TRANSLATE_NOOP("MenuTable", "Kestrelの起動(&P)"), "F7"),
        sep(1, "ll5"),
        item(1, "AngF", QT_TRANSLATE_NOOP("MenuTable", "暗号化ファイルの操作")),
        command(2, Command::PasAng, QT_TRANSLATE_NOOP("MenuTable", "パスワード付き暗号化")),
        command(2, Command::PassHuku, QT_TRANSLATE_NOOP("MenuTable", "パスワード付き復号")),
        command(2, Command::Ang, QT_TRANSLATE_NOOP("MenuTable", "暗号化")),
        command(2, Command::Huk, QT_TRANSLATE_NOOP("MenuTable", "復号")),
        command(1, Command::Kaku, QT_TRANSLATE_NOOP("MenuTable", "拡張子変換ﾂｰﾙ"), "Ctrl+F9"),
        sep(1, "ll8"),
        command(1, Command::Finfomaintion, QT_TRANSLATE_NOOP("MenuTable", "ファイル情報")),
        item(1, "FlistMake", QT_TRANSLATE_NOOP("MenuTable", "ファイルリスト作成(&F)")),
        command(2, Command::DirFL, QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダのすべてのファイルで作成")),
        command(2, Command::NowFlistToFL, QT_TRANSLATE_NOOP("MenuTable", "現在のファイルリストから作成")),
        sep(1, "A"),
        command(1, Command::OPPR, QT_TRANSLATE_NOOP("MenuTable", "拡張子、関連づけのプログラムで開く(&O)"),
                "F9"),
        sep(1, "l"),
        command(1, Command::Openfile, QT_TRANSLATE_NOOP("MenuTable", "開く(&O)")),
        sep(1, "ll7"),
        command(1, Command::FiltSet, QT_TRANSLATE_NOOP("MenuTable", "フィルターの追加"), "Ctrl+A"),
        command(1, Command::FiltEdi, QT_TRANSLATE_NOOP("MenuTable", "追加フィルターの整理"), "Ctrl+F"),
        sep(1, "l2"),
        command(1, Command::pri, QT_TRANSLATE_NOOP("MenuTable", "印刷(&P)"), "Ctrl+P"),
        sep(1, "l3"),
        command(1, Command::Cop, QT_TRANSLATE_NOOP("MenuTable", "コピー作成(&C)"), "Ctrl+C"),
        command(1, Command::del, QT_TRANSLATE_NOOP("MenuTable", "削除(&D)"), "Ctrl+D"),
        sep(1, "l4"),
        command(1, Command::exi, QT_TRANSLATE_NOOP("MenuTable", "Orbetの終了(&X)"), "Ctrl+X"),

        item(0, "MPath", QT_TRANSLATE_NOOP("MenuTable", "フォルダ(&P)")),
        command(1, Command::FoInfo, QT_TRANSLATE_NOOP("MenuTable", "フォルダ情報")),
        command(1, Command::DriveInfo, QT_TRANSLATE_NOOP("MenuTable", "ドライブ情報")),
        sep(1, "l9"),
        command(1, Command::directdir, QT_TRANSLATE_NOOP("MenuTable", "パスﾀﾞｲﾚｸﾄ入力(&D)"), "F4"),
        sep(1, "l8"),
        command(1, Command::makedir,
                QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダに新しいフォルダを作成(&N)")),
        command(1, Command::XCopy, QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダをコピー(&C)")),
        command(1, Command::MoveFolder, QT_TRANSLATE_NOOP("MenuTable", "現在のフォルダを削除")),
        sep(1, "np"),
        command(1, Command::ToWin, QT_TRANSLATE_NOOP("MenuTable", "Windowsフォルダへ")),
        command(1, Command::ToDesk, QT_TRANSLATE_NOOP("MenuTable", "デスクトップへ")),
        command(1, Command::ToMyDoc, QT_TRANSLATE_NOOP("MenuTable", "マイドキュメントへ")),
        sep(1, "lll5"),
        command(1, Command::Fmoju, QT_TRANSLATE_NOOP("MenuTable", "フォルダ/ファイル検索ﾂｰﾙ"), "Ctrl+S"),
        sep(1, "lll6"),
        command(1, Command::ExpNow, QT_TRANSLATE_NOOP("MenuTable", "現在のディレクトリ"), "F12"),
        command(1, Command::Expl, QT_TRANSLATE_NOOP("MenuTable", "ｴｸｽﾌﾟﾛｰﾗ通常起動"), "F11"),
        sep(1, "l7"),
        command(1, Command::AddO, QT_TRANSLATE_NOOP("MenuTable", "お気に入りへの追加(&A)"), "F1"),
        command(1, Command::CallO, QT_TRANSLATE_NOOP("MenuTable", "お気に入りの呼び出し(&C)"), "F2"),
        command(1, Command::chekO, QT_TRANSLATE_NOOP("MenuTable", "お気に入りのチェック(&C)"), "F3"),

        item(0, "MVisu", QT_TRANSLATE_NOOP("MenuTable", "表示(&V)")),
        command(1, Command::taskTin, QT_TRANSLATE_NOOP("MenuTable", "タスクトレイに入れる")),
        command(1, Command::ZenBit, QT_TRANSLATE_NOOP("MenuTable", "全画面表示(&L)"), "F8"),
        toggle(1, Command::FitPane, QT_TRANSLATE_NOOP("MenuTable", "画面に合わせて表示"), false),
        command(1, Command::minwindow, QT_TRANSLATE_NOOP("MenuTable", "ミニマムウィンドウ(&M)")),
        command(1, Command::MiniWebGo, QT_TRANSLATE_NOOP("MenuTable", "ミニマムWebブラウザ(Powered By IE)")),
        sep(1, "lll9"),
        command(1, Command::Dexit, QT_TRANSLATE_NOOP("MenuTable", "即座に画面排除後、強制終了"), "Shift+Del"),
        command(1, Command::OutF, QT_TRANSLATE_NOOP("MenuTable", "画面外強制移動(&O)"), "Alt+Backspace"),
        sep(1, "lll10"),
        command(1, Command::SPlug, QT_TRANSLATE_NOOP("MenuTable", "SusiePlugin情報(&S)")),
        sep(1, "lll11"),
        command(1, Command::ReViewS, QT_TRANSLATE_NOOP("MenuTable", "最新の情報に更新"), "F5"),
        command(1, Command::OptionS, QT_TRANSLATE_NOOP("MenuTable", "オプション(&O)"), "Ctrl+O"),

        item(0, "MenuPro", QT_TRANSLATE_NOOP("MenuTable", "プログラム(&P)")),
        command(1, Command::OPRT,
                QT_TRANSLATE_NOOP("MenuTable", "ゼファンプロジェクト　リッチテキストエディター(&R)")),
        sep(1, "ll"),
        sep(1, "ll6"),
        sep(1, "ll4"),
        sep(1, "ll2"),

        item(0, "SetD", QT_TRANSLATE_NOOP("MenuTable", "設定(&S)")),
        item(1, "PsetD", QT_TRANSLATE_NOOP("MenuTable", "ピクチャー(&P)")),
        toggle(2, Command::SetAutoPD, QT_TRANSLATE_NOOP("MenuTable", "全画面表示の自動サイズ調整"), true),
        toggle(2, Command::ZenHi, QT_TRANSLATE_NOOP("MenuTable", "全画面表示時比率を変えずにサイズ調整"),
               false),
        item(1, "SetTD", QT_TRANSLATE_NOOP("MenuTable", "テキスト(&T)")),
        toggle(2, Command::InBaNotD, QT_TRANSLATE_NOOP("MenuTable", "INI,BATファイルのコピー禁止"), true),
        toggle(2, Command::EdiOK, QT_TRANSLATE_NOOP("MenuTable", "テキストを編集可能にする"), false),
        command(2, Command::NomSizeSet, QT_TRANSLATE_NOOP("MenuTable", "全画面時の標準文字サイズ")),
        item(1, "SetAD", QT_TRANSLATE_NOOP("MenuTable", "オーディオファイル(&A)")),
        toggle(2, Command::SetAuD, QT_TRANSLATE_NOOP("MenuTable", "ファイルを選択したら再生する"), false),
        toggle(2, Command::SetAuRepD,
               QT_TRANSLATE_NOOP("MenuTable", "ファイルを選択したらリピートをオンにする"), false),
        toggle(2, Command::SetRepD, QT_TRANSLATE_NOOP("MenuTable", "リピート時、確認をとる"), false),
        item(1, "MenuVFilelist", QT_TRANSLATE_NOOP("MenuTable", "ファイルリスト(&F)")),
        toggle(2, Command::MunuASet, QT_TRANSLATE_NOOP("MenuTable", "アーカイブファイルの表示(&A)"), true),
        toggle(2, Command::Hiddemset, QT_TRANSLATE_NOOP("MenuTable", "隠しファイルの表示(&H)"), false),
        toggle(2, Command::SYSSet, QT_TRANSLATE_NOOP("MenuTable", "ｼｽﾃﾑファイルの表示"), false),
        item(1, "JU", QT_TRANSLATE_NOOP("MenuTable", "常駐(&T)")),
        toggle(2, Command::STopJ, QT_TRANSLATE_NOOP("MenuTable", "起動時に常駐開始"), false),

        item(0, "Hel", QT_TRANSLATE_NOOP("MenuTable", "ヘルプ(&H)")),
        command(1, Command::ver, QT_TRANSLATE_NOOP("MenuTable", "ヴァージョン情報(&I)"), "F6"),
        sep(1, "ll3"),
        command(1, Command::HLPPic, QT_TRANSLATE_NOOP("MenuTable", "ヘルプ")),
        command(1, Command::HLP, QT_TRANSLATE_NOOP("MenuTable", "ゼファンユキプロジェクト公式ＨＰへ")),

        item(0, "rtfmenu", "RTF"),
        command(1, Command::rtfsa, "Save"),

        item(0, "HideMenu", "HideMenu"),
        command(1, Command::Re, QT_TRANSLATE_NOOP("MenuTable", "元の大きさに戻す(&R)")),
        sep(1, "llll"),
        command(1, Command::minws, QT_TRANSLATE_NOOP("MenuTable", "ミニマムウィンドウ(&M)")),
        command(1, Command::minwebs, QT_TRANSLATE_NOOP("MenuTable", "ミニマムWebブラウザー(&W)")),
        sep(1, "lll1"),
        command(1, Command::exit, QT_TRANSLATE_NOOP("MenuTable", "終了(&X)")),
        sep(1, "lll2"),
        command(1, Command::VrIOnfo, QT_TRANSLATE_NOOP("MenuTable", "ヴァージョン情報(&I)")),
        command(1, Command::IHelp, QT_TRANSLATE_NOOP("MenuTable", "ヘルプ(&H)")),
        sep(1, "lll3"),
        unbuilt(1, Command::InView, QT_TRANSLATE_NOOP("MenuTable", "内容のみ表示")),
    };
    return table;
}

QString menuCaption(const MenuEntry& entry) {
    return QCoreApplication::translate("MenuTable", entry.caption.toUtf8().constData());
}

} // namespace orbet
