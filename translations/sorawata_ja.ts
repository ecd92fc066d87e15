<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>AssetFile</name>
    <message>
        <source>No such file or directory</source>
        <translation>見つかりません</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>読む権限がありません</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>ふつうのファイルではありません</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>A small, quiet game in Japanese: you spend the night thinking over a quarrel.</source>
        <translation>けんかした夜、眠れずに考えごとをする、日本語の小さな静かなゲーム。</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>このヘルプを表示する。</translation>
    </message>
    <message>
        <source>Reads the pack as the game would, without a window or sound, and prints a line for each of its files. The exit status is 0 when the game would show and play them all, 1 otherwise.</source>
        <translation>ウィンドウも音も出さずに、ゲームと同じように素材を読み、
ファイルごとに一行ずつ書く。ゲームがすべてを映して鳴らせるなら
終了ステータスは 0、そうでなければ 1。</translation>
    </message>
    <message>
        <source>The folder of the asset pack to play or check: dat.txt, end0.txt, end1.txt, bgm.wav and the folder img. Without it, the files beside the program.</source>
        <translation>遊ぶか確かめる素材のフォルダー:
dat.txt、end0.txt、end1.txt、bgm.wav とフォルダー img。
指定しなければ、プログラムの横にあるファイル。</translation>
    </message>
    <message>
        <source>give one folder at the most</source>
        <translation>フォルダーはひとつだけ指定してください</translation>
    </message>
    <message>
        <source>not a folder that can be read</source>
        <translation>読めるフォルダーではありません</translation>
    </message>
    <message>
        <source>the folder&apos;s name is empty</source>
        <translation>フォルダーの名前が空です</translation>
    </message>
</context>
<context>
    <name>Display</name>
    <message>
        <source>no display: DISPLAY is not set, and no Wayland compositor answers at WAYLAND_DISPLAY</source>
        <translation>ディスプレイがありません: DISPLAY が設定されておらず、WAYLAND_DISPLAY の先にはコンポジターが応えません</translation>
    </message>
    <message>
        <source>no display: DISPLAY and WAYLAND_DISPLAY are not set</source>
        <translation>ディスプレイがありません: DISPLAY も WAYLAND_DISPLAY も設定されていません</translation>
    </message>
    <message>
        <source>cannot show the window: no Qt platform plugin could start (%1)</source>
        <translation>ウィンドウを開けません: Qt のプラットフォームプラグインがどれも起動できません (%1)</translation>
    </message>
</context>
<context>
    <name>Fonts</name>
    <message>
        <source>no installed font covers Japanese text, so the game&apos;s texts show as boxes; install one, such as fonts-noto-cjk</source>
        <translation>日本語を表示できるフォントがひとつも入っていないので、ゲームの文字が四角になります。fonts-noto-cjk などを入れてください</translation>
    </message>
