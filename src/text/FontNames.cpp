#include "text/FontNames.h"

#include <QFont>
#include <QStringList>

namespace FontNames {

void apply()
{
    QFont::insertSubstitutions(
        QStringLiteral("宋体"),
        QStringList{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("隶书"),
                               QStringList{QStringLiteral("AR PL UKai CN")});
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing CN")});
}

} // namespace FontNames
