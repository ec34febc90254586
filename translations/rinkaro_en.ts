<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Language</name>
    <message>
        <source>ja</source>
        <extracomment>The code of the language this translation is in; it chooses the translation in messages written in another language.</extracomment>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>Levels</name>
    <message>
        <source>ホーム</source>
        <translation>Home row</translation>
    </message>
    <message>
        <source>ホーム＋上段</source>
        <translation>Home + upper</translation>
    </message>
    <message>
        <source>ホーム＋下段</source>
        <translation>Home + lower</translation>
    </message>
    <message>
        <source>A to Z</source>
        <translation>A to Z</translation>
    </message>
    <message>
        <source>ローマ字１</source>
        <translation>Romaji 1</translation>
    </message>
    <message>
        <source>ローマ字２</source>
        <translation>Romaji 2</translation>
    </message>
    <message>
        <source>ひらがな１</source>
        <translation>Hiragana 1</translation>
    </message>
    <message>
        <source>ひらがな２</source>
        <translation>Hiragana 2</translation>
    </message>
    <message>
        <source>ひらがな３</source>
        <translation>Hiragana 3</translation>
    </message>
    <message>
        <source>苦手なキー</source>
        <translation>Weak keys</translation>
    </message>
    <message>
        <source>苦手なかな</source>
        <translation>Weak kana</translation>
    </message>
    <message>
        <source>単語</source>
        <translation>Words</translation>
    </message>
    <message>
        <source>文章</source>
        <translation>Sentences</translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>MeCabReader</name>
    <message>
        <source>漢字の読みを付けるには MeCab と辞書が必要です。Debian のパッケージ libmecab2 と mecab-ipadic-utf8 をインストールしてください（ルビ《》がすべての漢字に付いたテキストはそのまま使えます）。</source>
        <translation>Readings of kanji need MeCab and its dictionary: install the Debian packages libmecab2 and mecab-ipadic-utf8 (a text with ruby 《》 on every kanji can be used as it is).</translation>
    </message>
</context>
<context>
    <name>OwnText</name>
    <message>
        <source>読みが空です。</source>
        <translation>The reading is empty.</translation>
    </message>
    <message>
        <source>「%1」は入力できません。読みはひらがなで書いてください。</source>
        <translation>“%1” cannot be typed. Write the reading in hiragana.</translation>
    </message>
    <message>
        <source>その語はありません。</source>
        <translation>There is no such word.</translation>
    </message>
</context>
<context>
    <name>ProgressWindowFactory</name>
    <message>
        <source>成績グラフのウィンドウはインストールされていません（このプログラムは Qt Charts なしでビルドされています）。</source>
        <translation>The progress chart is not installed (this program was built without Qt Charts).</translation>
    </message>
    <message>
        <source>%1 が見つかりません</source>
        <translation>%1 was not found</translation>
    </message>
    <message>
        <source>%1: 成績グラフのモジュールではありません</source>
        <translation>%1: not a progress chart module</translation>
    </message>
    <message>
        <source>%1 を読み込めませんでした。
詳細: %2</source>
        <translation>%1 could not be loaded.
Details: %2</translation>
    </message>
</context>
<context>
    <name>RinkaroApplication</name>
    <message>
        <source>不明なエラーが発生しました。</source>
        <translation>An unknown error occurred.</translation>
    </message>
</context>
<context>
    <name>RunSpeech</name>
    <message>
        <source>%1、%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>ミス %1、次は %2</source>
        <translation>Misses: %1, next %2</translation>
    </message>
    <message>
        <source>あと %1</source>
        <translation>%1 to go</translation>
    </message>
