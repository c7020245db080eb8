#include "view/rux_view.h"

#include "cp1252.h"
#include "file_names.h"
#include "document/diagram_item.h"
#include "document/header_item.h"
#include "document/header_row.h"
#include "document/item_list.h"
#include "document/rux_document.h"
#include "document/section_items.h"
#include "document/string_table.h"
#include "editor/bookmarks.h"
#include "editor/clipboard.h"
#include "editor/edit_session.h"
#include "editor/go_to_line.h"
#include "editor/keyword_table.h"
#include "editor/line_classifier.h"
#include "editor/program_tree.h"
#include "target/target_library.h"
#include "view/icons.h"
#include "view/qt_clipboard.h"
#include "view/view_environment.h"

#include <QApplication>
#include <QDrag>
#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace rux {
namespace {

constexpr int kMargin = CViewMetrics::kLeftMargin;
constexpr int kStrOpen = IDS_DIAGRAM_OPEN;
constexpr int kStrEdited = IDS_DIAGRAM_EDITED;
constexpr int kTipHideMs = 7000;
constexpr int kTipMaxWidth = 1200;
const char* const kTipBookmark = "Double-click to add/clear a bookmark";
const char* const kTipBreakpoint = "Double-click to add/clear a breakpoint";

int KeywordIndentRole(std::string_view word) {
    return LoadKeywordTable().GetKeywordIndentRole(word);
}

QColor Contrast(const QColor& selection) {
    const uint32_t ref = static_cast<uint32_t>(selection.red()) |
                         static_cast<uint32_t>(selection.green()) << 8 |
                         static_cast<uint32_t>(selection.blue()) << 16;
    return ToQColor(SelectionTextColour(ref));
}

// The margin's halftone strip: a 2 x 2 checker of the button face and white (on a dark look, a light
// shade of the face, which white would glare beside).
const QBrush& HalftoneBrush(const QColor& face, const QColor& light) {
    static QColor cachedFace, cachedLight;
    static QBrush brush;
    if (brush.style() == Qt::NoBrush || cachedFace != face || cachedLight != light) {
        QPixmap pm(2, 2);
        pm.fill(light);
        QPainter p(&pm);
        p.setPen(face);
        p.drawPoint(0, 0);
        p.drawPoint(1, 1);
        cachedFace = face;
        cachedLight = light;
        brush = QBrush(pm);
    }
    return brush;
}

bool KeyToEditKey(int key, EKey& out) {
    switch (key) {
    case Qt::Key_Home:
        out = EKey::Home;
        return true;
    case Qt::Key_End:
        out = EKey::End;
        return true;
    case Qt::Key_PageUp:
        out = EKey::PageUp;
        return true;
    case Qt::Key_PageDown:
        out = EKey::PageDown;
        return true;
    case Qt::Key_Left:
        out = EKey::Left;
        return true;
    case Qt::Key_Right:
        out = EKey::Right;
        return true;
    case Qt::Key_Up:
        out = EKey::Up;
        return true;
    case Qt::Key_Down:
        out = EKey::Down;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        out = EKey::Enter;
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        out = EKey::Tab;
        return true;
    case Qt::Key_Backspace:
        out = EKey::Backspace;
        return true;
    case Qt::Key_Delete:
        out = EKey::Delete;
        return true;
    case Qt::Key_Insert:
        out = EKey::Insert;
        return true;
    default:
        return false;
    }
}

} // namespace

CRUXView::CRUXView(CRUXDocument& document, QWidget* parent)
    : CRUXView(document, CViewEnvironment::Default(), parent) {}

