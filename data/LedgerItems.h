#pragma once
// One window's ledger items: a live query over the ledger's SELECT with a
// field object per column, its data source, and the data module's rules
// bound to its events (validations, numbering of new items, delete rules,
// history). Every window that shows or edits items owns one, so what one
// window loads never changes what another shows. After a post or a delete
// the data module tells every other item set (ItemStored, ItemDeleted), and
// each set that holds that item shows it as stored now.

#include "DataSource.h"
#include "Validator.h"
#include "ZQuery.h"

#include <QObject>
#include <QVariantList>

class TLedgerDM;

class TLedgerItems : public QObject
{
    Q_OBJECT
public:
    explicit TLedgerItems(TLedgerDM &dm, QObject *parent = nullptr);
    ~TLedgerItems() override;

    TLedgerDM &DM() const { return m_dm; }

    // The query text with its condition replaced; the query is not touched.
    QString LedgerItemChangeSQLCondition(const QString &condition) const;
    // A search by the "Tekst" row: the ORDER BY terms ranking its rows (their
    // values bound after the condition's) and the text typed, for the
    // passages the list shows beside the rows.
    struct TTextRanking
    {
        QString Order;
        QVariantList Params;
        QString Typed;
    };
    // Closes the query, gives it the condition (its ? marks bound to
    // params) and opens it on its first row. A failed open leaves it closed.
    // With a ranking the rows come in its order; the query's sorted fields
    // are then to be empty, or they sort the rows again.
    void ShowCondition(const QString &condition, const QVariantList &params = {}, const TTextRanking &ranking = {});
    // The one item with that id, as the current row; false when it does not
    // exist (the query is then open and empty).
    bool OpenItem(qint64 id);

    // The condition and its values the query was last shown with.
    const QString &Condition() const { return m_condition; }
    const QVariantList &ConditionParams() const { return m_conditionParams; }
    // The text the shown rows were searched by ("Tekst"); empty otherwise.
    const QString &SearchedText() const { return m_ranking.Typed; }

    // Shows item id as stored now when the query holds it; when it does not,
    // adds it in its sorted place if it meets the query's condition, or
    // whatever its condition when always is set. Nothing happens while the
    // query is closed or being edited.
    void RefreshItem(qint64 id, bool always = false);

    TZQuery *LedgerItemZQ = nullptr;
    TDataSource *LedgerItemDS = nullptr;

    TField *LedgerItemZQledgeritemid = nullptr;
    TField *LedgerItemZQdirection = nullptr;
    TField *LedgerItemZQledgerdatetime = nullptr;
    TField *LedgerItemZQledgernumber = nullptr;
    TField *LedgerItemZQpartnerid = nullptr;
    TField *LedgerItemZQdocumentid = nullptr;
    TField *LedgerItemZQitemtype = nullptr;
    TField *LedgerItemZQitemnumber = nullptr;
    TField *LedgerItemZQitemdate = nullptr;
    TField *LedgerItemZQparentid = nullptr;
    TField *LedgerItemZQinmailtype = nullptr;
    TField *LedgerItemZQinmailnumber = nullptr;
    TField *LedgerItemZQoutmailtype = nullptr;
    TField *LedgerItemZQoutmailnumber = nullptr;
    TField *LedgerItemZQinuserid = nullptr;
    TField *LedgerItemZQuserid = nullptr;
    TField *LedgerItemZQoutuserid = nullptr;
    TField *LedgerItemZQaccepted = nullptr;
    TField *LedgerItemZQarchived = nullptr;
    TField *LedgerItemZQarchivednumber = nullptr;
    TField *LedgerItemZQpassonparentid = nullptr;
    TField *LedgerItemZQsubject = nullptr;
    TField *LedgerItemZQclassification = nullptr;
    TField *LedgerItemZQorgunit = nullptr;
    TField *LedgerItemZQcancelled = nullptr;
    TField *LedgerItemZQcancelreason = nullptr;
    TField *LedgerItemZQcancelledby = nullptr;
    TField *LedgerItemZQcancelledat = nullptr;
    TField *LedgerItemZQlinkedto = nullptr;
    TField *LedgerItemZQpartnername = nullptr;
    TField *LedgerItemZQdocumentnumber = nullptr;
    TField *LedgerItemZQinusername = nullptr;
    TField *LedgerItemZQusername = nullptr;
    TField *LedgerItemZQoutusername = nullptr;

private:
    void createFields();
    void bindEvents();
    void CreateFieldValidations();

    void keepSubjectWords(TZConnection &connection, TZQuery::TWriteKind kind, const QVariant &key,
                          const std::vector<TField *> &changed);
    void LedgerItemZQNewRecord(TDataSet &dataSet);
    void LedgerItemZQBeforePost(TDataSet &dataSet);
    void LedgerItemZQBeforeDelete(TDataSet &dataSet);
    // "Sačuvano: 9/26" and "Obrisano: 9/26" in the status bar; the other
    // item sets are told.
    void LedgerItemZQAfterPost(TDataSet &dataSet);
    void LedgerItemZQAfterDelete(TDataSet &dataSet);
    void LedgerItemZQDeleteCheck(TZConnection &connection, const QVariant &key);
    void LedgerItemZQPostError(TDataSet &dataSet, const EDatabaseError &error);
    void LedgerItemZQdirectionGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQdirectionSetText(TField &sender, const QString &text);
    void LedgerItemZQacceptedGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQacceptedSetText(TField &sender, const QString &text);
    void LedgerItemZQinmailtypeGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQinmailtypeSetText(TField &sender, const QString &text);
    void LedgerItemZQoutmailtypeGetText(TField &sender, QString &text, bool displayText);
    void LedgerItemZQoutmailtypeSetText(TField &sender, const QString &text);

    TLedgerDM &m_dm;
    TFieldValidations FFieldValidations;
    std::unique_ptr<TValidator> FValidator;
    QString m_condition;
    QVariantList m_conditionParams;
    TTextRanking m_ranking;
    QString FDeletingNumber; // the number of the item being deleted, for the message after
    qint64 FDeletingID = 0;
};
