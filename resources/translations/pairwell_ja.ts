<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppDelegate</name>
    <message>
        <location filename="../../app/AppDelegate.cpp" line="+275" />
        <source>Pairwell Help</source>
        <translation>Pairwell ヘルプ</translation>
    </message>
</context>
<context>
    <name>Card</name>
    <message>
        <location filename="../../app/Card.cpp" line="+96" />
        <source>Card %1</source>
        <translation>カード %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Face %1</source>
        <translation>絵柄 %1</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Face down</source>
        <translation>裏向き</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <location filename="../../app/HelpView.cpp" line="+17" />
        <source>Pairwell Help</source>
        <translation>Pairwell ヘルプ</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Just a simple nervous-breakdown. You can customize card-faces.</source>
        <translation>シンプルな神経衰弱ゲームです。カードの絵柄は自由に変えられます。</translation>
    </message>
    <message>
        <location line="+2" />
        <source>Controls</source>
        <translation>遊び方</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Select a card to uncover, then another. If two of them match, they will be kept open. Your goal is to open all the cards.</source>
        <translation>カードを1枚選んでめくり、続けてもう1枚めくります。2枚の絵柄がそろえば、表向きのまま残ります。すべてのカードを表にすればクリアです。</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Customize card-faces in preferences. To add a new set, prepare 10 images for card-faces, 1 image for covered face. Drop pictures to image well one by one, name the set, then click Save. You cannot overwrite an existing set, so if you want to edit a set, change its name and save. To use in games, click Use. To delete, select the set from pop-up and click Delete.</source>
        <translation>カードの絵柄は環境設定で変更できます。新しいセットを追加するには、表の絵柄用の画像を10枚と、裏面用の画像を1枚用意します。画像を画像枠に1枚ずつドロップし、セットに名前を付けて「保存」をクリックします。既存のセットは上書きできないので、セットを編集したいときは名前を変えて保存してください。ゲームで使うには「使用」をクリックします。削除するには、ポップアップメニューでセットを選んで「削除」をクリックします。</translation>
    </message>
</context>
<context>
    <name>ImageWell</name>
    <message>
        <location filename="../../app/ImageWell.cpp" line="+154" />
        <source>Choose an Image</source>
        <translation>画像を選択</translation>
    </message>
    <message>
        <location line="+4" />
        <source>Images (%1)</source>
        <translation>画像 (%1)</translation>
    </message>
    <message>
        <location line="+0" />
        <source>All Files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <location line="+18" />
        <location line="+42" />
        <source>Cover</source>
        <translation>裏面</translation>
    </message>
    <message>
        <location line="-42" />
        <source>Face %1</source>
        <translation>絵柄 %1</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Holds an image</source>
        <translation>画像あり</translation>
    </message>
    <message>
        <location line="+0" />
        <source>Empty</source>
        <translation>空</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Drop an image here, paste one, or click to choose a file</source>
        <translation>画像をドロップまたは貼り付けるか、クリックしてファイルを選択します</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.ui" line="+45" />
        <source>Board</source>
        <translation>盤面</translation>
    </message>
    <message>
        <location line="+186" />
        <location line="+3" />
        <source>New Game</source>
        <translation>新しいゲーム</translation>
    </message>
    <message>
        <location line="+7" />
        <location line="+3" />
        <source>Halt</source>
        <translation>中断</translation>
    </message>
    <message>
        <location line="+7" />
        <source>Score</source>
        <translation>スコア</translation>
    </message>
    <message>
        <location line="+32" />
        <source>&amp;Game</source>
        <translation>ゲーム(&amp;G)</translation>
    </message>
    <message>
        <location line="+12" />
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <location line="+9" />
        <source>&amp;New Game</source>
        <translation>新しいゲーム(&amp;N)</translation>
    </message>
    <message>
        <location line="+3" />
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <location line="+5" />
        <source>&amp;Halt</source>
        <translation>中断(&amp;H)</translation>
    </message>
    <message>
        <location line="+5" />
        <source>&amp;Preferences…</source>
        <translation>環境設定(&amp;P)…</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Check for &amp;Updates…</source>
        <translation>アップデートを確認(&amp;U)…</translation>
    </message>
    <message>
        <location line="+8" />
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <location line="+8" />
        <source>Pairwell &amp;Help</source>
        <translation>Pairwell ヘルプ(&amp;H)</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <location filename="../../app/PreferencesWindow.cpp" line="+56" />
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Card Faces</source>
        <translation>カードの絵柄</translation>
    </message>
    <message>
        <location line="+1" />
        <source>Updates</source>
        <translation>アップデート</translation>
    </message>
</context>
<context>
    <name>UserView</name>
    <message>
        <location filename="../UserView.ui" line="+22" />
        <source>S&amp;et:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+16" />
        <source>Card-face sets</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+7" />
        <source>&amp;Use</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+3" />
        <source>Show this set on the cards from the next card turned</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+7" />
        <source>&amp;Delete</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+3" />
        <source>Delete this set</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+17" />
        <source>Faces</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+7" />
        <source>Cover</source>
        <translation type="unfinished">裏面</translation>
    </message>
    <message>
        <location line="+104" />
        <source>&amp;Name:</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+10" />
        <source>Name of the set</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+7" />
        <source>&amp;Save</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+3" />
        <source>Save the images in the wells as a new set under this name</source>
        <translation type="unfinished" />
    </message>
    <message>
        <location line="+18" />
        <source>Status</source>
        <translation type="unfinished" />
    </message>
</context>
</TS>