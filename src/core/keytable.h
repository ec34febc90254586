// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

namespace rinkaro
{

enum class Finger { Little, Ring, Middle, Index };

// One key of the on-screen keyboard.
struct KeyInfo {
    const char *caption; // as drawn on the key
    int panel;           // n of the key panel PanelN
    int left, top;       // within the keyboard panel
    Finger finger;
    const char *litBy; // the one-character string that lights it
};

// The 30 keys, row by row from the upper left.
extern const std::array<KeyInfo, 30> keyTable;

constexpr int keySize = 65;

// Finger colours and caption colours as Windows colour values (0x00BBGGRR).
constexpr quint32 littleFingerColour = 0x408000;
constexpr quint32 ringFingerColour = 0x1EFFFF;
constexpr quint32 middleFingerColour = 0xFF8080;
constexpr quint32 indexFingerColour = 0xC080FF;
constexpr quint32 captionColour = 0x000000;
constexpr quint32 homeCaptionColour = 0xFF0000;
constexpr quint32 hintCaptionColour = 0x0000FF;

// The key that a hint text lights: its table entry, or nullptr when the text names no key
// (an upper-case letter, a space, a digit, two or more characters).
const KeyInfo *keyForCharacter(const QString &text);
// Whether the key is a home-position key (F or J).
bool isHomeKey(const KeyInfo &key);
// Whether the drills ever expect this character: the 30 keys' and the "-" of the long vowel
// mark. Anything else in a history names no key of the keyboard.
constexpr bool isDrilledKey(int c)
{
    return (c >= 'a' && c <= 'z') || c == ',' || c == '.' || c == ';' || c == '/' || c == '-';
}

} // namespace rinkaro
