#pragma once

#include <QSize>
#include <QWidget>

namespace loto6 {

class MainFrm;
class SheetView;

// A window inside the main window that does all its work while it loads and tells the main
// window through propEnd when it opens (false) and when it closes (true).
class ChildWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChildWindow(MainFrm &frame, QWidget *parent = nullptr);

    // The load sequence: busy cursor, pending events once, propEnd false, placement at the top
    // left of the main window's client area with the designed size, compute, normal cursor.
    void load();
    // Closes the window, with the frame it sits in inside the main window.
    void unload();
    bool isLoaded() const { return m_loaded; }
    // Computes the contents again from the main window's history, in place: size, position and
    // the scroll position of every grid stay.
    virtual void refresh();
    MainFrm &mainFrm() const { return m_frame; }
    // What a restart brings back besides the window's place: the tab shown in each tab set and
    // where each scrolling part stands, as one line of text; restoreViewState puts it back
    // (what no longer fits the window is left as it is).
    QString viewState() const;
    void restoreViewState(const QString &state);
    // The window shows the ticket book and follows the document's ticketsChanged.
    bool followsBook() const { return m_followsBook; }

signals:
    // refresh() computed the contents again.
    void refreshed();

protected:
    // The designed outer size of the window in twips: its row's in the window table
    // (childKinds()), found by its class name, which is its object name.
    virtual QSize sizeTwips() const;
    // Computes and fills the window's contents.
    virtual void compute() = 0;
    // Listens to the document's ticketsChanged, which calls bookChanged().
    void followBook();
    // The ticket book changed while the window is loaded: it computes again in place.
    virtual void bookChanged() { refresh(); }
    void closeEvent(QCloseEvent *event) override;
    // First shown, the window grows by roomWanted() where the main window has room.
    void showEvent(QShowEvent *event) override;
    // How much wider and taller than designed the window would show its contents whole; it
    // grows by that, within the main window's client area, when it first shows.
    virtual QSize roomWanted() const { return {}; }
    // What a window whose last column explains in sentences wants: the whole width, and the
    // height of the grid's rows.
    static QSize wholeWidthFor(const SheetView &grid);

private:
    MainFrm &m_frame;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_followsBook = false;
    bool m_grown = false;
};

} // namespace loto6
