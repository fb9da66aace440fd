#include "ReadRows.h"

#include "RowStream.h"

#include <memory>
#include <vector>

namespace {

// Hands each row to the handler as it comes, keeping none.
class THandedRows : public TRowReceiver
{
public:
    explicit THandedRows(const std::function<void(const TReadRow &)> &row) : m_row(row) {}
    void Columns(const QStringList &names, const std::vector<TFieldType> &) override
    {
        m_columns = int(names.size());
        m_integers.assign(size_t(m_columns), 0);
        m_noIntegers = std::make_unique<bool[]>(size_t(m_columns));
    }
    // The readers hand over raw rows; a row of texts only goes the same way.
    void Row(const char *const *values, const size_t *lengths) override
    {
        RawRow({m_columns, values, lengths, m_integers.data(), m_noIntegers.get()});
    }
    void RawRow(const TRawRow &raw) override { m_row(TReadRow(raw)); }

private:
    const std::function<void(const TReadRow &)> &m_row;
    int m_columns = 0;
    std::vector<qint64> m_integers;
    std::unique_ptr<bool[]> m_noIntegers;
};

} // namespace

int TReadRow::Count() const
{
    return m_raw.Count;
}

bool TReadRow::IsNull(int column) const
{
    return !m_raw.IsInteger[column] && !m_raw.Texts[column];
}

QVariant TReadRow::Value(int column) const
{
    if (m_raw.IsInteger[column])
        return QVariant::fromValue(m_raw.Integers[column]);
    if (!m_raw.Texts[column])
        return {};
    return Text(column);
}

QString TReadRow::Text(int column) const
{
    if (m_raw.IsInteger[column])
        return QString::number(m_raw.Integers[column]);
    if (!m_raw.Texts[column])
        return {};
    return QString::fromUtf8(m_raw.Texts[column], qsizetype(m_raw.Lengths[column]));
}

QByteArray TReadRow::Utf8(int column) const
{
    if (m_raw.IsInteger[column])
        return QByteArray::number(m_raw.Integers[column]);
    if (!m_raw.Texts[column])
        return {};
    const QByteArray bytes(m_raw.Texts[column], qsizetype(m_raw.Lengths[column]));
    return bytes.isNull() ? QByteArray("", 0) : bytes;
}

qint64 TReadRow::Integer(int column) const
{
    if (m_raw.IsInteger[column])
        return m_raw.Integers[column];
    if (!m_raw.Texts[column])
        return 0;
    return QByteArray::fromRawData(m_raw.Texts[column], qsizetype(m_raw.Lengths[column])).toLongLong();
}

void ReadRows(TZConnection &connection, const QString &sql, const QVariantList &params,
              const std::function<void(const TReadRow &row)> &row)
{
    THandedRows handed(row);
    StreamQuery(connection, sql, params, handed);
}
