#pragma once

#include <QSize>
#include <QWidget>

namespace loto6 {

class MainFrm;

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

private:
    MainFrm &m_frame;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_followsBook = false;
};

} // namespace loto6
