#pragma once
// The active partners as the detail form's Partner field offers them while
// the clerk types: read once (id, name, city), kept with their folded names
// (SerbianFold.h), and filtered in memory so that each keystroke costs no
// query. Typed "cacak" finds "Čačak", "djordj" finds "Đorđević".

#include <QList>
#include <QString>
#include <vector>

class TZConnection;

struct TPartnerChoice
{
    qint64 PartnerID = 0;
    QString Name;
    QString City;
};

class TPartnerLookup
{
public:
    // Reads the active partners (active = 'y') in the order of their names
    // in the interface's script (SerbianDisplayOrder.h); replaces what was
    // read before. Throws when the query fails.
    void Load(TZConnection &connection);
    bool Loaded() const { return m_loaded; }
    int Count() const { return int(m_partners.size()); }

    // The partners whose folded name holds the folded typed text: those whose
    // name starts with it first, then those with a word starting with it,
    // then the rest, each group in name order; at most limit of them. Empty
    // typed text (or only spaces) finds none.
    QList<TPartnerChoice> Filter(const QString &typed, int limit = 50) const;
    // The partners whose folded name equals the folded typed text: one, none,
    // or several of the same name.
    QList<TPartnerChoice> Named(const QString &typed) const;

private:
    struct TEntry
    {
        TPartnerChoice Partner;
        QString Folded;
    };
    std::vector<TEntry> m_partners;
    bool m_loaded = false;
};
