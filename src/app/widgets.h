#pragma once

#include <QColor>
#include <QPalette>
#include <QSize>

class QWidget;

// Sets one colour of a control's palette, leaving the others as they are.
void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// Moves a window of the given outer size to the middle of its screen.
void centreOnScreen(QWidget *window, const QSize &size);
