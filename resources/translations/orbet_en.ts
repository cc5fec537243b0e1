<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>BinAngsDL</name>
    <message>
        <source>ファイルが見つかりません<byte value="xd"/>
</source>
        <translation>The file was not found<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>パスワードが違います</source>
        <translation>The password is wrong</translation>
    </message>
    <message>
        <source>同じファイル名が存在します、上書きしますか？</source>
        <translation>A file of the same name exists. Overwrite it?</translation>
    </message>
    <message>
        <source>ファイル名に改行などの制御文字が含まれているため、暗号化できません</source>
        <translation>The file name holds control characters such as line breaks, so it cannot be protected</translation>
    </message>
    <message>
        <source>通常のファイルではないため、暗号化できません</source>
        <translation>Not a regular file, so it cannot be protected</translation>
    </message>
    <message>
        <source>保存されているファイル名に制御文字が含まれているため、復号できません</source>
        <translation>The stored file name holds control characters, so it cannot be restored</translation>
    </message>
    <message>
        <source>通常のファイルではないため、復号できません</source>
        <translation>Not a regular file, so it cannot be restored</translation>
    </message>
    <message>
        <source>同じ名前のフォルダが存在するため、復号したファイルを出力できません</source>
        <translation>A folder of the same name exists, so the restored file cannot be written</translation>
    </message>
    <message>
        <source>ファイルを書き込めませんでした<byte value="xd"/>
</source>
        <translation>The file could not be written<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>ファイルを読み込めませんでした</source>
        <translation>The file could not be read</translation>
    </message>
    <message>
        <source>KTXﾊﾞｲﾅﾘｻｰﾊﾞｰ ｴﾗｰ</source>
        <translation>KTX binary server error</translation>
    </message>
    <message>
        <source>-ｴﾗｰ</source>
        <translation> - error</translation>
    </message>
    <message>
        <source>%1を暗号化しています</source>
        <translation>Protecting %1</translation>
    </message>
    <message>
        <source>%1を復号しています</source>
        <translation>Restoring %1</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>ファイルが指定されていません</source>
        <translation>No file is selected</translation>
    </message>
    <message>
        <source>を、関連づけされているプログラムで開きます。よろしいですか？</source>
        <translation> will be opened with its associated program. Continue?</translation>
    </message>
    <message>
        <source>複数のファイルが読まれましたが%1だけを有効とします</source>
        <translation>Several files were given; only %1 is used</translation>
    </message>
</context>
<context>
    <name>EncryptionCommands</name>
    <message>
        <source>KTXパスワード付き暗号化ファイル(*.ang)|*.ang</source>
        <translation>KTX password-protected files (*.ang)|*.ang</translation>
    </message>
    <message>
        <source>パスワードが入力されていないため、暗号化ファイルは作成しませんでした</source>
        <translation>No password was given, so no protected file was made</translation>
    </message>
    <message>
        <source>パスワードを入力してください</source>
        <translation>Enter the password</translation>
    </message>
    <message>
        <source>ファイルが指定されていません</source>
        <translation>No file is selected</translation>
    </message>
    <message>
        <source>パスワード付き暗号化（暗号化保存）</source>
        <translation>Protect with a password (save protected)</translation>
    </message>
    <message>
        <source>同じファイル名が存在します、上書きしますか？</source>
        <translation>A file of the same name exists. Overwrite it?</translation>
    </message>
    <message>
        <source>パスワード付き復号（復号後保存）</source>
        <translation>Restore with a password (save restored)</translation>
    </message>
    <message>
        <source>ファイルが存在しません</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>%1に出力完了</source>
        <translation>Written to %1</translation>
    </message>
    <message>
        <source>暗号化を中止しました。ファイルは書き込んでいません</source>
        <translation>Protecting was stopped. No file was written</translation>
    </message>
    <message>
        <source>復号を中止しました。ファイルは書き込んでいません</source>
        <translation>Restoring was stopped. No file was written</translation>
    </message>
</context>
<context>
    <name>ExtensionTool</name>
    <message>
        <source>拡張子変換ツール</source>
        <translation>Extension changer</translation>
    </message>
    <message>
        <source>変換の対象となる拡張子（左）：</source>
        <translation>Extension to change (left):</translation>
    </message>
    <message>
        <source>変換後の拡張子（右）：</source>
        <translation>New extension (right):</translation>
    </message>
    <message>
        <source>変換する拡張子の入力方式は&quot;．&quot;の後の文字のみでOKです</source>
        <translation>Type the extensions without the &quot;.&quot;</translation>
    </message>
    <message>
        <source>読み込み専用ファイル</source>
        <translation>Read-only files</translation>
    </message>
    <message>
        <source>システムファイル</source>
        <translation>System files</translation>
    </message>
    <message>
        <source>隠しファイル</source>
        <translation>Hidden files</translation>
    </message>
    <message>
        <source>変換</source>
        <translation>Change</translation>
    </message>
    <message>
        <source><byte value="xd"/>
は変換できませんでした</source>
        <translation><byte value="xd"/>
could not be changed</translation>
    </message>
</context>
<context>
    <name>ExternalPrograms</name>
    <message>
        <source>ファイルが指定されていません</source>
        <translation>No file is selected</translation>
    </message>
    <message>
        <source>ヴァージョン情報</source>
        <translation>About Orbet</translation>
    </message>
    <message>
        <source>© 2026 The Orbet developers
MIT ライセンスで配布しています</source>
        <translation>© 2026 The Orbet developers
