#include "summary/buyingnote.h"

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
    static constexpr double Widths[] = {10, 5, 5, 5, 5, 5, 5, 24};
    static constexpr const char *Header[]
        = {"番号", "数字1", "数字2", "数字3", "数字4", "数字5", "数字6", "人気度・期待値"};
    Sheet s = ticketTableSheet(
        "note-lines", "買う番号", 8, 1 + static_cast<int>(note.lines.size()), Widths, Header);
    for (std::size_t i = 0; i < note.lines.size(); ++i) {
        const int row = 2 + static_cast<int>(i);
        s.setText(1, row, note.lines[i].label);
        writeTicketNumbers(s, 2, row, note.lines[i].numbers, 0, 0);
        s.setText(8, row, "人気度の推定がまだないため未計算");
    }
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
    std::vector<popularity::LabelledCombination> lines;
    for (const PredictionLine &line : note.lines)
        lines.push_back({line.label, line.numbers});
    const popularity::TicketValuer valuer = estimate->valuer();
    Sheet sheet = popularity::ticketPopularitySheet(
        lines, *estimate, valuer, estimate->spectrum(valuer), patterns);
    sheet.setName("note-lines");
    // In two digits, as the lines are written everywhere else.
    for (std::size_t i = 0; i < note.lines.size(); ++i)
        writeTicketNumbers(sheet, 2, 2 + static_cast<int>(i), note.lines[i].numbers, 0, 0);
    sheets.push_back(std::move(sheet));
    return sheets;
}

} // namespace loto6
