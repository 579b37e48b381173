<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>FailureWords</name>
    <message>
        <source>ホスト名が見つかりません</source>
        <translation>host name not found</translation>
    </message>
    <message>
        <source>接続できません</source>
        <translation>could not connect</translation>
    </message>
    <message>
        <source>正しいアドレスではありません</source>
        <translation>not a valid address</translation>
    </message>
    <message>
        <source>正しいホスト名ではありません</source>
        <translation>not a valid host name</translation>
    </message>
    <message>
        <source>開始アドレスがありません</source>
        <translation>no start address</translation>
    </message>
    <message>
        <source>取得するのは http と https だけです</source>
        <translation>only http and https are fetched</translation>
    </message>
    <message>
        <source>.invalid のホスト名は引きません</source>
        <translation>host name under .invalid, never looked up</translation>
    </message>
    <message>
        <source>安全な接続に失敗しました</source>
        <translation>secure connection failed</translation>
    </message>
    <message>
        <source>サーバーが TLS ではなく平文の HTTP で答えました</source>
        <translation>the server answered in plain HTTP, not in TLS</translation>
    </message>
    <message>
        <source>応答ヘッダが大きすぎます</source>
        <translation>response header too large</translation>
    </message>
    <message>
        <source>サーバーが応答せずに接続を閉じました</source>
        <translation>the server closed the connection without a reply</translation>
    </message>
    <message>
        <source>ページの途中で接続が切れました</source>
        <translation>the connection broke off before the page was complete</translation>
    </message>
    <message>
        <source>接続が切れました</source>
        <translation>the connection broke off</translation>
    </message>
    <message>
        <source>HTTP の応答ではありません</source>
        <translation>not an HTTP reply</translation>
    </message>
    <message>
        <source>チャンク形式の本文が壊れています</source>
        <translation>malformed chunked body</translation>
    </message>
    <message>
        <source>サーバーが求めていないプロトコル切り替え (101) をしました</source>
        <translation>the server switched to another protocol (101) unasked</translation>
    </message>
    <message>
        <source>証明書の期限が切れています</source>
        <translation>certificate expired</translation>
    </message>
    <message>
        <source>証明書は別の名前に発行されています</source>
        <translation>certificate issued for another name</translation>
    </message>
    <message>
        <source>証明書を信頼できません</source>
        <translation>certificate not trusted</translation>
    </message>
    <message>
        <source>%1 の間データがありません</source>
        <translation>no data for %1</translation>
    </message>
    <message>
        <source>%1 以内に接続できません</source>
        <translation>no connection within %1</translation>
    </message>
    <message>
        <source>%1 以内に安全な接続の応答がありません</source>
        <translation>no answer to the secure handshake within %1</translation>
    </message>
    <message>
        <source>%1 以内に終わりません</source>
        <translation>not complete within %1</translation>
    </message>
    <message>
        <source>リダイレクトが %1 回を超えました</source>
        <translation>more than %1 redirections</translation>
    </message>
    <message>
        <source>プロキシ %1 に接続できません</source>
        <translation>could not connect to proxy %1</translation>
    </message>
    <message>
        <source>プロキシ %1 が見つかりません</source>
        <translation>proxy %1 not found</translation>
    </message>
    <message>
        <source>プロキシ %1 がステータス %2 で接続を断りました</source>
        <translation>proxy %1 refused the connection with status %2</translation>
    </message>
    <message>
        <source>%1 (%2 からのリダイレクト) を取得できません: %3</source>
        <translation>fetching %1 (redirected from %2) failed: %3</translation>
    </message>
    <message>
        <source>%1 を取得できません: %2</source>
        <translation>fetching %1 failed: %2</translation>
    </message>
    <message>
        <source>何も取得していません: %1</source>
        <translation>nothing fetched: %1</translation>
    </message>
