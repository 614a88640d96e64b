#include "desktop/ui/help/CCalcHelp.h"

#include "desktop/services/CCalcHelpRequests.h"
#include "desktop/services/CalcCommandBinder.h"
#include "desktop/services/CalcCommands.h"
#include "desktop/ui/help/CCalcHelpWindow.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWhatsThis>
#include <QWidget>

CCalcHelp::CCalcHelp(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

void CCalcHelp::attach(CCalcHelpRequests& requests, QWidget* mainWindow)
{
    mainWindow_ = mainWindow;
    connect(&requests, &CCalcHelpRequests::contextRequested, this,
            [this](std::uint32_t contextNumber) { window()->showContext(contextNumber); });
    connect(&requests, &CCalcHelpRequests::topicRequested, this,
            [this](const QString& topic) { window()->showTopic(topic); });
}

CCalcHelp::~CCalcHelp()
{
    qApp->removeEventFilter(this);
    delete window_.data();
}

void CCalcHelp::bindCommands(ICalcCommandBinder& commands)
{
    commands.bindCommand(CalcCommand::HelpTopics, [this] { show({CalcHelp::Contents, std::nullopt}); });
    commands.bindCommand(CalcCommand::Help, [this] { showFocusHelp(); });
    commands.bindCommand(CalcCommand::ContextHelp, [this] { enterContextHelp(); });
}

CCalcHelpWindow* CCalcHelp::window()
{
    if (window_.isNull())
        window_ = new CCalcHelpWindow();
    placeAbove(QApplication::activeModalWidget());
    return window_.data();
}

void CCalcHelp::placeAbove(QWidget* modal)
{
    if (window_->parentWidget() == modal)
        return;
    if (QWidget* previous = window_->parentWidget())
        previous->removeEventFilter(this);
    const QRect geometry = window_->geometry();
    // Shown, or hidden only with the dialog it belongs to.
    const bool visible = !window_->isHidden();
    window_->setParent(modal, Qt::Window);
    // A dialog hides before it goes (a dialog's destructor hides it first):
    // the window comes back to the program then.
    if (modal != nullptr)
        modal->installEventFilter(this);
    if (visible) {
        window_->setGeometry(geometry);
        window_->show();
    }
}

void CCalcHelp::show(const CalcHelp::Target& target)
{
    if (target.Context)
        window()->showContext(*target.Context);
    else
        window()->showTopic(target.Topic.isEmpty() ? CalcHelp::Contents : target.Topic);
}

void CCalcHelp::showHelpFor(QWidget* widget, std::optional<QPoint> pos)
{
    show(widget != nullptr ? CalcHelp::targetFor(widget, pos) : CalcHelp::Target{});
}

void CCalcHelp::showFocusHelp()
{
    // The focus widget; when no window of the program is active (the
    // command came from elsewhere), the one the main window would give the
    // keyboard to.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
        if (QWidget* main = mainWindow_)
            focus = main->focusWidget() != nullptr ? main->focusWidget() : main;
    }
    showHelpFor(focus);
}

void CCalcHelp::enterContextHelp()
{
    if (!QWhatsThis::inWhatsThisMode())
        QWhatsThis::enterWhatsThisMode();
}

bool CCalcHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && !window_.isNull() && watched == window_->parentWidget()) {
        placeAbove(nullptr);
        return false;
    }
    switch (event->type()) {
    case QEvent::QueryWhatsThis:
        // Every point has a topic (the contents at least): the pointer shows
        // the help cursor everywhere.
        if (QWhatsThis::inWhatsThisMode() && watched->isWidgetType()) {
            event->accept();
            return true;
        }
        break;
    case QEvent::WhatsThis:
        // The click of context help goes to the widget hit and, while
        // nobody takes it, on to its parents: the first that names a topic
        // answers, a widget of its own help (a keypad button) takes it
        // itself, and the window answers when nothing did.
        if (QWhatsThis::inWhatsThisMode() && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            const QPoint pos = static_cast<QHelpEvent*>(event)->pos();
            CalcHelp::Target target = CalcHelp::ownTarget(widget, pos);
            // A list answers context help itself, with its items' own texts,
            // and keeps the click: its viewport answers for it with the
            // topic of the list and what holds it.
            const auto* view = qobject_cast<const QAbstractItemView*>(widget->parentWidget());
            if (target.isEmpty() && view != nullptr && view->viewport() == widget)
                target = CalcHelp::targetFor(widget, pos);
            if (target.isEmpty() && !widget->isWindow())
                break;
            event->accept();
            QWhatsThis::leaveWhatsThisMode();
            // Opened once the click is over, outside the mode's own handling.
            QTimer::singleShot(0, this, [this, target] { show(target); });
            return true;
        }
        break;
    case QEvent::KeyPress:
        return handleKey(watched, event);
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool CCalcHelp::handleKey(QObject* watched, QEvent* event)
{
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool helpKey = key->key() == Qt::Key_F1 || key->key() == Qt::Key_Help;
    if (!helpKey || !watched->isWidgetType())
        return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ShiftModifier) {
        enterContextHelp();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;

    // In an open menu: the topic of its highlighted command; the menus close.
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        CalcHelp::Target target;
        if (QAction* action = menu->activeAction())
            target = CalcHelp::targetFor(action);
        for (int open = 0; open < 16 && QApplication::activePopupWidget() != nullptr; ++open)
            QApplication::activePopupWidget()->close();
        show(target.isEmpty() ? CalcHelp::Target{CalcHelp::Commands, std::nullopt} : target);
        return true;
    }
    // Elsewhere the frame's F1 shortcut did not take the key (a dialog, the
    // help window, another window of the program). Like the click of context
    // help, the key goes up from the focus widget until one names a topic,
    // takes the key itself, or the window answers.
    auto* widget = static_cast<QWidget*>(watched);
    const CalcHelp::Target target = CalcHelp::ownTarget(widget);
    if (target.isEmpty() && !widget->isWindow())
        return false;
    show(target);
    return true;
}
