#include "commands/corereasons.h"

#include <QRegularExpression>

#include <utility>
#include <vector>

namespace loto6 {

namespace {

// One reason of the core: its English form (captures for the values it names) and the Japanese
// text that replaces it, with \1, \2 for those values.
struct Rule
{
    const char *english;
    const char *japanese;
};

// Longer forms first: a rule never sees the text an earlier one has put into Japanese.
constexpr Rule Rules[] = {
    {R"r(the folder (.*) is not writable, so no change can be made safely \(SQLite keeps its journal beside the database\); make the folder writable or move the database to one that is)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "フォルダー \\1 "
            "に書き込めないため、安全に変更できません（データベースと同じフォルダーに"
            "作業用のファイルを作ります）。フォルダーを書き込めるようにするか、書き込めるフォルダー"
            "に"
            "データベースを移してください")},
    {R"r(cannot write the database file: the disk is full or a file size limit was reached \((.*)\); free some space or raise the limit and try again)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースのファイルに書き込めません。ディスクがいっぱいか、ファイルの大きさの上限に"
            "達しました（\\1）。空きを作るか上限を上げてから、やり直してください")},
    {R"r("(.*)" has a signed number; a ticket number is a whole number from 1 to 43)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "「\\1」に符号のついた数字があります。購入番号の数字は1～43の整数です")},
    {R"r(the memo "(.*)" holds control characters or bytes that are not UTF-8 text; write it as plain text on one line)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "メモ「\\1」に制御文字か文字として読めないバイトがあります。1行のふつうの文字で"
            "書いてください")},
    {R"r("(.*)" is not six numbers separated by spaces or commas)r",
        QT_TRANSLATE_NOOP("CoreReasons", "「\\1」は空白かカンマで区切った6個の数字ではありません")},
    {R"r("(.*)" has more than six numbers)r",
        QT_TRANSLATE_NOOP("CoreReasons", "「\\1」には数字が7個以上あります")},
    {R"r("(.*)" has (\d+) numbers; a ticket needs six)r",
        QT_TRANSLATE_NOOP("CoreReasons", "「\\1」の数字は\\2個です。購入番号は6個の数字です")},
    {R"r(ticket number (\d+) is outside 1\.\.43)r",
        QT_TRANSLATE_NOOP("CoreReasons", "数字 \\1 は1～43の範囲にありません")},
    {R"r(ticket number (\d+) is given twice; a ticket holds six different numbers)r",
        QT_TRANSLATE_NOOP("CoreReasons", "数字 \\1 が2回あります。購入番号は異なる6個の数字です")},
    {R"r(first draw (\d+) is outside 1\.\.(\d+))r",
        QT_TRANSLATE_NOOP("CoreReasons", "開始回 \\1 は1～\\2の範囲にありません")},
    {R"r(consecutive draws (\d+) must be 1 or more and end by draw (\d+))r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "継続回数 \\1 は1以上で、第\\2回までに終わる数にしてください")},
    {R"r(units (\d+) must be 1\.\.(\d+))r",
        QT_TRANSLATE_NOOP("CoreReasons", "口数 \\1 は1～\\2にしてください")},
    {R"r(the memo is longer than (\d+) bytes)r",
        QT_TRANSLATE_NOOP("CoreReasons", "メモが\\1バイトより長くなっています")},
    {R"r(there is no ticket (\d+)( \(see tickets list\))?)r",
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号 \\1 はありません")},
    {R"r(cannot create the ticket tables)r",
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号の表を作れません")},
    {R"r(cannot read the tickets)r", QT_TRANSLATE_NOOP("CoreReasons", "購入番号を読み込めません")},
    {R"r(cannot store the ticket)r", QT_TRANSLATE_NOOP("CoreReasons", "購入番号を保存できません")},
    {R"r(cannot delete ticket (\d+))r",
        QT_TRANSLATE_NOOP("CoreReasons", "購入番号 \\1 を削除できません")},
    {R"r(the database is in use by another program \(database is locked\); close it there and try again)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースをほかのプログラムが使っています。そちらを閉じてからやり直してください")},
    {R"r(the database file is damaged \((.*)\); nothing was written\. Restore it from its \.bak file or another copy)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "データベースのファイルが壊れています（\\1）。何も書き込んでいません。.bak "
            "ファイルなどの控えから戻してください")},
    {R"r(the database file does not exist)r",
        QT_TRANSLATE_NOOP("CoreReasons", "データベースのファイルがありません")},
    {R"r(download failed: the server answered HTTP (\d+))r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "ダウンロードできませんでした: サーバーの応答は HTTP \\1 でした")},
    {R"r(download failed: only http:// and https:// addresses can be downloaded)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "ダウンロードできませんでした: 取得できるのは http:// か https:// のアドレスだけです")},
    {R"r(download failed: the server sent an empty file)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "ダウンロードできませんでした: サーバーから届いたファイルが空です")},
    {R"r(download failed: received (\d+) of (\d+) bytes)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "ダウンロードできませんでした: \\2バイトのうち\\1バイトしか届いていません")},
    {R"r(download failed: the file is larger than (.*))r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "ダウンロードできませんでした: ファイルが\\1より大きいです")},
    {R"r(download failed: cancelled)r",
        QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードを取り消しました")},
    {R"r(download failed: timed out \((.*)\))r",
        QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードできませんでした: 時間切れです（\\1）")},
    {R"r(download failed: the transfer ended early \((.*)\))r",
        QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードできませんでした: 途中で切れました（\\1）")},
    {R"r(download failed: )r", QT_TRANSLATE_NOOP("CoreReasons", "ダウンロードできませんでした: ")},
    {R"r(("[^"]*"|\d+) is outside 1\.\.43)r",
        QT_TRANSLATE_NOOP("CoreReasons", "\\1 は1～43の範囲にありません")},
    {R"r(("[^"]*") is not a whole number)r",
        QT_TRANSLATE_NOOP("CoreReasons", "\\1 は整数ではありません")},
    {R"r(("[^"]*") is not a date of the calendar \(YYYY-MM-DD or YYYY/M/D\))r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "\\1 は暦にある日付ではありません（YYYY-MM-DD か YYYY/M/D）")},
    {R"r(回数 must be 1 or more, not ("[^"]*"))r",
        QT_TRANSLATE_NOOP("CoreReasons", "回数は1以上です（\\1）")},
    {R"r(回数 ("[^"]*") is above (\d+), the largest draw number the program holds)r",
        QT_TRANSLATE_NOOP("CoreReasons", "回数 \\1 は扱える最大の回数 \\2 を超えています")},
    {R"r(draw (\d+) has (\d+) twice \(also in (\S+)\); a draw's seven numbers all differ)r",
        QT_TRANSLATE_NOOP("CoreReasons",
            "第\\1回に \\2 が2回あります（\\3にも）。1回の7個の数字はすべて異なります")},
    {R"r((\S+): (\d+) occurs twice \(also in (\S+)\); a draw's seven numbers all differ)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "\\1: \\2 が2回あります（\\3にも）。1回の7個の数字はすべて異なります")},
    {R"r(draw (\d+) occurs twice)r", QT_TRANSLATE_NOOP("CoreReasons", "第\\1回が2回あります")},
    {R"r((\d+) cells where the header has (\d+); the row is cut short)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "セルが\\1個しかありません（見出しは\\2個）。行が途中で切れています")},
    {R"r((\d+) cells where the header has (\d+); the row has extra cells)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "セルが\\1個あります（見出しは\\2個）。余分なセルがあります")},
    {R"r(回数 (\d+) occurs twice \(also on line (\d+)\))r",
        QT_TRANSLATE_NOOP("CoreReasons", "回数 \\1 が2回あります（\\2行目にも）")},
    {R"r(no (\S+) column in the header)r",
        QT_TRANSLATE_NOOP("CoreReasons", "見出しに\\1の列がありません")},
    {R"r(the file is empty; a header line is needed)r",
        QT_TRANSLATE_NOOP("CoreReasons", "ファイルが空です。見出しの行が必要です")},
    {R"r(unknown encoding: the file is neither UTF-8 nor Shift-JIS)r",
        QT_TRANSLATE_NOOP("CoreReasons", "文字コードが UTF-8 でも Shift-JIS でもありません")},
    {R"r(a line ends in a carriage return alone; save the file with LF or CR LF line ends)r",
        QT_TRANSLATE_NOOP(
            "CoreReasons", "行の終わりが CR だけです。LF か CR LF の改行で保存してください")},
    {R"r(\bline (\d+), column (\d+))r", QT_TRANSLATE_NOOP("CoreReasons", "\\1行目 \\2列目")},
    {R"r(\bline (\d+))r", QT_TRANSLATE_NOOP("CoreReasons", "\\1行目")},
};

const std::vector<std::pair<QRegularExpression, QString>> &compiledRules()
{
    static const auto rules = [] {
        std::vector<std::pair<QRegularExpression, QString>> compiled;
        for (const Rule &rule : Rules)
            compiled.emplace_back(QRegularExpression(QString::fromUtf8(rule.english)),
                CoreReasons::tr(rule.japanese));
        return compiled;
    }();
    return rules;
}

} // namespace

QString CoreReasons::japanese(const std::string &reason)
{
    QString text = QString::fromStdString(reason);
    for (const auto &[english, japanese] : compiledRules())
        text.replace(english, japanese);
    return text;
}

} // namespace loto6
