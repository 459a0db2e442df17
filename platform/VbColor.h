#pragma once
#include <QColor>
#include <QWidget>

// Colours are given as window colour numbers &HBBGGRR; &H8000000F, &H80000012 and
// &H80000005 stand for the system's button face, button text and window background.
namespace tolvex::colors {

constexpr quint32 kDarkGreen = 0x6600;
constexpr quint32 kGreen = 0x8000;
constexpr quint32 kOrangeRed = 0x66FF;
constexpr quint32 kOrange = 0x80FF;
constexpr quint32 kBlue = 0xFF0000;
constexpr quint32 kWhite = 0xFFFFFF;
constexpr quint32 kBlack = 0x0;
constexpr quint32 kButtonFace = 0x8000000F;
constexpr quint32 kButtonText = 0x80000012;
constexpr quint32 kWindowBackground = 0x80000005;
// The panels of the configuration screens.
constexpr quint32 kLightGreen = 0xC0FFC0;
constexpr quint32 kLightYellow = 0xC0FFFF;
constexpr quint32 kLightRed = 0xC0C0FF;
constexpr quint32 kLightBlue = 0xFFC0C0;

QColor toQColor(quint32 bbggrr);

// Text and background colour of a control; the number set is kept in the
// properties "foreColor" and "backColor" so that it can be read back as set.
void setForeColor(QWidget *w, quint32 bbggrr);
void setBackColor(QWidget *w, quint32 bbggrr);
void setBold(QWidget *w, bool bold);

quint32 foreColor(const QWidget *w);
quint32 backColor(const QWidget *w);

} // namespace tolvex::colors
