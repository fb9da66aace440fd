#include "PartnerCompletion.h"

#include "DBControls.h"
#include "Guard.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "SerbianFold.h"
#include "ZConnection.h"
#include "ZQuery.h"
#include "data/LedgerDMUnit.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <algorithm>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QToolTip>
#include <QTreeView>

namespace {

constexpr int kPartnerIdRole = Qt::UserRole + 1;
constexpr qint64 kNewRow = -1;

constexpr char16_t kNewPartner[] = u"Novi partner…";

bool isEditing(const TLedgerItems &items)
{
    const TDataSetState state = items.LedgerItemZQ->State();
    return state == TDataSetState::Edit || state == TDataSetState::Insert;
}

} // namespace

TPartnerCompletion::TPartnerCompletion(TDBEdit &edit, TLedgerItems &items)
    : QObject(&edit), m_edit(edit), m_items(items), m_popup(new QTreeView(&edit)),
      m_model(new QStandardItemModel(0, 2, this))
{
    setObjectName(QStringLiteral("PartnerCompletion"));
    m_popup->setObjectName(QStringLiteral("PartnerPopup"));
    // A popup child of the edit: opening it does not finish the edit's editing.
    m_popup->setWindowFlags(Qt::Popup);
    m_popup->setFocusPolicy(Qt::NoFocus);
    m_popup->setFocusProxy(&edit);
    m_popup->setModel(m_model);
    m_popup->setRootIsDecorated(false);
    m_popup->setUniformRowHeights(true);
    m_popup->setHeaderHidden(true);
    m_popup->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_popup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_popup->setSelectionMode(QAbstractItemView::SingleSelection);
    m_popup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setMouseTracking(true);
    m_popup->installEventFilter(this);
    connect(m_popup, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &index) { Guarded([&] { choose(index.row()); }); });

    m_edit.installEventFilter(this);
    // After the edit's own handler, which starts the item's edit.
    connect(&m_edit, &QLineEdit::textEdited, this, [this] { Guarded([this] { typed(); }); });
}

const TPartnerLookup &TPartnerCompletion::lookup()
{
    if (!m_lookup.Loaded()) {
        TZConnection *connection = LedgerDM->ZConnection();
        if (!connection)
            throw KException(UiText(u"Partneri ne mogu da se pročitaju: veza sa bazom nije otvorena."));
        m_lookup.Load(*connection);
    }
    return m_lookup;
}

// ---- Typing ---------------------------------------------------------------------------

void TPartnerCompletion::typed()
{
    // A refused edit has put the partner's name back already.
    if (!isEditing(m_items) || m_edit.isReadOnly())
        return;
    m_typing = true;
    showMatches(m_edit.text());
}

void TPartnerCompletion::showMatches(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        hidePopup();
        return;
    }
    m_model->removeRows(0, m_model->rowCount());
    for (const TPartnerChoice &p : lookup().Filter(text, Limit)) {
        auto *name = new QStandardItem(p.Name);
        name->setData(p.PartnerID, kPartnerIdRole);
        m_model->appendRow({name, new QStandardItem(p.City)});
    }
    auto *add = new QStandardItem(UiText(kNewPartner));
    add->setData(kNewRow, kPartnerIdRole);
    add->setToolTip(UiText(u"Novi partner sa upisanim nazivom"));
    QFont italic = add->font();
    italic.setItalic(true);
    add->setFont(italic);
    m_model->appendRow({add, new QStandardItem()});

    // Enter takes the best match without touching the list.
    m_popup->setCurrentIndex(m_model->index(0, 0));
    const int width = std::max(m_edit.width(), 380);
    m_popup->setColumnWidth(0, width * 2 / 3);
    const int rows = std::min(m_model->rowCount(), 12);
    m_popup->setGeometry(QRect(m_edit.mapToGlobal(QPoint(0, m_edit.height())),
                               QSize(width, rows * m_popup->sizeHintForRow(0) + 2 * m_popup->frameWidth())));
    if (!m_popup->isVisible())
        m_popup->show();
}

void TPartnerCompletion::hidePopup()
{
    if (m_popup->isVisible())
        m_popup->hide();
}

// ---- Choosing -------------------------------------------------------------------------

