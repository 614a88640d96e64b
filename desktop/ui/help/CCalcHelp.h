// The program's help: answers the help requests of every window with the
// help window (made when first needed), and carries out the three help
// commands: Help Topics opens the contents, Help (F1) the topic of the window
// that has the focus, context help (Shift+F1, the toolbar button) waits for a
// click and opens the topic of what was clicked. F1 and Shift+F1 work the same
// in dialogs and other windows, and F1 in an open menu opens the topic of its
// highlighted command.
#pragma once

#include "desktop/services/CalcHelpTopics.h"

#include <QObject>
#include <QPointer>

class CCalcHelpRequests;
class CCalcHelpWindow;
class ICalcCommandBinder;
class QWidget;

class CCalcHelp final : public QObject {
    Q_OBJECT

public:
    // Made before the windows, so that a window's own answer to F1 (the
    // keypad's, for the button under the pointer) comes before the help's
    // answer for the focus widget: of the application's event filters, the
    // one installed first is asked last.
    explicit CCalcHelp(QObject* parent = nullptr);
    ~CCalcHelp() override;

    // Answers the requests of the windows. F1 while no window of the program
    // has the focus answers for the widget mainWindow would give the
    // keyboard to.
    void attach(CCalcHelpRequests& requests, QWidget* mainWindow);

    void bindCommands(ICalcCommandBinder& commands);

    // The topic of widget (of the point pos in it, when given), or the
    // contents when it names none.
    void showHelpFor(QWidget* widget, std::optional<QPoint> pos = std::nullopt);
    void show(const CalcHelp::Target& target);
    // The topic of the focus widget (F1).
    void showFocusHelp();
    // Context-help mode: the next click opens the topic of what it hits.
    void enterContextHelp();

    // The help window, made on first use. While a modal dialog is open the
    // window belongs to it, so that the dialog does not block it: the page
    // F1 opened for the dialog can be scrolled and followed while the dialog
    // waits. It is the program's own again when the dialog closes.
    CCalcHelpWindow* window();
    bool hasWindow() const { return !window_.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QObject* watched, QEvent* event);

    // Moves the window to the dialog that blocks the others, or back.
    void placeAbove(QWidget* modal);

    QPointer<CCalcHelpWindow> window_;
    QPointer<QWidget> mainWindow_;
};
