// Packs the help document and the pictures it shows into one web page archive (MHTML: a
// multipart/related message whose first part is the page and whose other parts are the files
// the page refers to, each named by its Content-Location).
//
//   make_help_archive <page.html> <archive.mht>
//
// Every relative src="..." of the page names a file relative to the page's directory; each is
// packed once, under the address the page's own address resolves it to, so the archive shows the
// page exactly as the source folder does. A picture that cannot be read is an error: the archive
// is not written and the build stops.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

// Base64 never contains '-', so the boundary cannot occur inside a part.
const QByteArray Boundary = "----=_zkalto_help_archive----";
// The page's address inside the archive; every part's address is resolved against it.
const QUrl PageAddress(QStringLiteral("http://zkalto.invalid/help/zkthelp.html"));

struct Part {
    QByteArray contentType;
    QUrl address;
    QByteArray data;
};

void fail(const QString& message)
{
    std::fprintf(stderr, "make_help_archive: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

QByteArray contentTypeOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return "image/svg+xml";
    if (suffix == QLatin1String("png"))
        return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "image/jpeg";
    if (suffix == QLatin1String("gif"))
        return "image/gif";
    fail(QStringLiteral("no content type known for %1").arg(path));
    return {};
}

// The files the page refers to, in the order they first appear; addresses with a scheme (web
// addresses, data: pictures) and in-page anchors are not files of the source folder.
QStringList referencedFiles(const QByteArray& page)
{
    static const QRegularExpression source(QStringLiteral("\\bsrc\\s*=\\s*\"([^\"]+)\""));
    QStringList files;
    auto matches = source.globalMatch(QString::fromUtf8(page));
    while (matches.hasNext()) {
        const QString reference = matches.next().captured(1);
        if (QUrl(reference).isRelative() && !reference.startsWith(QLatin1Char('#')) &&
            !files.contains(reference))
            files.append(reference);
    }
    return files;
}

QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    lines.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + "\r\n";
    return lines;
}

QByteArray archive(const QList<Part>& parts)
{
    QByteArray out;
    out += "From: <zkalto>\r\n";
    out += "Subject: =?utf-8?B?" + QStringLiteral("帮助").toUtf8().toBase64() + "?=\r\n";
    out += "Snapshot-Content-Location: " + PageAddress.toEncoded() + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + Boundary +
           "\"\r\n\r\n";
    for (const Part& part : parts) {
        out += "--" + Boundary + "\r\n";
        out += "Content-Type: " + part.contentType + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "Content-Location: " + part.address.toEncoded() + "\r\n\r\n";
        out += base64Lines(part.data);
        out += "\r\n";
    }
    out += "--" + Boundary + "--\r\n";
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3)
        fail(QStringLiteral("usage: make_help_archive <page.html> <archive.mht>"));
    const QString pagePath = arguments.at(1);
    const QByteArray page = readFile(pagePath);
    const QDir pageDirectory = QFileInfo(pagePath).absoluteDir();

    QList<Part> parts{{"text/html; charset=utf-8", PageAddress, page}};
    for (const QString& reference : referencedFiles(page)) {
        const QString path = QDir::cleanPath(pageDirectory.filePath(QUrl(reference).path()));
        parts.append({contentTypeOf(path), PageAddress.resolved(QUrl(reference)), readFile(path)});
    }

    QSaveFile out(arguments.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(archive(parts)) < 0 || !out.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(arguments.at(2), out.errorString()));
    return 0;
}
