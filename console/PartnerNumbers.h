#pragma once
// A partner's tax number (PIB) and registration number (matični broj) as a
// clerk types them: why one cannot be right, in Serbian, or empty text when
// it can (or when none was typed: both are optional). Spaces around the
// number are ignored; nothing else is.
//
// PIB: 9 digits, the last one the ISO 7064 MOD 11,10 check digit
// (104052135).
// Matični broj of a legal entity: 8 digits; the last one is the check digit
// of modulus 11 over the first seven weighted 2, 7, 6, 5, 4, 3, 2, with a
// remainder of 0 or 1 giving 0 (20084693, 17335600).

#include <QString>

QString PibProblem(const QString &text);
QString MbProblem(const QString &text);
