#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

// A SANE configuration of the test's own, so only SANE's test backend is seen, whatever the
// machine has. SANE reads SANE_CONFIG_DIR once per process, so make this before the first load;
// the files are read again at every load, so later calls to configure() take effect.
class SaneTestBackend {
public:
    SaneTestBackend()
    {
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(m_directory.path()));
        configure(true);
    }

    // With the test backend or with no backend at all; testOptions are lines of the test
    // backend's own configuration ("test-picture \"Color pattern\"").
    bool configure(bool withTestBackend, const QByteArray& testOptions = {})
    {
        return write(QStringLiteral("dll.conf"), withTestBackend ? "test\n" : "") &&
               write(QStringLiteral("test.conf"), "number_of_devices 1\n" + testOptions);
    }

private:
    bool write(const QString& name, const QByteArray& content)
    {
        QFile file(m_directory.filePath(name));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(content) == content.size();
    }

    QTemporaryDir m_directory;
};