Distributed under the MIT licence</translation>
    </message>
    <message>
        <source>ゼファンプロジェクト</source>
        <translation>Zephan Project</translation>
    </message>
    <message>
        <source> が見つかりません。</source>
        <translation> was not found.</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>FavouritesDialog</name>
    <message>
        <source>お気に入りパス呼び出し</source>
        <translation>Go to a favourite folder</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>選択してください</source>
        <translation>Please select an entry</translation>
    </message>
    <message>
        <source>そのパスは存在しません</source>
        <translation>That path does not exist</translation>
    </message>
    <message>
        <source>これ以上移動できません</source>
        <translation>It cannot move any further</translation>
    </message>
    <message>
        <source>現在のパスをお気に入りに登録します。よろしいですか？</source>
        <translation>Add the current folder to the favourites?</translation>
    </message>
    <message>
        <source>登録されていません</source>
        <translation>No favourites are registered</translation>
    </message>
    <message>
        <source>チェックする必要がありません</source>
        <translation>There is nothing to check</translation>
    </message>
    <message>
        <source>パスソート中_</source>
        <translation>Sorting paths_</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>%1%2個</source>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>&#x3000;%1</source>
        <translation>  %1</translation>
    </message>
    <message>
        <source>&#x3000;ほか%1個</source>
        <translation>  and %1 more</translation>
    </message>
    <message>
        <source>コピーしたファイル：</source>
        <translation>Files copied: </translation>
    </message>
    <message>
        <source>上書きしなかったファイル：</source>
        <translation>Files not overwritten: </translation>
    </message>
    <message>
        <source>コピーできなかったファイル：</source>
        <translation>Files that could not be copied: </translation>
    </message>
    <message>
        <source>ファイルが指定されていません</source>
        <translation>No file is selected</translation>
    </message>
    <message>
        <source>そのファイルはコピー禁止になっています</source>
        <translation>Copying this file is not allowed</translation>
    </message>
    <message>
        <source>コピー作成</source>
        <translation>Copy to</translation>
    </message>
    <message>
        <source>キャンセルしました</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>コピー元とファイル名が同じです<byte value="xd"/>
コピーできませんでした</source>
        <translation>The copy has the same name as the original<byte value="xd"/>
Nothing was copied</translation>
    </message>
    <message>
        <source>エラー ファイルにライトプロテクトがかかっているか、すでにそのファイルは開かれています</source>
        <translation>Error: the file is write-protected or already open</translation>
    </message>
    <message>
        <source>を削除します<byte value="xd"/>
よろしいですか？</source>
        <translation> will be deleted<byte value="xd"/>
Are you sure?</translation>
    </message>
    <message>
        <source>削除を取り消しました</source>
        <translation>Nothing was deleted</translation>
    </message>
    <message>
        <source>を削除できませんでした</source>
        <translation> could not be deleted</translation>
    </message>
    <message>
        <source>を削除しました</source>
        <translation> was deleted</translation>
    </message>
    <message>
        <source>新しいフォルダ名を入力してください</source>
        <translation>Enter the new folder&apos;s name</translation>
    </message>
    <message>
        <source>フォルダの作成</source>
        <translation>New folder</translation>
    </message>
    <message>
        <source>はすでに存在しています</source>
        <translation> already exists</translation>
    </message>
    <message>
        <source>を作成できませんでした</source>
        <translation> could not be created</translation>
    </message>
    <message>
        <source>コピー先のパスを入力してください。もし存在しなければそのフォルダを作成することも出来ます</source>
        <translation>Enter the folder to copy to. If it does not exist, it can be created</translation>
    </message>
    <message>
        <source><byte value="xd"/>
コピー先がコピー元のフォルダと同じか、その中にあります<byte value="xd"/>
コピーできませんでした</source>
        <translation><byte value="xd"/>
The destination is the folder itself or lies inside it<byte value="xd"/>
Nothing was copied</translation>
    </message>
    <message>
        <source>は存在しません作成しますか？</source>
        <translation> does not exist. Create it?</translation>
    </message>
    <message>
        <source>処理を取り消しました</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>もし同じファイル及びフォルダがあった場合上書きしますか？（はい＝上書き許可 いいえ＝上書きしない&#x3000;キャンセル＝処理の取り消し）</source>
        <translation>Overwrite files and folders of the same name? (Yes = overwrite, No = keep them, Cancel = stop)</translation>
    </message>
    <message>
        <source>はドライブのルートなので削除できません</source>
        <translation> is the root of a drive and cannot be deleted</translation>
    </message>
    <message>
        <source>にはホームフォルダが含まれているため削除できません</source>
        <translation> holds a home folder and cannot be deleted</translation>
    </message>
    <message>
        <source>別のドライブなので削除しなかったフォルダ：</source>
        <translation>Folders on another drive, not deleted: </translation>
    </message>
    <message>
        <source>削除できなかったもの：</source>
        <translation>Could not be deleted: </translation>
    </message>
    <message>
        <source>をすべては削除できませんでした</source>
        <translation> could not be deleted completely</translation>
    </message>
    <message>
        <source>テキストファイル(*.txt)|*.txt|オーディオリスト(*.m3u)|*.m3u</source>
        <translation>Text files (*.txt)|*.txt|Audio lists (*.m3u)|*.m3u</translation>
    </message>
    <message>
        <source><byte value="xd"/>
ファイルリストを作成できませんでした</source>
        <translation><byte value="xd"/>
The file list could not be made</translation>
    </message>
    <message>
        <source>ファイル情報</source>
        <translation>File information</translation>
    </message>
    <message>
        <source><byte value="xd"/>
フォルダです</source>
        <translation><byte value="xd"/>
is a folder</translation>
    </message>
    <message>
        <source>%1をコピーしています（%2 / %3 MB）</source>
        <translation>Copying %1 (%2 / %3 MB)</translation>
    </message>
    <message>
        <source>%1のコピーを中止しました。コピー先には何も書き込んでいません</source>
        <translation>The copy of %1 was stopped. Nothing was written at the destination</translation>
    </message>
    <message>
        <source>ファイルをコピーしています（%1 / %2 個）
%3</source>
        <translation>Copying files (%1 of %2)