</context>
<context>
    <name>WriteProblem</name>
    <message>
        <source>書き込みの許可がありません</source>
        <translation>no permission to write there</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります</source>
        <translation>a folder of that name is in the way</translation>
    </message>
    <message>
        <source>そのフォルダがありません</source>
        <translation>its folder does not exist</translation>
    </message>
    <message>
        <source>読み取り専用のファイルシステムです</source>
        <translation>the file system is read-only</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::AboutDialog</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Torvesk</translation>
    </message>
    <message>
        <source>Torvesk バージョン %1</source>
        <translation>Torvesk version %1</translation>
    </message>
    <message>
        <source>表示言語: LANGUAGE=ja で日本語、
LANGUAGE=en で英語</source>
        <translation>Language: LANGUAGE=en for English,
LANGUAGE=ja for Japanese</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::CrawlStatusBar</name>
    <message>
        <source>待機中</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>解析中</source>
        <translation>Crawling</translation>
    </message>
    <message>
        <source>一時停止中</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>訪問 %1 ページ ・ 失敗 %2 ・ HTTP エラー %3 ・ 未訪問リンク %4 ・ %5 ページ/秒 ・ 記録 %6 件</source>
        <translation>Visited %1 · failed %2 · HTTP errors %3 · links waiting %4 · %5 pages/s · records %6</translation>
    </message>
    <message>
        <source>最後の失敗: %1</source>
        <translation>Last failure: %1</translation>
    </message>
    <message>
        <source>記録先: %1</source>
        <translation>Records go to: %1</translation>
    </message>
    <message numerus="yes">
        <source>警告: 書き込めなかった記録 %n 件</source>
        <translation>
            <numerusform>Warning: %n record not written</numerusform>
            <numerusform>Warning: %n records not written</numerusform>
        </translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::MainWindow</name>
    <message>
        <source>訪問したページ</source>
        <translation>Visited Pages</translation>
    </message>
    <message>
        <source>メニュー</source>
        <translation>&amp;Menu</translation>
    </message>
    <message>
        <source>再設定</source>
        <translation>&amp;Set Start Address...</translation>
    </message>
    <message>
        <source>開始アドレスを入力するダイアログを開きます</source>
        <translation>Opens the dialog where you type the start address</translation>
    </message>
    <message>
        <source>解析スタート</source>
        <translation>S&amp;tart Crawl</translation>
    </message>
    <message>
        <source>開始アドレスから解析を始めます（一時停止中なら再開します）</source>
        <translation>Starts crawling from the start address (resumes a paused crawl)</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>解析を一時停止します。もう一度選ぶと再開します</source>
        <translation>Pauses the crawl; choose again to resume</translation>
    </message>
    <message>
        <source>解析停止</source>
        <translation>St&amp;op Crawl</translation>
    </message>
    <message>
        <source>ダウンロード中のページを破棄し、待っているリンクを捨てます</source>
        <translation>Abandons the page being downloaded and drops the links waiting</translation>
    </message>
    <message>
        <source>URL.csv を開く</source>
        <translation>Open &amp;URL.csv</translation>
    </message>
    <message>
        <source>記録ファイル URL.csv をデスクトップのプログラムで開きます</source>
        <translation>Opens the records file URL.csv in the desktop&apos;s program for it</translation>
    </message>
    <message>
        <source>URL.csv のフォルダを開く</source>
        <translation>Open URL.csv&apos;s &amp;Folder</translation>
    </message>
    <message>
        <source>URL.csv のあるフォルダをファイルマネージャで開きます</source>
        <translation>Opens the folder URL.csv is in, in the file manager</translation>
    </message>
    <message>
        <source>アプリケーションの終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>確かめてから Torvesk を終了します</source>
        <translation>Asks, then quits Torvesk</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>バージョン情報 ...(&amp;A)</source>
        <translation>&amp;About Torvesk...</translation>
    </message>
    <message>
        <source>Torvesk のバージョンと表示言語の選び方を表示します</source>
        <translation>Shows Torvesk&apos;s version and how to choose its language</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>訪問したページの表</source>
        <translation>&amp;Table of Visited Pages</translation>
    </message>
    <message>
        <source>訪問したページの表を表示または非表示にします</source>
        <translation>Shows or hides the table of visited pages</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>解析結果の画面を拡大します</source>
        <translation>Enlarges the results screen</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>解析結果の画面を縮小します</source>
        <translation>Makes the results screen smaller</translation>
    </message>
    <message>
        <source>等倍</source>
        <translation>&amp;Actual Size</translation>
    </message>
    <message>
        <source>解析結果の画面を 100 % に戻します</source>
        <translation>Shows the results screen at 100 %</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>&amp;Resume</translation>
    </message>
    <message>
        <source>開けません</source>
        <translation>Cannot Open</translation>
    </message>
    <message>
        <source>%1 を開くプログラムがデスクトップにありません。</source>
        <translation>The desktop has no program that opens %1.</translation>
    </message>
    <message>
        <source>記録できません</source>
        <translation>Records Cannot Be Written</translation>
    </message>
    <message>
        <source>%1 に記録を書き込めません: %2