</context>
<context>
    <name>TextDrill</name>
    <message>
        <source>%1 かな/分</source>
        <translation>%1 kana/min</translation>
    </message>
    <message>
        <source>速さ %1&#x3000;正確さ %2%&#x3000;これまでの最高 %3</source>
        <translation>Speed %1  accuracy %2%  best so far %3</translation>
    </message>
    <message>
        <source>&#x3000;最高記録！</source>
        <translation>  New best!</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>文字コードが分かりません。UTF-8、UTF-16（BOM 付き）、Shift_JIS、EUC-JP のテキストファイルを開けます。</source>
        <translation>The encoding is unknown. Text files in UTF-8, UTF-16 (with a BOM), Shift_JIS or EUC-JP can be opened.</translation>
    </message>
    <message>
        <source>NUL 文字を含むファイルです。テキストファイルを選んでください。</source>
        <translation>The file contains NUL characters. Choose a text file.</translation>
    </message>
    <message>
        <source>空のファイルです。</source>
        <translation>The file is empty.</translation>
    </message>
    <message>
        <source>日本語（かなや漢字）が含まれていません。</source>
        <translation>There is no Japanese (kana or kanji) in the file.</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <source>普通のファイルではないため開けません（フォルダー、デバイス、パイプなど）。</source>
        <translation>It is not a plain file (a folder, a device, a pipe ...) and cannot be opened.</translation>
    </message>
    <message>
        <source>ファイルを読めません。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます。1 MiB までのテキストを開けます。</source>
        <translation>The file is too large. Texts of up to 1 MiB can be opened.</translation>
    </message>
</context>
<context>
    <name>TextPreparer</name>
    <message>
        <source>読みを付けられませんでした。</source>
        <translation>The readings could not be found.</translation>
    </message>
    <message>
        <source>%1 語の読みが分かりませんでした。「読みを直す…」で読みを付けられます。</source>
        <translation>The readings of %1 words are unknown. “Fix readings…” can give them.</translation>
    </message>
    <message>
        <source>練習できる文がありません。</source>
        <translation>There is no sentence to practise.</translation>
    </message>
    <message>
        <source>テキストの写しを %1 に保存できません。</source>
        <translation>A copy of the text cannot be saved in %1.</translation>
    </message>
</context>
<context>
    <name>Tutorial</name>
    <message>
        <source>タイピングの方法を説明します</source>
        <translation>Here is how to touch-type</translation>
    </message>
    <message>
        <source>タイピングのコツは２つあります</source>
        <translation>There are two secrets to typing</translation>
    </message>
    <message>
        <source>①ホームポジションを維持すること</source>
        <translation>1. Keep to the home position</translation>
    </message>
    <message>
        <source>②正しい指使いをすることです</source>
        <translation>2. Use the right finger</translation>
    </message>
    <message>
        <source>まずホームポジションを説明します</source>
        <translation>First, the home position</translation>
    </message>
    <message>
        <source>人さし指をＦとＪにのせます</source>
        <translation>Put your index fingers on F and J</translation>
    </message>
    <message>
        <source>となりの指はとなりのキーにのせます</source>
        <translation>Other fingers go on the next keys</translation>
    </message>
    <message>
        <source>これがホームポジションです</source>
        <translation>This is the home position</translation>
    </message>
    <message>
        <source>次に指使いを説明します</source>
        <translation>Next, which finger types what</translation>
    </message>
    <message>
        <source>各指は３つのキーを担当します</source>
        <translation>Each finger types three keys</translation>
    </message>
    <message>
        <source>小指は緑色のキーを担当します</source>
        <translation>Little fingers: the green keys</translation>
    </message>
    <message>
        <source>薬指は黄色のキーを担当します</source>
        <translation>Ring fingers: the yellow keys</translation>
    </message>
    <message>
        <source>中指は水色のキーを担当します</source>
        <translation>Middle fingers: the blue keys</translation>
    </message>
    <message>
        <source>人さし指は桃色のキーを担当します</source>
        <translation>Index fingers: the pink keys</translation>
    </message>
    <message>
        <source>人さし指だけ６つのキーを担当します</source>
        <translation>Only index fingers type six keys</translation>
    </message>
    <message>
        <source>たとえば、Ｒをタイプするときは</source>
        <translation>For example, to type R,</translation>
    </message>
    <message>
        <source>左手人さし指でＲをタイプします</source>
        <translation>press it with your left index</translation>
    </message>
    <message>
        <source>その後すぐに人さし指をＦに戻します</source>
        <translation>then bring it straight back to F</translation>
    </message>
    <message>
        <source>このようにすることで</source>
        <translation>Doing it this way,</translation>
    </message>
    <message>
        <source>ホームポジションを維持できるのです</source>
        <translation>you keep to the home position</translation>
    </message>
    <message>
        <source>ＦとＪには小さな突起があるので</source>
        <translation>F and J have small bumps,</translation>
    </message>
    <message>
        <source>触るだけで指の位置が確認できます</source>
        <translation>so you can find them by touch</translation>
    </message>
    <message>
        <source>End Tutorial</source>
        <translation>End Tutorial</translation>
    </message>
    <message>
        <source>Tutorial</source>
        <translation>Tutorial</translation>
    </message>
    <message>
        <source>セミコロン</source>
        <translation>semicolon</translation>
    </message>
    <message>
        <source>カンマ</source>
        <translation>comma</translation>
    </message>
    <message>
        <source>ピリオド</source>
        <translation>full stop</translation>
    </message>
    <message>
        <source>スラッシュ</source>
        <translation>slash</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <extracomment>The keys a tutorial line colours, after the line, for a screen reader.</extracomment>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>、</source>
        <extracomment>Between the names of keys.</extracomment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>WeakDrill</name>
    <message>
        <source>苦手なキーを選ぶための記録がまだありません。
