// The log panel: one numbered, coloured row per error or warning of the
// latest calculation. It is the engine's log receiver.
#pragma once

#include <QWidget>

#include <optional>

#include "desktop/services/CalcHelpTopics.h"
#include "core/engine/Diagnostics.h"

class QTreeWidget;

// Usage by the frame:
//     auto* log = new CCalcLog(logDock);
//     log->publishAsLogReceiver();
//     connect(log, &CCalcLog::popupRequested, logDock, &QDockWidget::show);
// Column widths are read from "GUI/Log" when the panel is created and written
// back when it is destroyed (or by saveSettings()). The last column reaches to
// the panel's right edge; the width stored for it is the one the user gave it.
//
// For help, the panel names the messages page, or the topic of the message of
// the row pointed at (context help) or selected (F1).
class CCalcLog final : public QWidget, public NCalculatorText::ILogReceiver, public ICalcHelpTopicSource {
    Q_OBJECT

public:
    enum Column { NumberColumn = 0, StatusColumn, ContextColumn, DescriptionColumn, ColumnCount };

    explicit CCalcLog(QWidget* parent = nullptr);
    ~CCalcLog() override;

    // ILogReceiver: Add appends a row numbered one past the last, coloured by
    // status, scrolls to it (once control returns to the event loop) and,
    // when LogPopup is set, emits popupRequested().
    // Clear removes every row, so numbering starts again at 1.
    void Add(const NCalculatorText::LogRecord& record) override;
    void Clear() override;

    // Makes this panel the engine's log receiver until it is destroyed.
    void publishAsLogReceiver();

    // Writes the four column widths under "GUI/Log".
    void saveSettings() const;

    // The default width of a column: its sample text measured in the panel's
    // font, plus the margins the list draws around a cell or heading.
    int defaultColumnWidth(Column column) const;

    // ICalcHelpTopicSource
    CalcHelp::Target helpTargetAt(std::optional<QPoint> pos) const override;

    QTreeWidget* list() const { return list_; }
    // The colour of an error's or a warning's row on palette: pure red or
    // blue on a light list, made lighter until it reads on a dark one.
    static QColor recordColor(bool error, const QPalette& palette);
    int rowCount() const;

    // The rows an empty log shows at first: it starts short and its bar
    // grows as records arrive, up to GrowRows of them.
    static constexpr int InitialRows = 3;
    static constexpr int GrowRows = 8;
    // The panel's height that shows rows rows under the heading.
    int heightForRows(int rows) const;
    QSize sizeHint() const override;

signals:
    // A record arrived while LogPopup is set: the frame shows the "Log" bar.
    void popupRequested();
    // A record was added: the panel would show them all at heightForRows().
    void recordAdded(int rows);
    // The user clicked a row, or pressed Enter on it (byKey): the editor
    // shows the statement the row's record came from.
    void rowActivated(int row, bool byKey);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadSettings();
    void scrollToLastRowSoon();
    void onSectionResized(int column, int oldWidth, int newWidth);
    // Widens the Description column to the list's right edge, never below
    // the width the user gave it.
    void fitDescriptionColumn();

    QTreeWidget* list_ = nullptr;
    mutable QSize initialSize_;
    bool scrollPending_ = false;
    // The Description width the user chose (or the stored or default one);
    // the column is drawn at least this wide and this is what is saved.
    int descriptionWidth_ = 0;
    bool fitting_ = false;
    std::optional<NCalculatorText::LogReceiverScope> published_;
};
