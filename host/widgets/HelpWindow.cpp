#include "HelpWindow.h"

#include "InterfaceScript.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
QPointer<THelpWindow> g_window;

// Key names stay as the keys' caps print them: <kbd>Ctrl+Z</kbd>.
QString guideInCyrillic(const QString &html)
{
    static const QRegularExpression key(QStringLiteral("<kbd>.*?</kbd>"));
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &m : key.globalMatch(html)) {
        out += InterfaceText(QStringView(html).mid(from, m.capturedStart() - from), TScript::Cyrillic);
        out += m.captured();
        from = m.capturedEnd();
    }
    return out + InterfaceText(QStringView(html).mid(from), TScript::Cyrillic);
}

// A guide is written in Latin, like every text of the code; it is shown in
// the script of the moment, its tags, anchors and file names as they are.
class TGuideBrowser final : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override
    {
        QVariant data = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || InterfaceScript() == TScript::Latin)
            return data;
        QString html = data.userType() == QMetaType::QByteArray ? QString::fromUtf8(data.toByteArray()) : data.toString();
        html = guideInCyrillic(html);
        html.replace(QLatin1String("lang=\"sr-Latn\""), QLatin1String("lang=\"sr-Cyrl\""));
        return html;
    }
};

} // namespace

THelpWindow::THelpWindow() : QWidget(nullptr, Qt::Window), m_script(InterfaceScript())
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Left open, it must not keep the program running once its window closes.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto *layout = new QVBoxLayout(this);
    m_browser = new TGuideBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(UiText(u"Zatvori"));
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
    window->setWindowTitle(UiText(title));
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
    else if (m_script != InterfaceScript())
        m_browser->reload(); // the script changed while the guide was open
    m_script = InterfaceScript();
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
