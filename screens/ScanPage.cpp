#include "ScanPage.h"

#include "InterfaceScript.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QString loadProblem(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::None: return {};
    case QPdfDocument::Error::FileNotFound: return UiText(u"datoteka ne postoji ili ne može da se pročita");
    case QPdfDocument::Error::IncorrectPassword:
    case QPdfDocument::Error::UnsupportedSecurityScheme: return UiText(u"dokument je zaštićen lozinkom");
    default: return UiText(u"datoteka je oštećena ili nije PDF dokument");
    }
}

} // namespace

TScanPage::TScanPage(QWidget *parent) : QWidget(parent), m_document(new QPdfDocument(this))
{
    setObjectName(QStringLiteral("ScanTS"));
    m_toolbar = new QToolBar(this);
    const auto add = [this](const char *name, const QString &text) {
        QAction *a = m_toolbar->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    PreviousAction = add("ScanPreviousAction", UiText(u"Prethodna"));
    NextAction = add("ScanNextAction", UiText(u"Sledeća"));
    m_pageLabel = new QLabel(m_toolbar);
    m_pageLabel->setContentsMargins(6, 0, 6, 0);
    m_toolbar->addWidget(m_pageLabel);
    m_toolbar->addSeparator();
    // Signs for the zoom, so that "Zameni…" stays in sight on the form's width.
    ZoomOutAction = add("ScanZoomOutAction", QStringLiteral("−"));
    ZoomOutAction->setToolTip(UiText(u"Umanji"));
    ZoomInAction = add("ScanZoomInAction", QStringLiteral("+"));
    ZoomInAction->setToolTip(UiText(u"Uvećaj"));
    FitWidthAction = add("ScanFitWidthAction", UiText(u"Cela širina"));
    m_toolbar->addSeparator();
    ReplaceAction = add("ScanReplaceAction", UiText(u"Zameni…"));

    View = new QPdfView(this);
    View->setObjectName(QStringLiteral("ScanView"));
    View->setPageMode(QPdfView::PageMode::SinglePage);
    View->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    View->setDocument(m_document);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("ScanMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(View, 1);
    layout->addWidget(m_message, 1);

    connect(PreviousAction, &QAction::triggered, this, [this] { goTo(CurrentPage() - 1); });
    connect(NextAction, &QAction::triggered, this, [this] { goTo(CurrentPage() + 1); });
    connect(ZoomInAction, &QAction::triggered, this, [this] { zoomBy(1.25); });
    connect(ZoomOutAction, &QAction::triggered, this, [this] { zoomBy(0.8); });
    connect(FitWidthAction, &QAction::triggered, this,
            [this] { View->setZoomMode(QPdfView::ZoomMode::FitToWidth); });
    connect(ReplaceAction, &QAction::triggered, this, &TScanPage::replaceRequested);
    connect(View->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this, [this] { updateActions(); });
    showMessage(QString());
}

TScanPage::~TScanPage() = default;

void TScanPage::Load(const QString &path)
{
    m_loaded = true;
    m_document->close();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        showMessage(UiText(u"Stavka nema skenirani dokument. Priložite ga dugmetom „Sken. dok.“ ili „Zameni…“."));
        return;
    }
    const QString problem = loadProblem(m_document->load(path));
    if (!problem.isEmpty() || m_document->pageCount() <= 0) {
        m_document->close();
        showMessage(UiText(u"Sken %1 nije prikazan: %2.")
                        .arg(QDir::toNativeSeparators(path), problem.isEmpty() ? UiText(u"dokument nema strana") : problem));
        return;
    }
    m_message->clear();
    m_message->hide();
    View->show();
    View->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    goTo(0);
}

void TScanPage::Unload()
{
    m_loaded = false;
    m_document->close();
}

int TScanPage::PageCount() const
{
    return m_document->status() == QPdfDocument::Status::Ready ? m_document->pageCount() : 0;
}

int TScanPage::CurrentPage() const
{
    return View->pageNavigator()->currentPage();
}

QString TScanPage::Message() const
{
    return m_message->isVisibleTo(this) ? m_message->text() : QString();
}

void TScanPage::showMessage(const QString &text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
    View->setVisible(text.isEmpty());
    updateActions();
}

void TScanPage::goTo(int page)
{
    if (page < 0 || page >= PageCount())
        return;
    View->pageNavigator()->jump(page, QPointF(), View->pageNavigator()->currentZoom());
    updateActions();
}

void TScanPage::zoomBy(double factor)
{
    const double now = View->zoomMode() == QPdfView::ZoomMode::Custom ? View->zoomFactor() : 1.0;
    View->setZoomMode(QPdfView::ZoomMode::Custom);
    View->setZoomFactor(std::clamp(now * factor, 0.1, 8.0));
}

void TScanPage::updateActions()
{
    const int pages = PageCount();
    const int page = CurrentPage();
    PreviousAction->setEnabled(pages > 0 && page > 0);
    NextAction->setEnabled(page + 1 < pages);
    ZoomInAction->setEnabled(pages > 0);
    ZoomOutAction->setEnabled(pages > 0);
    FitWidthAction->setEnabled(pages > 0);
    m_pageLabel->setText(pages > 0 ? UiText(u"Strana %1 od %2").arg(page + 1).arg(pages) : QString());
}
