#include "LedgerCsvExport.h"

#include "CsvWriter.h"
#include "InterfaceScript.h"
#include "KException.h"
#include "RowStream.h"
#include "ServerWait.h"
#include "SqlText.h"
#include "ZConnection.h"
#include "data/LedgerDMUnit.h"
#include "data/LedgerSearchCriteria.h"

#include <QDir>
#include <QSaveFile>
#include <array>

const QStringList LedgerListFields{
    QStringLiteral("direction"),  QStringLiteral("ledgernumber"), QStringLiteral("ledgerdatetime"),
    QStringLiteral("partnername"), QStringLiteral("itemtype"),     QStringLiteral("itemdate"),
    QStringLiteral("itemnumber"), QStringLiteral("inusername"),   QStringLiteral("username"),
    QStringLiteral("outusername"),
};

// Appended in the order they came, so a reader of older files finds its columns where they were.
const QStringList LedgerExportFields = LedgerListFields
    + QStringList{QStringLiteral("subject"), QStringLiteral("classification"), QStringLiteral("orgunit"),
                  QStringLiteral("cancelled"), QStringLiteral("cancelreason")};

namespace {

enum class TCell { Text, Direction, Date, DateTime, Flag };

// Runs on the read's worker thread: everything it needs is its own.
class TCsvReceiver : public TRowReceiver
{
public:
    TCsvReceiver(TCsvWriter &csv, std::vector<TCell> kinds, std::array<QByteArray, 3> directions)
        : m_csv(csv), m_kinds(std::move(kinds)), m_directions(std::move(directions))
    {
    }

    qint64 Rows = 0;

    void Columns(const QStringList &names, const std::vector<TFieldType> &) override
    {
        m_columns.clear();
        for (const QString &field : LedgerExportFields) {
            const qsizetype at = names.indexOf(field);
            if (at < 0)
                throw KException(UiText(u"Upit stavki nema kolonu %1.").arg(field));
            m_columns.push_back(int(at));
        }
    }

    void Row(const char *const *values, const size_t *lengths) override
    {
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const int c = m_columns[i];
            const char *v = values[c];
            const size_t n = v ? lengths[c] : 0;
            if (!v) {
                m_csv.AddField("", 0);
                continue;
            }
            switch (m_kinds[i]) {
            case TCell::Direction: {
                const int code = n == 2 && v[0] == '-' && v[1] == '1' ? -1 : n == 1 && v[0] == '1' ? 1 : 0;
                const QByteArray &caption = m_directions[size_t(code + 1)];
                m_csv.AddField(caption.constData(), size_t(caption.size()));
                break;
            }
            case TCell::Date:
            case TCell::DateTime:
                addDate(v, n, m_kinds[i] == TCell::DateTime);
                break;
            case TCell::Flag: {
                const QByteArray &word = n == 1 && v[0] == 'y' ? m_yes : m_no;
                m_csv.AddField(word.constData(), size_t(word.size()));
                break;
            }
            case TCell::Text:
                m_csv.AddField(v, n);
                break;
            }
        }
        m_csv.EndRow();
        ++Rows;
    }

private:
    // "yyyy-MM-dd[ HH:mm[:ss]]" as "dd.MM.yyyy[ HH:mm]"; any other text as it is.
    void addDate(const char *v, size_t n, bool withTime)
    {
        if (n < 10 || v[4] != '-' || v[7] != '-') {
            m_csv.AddField(v, n);
            return;
        }
        char out[16] = {v[8], v[9], '.', v[5], v[6], '.', v[0], v[1], v[2], v[3]};
        size_t length = 10;
        if (withTime && n >= 16) {
            out[10] = ' ';
            std::copy(v + 11, v + 16, out + 11);
            length = 16;
        }
        m_csv.AddField(out, length);
    }

    TCsvWriter &m_csv;
    std::vector<TCell> m_kinds;
    std::array<QByteArray, 3> m_directions; // captions of -1, 0, 1
    std::vector<int> m_columns;             // result column of each list field
    const QByteArray m_yes = UiText(u"Da").toUtf8(), m_no = UiText(u"Ne").toUtf8();
};

} // namespace

TLedgerSearchCriteria LedgerExportCriteria(const QMap<QString, QString> &texts)
{
    TLedgerSearchCriteria criteria;
    criteria.Texts = texts;
    if (const QString direction = texts.value(TLedgerSearchCriteria::Direction); !direction.isEmpty()) {
        const std::optional<QString> caption = TLedgerSearchCriteria::DirectionCaption(direction);
        if (!caption)
            throw KException(UiText(u"Nepoznat tip stavke: '%1' (očekuje se %2, %3 ili %4, ili kod -1, 0 ili 1).")
                                 .arg(direction, UiText(GetDirectionCaption(1)), UiText(GetDirectionCaption(0)),
                                      UiText(GetDirectionCaption(-1))));
        criteria.Texts[TLedgerSearchCriteria::Direction] = *caption;
    }
    return criteria;
}

QString LedgerExportSql(const TLedgerSearchCriteria &criteria, const TZConnection &connection, QVariantList &params)
{
    return ChangeSQLCondition(TLedgerDM::LedgerItemSQL, criteria.Condition(&connection, params))
           + QStringLiteral(" ORDER BY l.ledgerdatetime DESC, l.ledgeritemid DESC");
}

qint64 ExportLedgerCsv(TZConnection &connection, const TLedgerSearchCriteria &criteria, const QString &fileName,
                       const TLedgerExportProgress &progress)
{
    // Every criterion is checked before the file is touched.
    QVariantList params;
    const QString sql = LedgerExportSql(criteria, connection, params);

    // The read's worker thread writes the file; nothing else touches it
    // until the read has returned.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw KException(UiText(u"Datoteka „%1“ se ne može otvoriti za upis: proverite da li fascikla postoji "
                            u"i da li imate pravo upisa u nju.")
                             .arg(QDir::toNativeSeparators(fileName)));
    TCsvWriter csv(file);
    std::vector<TCell> kinds;
    for (const QString &name : LedgerExportFields) {
        const TField &field = LedgerDM->Layout().LedgerItemZQ->FieldByName(name);
        csv.AddField(UiText(field.DisplayLabel()));
        kinds.push_back(name == QLatin1String("direction")           ? TCell::Direction
                        : field.DataType() == TFieldType::Boolean  ? TCell::Flag
                        : field.DataType() == TFieldType::DateTime ? TCell::DateTime
                        : field.DataType() == TFieldType::Date     ? TCell::Date
                                                                   : TCell::Text);
    }
    csv.EndRow();
    TCsvReceiver receiver(csv, kinds, {UiText(GetDirectionCaption(-1)).toUtf8(), UiText(GetDirectionCaption(0)).toUtf8(),
                                       UiText(GetDirectionCaption(1)).toUtf8()});
    {
        const TReadProgress shown(progress ? progress : [](qint64) { return true; });
        StreamQuery(connection, sql, params, receiver);
    }
    csv.Flush();
    if (!file.commit())
        throw KException(UiText(u"Datoteka „%1“ nije upisana do kraja (disk je možda pun); ranija datoteka "
                            u"tog imena je ostala kakva je bila.")
                             .arg(QDir::toNativeSeparators(fileName)));
    return receiver.Rows;
}
