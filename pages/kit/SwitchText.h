#pragma once

// Texts that go to a switch and come from one: the switch keeps 8-bit texts,
// one Latin-1 byte per character, in fields of a fixed width. A switch text
// field refuses, as they are typed, the characters Latin-1 can't hold (and
// NUL, which would end the text), and takes at most the field's width in
// characters, which are also its bytes: nothing is cut or replaced on the way.

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

class QLineEdit;
class QPlainTextEdit;

// A switch's bytes as text; every byte is one character.
QString SwitchText(std::string_view bytes);
// A switch text field's text as the switch's bytes.
std::string SwitchBytes(const QString& text);
// A switch's bytes as one line of a memo: a line break among them (CR, LF)
// shows as its control picture, so it neither splits the line nor is lost.
QString SwitchLine(std::string_view bytes);
// A memo line's switch bytes, a control picture of a line break as that byte.
std::string SwitchLineBytes(const QString& line);
// Whether every character of text has a Latin-1 byte other than NUL.
bool IsSwitchText(const QString& text);

// Makes edit a switch text field of width characters (0: its own limit).
QLineEdit* MakeSwitchText(QLineEdit* edit, std::size_t width);
// Makes memo take switch text lines: characters Latin-1 can't hold are
// refused as they are typed or pasted (a line break is taken, and so are
// the control pictures of CR and LF).
QPlainTextEdit* MakeSwitchLines(QPlainTextEdit* memo);