</context>
<context>
    <name>Music</name>
    <message>
        <source>a damaged format chunk</source>
        <translation>フォーマットのチャンクが壊れています</translation>
    </message>
    <message>
        <source>no format chunk in the WAV file</source>
        <translation>WAV ファイルにフォーマットのチャンクがありません</translation>
    </message>
    <message>
        <source>no data chunk in the WAV file</source>
        <translation>WAV ファイルにデータのチャンクがありません</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>no sound in the file</source>
        <translation>ファイルに音が入っていません</translation>
    </message>
    <message>
        <source>%1 samples a second, more than the %2 the sound server takes</source>
        <translation>1 秒に %1 サンプルで、サウンドサーバーが受けつける %2 を超えています</translation>
    </message>
    <message>
        <source>%1 channels, more than the %2 the sound server takes</source>
        <translation>%1 チャンネルで、サウンドサーバーが受けつける %2 を超えています</translation>
    </message>
    <message>
        <source>mono</source>
        <translation>モノラル</translation>
    </message>
    <message>
        <source>stereo</source>
        <translation>ステレオ</translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation>%1 チャンネル</translation>
    </message>
    <message>
        <source>another kind of sound than before</source>
        <translation>前とは別の種類の音になりました</translation>
    </message>
    <message>
        <source>file not found</source>
        <translation>ファイルが見つかりません</translation>
    </message>
    <message>
        <source>the audio thread&apos;s main loop failed</source>
        <translation>音声スレッドのメインループが失敗しました</translation>
    </message>
    <message>
        <source>the music has an audio output now and plays from the start</source>
        <translation>音楽の出力が見つかりました。最初から流します</translation>
    </message>
    <message>
        <source>cannot make a connection to the sound server</source>
        <translation>サウンドサーバーへの接続を作れません</translation>
    </message>
    <message>
        <source>the music&apos;s audio output was lost (%1); it starts again when the output is back</source>
        <translation>音楽の出力が失われました (%1)。出力が戻ると、また流れます</translation>
    </message>
    <message>
        <source>no audio output for the music (%1); it starts when there is one</source>
        <translation>音楽の出力がありません (%1)。出力ができると流れます</translation>
    </message>
    <message>
        <source>cannot be played any more (%1); the music is silent until it can be</source>
        <translation>もう鳴らせません (%1)。鳴らせるようになるまで音なしです</translation>
    </message>
    <message>
        <source>reads more than %1 MiB before its first sound</source>
        <translation>最初の音までに %1 MiB より多く読みます</translation>
    </message>
    <message>
        <source> (lines the decoder printed: %1, the first: &quot;%2&quot;)</source>
        <translation> (デコーダーが書いた行: %1、最初の行: &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>damaged sound; what can be decoded plays</source>
        <translation>壊れた音です。デコードできたところまで鳴らします</translation>
    </message>
    <message>
        <source>the music is silent: its sound library cannot be loaded (%1)</source>
        <translation>音楽は鳴りません。音のライブラリーを読み込めません (%1)</translation>
    </message>
</context>
<context>
    <name>PackCheck</name>
    <message>
        <source>missing</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>found</source>
        <translation>あり</translation>
    </message>
    <message>
        <source>found as %1</source>
        <translation>あり (名前は %1)</translation>
    </message>
    <message>
        <source>%1, %2 of %3 lines</source>
        <translation>%1、%3 行中 %2 行</translation>
    </message>
    <message>
        <source>not shown</source>
        <translation>映りません</translation>
    </message>
    <message>
        <source>%1 x %2 pixels, decoded within the budget</source>
        <translation>%1 × %2 ピクセル、予算の中で読めます</translation>
    </message>
    <message>
        <source>not played (%1)</source>
        <translation>鳴らせません (%1)</translation>
    </message>
    <message>
        <source>%1, %2 s, loops</source>
        <translation>%1, %2 秒, くりかえせます</translation>
    </message>
    <message>
        <source>%1, %2 s, does not loop</source>
        <translation>%1, %2 秒, くりかえせません</translation>
    </message>
    <message>
        <source>, damaged</source>
        <translation>、壊れています</translation>
    </message>
    <message>
        <source>the game&apos;s sound library cannot be loaded</source>
        <translation>ゲームの音のライブラリーを読み込めません</translation>
    </message>
</context>
<context>
    <name>Picture</name>
    <message>
        <source>cannot be decoded (%1)</source>
        <translation>デコードできません (%1)</translation>
    </message>
    <message>
        <source>the picture decoder cannot be started: %1</source>
        <translation>絵のデコーダーを起動できません: %1</translation>
    </message>
    <message>
        <source>took longer than %1 s to decode</source>
        <translation>デコードに %1 秒より長くかかりました</translation>
    </message>
    <message>
        <source>the picture decoder stopped on it</source>
        <translation>絵のデコーダーが途中で止まりました</translation>
    </message>
    <message>
        <source>needs more than %1 MB to decode</source>
        <translation>デコードに %1 MB より多くのメモリーが要ります</translation>
    </message>
    <message>
        <source>damaged picture (%1); what could be read shows</source>
        <translation>壊れた絵です (%1)。読めたところまで映します</translation>
    </message>
    <message>
        <source>not a JPEG, PNG, GIF or BMP picture</source>
        <translation>JPEG、PNG、GIF、BMP のどれでもありません</translation>
    </message>
    <message>
        <source>the decoder gives no reason</source>
        <translation>デコーダーは理由を言いません</translation>
    </message>
    <message>
        <source>its pixels did not come back</source>
        <translation>デコードした画素が返ってきません</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>%1 with a byte-order mark</source>
        <translation>BOM 付きの %1</translation>
    </message>
    <message>
        <source>code page 932 (Shift-JIS)</source>
        <translation>コードページ 932 (シフト JIS)</translation>
    </message>
    <message>
        <source>cannot be read (%1); its lines stay empty</source>
        <translation>読めません (%1)。行はすべて空のままです</translation>
    </message>
    <message>
        <source>line %1 is longer than %2 characters; only its first %2 are kept</source>
        <translation>%1 行目が %2 文字を超えています。最初の %2 文字だけを使います</translation>
    </message>
    <message>
        <source>holds only %1 of %2 lines in its first %3 bytes, all that is read; the rest stay empty</source>
        <translation>読む範囲である最初の %3 バイトに、%2 行のうち %1 行しかありません。残りの行は空のままです</translation>
    </message>
    <message>
        <source>has only %1 of %2 lines; the rest stay empty</source>
        <translation>%2 行のうち %1 行しかありません。残りの行は空のままです</translation>
    </message>
</context>
</TS>
