#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Where the board keeps its page texts while it runs: the folder "texts-<run>/" in the program
// directory, one for each run of the program (ProgramRun) and readable by its owner only, holding
// page n's text under the name "n". So the texts of a run that was killed never show in the next
// run, nor in another user's run that shares the program directory.
//
// The folder is made when the first text is kept and removed at exit. The folders of runs that
// ended without removing theirs are removed when the next store starts. Nothing in the folder is
// read or written through a link.
class PageTextFolder {
public:
    // programDirectory ends with "/".
    explicit PageTextFolder(const QString& programDirectory);

    // The folder, ending with "/".
    const QString& path() const { return m_path; }
    QString pathOf(int n) const;

    // False when the text could not be written.
    bool write(int n, const QByteArray& richText) const;
    // Nothing when page n has no kept text.
    std::optional<QByteArray> read(int n) const;
    void remove(int n) const;
    // Removes every text and the folder itself.
    void removeAll() const;

private:
    // Makes the folder when it is missing; false when a folder of this run's own cannot be had.
    bool make() const;

    QString m_path;
};
