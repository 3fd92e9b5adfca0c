#pragma once

#include <QWebEnginePage>

// A web page whose links to places in its own document work when it comes from a web page archive
// (".mht"). The archive's page takes the address the archive gives it, which is not where the
// archive lies (the guide's is made up), and a link to a place in the document ("#lessons")
// resolves against that address: followed, it leaves the archive for an error page. Such a link
// scrolls to its place instead, through a script in the page's isolated world (an archive's page
// runs no scripts of its own).
class ArchivePage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit ArchivePage(QObject* parent);
};
