#include "StatusBar.h"

#include "InterfaceScript.h"

#include <QStatusBar>

QString ItemCountText(int count)
{
    QString digits = QString::number(qAbs(count));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u'.');
    if (count < 0)
        digits.prepend(u'-');
    const int ones = qAbs(count) % 10, tens = qAbs(count) % 100;
    const char *noun = "stavki";
    if (ones == 1 && tens != 11)
        noun = "stavka";
    else if (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14))
        noun = "stavke";
    return digits + u' ' + UiText(QString::fromLatin1(noun));
}

bool TStatusBarService::QueryInterface(const QUuid &iid, void **out)
{
    if (iid == IStatusBar::IID())
        return answer<IStatusBar>(this, out);
    return TInterfacedObject::QueryInterface(iid, out);
}

void TStatusBarService::ShowStatusMessage(const QString &text, int timeoutMs)
{
    if (m_bar)
        m_bar->showMessage(text, timeoutMs);
}
