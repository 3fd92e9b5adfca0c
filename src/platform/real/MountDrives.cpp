#include "platform/real/MountDrives.h"
#include "files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <blkid/blkid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>

namespace {

struct Mount {
    quint32 major = 0;
    quint32 minor = 0;
    QString mountPoint;
    bool readOnly = false;
    QString type;
    QString source;
};

// File systems kept in memory or made up by the kernel: never a drive, whatever their device.
const QSet<QString> pseudoTypes = {
    "tmpfs",    "ramfs",     "proc",    "sysfs",       "devtmpfs",        "devpts",
    "overlay",  "squashfs",  "erofs",   "cgroup",      "cgroup2",         "securityfs",
    "debugfs",  "tracefs",   "mqueue",  "hugetlbfs",   "pstore",          "bpf",
    "configfs", "fusectl",   "autofs",  "binfmt_misc", "efivarfs",        "rpc_pipefs",
    "nsfs",     "selinuxfs", "iso9660", "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs"};

const QSet<QString> networkTypes = {
    "nfs",  "nfs4",      "cifs", "smb3",           "smbfs",      "ncpfs", "afs",
    "ceph", "glusterfs", "9p",   "fuse.glusterfs", "fuse.sshfs", "davfs"};

// Whose file systems belong to the system itself.
const QStringList systemFileSystemPaths = {"/", "/usr", "/var", "/home"};

// Directories of the system: nothing mounted at or below them is a drive (except /run/media,
// where desktops mount removable media).
const QStringList systemDirectories = {
    "/usr", "/var", "/home", "/boot", "/efi", "/etc",  "/opt", "/root",  "/tmp",   "/proc",  "/sys",
    "/dev", "/run", "/snap", "/nix",  "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"};

bool atOrBelow(const QString& path, const QString& directory)
{
    if (directory == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == directory || path.startsWith(directory + QLatin1Char('/'));
}

bool isSystemPlace(const QString& mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return true;
    if (atOrBelow(mountPoint, QStringLiteral("/run/media")))
        return false;
    return std::any_of(systemDirectories.begin(), systemDirectories.end(),
                       [&](const QString& directory) { return atOrBelow(mountPoint, directory); });
}

// The table escapes space, tab, line feed and backslash as a backslash and three octal digits.
QString unescaped(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool octal = false;
        if (field[i] == '\\' && i + 3 < field.size()) {
            const int value = field.mid(i + 1, 3).toInt(&octal, 8);
            if (octal) {
                bytes.append(char(value));
                i += 3;
            }
        }
        if (!octal)
            bytes.append(field[i]);
    }
    return QFile::decodeName(bytes);
}

// The visible mounts of a table: a later mount on the same mount point hides an earlier one.
QList<Mount> readMounts(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Mount> mounts;
    QHash<QString, qsizetype> byMountPoint;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-", 6);
        if (separator < 0 || fields.size() < separator + 3)
            continue;
        const QList<QByteArray> device = fields[2].split(':');
        if (device.size() != 2)
            continue;
        Mount mount;
        mount.major = device[0].toUInt();
        mount.minor = device[1].toUInt();
        mount.mountPoint = unescaped(fields[4]);
        mount.readOnly = fields[5].split(',').contains("ro");
        mount.type = QString::fromLatin1(fields[separator + 1]);
        mount.source = unescaped(fields[separator + 2]);
        const auto earlier = byMountPoint.constFind(mount.mountPoint);
        if (earlier != byMountPoint.constEnd()) {
            mounts[*earlier] = mount;
        } else {
            byMountPoint.insert(mount.mountPoint, mounts.size());
            mounts.append(mount);
        }
    }
    return mounts;
}

// The mount that holds a path of the mount table: the one with the longest mount point the path
// lies at or below.
const Mount* holdingMount(const QList<Mount>& mounts, const QString& path)
{
    const Mount* holder = nullptr;
    for (const Mount& mount : mounts)
        if (!path.isEmpty() && atOrBelow(path, mount.mountPoint) &&
            (!holder || mount.mountPoint.size() > holder->mountPoint.size()))
            holder = &mount;
    return holder;
}

bool sameFileSystem(const Mount& a, const Mount& b)
{
    if (a.major == b.major && a.minor == b.minor)
        return true;
    // Sub-volumes of one disk report numbers of their own but name the same device.
    return a.source.startsWith(QLatin1String("/dev/")) && a.source == b.source;
}