%3</translation>
    </message>
    <message>
        <source>フォルダのコピー</source>
        <translation>Copy folder</translation>
    </message>
    <message>
        <source>%1 個のファイルのうち %2 個まで進んだところで中止しました</source>
        <translation>Stopped after %2 of %1 files</translation>
    </message>
    <message>
        <source>ファイルを削除しています（%1 / %2 個）
%3</source>
        <translation>Deleting files (%1 of %2)
%3</translation>
    </message>
    <message>
        <source>フォルダの削除</source>
        <translation>Delete folder</translation>
    </message>
    <message>
        <source>%1の削除を中止しました。削除したファイル：%2個、残っているファイル：%3個</source>
        <translation>Deleting %1 was stopped. Files deleted: %2, files remaining: %3</translation>
    </message>
    <message>
        <source>ファイルリストを作成しています（%1 / %2 個）</source>
        <translation>Making the file list (%1 of %2)</translation>
    </message>
    <message>
        <source>ファイルリストの作成</source>
        <translation>Make a file list</translation>
    </message>
    <message>
        <source>ファイルリストの作成を中止しました。%1には何も書き込んでいません</source>
        <translation>Making the file list was stopped. Nothing was written to %1</translation>
    </message>
</context>
<context>
    <name>FileKinds</name>
    <message>
        <source>すべてのピクチャファイル</source>
        <translation>All picture files</translation>
    </message>
    <message>
        <source>BMPファイル</source>
        <translation>BMP files</translation>
    </message>
    <message>
        <source>GIFファイル</source>
        <translation>GIF files</translation>
    </message>
    <message>
        <source>JPG,JPEGファイル</source>
        <translation>JPG, JPEG files</translation>
    </message>
    <message>
        <source>ICOファイル</source>
        <translation>ICO files</translation>
    </message>
    <message>
        <source>WMFファイル</source>
        <translation>WMF files</translation>
    </message>
    <message>
        <source>テキストファイル</source>
        <translation>Text files</translation>
    </message>
    <message>
        <source>リッチテキストファイル</source>
        <translation>Rich text files</translation>
    </message>
    <message>
        <source>TXT,RTF,INI,BATファイル</source>
        <translation>TXT, RTF, INI, BAT files</translation>
    </message>
    <message>
        <source>HTML文書</source>
        <translation>HTML documents</translation>
    </message>
    <message>
        <source>オーディオファイル</source>
        <translation>Audio files</translation>
    </message>
    <message>
        <source>MPEG-Layer-3 ファイル</source>
        <translation>MPEG Layer-3 files</translation>
    </message>
    <message>
        <source>WAV,MIDファイル</source>
        <translation>WAV, MID files</translation>
    </message>
    <message>
        <source>プログラム,ヘルプ(EXE,COM,SCR,HLP)</source>
        <translation>Programs, help (EXE, COM, SCR, HLP)</translation>
    </message>
    <message>
        <source>すべてのファイル </source>
        <translation>All files </translation>
    </message>
</context>
<context>
    <name>FileListing</name>
    <message>
        <source>ﾊﾞｲﾄ</source>
        <translation> bytes</translation>
    </message>
</context>
<context>
    <name>FilterDialogs</name>
    <message>
        <source>正しい入力でありません</source>
        <translation>The input is not valid</translation>
    </message>
    <message>
        <source>ファイルフィルター新規登録ﾀﾞｲｱﾛｸﾞ</source>
        <translation>New file filter</translation>
    </message>
    <message>
        <source>登録名(&amp;N)：</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>フィルター</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>ここに、ファイルをドロップすると、拡張子を自動認識します。↓</source>
        <translation>Drop a file here to take its extension. ↓</translation>
    </message>
    <message>
        <source>読み込み方式</source>
        <translation>Shown as</translation>
    </message>
    <message>
        <source>ピクチャー</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>WWWブラウザ</source>
        <translation>Web browser</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>空きがありません</source>
        <translation>There is no free slot</translation>
    </message>
    <message>
        <source>追加フィルターの整理</source>
        <translation>Organise added filters</translation>
    </message>
    <message>
        <source>フィルタデータ</source>
        <translation>Filter data</translation>
    </message>
    <message>
        <source>オールデリート</source>
        <translation>Delete all</translation>
    </message>
</context>
<context>
    <name>FilterRules</name>
    <message>
        <source>ピクチャー形式</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>テキスト形式</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>WWWブラウザ形式</source>
        <translation>Web browser</translation>
    </message>
    <message>
        <source>実行可能型</source>
        <translation>Executable</translation>
    </message>
</context>
<context>
    <name>FolderSearch</name>
    <message>
        <source> 検索中... </source>
        <translation> searching... </translation>
    </message>
    <message>
        <source>検索中止 %1のオブジェクト 内ディレクトリ%2  ファイル%3</source>
        <translation>Search stopped: %1 objects, of which %2 folders  %3 files</translation>
    </message>
    <message>
        <source>検索完了 %1のオブジェクト 内ディレクトリ%2  ファイル%3</source>
        <translation>Search done: %1 objects, of which %2 folders  %3 files</translation>
    </message>
    <message>
        <source>  読めないディレクトリ%1</source>
        <translation>  unreadable folders %1</translation>
    </message>
</context>
<context>
    <name>FolderTree</name>
    <message>
        <source>デバイスの準備ができていません。</source>
        <translation>The device is not ready.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>初期化</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>メディアコントロール</source>
        <translation>Media control</translation>
    </message>
</context>
<context>
    <name>Form3</name>
    <message>
        <source>ミニマムディレクトリチェンジャー</source>
        <translation>Mini folder changer</translation>
    </message>
    <message>
        <source>ドライブを変更する際は直接入力してEnterを押してください</source>
        <translation>To change the drive, type it and press Enter</translation>
    </message>
    <message>
        <source>ミニマムディレクトリチェンジャー&#x3000;- </source>
        <translation>Mini folder changer - </translation>
    </message>
    <message>
        <source>は利用出来ない状況にあるか存在しません</source>
        <translation> is not available or does not exist</translation>
    </message>
