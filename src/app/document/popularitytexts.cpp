#include "document/popularitytexts.h"

#include "document/historydocument.h"
#include "document/popularitysource.h"
#include "grid/numbertext.h"
#include "popularity/methodpopularity.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <string>

namespace loto6 {

using namespace popularity;

QString PopularityTexts::pendingText() { return tr("計算中…"); }

QString PopularityTexts::unavailableText()
{
    return tr("販売実績額のある払戻金データがないため、人気度を推定できません。"
              "払戻金を含む履歴を取り込んでください。");
}

QString PopularityTexts::caveats()
{
    return tr("人気度は当選する確率を決して変えません。どの組合せも同じ確率で抽選されます。\n"
              "変わるのは賞金の分け方だけです。1等〜4等の賞金は、当たった人たちで分け合います。\n"
              "人気度は過去の当選口数から推定したものです。第1500回より前の抽選で学び、"
              "販売実績額のわかるそれ以降の137回で確かめると、当選口数のばらつきの"
              "3等 62%、4等 77%、5等 85% を説明します（数字ごとの人気だけでは 49%・64%・76%）。");
}

QString PopularityTexts::yen(double v) { return QString::fromStdString(yenText(std::llround(v))); }

QString PopularityTexts::linesSummary(PopularitySource &source,
    const std::vector<std::array<int, MainNumberCount>> &lines, bool start)
{
    const PopularityEstimate *e = source.estimate(start);
    if (lines.empty())
        return {};
    if (!e)
        return source.pending() ? tr("人気度・期待値　%1").arg(pendingText()) : QString();
    const TicketValuer valuer = e->nextDrawValuer();
    const ValueSpectrum spectrum = e->spectrum(valuer);
    QStringList out;
    out << tr("人気度・期待値（平均 %1、買われ方の平均 %2。%3）")
               .arg(QString::fromStdString(
                        withRange(spectrum.averageTicketValue, spectrum.averageRange)),
                   QString::fromStdString(
                       withRange(spectrum.averageBoughtValue, spectrum.boughtRange)),
                   QString::fromStdString(conditionsText(*e, valuer)));
    for (const std::array<int, MainNumberCount> &line : lines) {
        QStringList numbers;
        for (int n : line)
            numbers << QString::fromStdString(twoDigitText(n));
        Combination c{};
        std::copy(line.begin(), line.end(), c.begin());
        std::sort(c.begin(), c.end());
        const TicketValue v = valuer.value(c);
        const PatternInfo *pattern = source.patterns().infoOf(c);
        const QString popularity = pattern
            ? QString::fromStdString(patternText(*pattern)) + QStringLiteral("  ")
                + QString::fromUtf8(PatternCaveat)
            : QString::fromStdString(popularityText(v.relativePopularity));
        const QString value
            = yen(shownValue(v, pattern, spectrum)) + (pattern ? tr("以下") : QString());
        const ValueRange range = valueContext(*e, valuer, v, spectrum, pattern).range;
        QString text = QStringLiteral("%1  %2  %3（%4）")
                           .arg(numbers.join(QLatin1Char(' ')), popularity, value,
                               QString::fromStdString(yenRangeText(range.low, range.high)));
        if (range.extrapolated)
            text += QStringLiteral("  ") + QString::fromStdString(testedText(true));
        out << text;
    }
    return out.join(QLatin1Char('\n'));
}

Sheet PopularityTexts::pendingSheet()
{
    Sheet sheet("ticket-popularity", "人気度と期待値（200円あたり）");
    sheet.prepare(1, 1, 1, 1, 12, 6);
    sheet.setText(1, 1, pendingText().toStdString());
    sheet.setColWidth(1, 20);
    return sheet;
}

std::unique_ptr<Sheet> PopularityTexts::ticketsSheet(
    PopularitySource &source, const std::vector<LabelledCombination> &tickets)
{
    const PopularityEstimate *e = source.estimate();
    if (!e) {
        if (!source.pending())
            return nullptr;
        return std::make_unique<Sheet>(pendingSheet());
    }
    const TicketValuer valuer = e->nextDrawValuer();
    return std::make_unique<Sheet>(
        ticketPopularitySheet(tickets, *e, valuer, e->spectrum(valuer), source.patterns()));
}

QString PopularityTexts::methodPopularityText(HistoryDocument &document, int from, int shift)
{
    PopularitySource &source = document.popularity();
    const PopularityEstimate *e = source.estimate();
    if (!e)
        return source.pending()
            ? tr("人気度を%1 しばらくしてからもう一度押してください。").arg(pendingText())
            : unavailableText();
    const MethodPopularity mp
        = methodPopularity(document.history(), from, shift, e->neighbourhood());
    QStringList lines;
    lines << tr("反映シフト%1で各手法が過去の回に選んだ数字の人気度（ランダムに選んだ数字 = ×1.00、"
                "その回より前の当選データだけで予想）:")
                 .arg(shift);
    for (int m = 0; m < Backtest::MethodCount; ++m) {
        const auto i = static_cast<std::size_t>(m);
        const QString title
            = QString::fromStdString(std::string(Backtest::title(static_cast<Backtest::Method>(m))))
                  .trimmed();
        if (!mp.meanPopularity[i]) {
            lines << tr("%1: 数字がありません").arg(title);
            continue;
        }
        const double r = *mp.meanPopularity[i];
        lines << tr("%1: %2（%3、%4回）")
                     .arg(title, QString::fromStdString(popularityText(r)),
                         r > 1.0 ? tr("ランダムより人気が高い") : tr("ランダムより人気が低い"))
                     .arg(mp.draws[i]);
    }
    return lines.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + caveats();
}

} // namespace loto6
