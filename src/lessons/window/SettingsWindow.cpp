#include "lessons/window/SettingsWindow.h"

#include "board/pixels/ColourRef.h"
#include "board/pixels/NamedColours.h"
#include "lessons/CaptureModeChoice.h"
#include "lessons/LessonChoice.h"
#include "lessons/LessonPdf.h"
#include "lessons/LessonTransfer.h"
#include "lessons/MessageBox.h"
#include "lessons/Messages.h"
#include "lessons/TeacherSettings.h"
#include "ui/ButtonPictures.h"
#include "ui/ColourSwatch.h"
#include "ui/SystemWindow.h"
#include "ui/WindowFill.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

namespace {

QGroupBox* group(QWidget* parent, const char* name, const QString& title, const QRect& geometry)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

QLineEdit* field(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(geometry);
    return field;
}

QListWidget* list(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(geometry);
    return list;
}

// The drive box looks the drives up afresh each time it opens: a disk may have come or gone.
class DriveBox : public QComboBox {
public:
    DriveBox(QWidget* parent, std::function<void()> beforeOpening)
        : QComboBox(parent), m_beforeOpening(std::move(beforeOpening))
    {
    }
    void showPopup() override
    {
        m_beforeOpening();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_beforeOpening;
};

// Entries "1" ... count, as the volume and lesson lists show them, with the selected entry (-1
// for none).
void showNumbers(QListWidget* list, int count, int selected)
{
    if (list->count() != count) {
        list->clear();
        for (int n = 1; n <= count; ++n)
            list->addItem(QString::number(n));
    }
    if (selected >= 0)
        list->setCurrentRow(selected);
    else
        list->clearSelection();
}

} // namespace

SettingsWindow::SettingsWindow(TeacherSettings& teachers, LessonChoice& lessons,
                               LessonTransfer& transfer, CaptureModeChoice& captureModeChoice,
                               Prompter& prompter)
    : m_teachers(teachers), m_lessons(lessons), m_transfer(transfer),
      m_captureModeChoice(captureModeChoice), m_prompter(prompter),
      m_exportDirectory(QDir::homePath())
{
    SystemWindow::setUp(this, QStringLiteral("TForm6"), QStringLiteral("设置"),
                        SystemWindow::Layer::OnTop);
    setModal(true);
    setFixedSize(590, 364);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    setFont(font);

    buildTeacherGroup();
    buildLessonGroup();
    buildPersonalGroup();
    buildCaptureGroup();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("确定"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(455, 321, 85, 31);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &SettingsWindow::confirm);

    connect(&m_teachers, &TeacherSettings::changed, this, &SettingsWindow::showState);
    connect(&m_lessons, &LessonChoice::changed, this, &SettingsWindow::showState);
    connect(&m_captureModeChoice, &CaptureModeChoice::changed, this, &SettingsWindow::showState);
    showState();
}

void SettingsWindow::buildTeacherGroup()
{
    GroupBox1 = group(this, "GroupBox1", QStringLiteral("任课教师"), {7, 12, 148, 349});
    Edit1 = field(GroupBox1, "Edit1", {9, 27, 64, 21});
    Button1 = button(GroupBox1, "Button1", QStringLiteral("添加"), {75, 28, 31, 19});
    Button2 = button(GroupBox1, "Button2", QStringLiteral("修改"), {108, 28, 31, 19});
    ListBox1 = list(GroupBox1, "ListBox1", {6, 57, 133, 214});
    // The list shows the model's selection: presses choose through the model, and the list
    // never moves its selection by itself (by a drag or the keyboard).
    ListBox1->setFocusPolicy(Qt::NoFocus);
    ListBox1->viewport()->installEventFilter(this);
    Button3 = button(GroupBox1, "Button3", QStringLiteral("删除"), {24, 276, 94, 19});
    Button4 = button(GroupBox1, "Button4", QStringLiteral("设置个人密码"), {24, 300, 94, 19});
    Button5 = button(GroupBox1, "Button5", QStringLiteral("设置管理密码"), {24, 324, 94, 19});

    connect(Edit1, &QLineEdit::textEdited, &m_teachers, &TeacherSettings::setCurrentTeacherName);
    connect(Button1, &QPushButton::clicked, this, [this] { tell(m_prompter, m_teachers.add()); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_teachers.rename()); });
    connect(Button3, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_teachers.remove()); });
    connect(Button4, &QPushButton::clicked, this, [this] {
        const QString message = m_teachers.requireUnlocked();
        tell(m_prompter, message);
        if (message.isEmpty())
            emit passwordChangeRequested(PasswordChange::Mode::Personal);
    });
    connect(Button5, &QPushButton::clicked, this,
            [this] { emit passwordChangeRequested(PasswordChange::Mode::Administrator); });
}

