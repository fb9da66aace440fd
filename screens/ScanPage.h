#pragma once
// The detail form's page "Sken": the item's scanned PDF, page by page, with
// zoom and "Cela širina". Reads the file only when Load is called (the page
// being opened); a missing or unreadable file is said on the page instead.
// "Zameni…" only asks: the form replaces the file and loads it again.

#include <QWidget>

class QAction;
class QLabel;
class QPdfDocument;
class QPdfView;
class QToolBar;

class TScanPage : public QWidget
{
    Q_OBJECT
public:
    explicit TScanPage(QWidget *parent = nullptr);
    ~TScanPage() override;

    // Shows the PDF at path; an empty path means the item has no scan.
    void Load(const QString &path);
    // Forgets the file, so the next Load reads it again.
    void Unload();
    bool Loaded() const { return m_loaded; }

    int PageCount() const;
    int CurrentPage() const; // from 0
    QString Message() const; // what the page says instead of a scan; empty when one is shown

    QPdfView *View = nullptr;
    QAction *PreviousAction = nullptr;
    QAction *NextAction = nullptr;
    QAction *ZoomInAction = nullptr;
    QAction *ZoomOutAction = nullptr;
    QAction *FitWidthAction = nullptr;
    QAction *ReplaceAction = nullptr; // "Zameni…"

signals:
    void replaceRequested();

private:
    void showMessage(const QString &text);
    void goTo(int page);
    void zoomBy(double factor);
    void updateActions();

    QPdfDocument *m_document = nullptr;
    QLabel *m_message = nullptr;
    QLabel *m_pageLabel = nullptr;
    QToolBar *m_toolbar = nullptr;
    bool m_loaded = false;
};