CRUXView::CRUXView(CRUXDocument& document, CViewEnvironment& environment, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(document), m_env(environment),
      m_metrics(MakeViewFont(environment.Settings().Font()), environment.Settings().TabSize()) {
    Init();
}

CRUXView::~CRUXView() {
    m_doc.RemoveObserver(this);
}

void CRUXView::Init() {
    m_session = std::make_unique<CEditSession>(m_doc, m_metrics, m_env.Clipboard(), m_env.Overwrite());
    m_session->SetIndentRole(&KeywordIndentRole);
    // Words are coloured only in program files; anything else opens as plain, read-only text.
    const std::string& path = m_doc.GetPathName();
    m_keywordColouring = path.empty() || IsKeywordColouringEnabled(path);
    if (!m_keywordColouring) m_doc.SetReadOnly(true);
    m_doc.AddObserver(this);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    setAcceptDrops(true);
    setFrameShape(QFrame::NoFrame);
    // The session measured the rows with the metrics made from these same settings.
    ApplySettings(false);
    EmitPosition();
}

void CRUXView::ApplySettings(bool relayout) {
    CSetting& settings = m_env.Settings();
    CEditSettings& edit = m_session->Settings();
    edit.tabSize = settings.TabSize();
    edit.insertTabs = settings.TabHandlingMode() != 0;
    edit.autoIndent = m_env.Options().GetOption(OPT_AUTO_INDENT) != 0;
    m_metrics.SetFont(MakeViewFont(settings.Font()), edit.tabSize);
    m_metrics.SetClientSize(viewport()->width(), viewport()->height());
    if (relayout) m_session->Layout().Rebuild();
    // The caret keeps its column and item; only its pixel place moves with the font.
    m_session->SetCaret(m_session->Caret());
    UpdateScrollBars();
    viewport()->update();
}

// --- scrolling ------------------------------------------------------------------------------

void CRUXView::UpdateScrollBars() {
    const CRowLayout& layout = m_session->Layout();
    const int ch = viewport()->height(), cw = viewport()->width();
    m_syncingScroll = true;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const int height = layout.TotalHeight();
    if (ch < height) {
        v->setRange(0, height - ch);
        v->setPageStep(ch);
    } else {
        v->setRange(0, 0);
    }
    v->setSingleStep(m_metrics.LineHeight());
    const int width = layout.WidestRow();
    if (cw < width) {
        h->setRange(0, width - cw);
        h->setPageStep(cw);
    } else {
        h->setRange(0, 0);
    }
    h->setSingleStep(m_metrics.TextWidth(" ") * 4);
    m_syncingScroll = false;
    // A document shorter than the window always starts at its top.
    if (m_metrics.ScrollY() > v->maximum() || m_metrics.ScrollX() > h->maximum())
        m_metrics.SetScroll(std::min(m_metrics.ScrollX(), h->maximum()),
                            std::min(m_metrics.ScrollY(), v->maximum()));
    SyncScrollBarsFromMetrics();
}

void CRUXView::SyncScrollBarsFromMetrics() {
    m_syncingScroll = true;
    verticalScrollBar()->setValue(m_metrics.ScrollY());
    horizontalScrollBar()->setValue(m_metrics.ScrollX());
    m_syncingScroll = false;
    // The bar may have clamped the position.
    m_metrics.SetScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CRUXView::scrollContentsBy(int, int) {
    if (m_syncingScroll) return;
    m_metrics.SetScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->update();
}

void CRUXView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_metrics.SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBars();
}

void CRUXView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta == 0) return;
    const int lines = QApplication::wheelScrollLines();
    const bool vertical = verticalScrollBar()->maximum() > 0;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    int amount;
    if (lines < 0) // one page per notch
        amount = -delta * bar->pageStep() / 120;
    else
        amount = -delta * lines / 120 * bar->singleStep();
    bar->setValue(bar->value() + amount);
    event->accept();
}

// --- hit testing ----------------------------------------------------------------------------

int CRUXView::HitTestItem(int docY) const {
    const CObArrayEx& items = m_doc.Items();
    const int size = items.GetSize();
    if (size == 0) return -1;
    const CRowLayout& layout = m_session->Layout();
    if (docY >= layout.RowsHeight()) return items.PreviousVisible(size);
    const int row = layout.RowAt(docY);
    return row >= 0 ? row : (items.IsVisible(0) ? 0 : items.NextVisible(0));
}

QRect CRUXView::RowRect(int index) const {
    const CObArrayEx& items = m_doc.Items();
    if (index < 0 || index >= items.GetSize() || !items.IsVisible(index)) return {};
    const CRowLayout& layout = m_session->Layout();
    return QRect(0, layout.TopOf(index) - m_metrics.ScrollY(), viewport()->width(), layout.HeightOf(index));
}

CTextPos CRUXView::PositionAt(const QPoint& pos) const {
    // The session's own hit test is the truth; ask it on a scratch copy of the caret.
    const CObArrayEx& items = m_doc.Items();
    int row = HitTestItem(pos.y() + m_metrics.ScrollY());
    if (row < 0) return {1, 0};
    if (pos.y() + m_metrics.ScrollY() >= m_session->Layout().RowsHeight())
        row = items.PreviousVisible(items.GetSize());
    const CItem* item = items.GetAt(row);
    if (item->GetType() != kItemLine) return {1, row};
    const std::string_view text = item->GetText();
    const int x = std::max(kMargin, pos.x() + m_metrics.ScrollX()) - kMargin;
    int col = 1, left = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const int right = m_metrics.Advance(text.substr(i, 1), left, 0);
        if (x < (left + right + 1) / 2) return {col, row};
        left = right;
        ++col;
    }
    const int space = std::max(1, m_metrics.Advance(' '));
    return {col + std::max(0, (x - left + space / 2) / space), row};
}

bool CRUXView::InSelection(const QPoint& pos) const {
    if (!m_session->HasSelection()) return false;
    const CTextPos at = PositionAt(pos);
    return m_session->SelectionStart() <= at && at < m_session->SelectionStop();
}

// --- commands and state ---------------------------------------------------------------------

CRUXView::CSnapshot CRUXView::Snapshot() const {
    return {m_session->Caret(),  m_session->Anchor(), m_session->SelectionEnd(), m_metrics.ScrollX(),
            m_metrics.ScrollY(), m_env.Overwrite(),   m_session->CanUndo(),      m_session->CanRedo()};
}