レベル1〜4を練習すると、ミスの多いキーや時間のかかるキーを集めて練習できるようになります。</source>
        <translation>There is no history yet to find your weak keys in.
Practise levels 1 to 4: the keys you miss most or type most slowly can then be drilled here.</translation>
    </message>
    <message>
        <source>苦手なかなを選ぶための記録がまだありません。
レベル5〜9を練習すると、ミスの多いかなや時間のかかるかなを集めて練習できるようになります。</source>
        <translation>There is no history yet to find your weak kana in.
Practise levels 5 to 9: the kana you miss most or type most slowly can then be drilled here.</translation>
    </message>
</context>
<context>
    <name>WeakSpots</name>
    <message>
        <source>苦手な所のミス率（これまで → 今回）</source>
        <translation>Miss rates of weak spots (before → this run)</translation>
    </message>
    <message>
        <source>苦手: %1</source>
        <translation>Weak: %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>記録を保存するフォルダーが決まりません。HOME も XDG_DATA_HOME も設定されていません。</source>
        <translation>There is no folder to keep the records in: neither HOME nor XDG_DATA_HOME is set.</translation>
    </message>
    <message>
        <source>記録を保存するフォルダーを作成できません。
%1</source>
        <translation>The folder for the records cannot be made.
%1</translation>
    </message>
</context>
<context>
    <name>rinkaro::AboutBox</name>
    <message>
        <source>Rinkaro ver.%1、By Rinkaro team、Happy typing!</source>
        <translation>Rinkaro ver.%1, By Rinkaro team, Happy typing!</translation>
    </message>
</context>
<context>
    <name>rinkaro::KeyHeatMap</name>
    <message>
        <source>%1: 記録なし</source>
        <translation>%1: no record</translation>
    </message>
    <message>
        <source>%1: ミス率 %2（%3 回中 %4 回ミス）</source>
        <translation>%1: miss rate %2 (%4 misses in %3)</translation>
    </message>
    <message>
        <source>、よく押す誤キー %1</source>
        <translation>, often typed instead: %1</translation>
    </message>
    <message>
        <source>
1打の時間 %1</source>
        <translation>
Time per press %1</translation>
    </message>
    <message>
        <source>
1打の時間: 記録なし</source>
        <translation>
Time per press: no record</translation>
    </message>
    <message>
        <source>
押した回数が少ないため、色は薄く表示しています</source>
        <translation>
Pressed only a few times: its colour is faint</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>ミス率</source>
        <translation>Miss rate</translation>
    </message>
    <message>
        <source>1打の時間</source>
        <translation>Time per press</translation>
    </message>
    <message>
        <source>
練習に選んでいます（もう一度クリックかスペースで外します）</source>
        <translation>
