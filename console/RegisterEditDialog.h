#pragma once
// A register's edit form: a line per field and "Sačuvaj" / "Otkaži".
// "Sačuvaj" hands the typed values to save; a refusal (a KException) is
// shown and the form stays open with everything typed still in it.

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

class QLineEdit;

struct TRegisterEditField
{
    QString Caption;    // "Broj"
    QString ObjectName; // "numberEdit"
    int MaxLength = 0;  // 0: no limit
};

class TRegisterEditDialog : public QDialog
{
    Q_OBJECT
public:
    using TSave = std::function<void(const QStringList &values)>;

    TRegisterEditDialog(const QString &title, const QList<TRegisterEditField> &fields, const QStringList &values,
                        TSave save, QWidget *parent = nullptr);

    QStringList Values() const;

private:
    void trySave();

    QList<QLineEdit *> m_edits;
    TSave m_save;
};
