#pragma once

#include "platform/Registry.h"

#include <QStringList>

// The component registration of this program: a directory tree instead of a system registry.
//
// A key such as "\XdictGrb.GrabProxy\CurVer" is registered when the path
// <root>/XdictGrb.GrabProxy/CurVer exists, as a directory or a file, under one of the roots.
// Backslashes and slashes both separate the parts; leading separators are ignored; names are
// matched with their exact spelling. Keys with a "." or ".." part are refused, so a key never
// reaches outside its root.
//
// The roots, in order: the "registry" folder in the program directory (what an installer that
// installs system-wide writes) and $XDG_DATA_HOME/zkalto/registry, by default
// ~/.local/share/zkalto/registry (what a per-user installer writes). An installer registers a
// component by creating the key's path under either root, for example
//     mkdir -p "$PROGRAM_DIR/registry/XdictGrb.GrabProxy/CurVer"
// and unregisters it by removing that path.
class DirectoryRegistry final : public Registry {
public:
    explicit DirectoryRegistry(QStringList roots);
    // The roots above for a program installed in programDirectory.
    static QStringList defaultRoots(const QString& programDirectory);

    bool canOpen(const QString& classesRootKey) const override;

private:
    QStringList m_roots;
};