Marked to practise (click or Space again to unmark)</translation>
    </message>
    <message>
        <source>
クリックかスペースで練習に選べます</source>
        <translation>
Click or press Space to mark it to practise</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>、練習に選択</source>
        <translation>, marked to practise</translation>
    </message>
</context>
<context>
    <name>rinkaro::MainWindow</name>
    <message>
        <source>キーボード</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>スタート</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>F5 キーでもスタート・ストップできます</source>
        <translation>F5 also starts and stops a run</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>キー色付け</source>
        <translation>Colour keys by finger</translation>
    </message>
    <message>
        <source>ローマ字設定</source>
        <translation>Romaji spellings</translation>
    </message>
    <message>
        <source>記録表示</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>ローマ字を自由に入力</source>
        <translation>Free romaji input</translation>
    </message>
    <message>
        <source>成績グラフ</source>
        <translation>Progress chart</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>タイピングの方法</source>
        <translation>How to type</translation>
    </message>
    <message>
        <source>Rinkaro について...</source>
        <translation>About Rinkaro...</translation>
    </message>
    <message>
        <source>デスクトップと同じ</source>
        <translation>Same as the desktop</translation>
    </message>
    <message>
        <source>ヒントを表示</source>
        <translation>Show hint</translation>
    </message>
    <message>
        <source>ランダムに発生</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <source>次へ</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>前へ</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>ようこそ</source>
        <translation>Welcome</translation>
    </message>
    <message>
        <source>設定ファイルを初期化します。</source>
        <translation>A new settings file will be made.</translation>
    </message>
    <message>
        <source>ストップ</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>成績グラフを開けませんでした。
%1</source>
        <translation>The progress chart could not be opened.
%1</translation>
    </message>
    <message>
        <source>デモ・モード</source>
        <translation>Demo mode</translation>
    </message>
    <message>
        <source>デモ・モードに移行しますか？</source>
        <translation>Switch to demo mode?</translation>
    </message>
    <message>
        <source>表示の言語は、次に起動したときから切り替わります。</source>
        <translation>The new language is used from the next start of Rinkaro.</translation>
    </message>
    <message>
        <source>タイピングの方法。右矢印キーで次へ、左矢印キーで前へ、End キーで終了</source>
        <translation>How to type. Right arrow: next line, left arrow: back, End: finish</translation>
    </message>
    <message>
        <source>苦手を多めに出す</source>
        <translation>Favour weak spots</translation>
    </message>
    <message>
        <source>レベル%1 %2</source>
        <translation>Level %1 %2</translation>
    </message>
    <message>
        <source>%1。%2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>ミス %1</source>
        <translation>Misses: %1</translation>
    </message>
    <message>
        <source>テキストを準備しています…</source>
        <translation>Preparing the text…</translation>
    </message>
    <message>
        <source>キー: %1</source>
        <translation>Key: %1</translation>
    </message>
    <message>
        <source>記録を読み込んでいます…</source>
        <translation>Reading the history…</translation>
    </message>
