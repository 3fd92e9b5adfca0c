#include "lessons/ProfileFile.h"

#include "lessons/Messages.h"

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const
{
    return load().readString(section, key, defaultValue);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    return load().readInteger(section, key, defaultValue);
}

bool ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const
{
    ProfileDocument document = load();
    return document.writeString(section, key, value) && document.save();
}

bool ProfileFile::writeInteger(const QString& section, const QString& key, int value) const
{
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::eraseSection(const QString& section) const
{
    ProfileDocument document = load();
    // Erasing what is not there leaves the file untouched.
    return document.eraseSection(section) && (!document.modified() || document.save());
}

QString ProfileFile::writeFailure() const
{
    return Messages::unableToWrite(m_path);
}