void CRUXView::AfterCommand(const CSnapshot& before) {
    // The session may have scrolled (caret kept in view, page keys); the bars follow.
    if (m_metrics.ScrollX() != before.scrollX || m_metrics.ScrollY() != before.scrollY) {
        UpdateScrollBars();
        viewport()->update();
    } else {
        const CTextPos caret = m_session->Caret();
        const CTextPos anchor = m_session->Anchor(), end = m_session->SelectionEnd();
        const bool selectionChanged = anchor != before.anchor || end != before.end;
        if (selectionChanged) {
            // Every row between the old and the new selection edges may change colour.
            const int first =
                std::min({before.anchor.item, before.end.item, anchor.item, end.item, caret.item});
            const int last =
                std::max({before.anchor.item, before.end.item, anchor.item, end.item, caret.item});
            RepaintItems(first, last);
        }
        if (caret != before.caret) {
            RepaintItems(before.caret.item, before.caret.item);
            RepaintItems(caret.item, caret.item);
        }
    }
    RestartBlink();
    EmitPosition();
    if (before.overwrite != m_env.Overwrite()) emit overwriteChanged(m_env.Overwrite());
    emit commandStateChanged();
}

void CRUXView::RepaintItems(int first, int last) {
    const CObArrayEx& items = m_doc.Items();
    const int size = items.GetSize();
    if (size == 0) {
        viewport()->update();
        return;
    }
    first = std::clamp(first, 0, size - 1);
    last = std::clamp(last, 0, size - 1);
    if (last < first) std::swap(first, last);
    const int sy = m_metrics.ScrollY();
    const CRowLayout& layout = m_session->Layout();
    const int top = layout.TopOf(first) - sy;
    const int bottom = layout.TopOf(last) + layout.HeightOf(last) - sy;
    const QRect rect(0, top, viewport()->width(), std::max(1, bottom - top));
    viewport()->update(rect.intersected(viewport()->rect()));
}

void CRUXView::EmitPosition() {
    const QString text = PositionText();
    if (text != m_lastPosition) {
        m_lastPosition = text;
        emit positionTextChanged(text);
    }
    const int section = CaretSection();
    if (section != m_lastSection) {
        m_lastSection = section;
        emit caretSectionChanged(section);
    }
}

int CRUXView::CaretSection() const {
    return SectionHeaderOf(m_doc, m_session->Caret().item);
}

QString CRUXView::PositionText() const {
    return QString::fromStdString(m_session->PositionText());
}

void CRUXView::GoToItem(int index, int column) {
    const CSnapshot before = Snapshot();
    const CObArrayEx& items = m_doc.Items();
    if (index < 0 || index >= items.GetSize()) return;
    RevealItem(m_doc, index, true);
    m_session->SetCaret({column, index});
    m_session->ScrollCaretIntoView();
    AfterCommand(before);
}

bool CRUXView::OnCommand(int id) {
    const CSnapshot before = Snapshot();
    CEditSession& s = *m_session;
    switch (id) {
    case kCmdCut:
        s.Cut();
        break;
    case kCmdCopy:
        s.Copy();
        break;
    case kCmdPaste:
        s.Paste();
        break;
    case kCmdDelete:
        s.DeleteKey();
        break;
    case kCmdSelectAll:
        s.SelectAll();
        break;
    case kCmdUndo:
        s.Undo();
        break;
    case kCmdRedo:
        s.Redo();
        break;
    case kCmdToggleCase:
        s.ToggleCase();
        break;
    case kCmdIncreaseIndent:
        s.IncreaseIndent();
        break;
    case kCmdDecreaseIndent:
        s.DecreaseIndent();
        break;
    case kCmdApplyIndent:
        s.ApplyIndent();
        break;
    case kCmdDateTime:
        s.InsertDateTime();
        break;
    case kCmdInsertKey:
        s.KeyDown(EKey::Insert, false, false);
        break;
    case kCmdInsertFile:
        if (s.CanEdit()) emit insertFileRequested(QStringLiteral("-i ") + FromFileName(m_doc.GetPathName()));
        return true;
    default:
        return false;
    }
    s.ScrollCaretIntoView();
    AfterCommand(before);
    return true;
}

void CRUXView::RunSessionCommand(const std::function<void(CEditSession&)>& command) {
    const CSnapshot before = Snapshot();
    command(*m_session);
    m_session->ScrollCaretIntoView();
    AfterCommand(before);
}

bool CRUXView::InsertFile(const QString& path) {
    const CSnapshot before = Snapshot();
    const bool done = m_session->InsertFile(ToFileName(path));
    AfterCommand(before);
    return done;
}

