#include "platform/real/MountDrives.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(DriveKind)

namespace {

// One line of a mount table.
QString mountLine(int id, const QString& device, const QString& mountPoint, const QString& type,
                  const QString& source, const QString& options = QStringLiteral("rw,relatime"))
{
    return QStringLiteral("%1 1 %2 / %3 %4 shared:1 - %5 %6 rw\n")
        .arg(id)
        .arg(device, mountPoint, options, type, source);
}

// The smallest file libblkid reads a volume label from: a swap signature of ten pages.
QByteArray labelledImage(const QByteArray& label)
{
    QByteArray image(10 * 4096, '\0');
    const quint32 header[2] = {qToLittleEndian(quint32(1)), qToLittleEndian(quint32(9))};
    image.replace(1024, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
    image.replace(1052, label.size(), label);
    image.replace(4086, 10, "SWAPSPACE2");
    return image;
}

} // namespace

// A machine in a directory: <root>/... stands for "/...", with a sysfs of its own under
// <root>/sys and a mount table that always holds the system's "/" (254:0) and "/home" (254:1),
// where the teacher's C lies.
class MountDrivesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void oneMountMakesADriveOrNot_data();
    void oneMountMakesADriveOrNot();
    void lettersGoToFixedThenRemovableThenNetworkAndPinsKeepTheirs();
    void parsePins_data();
    void parsePins();

private:
    MountDrives::Sources sources(const QString& extraMounts, const QString& pins = {}) const;
    QString path(const QString& inRoot) const { return m_root.path() + inRoot; }
    void makeDevice(const QString& number, const QString& devicePath, bool partition,
                    const QString& removable);

    QTemporaryDir m_root;
    QString m_image;
};

void MountDrivesTest::initTestCase()
{
    QVERIFY(m_root.isValid());
    makeDevice("8:16", "devices/pci0000:00/ata1/host0/block/sdb", false, "0");
    makeDevice("8:17", "devices/pci0000:00/ata1/host0/block/sdb/sdb1", true, {});
    makeDevice("8:32", "devices/pci0000:00/usb2/2-1/host6/block/sdc", false, "0");
    makeDevice("8:33", "devices/pci0000:00/usb2/2-1/host6/block/sdc/sdc1", true, {});
    makeDevice("179:0", "devices/platform/mmc0/block/mmcblk0", false, "1");
    makeDevice("179:1", "devices/platform/mmc0/block/mmcblk0/mmcblk0p1", true, {});
    m_image = path("/school.img");
    QFile image(m_image);
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(labelledImage("SCHOOL"));
}