void SettingsWindow::buildLessonGroup()
{
    GroupBox2 = group(this, "GroupBox2", QStringLiteral("课程选择"), {162, 12, 250, 349});
    Label1 = label(GroupBox2, "Label1", QStringLiteral("第"), {6, 27});
    Edit2 = field(GroupBox2, "Edit2", {24, 25, 22, 21});
    Label2 = label(GroupBox2, "Label2", QStringLiteral("册"), {51, 27});
    Label3 = label(GroupBox2, "Label3", QStringLiteral("第"), {137, 27});
    Edit3 = field(GroupBox2, "Edit3", {155, 25, 22, 21});
    Label4 = label(GroupBox2, "Label4", QStringLiteral("课"), {182, 27});
    for (QLineEdit* number : {Edit2, Edit3}) {
        number->setReadOnly(true);
        number->setText(QStringLiteral("1"));
    }
    ListBox2 = list(GroupBox2, "ListBox2", {6, 52, 61, 239});
    Button6 = button(GroupBox2, "Button6", QStringLiteral("添加"), {75, 64, 31, 19});
    Button7 = button(GroupBox2, "Button7", QStringLiteral("减少"), {73, 99, 31, 19});
    ListBox3 = list(GroupBox2, "ListBox3", {139, 52, 62, 239});
    Button8 = button(GroupBox2, "Button8", QStringLiteral("添加"), {210, 61, 31, 19});
    Button9 = button(GroupBox2, "Button9", QStringLiteral("减少"), {210, 100, 31, 19});
    // The lists show the model's selections, as the teacher list does.
    for (QListWidget* numbers : {ListBox2, ListBox3}) {
        numbers->setFocusPolicy(Qt::NoFocus);
        numbers->viewport()->installEventFilter(this);
    }
    Label5 = label(GroupBox2, "Label5", QStringLiteral("存储或"), {70, 190});
    Label6 = label(GroupBox2, "Label6", QStringLiteral("打开盘区："), {70, 208});
    DriveComboBox1 = new DriveBox(GroupBox2, [this] { m_lessons.refreshDrives(); });
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(68, 226, 69, 19);
    // The entries are wider than the box: the list that opens shows them whole.
    DriveComboBox1->view()->setMinimumWidth(160);
    BitBtn2 = button(GroupBox2, "BitBtn2", QStringLiteral("打开"), {19, 303, 85, 31});
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    BitBtn3 = button(GroupBox2, "BitBtn3", QStringLiteral("保存"), {141, 303, 85, 31});
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    // Between the lists, under the drive box and over "打开" and "保存".
    BitBtn4 = button(GroupBox2, "BitBtn4", QStringLiteral("导出"), {68, 258, 69, 31});
    BitBtn4->setIcon(QIcon(fixedPicture(QStringLiteral("exportpdf"), QSize(16, 16))));
    BitBtn4->setToolTip(QStringLiteral("把书写板的各页导出为 PDF 文件"));

    connect(Button6, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_lessons.addVolume()); });
    connect(Button7, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_lessons.removeVolume()); });
    connect(Button8, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_lessons.addLesson()); });
    connect(Button9, &QPushButton::clicked, this,
            [this] { tell(m_prompter, m_lessons.removeLesson()); });
    connect(DriveComboBox1, &QComboBox::activated, &m_lessons, &LessonChoice::chooseDrive);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { transferLesson(false); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { transferLesson(true); });
    connect(BitBtn4, &QPushButton::clicked, this, &SettingsWindow::exportPdf);
}