bool CRUXView::UpdateCommand(int id, bool& enabled, bool& checked) const {
    const CEditSession& s = *m_session;
    const bool editable = s.CanEdit();
    checked = false;
    switch (id) {
    case kCmdCut:
    case kCmdDelete:
    case kCmdToggleCase:
        enabled = editable && s.HasSelection();
        break;
    case kCmdCopy:
        enabled = s.HasSelection();
        break;
    case kCmdPaste:
        enabled = s.CanPaste();
        break;
    case kCmdSelectAll:
        enabled = !m_doc.Items().IsEmpty();
        break;
    case kCmdUndo:
        enabled = s.CanUndo();
        break;
    case kCmdRedo:
        enabled = s.CanRedo();
        break;
    case kCmdIncreaseIndent:
    case kCmdDecreaseIndent:
        enabled = editable && s.HasSelection() && s.SelectionStart().item != s.SelectionStop().item;
        break;
    case kCmdApplyIndent:
        enabled = editable && s.HasSelection();
        break;
    case kCmdDateTime:
    case kCmdInsertFile:
        enabled = editable;
        break;
    case kCmdInsertKey:
        enabled = true;
        checked = m_env.Overwrite();
        break;
    default:
        return false;
    }
    return true;
}

void CRUXView::OnUpdate(CRUXDocument&, int hint, const CDocumentChange* change) {
    switch (hint) {
    case kHintSettings:
        ApplySettings();
        return;
    case kHintColours:
        viewport()->update();
        return;
    case kHintContent:
        if (change) {
            RepaintItems(change->first, std::max(change->first, change->last));
            // A row that grew wider may need the horizontal bar, one that shrank less of it.
            if (std::max(0, m_session->Layout().WidestRow() - viewport()->width()) != horizontalScrollBar()->maximum())
                UpdateScrollBars();
            return;
        }
        viewport()->update();
        return;
    case kHintStructure: {
        UpdateScrollBars();
        viewport()->update();
        emit structureChanged();
        return;
    }
    case kHintTitle:
        emit commandStateChanged();
        return;
    default:
        viewport()->update();
        return;
    }
}

// --- dialogs an item asks for -------------------------------------------------------------

std::optional<std::string> CRUXView::AskFunctionBlockHeader(const std::string& text) {
    std::string answer = text;
    bool accepted = false;
    emit functionBlockHeaderRequested(answer, accepted);
    return accepted ? std::optional<std::string>(std::move(answer)) : std::nullopt;
}

std::optional<std::string> CRUXView::AskTaskHeader(const std::string& text, const std::string& drive) {
    std::string answer = text;
    bool accepted = false;
    emit taskHeaderRequested(answer, drive, accepted);
    return accepted ? std::optional<std::string>(std::move(answer)) : std::nullopt;
}

bool CRUXView::AskNodeProperties(CNodePropertiesForm& form) {
    bool accepted = false;
    emit nodePropertiesRequested(form, accepted);
    return accepted;
}
void CRUXView::OpenDiagramEditor(const CDiag& diagram) {
    emit diagramEditorRequested(diagram);
}

// --- caret ----------------------------------------------------------------------------------

bool CRUXView::CaretShown() const {
    if (!hasFocus()) return false;
    const CObArrayEx& items = m_doc.Items();
    const int index = m_session->Caret().item;
    if (index < 0 || index >= items.GetSize() || !items.IsVisible(index)) return false;
    const int type = items.GetAt(index)->GetType();
    if (type != kItemLine && type != kItemSectionHeader) return false;
    return m_session->CaretX() - m_metrics.ScrollX() >= kMargin;
}

void CRUXView::RestartBlink() {
    m_caretOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0 && hasFocus())
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
}

void CRUXView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretOn = !m_caretOn;
        const int x = m_session->CaretX() - m_metrics.ScrollX();
        const int y = m_session->CaretY() - m_metrics.ScrollY();
        viewport()->update(QRect(x - 1, y, 4, m_metrics.LineHeight()));
        return;
    }
    if (event->timerId() == m_scrollTimer.timerId()) {
        AutoScroll();
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void CRUXView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
    RepaintItems(m_session->Caret().item, m_session->Caret().item);
    emit commandStateChanged();
}

void CRUXView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    m_blinkTimer.stop();
    RepaintItems(m_session->Caret().item, m_session->Caret().item);
}

// --- painting -------------------------------------------------------------------------------

bool CRUXView::ItemSelected(int index) const {
    const CEditSession& s = *m_session;
    return s.HasSelection() && index >= s.SelectionStart().item && index <= s.SelectionStop().item;
}

