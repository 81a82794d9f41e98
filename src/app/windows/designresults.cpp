#include "windows/designwindow.h"

#include "design/designsheets.h"
#include "document/popularitysource.h"
#include "document/popularitytexts.h"
#include "grid/numbertext.h"
#include "shell/mainfrm.h"
#include "shell/uihelpers.h"
#include "summary/buyingnote.h"
#include "views/printpreview.h"
#include "views/sheetview.h"
#include "windows/designjob.h"
#include "windows/printbutton.h"

#include <QCheckBox>
#include <QLabel>

// What the designer shows of the tickets it made: their popularity, their odds, the printed note.

namespace loto6 {

using namespace design;

void DesignWindow::showOdds(DesignJob &job)
{
    if (!job.odds) {
        m_odds->setSheet(ticketOddsSheet(TicketOdds{}));
        m_facts->setText(tr("口数が %1 を超えるため、当せん確率は数えていません。どの組合せも"
                            "1等の確率は同じ 1/%2 です。")
                             .arg(MaxOddsTickets)
                             .arg(qs(groupedText(CombinationCount))));
        return;
    }
    // Each ticket's own prizes from its popularity at the next draw's conditions, read here
    // where the model lives.
    QString conditions;
    if (const popularity::PopularityEstimate *e = popularityModel()) {
        const popularity::TicketValuer valuer = e->nextDrawValuer();
        weighPrizes(m_shown,
            PopularityPrizeModel(valuer, frame().document().popularity().patterns(),
                e->spectrum(valuer).mostPopularValue),
            *job.odds);
        conditions = qs(popularity::conditionsText(*e, valuer));
    }
    m_odds->setSheet(ticketOddsSheet(*job.odds));
    const QString own = job.odds->prizesPerTicket
        ? tr("期待額は人気度から求めた各組合せ自身の額で、%1 の回のものです（当たる確率は"
             "変わりません）。各組合せの期待値の95%の範囲は番号の表にあります。")
              .arg(conditions)
        : QString();
    m_facts->setText(
        tr("どの組合せも1等の確率は同じ 1/6,096,454 です。ホイールは当たりの"
           "まとまり方を変えるだけで、当たる本数の期待値は変えません。期待される"
           "払戻し %1円は購入額 %2 を下回ります（還元率 %3%）。%4")
            .arg(qs(fixedText(job.odds->expectedReturn, 0)), qs(yenText(job.odds->cost)),
                qs(fixedText(job.odds->expectedReturn / job.odds->cost * 100, 1)), own));
}

// The tickets, least popular first when asked, with each one's popularity and expected yen
// beside the average ticket's when the model is there.
void DesignWindow::showTickets()
{
    const popularity::PopularityEstimate *e = popularityModel();
    std::vector<Combination> shown = m_shown; // the book gets them in the order drawn
    if (e && m_sortPopular->isChecked())
        sortByPopularity(shown, e->model(),
            m_includePatterns->isChecked() ? nullptr : &frame().document().popularity().patterns());
    std::vector<popularity::LabelledCombination> lines;
    for (const Combination &c : shown)
        lines.push_back({std::to_string(lines.size() + 1), c});
    const auto sheet = e && !lines.empty()
        ? PopularityTexts::ticketsSheet(frame().document().popularity(), lines)
        : nullptr;
    if (sheet) {
        m_tickets->setSheet(*sheet);
        return;
    }
    Sheet plain = designTicketsSheet(shown, m_shownWheel ? "ホイール" : "選んだ番号");
    // While the estimate is being made each ticket says so where its popularity will come.
    if (!lines.empty() && frame().document().popularity().pending()) {
        const int column = plain.columns() + 1;
        plain.setSize(column, plain.rows());
        plain.setVisible(column, plain.visibleRows());
        plain.setColWidth(column, 14);
        plain.setText(column, 1, tr("人気度・期待値").toStdString());
        for (int row = 2; row <= plain.rows(); ++row)
            plain.setText(column, row, PopularityTexts::pendingText().toStdString());
    }
    m_tickets->setSheet(plain);
}

void DesignWindow::printNote()
{
    HistoryDocument &document = frame().document();
    BuyingNote note;
    note.drawNo = document.totals().latestDrawNo + 1;
    for (const DrawRecord &r : document.history())
        if (r.drawNo == note.drawNo - 1)
            note.date = nextDrawDay(r.date);
    note.conditions = {{tr("作り方").toStdString(),
                           (m_shownWheel ? tr("ホイール") : tr("条件から選ぶ")).toStdString()},
        {tr("抽選日").toStdString(), note.date.empty() ? tr("不明").toStdString() : note.date},
        {tr("条件とシード").toStdString(), m_shownMemo}};
    for (const Combination &c : m_shown)
        note.lines.push_back({std::to_string(note.lines.size() + 1), c});
    printSheets(this,
        buyingNoteSheets(
            note, document.popularity().estimate(false), document.popularity().patterns()),
        qs(buyingNoteTitle(note)), historyRange(frame()));
}

} // namespace loto6
