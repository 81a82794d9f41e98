#include "shell/appfonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace loto6 {

namespace {

// The first of the families that is installed; the last one is taken when none is.
QString firstInstalled(const QStringList &families)
{
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : families)
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    return families.back();
}

} // namespace

QFont gridFont()
{
    static const QString family = firstInstalled({QStringLiteral("ＭＳ Ｐゴシック"),
        QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont font(family, 9);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont minchoFont()
{
    static const QString family = firstInstalled({QStringLiteral("HGS明朝E"),
        QStringLiteral("HGSMinchoE"), QStringLiteral("Noto Serif CJK JP")});
    QFont font(family, 24);
    // HGS明朝E is an extra-bold Mincho; a stand-in gets the weight from the font engine.
    if (!family.startsWith(QStringLiteral("HG")))
        font.setWeight(QFont::Black);
    return font;
}

} // namespace loto6
