#include "entry/storedchange.h"

#include <QCoreApplication>
#include <QStringList>

namespace loto6 {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("StoredChange", text); }

} // namespace

QString drawLine(const DrawRecord &draw)
{
    QStringList parts;
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const auto &value = draw.fields[std::size_t(f)];
        const QString number = value ? QString::number(*value) : QStringLiteral("-");
        parts.append(
            f == DrawRecord::BonusField ? QLatin1Char('(') + number + QLatin1Char(')') : number);
    }
    if (!draw.date.empty())
        parts.append(QString::fromStdString(draw.date));
    return parts.join(QLatin1Char(' '));
}

QString changedElsewhereQuestion(const DrawRecord &typed, const std::optional<DrawRecord> &shown,
    const std::optional<DrawRecord> &stored)
{
    QString what = tr("変更");
    if (!stored)
        what = tr("削除");
    else if (!shown)
        what = tr("追加");
    const QString storedText = stored ? drawLine(*stored) : tr("なし");
    const QString noAnswer = stored ? tr("「いいえ」: 保存されている内容を表に表示します。")
                                    : tr("「いいえ」: この行を表から除きます。");
    return tr("第%1回は、このウィンドウに表示した後に別のプログラムで%2されています。\n\n"
              "保存されている内容: %3\n"
              "このウィンドウの内容: %4\n\n"
              "このウィンドウの内容で上書きしますか？\n%5")
        .arg(QString::number(typed.drawNo), what, storedText, drawLine(typed), noAnswer);
}

} // namespace loto6