void CRUXView::DrawRuns(QPainter& p, std::string_view text, const std::vector<CColourRun>& runs, int x0,
                        int baseline) {
    const QColor selectionText = Contrast(m_env.Colour(kColourSelection));
    const QRawFont& raw = m_metrics.RawFont();
    const int clipRight = viewport()->width();
    int x = x0;
    size_t i = 0;
    while (i < runs.size() && x <= clipRight) {
        // Neighbouring runs of one colour go out as one glyph run.
        const CColourRun& run = runs[i];
        size_t j = i + 1;
        uint32_t end = run.offset + run.length;
        while (j < runs.size() && runs[j].colour == run.colour && runs[j].selected == run.selected &&
               runs[j].offset == end) {
            end += runs[j].length;
            ++j;
        }
        m_glyphs.clear();
        m_positions.clear();
        for (uint32_t k = run.offset; k < end && x <= clipRight; ++k) {
            const unsigned char c = static_cast<unsigned char>(text[k]);
            if (c == '\t') {
                x = m_metrics.Advance("\t", x, x0);
                continue;
            }
            const quint32 glyph = m_metrics.Glyph(c);
            if (glyph != 0 && c != ' ') {
                m_glyphs.push_back(glyph);
                m_positions.push_back(QPointF(x, baseline));
            } else if (glyph == 0 && c != ' ') {
                // Not in the font: let the font machinery find a fallback for this one character.
                p.setPen(run.selected ? selectionText : m_env.Ink(run.colour));
                p.drawText(x, baseline, FromCp1252(text.substr(k, 1)));
            }
            x += m_metrics.Advance(c);
        }
        if (!m_glyphs.isEmpty()) {
            QGlyphRun glyphs;
            glyphs.setRawFont(raw);
            glyphs.setGlyphIndexes(m_glyphs);
            glyphs.setPositions(m_positions);
            p.setPen(run.selected ? selectionText : m_env.Ink(run.colour));
            p.drawGlyphRun(QPointF(0, 0), glyphs);
        }
        i = j;
    }
}

void CRUXView::PaintLine(QPainter& p, const CItem& item, int index, int x0, int y) {
    const std::string_view text = item.GetText();
    const CEditSession& s = *m_session;
    int selStart = 1, selEnd = 1;
    if (s.HasSelection() && index >= s.SelectionStart().item && index <= s.SelectionStop().item) {
        selStart = index == s.SelectionStart().item ? s.SelectionStart().col : 1;
        selEnd = index == s.SelectionStop().item ? s.SelectionStop().col : INT_MAX;
    }
    if (selStart < selEnd) {
        auto columnX = [&](int col) {
            const size_t in = std::min(static_cast<size_t>(col - 1), text.size());
            int x = m_metrics.Advance(text.substr(0, in), x0, x0);
            if (static_cast<size_t>(col - 1) > text.size())
                x += static_cast<int>(std::min<int64_t>(
                    INT_MAX / 4, (static_cast<int64_t>(col - 1) - static_cast<int64_t>(text.size())) *
                                     m_metrics.Advance(' ')));
            return x;
        };
        const int left = columnX(selStart);
        const int right = selEnd == INT_MAX ? m_metrics.Advance(text, x0, x0) : columnX(selEnd);
        if (right > left)
            p.fillRect(QRect(left, y, right - left, m_metrics.LineHeight()), m_env.Colour(kColourSelection));
    }
    if (text.empty()) return;
    // While identifiers look like any other text, the program's identifier set is not needed to paint.
    const bool identifiersShow = m_env.Settings().GetColor(kColourIdentifier) != m_env.Settings().GetColor(kColourText);
    ClassifyLine(text, selStart, selEnd, ClassifyFlagsFor(item, m_keywordColouring),
                 identifiersShow ? &m_doc.Identifiers() : nullptr, m_env.Keywords(), m_runs);
    DrawRuns(p, text, m_runs, x0, y + m_metrics.Ascent());
}

void CRUXView::PaintHeader(QPainter& p, const CItem& item, int index, int x0, int y) {
    const auto& par = static_cast<const CPar&>(item);
    static CNoTargetLibrary noTarget;
    CTargetLibrary& target = m_doc.Services().target ? *m_doc.Services().target : noTarget;
    const CHeaderRow row = ComposeHeaderRow(par.Header(), target, m_metrics);
    const int lh = m_metrics.LineHeight();
    QColor ink = m_env.Ink(kColourReadOnly);
    if (ItemSelected(index)) {
        const QColor sel = m_env.Colour(kColourSelection);
        p.fillRect(QRect(x0, y, std::max(600, row.valueX + 400), 5 * lh), sel);
        ink = Contrast(sel);
    }
    p.setPen(ink);
    for (size_t i = 0; i < row.lines.size(); ++i) {
        const int baseline = y + static_cast<int>(i) * lh + m_metrics.Ascent();
        p.drawText(x0, baseline, FromCp1252(row.lines[i].label));
        p.drawText(x0 + row.valueX, baseline, FromCp1252(row.lines[i].value));
    }
}

