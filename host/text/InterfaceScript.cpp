#include "InterfaceScript.h"

#include "SerbianFold.h"
#include "SerbianQtTexts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <atomic>

namespace {

std::atomic<TScript> g_script{TScript::Latin};

// Names written in Latin in a Cyrillic text too.
const char16_t *const KeptNames[] = {u"Galera", u"Tesseract", u"UTF-8", u"Linux", u"Debian"};

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

QStringView trimmedWord(QStringView word)
{
    const auto punctuation = [](QChar c) {
        return c.isPunct() && c != u'-' && c != u'%' && c != u'&' && c != u'_';
    };
    while (!word.isEmpty() && punctuation(word.front()))
        word = word.mid(1);
    while (!word.isEmpty() && punctuation(word.back()))
        word.chop(1);
    return word;
}

// A file name ends in a dot and two to four letters or digits after a name.
bool looksLikeFileName(QStringView word)
{
    const qsizetype dot = word.lastIndexOf(u'.');
    if (dot < 1 || word.size() - dot - 1 < 2 || word.size() - dot - 1 > 4)
        return false;
    const QChar before = word[dot - 1];
    if (!(before.isLetterOrNumber() || before == u'_' || before == u'-' || before == u'*'))
        return false;
    bool letter = false;
    for (QChar c : word.mid(dot + 1)) {
        if (!(isAsciiLetter(c) || c.isDigit()))
            return false;
        letter = letter || isAsciiLetter(c);
    }
    return letter;
}

// Whether a whitespace-separated word stays in Latin.
bool keptInLatin(QStringView word)
{
    if (trimmedWord(word).startsWith(u"--") || word.contains(u"://") || word.contains(u'@') || word.contains(u'*')
        || word.contains(u'\\') || word.startsWith(u'/') || word.startsWith(u"~/") || word.startsWith(u"./"))
        return true;
    const QStringView core = trimmedWord(word);
    if (looksLikeFileName(core))
        return true;
    for (const char16_t *name : KeptNames)
        if (core == QStringView(name))
            return true;
    for (qsizetype i = 0; i < core.size(); ++i) {
        const char16_t c = core[i].toLower().unicode();
        if (c == u'q' || c == u'w' || c == u'x' || c == u'y')
            return true;
        // camel case (MariaDB, SQLite, GMime) names a program, not a word
        if (i > 0 && core[i - 1].isLower() && core[i].isUpper() && isAsciiLetter(core[i]))
            return true;
    }
    return false;
}

// A placeholder of QString::arg (%1, %L1), of a plural (%n) or of a printf
// format (%s, %d) at i: its length.
qsizetype placeholderAt(QStringView text, qsizetype i)
{
    if (text[i] != u'%' || i + 1 >= text.size())
        return 0;
    qsizetype j = i + 1;
    if ((text[j] == u'n' || text[j] == u's' || text[j] == u'd') && (j + 1 == text.size() || !text[j + 1].isLetter()))
        return 2;
    if (text[j] == u'L')
        ++j;
    const qsizetype digits = j;
    while (j < text.size() && text[j].isDigit())
        ++j;
    return j > digits ? j - i : 0;
}

// An HTML tag or entity at i: its length.
qsizetype markupAt(QStringView text, qsizetype i)
{
    if (text[i] == u'<' && i + 1 < text.size() && (isAsciiLetter(text[i + 1]) || text[i + 1] == u'/' || text[i + 1] == u'!')) {
        const qsizetype end = text.indexOf(u'>', i);
        return end < 0 ? 0 : end - i + 1;
    }
    if (text[i] == u'&' && i + 1 < text.size() && (isAsciiLetter(text[i + 1]) || text[i + 1] == u'#')) {
        qsizetype j = i + 1;
        while (j < text.size() && j - i <= 10 && (text[j].isLetterOrNumber() || text[j] == u'#'))
            ++j;
        if (j < text.size() && text[j] == u';')
            return j - i + 1;
    }
    return 0;
}

// One word in Cyrillic, its placeholders as they are.
void appendWordInCyrillic(QStringView word, QString &out)
{
    qsizetype from = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const qsizetype kept = placeholderAt(word, i);
        if (kept == 0)
            continue;
        out += SerbianToCyrillic(word.mid(from, i - from));
        out += word.mid(i, kept);
        i += kept - 1;
        from = i + 1;
    }
    out += SerbianToCyrillic(word.mid(from));
}

QString toCyrillic(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (const qsizetype markup = markupAt(text, i)) {
            out += text.mid(i, markup);
            i += markup;
            continue;
        }
        if (text[i].isSpace()) {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !text[end].isSpace() && (end == i || !markupAt(text, end)))
            ++end;
        // A required field's mark ("Datum*") makes no file pattern of its word.
        const bool marked = end - i > 1 && text[end - 1] == u'*' && !text.mid(i, end - i - 1).contains(u'*');
        const QStringView word = text.mid(i, end - i - (marked ? 1 : 0));
        if (keptInLatin(word))
            out += word;
        else
            appendWordInCyrillic(word, out);
        if (marked)
            out += u'*';
        i = end;
    }
    return out;
}

} // namespace

TScript InterfaceScript() { return g_script.load(std::memory_order_relaxed); }

void SetInterfaceScript(TScript script)
{
    g_script.store(script, std::memory_order_relaxed);
    QLocale::setDefault(QLocale(QLocale::Serbian, script == TScript::Cyrillic ? QLocale::CyrillicScript : QLocale::LatinScript,
                                QLocale::Serbia));
    if (auto *app = QCoreApplication::instance()) {
        // Qt tells every widget when the translators change; the texts of
        // .ui layouts and of Qt's dialogs follow the script through them.
        ReinstallSerbianTexts(*app);
    }
}

QString InterfaceText(QStringView latin, TScript script)
{
    return script == TScript::Latin ? latin.toString() : toCyrillic(latin);
}

QString UiText(QStringView latin) { return InterfaceText(latin, InterfaceScript()); }

QString DataInScript(QStringView text, TScript script)
{
    return script == TScript::Latin ? SerbianToLatin(text) : toCyrillic(text);
}

std::optional<TScript> ScriptFromName(QStringView name)
{
    const QString folded = SerbianFold(name.trimmed());
    if (folded == u"latin" || folded == u"latinica" || folded == u"lat" || folded == u"l")
        return TScript::Latin;
    if (folded == u"cyrillic" || folded == u"cirilica" || folded == u"cyr" || folded == u"cir" || folded == u"c")
        return TScript::Cyrillic;
    return std::nullopt;
}

QString ScriptName(TScript script)
{
    return script == TScript::Cyrillic ? QStringLiteral("cyrillic") : QStringLiteral("latin");
}
