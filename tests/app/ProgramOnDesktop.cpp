#include "ProgramOnDesktop.h"

#include "ProgramPlaces.h"

#include <QFile>
#include <QtTest>

const QColor ProgramOnDesktop::panelColour(0x20, 0x40, 0x60);
const QColor ProgramOnDesktop::emptyPageColour(0x80, 0x80, 0x80);

using namespace ProgramPlaces;

namespace {

// A panel along the bottom, 30 pixels high, above ordinary windows, in one colour.
constexpr char panelConfiguration[] = R"(rounded = 0
border_width = 0
background_color = #204060 100
border_color = #000000 0
panel_items = T
panel_size = 100% 30
panel_position = bottom center horizontal
panel_layer = top
panel_background_id = 1
strut_policy = follow_size
task_background_id = 0
)";

} // namespace

ProgramOnDesktop::ProgramOnDesktop() : m_probe(std::make_unique<DisplayProbe>(qgetenv("DISPLAY")))
{
    QFile configuration(m_configuration.filePath(QStringLiteral("tint2rc")));
    m_configured = configuration.open(QIODevice::WriteOnly) &&
                   configuration.write(panelConfiguration) == qint64(sizeof panelConfiguration) - 1;
    // The window manager and the panel read their settings from here, not from the user's.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configuration.path());
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_configuration.path());
    m_windowManager.setProcessEnvironment(environment);
    m_panel.setProcessEnvironment(environment);
}

ProgramOnDesktop::~ProgramOnDesktop()
{
    end();
}

bool ProgramOnDesktop::isReady() const
{
    return m_probe->isOpen() && m_configured;
}

void ProgramOnDesktop::startDesktop(bool windowManager)
{
    if (!windowManager)
        return;
    m_windowManager.start(QStringLiteral("openbox"), {});
    QVERIFY(m_windowManager.waitForStarted());
    // Generous: on a loaded machine the desktop's programs may take long to start.
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->windowManagerRunning(), 30000);
    // Now and then, on a loaded machine, tint2 comes up without ever showing its panel: it is
    // started again, and what it said is shown.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        m_panel.start(QStringLiteral("tint2"), {"-c", m_configuration.filePath("tint2rc")});
        QVERIFY(m_panel.waitForStarted());
        if (QTest::qWaitFor([&] { return m_probe->pixel(panelPlace) == panelColour; }, 15000))
            break;
        qWarning("tint2 showed no panel in attempt %d (%s): %s", attempt,
                 m_panel.state() == QProcess::Running ? "running" : "ended",
                 m_panel.readAllStandardError().constData());
        m_panel.kill();
        m_panel.waitForFinished(10000);
    }
    QCOMPARE(m_probe->pixel(panelPlace), panelColour);
    m_hasPanel = true;
}

quint64 ProgramOnDesktop::programWindowAt(QPoint point) const
{
    const quint64 window = m_probe->windowAt(point);
    return m_probe->windowsOf(m_program.processId()).contains(window) ? window : 0;
}

void ProgramOnDesktop::startProgram()
{
    m_program.setWorkingDirectory(QStringLiteral(ZKALTO_PROGRAM_DIR));
    startProgram(QStringLiteral(ZKALTO_PROGRAM_DIR "/zkalto"), {},
                 QProcessEnvironment::systemEnvironment());
}

void ProgramOnDesktop::startProgram(const QString& command, const QStringList& arguments,
                                    const QProcessEnvironment& environment)
{
    m_program.setProcessEnvironment(environment);
    m_program.start(command, arguments);
    QVERIFY(m_program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(programWindowAt(toolbarPlace) != 0, 15000);
    m_toolbar = programWindowAt(toolbarPlace);
    QCOMPARE(m_probe->geometry(m_toolbar), QRect(588, 0, 343, 39));
}

void ProgramOnDesktop::openBoard()
{
    m_probe->click(toolbarBoardButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_probe->windowCaptioned(pid(), QStringLiteral("白板")) != 0, 10000);
    m_board = m_probe->windowCaptioned(pid(), QStringLiteral("白板"));
    QTRY_COMPARE(programWindowAt(screenMiddle), m_board);
    // Mapped, the board may show black for a while on a loaded machine before it paints its page.
    QTRY_COMPARE_WITH_TIMEOUT(m_probe->pixel(screenMiddle), emptyPageColour, 10000);
    // The board covers the whole screen, the panel included.
    if (m_hasPanel)
        QTRY_COMPARE(m_probe->pixel(panelPlace), emptyPageColour);
}

void ProgramOnDesktop::kill()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        QVERIFY(m_program.waitForFinished(10000));
    }
    m_toolbar = 0;
    m_board = 0;
}

void ProgramOnDesktop::end()
{
    for (QProcess* process : {&m_program, &m_panel, &m_windowManager}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            process->waitForFinished(10000);
        }
    }
    m_hasPanel = false;
    m_toolbar = 0;
    m_board = 0;
}