void TPartnerCompletion::choose(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid())
        return;
    hidePopup();
    m_edit.setFocus();
    const qint64 id = index.data(kPartnerIdRole).toLongLong();
    if (id == kNewRow)
        newPartner();
    else
        setPartner(id, index.data().toString());
}

void TPartnerCompletion::newPartner()
{
    const QString typed = m_edit.text().simplified();
    const IRef<IPartner> partners = LedgerService<IPartner>();
    TPartnerDesc desc;
    if (!partners || !partners->NewPartner(desc, typed) || desc.PartnerID <= 0) {
        keepPartner(UiText(u"Novi partner „%1“ nije dodat; partner stavke je ostao nepromenjen.").arg(typed));
        return;
    }
    // The next keystroke reads the partners again, the new one among them.
    m_lookup = TPartnerLookup();
    setPartner(desc.PartnerID, desc.Name);
}

void TPartnerCompletion::setPartner(qint64 id, const QString &name)
{
    if (!isEditing(m_items))
        m_items.LedgerItemZQ->Edit();
    m_items.LedgerItemZQpartnerid->SetAsLargeInt(id);
    m_items.LedgerItemZQpartnername->SetAsString(name);
    finishTyping(name);
}

// The name column keeps the item's partner while the clerk types.
QString TPartnerCompletion::partnerName() const
{
    return m_items.LedgerItemZQpartnername->AsString();
}

void TPartnerCompletion::keepPartner(const QString &notice)
{
    finishTyping(partnerName());
    LedgerDM->ShowStatus(notice);
    QToolTip::showText(m_edit.mapToGlobal(QPoint(0, m_edit.height())), notice, &m_edit);
}

// The edit writes what it shows into the name column and drops its
// pending text, so that later changes of the row show again.
void TPartnerCompletion::finishTyping(const QString &shown)
{
    hidePopup();
    m_typing = false;
    m_edit.setText(shown);
    emit m_edit.editingFinished();
}

void TPartnerCompletion::Settle()
{
    if (!m_typing)
        return;
    const QString text = m_edit.text().simplified();
    if (text.isEmpty()) {
        m_items.LedgerItemZQpartnerid->Clear();
        m_items.LedgerItemZQpartnername->Clear();
        finishTyping(QString());
        return;
    }
    if (SerbianFold(text) == SerbianFold(partnerName().simplified())) {
        finishTyping(partnerName());
        return;
    }
    const QList<TPartnerChoice> named = lookup().Named(text);
    if (named.size() == 1) {
        setPartner(named.first().PartnerID, named.first().Name);
        return;
    }
    keepPartner(named.isEmpty() ? UiText(u"Nijedan partner se ne zove „%1“: izaberite ga sa liste ili dodajte "
                                                 u"kao novog; partner stavke je ostao nepromenjen.")
                                      .arg(text)
                                : UiText(u"Više partnera se zove „%1“: izaberite jednog sa liste; partner "
                                                 u"stavke je ostao nepromenjen.")
                                      .arg(text));
}

// ---- Keys -----------------------------------------------------------------------------

bool TPartnerCompletion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_popup)
        return popupKey(event) || QObject::eventFilter(watched, event);
    if (watched == &m_edit)
        return editKey(event) || QObject::eventFilter(watched, event);
    return QObject::eventFilter(watched, event);
}

// While the list is open the keys reach it: it moves and chooses, the rest
// goes on typing in the field.
bool TPartnerCompletion::popupKey(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        // A click beside the list closes it and leaves the field as it is.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_popup->rect().contains(mouse->position().toPoint())) {
            hidePopup();
            m_edit.setFocus();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded([this] { choose(m_popup->currentIndex().row()); });
        return true;
    case Qt::Key_Escape:
        Guarded([this] { finishTyping(partnerName()); });
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        hidePopup();
        QCoreApplication::sendEvent(&m_edit, event);
        return true;
    default:
        QCoreApplication::sendEvent(&m_edit, event);
        return true;
    }
}

bool TPartnerCompletion::editKey(QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // Before the edit finishes editing and writes its text.
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            Guarded([this] { Settle(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress || !m_typing)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Escape:
        Guarded([this] { finishTyping(partnerName()); });
        return true;
    case Qt::Key_Down:
        Guarded([this] { showMatches(m_edit.text()); });
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Guarded([this] { Settle(); });
        return false;
    default:
        return false;
    }
}
