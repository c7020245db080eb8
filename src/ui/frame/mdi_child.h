// The MDI child window of a program: its view, and the save prompt when it closes.
#pragma once

#include <QMdiSubWindow>

namespace rux {

class CRUXDocument;

class RUX_CMDIChildWnd : public QMdiSubWindow {
    Q_OBJECT
public:
    RUX_CMDIChildWnd(CRUXDocument& document, QWidget* view, QWidget* parent = nullptr);

    CRUXDocument& Document() const { return m_document; }
    QWidget* View() const { return m_view; }
    // Closing without the save prompt (the suite's "close all documents").
    void CloseWithoutAsking();
    // The save prompt of a modified document: true when the window may close.
    bool SaveModified();

signals:
    // The window is going: the frame takes the document out of the tree and closes it.
    void childClosing(RUX_CMDIChildWnd* child);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CRUXDocument& m_document;
    QWidget* m_view;
    bool m_ask = true;
    bool m_closed = false;
};

} // namespace rux