</context>
<context>
    <name>rinkaro::ProgressChart</name>
    <message>
        <source>順番</source>
        <translation>In order</translation>
    </message>
    <message>
        <source>ランダム</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>順番の平均</source>
        <translation>In order, average</translation>
    </message>
    <message>
        <source>ランダムの平均</source>
        <translation>Random, average</translation>
    </message>
    <message>
        <source>標準スコア</source>
        <translation>Standard score</translation>
    </message>
    <message>
        <source>最高</source>
        <translation>Best</translation>
    </message>
    <message>
        <source>範囲外</source>
        <translation>Off the scale</translation>
    </message>
    <message>
        <source>キー/分</source>
        <translation>keys/min</translation>
    </message>
    <message>
        <source>かな/分</source>
        <translation>kana/min</translation>
    </message>
    <message>
        <source>グラフ</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>スコア（秒＋ミス・少ないほど良い）</source>
        <translation>Score (seconds + misses, lower is better)</translation>
    </message>
    <message>
        <source>速さ（%1・多いほど良い）</source>
        <translation>Speed (%1, higher is better)</translation>
    </message>
    <message>
        <source>正確さ（正しく押したキーの割合 %・多いほど良い）</source>
        <translation>Accuracy (% of keys typed right, higher is better)</translation>
    </message>
    <message>
        <source>%1 %2（範囲外）</source>
        <translation>%1 %2 (off the scale)</translation>
    </message>
    <message>
        <source>%1。</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>表示している記録はありません。</source>
        <translation> No runs are shown.</translation>
    </message>
    <message>
        <source>%1 回を表示、最高 %2、最新 %3。</source>
        <translation> %1 runs shown, best %2, latest %3.</translation>
    </message>
    <message>
        <source>最近の %1 回はその前の %1 回より良くなっています。</source>
        <translation> The last %1 runs are better than the %1 before them.</translation>
    </message>
    <message>
        <source>最近の %1 回はその前の %1 回とほぼ同じです。</source>
        <translation> The last %1 runs are about the same as the %1 before them.</translation>
    </message>
    <message>
        <source>最近の %1 回はその前の %1 回より悪くなっています。</source>
        <translation> The last %1 runs are worse than the %1 before them.</translation>
    </message>
    <message>
        <source>（グラフの範囲外）</source>
        <translation>(off the scale)</translation>
    </message>
    <message>
        <source>yyyy年M月d日（ddd） H:mm</source>
        <extracomment>The date and time of a run, in QDateTime&apos;s format.</extracomment>
        <translation>ddd d MMM yyyy, H:mm</translation>
    </message>
    <message>
        <source>%1 回目・%2</source>
        <translation>Run %1 · %2</translation>
    </message>
    <message>
        <source>スコア %1（%2 秒＋ミス %3）</source>
        <translation>Score %1 (%2 s + %3 misses)</translation>
    </message>
    <message>
        <source>速さ %1 %2・正確さ %3 %</source>
        <translation>Speed %1 %2 · accuracy %3 %</translation>
    </message>
    <message>
        <source>新記録</source>
        <translation>New record</translation>
    </message>
    <message>
        <source>★ %1の最高</source>
        <translation>★ Best (%1)</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>速さ</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>正確さ</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>%1は最高 %2、最新 %3。</source>
        <translation> %1: best %2, latest %3.</translation>
    </message>
