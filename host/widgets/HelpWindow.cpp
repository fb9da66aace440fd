#include "HelpWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
QPointer<THelpWindow> g_window;
}

THelpWindow::THelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Left open, it must not keep the program running once its window closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Zatvori"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    layout->addWidget(buttons);
    // A window, not a dialog: Escape closes it as it would a dialog.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // Fits a 1024 x 700 screen with its frame.
    QSize size(760, 600);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);
    // Closed by whoever quits, not left to outlive the application object.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);
}

THelpWindow *THelpWindow::Instance()
{
    return g_window;
}

THelpWindow *THelpWindow::Show(const QString &resource, const QString &title, const QString &anchor)
{
    if (!g_window)
        g_window = new THelpWindow;
    THelpWindow *window = g_window;
    window->setWindowTitle(title);
    // A window that is not the modal dialog's own would be blocked by it.
    window->winId();
    QWidget *modal = QApplication::activeModalWidget();
    window->windowHandle()->setTransientParent(modal && modal != window ? modal->windowHandle() : nullptr);
    window->show();
    window->raise();
    window->activateWindow();
    window->open(resource, anchor);
    return window;
}

void THelpWindow::open(const QString &resource, const QString &anchor)
{
    const QUrl url(QStringLiteral("qrc") + resource);
    if (m_browser->source() != url)
        m_browser->setSource(url);
    // Laid out at the shown width first, or the section lands elsewhere.
    if (anchor.isEmpty()) {
        m_browser->verticalScrollBar()->setValue(0);
        return;
    }
    m_browser->scrollToAnchor(anchor);
    QTimer::singleShot(0, m_browser, [browser = QPointer<QTextBrowser>(m_browser), anchor] {
        if (browser)
            browser->scrollToAnchor(anchor);
    });
}
