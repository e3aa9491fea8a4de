<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>AppDelegate</name>
    <message>
        <location filename="../../app/AppDelegate.cpp" line="+421"/>
        <source>Pairwell Help</source>
        <translation>Pairwell ヘルプ</translation>
    </message>
    <message>
        <location line="-101"/>
        <source>Face %1</source>
        <translation>絵柄 %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Face %1, pair found</source>
        <translation>絵柄 %1、ペアがそろいました</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Face %1, no match</source>
        <translation>絵柄 %1、ペアではありません</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Cards %1 and %2 face down again</source>
        <translation>カード %1 と %2 を裏向きに戻しました</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Clicks: %1</source>
        <translation>クリック数: %1</translation>
    </message>
</context>
<context>
    <name>Card</name>
    <message>
        <location filename="../../app/Card.cpp" line="+252"/>
        <source>Card %1</source>
        <translation>カード %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Face %1</source>
        <translation>絵柄 %1</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Face down</source>
        <translation>裏向き</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Card %1, row %2, column %3</source>
        <translation>カード %1、%2 行 %3 列</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Face %1, found</source>
        <translation>絵柄 %1、そろい済み</translation>
    </message>
</context>
<context>
    <name>HelpView</name>
    <message>
        <location filename="../../app/HelpView.cpp" line="+20"/>
        <source>Pairwell Help</source>
        <translation>Pairwell ヘルプ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Just a simple nervous-breakdown. You can customize card-faces.</source>
        <translation>シンプルな神経衰弱ゲームです。カードの絵柄は自由に変えられます。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Controls</source>
        <translation>遊び方</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select a card to uncover, then another. If two of them match, they will be kept open. Your goal is to open all the cards.</source>
        <translation>カードを1枚選んでめくり、続けてもう1枚めくります。2枚の絵柄がそろえば、表向きのまま残ります。すべてのカードを表にすればクリアです。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Settings</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Customize card-faces in preferences. To add a new set, prepare 10 images for card-faces, 1 image for covered face. Drop pictures to image well one by one, name the set, then click Save. You cannot overwrite an existing set, so if you want to edit a set, change its name and save. To use in games, click Use. To delete, select the set from pop-up and click Delete.</source>
        <translation>カードの絵柄は環境設定で変更できます。新しいセットを追加するには、表の絵柄用の画像を10枚と、裏面用の画像を1枚用意します。画像を画像枠に1枚ずつドロップし、セットに名前を付けて「保存」をクリックします。既存のセットは上書きできないので、セットを編集したいときは名前を変えて保存してください。ゲームで使うには「使用」をクリックします。削除するには、ポップアップメニューでセットを選んで「削除」をクリックします。</translation>
    </message>
</context>
<context>
    <name>ImageWell</name>
    <message>
        <location filename="../../app/ImageWell.cpp" line="+155"/>
        <source>Choose an Image</source>
        <translation>画像を選択</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Images (%1)</source>
        <translation>画像ファイル (%1)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>All Files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+52"/>
        <source>Cover</source>
        <translation>裏面</translation>
    </message>
    <message>
        <location line="-52"/>
        <source>Face %1</source>
        <translation>絵柄 %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Holds an image</source>
        <translation>画像あり</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Empty</source>
        <translation>画像なし</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Drop an image here, paste one, or click to choose a file</source>
        <translation>画像をドロップまたは貼り付けるか、クリックしてファイルを選択します</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>%1. Press Enter or Space to choose an image file, Ctrl+V to paste one, or drop one here</source>
        <translation>%1。Enter キーか Space キーで画像ファイルを選択、Ctrl+V で貼り付け、またはここにドロップします</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../MainWindow.ui" line="+45"/>
        <source>Board</source>
        <translation>盤面</translation>
    </message>
    <message>
        <location line="+223"/>
        <location line="+3"/>
        <source>New Game</source>
        <translation>新しいゲーム</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+3"/>
        <source>Halt</source>
        <translation>中断</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>&amp;Game</source>
        <translation>ゲーム(&amp;G)</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;New Game</source>
        <translation>新しいゲーム(&amp;N)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Halt</source>
        <translation>中断(&amp;H)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Preferences…</source>
        <translation>環境設定(&amp;P)…</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Check for &amp;Updates…</source>
        <translation>アップデートを確認(&amp;U)…</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Pairwell &amp;Help</source>
        <translation>Pairwell ヘルプ(&amp;H)</translation>
    </message>
