#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "Form1Fixture.h"

// The menus of the real window, item by item, against the menu tree the
// program is designed with (written out here, not taken from its table).
namespace orbet::test {
namespace {

struct Item {
    int depth;
    const char* name;
    const char* caption; // "-" for a separator
    const char* shortcut = "";
    bool checked = false;
};

const Item kTree[] = {
    {0, "nmenu", "ファイル(&F)"},
    {1, "HexwellterOpen", "Hexwellで開く"},
    {1, "Pic1", "Kestrelの起動(&P)", "F7"},
    {1, "ll5", "-"},
    {1, "AngF", "暗号化ファイルの操作"},
    {2, "PasAng", "パスワード付き暗号化"},
    {2, "PassHuku", "パスワード付き復号"},
    {2, "Ang", "暗号化"},
    {2, "Huk", "復号"},
    {1, "Kaku", "拡張子変換ﾂｰﾙ", "Ctrl+F9"},
    {1, "ll8", "-"},
    {1, "Finfomaintion", "ファイル情報"},
    {1, "FlistMake", "ファイルリスト作成(&F)"},
    {2, "DirFL", "現在のフォルダのすべてのファイルで作成"},
    {2, "NowFlistToFL", "現在のファイルリストから作成"},
    {1, "A", "-"},
    {1, "OPPR", "拡張子、関連づけのプログラムで開く(&O)", "F9"},
    {1, "l", "-"},
    {1, "Openfile", "開く(&O)"},
    {1, "ll7", "-"},
    {1, "FiltSet", "フィルターの追加", "Ctrl+A"},
    {1, "FiltEdi", "追加フィルターの整理", "Ctrl+F"},
    {1, "l2", "-"},
    {1, "pri", "印刷(&P)", "Ctrl+P"},
    {1, "l3", "-"},
    {1, "Cop", "コピー作成(&C)", "Ctrl+C"},
    {1, "del", "削除(&D)", "Ctrl+D"},
    {1, "l4", "-"},
    {1, "exi", "Orbetの終了(&X)", "Ctrl+X"},
    {0, "MPath", "フォルダ(&P)"},
    {1, "FoInfo", "フォルダ情報"},
    {1, "DriveInfo", "ドライブ情報"},
    {1, "l9", "-"},
    {1, "directdir", "パスﾀﾞｲﾚｸﾄ入力(&D)", "F4"},
    {1, "l8", "-"},
    {1, "makedir", "現在のフォルダに新しいフォルダを作成(&N)"},
    {1, "XCopy", "現在のフォルダをコピー(&C)"},
    {1, "MoveFolder", "現在のフォルダを削除"},
    {1, "np", "-"},
    {1, "ToWin", "Windowsフォルダへ"},
    {1, "ToDesk", "デスクトップへ"},
    {1, "ToMyDoc", "マイドキュメントへ"},
    {1, "lll5", "-"},
    {1, "Fmoju", "フォルダ/ファイル検索ﾂｰﾙ", "Ctrl+S"},
    {1, "lll6", "-"},
    {1, "ExpNow", "現在のディレクトリ", "F12"},
    {1, "Expl", "ｴｸｽﾌﾟﾛｰﾗ通常起動", "F11"},
    {1, "l7", "-"},
    {1, "AddO", "お気に入りへの追加(&A)", "F1"},
    {1, "CallO", "お気に入りの呼び出し(&C)", "F2"},
    {1, "chekO", "お気に入りのチェック(&C)", "F3"},
    {0, "MVisu", "表示(&V)"},
    {1, "taskTin", "タスクトレイに入れる"},
    {1, "ZenBit", "全画面表示(&L)", "F8"},
    {1, "FitPane", "画面に合わせて表示"},
    {1, "minwindow", "ミニマムウィンドウ(&M)"},
    {1, "MiniWebGo", "ミニマムWebブラウザ(Powered By IE)"},
    {1, "lll9", "-"},
    {1, "Dexit", "即座に画面排除後、強制終了", "Shift+Del"},
    {1, "OutF", "画面外強制移動(&O)", "Alt+Backspace"},
    {1, "lll10", "-"},
    {1, "SPlug", "SusiePlugin情報(&S)"},
    {1, "lll11", "-"},
    {1, "ReViewS", "最新の情報に更新", "F5"},
    {1, "OptionS", "オプション(&O)", "Ctrl+O"},
    {0, "MenuPro", "プログラム(&P)"},
    {1, "OPRT", "ゼファンプロジェクト　リッチテキストエディター(&R)"},
    {1, "ll", "-"},
    {1, "ll6", "-"},
    {1, "ll4", "-"},
    {1, "ll2", "-"},
    {0, "SetD", "設定(&S)"},
    {1, "PsetD", "ピクチャー(&P)"},
    {2, "SetAutoPD", "全画面表示の自動サイズ調整", "", true},
    {2, "ZenHi", "全画面表示時比率を変えずにサイズ調整"},
    {1, "SetTD", "テキスト(&T)"},
    {2, "InBaNotD", "INI,BATファイルのコピー禁止", "", true},
    {2, "EdiOK", "テキストを編集可能にする"},
    {2, "NomSizeSet", "全画面時の標準文字サイズ"},
    {1, "SetAD", "オーディオファイル(&A)"},
    {2, "SetAuD", "ファイルを選択したら再生する"},
    {2, "SetAuRepD", "ファイルを選択したらリピートをオンにする"},
    {2, "SetRepD", "リピート時、確認をとる"},
    {1, "MenuVFilelist", "ファイルリスト(&F)"},
    {2, "MunuASet", "アーカイブファイルの表示(&A)", "", true},
    {2, "Hiddemset", "隠しファイルの表示(&H)"},
    {2, "SYSSet", "ｼｽﾃﾑファイルの表示"},
    {1, "JU", "常駐(&T)"},
    {2, "STopJ", "起動時に常駐開始"},
    {0, "Hel", "ヘルプ(&H)"},
    {1, "ver", "ヴァージョン情報(&I)", "F6"},
    {1, "ll3", "-"},
    {1, "HLPPic", "ヘルプ"},
    {1, "HLP", "ゼファンユキプロジェクト公式ＨＰへ"},
    {0, "rtfmenu", "RTF"},
    {1, "rtfsa", "Save"},
    {0, "HideMenu", "HideMenu"},
    {1, "Re", "元の大きさに戻す(&R)"},
    {1, "llll", "-"},
    {1, "minws", "ミニマムウィンドウ(&M)"},
    {1, "minwebs", "ミニマムWebブラウザー(&W)"},
    {1, "lll1", "-"},
    {1, "exit", "終了(&X)"},
    {1, "lll2", "-"},
    {1, "VrIOnfo", "ヴァージョン情報(&I)"},
    {1, "IHelp", "ヘルプ(&H)"},
    {1, "lll3", "-"},
    {1, "InView", "内容のみ表示"},
};

struct Shown {
    int depth;
    QString name, caption, shortcut;
    bool checked;
};

void walk(const QMenu* menu, int depth, std::vector<Shown>& out) {
    out.push_back({depth, menu->objectName(), menu->title(), QString(), false});
    for (const QAction* a : menu->actions()) {
        if (a->menu()) {
            walk(a->menu(), depth + 1, out);
            continue;
        }
        out.push_back({depth + 1, a->objectName(), a->isSeparator() ? QStringLiteral("-") : a->text(),
                       a->shortcut().toString(QKeySequence::PortableText), a->isChecked()});
    }
}

TEST_F(Form1Test, MenuTreeMatchesTheDesignItemByItem) {
    Form1& f = start();
    std::vector<Shown> shown;
    for (const QAction* top : f.menuBar()->actions())
        walk(top->menu(), 0, shown);
    walk(f.menu("rtfmenu"), 0, shown);
    walk(f.menu("HideMenu"), 0, shown);
    ASSERT_EQ(shown.size(), std::size(kTree));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Item& want = kTree[i];
        const Shown& got = shown[i];
        EXPECT_EQ(got.depth, want.depth) << want.name;
        EXPECT_EQ(got.name, QString::fromLatin1(want.name)) << i;
        EXPECT_EQ(got.caption, QString::fromUtf8(want.caption)) << want.name;
        EXPECT_EQ(got.shortcut, QString::fromLatin1(want.shortcut)) << want.name;
        EXPECT_EQ(got.checked, want.checked) << want.name;
    }
    // Only the two pop-ups stay off the menu bar.
    EXPECT_EQ(f.menuBar()->actions().size(), 6);
}

} // namespace
} // namespace orbet::test