</context>
<context>
    <name>HideForm</name>
    <message>
        <source>フォルダ/ファイル検索ﾂｰﾙ</source>
        <translation>Folder/file search tool</translation>
    </message>
    <message>
        <source>検索対象</source>
        <translation>Search for</translation>
    </message>
    <message>
        <source>ディレクトリ</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>両方</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>下層ディレクトリ検索</source>
        <translation>Search subfolders</translation>
    </message>
    <message>
        <source>ソート</source>
        <translation>Sort</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Ｄ＞Ｆ</source>
        <translation>Folders first</translation>
    </message>
    <message>
        <source>Ｆ＞Ｄ</source>
        <translation>Files first</translation>
    </message>
    <message>
        <source>高速処理(リストボックスを隠す)</source>
        <translation>Faster (hide the list)</translation>
    </message>
    <message>
        <source>検索開始</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>出力先</source>
        <translation>Send to</translation>
    </message>
    <message>
        <source>親フォーム</source>
        <translation>Main window</translation>
    </message>
    <message>
        <source>フォルダーフォーム</source>
        <translation>Folder form</translation>
    </message>
    <message>
        <source>フォルダ検索ツール</source>
        <translation>Folder search tool</translation>
    </message>
    <message>
        <source>反映</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>選択してください</source>
        <translation>Please select an entry</translation>
    </message>
    <message>
        <source>選択されていません</source>
        <translation>Nothing is selected</translation>
    </message>
</context>
<context>
    <name>InformationTexts</name>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>作成日時:&#x3000;</source>
        <translation>Created:  </translation>
    </message>
    <message>
        <source>更新日時&#x3000;:</source>
        <translation>Modified: </translation>
    </message>
    <message>
        <source>アクセス日:</source>
        <translation>Accessed: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;フォルダ名：</source>
        <translation>Folder name: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;パス：</source>
        <translation>       Path: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;Size：</source>
        <translation>       Size: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;&#x3000;Type：</source>
        <translation>       Type: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;全容量：</source>
        <translation>  Capacity: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;空き容量：</source>
        <translation>      Free: </translation>
    </message>
    <message>
        <source>シリアルＮＯ：</source>
        <translation>Serial no.: </translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;共有名：</source>
        <translation>     Share: </translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>MediaPanel</name>
    <message>
        <source>再生できません: %1</source>
        <translation>Cannot play: %1</translation>
    </message>
    <message>
        <source>メディアを開けませんでした</source>
        <translation>The media could not be opened</translation>
    </message>
    <message>
        <source>再生中</source>
        <translation>Playing</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>リピートしますか？<byte value="xd"/>
