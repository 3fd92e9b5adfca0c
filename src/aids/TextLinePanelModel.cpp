#include "aids/TextLinePanelModel.h"

#include "files/FileWrite.h"
#include "files/RegularFile.h"
#include "platform/Desktop.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"
#include "text/Gbk.h"

namespace {

const QString filter = QStringLiteral("*.txt (*.txt)");
const QString caption = QStringLiteral("提示信息");

// The characters of text that GBK has no code for, each once.
QString charactersWithoutGbk(const QString& text)
{
    QString missing;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!Gbk::encode(character) && !missing.contains(character))
            missing += character;
        i += length;
    }
    return missing;
}

} // namespace

TextLinePanelModel::TextLinePanelModel(Desktop& desktop, Launcher& launcher, Prompter& prompter,
                                       const QString& companionDirectory,
                                       std::function<void(bool)> screenSaverSwitch)
    : m_desktop(desktop), m_launcher(launcher), m_prompter(prompter),
      m_companionDirectory(companionDirectory), m_screenSaverSwitch(std::move(screenSaverSwitch)),
      m_companion(desktop)
{
    m_lines.setPlainText(QStringLiteral("可以在本栏内输入多行文字\n"
                                        "拖动下面的放大镜图标选中任意一行可改变待书写框内容\n"
                                        "也可以直接在待书写框内输入文字"));
}

void TextLinePanelModel::open()
{
    emit opened();
    m_openMark = 1;
    m_companion.add(
        m_launcher.startWatchedProgram(QStringLiteral("ani.dll"), m_companionDirectory));
}

void TextLinePanelModel::shown()
{
    m_screenSaverSwitch(true);
    m_desktop.setTaskbarVisible(false);
}

void TextLinePanelModel::close()
{
    emit closed();
    m_openMark = 0;
    m_desktop.setTaskbarVisible(true);
    m_screenSaverSwitch(false);
}

void TextLinePanelModel::watchCompanion()
{
    if (!m_companion.present())
        close();
}

void TextLinePanelModel::load()
{
    const QString path = m_prompter.openFile(QString(), QString(), filter);
    if (!path.isEmpty() && !readFile(path))
        m_prompter.inform(caption, QStringLiteral("无法打开文件：%1").arg(path));
}

void TextLinePanelModel::save()
{
    const QString path = m_prompter.saveFile(QString(), QString(), filter);
    if (path.isEmpty())
        return;
    switch (writeFile(path)) {
    case WriteResult::Written:
        break;
    case WriteResult::NotInGbk:
        m_prompter.inform(caption, QStringLiteral("无法保存文件：%1\nGBK 中没有这些字符：%2")
                                       .arg(path, charactersWithoutGbk(m_lines.toPlainText())));
        break;
    case WriteResult::Refused:
        m_prompter.inform(caption, QStringLiteral("无法保存文件：%1").arg(path));
        break;
    }
}

bool TextLinePanelModel::readFile(const QString& path)
{
    // A file the teacher chose: a named pipe or a device is never waited on, and no text of lines
    // is anywhere near this large.
    constexpr qint64 largestText = 16 * 1024 * 1024;
    const std::optional<QByteArray> bytes = RegularFile::readThroughLink(path, largestText);
    if (!bytes)
        return false;
    QString text = Gbk::decode(*bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The last line's end starts no further line.
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    m_lines.setPlainText(text);
    return true;
}

TextLinePanelModel::WriteResult TextLinePanelModel::writeFile(const QString& path)
{
    QStringList lines = m_lines.toPlainText().split(QLatin1Char('\n'));
    // A text ending in a line break has no further line.
    if (lines.last().isEmpty())
        lines.removeLast();
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    const std::optional<QByteArray> bytes = Gbk::encode(text);
    if (!bytes)
        return WriteResult::NotInGbk;
    return FileWrite::replace(path, *bytes) == 0 ? WriteResult::Written : WriteResult::Refused;
}