void CRUXView::PaintSectionLine(QPainter& p, const CItem& item, int index, int x0, int y, int width) {
    const int lh = m_metrics.LineHeight();
    QColor ink = m_env.Ink(kColourText);
    if (ItemSelected(index)) {
        const QColor sel = m_env.Colour(kColourSelection);
        p.fillRect(QRect(0, y, width, lh), sel);
        ink = Contrast(sel);
    } else if (!m_session->HasSelection() && m_session->Caret().item == index) {
        p.fillRect(QRect(0, y, width, lh), m_env.CaretRow());
    }
    // Header and footer texts start at the same place so the braces line up.
    const int textX = x0 + lh + 15;
    std::string text;
    if (item.GetType() == kItemSectionHeader) {
        const auto& header = static_cast<const CSectionHeader&>(item);
        p.drawPixmap(x0 + 3, y + std::max(0, (lh - 16) / 2), KindIcon(SectionKindIcon(&header)));
        text = header.GetText() + (header.IsExpanded() ? "{" : "{...}");
    } else {
        if (!item.IsSectionExpanded() && item.GetSection()) return;
        text = "} //" + item.GetText();
    }
    p.setPen(ink);
    p.drawText(textX, y + m_metrics.Ascent(), FromCp1252(text));
}

void CRUXView::PaintDiagram(QPainter& p, const CItem& item, int index, int x0, int y) {
    const auto& diagram = static_cast<const CDiag&>(item);
    const int lh = m_metrics.LineHeight();
    QColor ink = m_env.Ink(kColourText);
    const int height = diagram.GetHeight(m_metrics);
    if (ItemSelected(index)) {
        const QColor sel = m_env.Colour(kColourSelection);
        p.fillRect(QRect(x0, y, diagram.GetWidth(m_metrics), height), sel);
        ink = Contrast(sel);
    }
    const int kindIcon = diagram.GetKind() == kDiagramQld ? kTreeImageQuickLadder : kTreeImageDiagram;
    p.drawPixmap(x0 + 3, y + std::max(0, (lh - 16) / 2), KindIcon(kindIcon));
    p.setPen(ink);
    const std::string caption = diagram.Caption(LoadString(kStrOpen), LoadString(kStrEdited));
    p.drawText(x0 + lh + 15, y + m_metrics.Ascent(), FromCp1252(caption));
    if (!diagram.IsOpen() || height <= lh) return;
    // The preview area: the diagram's frame and title until a diagram renderer draws the payload.
    const QRect frame(x0 + lh + 15, y + lh, diagram.GetPreviewWidth() - lh - 16, height - lh - 3);
    const bool dark = m_env.DarkLook();
    p.setPen(QPen(dark ? QColor(0x6b, 0x72, 0x7d) : QColor(0x9a, 0xa4, 0xb1), 1, Qt::DashLine));
    p.setBrush(dark ? QColor(0x27, 0x29, 0x2d) : QColor(0xf7, 0xf9, 0xfc));
    p.drawRect(frame);
    p.setBrush(Qt::NoBrush);
    p.setPen(dark ? QColor(0xa9, 0xb0, 0xba) : QColor(0x6b, 0x76, 0x85));
    const QString label = QString::fromLatin1(diagram.GetKind() == kDiagramQld ? "QLD" : "FBD") +
                          QStringLiteral(" \u2014 ") + FromCp1252(diagram.GetTitle());
    p.drawText(frame, Qt::AlignCenter, label);
}

void CRUXView::PaintMargin(QPainter& p, const CItem& item, int y) {
    const int iconY = y + std::max(1, (m_metrics.LineHeight() - 16) / 2);
    if (item.HasBookmark()) p.drawPixmap(2, iconY, MarkIcon(0));
    if (item.HasErrorMark()) p.drawPixmap(2, iconY, MarkIcon(3));
    if (item.HasMark(kMarkBreakpoint)) p.drawPixmap(2, iconY, MarkIcon(1));
    if (item.HasBreakpointB()) p.drawPixmap(2, iconY, MarkIcon(2));
    if (item.HasStateMark()) p.drawPixmap(2, iconY, MarkIcon(item.GetStateMarkKind()));
}

void CRUXView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect clip = event->rect();
    p.fillRect(clip, m_env.Window());
    p.setFont(m_metrics.Font());
    const CObArrayEx& items = m_doc.Items();
    const int sx = m_metrics.ScrollX(), sy = m_metrics.ScrollY();
    const int x0 = kMargin - sx;
    const int width = viewport()->width();
    m_paintedRows = 0;

    struct CPainted {
        const CItem* item;
        int y;
    };
    std::vector<CPainted> painted;
    const CRowLayout& layout = m_session->Layout();
    const int first = HitTestItem(sy + clip.top());
    const int rows = std::min(items.GetSize(), layout.RowCount());
    int top = first >= 0 ? layout.TopOf(first) : 0;
    for (int i = std::max(0, first); first >= 0 && i < rows; ++i) {
        const int height = layout.HeightOf(i);
        if (height == 0) continue; // hidden in a folded section
        const CItem* item = items.GetAt(i);
        const int y = top - sy;
        top += height;
        if (y > clip.bottom()) break;
        if (y + height <= clip.top()) continue;
        ++m_paintedRows;
        switch (item->GetType()) {
        case kItemLine:
            PaintLine(p, *item, i, x0, y);
            break;
        case kItemPar:
            PaintHeader(p, *item, i, x0, y);
            break;
        case kItemSectionHeader:
        case kItemSectionFooter:
            PaintSectionLine(p, *item, i, x0, y, width);
            break;
        case kItemDiag:
            PaintDiagram(p, *item, i, x0, y);
            break;
        default:
            break;
        }
        painted.push_back({item, y});
    }

    if (CaretShown() && m_caretOn) {
        const int w = 2 * std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth) / 2);
        p.fillRect(QRect(m_session->CaretX() - sx, m_session->CaretY() - sy, w, m_metrics.LineHeight()),
                   m_env.Ink(kColourText));
    }

    if (clip.left() < kMargin) {
        // Modern styles give a button face so light that the checker would vanish on white.
        QColor face = palette().color(QPalette::Button);
        if (face.lightness() > 215) face = face.darker(118);
        const QColor light = m_env.DarkLook() ? face.lighter(150) : QColor(Qt::white);
        p.fillRect(QRect(0, clip.top(), kMargin, clip.height()), HalftoneBrush(face, light));
        for (const CPainted& row : painted)
            PaintMargin(p, *row.item, row.y);
    }
}

