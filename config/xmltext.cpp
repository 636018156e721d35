#include "config/xmltext.h"

#include <algorithm>

namespace {

constexpr QChar replacementCharacter(0xFFFD);

// Reads the character at `i`: a whole surrogate pair counts as one, of length 2. Returns false
// for a character XML 1.0 excludes from every document.
bool readCharacter(QStringView text, qsizetype i, qsizetype &length)
{
    const QChar c = text[i];
    length = 1;
    if (c.isHighSurrogate()) {
        if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            length = 2;
            return true;
        }
        return false;
    }
    if (c.isLowSurrogate())
        return false;
    const char16_t u = c.unicode();
    if (u < 0x20)
        return u == '\t' || u == '\n' || u == '\r';
    return u != 0xFFFE && u != 0xFFFF;
}

// True for a character that xmlEscaped() writes as it is, in either place. Checked first, so
// that the usual text is copied whole.
bool isPlain(char16_t u)
{
    return u >= 0x20 && u != '&' && u != '<' && u != '>' && u != '"' && (u < 0xD800 || u > 0xDFFF)
        && u < 0xFFFE;
}

} // namespace

QString xmlEscaped(QStringView text, XmlTextPlace place)
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return isPlain(c.unicode()); }))
        return text.toString();
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (!readCharacter(text, i, length)) {
            result += replacementCharacter;
            ++i;
            continue;
        }
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&': result += QLatin1String("&amp;"); break;
        case '<': result += QLatin1String("&lt;"); break;
        case '"':
            if (place == XmlTextPlace::Attribute)
                result += QLatin1String("&quot;");
            else
                result += c;
            break;
        case '>':
            if (place == XmlTextPlace::Content && i >= 2 && text[i - 1] == QLatin1Char(']')
                && text[i - 2] == QLatin1Char(']'))
                result += QLatin1String("&gt;");
            else
                result += c;
            break;
        case '\t': result += QLatin1String("&#9;"); break;
        case '\n': result += QLatin1String("&#10;"); break;
        case '\r': result += QLatin1String("&#13;"); break;
        default: result += text.mid(i, length); break;
        }
        i += length;
    }
    return result;
}

QString xmlStorable(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype length = 1;
        if (readCharacter(text, i, length))
            result += text.mid(i, length);
        else
            result += replacementCharacter;
        i += length;
    }
    return result;
}