void MountDrivesTest::makeDevice(const QString& number, const QString& devicePath, bool partition,
                                 const QString& removable)
{
    QDir sys(path("/sys"));
    QVERIFY(sys.mkpath(devicePath));
    QVERIFY(sys.mkpath("dev/block"));
    QVERIFY(QFile::link("../../" + devicePath, sys.filePath("dev/block/" + number)));
    if (partition) {
        QFile file(sys.filePath(devicePath + "/partition"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (!removable.isEmpty()) {
        QFile file(sys.filePath(devicePath + "/removable"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(removable.toLatin1() + "\n");
    }
}

MountDrives::Sources MountDrivesTest::sources(const QString& extraMounts, const QString& pins) const
{
    const QString table = path("/mountinfo");
    QFile file(table);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the mount table");
    file.write(mountLine(20, "254:0", "/", "ext4", "/dev/vda").toUtf8());
    file.write(mountLine(21, "254:1", "/home", "ext4", "/dev/vdb").toUtf8());
    file.write(mountLine(22, "0:5", "/proc", "proc", "proc").toUtf8());
    file.write(extraMounts.toUtf8());
    MountDrives::Sources sources;
    sources.mountInfo = table;
    sources.sysfs = path("/sys");
    sources.fileSystemRoot = m_root.path();
    sources.userRoot = path("/home/teacher/.local/share/zkalto/C");
    sources.pins = pins;
    return sources;
}

void MountDrivesTest::oneMountMakesADriveOrNot_data()
{
    QTest::addColumn<QString>("mounts");
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<bool>("isDrive");
    QTest::addColumn<DriveKind>("kind");
    QTest::addColumn<QString>("label");

    const QString data = QStringLiteral("/mnt/data");
    QTest::newRow("partition of a fixed disk, labelled")
        << mountLine(30, "8:17", data, "ext4", m_image) << data << true << DriveKind::Fixed
        << "SCHOOL";
    QTest::newRow("whole fixed disk") << mountLine(30, "8:16", data, "ext4", "/dev/sdb") << data
                                      << true << DriveKind::Fixed << "";
    QTest::newRow("disk on a USB bus")
        << mountLine(30, "8:33", "/media/teacher/USB", "vfat", "/dev/sdc1") << "/media/teacher/USB"
        << true << DriveKind::Removable << "";
    QTest::newRow("card marked removable")
        << mountLine(30, "179:1", "/run/media/teacher/CARD", "exfat", "/dev/mmcblk0p1")
        << "/run/media/teacher/CARD" << true << DriveKind::Removable << "";
    QTest::newRow("network share") << mountLine(30, "0:50", "/srv/share", "nfs4", "server:/export")
                                   << "/srv/share" << true << DriveKind::Network << "";
    QTest::newRow("share over ssh")
        << mountLine(30, "0:51", "/mnt/remote", "fuse.sshfs", "teacher@host:/") << "/mnt/remote"
        << true << DriveKind::Network << "";

    const DriveKind none = DriveKind::Fixed;
    QTest::newRow("system disk mounted again")
        << mountLine(30, "254:0", data, "ext4", "/dev/vda") << data << false << none << "";
    QTest::newRow("file system of /home, the one holding C")
        << mountLine(30, "254:1", data, "ext4", "/dev/vdb") << data << false << none << "";
    QTest::newRow("sub-volume of the system disk")
        << mountLine(30, "0:44", data, "btrfs", "/dev/vda") << data << false << none << "";
    QTest::newRow("below a system directory")
        << mountLine(30, "8:17", "/boot/efi", "vfat", "/dev/sdb1") << "/boot/efi" << false << none
        << "";
    QTest::newRow("below /run but not /run/media")
        << mountLine(30, "8:17", "/run/mount/x", "ext4", "/dev/sdb1") << "/run/mount/x" << false
        << none << "";
    QTest::newRow("memory") << mountLine(30, "0:40", data, "tmpfs", "tmpfs") << data << false
                            << none << "";
    QTest::newRow("overlay") << mountLine(30, "0:41", data, "overlay", "overlay") << data << false
                             << none << "";
    QTest::newRow("squashfs image")
        << mountLine(30, "7:0", data, "squashfs", "/dev/loop0") << data << false << none << "";
    QTest::newRow("mounted read-only")
        << mountLine(30, "8:17", data, "ext4", "/dev/sdb1", "ro,relatime") << data << false << none
        << "";
    QTest::newRow("hidden by a later mount") << mountLine(30, "8:17", data, "ext4", "/dev/sdb1") +
                                                    mountLine(31, "0:40", data, "tmpfs", "tmpfs")
                                             << data << false << none << "";
    QTest::newRow("mount point with a space, escaped")
        << mountLine(30, "8:17", "/mnt/school\\040data", "ext4", "/dev/sdb1") << "/mnt/school data"
        << true << DriveKind::Fixed << "";
}

void MountDrivesTest::oneMountMakesADriveOrNot()
{
    QFETCH(QString, mounts);
    QFETCH(QString, mountPoint);
    QFETCH(bool, isDrive);
    QFETCH(DriveKind, kind);
    QFETCH(QString, label);
    QVERIFY(QDir().mkpath(path(mountPoint)));

    MountDrives drives(sources(mounts));
    const QList<Drive> list = drives.list();
    QVERIFY(!list.isEmpty());
    const QString userRoot = path("/home/teacher/.local/share/zkalto/C/");
    QCOMPARE(list.first().letter, QLatin1Char('C'));
    QCOMPARE(list.first().root, userRoot);
    QVERIFY2(QFileInfo(userRoot).isDir(), "C is created when the drives are listed");
    QCOMPARE(list.size(), isDrive ? 2 : 1);
    if (isDrive) {
        QCOMPARE(list[1].letter, QLatin1Char('D'));
        QCOMPARE(list[1].kind, kind);
        QCOMPARE(list[1].label, label);
        QCOMPARE(list[1].root, path(mountPoint) + '/');
    }
}

void MountDrivesTest::lettersGoToFixedThenRemovableThenNetworkAndPinsKeepTheirs()
{
    const QStringList points = {"/srv/share", "/media/stick", "/mnt/zeta", "/mnt/alpha",
                                "/mnt/pinned"};
    for (const QString& point : points)
        QVERIFY(QDir().mkpath(path(point)));
    const QString mounts = mountLine(30, "0:50", "/srv/share", "nfs", "server:/export") +
                           mountLine(31, "8:33", "/media/stick", "vfat", "/dev/sdc1") +
                           mountLine(32, "8:17", "/mnt/zeta", "ext4", "/dev/sdb1") +
                           mountLine(33, "8:16", "/mnt/alpha", "ext4", "/dev/sdb") +
                           mountLine(34, "179:1", "/mnt/pinned", "ext4", "/dev/mmcblk0p1");
    // E is pinned to a mounted disk, which is then not listed a second time; the pin of G names
    // a directory that does not exist, so G is left to the discovered file systems.
    const QString pins =
        QStringLiteral("E=%1;G=removable:%2").arg(path("/mnt/pinned"), path("/mnt/missing"));
    MountDrives drives(sources(mounts, pins));

    QStringList got;
    for (const Drive& drive : drives.list())
        got << QStringLiteral("%1 %2 %3")
                   .arg(drive.letter)
                   .arg(int(drive.kind))
                   .arg(drive.root.mid(m_root.path().size()));
    QCOMPARE(got, QStringList({"C 0 /home/teacher/.local/share/zkalto/C/", "D 0 /mnt/alpha/",
                               "E 0 /mnt/pinned/", "F 0 /mnt/zeta/", "G 1 /media/stick/",
                               "H 2 /srv/share/"}));
    QCOMPARE(drives.find(QLatin1Char('g'))->root, path("/media/stick/"));
    QVERIFY(!drives.find(QLatin1Char('I')));
}

void MountDrivesTest::parsePins_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pins");

    QTest::newRow("one pin, fixed") << "E=/srv/data" << QStringList{"E 0 /srv/data/"};
    QTest::newRow("lower case, spaces, kind, trailing slash")
        << " d = removable:/media/stick/ " << QStringList{"D 1 /media/stick/"};
    QTest::newRow("separated by semicolons and lines, with a comment")
        << "# school disks\nE=network:/mnt/share;F=fixed:/a/../b"
        << QStringList{"E 2 /mnt/share/", "F 0 /b/"};
    QTest::newRow("a later pin replaces an earlier one")
        << "E=/first;D=/d;E=/second" << QStringList{"D 0 /d/", "E 0 /second/"};
    QTest::newRow("C is the user's own") << "C=/srv/data" << QStringList{};
    QTest::newRow("relative path") << "E=data" << QStringList{};
    QTest::newRow("unknown kind") << "E=usb:/media/x" << QStringList{};
    QTest::newRow("no letter") << "=/srv/data;EE=/x;/srv/data" << QStringList{};
}

void MountDrivesTest::parsePins()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pins);
    QStringList got;
    for (const MountDrives::Pin& pin : MountDrives::parsePins(text))
        got << QStringLiteral("%1 %2 %3").arg(pin.letter).arg(int(pin.kind)).arg(pin.root);
    got.sort();
    QCOMPARE(got, pins);
}

QTEST_GUILESS_MAIN(MountDrivesTest)
#include "MountDrivesTest.moc"
