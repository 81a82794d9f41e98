#include "entry/drawtablemodel.h"
#include "entry/pastedline.h"
#include "store/drawvalidation.h"

#include <QRegularExpression>

// The entry grid's pasting: lines of published results, one row per line.
namespace loto6 {

int DrawTableModel::pasteTargetRow(int row, const std::optional<int> &drawNo)
{
    if (!drawNo)
        return row >= 0 && row < rowCount() ? row : insertDrawRow(-1);
    for (int r = 0; r < rowCount(); ++r)
        if (drawNumber(r) == *drawNo)
            return r;
    const int fresh = insertDrawRow(-1);
    if (fresh >= 0 && !setData(index(fresh, DrawNoColumn), QString::number(*drawNo))) {
        dropRow(fresh);
        return -1;
    }
    return fresh;
}

bool DrawTableModel::fillPastedRow(int row, const PastedLine &pasted)
{
    bool changes = false;
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        changes = changes
            || parseNumberText(pasted.numbers[std::size_t(f)].toStdString())
                != parseNumberText(
                    m_rows[std::size_t(row)].texts[std::size_t(f + 1)].toStdString());
    if (changes && !confirmChange(row))
        return false;
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        setData(index(row, f + 1), pasted.numbers[std::size_t(f)]);
    if (!pasted.date.isEmpty())
        setData(index(row, DateColumn), pasted.date);
    return true;
}

int DrawTableModel::pasteText(int row, const QString &text)
{
    if (m_readOnly)
        return 0;
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]+"));
    const QStringList lines = text.split(lineBreak, Qt::SkipEmptyParts);
    int next = row;
    int filled = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        const std::optional<PastedLine> pasted = parsePastedLine(lines[i]);
        if (!pasted) {
            emit inputRefused(tr("貼り付けた%1行目から当選数字を読み取れません。"
                                 "本数字6つとボーナス数字を1行に並べてください。")
                                  .arg(i + 1));
            continue;
        }
        const int target = pasteTargetRow(next, pasted->drawNo);
        if (target < 0)
            continue;
        next = target + 1;
        if (!fillPastedRow(target, *pasted))
            continue;
        ++filled;
    }
    return filled;
}

} // namespace loto6
