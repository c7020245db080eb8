// An LD/FBD or quick ladder diagram embedded in a program; its text is the diagram payload.
#pragma once

#include "document/item.h"

#include <string>
#include <vector>

namespace rux {

enum EDiagramKind : int {
    kDiagramFbd = 1,
    kDiagramQld = 2,
};

// The diagram window currently bound to a diagram item (implemented by the diagram views).
class CDiagramEditorLink {
public:
    virtual ~CDiagramEditorLink() = default;
    virtual bool IsModified() const = 0;
    virtual void Activate() = 0;
    virtual std::string GetSelectedElementText() const = 0;
    virtual bool AddPrefix(const std::string& prefix) = 0;
    virtual bool RemovePrefix(const std::string& prefix) = 0;
    virtual int ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase) = 0;
    // Find Next inside the diagram: searches its variables and texts onwards from the window's own
    // current element in the given direction and selects the hit there. A window that cannot search
    // finds nothing, so the text search simply goes on past the diagram.
    virtual bool FindText(std::string_view /*text*/, bool /*matchCase*/, bool /*down*/) { return false; }
};

class CDiag : public CItem {
public:
    static constexpr int kBaseWidth = 600;
    static constexpr int kBaseHeight = 120;
    // Stored zooms saturate at 0 and at this many percent (a preview 12,000 pixels high).
    static constexpr int kMaxZoom = 10000;

    explicit CDiag(int kind = kDiagramFbd) : m_kind(kind) {}

    void WriteItem(int index, COstream& out, const CTextRange* range) const override;
    int GetHeight(const CViewMetrics& metrics) const override;
    int GetWidth(const CViewMetrics& metrics) const override;
    CDoubleClickRequest OnDoubleClick(int clickX, int caretCol, const CViewMetrics& metrics) const override;
    std::unique_ptr<CItem> Clone() const override;
    int GetType() const override { return kItemDiag; }
    int ReplaceAll(std::string_view find, std::string_view replacement, bool matchCase) override;
    // Only a diagram with a window bound can search; its payload text alone is not searched.
    bool FindText(std::string_view text, bool matchCase, bool down) const;

    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    bool IsOpen() const { return m_open; }
    void SetOpen(bool open) { m_open = open; }
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(std::string title) { m_title = std::move(title); }
    // Zoom in percent: sets the preview size; read back from the preview height.
    int GetZoom() const;
    void SetZoom(int percent);
    int GetPreviewWidth() const { return m_width; }
    int GetPreviewHeight() const { return m_height; }
    const std::string& GetSpare() const { return m_spare; }
    void SetSpare(std::string spare) { m_spare = std::move(spare); }

    CDiagramEditorLink* GetEditor() const { return m_editor; }
    // A diagram in a document is bound through CRUXDocument::SetDiagramEditor, which repaints its row.
    void SetEditor(CDiagramEditorLink* editor) { m_editor = editor; }
    // The text row of the item: title, the window state while one is bound, "{...}" when collapsed.
    std::string Caption(const std::string& openWord, const std::string& editedWord) const;

    std::string GetSelectedElementText() const;
    // The bound window changes the diagram, through the document; the item itself stays as it is.
    bool AddPrefix(const std::string& prefix) const;
    bool RemovePrefix(const std::string& prefix) const;

private:
    int m_kind;
    bool m_open = true;
    int m_width = kBaseWidth;
    int m_height = kBaseHeight;
    std::string m_spare;
    std::string m_title;
    CDiagramEditorLink* m_editor = nullptr;
};

// The title of a diagram saved without one: "Diagram N", N the lowest number that none of `titles`
// uses (compared without regard to case).
std::string FreeDiagramTitle(const std::vector<const std::string*>& titles);

// a * b / c rounded to the nearest integer, without intermediate overflow.
int MulDiv(int a, int b, int c);

} // namespace rux
