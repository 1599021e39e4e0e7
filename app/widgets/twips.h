// SPDX-License-Identifier: GPL-3.0-or-later
// Window geometry is designed in twips (1/1440 inch); the screen's logical
// DPI turns it into pixels (15 twips = 1 pixel at 96 DPI).
#pragma once

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int px);
double pixelsToTwipsY(int px);

// Twips per pixel on each axis (15 at 96 DPI).
double twipsPerPixelX();
double twipsPerPixelY();
