#pragma once
// The ledger item query's text, line by line, for tests that do not load the
// module (it is the module's contract with its screens).

#include <QStringList>

inline const QStringList kLedgerQueryLines = {
    QStringLiteral("SELECT DISTINCT l.*,CONCAT('') linkedto,CONCAT(p.name,'') AS partnername,CONCAT(d.number,'') AS documentnumber,"),
    QStringLiteral("  CONCAT(u1.firstname,' ',u1.lastname) AS inusername,CONCAT(u2.firstname,' ',u2.lastname) AS username,CONCAT(u3.firstname,' ',u3.lastname) AS outusername"),
    QStringLiteral("FROM ledgeritem AS l"),
    QStringLiteral("  LEFT JOIN ledgeritem AS l1 ON l.ledgeritemid = l1.passonparentid"),
    QStringLiteral("  LEFT JOIN partner AS p ON p.partnerid = l.partnerid"),
    QStringLiteral("  LEFT JOIN document AS d ON d.documentid = l.documentid"),
    QStringLiteral("  LEFT JOIN user AS u1 ON u1.userid = l.inuserid "),
    QStringLiteral("  LEFT JOIN user AS u2 ON u2.userid = l.userid "),
    QStringLiteral("  LEFT JOIN user AS u3 ON u3.userid = l.outuserid "),
    QStringLiteral("WHERE l.ledgeritemid = -1"),
};
