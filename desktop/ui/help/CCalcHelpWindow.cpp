#include "desktop/ui/help/CCalcHelpWindow.h"

#include "desktop/services/CalcHelpTopics.h"
#include "desktop/services/PreferencesStore.h"
#include "desktop/ui/keypad/KeypadButtons.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString PagePrefix = QStringLiteral("qrc:/help/");
const QString ResourcePrefix = QStringLiteral(":/help/");
const QString ContentsPage = QStringLiteral("contents.html");
const QString WindowTitle = QStringLiteral("Calculator Tevra Help");
const QString NotFound = QStringLiteral("Not found");

const QString SettingsGroup = QStringLiteral("GUI/Help");
constexpr int DefaultWidth = 760;
constexpr int DefaultHeight = 620;
constexpr int SmallestSide = 200;

QString ReadPage(const QString& page)
{
    QFile file(ResourcePrefix + page);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString PageOf(const QUrl& url)
{
    return url.fileName();
}

// The first (or, backwards, the last) place text stands in document.
QTextCursor FindIn(const QTextDocument& document, const QString& text, bool backwards)
{
    if (!backwards)
        return document.find(text, 0);
    QTextCursor end(const_cast<QTextDocument*>(&document));
    end.movePosition(QTextCursor::End);
    return document.find(text, end, QTextDocument::FindBackward);
}

}  // namespace

CCalcHelpWindow::CCalcHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(WindowTitle);
    CalcHelp::setTopic(this, CalcHelp::Contents);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpPage"));
    browser_->setAccessibleName(QStringLiteral("Help page"));
    browser_->setOpenExternalLinks(true);

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_ = tools->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"), browser_,
                             &QTextBrowser::backward);
    back_->setShortcut(QKeySequence::Back);
    back_->setEnabled(false);
    forward_ = tools->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Forward"), browser_,
                                &QTextBrowser::forward);
    forward_->setShortcut(QKeySequence::Forward);
    forward_->setEnabled(false);
    tools->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"), this,
                     [this] { showTopic(CalcHelp::Contents); });
    tools->addSeparator();

    findField_ = new QLineEdit(this);
    findField_->setObjectName(QStringLiteral("HelpFind"));
    findField_->setPlaceholderText(QStringLiteral("Find in help"));
    findField_->setAccessibleName(QStringLiteral("Find in help"));
    findField_->setClearButtonEnabled(true);
    findField_->setMaximumWidth(260);
    tools->addWidget(findField_);
    QAction* previous = tools->addAction(style()->standardIcon(QStyle::SP_ArrowUp), QStringLiteral("Previous"), this,
                                         [this] { findFromField(true); });
    previous->setShortcut(QKeySequence::FindPrevious);
    QAction* next = tools->addAction(style()->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Next"), this,
                                     [this] { findFromField(false); });
    next->setShortcut(QKeySequence::FindNext);
    findStatus_ = new QLabel(this);
    findStatus_->setObjectName(QStringLiteral("HelpFindStatus"));
    tools->addWidget(findStatus_);

    auto* focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence::Find);
    connect(focusFind, &QAction::triggered, this, [this] {
        findField_->setFocus();
        findField_->selectAll();
    });
    addAction(focusFind);

    connect(findField_, &QLineEdit::returnPressed, this,
            [this] { findFromField(QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier)); });
    connect(findField_, &QLineEdit::textEdited, findStatus_, &QLabel::clear);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &CCalcHelpWindow::updateTitle);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(browser_, 1);

    loadSettings();
    showTopic(CalcHelp::Contents);
}

CCalcHelpWindow::~CCalcHelpWindow()
{
    saveSettings();
}

QUrl CCalcHelpWindow::TopicUrl(const QString& topic)
{
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    const QString page = hash < 0 ? topic : topic.left(hash);
    static const QRegularExpression PageName(QStringLiteral("^[a-z][a-z0-9-]*$"));
    if (!PageName.match(page).hasMatch() || !QFile::exists(ResourcePrefix + page + QStringLiteral(".html")))
        return {};
    QUrl url(PagePrefix + page + QStringLiteral(".html"));
    if (hash >= 0)
        url.setFragment(topic.mid(hash + 1));
    return url;
}

