#include "commands/reasontexts.h"

#include <QtGlobal>

namespace loto6 {

namespace {

// In the order of the kinds (store/fault.h).
constexpr ReasonText Texts[] = {
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

} // namespace

std::span<const ReasonText> workReasonTexts() { return Texts; }

} // namespace loto6