void SettingsWindow::buildPersonalGroup()
{
    GroupBox3 = group(this, "GroupBox3", QStringLiteral("个性设置"), {419, 12, 166, 247});
    SpeedButton9 = new QToolButton(GroupBox3);
    SpeedButton9->setObjectName(QStringLiteral("SpeedButton9"));
    SpeedButton9->setGeometry(24, 39, 38, 38);
    SpeedButton9->setAutoRaise(true);
    LCP = new ColourSwatch(GroupBox3, QStringLiteral("LCP"), {25, 55, 36, 9}, QColor(), {});
    Label7 = label(GroupBox3, "Label7", QStringLiteral("笔画"), {30, 87});
    Label8 = label(GroupBox3, "Label8", QStringLiteral("颜色"), {30, 102});
    RCP = new ColourSwatch(GroupBox3, QStringLiteral("RCP"), {91, 39, 38, 38}, QColor(), {});
    Label9 = label(GroupBox3, "Label9", QStringLiteral("背景"), {94, 87});
    Label10 = label(GroupBox3, "Label10", QStringLiteral("颜色"), {94, 102});

    // The width in red digits on blue, read-only and disabled, as on the board.
    Edit4 = field(GroupBox3, "Edit4", {51, 148, 26, 38});
    Edit4->setReadOnly(true);
    Edit4->setEnabled(false);
    Edit4->setAlignment(Qt::AlignCenter);
    Edit4->setFrame(false);
    QFont digits(QStringLiteral("MS Sans Serif"));
    digits.setPixelSize(31);
    Edit4->setFont(digits);
    WindowFill::apply(Edit4, NamedColours::numberBoxBlue);
    QPalette palette = Edit4->palette();
    for (auto colourGroup : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(colourGroup, QPalette::Text, Qt::red);
    palette.setColor(QPalette::Disabled, QPalette::Base,
                     NamedColours::color(NamedColours::numberBoxBlue));
    Edit4->setPalette(palette);

    SpeedButton7 = addPictureButton(GroupBox3, QStringLiteral("SpeedButton7"), {79, 147, 38, 19},
                                    QStringLiteral("widthup"), {});
    SpeedButton8 = addPictureButton(GroupBox3, QStringLiteral("SpeedButton8"), {79, 167, 38, 19},
                                    QStringLiteral("widthdown"), {});
    Label11 = label(GroupBox3, "Label11", QStringLiteral("笔画粗细调整"), {36, 201});

    connect(SpeedButton9, &QToolButton::clicked, this, &SettingsWindow::choosePenColour);
    connect(LCP, &ColourSwatch::clicked, this, &SettingsWindow::choosePenColour);
    connect(RCP, &ColourSwatch::clicked, this, &SettingsWindow::chooseBackgroundColour);
    connect(SpeedButton7, &QToolButton::clicked, &m_teachers, &TeacherSettings::widthUp);
    connect(SpeedButton8, &QToolButton::clicked, &m_teachers, &TeacherSettings::widthDown);
}

void SettingsWindow::buildCaptureGroup()
{
    RadioGroup1 = group(this, "RadioGroup1", QString(), {419, 260, 166, 53});
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    RadioGroup1->setFont(font);
    RadioButtonToBoard = new QRadioButton(QStringLiteral("截取图片保存到书写板"), RadioGroup1);
    RadioButtonToBoard->setObjectName(QStringLiteral("RadioButtonToBoard"));
    RadioButtonToBoard->setGeometry(8, 8, 154, 18);
    RadioButtonToFile = new QRadioButton(QStringLiteral("截取图片保存为文件"), RadioGroup1);
    RadioButtonToFile->setObjectName(QStringLiteral("RadioButtonToFile"));
    RadioButtonToFile->setGeometry(8, 29, 154, 18);
    m_captureChoices = new QButtonGroup(this);
    m_captureChoices->addButton(RadioButtonToBoard, CaptureModeChoice::ToBoard);
    m_captureChoices->addButton(RadioButtonToFile, CaptureModeChoice::ToFile);
    connect(m_captureChoices, &QButtonGroup::idClicked, &m_captureModeChoice,
            &CaptureModeChoice::setValue);
}

void SettingsWindow::showState()
{
    const QStringList& teachers = m_teachers.teacherList();
    QStringList shown;
    for (int i = 0; i < ListBox1->count(); ++i)
        shown << ListBox1->item(i)->text();
    if (shown != teachers) {
        ListBox1->clear();
        ListBox1->addItems(teachers);
    }
    if (m_teachers.selectedEntry() >= 0)
        ListBox1->setCurrentRow(m_teachers.selectedEntry());
    else
        ListBox1->clearSelection();
    if (Edit1->text() != m_teachers.currentTeacherName())
        Edit1->setText(m_teachers.currentTeacherName());

    showNumbers(ListBox2, m_teachers.volumeCount(), m_lessons.selectedVolume());
    showNumbers(ListBox3, m_teachers.lessonCount(), m_lessons.selectedLesson());
    Edit2->setText(m_lessons.volumeNumber());
    Edit3->setText(m_lessons.lessonNumber());
    QStringList drives;
    for (const Drive& drive : m_lessons.drives())
        drives << LessonChoice::driveEntry(drive);
    QStringList shownDrives;
    for (int i = 0; i < DriveComboBox1->count(); ++i)
        shownDrives << DriveComboBox1->itemText(i);
    if (shownDrives != drives) {
        DriveComboBox1->clear();
        DriveComboBox1->addItems(drives);
    }
    DriveComboBox1->setCurrentIndex(m_lessons.chosenDrive());

    const PersonalSettings& personal = m_teachers.personalSettings();
    LCP->setColour(ColourRef::toColor(personal.penColour));
    RCP->setColour(ColourRef::toColor(personal.backgroundColour));
    Edit4->setText(personal.width);

    m_captureChoices->button(m_captureModeChoice.value())->setChecked(true);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    QListWidget* list = nullptr;
    for (QListWidget* candidate : {ListBox1, ListBox2, ListBox3})
        if (watched == candidate->viewport())
            list = candidate;
    if (!list)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QModelIndex index = list->indexAt(press->position().toPoint());
        if (press->button() != Qt::LeftButton || !index.isValid())
            return true;
        if (list == ListBox1)
            chooseEntry(index.row());
        else if (list == ListBox2)
            m_lessons.chooseVolume(index.row());
        else
            m_lessons.chooseLesson(index.row());
        return true;
    }
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

void SettingsWindow::chooseEntry(int entry)
{
    if (m_teachers.choose(entry) == TeacherSettings::Choice::PasswordNeeded)
        emit teacherPasswordRequested();
}

void SettingsWindow::transferLesson(bool save)
{
    const auto hide = [this] { QDialog::hide(); };
    const LessonTransfer::Outcome outcome = save ? m_transfer.save(hide) : m_transfer.open(hide);
    if (outcome.closes)
        accept();
    tell(m_prompter, outcome.message);
}

void SettingsWindow::exportPdf()
{
    const QString chosen = m_prompter.saveFile(QStringLiteral("导出 PDF 文件"), m_exportDirectory,
                                               QStringLiteral("PDF (*.pdf)"));
    if (chosen.isEmpty())
        return;
    // The dialog asked before replacing the file it named, not one named with ".pdf" added.
    const QString path = LessonPdf::fileNameFor(chosen);
    if (path != chosen && QFileInfo::exists(path) && !ask(m_prompter, Messages::pdfExists(path)))
        return;
    m_exportDirectory = QFileInfo(chosen).absolutePath();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const QString message = m_transfer.exportPdf(chosen);
    QGuiApplication::restoreOverrideCursor();
    tell(m_prompter, message);
}

void SettingsWindow::choosePenColour()
{
    const QColor current = ColourRef::toColor(m_teachers.personalSettings().penColour);
    if (const auto chosen = m_penColourChoice.choose(m_prompter, current))
        m_teachers.setPenColour(ColourRef::fromColor(*chosen));
}

void SettingsWindow::chooseBackgroundColour()
{
    const QColor current = ColourRef::toColor(m_teachers.personalSettings().backgroundColour);
    if (const auto chosen = m_backgroundColourChoice.choose(m_prompter, current))
        m_teachers.setBackgroundColour(ColourRef::fromColor(*chosen));
}

void SettingsWindow::confirm()
{
    const TeacherSettings::Confirmation confirmation = m_teachers.confirm();
    if (!confirmation.closes) {
        tell(m_prompter, confirmation.message);
        return;
    }
    accept();
    tell(m_prompter, confirmation.message);
    emit confirmed();
}

void SettingsWindow::showFromBoard()
{
    m_teachers.prepareToShow();
    m_lessons.refreshDrives();
    exec();
}

void SettingsWindow::showEvent(QShowEvent* event)
{
    SystemWindow::centreOnScreen(this);
    QDialog::showEvent(event);
}

void SettingsWindow::reject()
{
    // Escape does not close the window: "确定" is its only way out.
}
