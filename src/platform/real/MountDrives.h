#pragma once

#include "platform/Drives.h"

// The drive letters of this machine, made from its mounted file systems.
//
// C is always the user's own root, $XDG_DATA_HOME/zkalto/C (by default
// ~/.local/share/zkalto/C), created when the drives are listed. D, E, ... are the file systems
// that hold data apart from the system: a block-device disk or a network share, mounted
// read-write where the user may write, for example under /media, /mnt, /run/media or /srv.
// Never a drive: the file system of /, /usr, /var or /home, the one that holds C, anything
// mounted at or below a system directory (/boot, /etc, /opt, /root, /tmp, /proc, /sys, /dev,
// /run except /run/media, ...), and memory or pseudo file systems (tmpfs, proc, sysfs, devtmpfs,
// overlay, squashfs, ...). So a program run by root on a one-disk machine has C alone and never
// writes into /.
//
// Fixed disks get letters before removable ones, removable ones before network shares, each
// group in mount-point order. The kind comes from sysfs: a disk whose "removable" attribute is 1,
// or one on a USB bus, is removable. Volume labels are read with libblkid.
//
// Pins put letters on directories of the school's choosing. Each pin is "<letter>=<path>" or
// "<letter>=<kind>:<path>" with kind fixed, removable or network (fixed when left out), for
// example
//     ZKALTO_DRIVES="E=/srv/schooldata;D=removable:/media/stick"
// Pins come from the file "zkalto/drives" in the configuration directories ($XDG_CONFIG_HOME,
// then $XDG_CONFIG_DIRS such as /etc/xdg; one pin per line, "#" starts a comment; the user's
// file wins over the system's) and from the environment variable ZKALTO_DRIVES (pins separated
// by ";"), which wins over both. A pinned letter always stands for its directory, even when a
// discovered file system would have had it; discovered file systems take the letters left over.
// A pin whose directory does not exist gives no drive. C cannot be pinned.
class MountDrives final : public Drives {
public:
    // Where the facts come from; tests give their own.
    struct Sources {
        QString mountInfo;      // the mount table in the format of /proc/self/mountinfo
        QString sysfs;          // the root of sysfs
        QString fileSystemRoot; // the directory that the table's mount points are paths in: "/"
        QString userRoot;       // the directory of C
        QString pins;           // pins, one per line or separated by ";"

        // This process's mount table, /sys, the user's C and the pins of the configuration
        // files and the environment.
        static Sources forThisUser();
    };

    struct Pin {
        QChar letter;
        DriveKind kind;
        QString root;
    };

    explicit MountDrives(Sources sources);

    QList<Drive> list() override;

    // The pins of a text; malformed pins, C and relative paths are left out, and a later pin of
    // a letter replaces an earlier one.
    static QList<Pin> parsePins(const QString& text);

private:
    // A mount point of the table as a directory, and a directory as a path of the table (empty
    // when it lies outside the file system root).
    QString directoryOf(const QString& mountPoint) const;
    QString tablePathOf(const QString& directory) const;

    Sources m_sources;
};
