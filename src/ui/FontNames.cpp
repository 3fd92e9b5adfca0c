#include "ui/FontNames.h"

#include <QFont>

namespace FontNames {

void substitute()
{
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("隶书"), {QStringLiteral("AR PL UKai CN")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing CN")});
}

} // namespace FontNames
