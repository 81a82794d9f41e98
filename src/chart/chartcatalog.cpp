#include "chart/chartcatalog.h"

#include "chart/chartbuilders.h"

namespace loto6 {

namespace {

const ChartInfo Catalog[] = {
    {"appearances", "本数字の出現回数",
        "数字ごとの本数字の出現回数を、公平な抽選での期待値と帯と比べます", "frequency", false,
        false, false, buildAppearancesChart},
    {"appearances-all", "本数字＋ボーナス数字の出現回数",
        "数字ごとの本数字とボーナス数字の出現回数を、期待値と帯と比べます", "frequency", false,
        false, false, buildAllAppearancesChart},
    {"number", "数字の出現の推移", "選んだ数字の累積出現回数の推移を、期待値と帯と比べます",
        "appearance-count", true, false, false, buildNumberOverTimeChart},
    {"gaps", "出現間隔の分布", "再び出るまでの回数の分布を、幾何分布と比べます",
        "appearance-interval", false, false, false, buildGapChart},
    {"sum", "本数字の合計の分布", "本数字6個の合計の分布を、全組合せから求めた正確な分布と比べます",
        "sum", false, false, false, buildSumChart},
    {"even-odd", "偶数・奇数のパターン", "奇数と偶数の個数のパターンを、超幾何分布と比べます",
        "even-odd", false, false, false, buildEvenOddChart},
    {"low-high", "低数字・高数字のパターン",
        "低数字と高数字の個数のパターンを、超幾何分布と比べます", "low-high", false, false, false,
        buildLowHighChart},
    {"chance", "偶然との比較（標準化した偏り）",
        "偶然との比較の各統計を標準化した偏りで示し、Holm補正後の判定を添えます", "chance", false,
        false, false, buildChanceChart},
    {"tickets", "購入番号の収支", "購入額と当せん額の累積を、無作為に買った場合の帯と比べます",
        "tickets", false, true, true, buildTicketChart},
    {"popularity", "人気度モデルの検証",
        "人気度モデルが予想した当せん口数を、実際の当せん口数と比べます", "popularity", false,
        false, true, buildPopularityChart},
};

} // namespace

std::span<const ChartInfo> charts() { return Catalog; }

const ChartInfo *findChart(std::string_view name)
{
    for (const ChartInfo &info : Catalog)
        if (info.name == name)
            return &info;
    return nullptr;
}

std::vector<const ChartInfo *> chartsOfTable(std::string_view table)
{
    std::vector<const ChartInfo *> out;
    for (const ChartInfo &info : Catalog)
        if (info.table == table)
            out.push_back(&info);
    return out;
}

Chart buildChart(const ChartInfo &info, const ChartInput &input)
{
    Chart chart = info.build(input);
    chart.name = std::string(info.name);
    chart.caption = std::string(info.caption);
    return chart;
}

} // namespace loto6
