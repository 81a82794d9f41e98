#include "commands/corereasons.h"

#include "commands/reasontexts.h"
#include "grid/numbertext.h"

#include <cstdlib>

namespace loto6 {

namespace {

const char *formTemplateOf(const Fault &f)
{
    for (const FormReasonText &t : formReasonTexts())
        if (t.form == f.form && t.kind == f.kind)
            return t.japanese;
    return nullptr;
}

const char *templateOf(FaultKind kind)
{
    for (const auto texts : {storageReasonTexts(), workReasonTexts()})
        for (const ReasonText &t : texts)
            if (t.kind == kind)
                return t.japanese;
    return nullptr;
}

QString fact(QStringView name, const Fault &f)
{
    const auto text = [](const std::string &s) { return QString::fromStdString(s); };
    if (name == u"file")
        return text(f.file);
    if (name == u"value")
        return text(f.value);
    if (name == u"gvalue") // a count, grouped by thousands
        return text(groupedText(std::atoll(f.value.c_str())));
    if (name == u"field")
        return text(f.field);
    if (name == u"earlier")
        return text(f.earlier);
    if (name == u"draw")
        return QString::number(f.draw);
    if (name == u"limit")
        return QString::number(f.limit);
    if (name == u"detail")
        return text(f.detail);
    if (name == u"line")
        return QString::number(f.line);
    if (name == u"column")
        return QString::number(f.column);
    if (name == u"cause")
        return f.cause ? CoreReasons::japanese(*f.cause) : QString();
    return QString();
}

// "FILE: 3行目 4列目（「回数」）: " for the facts the text does not name itself.
QString placePrefix(const Fault &f, const QString &text)
{
    QString out;
    if (!f.file.empty() && !text.contains(u"{file}"))
        out += QString::fromStdString(f.file) + QStringLiteral(": ");
    if (f.line > 0 && !text.contains(u"{line}")) {
        out += CoreReasons::tr("%1行目").arg(f.line);
        if (f.column > 0)
            out += CoreReasons::tr(" %1列目").arg(f.column);
        if (f.column > 0 && !f.heading.empty())
            out += CoreReasons::tr("（「%1」）").arg(QString::fromStdString(f.heading));
        out += QStringLiteral(": ");
    }
    return out;
}

} // namespace

QString CoreReasons::japanese(const Status &status)
{
    return status.ok() ? QString() : japanese(status.fault());
}

QString CoreReasons::japanese(const Fault &f)
{
    const char *ownForm = formTemplateOf(f);
    const char *known = ownForm ? ownForm : templateOf(f.kind);
    if (!known) {
        // A reason without a kind of its own is English: named inside one general text.
        const std::string english
            = f.kind == FaultKind::Other ? (f.text.empty() ? f.detail : f.text) : englishText(f);
        return placePrefix(f, QString())
            + tr("処理を続けられませんでした（詳しい理由: "
                 "%1）。内容を確かめてからやり直してください")
                  .arg(QString::fromStdString(english));
    }
    const QString text = tr(known);
    QString body;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype close = text.at(i) == u'{' ? text.indexOf(u'}', i) : -1;
        if (close < 0) {
            body += text.at(i++);
            continue;
        }
        body += fact(QStringView(text).mid(i + 1, close - i - 1), f);
        i = close + 1;
    }
    return placePrefix(f, text) + body;
}

bool CoreReasons::hasText(FaultKind kind) { return templateOf(kind) != nullptr; }

} // namespace loto6
