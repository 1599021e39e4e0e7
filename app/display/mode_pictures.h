// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the four input modes of the 8-bit converter (the 12-bit
// converter uses those of modes 0 and 3): which inputs feed which channel.
#pragma once

#include <QPixmap>

// index 0 to 3; a null pixmap for any other index.
QPixmap modePicture(int index);
