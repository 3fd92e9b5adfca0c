#pragma once

#include <QString>

// Whether a component class is registered on this machine, by its key path under the classes
// root, for example "\XdictGrb.GrabProxy\CurVer".
class Registry {
public:
    virtual ~Registry() = default;
    virtual bool canOpen(const QString& classesRootKey) const = 0;
};
