// The model's side of a command that rewrote the database while the entry window is open: the
// rows not yet saved, in words, and a fresh reading that keeps them.

#include "entry/drawtablemodel.h"

#include <algorithm>

namespace loto6 {

QStringList DrawTableModel::unsavedRowTexts() const
{
    QStringList out;
    for (int r = 0; r < rowCount(); ++r) {
        const Row &row = m_rows[std::size_t(r)];
        if (!row.pending && !hasWrongCell(r))
            continue;
        QStringList numbers;
        for (int c = FirstNumberColumn; c < BonusColumn; ++c)
            numbers << (row.texts[std::size_t(c)].isEmpty() ? tr("＿") : row.texts[std::size_t(c)]);
        const QString bonus = row.texts[BonusColumn];
        out << tr("%1　%2　ボーナス %3　%4")
                   .arg(drawName(r), numbers.join(QLatin1Char(' ')),
                       bonus.isEmpty() ? tr("＿") : bonus,
                       row.texts[DateColumn].isEmpty() ? tr("（日付なし）")
                                                       : row.texts[DateColumn]);
    }
    return out;
}

Status DrawTableModel::reopen(const std::filesystem::path &file)
{
    Database fresh;
    std::vector<DrawRecord> draws;
    Status s = fresh.open(file);
    if (s)
        s = fresh.readDraws(draws);
    if (!s)
        return s; // the rows and the connection stay as they were
    std::vector<Row> kept;
    for (int r = 0; r < rowCount(); ++r)
        if (m_rows[std::size_t(r)].pending || hasWrongCell(r))
            kept.push_back(m_rows[std::size_t(r)]);
    beginResetModel();
    m_db = std::move(fresh);
    m_rows.clear();
    for (DrawRecord &draw : draws)
        m_rows.push_back(storedRow(std::move(draw)));
    // A row typed over a draw that is now stored keeps what was typed and what the grid showed
    // before: saving it asks first, showing both (the guarded save).
    for (Row &row : kept) {
        const QString drawNo = row.texts[DrawNoColumn];
        const auto same = std::find_if(m_rows.begin(), m_rows.end(),
            [&](const Row &r) { return r.stored && r.texts[DrawNoColumn] == drawNo; });
        if (same != m_rows.end() && !drawNo.isEmpty())
            *same = std::move(row);
        else
            m_rows.push_back(std::move(row));
    }
    for (int r = 0; r < rowCount(); ++r)
        recheckRow(r);
    endResetModel();
    emit unsavedRowsChanged(hasUnsavedRows());
    return s;
}

} // namespace loto6
