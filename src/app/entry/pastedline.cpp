#include "entry/pastedline.h"

#include "store/drawvalidation.h"

#include <QRegularExpression>
#include <QStringList>

namespace loto6 {

std::optional<PastedLine> parsePastedLine(const QString &line)
{
    static const QRegularExpression dateForm(
        QStringLiteral("(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?"));
    static const QRegularExpression numberForm(QStringLiteral("\\d+(?:\\.\\d+)?"));
    QString text = line.normalized(QString::NormalizationForm_KC);
    PastedLine pasted;
    if (const QRegularExpressionMatch m = dateForm.match(text); m.hasMatch()) {
        pasted.date
            = m.captured(1) + QLatin1Char('-') + m.captured(2) + QLatin1Char('-') + m.captured(3);
        if (const auto iso = parseDrawDate(pasted.date.toStdString()))
            pasted.date = QString::fromStdString(*iso);
        text.remove(m.capturedStart(), m.capturedLength());
    }
    QStringList tokens;
    for (auto it = numberForm.globalMatch(text); it.hasNext();)
        tokens.append(it.next().captured());
    if (tokens.size() == DrawRecord::FieldCount + 1) {
        pasted.drawNo = parseDrawNumberText(tokens.takeFirst().toStdString());
        if (!pasted.drawNo)
            return std::nullopt;
    }
    if (tokens.size() != DrawRecord::FieldCount)
        return std::nullopt;
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        pasted.numbers[std::size_t(f)] = tokens[f];
    return pasted;
}

} // namespace loto6
