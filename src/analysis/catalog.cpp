#include "analysis/catalog.h"

#include "analysis/builders.h"

#include <array>

namespace loto6 {

namespace {

using Shape = LegendItem::Shape;

constexpr Rgb MainBall = rgb(62, 158, 255);
constexpr Rgb BonusBall = rgb(255, 128, 192);

constexpr std::array<LegendItem, 2> FrequencyLegend = {{
    {Shape::Ball, MainBall, "：本数字"},
    {Shape::Ball, BonusBall, "：ボーナス数字"},
}};
constexpr std::array<LegendItem, 2> SpreadLegend = {{
    {Shape::Ball, MainBall, "：本数字"},
    {Shape::Ball, BonusBall, "：ボーナス数字"},
}};
constexpr std::array<LegendItem, 1> CarryOverLegend = {{
    {Shape::Box, colors::lightCyan, ":前回の数字"},
}};
constexpr std::array<LegendItem, 3> GroupLegend = {{
    {Shape::Box, rgb(224, 224, 224), ":該当する当選番号なし"},
    {Shape::Ball, BonusBall, "：ボーナス数字"},
    {Shape::Ball, MainBall, "：本数字"},
}};

const AnalysisInfo Catalog[] = {
    {"frequency", "出現頻度分析", "出現頻度分析", "過去の当選番号の出現回数を数字別に分析します",
        FrequencyLegend, buildFrequency},
    {"count-groups", "回数別出現分析", "回数別頻度分析",
        "過去の当選番号から出現回数別の数字を分析します", {}, buildCountGroups},
    {"appearance-count", "出現回数分析", "出現回数分析", "過去の当選数字が何回出現したか分析します",
        {}, buildAppearanceCount},
    {"appearance-interval", "出現間隔分析", "出現間隔分析",
        "過去の当選数字が何回前に出現しているか分析します", {}, buildAppearanceInterval},
    {"number-interval", "数字間隔分析", "数字間隔分析",
        "当選数字を第１数字～第６数字別に前回数字との数字の間隔を分析します", {},
        buildNumberInterval},
    {"spread", "バラツキ分析", "バラツキ分析", "過去の当選番号のバラツキを数字別に分析します",
        SpreadLegend, buildSpread},
    {"carry-over", "引っ張り分析", "引っ張り分析",
        "過去の当選数字に前回出現した数字が入っているか分析します", CarryOverLegend,
        buildCarryOver},
    {"consecutive", "連番飛び石分析", "連番・飛び石分析",
        "過去の当選番号の連続数字と一つ飛び数字の傾向を分析します", {}, buildConsecutive},
    {"sum", "数字合計分析", "数字合計分析", "過去の当選番号の本数字＋ボーナス数字合計を分析します",
        {}, buildSum},
    {"low-high", "低数字高数字の組合せパターン分析", "低数字・高数字の組合せパターン分析",
        "過去の当選番号を低数字（０１～２１）と高数字（２２～４３）に分けて組合せパターンを分析し"
        "ます（ボーナス数字は入れていません）",
        {}, buildLowHigh},
    {"even-odd", "偶数奇数の組合せパターン分析", "偶数・奇数の組合せパターン分析",
        "過去の当選番号を偶数と奇数に分類して分析します", {}, buildEvenOdd},
    {"five-band", "分割5傾向分析", "5分割傾向分析",
        "過去の当選番号を５つのグループに分けて傾向を分析します", {}, buildFiveBand},
    {"group6", "分割6データ分析", "6分割データ分析",
        "過去の当選番号の６グループに分類して分析します", GroupLegend, buildGroup6},
    {"group7", "分割7データ分析", "7分割データ分析",
        "過去の当選番号の７グループに分類して分析します", GroupLegend, buildGroup7},
    {"group11", "分割11データ分析", "11分割データ分析",
        "過去の当選番号の１１グループに分類して分析します", GroupLegend, buildGroup11},
    {"last-digit", "下一桁出現傾向分析", "下一桁出現傾向分析",
        "過去の当選番号の下一桁の数字の出現傾向を分析します", {}, buildLastDigit},
    {"last-digit-run", "下一桁連続出現回数分析", "下一桁連続出現回数分析",
        "過去の当選番号の下一桁数字が何回続けて出現しているか分析します", {}, buildLastDigitRun},
};

} // namespace

std::span<const AnalysisInfo> analyses() { return Catalog; }

const AnalysisInfo *findAnalysis(std::string_view nameOrClass)
{
    for (const AnalysisInfo &info : Catalog)
        if (info.name == nameOrClass || info.className == nameOrClass)
            return &info;
    return nullptr;
}

Sheet buildAnalysis(const AnalysisInfo &info, const DrawHistory &history, const Totals &totals)
{
    Sheet sheet = info.build(history, totals);
    sheet.setName(std::string(info.name));
    sheet.setCaption(std::string(info.caption));
    return sheet;
}

} // namespace loto6
