#pragma once
// Items with a kept document text over the ledger fixture: the rows a test
// of the text search or of intake's duplicates starts from.

#include "LedgerFixture.h"
#include "ZTransaction.h"
#include "data/ItemDocumentText.h"
#include "data/SubjectWords.h"

namespace doctext {

// A partner of its own name; its id.
inline qint64 addPartner(LedgerFixture &fx, const QString &name)
{
    return fx.Insert(QStringLiteral("partner"), {{QStringLiteral("name"), name}});
}

// An item with the columns given (its subject's words kept, as a post keeps
// them) and, when text or sha is given, its document text.
inline qint64 addItem(LedgerFixture &fx, const QVariantMap &values, const QString &text = {}, const QString &sha = {})
{
    const qint64 id = fx.AddItem(values);
    TZConnection &c = fx.Db.Connection();
    TZTransaction t(c);
    StoreStoredSubjectWords(c, id);
    if (!text.isEmpty() || !sha.isEmpty())
        StoreItemDocumentText(c, id, text, sha);
    t.Commit();
    return id;
}

} // namespace doctext