QStringList CCalcHelpWindow::PageOrder()
{
    QStringList pages{ContentsPage};
    static const QRegularExpression Link(QStringLiteral("href=\"([a-z][a-z0-9-]*\\.html)(#[^\"]*)?\""));
    for (const QRegularExpressionMatch& match : Link.globalMatch(ReadPage(ContentsPage))) {
        const QString page = match.captured(1);
        if (!pages.contains(page) && QFile::exists(ResourcePrefix + page))
            pages.append(page);
    }
    return pages;
}

void CCalcHelpWindow::showTopic(const QString& topic)
{
    QUrl url = TopicUrl(topic);
    if (url.isEmpty())
        url = TopicUrl(CalcHelp::Contents);
    showUrl(url);
}

QString CCalcHelpWindow::ContextTopic(std::uint32_t contextNumber)
{
    // The keypad's numbers: a button's id plus the base; only the buttons
    // there are have a topic.
    if (contextNumber >= CalcHelp::KeypadContextBase && contextNumber - CalcHelp::KeypadContextBase < 0x10000u) {
        const int id = static_cast<int>(contextNumber - CalcHelp::KeypadContextBase);
        if (Keypad::FindButton(id) != nullptr && Keypad::HelpContext(id) == contextNumber)
            return CalcHelp::KeypadButtonTopic(id);
    }
    return CalcHelp::Contents;
}

void CCalcHelpWindow::showContext(std::uint32_t contextNumber)
{
    showTopic(ContextTopic(contextNumber));
}

void CCalcHelpWindow::showUrl(const QUrl& url)
{
    if (browser_->source() == url)
        browser_->scrollToAnchor(url.fragment());
    else
        browser_->setSource(url);
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void CCalcHelpWindow::updateTitle()
{
    const QString page = browser_->documentTitle();
    setWindowTitle(page.isEmpty() || page == WindowTitle ? WindowTitle : page + QStringLiteral(" - ") + WindowTitle);
}

bool CCalcHelpWindow::find(const QString& text, bool backwards)
{
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (browser_->find(text, flags))
        return true;

    // The other pages, in the order of the contents (backwards: the other
    // way), coming round to the page shown.
    const QStringList pages = PageOrder();
    const QString current = PageOf(browser_->source());
    const qsizetype at = std::max<qsizetype>(pages.indexOf(current), 0);
    for (qsizetype step = 1; step <= pages.size(); ++step) {
        const qsizetype index = (at + (backwards ? pages.size() - step : step)) % pages.size();
        const QString& page = pages[index];
        QTextDocument document;
        document.setHtml(ReadPage(page));
        const QTextCursor found = FindIn(document, text, backwards);
        if (found.isNull())
            continue;
        if (page != current)
            browser_->setSource(QUrl(PagePrefix + page));
        QTextCursor cursor(browser_->document());
        cursor.setPosition(found.anchor());
        cursor.setPosition(found.position(), QTextCursor::KeepAnchor);
        browser_->setTextCursor(cursor);
        browser_->ensureCursorVisible();
        return true;
    }
    return false;
}

void CCalcHelpWindow::findFromField(bool backwards)
{
    const bool found = find(findField_->text(), backwards);
    findStatus_->setText(found || findField_->text().isEmpty() ? QString() : NotFound);
}

void CCalcHelpWindow::loadSettings()
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    const auto width = Tevra::ReadStoredInt32(settings, QStringLiteral("Width"));
    const auto height = Tevra::ReadStoredInt32(settings, QStringLiteral("Height"));
    settings.endGroup();
    QSize size(DefaultWidth, DefaultHeight);
    const QSize screen = QGuiApplication::primaryScreen() != nullptr ? QGuiApplication::primaryScreen()->availableSize()
                                                                     : QSize(DefaultWidth, DefaultHeight);
    if (width && height && *width >= SmallestSide && *height >= SmallestSide)
        size = QSize(std::min(*width, screen.width()), std::min(*height, screen.height()));
    resize(size);
}

void CCalcHelpWindow::saveSettings() const
{
    QSettings settings = Tevra::ProgramSettings();
    settings.beginGroup(SettingsGroup);
    settings.setValue(QStringLiteral("Width"), width());
    settings.setValue(QStringLiteral("Height"), height());
    settings.endGroup();
}
