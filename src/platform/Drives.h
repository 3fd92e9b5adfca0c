#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <optional>

// What a drive letter stands for: a fixed disk, a removable medium (a stick, a card, a disk on a
// USB bus) or a share of another machine.
enum class DriveKind { Fixed, Removable, Network };

struct Drive {
    QChar letter; // upper case, 'C' to 'Z'
    DriveKind kind;
    QString label; // the volume label; empty when the file system has none
    QString root;  // the directory that stands for "<letter>:\", ending with "/"
};

// The machine's drives by letter. C is always there; the other letters come and go with the
// file systems that are mounted, so every call looks afresh.
class Drives {
public:
    virtual ~Drives() = default;
    // Every drive, in letter order.
    virtual QList<Drive> list() = 0;

    // The drive of one letter (either case), if the machine has it.
    std::optional<Drive> find(QChar letter)
    {
        const QChar upper = letter.toUpper();
        for (const Drive& drive : list())
            if (drive.letter == upper)
                return drive;
        return std::nullopt;
    }
};
