#include "Dialogs.h"

#include "CoreText.h"

#include <QtDebug>

TModalResult TNoDialogs::MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons, int)
{
    qWarning("No dialogs to show: %s", qPrintable(text));
    return mbNone;
}

namespace {

TDialogsFactory g_default = nullptr;

std::unique_ptr<IDialogs> makeDefault()
{
    return g_default ? g_default() : std::make_unique<TNoDialogs>();
}

std::unique_ptr<IDialogs> &current()
{
    static std::unique_ptr<IDialogs> dialogs = makeDefault();
    return dialogs;
}

} // namespace

void SetDefaultDialogs(TDialogsFactory factory)
{
    g_default = factory;
}

IDialogs &Dialogs()
{
    return *current();
}

std::unique_ptr<IDialogs> SetDialogs(std::unique_ptr<IDialogs> dialogs)
{
    std::unique_ptr<IDialogs> previous = std::move(current());
    current() = dialogs ? std::move(dialogs) : makeDefault();
    return previous;
}

QString LoadedRowsText(qint64 rows)
{
    // Thousands grouped with dots, as Serbian writes them.
    QString digits = QString::number(rows);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    const qint64 last = rows % 10, lastTwo = rows % 100;
    QString noun = CoreUi(u"stavki");
    if (last == 1 && lastTwo != 11)
        noun = CoreUi(u"stavka");
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        noun = CoreUi(u"stavke");
    return CoreUi(u"Učitano %1 %2…").arg(digits, noun);
}
