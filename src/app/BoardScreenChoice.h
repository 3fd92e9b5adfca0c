#pragma once

#include <QString>
#include <QStringList>

class QScreen;

// Which screen the program works on when several are connected (a laptop with a projector): the
// board screen. It is named as `xrandr --listmonitors` names it, from the first of: the option
// "--screen NAME" (or "--screen=NAME"), the environment variable ZKALTO_SCREEN, a line
// "screen=NAME" in zkalto/zkalto.conf of the configuration directories (the user's over the
// machine's). Without a name, or when no connected screen has it, it is the primary screen.
namespace BoardScreenChoice {

// The name asked for, empty when none is; arguments are the program's, its own name first.
QString requestedName(const QStringList& arguments);
// The connected screen of that name, or the primary screen.
QScreen* resolve(const QString& name);
// True when a name was asked for and no connected screen has it.
bool isUnknown(const QString& name);

} // namespace BoardScreenChoice