</context>
<context>
    <name>rinkaro::ProgressWindow</name>
    <message>
        <source>%1分</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1時間%2分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>成績グラフ</source>
        <translation>Progress chart</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>速さ</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>正確さ</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>回数順</source>
        <translation>By run</translation>
    </message>
    <message>
        <source>日付順</source>
        <translation>By date</translation>
    </message>
    <message>
        <source>全体を表示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>グラフはドラッグで範囲を選ぶか、ホイールで拡大できます</source>
        <translation>Drag across the chart to choose a range, or zoom with the wheel</translation>
    </message>
    <message>
        <source>このレベルの記録</source>
        <translation>Runs of this level</translation>
    </message>
    <message>
        <source>すべてのレベルの記録</source>
        <translation>Runs of all levels</translation>
    </message>
    <message>
        <source>表に出す記録</source>
        <translation>Runs in the table</translation>
    </message>
    <message>
        <source>記録の表</source>
        <translation>Table of runs</translation>
    </message>
    <message>
        <source>すべてのレベル</source>
        <translation>All levels</translation>
    </message>
    <message>
        <source>キーとかなの集計</source>
        <translation>Keys and kana in</translation>
    </message>
    <message>
        <source>ミス率</source>
        <translation>Miss rate</translation>
    </message>
    <message>
        <source>選んだ所を練習</source>
        <translation>Practise marked</translation>
    </message>
    <message>
        <source>キーボードのキーか、かなの行をクリックして印を付けると、その印の所を集めた苦手ドリルをメイン画面で始めます</source>
        <translation>Click keys of the keyboard or rows of kana to mark them: this starts a weak-spot drill of the marked ones in the main window</translation>
    </message>
    <message>
        <source>かな</source>
        <translation>Kana</translation>
    </message>
    <message>
        <source>ミス/回数</source>
        <translation>Misses</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>誤キー</source>
        <translation>Instead</translation>
    </message>
    <message>
        <source>押した回数が少ないかなは、全体のミス率に近づけて数えています</source>
        <translation>Kana pressed only a few times are counted closer to the overall miss rate</translation>
    </message>
    <message>
        <source>よく押す誤キー</source>
        <translation>The key most often typed instead</translation>
    </message>
    <message>
        <source>記録を読み込んでいます…</source>
        <translation>Reading the history…</translation>
    </message>
    <message>
        <source>記録ファイル RK.log が通常のファイルではないため、読み込めません。</source>
        <translation>The history RK.log is not a plain file and cannot be read.</translation>
    </message>
    <message>
        <source>記録ファイル RK.log を開けません。</source>
        <translation>The history RK.log cannot be opened.</translation>
    </message>
    <message>
        <source>記録 %1 回</source>
        <translation>Runs: %1</translation>
    </message>
    <message>
        <source>・練習時間 %1・連続 %2 日（最長 %3 日）</source>
        <translation> · practised %1 · days in a row: %2 (longest %3)</translation>
    </message>
    <message>
        <source>まだ記録がありません。レベルを選んでスタートしてください。</source>
        <translation>No runs yet. Choose a level and click Start.</translation>
    </message>
    <message>
        <source>このレベルの記録はまだありません。</source>
        <translation>No runs of this level yet.</translation>
    </message>
    <message>
        <source>キーごとのミス率</source>
        <translation>Miss rate of each key</translation>
    </message>
    <message>
        <source>キーごとの速さ（1打の平均時間）</source>
        <translation>Speed of each key (average time per press)</translation>
    </message>
    <message>
        <source>ミスの多いかな</source>
        <translation>Kana missed most</translation>
    </message>
    <message>
        <source>時間のかかるかな</source>
        <translation>Slowest kana</translation>
    </message>
    <message>
        <source>キーのレベルにはかなの集計がありません。</source>
        <translation>Key levels have no kana.</translation>
    </message>
    <message>
        <source>かなのミスはまだありません。</source>
        <translation>No kana missed yet.</translation>
    </message>
    <message>
        <source>かなの時間の記録はまだありません。</source>
        <translation>No kana times yet.</translation>
    </message>
    <message>
        <source>レベル%1 %2</source>
        <translation>Level %1 %2</translation>
    </message>
    <message>
        <source>グラフの値</source>
        <translation>Chart value</translation>
    </message>
    <message>
        <source>グラフの横軸</source>
        <translation>Chart axis</translation>
    </message>
    <message>
        <source>グラフの全体を表示</source>
        <translation>Show the whole chart</translation>
    </message>
    <message>
        <source>矢印キーで記録を選び、スペースで集計に入れるかどうかを切り替えます</source>
        <translation>Choose a run with the arrow keys; Space counts it in or leaves it out</translation>
    </message>
    <message>
        <source>つづりの1キーあたりの平均の時間（きゃは3キー、しは2キー）</source>
        <translation>Average time per key of the spelling (きゃ is 3 keys, し 2)</translation>
    </message>
    <message>
        <source>かなの集計</source>
        <translation>Kana figures</translation>
    </message>
    <message>
        <source>矢印キーでかなを選び、スペースで練習に選びます</source>
        <translation>Choose a kana with the arrow keys; Space marks it to practise</translation>
    </message>
    <message>
        <source>記録ファイル RK.log が %1 MB を超えているため、古い記録を省いて新しい %1 MB を読み込みました。</source>
        <translation>The history RK.log is larger than %1 MB: its newest %1 MB were read, without the older runs.</translation>
    </message>
</context>
<context>
    <name>rinkaro::ReadingDialog</name>
    <message>
        <source>読みを直す</source>
        <translation>Fix readings</translation>
    </message>
    <message>
        <source>この文には漢字の語がありません。</source>
        <translation>This sentence has no words in kanji.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>rinkaro::RecordTable</name>
    <message>
        <source>記録表示</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>レベルごとの記録</source>
        <translation>Records by level</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>標準スコア</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>ハイ・スコア</source>
        <translation>High score</translation>
    </message>
    <message>
        <source>ランダム</source>
        <translation>Random</translation>
    </message>