// --- keyboard -------------------------------------------------------------------------------

bool CRUXView::event(QEvent* event) {
    // Tab and Shift+Tab are editing keys here, never a focus change.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint pos = viewport()->mapFrom(this, help->pos());
        QString tip;
        if (pos.x() >= 0 && pos.x() < kMargin) {
            tip = QString::fromLatin1(m_session->IsOnline() ? kTipBreakpoint : kTipBookmark);
        } else {
            const int row = HitTestItem(pos.y() + m_metrics.ScrollY());
            if (row >= 0 && m_doc.Items().GetAt(row)->GetType() == kItemSectionHeader) {
                const auto* header = static_cast<const CSectionHeader*>(m_doc.Items().GetAt(row));
                tip = FromCp1252(header->GetFbDescription().empty() ? header->GetText()
                                                                    : header->GetFbDescription());
            }
        }
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            const QFontMetrics fm(QToolTip::font());
            tip = fm.elidedText(tip, Qt::ElideRight, kTipMaxWidth);
            QToolTip::showText(help->globalPos(), tip, this, QRect(), kTipHideMs);
        }
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CRUXView::TypeText(const QString& text) {
    for (const QChar c : text) {
        const int byte = Cp1252Byte(c);
        // A character outside the program's code page is refused; the line stays as it was.
        if (byte < 0 || (byte < 32 && byte != '\t') || byte == 127) continue;
        m_session->TypeChar(static_cast<char>(byte));
    }
}

void CRUXView::keyPressEvent(QKeyEvent* event) {
    const CSnapshot before = Snapshot();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    // Menu accelerators reach the view only when no frame action took them first.
    static const std::pair<QKeySequence::StandardKey, int> kStandard[] = {
        {QKeySequence::Copy, kCmdCopy},   {QKeySequence::Cut, kCmdCut},
        {QKeySequence::Paste, kCmdPaste}, {QKeySequence::Undo, kCmdUndo},
        {QKeySequence::Redo, kCmdRedo},   {QKeySequence::SelectAll, kCmdSelectAll},
    };
    for (const auto& [key, command] : kStandard)
        if (event->matches(key)) {
            OnCommand(command);
            return;
        }
    if (ctrl && !shift && event->key() == Qt::Key_Y) {
        OnCommand(kCmdRedo);
        return;
    }
    EKey key;
    if (KeyToEditKey(event->key(), key)) {
        if (key == EKey::Tab) {
            // Ctrl+Tab belongs to the window manager of the frame.
            if (ctrl) {
                event->ignore();
                return;
            }
            m_session->KeyDown(EKey::Tab, shift || event->key() == Qt::Key_Backtab, false);
        } else {
            m_session->KeyDown(key, shift, ctrl);
        }
        AfterCommand(before);
        return;
    }
    const QString text = event->text();
    if (!text.isEmpty() && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        text.at(0).isPrint()) {
        TypeText(text);
        AfterCommand(before);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CRUXView::inputMethodEvent(QInputMethodEvent* event) {
    // Composed characters (dead keys, input methods) arrive as typed text.
    if (!event->commitString().isEmpty()) {
        const CSnapshot before = Snapshot();
            TypeText(event->commitString());
        AfterCommand(before);
    }
    event->accept();
}

QVariant CRUXView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle)
        return QRect(m_session->CaretX() - m_metrics.ScrollX(), m_session->CaretY() - m_metrics.ScrollY(), 2,
                     m_metrics.LineHeight());
    if (query == Qt::ImEnabled) return true;
    return QAbstractScrollArea::inputMethodQuery(query);
}

// --- mouse ----------------------------------------------------------------------------------

void CRUXView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const CSnapshot before = Snapshot();
    const QPoint pos = event->position().toPoint();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    // Pressing inside the selection of an editable view starts a drag instead of moving the caret.
    if (!shift && m_session->CanEdit() && InSelection(pos)) {
        m_dragPending = true;
        m_pressPos = pos;
        return;
    }
    m_session->ClickAt(pos.x(), pos.y(), shift);
    m_selecting = true;
    m_lastMouse = pos;
    AfterCommand(before);
}

