#include "commands/corereasons.h"

#include "grid/numbertext.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace loto6 {

namespace {

// The Japanese text of each kind, with {fact} where each fact goes.
struct KindText
{
    FaultKind kind;
    const char *japanese;
};

constexpr KindText Texts[] = {
    {FaultKind::NoDatabaseNamed,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "データベースのファイル名がありません。ファイル名を指定してください")},
    {FaultKind::DatabaseMissing,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "データベースのファイルがありません。ファイルの場所を確かめてください")},
    {FaultKind::DatabaseIsFolder,
        QT_TRANSLATE_NOOP("CoreReasons", "フォルダです。データベースのファイルを指定してください")},
    {FaultKind::DatabaseLocked,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースをほかのプログラムが使っています。そちらを閉じてからやり直してください")},
    {FaultKind::DatabaseDamaged,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースのファイルが壊れています（{detail}"
            "）。何も書き込んでいません。更新の前に残した控えなどから戻してください")},
    {FaultKind::DrawNumberBeyond,
        QT_TRANSLATE_NOOP("CoreReasons",
            "保存されている回数 {value} は、扱える最大の回数 {limit} "
            "を超えています。データベースの道具で結果マスタのその行を直すか消すか、控えから戻してく"
            "ださい")},
    {FaultKind::NoOutputNamed,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "書き出し先のファイル名がありません。ファイル名を指定してください")},
    {FaultKind::OutputIsFolder,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "{file}: フォルダです。その中のファイル名を指定してください")},
    {FaultKind::ProtectedOutput,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{file}: "
            "使用中のデータベースかその控えです。何も書き込んでいません。別のファイル名を指定してく"
            "ださい")},
    {FaultKind::OutputNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{file}: "
            "書き込めません（{detail}"
            "）。フォルダの書き込み権限とディスクの空きを確かめてください")},
    {FaultKind::UnknownEncoding,
        QT_TRANSLATE_NOOP("CoreReasons",
            "文字コードが UTF-8 でも Shift-JIS "
            "でもありません。どちらかの文字コードで保存し直してください")},
    {FaultKind::NotAFile,
        QT_TRANSLATE_NOOP("CoreReasons", "フォルダです。その中のファイルを指定してください")},
    {FaultKind::NotOrdinaryFile,
        QT_TRANSLATE_NOOP("CoreReasons",
            "通常のファイルではありません（装置やパイプなど）。データをファイルに保存してから指定し"
            "てください")},
    {FaultKind::FileTooBig,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "ファイルの大きさが {value} あります。{field}は {detail} までです")},
    {FaultKind::FileNotOpened,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルを開けません（{detail}）。ファイルの場所と読み取りの権限を確かめてください")},
    {FaultKind::FileNotRead,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルを読み込めません（{detail}"
            "）。ファイルの場所と読み取りの権限を確かめてください")},
    {FaultKind::FileNotCreated,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルを作れません（{detail}）。フォルダの書き込み権限を確かめてください")},
    {FaultKind::FileNotFlushed,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルをディスクに書き出せません（{detail}）。ディスクの空きを確かめてください")},
    {FaultKind::FileNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons",
            "書き込めません（{detail}"
            "）。フォルダの書き込み権限とディスクの空きを確かめてください")},
    {FaultKind::FileNotReplaced,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルを置き換えられません（{detail}）。フォルダの書き込み権限を確かめてください")},
    {FaultKind::LinkNotFollowed,
        QT_TRANSLATE_NOOP("CoreReasons",
            "リンクの先をたどれません（{detail}）。リンク先のファイルを直接指定してください")},
    {FaultKind::HistoryTooLarge,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "ファイルが大きすぎます。当選データのファイルは64メビバイトまでです")},
    {FaultKind::HistoryNotRead,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルを読み込めませんでした。ファイルを確かめてからやり直してください")},
    {FaultKind::SettingsNotText,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "設定ファイルの文字コードが Shift-JIS でも UTF-8 でもありません")},
    {FaultKind::SettingsNotEncoded,
        QT_TRANSLATE_NOOP("CoreReasons",
            "設定を Shift-JIS で書けない文字があります。設定の文字を確かめてください")},
    {FaultKind::EmptyFile,
        QT_TRANSLATE_NOOP("CoreReasons", "ファイルが空です。見出しの行が必要です")},
    {FaultKind::MissingColumn,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "見出しに{field}の列がありません。見出しの行を確かめてください")},
    {FaultKind::SecondColumn,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{field}の列が2つあります（{limit}列目にも）。どちらか一方を残してください")},
    {FaultKind::DrawNumberNotWhole,
        QT_TRANSLATE_NOOP("CoreReasons", "回数「{value}」は整数ではありません")},
    {FaultKind::DrawNumberBelowOne,
        QT_TRANSLATE_NOOP("CoreReasons", "回数は1以上です（「{value}」）")},
    {FaultKind::DrawNumberTooLarge,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "回数「{value}」は扱える最大の回数 {limit} を超えています")},
    {FaultKind::DateNotCalendar,
        QT_TRANSLATE_NOOP("CoreReasons",
            "「{value}」は暦にある日付ではありません（年-月-日 か 年/月/日 で書いてください）")},
    {FaultKind::NumberNotWhole,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」は整数ではありません")},
    {FaultKind::NumberOutOfRange,
        QT_TRANSLATE_NOOP("CoreReasons", "{field}の「{value}」は1～{limit}の数字ではありません")},
    {FaultKind::NumberRepeated,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{field}の {value} "
            "が2回あります（{earlier}にも）。数字はすべて異なる数にしてください")},
    {FaultKind::RowCutShort,
        QT_TRANSLATE_NOOP("CoreReasons",
            "セルが{value}個しかありません（見出しは{limit}個）。行が途中で切れています")},
    {FaultKind::RowTooLong,
        QT_TRANSLATE_NOOP("CoreReasons",
            "セルが{value}個あります（見出しは{limit}個）。余分なセルを消してください")},
    {FaultKind::LoneCarriageReturn,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "行の終わりが復帰文字だけです。ふつうの改行で保存し直してください")},
    {FaultKind::DrawNumberTwice,
        QT_TRANSLATE_NOOP("CoreReasons",
            "回数 {value} が2回あります（{limit}行目にも）。どちらかの行を消してください")},
    {FaultKind::AmountNotDigits,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{line}行目 {column}列目（{field}）: 「{value}」は半角数字の金額ではありません")},
    {FaultKind::UnknownLayout,
        QT_TRANSLATE_NOOP("CoreReasons",
            "読み込める形式のファイルではありません。当選データのファイルを指定してください")},
    {FaultKind::NotDrawTitle,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "「{value}」は「第2016回ロト６」のような回の見出しではありません")},
    {FaultKind::NumbersLineExpected,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "本数字とボーナス数字の行があるはずの所に「{value}」があります")},
    {FaultKind::TierLineExpected,
        QT_TRANSLATE_NOOP("CoreReasons", "{field}の行があるはずの所に「{value}」があります")},
    {FaultKind::TierLineMalformed,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{field}の行「{value}」は、口数と金額（半角数字）か「該当なし」の形ではありません")},
    {FaultKind::AmountLineExpected,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "{field}の金額（半角数字）の行があるはずの所に「{value}」があります")},
    {FaultKind::ExtraLine,
        QT_TRANSLATE_NOOP("CoreReasons", "結果のあとに思いがけない行「{value}」があります")},
    {FaultKind::FileCutShort,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルが行の途中で終わっています。途中で切れていないか確かめてください")},
    {FaultKind::EndsBeforeNumbers,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルが本数字の行より前で終わっています。途中で切れていないか確かめてください")},
    {FaultKind::EndsBeforeSales,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ファイルが販売実績額の行より前で終わっています。途中で切れていないか確かめてくださ"
            "い")},
    {FaultKind::LineExpected, QT_TRANSLATE_NOOP("CoreReasons", "{field}の行がありません")},
    {FaultKind::OfficialIndex,
        QT_TRANSLATE_NOOP("CoreReasons",
            "最近の回の一覧のファイルで、数字は入っていません。各回の結果のファイルを読み込んでくだ"
            "さい")},
    {FaultKind::DrawDateMissing, QT_TRANSLATE_NOOP("CoreReasons", "抽選日がありません")},
    {FaultKind::HistoryCutShort,
        QT_TRANSLATE_NOOP("CoreReasons",
            "当選データのファイルが行の途中で終わっています。途中で切れているので、時間をおいてやり"
            "直してください")},
    {FaultKind::EraDateUnknown,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」は平成か令和の日付ではありません")},
    {FaultKind::EraDateForm,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "「{value}」は「令和7年7月14日」のような日付ではありません")},
    {FaultKind::EraDateNotDay,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」は暦にある日ではありません")},
    {FaultKind::EraDateOutside,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」は{field}の期間にありません")},
    {FaultKind::ServedDrawInvalid,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "配信されたデータの第{draw}回に読み込めない値があります（{detail}）")},
    {FaultKind::DrawNotAccepted,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回に読み込めない値があります")},
    {FaultKind::DrawNotFromFile,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回に当選データのファイルにはない値があります。何も読み込んでいません")},
    {FaultKind::DrawIncomplete,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の数字が7個そろっていません")},
    {FaultKind::DrawTwice, QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回が2回あります")},
    {FaultKind::NoDrawsHeld, QT_TRANSLATE_NOOP("CoreReasons", "当選データが1回分もありません")},
    {FaultKind::DrawDisagrees,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回が{value}と食い違っています: {detail}")},
    {FaultKind::DrawConflicts,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{value}回分が、保存されているものと違う内容です。何も変更していません")},
    {FaultKind::DrawFuture,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回の抽選日 {value} "
            "が今日（{detail}"
            "）より後になっています。最新化はここで止め、何も変更していません。時間をおいてやり直し"
            "てください")},
    {FaultKind::DrawNotAfter,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回の抽選日 {value} が前の回の抽選日 {detail} "
            "より後になっていません。最新化はここで止め、何も変更していません")},
    {FaultKind::DrawAlreadyStored,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回はもう保存されています。直すときは直したファイルを読み込んでください")},
    {FaultKind::DrawNotNext,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回は最新の第{limit}回の次の回ではありません。回数を確かめてください")},
    {FaultKind::DateBeforePrevious,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "抽選日 {value} が第{draw}回の抽選日 {detail} より前です")},
    {FaultKind::DrawDateNotReal,
        QT_TRANSLATE_NOOP("CoreReasons", "抽選日「{value}」は暦にある日付ではありません")},
    {FaultKind::DrawNumberText,
        QT_TRANSLATE_NOOP("CoreReasons", "回数「{value}」が正しくありません（{detail}）")},
    {FaultKind::ImportCancelled,
        QT_TRANSLATE_NOOP("CoreReasons", "読み込みを取り消しました。何も読み込んでいません")},
    {FaultKind::SqliteFailed,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースを読み書きできません（{detail}）")},
    {FaultKind::DatabaseUnusable,
        QT_TRANSLATE_NOOP("CoreReasons",
            "このプログラムで使えるデータベースではありません（{cause}"
            "）。当選データのデータベースを指定してください")},
    {FaultKind::DatabaseNotOpened,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースを開けません（{cause}）")},
    {FaultKind::MemoryDatabase,
        QT_TRANSLATE_NOOP("CoreReasons",
            "作業用のデータベースを開けません（{cause}）。メモリの空きを確かめてください")},
    {FaultKind::HistoryNotReadDb,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースから当選データを読み込めません（{cause}）")},
    {FaultKind::DrawsNotReadDb,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースから当選データを読み込めません（{cause}）")},
    {FaultKind::DrawsNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons",
            "当選データをデータベースに書き込めません（{cause}）。何も変更していません")},
    {FaultKind::DrawNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons", "当選データをデータベースに書き込めません（{cause}）")},
    {FaultKind::DrawNotDeleted,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回をデータベースから削除できません（{cause}）")},
    {FaultKind::DrawRowFailed, QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回: {cause}")},
    {FaultKind::PayoutsNotRead,
        QT_TRANSLATE_NOOP("CoreReasons", "払戻金をデータベースから読み込めません（{detail}）")},
    {FaultKind::PayoutsNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons",
            "払戻金をデータベースに書き込めません（{detail}）。何も変更していません")},
    {FaultKind::PayoutNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の払戻金を書き込めません（{detail}）")},
    {FaultKind::PayoutNotRemoved,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の払戻金を削除できません（{detail}）")},
    {FaultKind::PayoutImpossible,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回の払戻金の{field}が {value} で、{detail} の範囲を外れています")},
    {FaultKind::FolderNotWritable,
        QT_TRANSLATE_NOOP("CoreReasons",
            "フォルダー {value} "
            "に書き込めないため、安全に変更できません（データベースと同じフォルダーに作業用のファイ"
            "ルを作ります）。フォルダーを書き込めるようにするか、書き込めるフォルダーにデータベース"
            "を移してください")},
    {FaultKind::DiskFull,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースのファイルに書き込めません。ディスクがいっぱいか、ファイルの大きさの上限に"
            "達しました（{detail}）。空きを作るか上限を上げてから、やり直してください")},
    {FaultKind::DatabaseCutShort,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "データベースのファイルが途中で切れています（{value}バイト）")},
    {FaultKind::DatabaseNotWhole,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースのファイルが途中で切れています（{value}バイトは{limit}"
            "バイトのページの整数倍ではありません）")},
    {FaultKind::DatabaseHeader,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースの先頭の部分が壊れています")},
    {FaultKind::NoDrawsTable,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースに{field}の表がありません")},
    {FaultKind::NoHistoryView,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースに{field}"
            "のビューがありません。このプログラムのデータベースを指定してください")},
    {FaultKind::ViewFieldMissing,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{field}に{value}の欄がありません。このプログラムのデータベースを指定してください")},
    {FaultKind::NotDrawDatabase,
        QT_TRANSLATE_NOOP("CoreReasons", "当選データのデータベースではありません（{cause}）")},
    {FaultKind::NeitherDatabaseNorCsv,
        QT_TRANSLATE_NOOP("CoreReasons",
            "当選データのデータベースでも、読み込める当選データのファイルでもありません（{cause}"
            "）")},
    {FaultKind::DrawsNotRead,
        QT_TRANSLATE_NOOP("CoreReasons", "当選データを読み込めません（{cause}）")},
    {FaultKind::CopyNotWritten,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{file} "
            "のそばに確認用の写しを書き込めません。フォルダの書き込み権限とディスクの空きを確かめて"
            "ください")},
    {FaultKind::BackupNotKept,
        QT_TRANSLATE_NOOP("CoreReasons", "前のデータベースの控えを残せません: {cause}")},
    {FaultKind::NotCreatedFromBundle,
        QT_TRANSLATE_NOOP("CoreReasons", "同梱の当選データから {file} を作れません: {cause}")},
    {FaultKind::DatabaseNotCreated,
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースを作れません（{detail}{cause}"
            "）。フォルダの書き込み権限とディスクの空きを確かめてください")},
    {FaultKind::TablesNotCreated,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースに表を作れません: {cause}")},
    {FaultKind::SourceNotRecorded,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の取得元を記録できません（{detail}）")},
    {FaultKind::SourcesNotRead,
        QT_TRANSLATE_NOOP("CoreReasons", "当選データの取得元を読み込めません（{detail}）")},
    {FaultKind::DownloadFailed,
        QT_TRANSLATE_NOOP("CoreReasons", "{file}: ダウンロードできませんでした: {detail}{cause}")},
    {FaultKind::DownloadStart,
        QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードの機能を始められません（{detail}）")},
    {FaultKind::DownloadScheme,
        QT_TRANSLATE_NOOP("CoreReasons", "取得できるのは http:// か https:// のアドレスだけです")},
    {FaultKind::HttpStatus,
        QT_TRANSLATE_NOOP("CoreReasons",
            "サーバーの応答は {value} "
            "番でした。アドレスを確かめるか、時間をおいてやり直してください")},
    {FaultKind::TransferShort,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{limit}バイトのうち{value}バイトしか届いていません。やり直してください")},
    {FaultKind::EmptyBody, QT_TRANSLATE_NOOP("CoreReasons", "サーバーから届いたファイルが空です")},
    {FaultKind::OversizedHeader,
        QT_TRANSLATE_NOOP("CoreReasons",
            "サーバーの応答の見出しが大きすぎるので受け取りませんでした。アドレスを確かめてくださ"
            "い")},
    {FaultKind::BodyTooLarge, QT_TRANSLATE_NOOP("CoreReasons", "ファイルが{value}より大きいです")},
    {FaultKind::DownloadCancelled,
        QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードを取り消しました")},
    {FaultKind::TimedOut,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "時間切れです（{detail}）。接続を確かめてからやり直してください")},
    {FaultKind::TransferEnded,
        QT_TRANSLATE_NOOP("CoreReasons", "途中で切れました（{detail}）。やり直してください")},
    {FaultKind::HostNotFound,
        QT_TRANSLATE_NOOP("CoreReasons",
            "サーバーの名前が見つかりません（{detail}）。接続とアドレスを確かめてください")},
    {FaultKind::Unreachable,
        QT_TRANSLATE_NOOP("CoreReasons",
            "サーバーに接続できません（{detail}）。接続とアドレスを確かめてください")},
    {FaultKind::DeadlinePassed,
        QT_TRANSLATE_NOOP("CoreReasons", "このファイルを取得する前に最新化の制限時間が過ぎました")},
    {FaultKind::BrowserOnly,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{cause}（サーバーが自動のダウンロードを断っています。結果ページをブラウザで開いて"
            "結果ファイルを保存し、「CSVから取り込み...」で取り込んでください）")},
    {FaultKind::UpdateOutOfTime,
        QT_TRANSLATE_NOOP("CoreReasons",
            "最新化が制限時間の{limit}秒を過ぎたため止めました。何も変えていません。"
            "しばらくしてからやり直してください（{cause}）")},
    {FaultKind::SourcesFailed,
        QT_TRANSLATE_NOOP("CoreReasons",
            "処理を続けられませんでした（詳しい理由: "
            "{detail}）。内容を確かめてからやり直してください")},
    {FaultKind::NoUpdateTarget,
        QT_TRANSLATE_NOOP("CoreReasons", "当選データファイル：'{file}'が存在しません")},
    {FaultKind::UpdateNotFinished,
        QT_TRANSLATE_NOOP("CoreReasons", "最新化が途中で終わりました。もう一度実行してください")},
    {FaultKind::PdfNotMade, QT_TRANSLATE_NOOP("CoreReasons", "PDF を作れませんでした。")},
    {FaultKind::TicketSigned,
        QT_TRANSLATE_NOOP("CoreReasons",
            "「{value}」に符号のついた数字があります。購入番号の数字は1～{limit}の整数です")},
    {FaultKind::TicketNotNumbers,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "「{value}」は空白かカンマで区切った6個の数字ではありません")},
    {FaultKind::TicketTooMany,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」には数字が7個以上あります")},
    {FaultKind::TicketTooFew,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "「{value}」の数字は{limit}個です。購入番号は6個の数字です")},
    {FaultKind::TicketFirstDraw,
        QT_TRANSLATE_NOOP("CoreReasons", "開始回 {value} は1～{limit}の範囲にありません")},
    {FaultKind::TicketDraws,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "継続回数 {value} は1以上で、第{limit}回までに終わる数にしてください")},
    {FaultKind::TicketUnits,
        QT_TRANSLATE_NOOP("CoreReasons", "口数 {value} は1～{limit}にしてください")},
    {FaultKind::MemoTooLong,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "メモが{limit}バイトより長くなっています。短くしてください")},
    {FaultKind::MemoNotText,
        QT_TRANSLATE_NOOP("CoreReasons",
            "メモ「{value}"
            "」に制御文字か文字として読めないバイトがあります。1行のふつうの文字で書いてください")},
    {FaultKind::TicketMissing, QT_TRANSLATE_NOOP("CoreReasons", "購入番号 {value} はありません")},
    {FaultKind::TicketRecorded,
        QT_TRANSLATE_NOOP("CoreReasons",
            "購入番号 {value} は記録した予想です。変更はできません（削除はできます）")},
    {FaultKind::TicketNotChanged,
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号 {value} を変更できませんでした（{detail}）")},
    {FaultKind::TicketsNotRead, QT_TRANSLATE_NOOP("CoreReasons", "購入番号を読み込めません")},
    {FaultKind::TicketNotStored,
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号 {value} を保存できません（{detail}）")},
    {FaultKind::TicketNotChangedDb, QT_TRANSLATE_NOOP("CoreReasons", "購入番号を変更できません")},
    {FaultKind::TicketNotDeleted,
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号 {value} を削除できません（{detail}）")},
    {FaultKind::TicketInvalid, QT_TRANSLATE_NOOP("CoreReasons", "購入番号 {value}: {cause}")},
    {FaultKind::PredictionsNotRead,
        QT_TRANSLATE_NOOP("CoreReasons", "記録した予想を読み込めません")},
    {FaultKind::PredictionNotStored,
        QT_TRANSLATE_NOOP("CoreReasons", "予想を記録できません（{detail}）")},
    {FaultKind::PredictionEmpty,
        QT_TRANSLATE_NOOP("CoreReasons",
            "一発ズンベル予想に6個の数字がそろっていないため、記録できません。"
            "スイッチを変えてからやり直してください。")},
    {FaultKind::NoDrawFollows,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の次の回はないため、予想を記録できません。")},
    {FaultKind::NoTicketForDraw,
        QT_TRANSLATE_NOOP("CoreReasons", "第{draw}回の購入番号がありません")},
    {FaultKind::NextDrawMoved,
        QT_TRANSLATE_NOOP("CoreReasons",
            "第{draw}回のための番号でしたが、その間に別のプログラムが当選データを追加し、次の回は"
            "第{limit}回になりました。何も追加していません。もう一度実行すると第{limit}"
            "回から追加します")},
    {FaultKind::CheckFromTooEarly,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "検証を始める回は、数字のそろった最初の回かそれより後にしてください")},
    {FaultKind::CheckLeavesNone,
        QT_TRANSLATE_NOOP("CoreReasons",
            "数字のそろった回は{value}回分なので、{limit}"
            "回目からでは検証する回が残りません。始める回を前にしてください")},
    {FaultKind::CheckStopped, QT_TRANSLATE_NOOP("CoreReasons", "検証を止めました")},
    {FaultKind::NoPayoutsToLearn,
        QT_TRANSLATE_NOOP("CoreReasons",
            "払戻金と販売実績額のある回がないので、人気を推定できません。賞金つきの当選データを読み"
            "込んでください")},
    {FaultKind::PickCount,
        QT_TRANSLATE_NOOP("CoreReasons", "口数は1～{limit}口で指定してください")},
    {FaultKind::NoCombinationPasses,
        QT_TRANSLATE_NOOP("CoreReasons", "条件に合う組合せがありません。条件をゆるめてください")},
    {FaultKind::FewCombinationsPass,
        QT_TRANSLATE_NOOP("CoreReasons",
            "条件に合う組合せは {gvalue} "
            "通りだけで、{limit}口は選べません。口数を減らしてください")},
    {FaultKind::PopularityNotLearnt,
        QT_TRANSLATE_NOOP("CoreReasons",
            "人気の低い組合せに絞るには人気度の推定が要りますが、払戻金と販売実績額のある回があり"
            "ません。賞金つきの当選データを読み込んでください")},
    {FaultKind::IncludedAndExcluded,
        QT_TRANSLATE_NOOP("CoreReasons",
            "数字 {value} が「必ず含める数字」と「除外する数字」の両方にあります。どちらかから外し"
            "てください")},
    {FaultKind::IncludedOutsidePool,
        QT_TRANSLATE_NOOP("CoreReasons",
            "「必ず含める数字」の {value} が「この中から選ぶ」にありません。「この中から選ぶ」に"
            "加えてください")},
    {FaultKind::TooManyIncluded,
        QT_TRANSLATE_NOOP("CoreReasons", "「必ず含める数字」は6個までにしてください")},
    {FaultKind::TooFewAllowed,
        QT_TRANSLATE_NOOP("CoreReasons",
            "選べる数字が{value}個しか残りません。除外や候補を見直して6個以上残してください")},
    {FaultKind::NoTicketsToWeigh,
        QT_TRANSLATE_NOOP("CoreReasons", "確率を数える番号がありません。先に番号を選んでください")},
    {FaultKind::TooManyToWeigh,
        QT_TRANSLATE_NOOP("CoreReasons",
            "当せん確率を数えられるのは{limit}口までです（いま{value}"
            "口）。口数を減らしてください")},
    {FaultKind::NotSixNumbers,
        QT_TRANSLATE_NOOP("CoreReasons", "{value} は1～{limit}の異なる6個の数字ではありません")},
    {FaultKind::OddsCancelled,
        QT_TRANSLATE_NOOP("CoreReasons", "当せん確率の計算をキャンセルしました")},
    {FaultKind::WheelPoolSize,
        QT_TRANSLATE_NOOP("CoreReasons", "ホイールの数字は6～{limit}個です（いま {value} 個）")},
    {FaultKind::WheelNumberOutside,
        QT_TRANSLATE_NOOP("CoreReasons", "ホイールの数字 {value} は1～{limit}の範囲にありません")},
    {FaultKind::WheelNumberTwice,
        QT_TRANSLATE_NOOP("CoreReasons", "ホイールの数字に {value} が2回あります")},
    {FaultKind::WheelGuarantee,
        QT_TRANSLATE_NOOP("CoreReasons",
            "「{limit}個出れば{value}"
            "個当たる」は保証にできません。「当たり」は3以上で「出目」以下、"
            "「出目」は6以下にしてください")},
    {FaultKind::WheelCancelled,
        QT_TRANSLATE_NOOP("CoreReasons", "ホイールを見つける前にキャンセルしました")},
    {FaultKind::WheelNotKept,
        QT_TRANSLATE_NOOP("CoreReasons",
            "ホイールの保証を確かめられなかったため、表示しません。数字か保証を変えてやり直して"
            "ください")},
    {FaultKind::NoTicketsToAdd,
        QT_TRANSLATE_NOOP("CoreReasons", "追加する番号がありません。先に番号を選んでください")},
    {FaultKind::NumberListItem,
        QT_TRANSLATE_NOOP("CoreReasons", "「{value}」は1～{limit}の数字ではありません")},
    {FaultKind::NoDatabaseOpen,
        QT_TRANSLATE_NOOP("CoreReasons", "データベースが開かれていません。")},
    {FaultKind::NoTableShown,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "表が表示されていません。表を開いてからやり直してください")},
    {FaultKind::PictureNotMade,
        QT_TRANSLATE_NOOP("CoreReasons", "画像を作れませんでした。もう一度やり直してください")},
    {FaultKind::PaintedPictureSvg,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "この画像は PNG でだけ保存できます。PNG を選んでください")},
    {FaultKind::CsvNotShiftJis,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "Shift-JIS で表せない文字があります。UTF-8 で保存してください。")},
    {FaultKind::RecordingAsOf,
        QT_TRANSLATE_NOOP("CoreReasons",
            "基準回を指定している間は予想を記録できません。"
            "「最新の回に戻す」を選んでからやり直してください。")},
    {FaultKind::PredictionUnsaved,
        QT_TRANSLATE_NOOP("CoreReasons",
            "予想を記録できませんでした。データベースに書き込めるか"
            "確かめてからやり直してください。\n{cause}")},
    {FaultKind::NoNumbersTyped, QT_TRANSLATE_NOOP("CoreReasons", "番号が入力されていません。")},
    {FaultKind::NoTicketChosen,
        QT_TRANSLATE_NOOP("CoreReasons", "削除する番号の行を「購入番号」の表で選んでください。")},
    {FaultKind::Within, QT_TRANSLATE_NOOP("CoreReasons", "{cause}")},
};

// The texts of a form of its own: a ticket's numbers have no field names; the entry grid
// names the cell before the reason.
struct FormText
{
    DrawForm form;
    FaultKind kind;
    const char *japanese;
};

constexpr FormText FormTexts[] = {
    {DrawForm::Ticket, FaultKind::NumberOutOfRange,
        QT_TRANSLATE_NOOP("CoreReasons", "数字 {value} は1～{limit}の範囲にありません")},
    {DrawForm::Ticket, FaultKind::NumberRepeated,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "数字 {value} が2回あります。購入番号は異なる6個の数字です")},
    {DrawForm::Entry, FaultKind::NumberOutOfRange,
        QT_TRANSLATE_NOOP("CoreReasons", "{field}: {value} は1～{limit}の範囲外です")},
    {DrawForm::Entry, FaultKind::NumberNotWhole,
        QT_TRANSLATE_NOOP(
            "CoreReasons", "{field}: {value} は整数ではありません（小数点や文字は使えません）")},
    {DrawForm::Entry, FaultKind::NumberRepeated,
        QT_TRANSLATE_NOOP("CoreReasons",
            "{field}: {value} は{earlier}と同じです（1回の7つの数字はすべて異なります）")},
};

const char *formTemplateOf(const Fault &f)
{
    for (const FormText &t : FormTexts)
        if (t.form == f.form && t.kind == f.kind)
            return t.japanese;
    return nullptr;
}

const char *templateOf(FaultKind kind)
{
    const auto *t = std::find_if(
        std::begin(Texts), std::end(Texts), [kind](const KindText &e) { return e.kind == kind; });
    return t == std::end(Texts) ? nullptr : t->japanese;
}

QString fact(QStringView name, const Fault &f)
{
    const auto text = [](const std::string &s) { return QString::fromStdString(s); };
    if (name == u"file")
        return text(f.file);
    if (name == u"value")
        return text(f.value);
    if (name == u"gvalue") // a count, grouped by thousands
        return text(groupedText(std::atoll(f.value.c_str())));
    if (name == u"field")
        return text(f.field);
    if (name == u"earlier")
        return text(f.earlier);
    if (name == u"draw")
        return QString::number(f.draw);
    if (name == u"limit")
        return QString::number(f.limit);
    if (name == u"detail")
        return text(f.detail);
    if (name == u"line")
        return QString::number(f.line);
    if (name == u"column")
        return QString::number(f.column);
    if (name == u"cause")
        return f.cause ? CoreReasons::japanese(*f.cause) : QString();
    return QString();
}

// "FILE: 3行目 4列目（「回数」）: " for the facts the text does not name itself.
QString placePrefix(const Fault &f, const QString &text)
{
    QString out;
    if (!f.file.empty() && !text.contains(u"{file}"))
        out += QString::fromStdString(f.file) + QStringLiteral(": ");
    if (f.line > 0 && !text.contains(u"{line}")) {
        out += CoreReasons::tr("%1行目").arg(f.line);
        if (f.column > 0)
            out += CoreReasons::tr(" %1列目").arg(f.column);
        if (f.column > 0 && !f.heading.empty())
            out += CoreReasons::tr("（「%1」）").arg(QString::fromStdString(f.heading));
        out += QStringLiteral(": ");
    }
    return out;
}

} // namespace

QString CoreReasons::japanese(const Status &status)
{
    return status.ok() ? QString() : japanese(status.fault());
}

QString CoreReasons::japanese(const Fault &f)
{
    const char *ownForm = formTemplateOf(f);
    const char *known = ownForm ? ownForm : templateOf(f.kind);
    if (!known) {
        // A reason without a kind of its own is English: named inside one general text.
        const std::string english
            = f.kind == FaultKind::Other ? (f.text.empty() ? f.detail : f.text) : englishText(f);
        return placePrefix(f, QString())
            + tr("処理を続けられませんでした（詳しい理由: "
                 "%1）。内容を確かめてからやり直してください")
                  .arg(QString::fromStdString(english));
    }
    const QString text = tr(known);
    QString body;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype close = text.at(i) == u'{' ? text.indexOf(u'}', i) : -1;
        if (close < 0) {
            body += text.at(i++);
            continue;
        }
        body += fact(QStringView(text).mid(i + 1, close - i - 1), f);
        i = close + 1;
    }
    return placePrefix(f, text) + body;
}

bool CoreReasons::hasText(FaultKind kind) { return templateOf(kind) != nullptr; }

} // namespace loto6