</context>
<context>
    <name>rinkaro::ResultDialog</name>
    <message>
        <source>タイピング時間</source>
        <translation>Typing time</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>s</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>標準タイム</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>最高タイム</source>
        <translation>Best time</translation>
    </message>
    <message>
        <source>%1 なし</source>
        <translation>%1: none</translation>
    </message>
    <message>
        <source>%1 %2 秒</source>
        <translation>%1 %2 seconds</translation>
    </message>
    <message>
        <source>タイピング時間 %1 秒</source>
        <translation>Typing time %1 seconds</translation>
    </message>
    <message>
        <source>エラー %1</source>
        <translation>Errors %1</translation>
    </message>
    <message>
        <source>苦手を練習</source>
        <translation>Practise weak</translation>
    </message>
</context>
<context>
    <name>rinkaro::RomajiPanel</name>
    <message>
        <source>ローマ字設定</source>
        <translation>Romaji spellings</translation>
    </message>
</context>
<context>
    <name>rinkaro::RunTableModel</name>
    <message>
        <source>ランダム</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>順番</source>
        <translation>In order</translation>
    </message>
    <message>
        <source>キー</source>
        <translation>keys</translation>
    </message>
    <message>
        <source>かな</source>
        <translation>kana</translation>
    </message>
    <message>
        <source>新記録</source>
        <translation>New</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>順序</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ミス</source>
        <translation>Miss</translation>
    </message>
    <message>
        <source>スコア</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>速さ</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>正確さ</source>
        <translation>Accuracy</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>かかった時間（秒）</source>
        <translation>Time taken (seconds)</translation>
    </message>
    <message>
        <source>ミスの数</source>
        <translation>Number of misses</translation>
    </message>
    <message>
        <source>時間＋ミス（少ないほど良い）</source>
        <translation>Time + misses (lower is better)</translation>
    </message>
    <message>
        <source>1分あたりに打ったキー（キーのレベル）またはかな</source>
        <translation>Keys (key levels) or kana typed per minute</translation>
    </message>
    <message>
        <source>正しく押したキーの割合</source>
        <translation>Share of keys typed right</translation>
    </message>
    <message>
        <source>MM/dd HH:mm</source>
        <extracomment>The date and time of a run in the table, in QDateTime&apos;s format, digits only.</extracomment>
        <translation>MM-dd HH:mm</translation>
    </message>
    <message>
        <source>yyyy/MM/dd HH:mm</source>
        <extracomment>A run&apos;s date and time with its year, in the table&apos;s tooltip, in QDateTime&apos;s format.</extracomment>
        <translation>yyyy-MM-dd HH:mm</translation>
    </message>
    <message>
        <source>集計から外しています</source>
        <translation>Left out of the figures</translation>
    </message>
    <message>
        <source>集計に入れています</source>
        <translation>Counted in the figures</translation>
    </message>
    <message>
        <source>集計</source>
        <translation>Counted</translation>
    </message>
    <message>
        <source>外すと、その記録はグラフにも集計にも入りません（中断した記録など）</source>
        <translation>Unticked, the run is left out of the chart and the figures (an interrupted run, say)</translation>
    </message>
</context>
<context>
    <name>rinkaro::TextMenu</name>
    <message>
        <source>テキストを開く…</source>
        <translation>Open text…</translation>
    </message>
    <message>
        <source>最近のテキスト</source>
        <translation>Recent texts</translation>
    </message>
    <message>
        <source>読みを直す…</source>
        <translation>Fix readings…</translation>
    </message>
    <message>
        <source>テキストを開く</source>
        <translation>Open text</translation>
    </message>
    <message>
        <source>テキスト (*.txt);;すべてのファイル (*)</source>
        <translation>Texts (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>読みを %1 に保存できません。</source>
        <translation>The readings cannot be saved in %1.</translation>
    </message>
</context>
</TS>