void CRUXView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragPending) {
        if ((pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragPending = false;
            StartDrag();
        }
        return;
    }
    if (!m_selecting || !(event->buttons() & Qt::LeftButton)) return;
    m_lastMouse = pos;
    const CSnapshot before = Snapshot();
    m_session->ClickAt(pos.x(), pos.y(), true);
    AfterCommand(before);
    // Outside the window the selection goes on growing while the view scrolls.
    if (!viewport()->rect().contains(pos))
        m_scrollTimer.start(50, this);
    else
        m_scrollTimer.stop();
}

void CRUXView::AutoScroll() {
    if (!m_selecting) {
        m_scrollTimer.stop();
        return;
    }
    const QRect r = viewport()->rect();
    const int lh = m_metrics.LineHeight();
    int dy = 0, dx = 0;
    if (m_lastMouse.y() < r.top())
        dy = -lh;
    else if (m_lastMouse.y() > r.bottom())
        dy = lh;
    if (m_lastMouse.x() < kMargin)
        dx = -m_metrics.Advance(' ') * 2;
    else if (m_lastMouse.x() > r.right())
        dx = m_metrics.Advance(' ') * 2;
    if (dx == 0 && dy == 0) {
        m_scrollTimer.stop();
        return;
    }
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    const CSnapshot before = Snapshot();
    const QPoint p(std::clamp(m_lastMouse.x(), 0, r.right()), std::clamp(m_lastMouse.y(), 0, r.bottom()));
    m_session->ClickAt(p.x(), p.y(), true);
    AfterCommand(before);
}

void CRUXView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragPending) {
        // A click inside the selection without a drag puts the caret there after all.
        m_dragPending = false;
        const CSnapshot before = Snapshot();
            const QPoint pos = event->position().toPoint();
        m_session->ClickAt(pos.x(), pos.y(), false);
        AfterCommand(before);
    }
    m_selecting = false;
    m_scrollTimer.stop();
}

void CRUXView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const CSnapshot before = Snapshot();
    const QPoint pos = event->position().toPoint();
    const int row = HitTestItem(pos.y() + m_metrics.ScrollY());
    if (row < 0) return;
    if (pos.x() < kMargin) {
        // Offline the margin toggles a bookmark; breakpoints belong to the online code.
        if (!m_session->IsOnline()) {
            m_session->SetCaret({1, row});
            ToggleBookmark(*m_session);
        }
        AfterCommand(before);
        return;
    }
    m_selecting = false;
    m_dragPending = false;
    // The press before may have been taken for a drag start: the caret goes where the click was.
    m_session->ClickAt(pos.x(), pos.y(), false);
    const int type = m_doc.Items().GetAt(row)->GetType();
    const int changed = m_session->DoubleClickItem(row, pos.x() + m_metrics.ScrollX(), *this);
    if (changed && (type == kItemSectionHeader || type == kItemDiag || type == kItemPar)) {
        UpdateScrollBars();
        viewport()->update();
        emit structureChanged();
    }
    AfterCommand(before);
}

void CRUXView::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
}

// --- drag and drop --------------------------------------------------------------------------

void CRUXView::StartDrag() {
    auto* drag = new QDrag(this);
    drag->setMimeData(MakeEditorMimeData(m_session->SelectionFragment(), m_session->SelectionPlainText()));
    m_dragging = true;
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    m_dragging = false;
}

void CRUXView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (m_session->CanEdit() && (data->hasFormat(kFragmentMimeType) || data->hasText()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CRUXView::dragMoveEvent(QDragMoveEvent* event) {
    if (!m_session->CanEdit()) {
        event->ignore();
        return;
    }
    // A drop onto the dragged selection itself does nothing.
    if (m_dragging && InSelection(event->position().toPoint()))
        event->ignore();
    else
        event->acceptProposedAction();
}

bool CRUXView::DropData(const QMimeData* data, const QPoint& pos, bool fromThisView, bool move) {
    if (!m_session->CanEdit() || (fromThisView && InSelection(pos))) return false;
    const std::optional<std::string> fragment = FragmentFrom(data);
    const std::optional<std::string> text = PlainTextFrom(data);
    if (!fragment && !text) return false;
    const CSnapshot before = Snapshot();
    m_session->DropAt(PositionAt(pos), fragment ? &*fragment : nullptr, text ? &*text : nullptr,
                      fromThisView && move);
    AfterCommand(before);
    return true;
}

void CRUXView::dropEvent(QDropEvent* event) {
    const bool move = m_dragging && event->dropAction() == Qt::MoveAction;
    if (!DropData(event->mimeData(), event->position().toPoint(), m_dragging, move)) {
        event->ignore();
        return;
    }
    // The source deletes nothing itself: a move inside this view is already done.
    if (move) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

} // namespace rux
