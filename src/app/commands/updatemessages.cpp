#include "commands/updatemessages.h"

#include "commands/corereasons.h"
#include "grid/numbertext.h"
#include "shell/uihelpers.h"
#include "store/textcodec.h"

#include <QDir>
#include <QUrl>

#include <cstdlib>

namespace loto6 {

namespace {

constexpr int MaxConflictLines = 12;

QString numbersText(const DrawRecord &r)
{
    QStringList numbers;
    for (int f = 0; f < DrawRecord::BonusField; ++f) {
        const auto &v = r.fields[static_cast<std::size_t>(f)];
        numbers << (v ? QString::fromStdString(twoDigitText(*v)) : QStringLiteral("--"));
    }
    const auto &bonus = r.fields[DrawRecord::BonusField];
    return numbers.join(QLatin1Char(' ')) + QStringLiteral(" (")
        + (bonus ? QString::fromStdString(twoDigitText(*bonus)) : QStringLiteral("--"))
        + QLatin1Char(')');
}

// What went wrong with the download, and what to do about it.
QString downloadProblem(const Fault &why)
{
    const int httpStatus = why.kind == FaultKind::HttpStatus ? std::atoi(why.value.c_str()) : 0;
    switch (why.kind) {
    case FaultKind::HttpStatus:
        if (httpStatus == 404)
            return UpdateMessages::tr("取得先にファイルが見つかりません（HTTP 404）。"
                                      "取得先のアドレスが正しいか確かめてください。");
        if (httpStatus == 401 || httpStatus == 403)
            return UpdateMessages::tr("取得先のサーバーがダウンロードを拒否しました（HTTP %1）。")
                .arg(httpStatus);
        if (httpStatus >= 500)
            return UpdateMessages::tr("取得先のサーバーで障害が起きています（HTTP %1）。"
                                      "しばらくしてから、もう一度実行してください。")
                .arg(httpStatus);
        return UpdateMessages::tr("取得先のサーバーがエラーを返しました（HTTP %1）。"
                                  "取得先のアドレスが正しいか確かめてください。")
            .arg(httpStatus);
    case FaultKind::TimedOut:
    case FaultKind::DeadlinePassed:
        return UpdateMessages::tr(
            "取得先のサーバーが時間内に応答しませんでした。"
            "ネットワークの接続を確かめて、しばらくしてからもう一度実行してください。");
    case FaultKind::HostNotFound:
        return UpdateMessages::tr("取得先のサーバーの名前が見つかりませんでした。"
                                  "ネットワークの接続と取得先のアドレスを確かめてください。");
    case FaultKind::Unreachable:
        return UpdateMessages::tr("取得先のサーバーに接続できませんでした。"
                                  "ネットワークの接続と取得先のアドレスを確かめてください。");
    case FaultKind::BodyTooLarge:
    case FaultKind::OversizedHeader:
        return UpdateMessages::tr(
            "取得するファイルが大きすぎます。"
            "取得先のアドレスが当選データのファイルを指しているか確かめてください。");
    case FaultKind::TransferShort:
    case FaultKind::TransferEnded:
        return UpdateMessages::tr("ダウンロードが途中で切れました。もう一度実行してください。");
    default:
        return UpdateMessages::tr("ダウンロードできませんでした。"
                                  "取得先のアドレスとネットワークの接続を確かめてください。");
    }
}

// The reason of a failed download in Japanese, from its kind; a reason the kind does not
// cover is left to the core's text.
QString downloadDetail(const UpdateResult &r)
{
    const QString host = QUrl(qs(r.source)).host();
    QString text;
    switch (downloadReason(r.reason.fault()).kind) {
    case FaultKind::HostNotFound:
        text = UpdateMessages::tr("ホスト名を解決できません（%1）").arg(host);
        break;
    case FaultKind::Unreachable:
        text = UpdateMessages::tr("サーバーに接続できません（%1）").arg(host);
        break;
    case FaultKind::TimedOut:
    case FaultKind::DeadlinePassed:
        text = UpdateMessages::tr("時間内に応答がありません（%1）").arg(host);
        break;
    default:
        return UpdateMessages::detail(r.reason, r.source);
    }
    return UpdateMessages::tr("詳細: %1").arg(text);
}

} // namespace

QString UpdateMessages::pathText(const std::filesystem::path &path)
{
    return QDir::toNativeSeparators(qs(path.string()));
}

QString UpdateMessages::detail(const Status &status, const std::filesystem::path &shownPath)
{
    QString text = CoreReasons::japanese(status);
    if (!shownPath.empty())
        for (const QString &name :
            {qs(shownPath.string()), qs(quotedForMessage(shownPath.string()))})
            text.replace(name + QStringLiteral(": "), QString());
    return tr("詳細: %1").arg(text);
}

QString UpdateMessages::drawRuns(const std::vector<int> &drawNumbers, int maxRuns)
{
    QStringList runs;
    std::size_t i = 0;
    while (i < drawNumbers.size() && runs.size() < maxRuns) {
        std::size_t j = i;
        while (j + 1 < drawNumbers.size() && drawNumbers[j + 1] == drawNumbers[j] + 1)
            ++j;
        runs << (i == j ? tr("第%1回").arg(drawNumbers[i])
                        : tr("第%1～%2回").arg(drawNumbers[i]).arg(drawNumbers[j]));
        i = j + 1;
    }
    QString text = runs.join(tr("、"));
    if (i < drawNumbers.size())
        text += tr("、ほか%1回分").arg(drawNumbers.size() - i);
    return text;
}

QString UpdateMessages::conflictLine(const DrawConflict &c)
{
    switch (c.kind) {
    case DrawConflict::Kind::Numbers:
        return tr("第%1回: 保存 %2 → 新 %3")
            .arg(c.drawNo)
            .arg(numbersText(c.held), numbersText(c.given));
    case DrawConflict::Kind::Date:
        return tr("第%1回: 抽選日 %2 → %3").arg(c.drawNo).arg(qs(c.held.date), qs(c.given.date));
    default:
        return tr("第%1回: 賞金データが異なります").arg(c.drawNo);
    }
}

QString UpdateMessages::notConfigured(const std::filesystem::path &programFolder)
{
    return tr(
        "当選データの取得先が設定されていないため、最新化できません。\n\n"
        "取得先のアドレスを次のファイルに「url=アドレス」の形で書いてから、"
        "もう一度実行してください。\n%1\n\n"
        "書き方はヘルプの「データの更新」にあります。公式サイトの結果ファイルをブラウザで保存し、"
        "「CSVから取り込み...」で取り込むこともできます。")
        .arg(pathText(updateConfigFile(programFolder)));
}

QString UpdateMessages::lossQuestion(const UpdateResult &r)
{
    QStringList lines;
    if (!r.loss.dropped.empty())
        lines << tr("取得したデータには、保存されている %1 回分がありません: %2")
                     .arg(r.loss.dropped.size())
                     .arg(drawRuns(r.loss.dropped));
    if (!r.loss.changed.empty())
        lines << tr("保存されている %1 回分の数字が変わります: %2")
                     .arg(r.loss.changed.size())
                     .arg(drawRuns(r.loss.changed));
    if (!r.conflicts.empty())
        lines
            << tr("次の %1 回分は、保存されている当選データと異なります。").arg(r.conflicts.size());
    for (std::size_t i = 0; i < r.conflicts.size() && i < MaxConflictLines; ++i)
        lines << conflictLine(r.conflicts[i]);
    if (r.conflicts.size() > MaxConflictLines)
        lines << tr("ほか %1 回分").arg(r.conflicts.size() - MaxConflictLines);
    return tr("%1\n\n取得先:\n%2\n\n取得したデータで置き換えますか？\n"
              "「はい」でこれらの回を取得したデータのとおりにします（前のデータベースは .bak "
              "として残ります）。"
              "「いいえ」では何も変えません。")
        .arg(lines.join(QLatin1Char('\n')), qs(r.source));
}

QString UpdateMessages::importConflictQuestion(const std::vector<DrawConflict> &conflicts)
{
    QStringList lines;
    for (std::size_t i = 0; i < conflicts.size() && i < MaxConflictLines; ++i)
        lines << conflictLine(conflicts[i]);
    if (conflicts.size() > MaxConflictLines)
        lines << tr("ほか %1 回分").arg(conflicts.size() - MaxConflictLines);
    return tr("次の %1 回分は、保存されている当選データと異なります。\n%2\n\n"
              "取り込むファイルの内容で置き換えますか？\n"
              "「いいえ」では何も取り込みません。")
        .arg(conflicts.size())
        .arg(lines.join(QLatin1Char('\n')));
}

QString UpdateMessages::updateFailed(const UpdateResult &r, const std::filesystem::path &database)
{
    const QString unchanged = tr("データベースは変わっていません。");
    switch (r.outcome) {
    case UpdateOutcome::DownloadFailed:
        return tr("当選データを最新化できませんでした。%1\n%2\n"
                  "公式サイトの結果ファイルをブラウザで保存し、「CSVから取り込み...」で"
                  "取り込むこともできます。\n\n取得先:\n%3\n\n%4")
            .arg(unchanged, downloadProblem(downloadReason(r.reason.fault())), qs(r.source),
                downloadDetail(r));
    case UpdateOutcome::Refused:
        return tr("取得したデータが当選データとして正しくないため、最新化しませんでした。%1\n"
                  "取得先のアドレスが当選データのファイルを指しているか確かめてください。"
                  "サーバーが自動のダウンロードを断って別のページを返すこともあります。そのときは"
                  "結果ファイルをブラウザで保存し、「CSVから取り込み...」で取り込んでください。\n\n"
                  "取得先:\n%2\n\n%3")
            .arg(unchanged, qs(r.source), detail(r.reason, r.source));
    case UpdateOutcome::Cancelled:
        return tr("最新化を取り消しました。%1").arg(unchanged);
    default:
        return databaseFailed(tr("当選データを最新化できませんでした。"), r.reason, database);
    }
}

QString UpdateMessages::nothingNew(const IncomingHistory &incoming)
{
    std::vector<int> withPrizes;
    std::vector<int> drawsOnly;
    incoming.forEach([&](const IncomingDraw &d) {
        (d.prizes ? withPrizes : drawsOnly).push_back(d.draw.drawNo);
        return Status::success();
    });
    QStringList lines;
    if (!withPrizes.empty())
        lines << tr("%1: 登録済み（払戻金も同じ）").arg(drawRuns(withPrizes));
    if (!drawsOnly.empty())
        lines << tr("%1: 登録済み").arg(drawRuns(drawsOnly));
    return tr("新しい当選データがありません。何も取り込みませんでした。\n%1")
        .arg(lines.join(QLatin1Char('\n')));
}

QString UpdateMessages::importRefused(const Status &status, const std::filesystem::path &file)
{
    return tr("CSVファイルを取り込めませんでした。当選データは変わっていません。\n"
              "誤りのあるファイルを直すか外してから、もう一度取り込んでください。\n\n"
              "ファイル:\n%1\n\n%2")
        .arg(pathText(file), detail(status, file));
}

QString UpdateMessages::databaseFailed(
    const QString &what, const Status &status, const std::filesystem::path &database)
{
    return tr("%1データベースは変わっていません。\n"
              "ほかのプログラムがデータベースを使っていないか、ディスクの空きと書き込みの権限を"
              "確かめてから、もう一度実行してください。\n\n"
              "データベース:\n%2\n\n%3")
        .arg(what, pathText(database), detail(status, database));
}

} // namespace loto6
