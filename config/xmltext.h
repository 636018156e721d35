#pragma once

#include <QString>
#include <QStringView>

enum class XmlTextPlace
{
    Content,
    Attribute
};

// A text as it must stand in the settings file to read back unchanged. `&` and `<` become their
// entity references everywhere; in the double-quoted attribute `"` does too; the `>` that would
// close a "]]>" in content becomes `&gt;`. Tab, line feed and carriage return are written as
// character references, because a parser folds a raw CR into LF and turns all three into spaces
// inside an attribute. Every other character is written as it is.
//
// Characters that XML 1.0 does not allow in a document at all (the C0 controls other than tab,
// LF and CR, U+FFFE, U+FFFF and surrogates without their partner) cannot be written in any form,
// not even as character references: each becomes U+FFFD, the replacement character.
QString xmlEscaped(QStringView text, XmlTextPlace place);

// What a text reads back as after a write: the text with the characters XML cannot carry
// replaced as xmlEscaped() replaces them.
QString xmlStorable(QStringView text);
