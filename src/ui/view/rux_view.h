// The text view of a program: paints the document's rows and maps keys and mouse to its edit session.
#pragma once

#include "document/document_observer.h"
#include "editor/editor_services.h"
#include "editor/text_position.h"
#include "view/qt_view_metrics.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QList>
#include <QPoint>
#include <QPointF>

class QMimeData;

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rux {

class CEditSession;
class CItem;
class CRUXDocument;
class CViewEnvironment;
struct CColourRun;

class CRUXView : public QAbstractScrollArea, public CDocumentObserver, public CEditorServices {
    Q_OBJECT

public:
    // Command ids the view handles itself.
    enum ECommand : int {
        kCmdCut = 57635,
        kCmdCopy = 57634,
        kCmdPaste = 57637,
        kCmdDelete = 117,
        kCmdSelectAll = 198,
        kCmdUndo = 57643,
        kCmdRedo = 57644,
        kCmdToggleCase = 147,
        kCmdIncreaseIndent = 32901,
        kCmdDecreaseIndent = 32902,
        kCmdApplyIndent = 146,
        kCmdDateTime = 200,
        kCmdInsertKey = 32849,
        kCmdInsertFile = 197,
    };

    explicit CRUXView(CRUXDocument& document, QWidget* parent = nullptr);
    CRUXView(CRUXDocument& document, CViewEnvironment& environment, QWidget* parent = nullptr);
    ~CRUXView() override;

    CRUXDocument& Document() { return m_doc; }
    CEditSession& Session() { return *m_session; }
    const CQtViewMetrics& Metrics() const { return m_metrics; }
    bool IsKeywordColouring() const { return m_keywordColouring; }

    // "Ln %d, Col %d" of the caret.
    QString PositionText() const;
    // The header index of the section holding the caret (-1 outside any).
    int CaretSection() const;
    // Puts the caret on an item (a go-to from the tree or the build bar), unfolding its section,
    // and scrolls it into view.
    void GoToItem(int index, int column = 1);
    // A command of the edit session that comes from outside the view (a dialog, a bookmark or fold
    // command of the frame): afterwards the view repaints what changed and keeps the caret in view.
    void RunSessionCommand(const std::function<void(CEditSession&)>& command);

    // File (197): the chooser answered with a file; its content goes in at the caret.
    bool InsertFile(const QString& path);

    // Routed commands: true when the view handles the id (and, for Update, fills the states).
    bool OnCommand(int id);
    bool UpdateCommand(int id, bool& enabled, bool& checked) const;

    // Inserts dropped data at a viewport point; `move` from this view's own drag deletes the dragged
    // selection in the same undo group. False when the view refuses the drop.
    bool DropData(const QMimeData* data, const QPoint& viewportPos, bool fromThisView, bool move);

    // The rows a paint visited last (for tests and the repaint benchmark).
    int LastPaintedRows() const { return m_paintedRows; }
    // Device-independent rectangle of an item's row in viewport coordinates (empty when hidden).
    QRect RowRect(int index) const;

    // --- CDocumentObserver -------------------------------------------------------------------
    void OnUpdate(CRUXDocument& document, int hint, const CDocumentChange* change) override;

    // --- CEditorServices: the dialogs an item's double-click asks for --------------------------
    std::optional<std::string> AskFunctionBlockHeader(const std::string& text) override;
    std::optional<std::string> AskTaskHeader(const std::string& text, const std::string& drive) override;
    bool AskNodeProperties(CNodePropertiesForm& form) override;
    void OpenDiagramEditor(const CDiag& diagram) override;

signals:
    void positionTextChanged(const QString& text);
    // Undo/redo, selection, clipboard or editability changed: the frame updates its commands.
    void commandStateChanged();
    void overwriteChanged(bool overwrite);
    // The caret entered another section (header index, -1 outside any).
    void caretSectionChanged(int headerIndex);
    // The document's structure changed: the program tree rebuilds the program's entry.
    void structureChanged();
    void contextMenuRequested(const QPoint& globalPos);
    // Dialogs owned elsewhere; a handler sets `accepted` and may change `text` or `form`.
    void functionBlockHeaderRequested(std::string& text, bool& accepted);
    void taskHeaderRequested(std::string& text, const std::string& drive, bool& accepted);
    void nodePropertiesRequested(CNodePropertiesForm& form, bool& accepted);
    void diagramEditorRequested(const CDiag& diagram);
    // File (197) wants a file from the file chooser, which starts from `initial` ("-i " and the
    // program's path); the answer comes back through InsertFile.
    void insertFileRequested(const QString& initial);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }

private:
    // The session's state before a command, to repaint only what the command touched.
    struct CSnapshot {
        CTextPos caret, anchor, end;
        int scrollX = 0, scrollY = 0;
        bool overwrite = false;
        bool canUndo = false, canRedo = false;
    };

    void Init();
    // Takes font, tabs and options from the settings; `relayout` measures the rows again.
    void ApplySettings(bool relayout = true);
    void UpdateScrollBars();
    void SyncScrollBarsFromMetrics();
    CSnapshot Snapshot() const;
    // After any session call: scroll bars, dirty rows, caret, status texts.
    void AfterCommand(const CSnapshot& before);
    void RepaintItems(int first, int last);
    void RestartBlink();
    void TypeText(const QString& text);
    CTextPos PositionAt(const QPoint& viewportPos) const;
    bool InSelection(const QPoint& viewportPos) const;
    void StartDrag();
    void AutoScroll();
    bool CaretShown() const;
    int HitTestItem(int docY) const;

    // Painting, one routine per kind of row.
    void PaintLine(QPainter& p, const CItem& item, int index, int x0, int y);
    void PaintHeader(QPainter& p, const CItem& item, int index, int x0, int y);
    void PaintSectionLine(QPainter& p, const CItem& item, int index, int x0, int y, int width);
    void PaintDiagram(QPainter& p, const CItem& item, int index, int x0, int y);
    void PaintMargin(QPainter& p, const CItem& item, int y);
    void DrawRuns(QPainter& p, std::string_view text, const std::vector<CColourRun>& runs, int x0,
                  int baseline);
    // Whole-row selection of non-text items.
    bool ItemSelected(int index) const;
    void EmitPosition();

    CRUXDocument& m_doc;
    CViewEnvironment& m_env;
    CQtViewMetrics m_metrics;
    std::unique_ptr<CEditSession> m_session;
    bool m_keywordColouring = true;
    int m_paintedRows = 0;
    int m_lastSection = -2;
    bool m_syncingScroll = false;

    // Caret blink and mouse state.
    QBasicTimer m_blinkTimer;
    bool m_caretOn = true;
    QBasicTimer m_scrollTimer;
    bool m_selecting = false;
    bool m_dragPending = false;
    bool m_dragging = false;
    QPoint m_pressPos;
    QPoint m_lastMouse;

    // Reused by every painted line, so that painting allocates nothing once they have grown.
    std::vector<CColourRun> m_runs;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
    QString m_lastPosition;
};

} // namespace rux
