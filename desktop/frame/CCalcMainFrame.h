// The program's single top-level window: the editor in the middle, the menu
// and accelerators built from the command table, the toolbar with the units
// list, the six-pane status bar, the dockable bars of the bar table and the
// units tool window.
// It restores and saves the window placement and the bar layout, and owns the
// document that works on its editor.
#pragma once

#include "desktop/services/CalcCommandBinder.h"
#include "desktop/frame/CalcBars.h"
#include "desktop/frame/FramePlacement.h"
#include "desktop/frame/CalcMenus.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class CCalcBar;
class CCalcBusyBar;
class CCalcDoc;
class CCalcEditorAids;
class CCalcEditorCommands;
class CCalcEditorFontSettings;
class CCalcHelpRequests;
class CCalcSettingsNotifier;
class CCalcStatusBar;
class CCalcToolBar;
class CCalcTrigonometricUnits;
class CCalcUnitsStep;
class CCalcView;
class ICalcDocPrompts;
class QMenu;
class QShortcut;

class CCalcMainFrame final : public QMainWindow, public ICalcCommandBinder {
    Q_OBJECT

public:
    // The frame with the program's bars, or with the bars of table (which
    // must outlive the frame).
    explicit CCalcMainFrame(QWidget* parent = nullptr);
    explicit CCalcMainFrame(std::span<const CalcBars::Info> table, QWidget* parent = nullptr);
    ~CCalcMainFrame() override;

    // The action of a command id (every id of the command table has one).
    QAction* action(int id) const;

    // ICalcCommandBinder: the frame binds its own commands (the bar, toolbar
    // and status-bar toggles, notation, the units window, the panes, Exit),
    // the editor and the document theirs.
    void bindCommand(int id, Handler handler, State enabled = {}, State checked = {}) override;
    // Called as every top-level menu opens, too.
    void refreshCommandStates() override;

    CCalcDoc* document() const { return document_; }
    CCalcView* view() const { return view_; }
    // The editor's live value, colours, marks and completion.
    CCalcEditorAids* editorAids() const { return aids_; }
    // The editor font as a setting, with its Font and Default commands.
    CCalcEditorFontSettings* editorFont() const { return editorFont_; }
    // The bar of id, or null when the bar table has no such row.
    CCalcBar* bar(int id) const;
    // True for a bar and everything inside it, docked or floating.
    bool isInBar(const QWidget* widget) const;
    CCalcToolBar* toolBar() const { return toolBar_; }
    CCalcStatusBar* calcStatusBar() const { return statusBar_; }
    // The "Calculating…" bar under the editor.
    CCalcBusyBar* busyBar() const { return busyBar_; }
    CCalcTrigonometricUnits* unitsWindow() const { return unitsWindow_; }
    CCalcUnitsStep* unitsStep() const { return unitsStep_; }
    // The settings notice of the program: whoever changes the preferences
    // announces it; every window showing something derived from them
    // subscribes.
    CCalcSettingsNotifier& settingsNotifier() const { return *settings_; }
    // Where windows ask for help; the help window answers it.
    CCalcHelpRequests& helpRequests() const { return *help_; }
    // The menu of id (every menu of the menu table exists).
    QMenu* menu(CalcMenu::Id id) const;

    // Replaces the document's dialogs (tests answer in place of a person).
    void setPrompts(ICalcDocPrompts* prompts);

    // The result and SSE2 panes from the settings and the last result.
    void refreshResultPane();

    // Restores the window placement and shows the frame (normal or maximized).
    // On a first start (no stored rectangle) the window opens at the default
    // size grown for the editor's share, inside the primary work area, and
    // the bars above and below the editor give way where that is short.
    void showWithStoredPlacement();
    // What the menu, tool and status bars and the docked bars take of the
    // window: measured on the laid-out window once it is shown, from the
    // size hints before.
    Tevra::FrameParts measuredParts() const;
    // The editor's share of the client area now.
    double editorShare() const;
    // Grows a bar docked above or below the editor to wanted, as far as the
    // editor keeps its share (the log as records arrive).
    void growDockedBar(CCalcBar* grown, int wanted);
    // Writes placement, bar sizes and bar layout (also done when closing).
    void saveLayout() const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    QMenu* createMenu(CalcMenu::Id id);
    void createToolBar();
    void createStatusBar();
    void createDockWindows();
    void createDocument();
    void connectFrameCommands();
    void restoreLayout();
    void updateTitle();
    void setNotation(std::uint32_t notation);
    void focusPane(int step);
    void toggleUnitsWindow(bool show);
    void calculationRunningChanged(bool running);
    // The first start's second step: the window and its frame inside
    // workArea, then the bars above and below the editor made smaller, the
    // fixed ones first, until the editor has its share.
    void makeRoomForEditor(const Tevra::ScreenRect& workArea);
    int chromeHeight() const;
    // Moves the shown window inside its work area (and on a first start
    // makes room for the editor); once activated, that is the last time.
    void finishPlacement(bool activated);

    struct PendingPlacement {
        std::vector<Tevra::ScreenRect> WorkAreas;
        bool FirstStart = false;
    };

    // The tests of a bound command.
    struct Binding {
        State Enabled;
        State Checked;
    };

    std::map<int, QAction*> actions_;
    std::map<int, Binding> bindings_;
    std::map<CalcMenu::Id, QMenu*> menus_;
    std::span<const CalcBars::Info> barTable_;
    std::vector<CCalcBar*> bars_;  // one per row of the bar table, in its order
    std::optional<PendingPlacement> pendingPlacement_;
    CCalcView* view_ = nullptr;
    CCalcEditorAids* aids_ = nullptr;
    CCalcEditorFontSettings* editorFont_ = nullptr;
    CCalcEditorCommands* editorCommands_ = nullptr;
    CCalcDoc* document_ = nullptr;
    std::unique_ptr<ICalcDocPrompts> dialogs_;
    CCalcToolBar* toolBar_ = nullptr;
    CCalcStatusBar* statusBar_ = nullptr;
    CCalcBusyBar* busyBar_ = nullptr;
    QShortcut* cancelKey_ = nullptr;
    CCalcSettingsNotifier* settings_ = nullptr;
    CCalcHelpRequests* help_ = nullptr;
    CCalcUnitsStep* unitsStep_ = nullptr;
    CCalcTrigonometricUnits* unitsWindow_ = nullptr;
};
