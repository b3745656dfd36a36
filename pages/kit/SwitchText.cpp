#include "pages/kit/SwitchText.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>

namespace {

bool IsSwitchChar(QChar c) { return c.unicode() != 0 && c.unicode() <= 0xFF; }

// The control pictures of CR and LF (U+240D, U+240A).
constexpr char16_t kPictures = 0x2400;
bool IsBreakPicture(QChar c) { return c.unicode() == kPictures + '\r' || c.unicode() == kPictures + '\n'; }

class TSwitchTextValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override { return IsSwitchText(input) ? Acceptable : Invalid; }
};

}  // namespace

QString SwitchText(std::string_view bytes) { return QString::fromLatin1(bytes.data(), qsizetype(bytes.size())); }

std::string SwitchBytes(const QString& text) { return text.toLatin1().toStdString(); }

QString SwitchLine(std::string_view bytes)
{
    QString line = SwitchText(bytes);
    for (QChar& c : line)
        if (c == '\r' || c == '\n')
            c = QChar(char16_t(kPictures + c.unicode()));
    return line;
}

std::string SwitchLineBytes(const QString& line)
{
    QString text = line;
    for (QChar& c : text)
        if (IsBreakPicture(c))
            c = QChar(char16_t(c.unicode() - kPictures));
    return SwitchBytes(text);
}

bool IsSwitchText(const QString& text) { return std::all_of(text.begin(), text.end(), IsSwitchChar); }

QLineEdit* MakeSwitchText(QLineEdit* edit, std::size_t width)
{
    if (width > 0 && std::size_t(edit->maxLength()) > width)
        edit->setMaxLength(int(width));
    edit->setValidator(new TSwitchTextValidator(edit));
    return edit;
}

QPlainTextEdit* MakeSwitchLines(QPlainTextEdit* memo)
{
    QTextDocument* document = memo->document();
    QObject::connect(document, &QTextDocument::contentsChange, memo, [document](int position, int, int added) {
        // Removes the refused characters of what came in, last first.
        const int end = std::min(position + added, document->characterCount() - 1);
        for (int at = end - 1; at >= position; --at) {
            const QChar c = document->characterAt(at);
            if (IsSwitchChar(c) || c == QChar::ParagraphSeparator || IsBreakPicture(c))
                continue;
            QTextCursor cursor(document);
            cursor.setPosition(at);
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
    });
    return memo;
}