// Fixed or removable, from sysfs: a partition takes the kind of its disk; a disk marked
// removable or attached through USB is removable.
DriveKind blockDeviceKind(const QString& sysfs, const Mount& mount)
{
    quint32 major = mount.major;
    quint32 minor = mount.minor;
    // The device's own numbers where the file system reports made-up ones (btrfs).
    struct stat status {};
    if (::stat(QFile::encodeName(mount.source).constData(), &status) == 0 &&
        S_ISBLK(status.st_mode)) {
        major = ::major(status.st_rdev);
        minor = ::minor(status.st_rdev);
    }
    QString device =
        QFileInfo(QStringLiteral("%1/dev/block/%2:%3").arg(sysfs).arg(major).arg(minor))
            .canonicalFilePath();
    if (device.isEmpty())
        return DriveKind::Fixed;
    if (QFileInfo::exists(device + QStringLiteral("/partition")))
        device = QFileInfo(device).path();
    QFile removable(device + QStringLiteral("/removable"));
    if (removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1")
        return DriveKind::Removable;
    if (device.contains(QLatin1String("/usb")))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

// The volume label of a device (or of a file holding a file system image), empty when it has
// none or cannot be read.
QString volumeLabel(const QString& source)
{
    if (!source.startsWith(QLatin1Char('/')))
        return {};
    const QByteArray name = QFile::encodeName(source);
    QString label;
    if (blkid_probe probe = blkid_new_probe_from_filename(name.constData())) {
        blkid_probe_enable_superblocks(probe, 1);
        blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL);
        const char* value = nullptr;
        if (blkid_do_safeprobe(probe) == 0 &&
            blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0)
            label = QString::fromUtf8(value);
        blkid_free_probe(probe);
        return label;
    }
    // A device the user may not read: what the system's blkid cache knows of it.
    blkid_cache cache = nullptr;
    if (blkid_get_cache(&cache, nullptr) != 0)
        return {};
    if (char* value = blkid_get_tag_value(cache, "LABEL", name.constData())) {
        label = QString::fromUtf8(value);
        free(value);
    }
    blkid_put_cache(cache);
    return label;
}

QString asRoot(const QString& directory)
{
    const QString clean = QDir::cleanPath(directory);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

int groupOrder(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Fixed:
        return 0;
    case DriveKind::Removable:
        return 1;
    case DriveKind::Network:
        return 2;
    }
    return 3;
}

} // namespace

MountDrives::Sources MountDrives::Sources::forThisUser()
{
    Sources sources;
    sources.mountInfo = QStringLiteral("/proc/self/mountinfo");
    sources.sysfs = QStringLiteral("/sys");
    sources.fileSystemRoot = QStringLiteral("/");
    sources.userRoot = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                       QStringLiteral("/zkalto/C");
    // Most local first: read the system's files first so that the user's pins replace them.
    QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                                  QStringLiteral("zkalto/drives"));
    std::reverse(files.begin(), files.end());
    for (const QString& path : files) {
        constexpr qint64 maxPinsSize = qint64(1) << 20;
        if (const std::optional<QByteArray> pins = RegularFile::readThroughLink(path, maxPinsSize))
            sources.pins += QString::fromUtf8(*pins) + QLatin1Char('\n');
    }
    sources.pins += qEnvironmentVariable("ZKALTO_DRIVES");
    return sources;
}

MountDrives::MountDrives(Sources sources) : m_sources(std::move(sources)) {}

QString MountDrives::directoryOf(const QString& mountPoint) const
{
    return QDir::cleanPath(m_sources.fileSystemRoot + QLatin1Char('/') + mountPoint);
}

QString MountDrives::tablePathOf(const QString& directory) const
{
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    const QString root = QFileInfo(m_sources.fileSystemRoot).canonicalFilePath();
    if (canonical.isEmpty() || root.isEmpty() || !atOrBelow(canonical, root))
        return {};
    return root == QLatin1String("/") ? canonical
                                      : QStringLiteral("/") + canonical.mid(root.size() + 1);
}

