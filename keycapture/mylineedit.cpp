#include "keycapture/mylineedit.h"

#include "keycapture/keyevent.h"

#include <QKeyEvent>
#include <QMessageBox>

namespace {

// Control characters are invisible on screen and XML 1.0 cannot store most of them at all, so a
// key that types one is named after the key instead.
bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

MyLineEdit::MyLineEdit(QWidget *parent) : QLineEdit(parent), key(0) { }

QString MyLineEdit::keyName(QKeyEvent *event)
{
    const QString text = event->text();
    if (!text.isEmpty() && !hasControlCharacter(text))
        return text;

    const int qtKey = event->key();
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return tr("F%1").arg(qtKey - Qt::Key_F1 + 1);

    switch (qtKey) {
    case Qt::Key_Insert: return QStringLiteral("Insert");
    case Qt::Key_Home: return QStringLiteral("Home");
    case Qt::Key_End: return QStringLiteral("End");
    case Qt::Key_Left: return QStringLiteral("Left");
    case Qt::Key_Up: return QStringLiteral("Up");
    case Qt::Key_Right: return QStringLiteral("Right");
    case Qt::Key_Down: return QStringLiteral("Down");
    case Qt::Key_CapsLock: return QStringLiteral("CapsLock");
    case Qt::Key_NumLock: return QStringLiteral("NumLock");
    case Qt::Key_ScrollLock: return QStringLiteral("ScrollLock");
    // These type control characters, or nothing on some platforms.
    case Qt::Key_Escape: return QStringLiteral("Esc");
    case Qt::Key_Backspace: return QStringLiteral("Backspace");
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return QStringLiteral("Tab");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("Enter");
    case Qt::Key_Delete: return QStringLiteral("Delete");
    default: break;
    }

    if (text.isEmpty())
        return QString();

    // Ctrl with a letter types a control character: name the letter the key carries.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        const QChar letter(qtKey);
        return event->modifiers().testFlag(Qt::ShiftModifier) ? QString(letter)
                                                              : QString(letter.toLower());
    }
    // Ctrl with a punctuation key: the character the key carries on its cap.
    if (qtKey > Qt::Key_Space && qtKey <= Qt::Key_AsciiTilde)
        return QString(QChar(qtKey));
    return QString();
}

void MyLineEdit::keyPressEvent(QKeyEvent *event)
{
    const QString name = keyName(event);
    if (name.isEmpty()) {
        key = 0;
        // A field that showed the old name with no key behind it would be stored as it stands.
        clear();
        QMessageBox::information(parentWidget(), tr("sorry"), tr("we don't recommend the key"));
    } else {
        key = virtualKeyOf(event);
        setText(name);
    }
    event->accept();
}
