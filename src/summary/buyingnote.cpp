#include "summary/buyingnote.h"

#include "grid/numbertext.h"
#include "popularity/popularityestimate.h"
#include "popularity/popularitysheets.h"
#include "store/drawvalidation.h"
#include "tickets/ticketsheets.h"

namespace loto6 {

namespace {

Sheet conditionsSheet(const BuyingNote &note)
{
    static constexpr double Widths[] = {20, 12, 20, 12};
    static constexpr const char *Header[] = {"項目", "設定", "項目", "設定"};
    const int rows = 1 + (static_cast<int>(note.conditions.size()) + 1) / 2;
    Sheet s = ticketTableSheet("note-conditions", "予想の条件", 4, rows, Widths, Header);
    for (std::size_t i = 0; i < note.conditions.size(); ++i) {
        const int row = 2 + static_cast<int>(i / 2);
        const int col = 1 + 2 * static_cast<int>(i % 2);
        s.setText(col, row, note.conditions[i].first);
        s.setText(col + 1, row, note.conditions[i].second);
    }
    return s;
}

// The lines without their popularity: the estimate is not there yet.
Sheet plainLinesSheet(const BuyingNote &note)
{
    static constexpr double Widths[] = {8, 6, 6, 6, 6, 6, 6, 20};
    static constexpr const char *Header[] = {
        "番号", "第1数字", "第2数字", "第3数字", "第4数字", "第5数字", "第6数字", "人気度・期待値"};
    Sheet s = ticketTableSheet(
        "note-lines", "買う番号", 8, 1 + static_cast<int>(note.lines.size()), Widths, Header);
    for (std::size_t i = 0; i < note.lines.size(); ++i) {
        const int row = 2 + static_cast<int>(i);
        s.setText(1, row, note.lines[i].label);
        writeTicketNumbers(s, 2, row, note.lines[i].numbers, 0, 0);
        s.setText(8, row, "推定中のため未計算");
    }
    return s;
}

constexpr const char *LinesHeader[] = {"番号", "第1数字", "第2数字", "第3数字", "第4数字",
    "第5数字", "第6数字", "人気度（低い順）", "期待値（95%の範囲）"};

// One line's popularity and yen, and the note a pattern line needs.
struct ValuedLine
{
    std::string popularity, value, note;
    bool untested = false;
};

ValuedLine valuedLine(const PredictionLine &line, const popularity::PopularityEstimate &estimate,
    const popularity::TicketValuer &valuer, const popularity::ValueSpectrum &spectrum,
    const popularity::PatternFamily &patterns)
{
    namespace pop = popularity;
    const pop::TicketValue v = valuer.value(line.numbers);
    const pop::PatternInfo *pattern = patterns.infoOf(line.numbers);
    const pop::ValueContext context = pop::valueContext(estimate, valuer, v, spectrum, pattern);
    ValuedLine out;
    out.value = pop::withRange(
        pop::shownValue(v, pattern, spectrum), {context.range.low, context.range.high});
    if (pattern) {
        out.popularity = pop::PatternMark;
        out.value += "以下";
        out.note = line.label + "は" + pop::patternText(*pattern) + "：" + pop::PatternCaveat
            + "。期待値は最も人気のある1%以下です。";
        return out;
    }
    out.untested = context.range.extrapolated;
    out.popularity = pop::popularityText(v.relativePopularity) + "（"
        + fixedText(estimate.percentile(v.relativePopularity), 1) + "%）"
        + (out.untested ? "＊" : "");
    return out;
}

// The lines with their popularity and yen, narrow enough for one page; the average tickets
// under them, then in notes the conditions, the untested (＊) and the pattern lines.
Sheet valuedLinesSheet(const BuyingNote &note, const popularity::PopularityEstimate &estimate,
    const popularity::PatternFamily &patterns)
{
    static constexpr double Widths[] = {9, 6, 6, 6, 6, 6, 6, 14, 19};
    const popularity::TicketValuer valuer = estimate.nextDrawValuer();
    const popularity::ValueSpectrum spectrum = estimate.spectrum(valuer);
    std::vector<ValuedLine> valued;
    std::vector<std::string> notes{"条件：" + popularity::conditionsText(estimate, valuer)};
    bool untested = false;
    for (const PredictionLine &line : note.lines) {
        valued.push_back(valuedLine(line, estimate, valuer, spectrum, patterns));
        untested = untested || valued.back().untested;
        if (!valued.back().note.empty())
            notes.push_back(valued.back().note);
    }
    if (untested)
        notes.push_back("＊は" + popularity::testedText(true)
            + "：この人気度はモデルを確かめた組合せの範囲の外にあります。");
    const int count = static_cast<int>(valued.size());
    Sheet s = ticketTableSheet("note-lines", "買う番号の人気度と期待値（200円あたり）", 9,
        4 + count + static_cast<int>(notes.size()), Widths, LinesHeader);
    for (int i = 0; i < count; ++i) {
        const int row = 2 + i;
        s.setText(1, row, note.lines[static_cast<std::size_t>(i)].label);
        writeTicketNumbers(s, 2, row, note.lines[static_cast<std::size_t>(i)].numbers, 0, 0);
        s.setText(8, row, valued[static_cast<std::size_t>(i)].popularity);
        s.setText(9, row, valued[static_cast<std::size_t>(i)].value);
    }
    int row = 2 + count;
    s.setText(1, row, "平均的な券");
    s.setText(8, row, popularity::popularityText(1.0));
    s.setText(9, row++, popularity::withRange(spectrum.averageTicketValue, spectrum.averageRange));
    s.setText(1, row, "買われ方の平均");
    s.setText(9, row++, popularity::withRange(spectrum.averageBoughtValue, spectrum.boughtRange));
    // The notes stand in the first column and run on over the empty cells to their right.
    s.setAllowOverflow(true);
    ++row;
    for (const std::string &text : notes)
        s.setText(1, row++, "注　" + text);
    return s;
}

} // namespace

BuyingNote predictionNote(
    const Prediction &prediction, const PredictionOptions &options, const std::string &latestDate)
{
    BuyingNote note;
    note.drawNo = prediction.latestDrawNo + 1;
    note.date = latestDate.empty() ? std::string() : nextDrawDay(latestDate);
    note.conditions.emplace_back(
        "予想のもと", "第" + std::to_string(prediction.latestDrawNo) + "回まで");
    note.conditions.emplace_back("抽選日", note.date.empty() ? std::string("不明") : note.date);
    for (int i = 0; i < PredictionOptions::Count; ++i)
        note.conditions.emplace_back(std::string(PredictionOptions::name(i)),
            options.on[static_cast<std::size_t>(i)] ? "反映" : "無視");
    note.lines = predictionLineList(prediction);
    return note;
}

std::string buyingNoteTitle(const BuyingNote &note)
{
    std::string title = "第" + std::to_string(note.drawNo) + "回の予想";
    if (!note.date.empty())
        title += "（" + note.date + "）";
    return title;
}

std::vector<Sheet> buyingNoteSheets(const BuyingNote &note,
    const popularity::PopularityEstimate *estimate, const popularity::PatternFamily &patterns)
{
    std::vector<Sheet> sheets{conditionsSheet(note)};
    if (!estimate) {
        sheets.push_back(plainLinesSheet(note));
        return sheets;
    }
    sheets.push_back(valuedLinesSheet(note, *estimate, patterns));
    return sheets;
}

} // namespace loto6