解析を始めても記録は残りません。</source>
        <translation>Records cannot be written to %1: %2
A crawl started now keeps no record.</translation>
    </message>
    <message>
        <source>それでも始める(&amp;S)</source>
        <translation>&amp;Start Anyway</translation>
    </message>
    <message>
        <source>始めない(&amp;N)</source>
        <translation>&amp;Don&apos;t Start</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>終了してもよろしいですか</source>
        <translation>Do you want to quit?</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::ResultsPanel</name>
    <message>
        <source>URL か TITLE で絞り込む</source>
        <translation>Filter by URL or title</translation>
    </message>
    <message>
        <source>絞り込み</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>失敗のみ(&amp;F)</source>
        <translation>&amp;Failures only</translation>
    </message>
    <message>
        <source>CSV に書き出す...</source>
        <translation>Export as CSV...</translation>
    </message>
    <message>
        <source>CSV に書き出す</source>
        <translation>Export as CSV</translation>
    </message>
    <message>
        <source>%1 には書き出しません: クロールの記録先です</source>
        <translation>Not exported to %1: the crawl records go there</translation>
    </message>
    <message>
        <source>%1 行を %2 に書き出しました</source>
        <translation>%1 rows exported to %2</translation>
    </message>
    <message>
        <source>%1 に書き出せませんでした: %2</source>
        <translation>Could not export to %1: %2</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::ResultsTable</name>
    <message>
        <source>訪問したページ</source>
        <translation>Visited Pages</translation>
    </message>
    <message>
        <source>アドレスをコピー</source>
        <translation>Copy Address</translation>
    </message>
    <message>
        <source>ブラウザで開く</source>
        <translation>Open in Browser</translation>
    </message>
    <message>
        <source>選択した行をコピー</source>
        <translation>Copy Selected Rows</translation>
    </message>
    <message>
        <source>開けませんでした: %1 (このデスクトップには開くプログラムがありません)</source>
        <translation>Could not open %1: the desktop has no program that opens it</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::ResultsTableModel</name>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>バイト</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>リンク</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Record</translation>
    </message>
    <message>
        <source> (リダイレクト %1 回)</source>
        <translation> (%1 redirections)</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>書き込み待ち</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>書き込み済み</source>
        <translation>written</translation>
    </message>
    <message>
        <source>書き込めず: </source>
        <translation>not written: </translation>
    </message>
    <message>
        <source>書き込めず: 先の記録がまだファイルを待っていました</source>
        <translation>not written: earlier records were still waiting for the file</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::ResultsView</name>
    <message>
        <source>解析結果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>torvesk::shell::StartDialog</name>
    <message>
        <source>スタート</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>初期URL</source>
        <translation>Start URL</translation>
    </message>
</context>
</TS>