</context>
<context>
    <name>MendNews</name>
    <message>
        <location filename="../MendNews.ui" line="+9"/>
        <source>Software Update</source>
        <translation>ソフトウェアアップデート</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Update available</source>
        <translation>アップデートがあります</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>A newer version is published. Download and install it now? It runs from the next launch.</source>
        <translation>新しいバージョンが公開されています。今すぐダウンロードしてインストールしますか？新しいバージョンは次回の起動から使われます。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Later</source>
        <translation>あとで</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Download and install the update</source>
        <translation>アップデートをダウンロードしてインストールします</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Download and Install</source>
        <translation>ダウンロードしてインストール</translation>
    </message>
</context>
<context>
    <name>MendView</name>
    <message>
        <location filename="../MendView.ui" line="+12"/>
        <source>Looks for a newer version on the maker&apos;s page. An update goes into the Applications folder and runs from the next launch; the version it replaces goes to the Trash.</source>
        <translation>作者のページで新しいバージョンを探します。アップデートはアプリケーションフォルダに入り、次回の起動から使われます。置き換えられた古いバージョンはゴミ箱に移されます。</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Check for Updates</source>
        <translation>アップデートを確認</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Check for Updates…</source>
        <translation>アップデートを確認…</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Update progress</source>
        <translation>アップデートの進行状況</translation>
    </message>
    <message>
        <location filename="../../app/MendView.cpp" line="+100"/>
        <source>This is %1 %2.</source>
        <translation>お使いのバージョンは %1 %2 です。</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+78"/>
        <source>Error. Try later.</source>
        <translation>エラー: しばらくしてからもう一度お試しください。</translation>
    </message>
    <message>
        <location line="-59"/>
        <source>Update is available</source>
        <translation>アップデートがあります</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 received</source>
        <translation>%1 受信済み</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Done. Updated Version Will Run in The Next Launch.</source>
        <translation>完了しました。新しいバージョンは次回の起動から使われます。</translation>
    </message>
    <message>
        <location line="-88"/>
        <source>Checking for updates…</source>
        <translation>アップデートを確認しています…</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>%1 %2 is published. Download and install it now? It runs from the next launch.</source>
        <translation>%1 %2 が公開されています。今すぐダウンロードしてインストールしますか? 次回の起動から使われます。</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <location filename="../../app/PreferencesWindow.cpp" line="+71"/>
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Card Faces</source>
        <translation>カードの絵柄</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Updates</source>
        <translation>アップデート</translation>
    </message>
</context>
<context>
    <name>UserView</name>
    <message>
        <location filename="../UserView.ui" line="+22"/>
        <source>S&amp;et:</source>
        <translation>セット(&amp;E):</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Card-face sets</source>
        <translation>カードの絵柄セット</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Use</source>
        <translation>使用(&amp;U)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Show this set on the cards from the next card turned</source>
        <translation>次にめくるカードから、このセットの絵柄を表示します</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete this set</source>
        <translation>このセットを削除します</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Faces</source>
        <translation>表の絵柄</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Cover</source>
        <translation>裏面</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>&amp;Name:</source>
        <translation>名前(&amp;N):</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Name of the set</source>
        <translation>セットの名前</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Save the images in the wells as a new set under this name</source>
        <translation>画像枠の画像を、この名前の新しいセットとして保存します</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Saving the set</source>
        <translation>セットを保存しています</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%v of %m files</source>
        <translation>%m 個中 %v 個のファイル</translation>
    </message>
    <message>
        <location filename="../../app/UserView.cpp" line="+21"/>
        <source>Add New Set</source>
        <translation>新しいセットを追加</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>Info missing ...</source>
        <translation>情報が足りません…</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Invalid Name</source>
        <translation>この名前は使えません</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+10"/>
        <location line="+46"/>
        <source>Already Exists</source>
        <translation>同じ名前のセットがすでにあります</translation>
    </message>
    <message>
        <location line="-45"/>
        <location line="+45"/>
        <source>Error. Could not save</source>
        <translation>エラー: 保存できませんでした</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Error. Could not delete the set</source>
        <translation>エラー: セットを削除できませんでした</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Error. Could not change the set in use</source>
        <translation>エラー: 使うセットを変更できませんでした</translation>
    </message>
    <message>
        <location line="-66"/>
        <source>Saved</source>
        <translation>保存しました</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+23"/>
        <source>At Least, One set is required.</source>
        <translation>セットは少なくとも1つ必要です。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Removed</source>
        <translation>削除しました</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Error. No Folder Exists</source>
        <translation>エラー: フォルダがありません</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Will be Valid in the Next Game</source>
        <translation>次のゲームから有効になります</translation>
    </message>
</context>
</TS>