</source>
        <translation>Play it again?<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>MenuTable</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Hexwellで開く</source>
        <translation>Open in Hexwell</translation>
    </message>
    <message>
        <source>Kestrelの起動(&amp;P)</source>
        <translation>Start Kestrel (&amp;P)</translation>
    </message>
    <message>
        <source>暗号化ファイルの操作</source>
        <translation>Protected files</translation>
    </message>
    <message>
        <source>パスワード付き暗号化</source>
        <translation>Protect with a password</translation>
    </message>
    <message>
        <source>パスワード付き復号</source>
        <translation>Restore with a password</translation>
    </message>
    <message>
        <source>暗号化</source>
        <translation>Protect</translation>
    </message>
    <message>
        <source>復号</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>拡張子変換ﾂｰﾙ</source>
        <translation>Extension changer</translation>
    </message>
    <message>
        <source>ファイル情報</source>
        <translation>File information</translation>
    </message>
    <message>
        <source>ファイルリスト作成(&amp;F)</source>
        <translation>Make a &amp;file list</translation>
    </message>
    <message>
        <source>現在のフォルダのすべてのファイルで作成</source>
        <translation>From every file of the current folder</translation>
    </message>
    <message>
        <source>現在のファイルリストから作成</source>
        <translation>From the current file list</translation>
    </message>
    <message>
        <source>拡張子、関連づけのプログラムで開く(&amp;O)</source>
        <translation>&amp;Open with the associated program</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>フィルターの追加</source>
        <translation>Add a filter</translation>
    </message>
    <message>
        <source>追加フィルターの整理</source>
        <translation>Organise added filters</translation>
    </message>
    <message>
        <source>印刷(&amp;P)</source>
        <translation>&amp;Print</translation>
    </message>
    <message>
        <source>コピー作成(&amp;C)</source>
        <translation>&amp;Copy to</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Orbetの終了(&amp;X)</source>
        <translation>E&amp;xit Orbet</translation>
    </message>
    <message>
        <source>フォルダ(&amp;P)</source>
        <translation>Fold&amp;er</translation>
    </message>
    <message>
        <source>フォルダ情報</source>
        <translation>Folder information</translation>
    </message>
    <message>
        <source>ドライブ情報</source>
        <translation>Drive information</translation>
    </message>
    <message>
        <source>パスﾀﾞｲﾚｸﾄ入力(&amp;D)</source>
        <translation>Type a path &amp;directly</translation>
    </message>
    <message>
        <source>現在のフォルダに新しいフォルダを作成(&amp;N)</source>
        <translation>&amp;New folder in the current folder</translation>
    </message>
    <message>
        <source>現在のフォルダをコピー(&amp;C)</source>
        <translation>&amp;Copy the current folder</translation>
    </message>
    <message>
        <source>現在のフォルダを削除</source>
        <translation>Delete the current folder</translation>
    </message>
    <message>
        <source>Windowsフォルダへ</source>
        <translation>To the Windows folder</translation>
    </message>
    <message>
        <source>デスクトップへ</source>
        <translation>To the desktop</translation>
    </message>
    <message>
        <source>マイドキュメントへ</source>
        <translation>To my documents</translation>
    </message>
    <message>
        <source>フォルダ/ファイル検索ﾂｰﾙ</source>
        <translation>Folder/file search tool</translation>
    </message>
    <message>
        <source>現在のディレクトリ</source>
        <translation>Current folder</translation>
    </message>
    <message>
        <source>ｴｸｽﾌﾟﾛｰﾗ通常起動</source>
        <translation>Start the file manager</translation>
    </message>
    <message>
        <source>お気に入りへの追加(&amp;A)</source>
        <translation>&amp;Add to favourites</translation>
    </message>
    <message>
        <source>お気に入りの呼び出し(&amp;C)</source>
        <translation>&amp;Go to a favourite</translation>
    </message>
    <message>
        <source>お気に入りのチェック(&amp;C)</source>
        <translation>&amp;Check favourites</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>タスクトレイに入れる</source>
        <translation>Put in the notification area</translation>
    </message>
    <message>
        <source>全画面表示(&amp;L)</source>
        <translation>Fu&amp;ll screen</translation>
    </message>
    <message>
        <source>画面に合わせて表示</source>
        <translation>Fit to pane</translation>
    </message>
    <message>
        <source>ミニマムウィンドウ(&amp;M)</source>
        <translation>&amp;Minimum window</translation>
    </message>
    <message>
        <source>ミニマムWebブラウザ(Powered By IE)</source>
        <translation>Mini web browser</translation>
    </message>
    <message>
        <source>即座に画面排除後、強制終了</source>
        <translation>Hide at once and quit</translation>
    </message>
    <message>
        <source>画面外強制移動(&amp;O)</source>
        <translation>Move &amp;off the screen</translation>
    </message>
    <message>
        <source>SusiePlugin情報(&amp;S)</source>
        <translation>&amp;Susie plug-in information</translation>
    </message>
    <message>
        <source>最新の情報に更新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>オプション(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>プログラム(&amp;P)</source>
        <translation>&amp;Programs</translation>
    </message>
    <message>
        <source>ゼファンプロジェクト&#x3000;リッチテキストエディター(&amp;R)</source>
        <translation>Zephan Project &amp;rich text editor</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>ピクチャー(&amp;P)</source>
        <translation>&amp;Picture</translation>
    </message>
    <message>
        <source>全画面表示の自動サイズ調整</source>
        <translation>Fit pictures in full screen</translation>
    </message>
    <message>
        <source>全画面表示時比率を変えずにサイズ調整</source>
        <translation>Fit pictures in full screen keeping their ratio</translation>
    </message>
    <message>
        <source>テキスト(&amp;T)</source>
        <translation>&amp;Text</translation>
    </message>
    <message>
        <source>INI,BATファイルのコピー禁止</source>
        <translation>Do not copy INI and BAT files</translation>
    </message>
    <message>
        <source>テキストを編集可能にする</source>
        <translation>Allow editing texts</translation>
    </message>
    <message>
        <source>全画面時の標準文字サイズ</source>
        <translation>Text size in full screen</translation>
    </message>
    <message>
        <source>オーディオファイル(&amp;A)</source>
        <translation>&amp;Audio files</translation>
    </message>
    <message>
        <source>ファイルを選択したら再生する</source>
        <translation>Play a file when it is selected</translation>
    </message>
    <message>
        <source>ファイルを選択したらリピートをオンにする</source>
        <translation>Turn repeat on when a file is selected</translation>
    </message>
    <message>
        <source>リピート時、確認をとる</source>
        <translation>Ask before repeating</translation>
    </message>
    <message>
        <source>ファイルリスト(&amp;F)</source>
        <translation>&amp;File list</translation>
    </message>
    <message>
        <source>アーカイブファイルの表示(&amp;A)</source>
        <translation>Show &amp;archive files</translation>
    </message>
    <message>
        <source>隠しファイルの表示(&amp;H)</source>
        <translation>Show &amp;hidden files</translation>
    </message>
    <message>
        <source>ｼｽﾃﾑファイルの表示</source>
        <translation>Show system files</translation>
    </message>
    <message>
        <source>常駐(&amp;T)</source>
        <translation>S&amp;tay resident</translation>
    </message>
    <message>
        <source>起動時に常駐開始</source>
        <translation>Stay resident from the start</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ヴァージョン情報(&amp;I)</source>
        <translation>&amp;About Orbet</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>ゼファンユキプロジェクト公式ＨＰへ</source>
        <translation>Zephan Yuki Project home page</translation>
    </message>
    <message>
        <source>元の大きさに戻す(&amp;R)</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>ミニマムWebブラウザー(&amp;W)</source>
        <translation>Mini &amp;web browser</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>内容のみ表示</source>
        <translation>Show the content only</translation>
    </message>
</context>
<context>
    <name>MiniWebBrowser</name>
    <message>
        <source>ミニマムWebブラウザー</source>
        <translation>Mini web browser</translation>
    </message>
    <message>
        <source>URL：</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>ダウンロードしたファイルの保存</source>
        <translation>Save the downloaded file</translation>
    </message>
    <message>
        <source>すべてのファイル(*.*)|*.*</source>
        <translation>All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>送信するファイルの選択</source>
        <translation>Choose a file to send</translation>
    </message>
</context>
<context>
    <name>MiniWindow</name>
    <message>
        <source>ミニディレクトリチェンジャー</source>
        <translation>Mini folder changer</translation>
    </message>
    <message>
        <source>ミニマムウィンドウ - </source>
        <translation>Minimum window - </translation>
    </message>
</context>
<context>
    <name>Navigator</name>
    <message>
        <source>0ﾊﾞｲﾄ</source>
        <translation>0 bytes</translation>
    </message>
    <message>
        <source>に新しいフォルダを作成</source>
        <translation>: make a new folder here</translation>
    </message>
    <message>
        <source>探査対象</source>
        <translation>Showing </translation>
    </message>
    <message>
        <source>ERROR01<byte value="xd"/>
ファイルパターンに予期せぬエラーが発生しました<byte value="xd"/>
ファイルパターンを初期化します</source>
        <translation>ERROR01<byte value="xd"/>
An unexpected error occurred in the file pattern<byte value="xd"/>
The file pattern is reset</translation>
    </message>
    <message>
        <source>%1   %2内%3のファイル</source>
        <translation>%1   %3 files in %2</translation>
    </message>
    <message>
        <source>%1   %2内%3のオブジェクト</source>
        <translation>%1   %3 objects in %2</translation>
    </message>
</context>
<context>
    <name>OptionCommands</name>
    <message>
        <source>EXIFの回転情報の設定を保存できませんでした。<byte value="xd"/>
</source>
        <translation>The EXIF orientation setting could not be saved.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所を保存できませんでした。設定は変更されていません。<byte value="xd"/>
</source>
        <translation>The Susie plug-in folder could not be saved. No setting was changed.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>表示言語の設定を保存できませんでした。<byte value="xd"/>
%1</source>
        <translation>The interface language could not be saved.<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>OptionForm</name>
    <message>
        <source>EXIFの回転情報に従って表示する</source>
        <translation>Show pictures upright by their EXIF orientation</translation>
    </message>
    <message>
        <source>ファイルを選択すると同時に再生する</source>
        <translation>Play a file as soon as it is selected</translation>
    </message>
    <message>
        <source>ファイルを選択すると同時にリピートをオンにする</source>
        <translation>Turn repeat on as soon as a file is selected</translation>
    </message>
    <message>
        <source>リピート時確認をとる</source>
        <translation>Ask before repeating</translation>
    </message>
    <message>
        <source>INI,BATファイルのコピー禁止</source>
        <translation>Do not copy INI and BAT files</translation>
    </message>
    <message>
        <source>テキストを編集可能にする</source>
        <translation>Allow editing texts</translation>
    </message>
    <message>
        <source>テキスト設定(&amp;T)</source>
        <translation>&amp;Text settings</translation>
    </message>
    <message>
        <source>アーカイブファイルの表示</source>
        <translation>Show archive files</translation>
    </message>
    <message>
        <source>隠しファイルの表示</source>
        <translation>Show hidden files</translation>
    </message>
    <message>
        <source>システムファイルの表示</source>
        <translation>Show system files</translation>
    </message>
    <message>
        <source>ファイルリスト(&amp;F)</source>
        <translation>&amp;File list</translation>
    </message>
    <message>
        <source>隠しフォルダを表示する</source>
        <translation>Show hidden folders</translation>
    </message>
    <message>
        <source>ノード展開時そのノードのパスを設定する</source>
        <translation>Go to a folder when it is expanded</translation>
    </message>
    <message>
        <source>ノード折りたたみ時そのノードのパスを設定する</source>
        <translation>Go to a folder when it is collapsed</translation>
    </message>
    <message>
        <source>ディレクトリノード</source>
        <translation>Folder tree</translation>
    </message>
    <message>
        <source>画像変形(&amp;G)</source>
        <translation>Picture fittin&amp;g</translation>
    </message>
    <message>
        <source>全画面時リスト、ランダム化（全画面時にも設定可能）</source>
        <translation>Random order in full screen (also settable there)</translation>
    </message>
    <message>
        <source>全画面設定（全画面ミニマムウィンドウ共通）</source>
        <translation>Full screen (also the minimum window)</translation>
    </message>
    <message>
        <source>ﾐﾆﾏﾑｳｨﾝﾄﾞｳを表示時ﾒｲﾝｳｨﾝﾄﾞｳを隠す</source>
        <translation>Hide the main window while the minimum window shows</translation>
    </message>
    <message>
        <source>ｳｨﾝﾄﾞｳｻｲｽﾞ変更時画像の比率を考える</source>
        <translation>Keep the picture&apos;s ratio when the window is resized</translation>
    </message>
    <message>
        <source>ミニマムウィンドウ特別設定</source>
        <translation>Minimum window</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>すべて標準にする</source>
        <translation>Reset all to defaults</translation>
    </message>
    <message>
        <source>画像ファイルのバックグラウンド</source>
        <translation>Background of pictures</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所（次回起動時から有効）</source>
        <translation>Susie plug-in folder (from the next start)</translation>
    </message>
    <message>
        <source>ピクチャー</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>オーディオ＆テキスト</source>
        <translation>Audio and text</translation>
    </message>
    <message>
        <source>すべて表示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>標準に戻す</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>ファイル表示</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>変形しない(&amp;N)</source>
        <translation>&amp;Natural size</translation>
    </message>
    <message>
        <source>全体表示(&amp;L)</source>
        <translation>Who&amp;le picture</translation>
    </message>
    <message>
        <source>比率を変えずに全体表示(&amp;A)</source>
        <translation>Whole picture keeping its r&amp;atio</translation>
    </message>
    <message>
        <source>スライドショー間隔(秒)(&amp;T)</source>
        <translation>Slide show in&amp;terval (seconds)</translation>
    </message>
    <message>
        <source>テキスト全画面表示時の標準文字サイズ(&amp;S)</source>
        <translation>Text &amp;size in full screen</translation>
    </message>
    <message>
        <source>横に合わせる</source>
        <translation>Follow the width</translation>
    </message>
    <message>
        <source>縦に合わせる</source>
        <translation>Follow the height</translation>
    </message>
    <message>
        <source>全体表示＆ﾐﾆﾏﾑｳｨﾝﾄﾞｳ</source>
        <translation>Full screen and minimum window</translation>
    </message>
    <message>
        <source>自動（デスクトップの言語）</source>
        <translation>Automatic (the desktop&apos;s language)</translation>
    </message>
    <message>
        <source>表示言語（次回起動時から有効）</source>
        <translation>Interface language (from the next start)</translation>
    </message>
</context>
<context>
    <name>OptionValues</name>
    <message>
        <source>スライドショーの間隔には0.1秒以上の値が必要です</source>
        <translation>The slide show interval must be at least 0.1 seconds</translation>
    </message>
    <message>
        <source>スライドショーの間隔は秒数を半角の数字だけで入力してください</source>
        <translation>Enter the slide show interval in seconds, with digits only</translation>
    </message>
    <message>
        <source>スライドショーの間隔は2147483秒以下にしてください</source>
        <translation>The slide show interval must be 2147483 seconds or less</translation>
    </message>
    <message>
        <source>テキスト全画面表示時の標準文字サイズは4ポイント以上必要です</source>
        <translation>The full-screen text size must be at least 4 points</translation>
    </message>
    <message>
        <source>テキスト全画面表示時の標準文字サイズはポイント数を半角の数字だけで入力してください</source>
        <translation>Enter the full-screen text size in points, with digits only</translation>
    </message>
    <message>
        <source>テキスト全画面表示時の標準文字サイズは1638ポイント以下にしてください</source>
        <translation>The full-screen text size must be 1638 points or less</translation>
    </message>
</context>
<context>
    <name>PathInput</name>
    <message>
        <source>は利用出来ない状況にあります</source>
        <translation> is not available</translation>
    </message>
    <message>
        <source>は存在しません</source>
        <translation> does not exist</translation>
    </message>
    <message>
        <source>パスを入力してください<byte value="xd"/>
例：&apos;C:\windows\system\&apos;</source>
        <translation>Enter a path<byte value="xd"/>
For example: &apos;/home/user/Pictures/&apos;</translation>
    </message>
    <message>
        <source>エラー&#x3000;パスが見つかりません</source>
        <translation>Error: the path was not found</translation>
    </message>
</context>
<context>
    <name>PluginFolder</name>
    <message>
        <source>このフォルダにはSusiePluginはありません</source>
        <translation>This folder holds no Susie plug-in</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所に選んだフォルダが見つかりません。</source>
        <translation>The folder chosen for the Susie plug-ins was not found.</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所にはフォルダを選んでください。</source>
        <translation>Choose a folder for the Susie plug-ins.</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所に選んだフォルダを読み取れません。</source>
        <translation>The folder chosen for the Susie plug-ins cannot be read.</translation>
    </message>
    <message>
        <source>SusiePluginの有る場所に選んだフォルダは他のユーザーも書き込めるため使えません。</source>
        <translation>The folder chosen for the Susie plug-ins cannot be used: other users can write in it.</translation>
    </message>
    <message>
        <source>このフォルダにはSusiePlugingが%1個有ります内、%2個がOrbetに有効です</source>
        <translation>This folder holds%1 Susie plug-ins, of which%2 work in Orbet</translation>
    </message>
    <message>
        <source>このフォルダにはSusiePlugingが%1個有りますがOrbetに有効なプラグインは有りません</source>
        <translation>This folder holds%1 Susie plug-ins, but none works in Orbet</translation>
    </message>
</context>
<context>
    <name>PluginInfoWindow</name>
    <message>
        <source>SusiePlugin情報</source>
        <translation>Susie plug-in information</translation>
    </message>
    <message>
        <source>読み込みに成功したプラグイン</source>
        <translation>Plug-ins loaded</translation>
    </message>
    <message>
        <source>SusiePluginによって有効になった拡張子</source>
        <translation>Extensions the Susie plug-ins read</translation>
    </message>
    <message>
        <source>Wineがインストールされていないため読み込めなかったプラグイン: </source>
        <translation>Plug-ins not loaded because Wine is not installed: </translation>
    </message>
</context>
<context>
    <name>PluginRegistry</name>
    <message>
        <source>Susieプラグイン読み込み</source>
        <translation>Loading Susie plug-ins</translation>
    </message>
    <message>
        <source>-&gt;拡張子読み出し</source>
        <translation>-&gt;reading extensions</translation>
    </message>
    <message>
        <source>-&gt;%1を取得できません</source>
        <translation>-&gt;%1 cannot be loaded</translation>
    </message>
    <message>
        <source>-&gt;終了-&gt;</source>
        <translation>-&gt;done-&gt;</translation>
    </message>
    <message>
        <source>Windows用プラグインの準備中…</source>
        <translation>Preparing Windows plug-ins…</translation>
    </message>
</context>
<context>
    <name>QtProgress</name>
    <message>
        <source>ファイルを保存しています。この処理は中止できません</source>
        <translation>Saving the file. This cannot be stopped</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>ReadLimits</name>
    <message>
        <source>ファイルが大きいため、先頭の%1だけを表示しています</source>
        <translation>The file is large: only its first %1 are shown</translation>
    </message>
</context>
<context>
    <name>SettingsBinder</name>
    <message>
        <source>設定を保存できませんでした。<byte value="xd"/>
</source>
        <translation>The settings could not be saved.<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>Shell</name>
    <message>
        <source> が見つかりません。</source>
        <translation> was not found.</translation>
    </message>
</context>
<context>
    <name>ShowDispatch</name>
    <message>
        <source>を実行しますか？</source>
        <translation>: run this program?</translation>
    </message>
    <message>
        <source>探査対象</source>
        <translation>Showing </translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>画像が大きすぎるため表示できません (%1)</source>
        <translation>The picture is too large to show (%1)</translation>
    </message>
    <message>
        <source>ファイルサイズが大きい場合があるので読み込みに時間がかかる場合があります。読み込みますか？(%1)</source>
        <translation>The file may be large and take time to read. Read it? (%1)</translation>
    </message>
</context>
<context>
    <name>Shutdown</name>
    <message>
        <source>終了しますか?</source>
        <translation>Quit Orbet?</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>アイコン、ツールチップの初期化</source>
        <translation>Setting up icons and tool tips</translation>
    </message>
    <message>
        <source>フォルダを選択します。</source>
        <translation>Selects a folder.</translation>
    </message>
    <message>
        <source>ファイルフィルターです。ファイルの種類を選択します。</source>
        <translation>The file filter: selects the kind of files listed.</translation>
    </message>
    <message>
        <source>ドライブを選択します。</source>
        <translation>Selects a drive.</translation>
    </message>
    <message>
        <source>ファイルを選択します</source>
        <translation>Selects a file</translation>
    </message>
    <message>
        <source>ファイルサイズです。</source>
        <translation>The file&apos;s size.</translation>
    </message>
    <message>
        <source>こののバーでディレクトリコントロールと表示領域の割合を変更できます</source>
        <translation>Drag this bar to share the width between the folders and the display</translation>
    </message>
    <message>
        <source>ファイルパターン初期化</source>
        <translation>Setting up the file patterns</translation>
    </message>
    <message>
        <source>Susieプラグイン読み込み</source>
        <translation>Loading Susie plug-ins</translation>
    </message>
    <message>
        <source>ウィンドウサイズ初期化</source>
        <translation>Setting up the window size</translation>
    </message>
    <message>
        <source>前回設定読み込み</source>
        <translation>Reading the last settings</translation>
    </message>
    <message>
        <source>設定復元</source>
        <translation>Restoring the settings</translation>
    </message>
    <message>
        <source>探査対象</source>
        <translation>Showing </translation>
    </message>
    <message>
        <source>Orbet起動します.....</source>
        <translation>Starting Orbet.....</translation>
    </message>
</context>
<context>
    <name>StartupRules</name>
    <message>
        <source>使い方: orbet [ファイルまたはフォルダ | /T]

  ファイルまたはフォルダ  そのフォルダを開き、ファイルを表示します
  /T                      通知領域に常駐して起動します
  --help                  この説明を表示して終了します
  --version               バージョンを表示して終了します
  --                      これより後ろは &quot;--&quot; で始まっていても名前として扱います
</source>
        <translation>Usage: orbet [FILE-OR-FOLDER | /T]

  FILE-OR-FOLDER  opens its folder and shows the file
  /T              starts in the notification area
  --help          shows this help and exits
  --version       shows the version and exits
  --              takes what follows as names, even when it starts with &quot;--&quot;
</translation>
    </message>
</context>
<context>
    <name>TextPane</name>
    <message>
        <source> に保存できませんでした。</source>
        <translation> could not be saved.</translation>
    </message>
    <message>
        <source>error そのタイプは、印刷コマンドの実行はできません</source>
        <translation>error: files of this kind cannot be printed</translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Kestrelの起動</source>
        <translation>Start Kestrel</translation>
    </message>
    <message>
        <source>Kestrelを起動します</source>
        <translation>Starts Kestrel</translation>
    </message>
    <message>
        <source>パスを直接入力します</source>
        <translation>Type a path directly</translation>
    </message>
    <message>
        <source>フォルダーフォームを起動します</source>
        <translation>Opens the folder form</translation>
    </message>
    <message>
        <source>開くコマンドを使用します</source>
        <translation>Opens a file</translation>
    </message>
    <message>
        <source>フォルダ／ファイル検索ツールを起動します</source>
        <translation>Opens the folder/file search tool</translation>
    </message>
    <message>
        <source>ｴｸｽﾌﾟﾛｰﾗを起動します</source>
        <translation>Starts the file manager</translation>
    </message>
    <message>
        <source>現在のフォルダを開きます</source>
        <translation>Opens the current folder</translation>
    </message>
    <message>
        <source>ミニマムWebブラウザーを開きます</source>
        <translation>Opens the mini web browser</translation>
    </message>
    <message>
        <source>コピーを作成します。</source>
        <translation>Copies the file.</translation>
    </message>
    <message>
        <source>削除します</source>
        <translation>Deletes the file</translation>
    </message>
    <message>
        <source>全画面表示</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>拡張子変換ﾂｰﾙ</source>
        <translation>Extension changer</translation>
    </message>
    <message>
        <source>りーどみぃ</source>
        <translation>Read me</translation>
    </message>
</context>
<context>
    <name>TreePaths</name>
    <message>
        <source>3.5インチフロッピードライブ</source>
        <translation>3.5-inch floppy drive</translation>
    </message>
    <message>
        <source>ハードディスクドライブ</source>
        <translation>Hard disk drive</translation>
    </message>
    <message>
        <source>リモートメディアドライブ</source>
        <translation>Remote drive</translation>
    </message>
</context>
<context>
    <name>ViewerCommands</name>
    <message>
        <source>ピクチャがありません</source>
        <translation>There is no picture</translation>
    </message>
    <message>
        <source>予期せぬｴﾗｰが発生しました。</source>
        <translation>An unexpected error occurred.</translation>
    </message>
    <message>
        <source>全画面表示に対応していません</source>
        <translation>This file cannot be shown in full screen</translation>
    </message>
    <message>
        <source>4より大きい数を入力してください</source>
        <translation>Enter a number greater than 4</translation>
    </message>
</context>
<context>
    <name>ViewerRules</name>
    <message>
        <source>文字サイズを入力してください<byte value="xd"/>
現在のサイズ&gt;</source>
        <translation>Enter the text size<byte value="xd"/>
Current size&gt;</translation>
    </message>
</context>
<context>
    <name>ViewerWindow</name>
    <message>
        <source>スライドショー</source>
        <translation>Slide show</translation>
    </message>
    <message>
        <source>ランダム</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>一つ前へ</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>次へ</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>閉じる(&amp;Q)</source>
        <translation>Close (&amp;Q)</translation>
    </message>
    <message>
        <source>スライドショー非対応です</source>
        <translation>A slide show is not possible here</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>orbet: %1: 不明なオプションです
</source>
        <translation>orbet: %1: unknown option
</translation>
    </message>
</context>
</TS>