QList<MountDrives::Pin> MountDrives::parsePins(const QString& text)
{
    static const QList<std::pair<QString, DriveKind>> kinds = {
        {QStringLiteral("fixed:"), DriveKind::Fixed},
        {QStringLiteral("removable:"), DriveKind::Removable},
        {QStringLiteral("network:"), DriveKind::Network}};
    QList<Pin> pins;
    for (QString entry : text.split(QRegularExpression(QStringLiteral("[;\n]")))) {
        entry = entry.trimmed();
        const qsizetype equals = entry.indexOf(QLatin1Char('='));
        if (entry.startsWith(QLatin1Char('#')) || equals < 0)
            continue;
        const QString name = entry.left(equals).trimmed().toUpper();
        if (name.size() != 1 || name[0] < QLatin1Char('D') || name[0] > QLatin1Char('Z'))
            continue;
        Pin pin{name[0], DriveKind::Fixed, entry.mid(equals + 1).trimmed()};
        for (const auto& [prefix, kind] : kinds)
            if (pin.root.startsWith(prefix)) {
                pin.kind = kind;
                pin.root = pin.root.mid(prefix.size());
            }
        if (!pin.root.startsWith(QLatin1Char('/')))
            continue;
        pin.root = asRoot(pin.root);
        pins.removeIf([&](const Pin& earlier) { return earlier.letter == pin.letter; });
        pins.append(pin);
    }
    return pins;
}

QList<Drive> MountDrives::list()
{
    const QList<Mount> mounts = readMounts(m_sources.mountInfo);
    const auto labelOfHolder = [&](const QString& directory) {
        const Mount* holder = holdingMount(mounts, tablePathOf(directory));
        return holder ? volumeLabel(holder->source) : QString();
    };
    QList<Drive> drives;

    QDir().mkpath(m_sources.userRoot);
    drives.append({QLatin1Char('C'), DriveKind::Fixed, labelOfHolder(m_sources.userRoot),
                   asRoot(m_sources.userRoot)});

    QSet<QChar> taken = {QLatin1Char('C')};
    QSet<QString> pinnedRoots;
    for (const Pin& pin : parsePins(m_sources.pins)) {
        if (!QFileInfo(pin.root).isDir())
            continue;
        drives.append({pin.letter, pin.kind, labelOfHolder(pin.root), pin.root});
        taken.insert(pin.letter);
        pinnedRoots.insert(asRoot(QFileInfo(pin.root).canonicalFilePath()));
    }

    QList<const Mount*> system;
    for (const QString& path : systemFileSystemPaths)
        if (const Mount* mount = holdingMount(mounts, path); mount && mount->mountPoint == path)
            system.append(mount);
    if (const Mount* mount = holdingMount(mounts, tablePathOf(m_sources.userRoot)))
        system.append(mount);

    struct Candidate {
        const Mount* mount;
        DriveKind kind;
    };
    QList<Candidate> candidates;
    for (const Mount& mount : mounts) {
        const bool network = networkTypes.contains(mount.type);
        const bool onDevice = mount.source.startsWith(QLatin1String("/dev/")) || mount.major != 0;
        if (pseudoTypes.contains(mount.type) || !(network || onDevice) || mount.readOnly ||
            isSystemPlace(mount.mountPoint))
            continue;
        if (std::any_of(system.begin(), system.end(),
                        [&](const Mount* own) { return sameFileSystem(*own, mount); }))
            continue;
        const QString directory = directoryOf(mount.mountPoint);
        if (::access(QFile::encodeName(directory).constData(), W_OK) != 0 ||
            pinnedRoots.contains(asRoot(QFileInfo(directory).canonicalFilePath())))
            continue;
        candidates.append(
            {&mount, network ? DriveKind::Network : blockDeviceKind(m_sources.sysfs, mount)});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) {
                         if (groupOrder(a.kind) != groupOrder(b.kind))
                             return groupOrder(a.kind) < groupOrder(b.kind);
                         return a.mount->mountPoint < b.mount->mountPoint;
                     });

    char16_t letter = u'D';
    for (const Candidate& candidate : candidates) {
        while (letter <= u'Z' && taken.contains(QChar(letter)))
            ++letter;
        if (letter > u'Z')
            break;
        drives.append({QChar(letter), candidate.kind,
                       candidate.kind == DriveKind::Network ? QString()
                                                            : volumeLabel(candidate.mount->source),
                       asRoot(directoryOf(candidate.mount->mountPoint))});
        taken.insert(QChar(letter));
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    return drives;
}
