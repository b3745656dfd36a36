#pragma once

// Input fields and small helpers of the device pages.

#include <QIcon>
#include <QLineEdit>
#include <QStringList>

class QLabel;

#include <cstdint>
#include <functional>
#include <optional>

#include "intp/Device.h"
#include "intp/Md5.h"
#include "pages/kit/AddressText.h"

class QAbstractButton;
class QComboBox;
class QPlainTextEdit;

// Dotted IPv4 address field, at most 15 characters. Empty text reads as 0,
// text that is not a dotted quad as 255.255.255.255.
class TIpEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TIpEdit(QWidget* parent = nullptr);

    uint32_t Value() const;
    void SetValue(uint32_t address);
    bool IsHost() const;     // a valid host address
    bool IsNetmask() const;  // a valid netmask
    // Leaving the field rewrites it as the dotted form of the value read.
    void SetRewriteOnExit(bool rewrite) { m_Rewrite = rewrite; }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_Rewrite = false;
};

// The lines of a memo; a last line break opens no line.
QStringList MemoLines(const QPlainTextEdit* memo);

// MAC address field: exactly 12 hexadecimal digits, either case, without
// separators.
class TMacEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TMacEdit(QWidget* parent = nullptr);

    bool IsValid() const;
    // False (mac untouched) unless the text is a MAC address.
    bool Value(uint8_t mac[6]) const;
    // Shows the address as its 12 upper-case digits.
    void SetValue(const uint8_t mac[6]);
    // The same for the library's address: none while the text is not one;
    // setting none empties the field.
    std::optional<Intp::TMacAddr> Address() const;
    void SetAddress(const Intp::TMacAddr* mac);
    // Shows the digits in one case, upper or lower, as typed or filled.
    void KeepCase(bool upper);
};

// Shows the item of a value; a value without an item shows no item.
void SetChoice(QComboBox* combo, int value);

// Our own 16 x 16 (and 32 x 32) button and list glyphs, by resource name
// ("RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_LOGIN" ...). An unknown name
// gives an empty icon.
QIcon PageGlyph(const char* name);

// A label in the bold variant of its font (section captions of dialogs).
QLabel* BoldLabel(const QString& text, QWidget* parent);
void LoadGlyph(QAbstractButton* button, const char* name);

// The login digest of typed texts. The switch keeps names and passwords in
// an 8-bit code page: one Latin-1 byte per character (others become '?').
Intp::TMd5Digest LoginDigest(const QString& user, const QString& password);
// Makes edit a user name or password field: the digest takes at most 16
// bytes of each, so it takes at most 16 Latin-1 characters.
void MakeLoginField(QLineEdit* edit);

// The control's tool tip, while reason answers a text, is that text at the
// moment the tip shows: a disabled button says why it is disabled. An empty
// answer leaves the control's own tip.
void SetToolTipReason(QWidget* control, std::function<QString()> reason);

// Parents a control created at run time and gives it its place, in that order.
void PlaceControl(QWidget* control, QWidget* parent, int top, int left, int height, int width);

// Resizes a window; a window on show is then moved, left or up as needed, so
// that its frame stays inside its screen's available area.
void ResizeOnScreen(QWidget* window, const QSize& size);
